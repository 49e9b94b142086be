#include "manualclock.h"

#include "common/clocktime.h"

void ManualClock::set(int hours, int minutes, int seconds) {
    now = ClockTime::fromSeconds(hours * 3600LL + minutes * 60LL + seconds);
}
