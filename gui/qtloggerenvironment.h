#pragma once

#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"

#include <memory>

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};

class ImpressBinding;

// A logger on the desktop: the platform's automation (LibreOffice Impress on Linux, where
// its binding is built), the computer's clock and the system beep.
class QtLoggerEnvironment : public LoggerEnvironment {
  public:
    QtLoggerEnvironment();
    // Takes the office's bridge down, with a bounded wait, while the program still runs.
    ~QtLoggerEnvironment() override;

    AutomationFactory automation() override;
    AutomationFactory attachment() override;
    LoggerClock& clock() override { return m_clock; }
    void beep() override;

    // True once an office kept its bridge past the wait: the process must then end without
    // its static teardown, which would wait for that office again.
    static bool officeLeftStuck();

  private:
    QtLoggerClock m_clock;
    std::shared_ptr<ImpressBinding> m_impress;
};
