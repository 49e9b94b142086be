#pragma once

#include "logger/loggerclock.h"

// The computer's clock on Windows: times of day in the user's long time format, as the
// system's clock shows them; the U.S. long time where that format would hold a comma.
class WindowsClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};
