#include "eventlistreader.h"

#include "webout/pathhelpers.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// A number of one or two digits at the front of text, no larger than max.
std::optional<int> takeField(std::string_view& text, int max) {
    size_t n = 0;
    int value = 0;
    while (n < text.size() && n < 2 && text[n] >= '0' && text[n] <= '9')
        value = value * 10 + (text[n++] - '0');
    if (n == 0 || value > max)
        return std::nullopt;
    text.remove_prefix(n);
    return value;
}

bool takeChar(std::string_view& text, char c) {
    if (text.empty() || text.front() != c)
        return false;
    text.remove_prefix(1);
    return true;
}

// DD:HH:MM:SS.T, the fraction one to three digits.
std::optional<long long> takeTime(std::string_view& text) {
    const auto days = takeField(text, 99);
    if (!days || !takeChar(text, ':'))
        return std::nullopt;
    const auto hours = takeField(text, 23);
    if (!hours || !takeChar(text, ':'))
        return std::nullopt;
    const auto minutes = takeField(text, 59);
    if (!minutes || !takeChar(text, ':'))
        return std::nullopt;
    const auto seconds = takeField(text, 59);
    if (!seconds || !takeChar(text, '.'))
        return std::nullopt;
    int ms = 0;
    int digits = 0;
    for (; digits < 3 && !text.empty() && text[0] >= '0' && text[0] <= '9'; ++digits) {
        ms = ms * 10 + (text[0] - '0');
        text.remove_prefix(1);
    }
    if (digits == 0)
        return std::nullopt;
    for (int d = digits; d < 3; ++d)
        ms *= 10;
    return ((((*days * 24LL + *hours) * 60 + *minutes) * 60) + *seconds) * 1000 + ms;
}

std::optional<PageEvent> readLine(std::string_view line, std::string& reason) {
    PageEvent event;
    if (!takeChar(line, 'u') || !takeChar(line, ' ')) {
        reason = "expected \"u \" at the start";
        return std::nullopt;
    }
    const auto start = takeTime(line);
    if (!start || !takeChar(line, ' ')) {
        reason = "start is not a time DD:HH:MM:SS.T";
        return std::nullopt;
    }
    const auto end = takeTime(line);
    if (!end || !takeChar(line, ' ')) {
        reason = "end is not a time DD:HH:MM:SS.T";
        return std::nullopt;
    }
    if (line.empty()) {
        reason = "no URL";
        return std::nullopt;
    }
    if (*end <= *start) {
        reason = "end is not after start";
        return std::nullopt;
    }
    return PageEvent{*start, *end, std::string(line)};
}

std::string timestamp(long long ms) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02lld:%02lld:%02lld.%03lld", ms / 3600000,
                  ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buffer;
}

// The length of the well-formed UTF-8 sequence at the front of text, or 0.
size_t utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

// Cue text may not hold "&", "<" or "-->" as they stand, and must be UTF-8: other bytes
// and control bytes go in percent-encoded, which a URL reads the same.
std::string cueText(std::string_view url) {
    std::string out;
    while (!url.empty()) {
        const char c = url.front();
        const auto byte = static_cast<unsigned char>(c);
        const size_t length = utf8SequenceLength(url);
        if (c == '&')
            out += "&amp;";
        else if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (length == 0 || byte < 0x20 || byte == 0x7F)
            out += percentEncoded(c);
        else
            out += url.substr(0, length);
        url.remove_prefix(std::max<size_t>(length, 1));
    }
    return out;
}

} // namespace

EventListReading readEventList(std::string_view bytes) {
    EventListReading reading;
    int number = 0;
    while (!bytes.empty()) {
        ++number;
        const size_t end = bytes.find_first_of("\r\n");
        const std::string_view line = bytes.substr(0, end);
        if (end == std::string_view::npos)
            bytes = {};
        else
            bytes.remove_prefix(end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1));
        std::string reason;
        std::optional<PageEvent> event = readLine(line, reason);
        // Cues must come in the order of their starts.
        if (event && !reading.events.empty() && event->startMs < reading.events.back().startMs) {
            reason = "starts before the line before it";
            event.reset();
        }
        if (event) {
            reading.events.push_back(std::move(*event));
            continue;
        }
        reading.problems.push_back({number, reason});
        if (reading.problems.size() == MaxEventListProblems) {
            reading.stoppedEarly = !bytes.empty();
            break;
        }
    }
    return reading;
}

std::string webVttOf(const std::vector<PageEvent>& events) {
    std::string vtt = "WEBVTT\n";
    for (const PageEvent& event : events)
        vtt += "\n" + timestamp(event.startMs) + " --> " + timestamp(event.endMs) + "\n" +
               cueText(event.url) + "\n";
    return vtt;
}
