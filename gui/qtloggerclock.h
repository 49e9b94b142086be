#pragma once

#include "logger/loggerclock.h"

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};
