#pragma once

#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"

#include <utility>

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};

// A logger on the desktop: the automation its main picked, the computer's clock and the
// system beep.
class QtLoggerEnvironment : public LoggerEnvironment {
  public:
    explicit QtLoggerEnvironment(AutomationFactory automation)
        : m_automation(std::move(automation)) {}
    AutomationFactory automation() override { return m_automation; }
    LoggerClock& clock() override { return m_clock; }
    void beep() override;

  private:
    AutomationFactory m_automation;
    QtLoggerClock m_clock;
};
