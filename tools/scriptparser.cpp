#include "scriptparser.h"

#include "common/text.h"
#include "forms/uiservices.h"

#include <charconv>

namespace ScriptParser {

bool isComment(const std::string& line) {
    for (char c : line) {
        if (!Text::isBlank(c) && c != '\r')
            return c == '#';
    }
    return true;
}

Line split(const std::string& rawLine) {
    std::string line = rawLine;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    size_t start = 0;
    while (start < line.size() && Text::isBlank(line[start]))
        ++start;
    size_t end = start;
    while (end < line.size() && !Text::isBlank(line[end]))
        ++end;
    return {line.substr(start, end - start),
            end < line.size() ? line.substr(end + 1) : std::string()};
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> result;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && Text::isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !Text::isBlank(text[i]))
            ++i;
        if (i > start)
            result.push_back(text.substr(start, i - start));
    }
    return result;
}

std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<double> seconds(const std::string& text) {
    const size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto digits = [](const std::string& part) {
        return part.size() <= 9 && part.find_first_not_of("0123456789") == std::string::npos;
    };
    if (whole.empty() || !digits(whole) || !digits(fraction) ||
        (point != std::string::npos && fraction.empty()))
        return std::nullopt;
    double value = std::stoi(whole);
    double scale = 0.1;
    for (char c : fraction) {
        value += (c - '0') * scale;
        scale /= 10;
    }
    return value;
}

std::optional<std::pair<int, int>> twoWholeNumbers(const std::string& text) {
    const auto parts = words(text);
    if (parts.size() != 2)
        return std::nullopt;
    const auto first = wholeNumber(parts[0]);
    const auto second = wholeNumber(parts[1]);
    if (!first || !second)
        return std::nullopt;
    return std::pair{*first, *second};
}

Line nameAndText(const std::string& args) {
    const size_t blank = args.find(' ');
    return {Text::trimBlanks(args.substr(0, blank)),
            blank == std::string::npos ? std::string() : args.substr(blank + 1)};
}

std::optional<int> answerOf(const std::string& text) {
    const std::string name = Text::toLower(Text::trimBlanks(text));
    for (int answer : {Mb::OK, Mb::Cancel, Mb::Yes, Mb::No}) {
        if (name == Text::toLower(Mb::answerName(answer)))
            return answer;
    }
    return std::nullopt;
}

} // namespace ScriptParser
