#pragma once

#include "logger/loggerclock_windows.h"
#include "logger/loggerprograms.h"

struct ProgramEntry;

// Runs a registered program on the Windows desktop with the user's settings (the
// registry) until its main window unloads. Returns the exit status.
int runWin32Program(const ProgramEntry& entry, int argc, char* argv[]);

// A logger on the Windows desktop: the automation its main picked, the computer's clock,
// the system beep and the default sound input.
class Win32LoggerEnvironment : public LoggerEnvironment {
  public:
    explicit Win32LoggerEnvironment(PresentationBinding binding);
    ~Win32LoggerEnvironment() override;

    AutomationFactory automation() override { return m_binding.create; }
    AutomationFactory attachment() override { return m_binding.attach; }
    LoggerClock& clock() override { return m_clock; }
    void beep() override;
    AudioInputFactory audioInput() override { return platformAudioInput(); }

  private:
    PresentationBinding m_binding;
    WindowsClock m_clock;
};
