#pragma once

#include <memory>
#include <string>

struct ProgramEntry;
class QWidget;
class SettingsStore;
class Window;

// One registered program on the desktop: its main window from the registry's factory and
// the view registered for that window. Its main() and the window tests start it alike.
class QtProgramRun {
  public:
    // The program's files are in `directory`; its settings go to `settings`.
    QtProgramRun(const ProgramEntry& entry, SettingsStore& settings, const std::string& directory);
    ~QtProgramRun();

    // The main window loads (the splash comes and goes) and its view shows. False when no
    // view is registered for the window or the window closed while it loaded.
    bool start();

    Window& mainWindow() const;
    // Sends closed() once the main window has unloaded.
    QWidget* view() const;
    bool hasView() const;

  private:
    struct Parts;
    std::unique_ptr<Parts> m;
};

// Runs a registered program with the user's settings until its main window unloads; its
// windows show the icon named `icon` (cuebuild, cuerec). Returns the exit status.
int runQtProgram(const ProgramEntry& entry, const std::string& icon, int argc, char* argv[]);
