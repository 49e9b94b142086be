#pragma once

#include "schedule/slideschedule.h"

#include <optional>

class LineReader;
#include <string>
#include <vector>

// The GridFile and ResumeFile layouts: text lines and day counts, CR LF after every line.
namespace GridFile {

inline constexpr const char* Header = "Cuemark Grid File";
inline constexpr const char* OldHeader = "Orbicast Audio Schedule File";

// Either header, letters compared without regard to case.
bool isHeader(const std::string& firstField);

// The day-count line of a ClockTime cell text: " 6.94444444444444E-04 " for "00:01:00".
// Throws FileError naming `what` (such as "Start of row 2") when the cell is not a time.
std::string dayCountOf(const std::string& cell, const std::string& what);

// The whole GridFile: the header, the three texts, row 1's Length and the rows.
// Throws FileError when a Length, Start or Stop is not a time.
std::string text(const std::string& logFile, const std::string& audioUrl, const std::string& htmUrl,
                 const std::vector<ScheduleRow>& rows);

// The four lines of a ResumeFile: the log file name, the audio URL, the HTM URL and the
// length of row 1 (a ClockTime cell text) as a day count. Throws FileError when the
// length is not a time.
std::string resumeFileText(const std::string& logFile, const std::string& audioUrl,
                           const std::string& htmUrl, const std::string& firstLengthCell);

// What a ResumeFile gives back: the texts of its lines 2 and 3 and row 1's length.
struct Resume {
    std::string audioUrl;
    std::string htmUrl;
    double firstLength = 0;
};

// All four values or none, so a damaged file changes nothing: nullopt when a value is
// missing, the length is no number, or it is not a time of day.
std::optional<Resume> readResume(LineReader& lines);
std::optional<Resume> readResume(const std::string& bytes);

// Where a GridFile's values go, in file order, as soon as each is read: a read that
// fails part way leaves everything before the fault in place.
class ReadTarget {
  public:
    virtual ~ReadTarget() = default;
    virtual void logFile(const std::string& text) = 0;
    virtual void audioUrl(const std::string& text) = 0;
    virtual void htmUrl(const std::string& text) = 0;
    // Line 5 as "hh:nn:ss".
    virtual void firstLength(const std::string& time) = 0;
    // Columns 1 to 3 arrive as "hh:nn:ss", columns 4 and 5 as their whole lines.
    virtual void cell(int row, int col, const std::string& text) = 0;
    // The number of complete rows: 0 once the rows begin, then after each row.
    virtual void rowsRead(int count) = 0;
};

enum class ReadResult { NotAGridFile, Read };

// Reads a GridFile into target, line by line, and stops at the first fault: no more than
// the header and 100 rows are ever read. A first line whose first field is no header
// gives NotAGridFile before anything reaches target. Throws ReadError, with the line
// number, for a value that cannot be read, a line over the reader's cap, a file that
// ends inside a row or a row beyond the 100th; FileError when the file cannot be read.
ReadResult read(LineReader& lines, ReadTarget& target);
ReadResult read(const std::string& bytes, ReadTarget& target);

} // namespace GridFile
