#pragma once

#include <string>
#include <string_view>
#include <vector>

// One event of an event list: the page at `url` is shown from `startMs` to `endMs` of the
// audio.
struct PageEvent {
    long long startMs = 0;
    long long endMs = 0;
    std::string url;
    friend bool operator==(const PageEvent&, const PageEvent&) = default;
};

struct EventListProblem {
    int line = 0; // 1-based
    std::string reason;
};

struct EventListReading {
    std::vector<PageEvent> events;
    std::vector<EventListProblem> problems;
};

// Reads an event list: lines "u DD:HH:MM:SS.T DD:HH:MM:SS.T URL" ended by CR LF, LF or CR.
// Every line that does not fit, or whose end is not after its start, is a problem; the
// reading goes on so that all of them are reported. Takes any bytes.
EventListReading readEventList(std::string_view bytes);

// The events as a WebVTT file: one cue each, its text the page URL.
std::string webVttOf(const std::vector<PageEvent>& events);
