#pragma once

#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};

// A logger on the desktop: the platform's automation (LibreOffice Impress on Linux, where
// its binding is built), the computer's clock and the system beep.
class QtLoggerEnvironment : public LoggerEnvironment {
  public:
    AutomationFactory automation() override;
    LoggerClock& clock() override { return m_clock; }
    void beep() override;

  private:
    QtLoggerClock m_clock;
};
