#pragma once

#include <string>

// The GridFile and ResumeFile layouts: text lines and day counts, CR LF after every line.
namespace GridFile {

inline constexpr const char* Header = "Cuemark Grid File";
inline constexpr const char* OldHeader = "Orbicast Audio Schedule File";

// Either header, letters compared without regard to case.
bool isHeader(const std::string& firstField);

// The four lines of a ResumeFile: the log file name, the audio URL, the HTM URL and the
// length of row 1 (a ClockTime cell text) as a day count. Throws FileError when the
// length is not a time.
std::string resumeFileText(const std::string& logFile, const std::string& audioUrl,
                           const std::string& htmUrl, const std::string& firstLengthCell);

} // namespace GridFile
