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

// A hostile list costs no more than this many reported problems.
inline constexpr size_t MaxEventListProblems = 20;

struct EventListReading {
    std::vector<PageEvent> events;
    std::vector<EventListProblem> problems;
    bool stoppedEarly = false; // reading ended at the last problem, with more lines left
};

// Reads an event list: lines "u DD:HH:MM:SS.T DD:HH:MM:SS.T URL" ended by CR LF, LF or CR.
// Every line that does not fit, whose end is not after its start, or that starts before
// the line before it, is a problem; the reading goes on so that all of them are reported,
// up to MaxEventListProblems. Takes any bytes.
EventListReading readEventList(std::string_view bytes);

// The events as a WebVTT file: one cue each, its text the page URL, in which bytes that
// are not UTF-8 are percent-encoded so the file is valid UTF-8.
std::string webVttOf(const std::vector<PageEvent>& events);
