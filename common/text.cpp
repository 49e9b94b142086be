#include "text.h"

#include <charconv>
#include <cmath>

namespace {
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
} // namespace

bool Text::isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Text::trimBlanks(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string Text::toLower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = lowerAscii(c);
    return out;
}

bool Text::equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
    }
    return true;
}

size_t Text::findNoCase(std::string_view haystack, std::string_view needle, size_t from) {
    if (needle.empty())
        return from <= haystack.size() ? from : std::string_view::npos;
    if (needle.size() > haystack.size())
        return std::string_view::npos;
    for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
        if (equalsNoCase(haystack.substr(i, needle.size()), needle))
            return i;
    }
    return std::string_view::npos;
}

bool Text::containsNoCase(std::string_view haystack, std::string_view needle) {
    return findNoCase(haystack, needle) != std::string_view::npos;
}

bool Text::endsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           equalsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

bool Text::isDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::optional<double> Text::toDouble(std::string_view text) {
    // One sign at most: from_chars takes a "-" but no "+", so "+-1" must not reach it.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-'))
            return std::nullopt;
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size() ||
        !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::string Text::sentence(std::string_view reason) {
    std::string text(reason);
    if (text.empty() || text.back() != '.')
        text += '.';
    return text;
}

std::string Text::forMessage(std::string_view input, size_t maxChars) {
    static constexpr char hex[] = "0123456789ABCDEF";
    const auto byte = [](char c) { return static_cast<unsigned char>(c); };
    std::string out;
    size_t shown = 0; // an escape counts as the four characters it shows
    size_t i = 0;
    for (; i < input.size(); ++i) {
        const unsigned char c = byte(input[i]);
        const bool control = c < 0x20 || c == 0x7F;
        const size_t width = control ? 4 : 1;
        if (shown + width > maxChars)
            break;
        shown += width;
        if (control) {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += input[i];
        }
    }
    if (i == input.size())
        return out;
    // A UTF-8 character is not cut in two: the started one is dropped whole.
    if ((byte(input[i]) & 0xC0) == 0x80) {
        size_t back = 0;
        while (back < 3 && back < out.size() && (byte(out[out.size() - 1 - back]) & 0xC0) == 0x80)
            ++back;
        if (back < out.size() && (byte(out[out.size() - 1 - back]) & 0xC0) == 0xC0)
            out.resize(out.size() - 1 - back);
    }
    return out + "...";
}
