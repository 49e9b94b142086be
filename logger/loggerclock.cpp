#include "loggerclock.h"

#include "common/clocktime.h"

#include <cstdio>
#include <ctime>

std::string LoggerClock::timeText(double timeOfDay) const {
    const long long seconds = ClockTime::toSeconds(timeOfDay) % 86400;
    const long long hours = seconds / 3600;
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld:%02lld %s", hours % 12 == 0 ? 12 : hours % 12,
                  seconds / 60 % 60, seconds % 60, hours < 12 ? "AM" : "PM");
    return buffer;
}

double SystemClock::timeOfDay() {
    const std::time_t now = std::time(nullptr);
    // The logger runs on one thread, so the shared result of localtime is safe here.
    const std::tm* local = std::localtime(&now);
    return ClockTime::fromSeconds(local->tm_hour * 3600LL + local->tm_min * 60LL + local->tm_sec);
}
