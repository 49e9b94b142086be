#pragma once

#include "logger/loggerclock.h"

// A clock that shows what it was set to.
class ManualClock : public LoggerClock {
  public:
    double timeOfDay() override { return now; }
    void set(int hours, int minutes, int seconds);
    double now = 0;
};
