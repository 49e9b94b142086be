#pragma once

#include "common/commandline.h"
#include "program.h"
#include "scriptcommand.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class SettingsStore;
class UiServices;
class Window;

// What one program needs beyond the desktop and the settings store: a clock, a beep, an
// automation factory. Each program derives its own; its script commands reach it too.
class ProgramEnvironment {
  public:
    virtual ~ProgramEnvironment() = default;
};

// Everything a main window is made from.
struct WindowContext {
    UiServices& ui;
    SettingsStore& settings;
    Program& program;
    ProgramEnvironment& environment;
};

// A program of the system, registered once and found by its name by cuescript's
// `program NAME`, the apps' mains and the views.
//
// How a program registers (the post-processor's entry in schedule/ is an example):
// - Entry: name, settingsApplication, title, version and helpFileName, plus mainWindow,
//   a factory of its main window from a WindowContext, and, when it needs one,
//   environment, a factory of its ProgramEnvironment (the runner makes one per program
//   name and keeps it for the whole script, so setup commands can fill it before start).
// - Script commands: `commands`, each a word, when it may run and a function given the
//   runner's ScriptContext and the program's environment. A command word is routed to
//   the running program, else (before any start) to every program that has the word.
// - Dump: the window overrides Window::dumpState to print its own state lines; the
//   runner prints the controls itself.
// - View: each desktop registers one view for each window class (WindowViews,
//   windowview.h: gui/viewregistry.cpp, win32/win32views.cpp); models never see it.
struct ProgramEntry {
    std::string name;                // what `program NAME` and the apps look up
    std::string settingsApplication; // its application in the settings store
    std::string title;               // window and message box title
    std::string version;             // shown in the About box
    std::string helpFileName;        // beside the program
    std::function<std::unique_ptr<ProgramEnvironment>()> environment;
    std::function<std::unique_ptr<Window>(WindowContext&)> mainWindow;
    std::vector<ScriptCommand> commands;
    // Under cuescript a message box without a queued answer stays up, and the script
    // goes on (its timers ticking) until an `answer` line; otherwise it takes its
    // default button at once.
    bool boxesWaitForAnswer = false;

    // The running program's shared state, for a program directory.
    Program makeProgram(const std::string& directory) const;
    // What --help says of the desktop program, on every desktop.
    CommandLineUsage commandLineUsage() const;
    // The entry's environment, or a plain one when it needs none.
    std::unique_ptr<ProgramEnvironment> makeEnvironment() const;
    const ScriptCommand* command(const std::string& word) const;
};

class ProgramRegistry {
  public:
    // Throws std::logic_error when the name is taken.
    void add(ProgramEntry entry);
    // Null when no program has that name.
    const ProgramEntry* find(const std::string& name) const;
    const std::vector<ProgramEntry>& entries() const { return m_entries; }
    // The names, separated by ", ": for messages.
    std::string names() const;

  private:
    std::vector<ProgramEntry> m_entries;
};
