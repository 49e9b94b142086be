#pragma once

#include <string>

// The logger's clock: the time of day with one-second resolution, as a fraction of a
// day. Injected so that tests and scripts set the time.
class LoggerClock {
  public:
    virtual ~LoggerClock() = default;
    virtual double timeOfDay() = 0;
    // A reading as the desktop writes a time of day; U.S. long time ("10:15:28 AM")
    // unless a platform clock knows the user's format.
    virtual std::string timeText(double timeOfDay) const;
};

// The computer's local time. Each desktop's clock derives from it to write the time of
// day in the user's format (WindowsClock, QtLoggerClock).
class SystemClock : public LoggerClock {
  public:
    double timeOfDay() override;
};
