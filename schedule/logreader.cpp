#include "logreader.h"

#include "common/clocktime.h"
#include "common/text.h"

namespace {

constexpr std::string_view writerSeparator = " , ";
constexpr std::string_view comma = ",";
constexpr size_t slideFields = 6; // day count, kind, elapsed, time of day, path, number
constexpr size_t eventFields = 5; // day count, kind, elapsed, time of day, event text
constexpr int maxSlideNumber = 32767;

// At most maxPieces pieces; the last one holds the rest of the line, separators included.
std::vector<std::string_view> split(std::string_view line, std::string_view separator,
                                    size_t maxPieces) {
    std::vector<std::string_view> pieces;
    size_t from = 0;
    while (pieces.size() + 1 < maxPieces) {
        const size_t at = line.find(separator, from);
        if (at == std::string_view::npos)
            break;
        pieces.push_back(line.substr(from, at - from));
        from = at + separator.size();
    }
    pieces.push_back(line.substr(from));
    return pieces;
}

std::optional<int> parseSlideNumber(std::string_view field) {
    const std::string text = Text::trimBlanks(field);
    if (!Text::isDigits(text) || text.size() > 5)
        return std::nullopt;
    const int value = std::stoi(text);
    if (value > maxSlideNumber)
        return std::nullopt;
    return value;
}

// A path the writer put in quotes, each quote inside doubled: the path and the rest of
// the line after its closing quote; nullopt when the quotes do not close.
std::optional<std::pair<std::string, std::string_view>> quotedPath(std::string_view field) {
    std::string path;
    for (size_t i = 1; i < field.size(); ++i) {
        if (field[i] != '"') {
            path += field[i];
        } else if (i + 1 < field.size() && field[i + 1] == '"') {
            path += '"';
            ++i;
        } else {
            return std::pair(std::move(path), field.substr(i + 1));
        }
    }
    return std::nullopt;
}

std::optional<LogLine> parseWith(std::string_view line, std::string_view separator) {
    // Day count, kind, elapsed, time of day, and the rest: path, number and title.
    const auto pieces = split(line, separator, slideFields - 1);
    if (pieces.size() < 2)
        return std::nullopt;
    LogLine result;
    const auto dayCount = parseLogDayCount(pieces[0]);
    if (!dayCount)
        return std::nullopt;
    result.dayCount = *dayCount;
    result.isSlide = Text::equalsNoCase(Text::trimBlanks(pieces[1]), "Slide");

    if (result.isSlide) {
        if (pieces.size() < slideFields - 1)
            return std::nullopt;
        std::string_view rest = pieces.back();
        const size_t start = rest.find_first_not_of(' ');
        std::vector<std::string_view> fields;
        if (start != std::string_view::npos && rest[start] == '"') {
            auto quoted = quotedPath(rest.substr(start));
            if (!quoted)
                return std::nullopt;
            result.presentationPath = std::move(quoted->first);
            // Only blanks between the closing quote and the separator.
            const auto after = split(quoted->second, separator, 3);
            if (after.size() < 2 || !Text::trimBlanks(after[0]).empty())
                return std::nullopt;
            fields = {after.begin() + 1, after.end()};
        } else {
            const auto after = split(rest, separator, 3);
            if (after.size() < 2)
                return std::nullopt;
            result.presentationPath = Text::trimBlanks(after[0]);
            fields = {after.begin() + 1, after.end()};
        }
        const auto number = parseSlideNumber(fields[0]);
        if (!number)
            return std::nullopt;
        result.slideNumber = *number;
        if (fields.size() > 1) {
            std::string_view title = fields[1];
            // The blank the writer puts after the comma is not part of the title; the
            // writer's own separator has already taken it.
            if (separator == comma && !title.empty() && title.front() == ' ')
                title.remove_prefix(1);
            result.title = std::string(title);
        }
        return result;
    }

    const auto fields = split(line, separator, eventFields + 1);
    if (fields.size() != eventFields)
        return std::nullopt;
    result.eventText = Text::trimBlanks(fields[4]);
    return result;
}

} // namespace

bool LogLine::endsLog() const {
    return !isSlide && Text::equalsNoCase(eventText, "Logging Stopped");
}

std::optional<double> parseLogDayCount(std::string_view field) {
    auto value = DayCount::parseNumber(Text::trimBlanks(field));
    if (!value)
        return std::nullopt;
    // Both readings are times of day, so a gap across midnight comes out one day short,
    // and no gap between two lines can reach a whole day.
    if (*value < 0)
        *value = ClockTime::timePassed(*value);
    if (*value < 0 || *value >= 1.0)
        return std::nullopt;
    return value;
}

std::optional<LogLine> parseLogLine(std::string_view line) {
    if (auto parsed = parseWith(line, writerSeparator))
        return parsed;
    return parseWith(line, comma);
}

LogReader::LogReader(LineReader lines) : m_lines(std::move(lines)) {}

LogReader::LogReader(const std::string& bytes) : LogReader(LineReader::fromBytes(bytes)) {}

bool LogReader::atEnd() {
    return !m_ahead && m_lines.atEnd();
}

// The next line, read once and kept until it is taken.
const std::string& LogReader::ahead() {
    if (!m_ahead) {
        m_aheadLine = m_lines.lineNumber();
        if (m_lines.atEnd())
            throw ReadError(m_aheadLine, "The log ends before \"Logging Stopped\"");
        try {
            m_ahead = m_lines.next();
        } catch (const LineTooLong& e) {
            throw ReadError(m_aheadLine, e.what());
        }
    }
    return *m_ahead;
}

LogLine LogReader::next() {
    const std::string& line = ahead();
    auto parsed = parseLogLine(line);
    if (!parsed)
        throw ReadError(m_aheadLine, "Not a line of a log: " + Text::forMessage(line));
    m_ahead.reset();
    return *parsed;
}

double LogReader::peekDayCount() {
    const std::string& line = ahead();
    const auto dayCount = parseLogDayCount(std::string_view(line).substr(0, line.find(',')));
    if (!dayCount)
        throw ReadError(m_aheadLine, "No day count: " + Text::forMessage(line));
    return *dayCount;
}
