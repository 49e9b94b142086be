#pragma once

#include "common/settingsstore.h"
#include "forms/program.h"
#include "logger/form1.h"
#include "logger/loggerclock.h"
#include "testfiles.h"
#include "testing/manualclock.h"
#include "testing/scriptedui.h"
#include "testing/substitutepowerpoint.h"

#include <memory>
#include <optional>
#include <string>

// A logger window on a scripted desktop with the substitute presentation program, a
// clock the test sets and a beep it counts; nothing touches the real user's settings.
struct LoggerFixture {
    explicit LoggerFixture(const PowerPointVersion& version = PowerPoint8,
                           AudioInputFactory audioInput = {}, Recorder::Options recording = {});

    // Start-up at the given time; the log dialog takes logName (a name in the temporary
    // folder, or an absolute path), or is cancelled when there is none.
    void start(const std::optional<std::string>& logName = "talk.txt", int h = 10, int m = 0,
               int s = 0);
    // One poll of Timer1 at the given time, when the timer is enabled.
    void tick(int h, int m, int s);
    // End Log at the given time, its question answered.
    void endLog(int h, int m, int s, int answer = Mb::OK);
    std::string path(const std::string& name) const;
    std::string log() const; // the bytes of the chosen log file
    std::string logOf(const std::string& path) const;

    TempFolder dir;
    ScriptedUi ui{"Cuemark Logger 8"};
    MemorySettingsStore settings;
    Program program;
    SubstitutePowerPoint ppt;
    ManualClock clock;
    int beeps = 0;
    std::unique_ptr<Form1> form;
};
