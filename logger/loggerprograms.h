#pragma once

#include "forms/programregistry.h"
#include "audio/audioinput.h"
#include "logger/automation.h"
#include "logger/loggerclock.h"
#include "logger/powerpointversion.h"

#include <functional>
#include <memory>

class Form1;

// What a logger takes from its desktop besides the user-interface services: the
// presentation program's automation, the clock, the system beep and the sound input.
class LoggerEnvironment : public ProgramEnvironment {
  public:
    virtual AutomationFactory automation() = 0;
    // Binds a program that runs already; empty where binding could only start one.
    virtual AutomationFactory attachment() { return {}; }
    virtual LoggerClock& clock() = 0;
    virtual void beep() = 0;
    // The machine's default sound input; empty where this desktop cannot record.
    virtual AudioInputFactory audioInput() { return {}; }
    // The window made from this environment, once the program has started.
    Form1* form = nullptr;
};

// The presentation program a logger's main binds: how a poll creates it, how it binds one
// that runs already (empty where it could only start one), and how the logger lets go of
// it before the program ends (false when it did not let go in time; empty when nothing
// is held).
struct PresentationBinding {
    AutomationFactory create;
    AutomationFactory attach;
    std::function<bool()> release;
};

// The binding a logger creates the presentation program with. When no program is
// registered under the build's own class name, the version-free name is bound instead,
// but only when the program found says (its "Version") that it is one this build can
// drive; otherwise the operator is told which version was found. Any other failure is
// the one reported. An empty factory stays empty.
AutomationFactory withVersionFreeName(AutomationFactory create, const PowerPointVersion& version);

using LoggerEnvironmentFactory = std::function<std::unique_ptr<LoggerEnvironment>()>;

// The entry of the logger built for this version, on the desktop the factory makes: its
// title, version, help file and settings application are declared here only.
ProgramEntry loggerEntry(const PowerPointVersion& version, LoggerEnvironmentFactory environment);
