#include "eventlistreader.h"

#include "webout/encoders.h"

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
               vttUrlText(event.url) + "\n";
    return vtt;
}
