#pragma once

#include "logger/loggerprograms.h"
#include "testing/manualclock.h"
#include "testing/substitutepowerpoint.h"

#include <iosfwd>

// The scripted desktop: the substitute presentation program, a clock the script sets,
// and beeps that are counted and printed.
class ScriptLoggerEnvironment : public LoggerEnvironment {
  public:
    AutomationFactory automation() override { return ppt.factory(); }
    AutomationFactory attachment() override { return ppt.attachFactory(); }
    LoggerClock& clock() override { return manualClock; }
    void beep() override;

    SubstitutePowerPoint ppt;
    ManualClock manualClock;
    std::ostream* out = nullptr; // where a beep is shown
};

// cuerec7 and cuerec8 on the scripted desktop, with their script commands: clock, tick,
// ppt and log.
void registerScriptedLoggers(ProgramRegistry& registry);
