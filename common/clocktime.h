#pragma once

#include <optional>
#include <string>
#include <string_view>

// A span or time of day with one-second resolution, held as a fraction of a day.
//
// Valid input is a time of day: hours 0-23 in one or two digits, a colon, two-digit
// minutes, and optionally a colon and two-digit seconds (00-59 both), with blanks allowed
// around it. 12-hour forms (AM/PM) and texts carrying a date are not accepted: a length
// typed into the schedule is a span, and a date part would silently add whole days.
namespace ClockTime {

inline constexpr double NotSet = -1.0;
inline constexpr double SecondsPerDay = 86400.0;
inline constexpr double OneSecond = 1.0 / SecondsPerDay;

std::optional<double> parse(std::string_view text);
bool isValid(std::string_view text);
inline double fromSeconds(long long seconds) {
    return static_cast<double>(seconds) / SecondsPerDay;
}
// The nearest whole second.
long long toSeconds(double days);
// "hh:nn:ss" of the time of day: 25 hours is written 01:00:00.
std::string format(double days);
// "h:mm:ss", the logger's elapsed text.
std::string formatElapsed(double days);
// The time that passed between two readings of a time-of-day clock, from their plain
// difference: a day is added only across midnight (below minus half a day); a clock set
// back (a time sync, the end of summer time) gives 0.
double timePassed(double difference);

} // namespace ClockTime

// The day count of the system's text files: a number of days as the runtime prints a
// double (at most 15 significant digits, exponent form below 0.001), with one blank in
// the sign place of a value that is not negative and one trailing blank.
namespace DayCount {

std::string numberText(double value);
std::string format(double value);
// A decimal number: optional sign, digits with an optional point (no digit needed before
// it), an optional exponent. Anything else, blanks included, is not a number.
std::optional<double> parseNumber(std::string_view text);

} // namespace DayCount
