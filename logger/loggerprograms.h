#pragma once

#include "common/programregistry.h"
#include "logger/automation.h"
#include "logger/loggerclock.h"
#include "logger/powerpointversion.h"

#include <functional>
#include <memory>

class Form1;

// What a logger takes from its desktop besides the user-interface services: the
// presentation program's automation, the clock and the system beep.
class LoggerEnvironment : public ProgramEnvironment {
  public:
    virtual AutomationFactory automation() = 0;
    virtual LoggerClock& clock() = 0;
    virtual void beep() = 0;
    // The window made from this environment, once the program has started.
    Form1* form = nullptr;
};

using LoggerEnvironmentFactory = std::function<std::unique_ptr<LoggerEnvironment>()>;

// The entry of the logger built for this version, on the desktop the factory makes: its
// title, version, help file and settings application are declared here only.
ProgramEntry loggerEntry(const PowerPointVersion& version, LoggerEnvironmentFactory environment);
