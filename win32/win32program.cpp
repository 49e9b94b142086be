#include "win32program.h"

#include "win32uiservices.h"
#include "win32view.h"
#include "win32views.h"

#include "common/commandline.h"
#include "common/registrysettingsstore.h"
#include "common/win32text.h"
#include "forms/programregistry.h"
#include "forms/window.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <utility>

namespace {

// A desktop program has no console of its own: --help and --version print into the
// console it was started from, unless its output already goes to a file or a pipe.
void useParentConsole() {
    const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
    if (out && out != INVALID_HANDLE_VALUE && ::GetFileType(out) != FILE_TYPE_UNKNOWN)
        return;
    if (::AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
}

} // namespace

int runWin32Program(const ProgramEntry& entry, int argc, char* argv[]) {
    if (argc > 1)
        useParentConsole();
    // --help and --version are answered before any window or automation server exists.
    const CommandLine line = readCommandLine(argc, argv, entry.commandLineUsage());
    if (line.answered)
        return *line.answered;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    RegistrySettingsStore settings;
    Program program = entry.makeProgram(Win32Text::programFolder());
    Win32UiServices ui(program.title);
    std::unique_ptr<ProgramEnvironment> environment = entry.makeEnvironment();
    WindowContext context{ui, settings, program, *environment};
    std::unique_ptr<Window> main = entry.mainWindow(context);
    // The view exists before the window loads, so the window may show itself during its
    // load; it is shown at the latest once loaded.
    std::unique_ptr<Win32View> view = win32Views().make(*main, nullptr);
    if (!view) {
        ui.MsgBox("No view for the window " + main->name(), Mb::OKOnly + Mb::Exclamation);
        return 1;
    }
    if (openWindow(*main, *view))
        Win32View::runUntilClosed(*main);
    return 0;
}

Win32LoggerEnvironment::Win32LoggerEnvironment(PresentationBinding binding)
    : m_binding(std::move(binding)) {}

Win32LoggerEnvironment::~Win32LoggerEnvironment() {
    // Lets go of the presentation program while the program still runs.
    if (m_binding.release)
        m_binding.release();
}

void Win32LoggerEnvironment::beep() {
    ::MessageBeep(MB_OK);
}
