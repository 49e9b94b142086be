#pragma once

#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"

#include <functional>

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};

// What the logger's main() picks for the platform (LibreOffice Impress on Linux, where its
// binding is built; COM on Windows): creating and attaching the presentation program, and
// taking its bridge down before main returns.
struct DesktopAutomation {
    AutomationFactory create;
    AutomationFactory attach;
    // Waits a bounded time; false when the office kept its bridge. Empty: nothing to do.
    std::function<bool()> shutdown;
};

// A logger on the desktop: the automation its main() hands in, the computer's clock and
// the system beep.
class QtLoggerEnvironment : public LoggerEnvironment {
  public:
    explicit QtLoggerEnvironment(DesktopAutomation automation);
    // Takes the office's bridge down, with a bounded wait, while the program still runs.
    ~QtLoggerEnvironment() override;

    AutomationFactory automation() override { return m_automation.create; }
    AutomationFactory attachment() override { return m_automation.attach; }
    LoggerClock& clock() override { return m_clock; }
    void beep() override;

    // True once an office kept its bridge past the wait: the process must then end without
    // its static teardown, which would wait for that office again.
    static bool officeLeftStuck();

  private:
    DesktopAutomation m_automation;
    QtLoggerClock m_clock;
};
