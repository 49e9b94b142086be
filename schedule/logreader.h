#pragma once

#include "common/fieldreader.h"
#include "common/textfile.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// One line of a PresentationLog as the import takes it.
struct LogLine {
    // Days since the previous line. A line written after midnight carries the plain,
    // negative difference of two times of day; it is taken as the time on the next day,
    // unless it is a clock set back by less than half a day, which counts as 0.
    double dayCount = 0;
    bool isSlide = false;
    // Slide lines.
    std::string presentationPath;
    int slideNumber = 0;
    std::string title;
    // Event lines.
    std::string eventText;

    bool endsLog() const;
};

// The day count field of a line: a number, a negative one moved on by a day; nullopt for
// anything else.
std::optional<double> parseLogDayCount(std::string_view field);

// One line without its line end. A line is first split at the writer's own separator
// " , ", so that a path or time of day holding a plain comma stays whole; only when that
// gives no valid line is it split at every comma. nullopt when neither gives one.
std::optional<LogLine> parseLogLine(std::string_view line);

// A log read line by line, holding only the line in hand; a field never runs on into the
// next line.
class LogReader {
  public:
    explicit LogReader(LineReader lines);
    explicit LogReader(const std::string& bytes);

    bool atEnd();
    // The next line; throws ReadError when there is none or it is not a valid line.
    LogLine next();
    // The day count of the next line without taking the line; throws ReadError likewise.
    double peekDayCount();

  private:
    const std::string& ahead();

    LineReader m_lines;
    std::optional<std::string> m_ahead;
    int m_aheadLine = 0;
};
