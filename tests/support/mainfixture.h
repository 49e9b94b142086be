#pragma once

#include "common/schedulerow.h"
#include "common/settingsstore.h"
#include "config/urlsettings.h"
#include "forms/program.h"
#include "schedule/mainwindow.h"
#include "testfiles.h"
#include "testing/scriptedui.h"

#include <memory>
#include <string>
#include <vector>

// A post-processor main window on a scripted desktop, an in-memory settings store and a
// temporary folder; nothing touches the real user's settings or home folder.
struct MainFixture {
    MainFixture();

    // Runs the start-up as the program does (splash included).
    void start();
    // A path inside the temporary folder.
    std::string path(const std::string& name) const;
    // Writes bytes to a file in the temporary folder and returns its path.
    std::string writeFile(const std::string& name, const std::string& bytes) const;
    std::string readFile(const std::string& path) const;

    // The window's states are built through its own commands, as the operator builds them.
    // Read Log File and Read Grid, the dialog answered with the path.
    void readLog(const std::string& path);
    void readGrid(const std::string& path);
    // Grid mode with these rows, log name and URLs: a grid file written to ".grid.txt" in
    // the temporary folder (a name the tests' folder listings leave out), then read.
    void loadGrid(const std::vector<ScheduleRow>& rows, const std::string& logFile = "log.txt",
                  const std::string& audioUrl = UrlSettings::DefaultAudioURL,
                  const std::string& htmUrl = UrlSettings::DefaultHTMLURL);
    // The row editor's Update of row k with these texts; `typed` keys them in through the
    // title field, which counts as an edit of the schedule.
    void updateRow(int k, const std::string& length, const std::string& imageUrl,
                   const std::string& title, bool typed = false);
    // Stores the URL settings and takes them up, as closing the Configuration window does.
    void useUrlSettings(const UrlSettings& urls);
    // One value of the window's state as its dump gives it: a flag as "true" or "false", a
    // text as it stands; empty when the dump has no such name.
    std::string state(const std::string& name) const;

    TempFolder dir;
    ScriptedUi ui{"Cuemark PostProcessor"};
    MemorySettingsStore settings;
    Program program;
    std::unique_ptr<Main> main;
};
