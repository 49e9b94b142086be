#pragma once

#include "logger/loggerprograms.h"
#include "testing/manualclock.h"
#include "testing/soundplayer.h"
#include "testing/substitutepowerpoint.h"

#include <iosfwd>
#include <map>
#include <memory>
#include <string>

// The script's clock: what the script set it to, or the machine's own once the script
// says so (a talk recorded in real time).
class ScriptClock : public LoggerClock {
  public:
    double timeOfDay() override { return real ? m_machine.timeOfDay() : manual.now; }
    ManualClock manual;
    bool real = false;

  private:
    SystemClock m_machine;
};

// The scripted desktop: the substitute presentation program, a clock the script sets,
// and beeps that are counted and printed. It has no sound input until the script gives
// it the machine's.
class ScriptLoggerEnvironment : public LoggerEnvironment {
  public:
    AutomationFactory automation() override { return ppt.factory(); }
    AutomationFactory attachment() override { return ppt.attachFactory(); }
    LoggerClock& clock() override { return scriptClock; }
    void beep() override;
    AudioInputFactory audioInput() override { return input; }
    // The show has reached a slide: its transition sound plays, when it has one.
    void slideShown(int slide);
    void openSoundOutput();

    SubstitutePowerPoint ppt;
    ScriptClock scriptClock;
    AudioInputFactory input;
    std::map<int, std::string> transitionSounds;
    std::unique_ptr<SoundPlayer> player;
    std::ostream* out = nullptr; // where a beep is shown
};

// cuerec7 and cuerec8 on the scripted desktop, with their script commands: clock, tick,
// ppt, log and audio.
void registerScriptedLoggers(ProgramRegistry& registry);
