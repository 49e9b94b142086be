#include "presentationlog.h"

#include "common/clocktime.h"
#include "common/text.h"
#include "common/textfile.h"

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

// A path that holds a comma or a quote, or begins or ends with a blank, would shift the
// fields for the import: it goes in quotes, each quote inside doubled.
std::string pathField(const std::string& path) {
    const bool plain = path.find_first_of(",\"") == std::string::npos &&
                       (path.empty() || (path.front() != ' ' && path.back() != ' '));
    if (plain)
        return path;
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

// The import reads a line of at most LineReader's cap: a longer title is cut to fit,
// never inside a UTF-8 sequence.
std::string fittedTitle(const std::string& title, size_t room) {
    if (title.size() <= room)
        return title;
    size_t cut = room;
    for (int back = 0;
         back < 3 && cut > 0 && (static_cast<unsigned char>(title[cut]) & 0xC0) == 0x80; ++back)
        --cut;
    return title.substr(0, cut);
}

} // namespace

double PresentationLog::interval(std::optional<double> previousReading, double reading) {
    if (!previousReading)
        return 0.0;
    return ClockTime::timePassed(reading - *previousReading);
}

std::string PresentationLog::slideLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& presentationPath, int slideNumber,
                                       const std::string& title) {
    const std::string fields = head(dayCount, " , Slide , ", timeOfDay) +
                               pathField(oneLine(presentationPath)) + separator +
                               std::to_string(slideNumber) + separator;
    const size_t room = LineReader::DefaultMaxLineBytes > fields.size()
                            ? LineReader::DefaultMaxLineBytes - fields.size()
                            : 0;
    return fields + fittedTitle(oneLine(title), room) + std::string(Text::crlf);
}

std::string PresentationLog::eventLine(double dayCount, const std::string& timeOfDay,
                                       const std::string& eventText) {
    return head(dayCount, " , Event , ", timeOfDay) + eventText + std::string(Text::crlf);
}
