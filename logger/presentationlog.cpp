#include "presentationlog.h"

#include "common/clocktime.h"
#include "common/text.h"

namespace {

constexpr const char* separator = " , ";

std::string head(double dayCount, const char* kindLiteral, const std::string& timeOfDay) {
    return DayCount::format(dayCount) + kindLiteral + ClockTime::formatElapsed(dayCount) +
           separator + timeOfDay + separator;
}

std::string oneLine(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n' || c == '\v')
            c = ' ';
    }
    return text;
}

} // namespace

double PresentationLog::interval(std::optional<double> previousReading, double reading) {
    if (!previousReading)
        return 0.0;
    const double d = reading - *previousReading;
    return d < 0 ? (reading + 1.0) - *previousReading : d;
}

std::string PresentationLog::slideLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& presentationPath, int slideNumber,
                                       const std::string& title) {
    return head(dayCount, " , Slide , ", timeOfDay) + oneLine(presentationPath) + separator +
           std::to_string(slideNumber) + separator + oneLine(title) + std::string(Text::crlf);
}

std::string PresentationLog::eventLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& eventText) {
    return head(dayCount, " , Event , ", timeOfDay) + eventText + std::string(Text::crlf);
}
