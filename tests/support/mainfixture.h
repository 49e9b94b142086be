#pragma once

#include "common/settingsstore.h"
#include "forms/program.h"
#include "schedule/mainwindow.h"
#include "testfiles.h"
#include "testing/scriptedui.h"

#include <memory>
#include <string>

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

    TempFolder dir;
    ScriptedUi ui{"Cuemark PostProcessor"};
    MemorySettingsStore settings;
    Program program;
    std::unique_ptr<Main> main;
};
