#pragma once

#include "common/clocktime.h"
#include "logger/presentationlog.h"

#include <optional>
#include <string>

// A log as the logger writes it, on a clock that the test moves on.
struct LogBuilder {
    explicit LogBuilder(int startSeconds = 10 * 3600) : clock(startSeconds) {}

    LogBuilder& slide(int afterSeconds, int number, const std::string& title = "T",
                      const std::string& path = "C:\\Talks\\q3.ppt") {
        const double now = advance(afterSeconds);
        bytes +=
            PresentationLog::slideLine(dayCount(now), ClockTime::format(now), path, number, title);
        return *this;
    }
    LogBuilder& event(int afterSeconds, const std::string& text) {
        const double now = advance(afterSeconds);
        bytes += PresentationLog::eventLine(dayCount(now), ClockTime::format(now), text);
        return *this;
    }
    LogBuilder& end(int afterSeconds) { return event(afterSeconds, "Logging Stopped"); }

    double advance(int seconds) {
        clock = (clock + seconds) % 86400;
        return ClockTime::fromSeconds(clock);
    }
    double dayCount(double now) {
        const double d = PresentationLog::interval(last, now);
        last = now;
        return d;
    }

    int clock;
    std::optional<double> last;
    std::string bytes;
};
