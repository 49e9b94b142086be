// The cevents stand-in's reader on any event list: every problem names a line of the list,
// no more problems than the bound, every event it takes ends after it starts and starts no
// earlier than the one before, and a list without problems becomes a WebVTT file of UTF-8
// text with one cue per event.
#include "fuzzsupport.h"

#include "common/eightbittext.h"
#include "tools/eventlistreader.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const EventListReading reading = readEventList(bytes);
    const int lines = static_cast<int>(std::count(bytes.begin(), bytes.end(), '\n') +
                                       std::count(bytes.begin(), bytes.end(), '\r')) +
                      1;
    for (const EventListProblem& problem : reading.problems) {
        if (problem.line < 1 || problem.line > lines)
            Fuzz::fail("a problem on line " + std::to_string(problem.line) + " of " +
                       std::to_string(lines));
    }
    if (reading.problems.size() > MaxEventListProblems)
        Fuzz::fail("more problems reported than the bound");
    long long lastStart = 0;
    for (const PageEvent& event : reading.events) {
        if (event.endMs <= event.startMs || event.startMs < lastStart)
            Fuzz::fail("an event from " + std::to_string(event.startMs) + " to " +
                       std::to_string(event.endMs) + " ms after one from " +
                       std::to_string(lastStart));
        lastStart = event.startMs;
    }
    if (!reading.problems.empty())
        return 0;
    const std::string vtt = webVttOf(reading.events);
    if (vtt.rfind("WEBVTT", 0) != 0)
        Fuzz::fail("the event file does not start as WebVTT");
    size_t cues = 0;
    for (size_t at = vtt.find(" --> "); at != std::string::npos; at = vtt.find(" --> ", at + 5))
        ++cues;
    if (cues < reading.events.size())
        Fuzz::fail("fewer cues than events");
    if (!EightBitText::isUtf8(vtt))
        Fuzz::fail("the event file is not UTF-8");
    return 0;
}
