#include "presentationlog.h"

#include "common/clocktime.h"
#include "common/text.h"

namespace {

constexpr const char* separator = " , ";

std::string head(double dayCount, const char* kindLiteral, const std::string& timeOfDay) {
    return DayCount::format(dayCount) + kindLiteral + ClockTime::formatElapsed(dayCount) +
           separator + timeOfDay + separator;
}

} // namespace

double PresentationLog::interval(std::optional<double> previousReading, double reading) {
    return previousReading ? reading - *previousReading : 0.0;
}

std::string PresentationLog::slideLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& presentationPath, int slideNumber,
                                       const std::string& title) {
    return head(dayCount, " , Slide , ", timeOfDay) + presentationPath + separator +
           std::to_string(slideNumber) + separator + title + std::string(Text::crlf);
}

std::string PresentationLog::eventLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& eventText) {
    return head(dayCount, " , Event , ", timeOfDay) + eventText + std::string(Text::crlf);
}
