#pragma once

#include <optional>
#include <string>

// The lines of a PresentationLog, byte for byte: day count, kind, elapsed text, time of
// day, the fields of the kind, CR LF. Fields go in unchanged; nothing is quoted.
namespace PresentationLog {

inline constexpr const char* SlideShowStopped = "Slide Show Stopped";
inline constexpr const char* LoggingStopped = "Logging Stopped";
inline constexpr const char* ProgramStopped = "Program Stopped";
inline constexpr const char* NoTitle = "NO TITLE";

// The interval a line carries: the difference of two clock readings (fractions of a day),
// 0 for the first line of a run. Across midnight a day is added, so a 20-second gap
// reads 20 seconds rather than a negative count; a clock set back gives 0.
double interval(std::optional<double> previousReading, double reading);

// dayCount is the interval; timeOfDay is the clock reading as the platform shows a time.
// Line breaks (CR, LF, vertical tab) in the path or title are written as blanks, so a
// field never splits its line. A path holding a comma or a quote is written in quotes,
// and a title is cut so that the line stays within what the import reads.
std::string slideLine(double dayCount, const std::string& timeOfDay,
                      const std::string& presentationPath, int slideNumber,
                      const std::string& title);
std::string eventLine(double dayCount, const std::string& timeOfDay, const std::string& eventText);

} // namespace PresentationLog
