#include "win32program.h"

#include "win32uiservices.h"
#include "win32view.h"
#include "win32views.h"

#include "common/commandline.h"
#include "common/programregistry.h"
#include "common/registrysettingsstore.h"
#include "common/win32text.h"
#include "common/window.h"

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>

namespace {

// The folder of the program's file, where its shipped files lie.
std::string programFolder() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n < name.size()) {
            name.resize(n);
            break;
        }
        name.resize(name.size() * 2);
    }
    return Win32Text::narrow(name.substr(0, name.find_last_of(L"\\/")));
}

} // namespace

int runWin32Program(const ProgramEntry& entry, int argc, char* argv[]) {
    // --help and --version are answered before any window or automation server exists.
    const CommandLine line = readCommandLine(argc, argv, entry.commandLineUsage());
    if (line.answered)
        return *line.answered;

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    RegistrySettingsStore settings;
    Program program = entry.makeProgram(programFolder());
    Win32UiServices ui(program.title);
    std::unique_ptr<ProgramEnvironment> environment = entry.makeEnvironment();
    WindowContext context{ui, settings, program, *environment};
    std::unique_ptr<Window> main = entry.mainWindow(context);
    // The view exists before the window loads, so the window may show itself during its
    // load; it is shown at the latest once loaded.
    std::unique_ptr<Win32View> view = makeWin32View(*main, nullptr);
    if (!view) {
        ui.MsgBox("No view for the window " + main->name(), Mb::OKOnly + Mb::Exclamation);
        return 1;
    }
    view->takeViewSize();
    main->load();
    if (main->isClosed())
        return 0;
    view->showModel();
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
