#pragma once

#include "logger/loggerclock.h"
#include "logger/loggerprograms.h"

#include <utility>

// The computer's clock, with times of day written in the user's long time format.
class QtLoggerClock : public SystemClock {
  public:
    std::string timeText(double timeOfDay) const override;
};

// A logger on the desktop: the automation its main picked, the computer's clock, the
// system beep and the default sound input.
class QtLoggerEnvironment : public LoggerEnvironment {
  public:
    explicit QtLoggerEnvironment(PresentationBinding binding) : m_binding(std::move(binding)) {}
    // Lets go of the presentation program while the program still runs.
    ~QtLoggerEnvironment() override;

    AutomationFactory automation() override { return m_binding.create; }
    AutomationFactory attachment() override { return m_binding.attach; }
    LoggerClock& clock() override { return m_clock; }
    void beep() override;
    AudioInputFactory audioInput() override { return platformAudioInput(); }

    // True once a presentation program kept hold past the wait: the process must then end
    // without its static teardown, which would wait for it again.
    static bool officeLeftStuck();

  private:
    PresentationBinding m_binding;
    QtLoggerClock m_clock;
};
