#pragma once

#include "common/programregistry.h"
#include "logger/automation.h"
#include "logger/loggerclock.h"
#include "logger/powerpointversion.h"
#include "logger/substitutepowerpoint.h"

#include <functional>
#include <iosfwd>
#include <memory>

class Form1;

// What a logger takes from its desktop besides the user-interface services: the
// presentation program's automation, the clock and the system beep.
class LoggerEnvironment : public ProgramEnvironment {
  public:
    virtual AutomationFactory automation() = 0;
    // Binds a program that runs already; empty where binding could only start one.
    virtual AutomationFactory attachment() { return {}; }
    virtual LoggerClock& clock() = 0;
    virtual void beep() = 0;
    // The window made from this environment, once the program has started.
    Form1* form = nullptr;
};

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

using LoggerEnvironmentFactory = std::function<std::unique_ptr<LoggerEnvironment>()>;

// The entry of the logger built for this version, on the desktop the factory makes.
ProgramEntry loggerEntry(const PowerPointVersion& version, LoggerEnvironmentFactory environment);
// cuerec7 and cuerec8 on the scripted desktop, with their script commands: clock, tick,
// ppt and log.
void registerScriptedLoggers(ProgramRegistry& registry);
