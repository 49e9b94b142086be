#include "win32uiservices.h"

#include "win32parts.h"
#include "win32view.h"
#include "win32views.h"

#include "common/win32text.h"
#include "forms/window.h"

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include <memory>
#include <utility>

Win32UiServices::Win32UiServices(std::string programTitle)
    : DesktopServices(std::move(programTitle)) {}

Win32UiServices::~Win32UiServices() {
    SetBusy(false);
}

int Win32UiServices::showBox(const std::string& text, int style, const std::string& title) {
    const std::wstring caption = Win32Parts::toScreen(title);
    // Boxes belong to the window the operator is working in.
    const int pressed = ::MessageBoxW(::GetActiveWindow(), Win32Parts::toScreen(text).c_str(),
                                      caption.c_str(), Win32Parts::messageBoxFlags(style));
    return Win32Parts::messageBoxResult(pressed, style);
}

bool Win32UiServices::ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) {
    const std::wstring start = Win32Text::widen(dialog.FileName);
    const size_t slash = start.find_last_of(L"\\/");
    const std::wstring folder =
        slash == std::wstring::npos ? std::wstring() : start.substr(0, slash);
    std::wstring name = slash == std::wstring::npos ? start : start.substr(slash + 1);
    std::wstring file(32768, L'\0');
    name.copy(file.data(), std::min(name.size(), file.size() - 1));
    const std::wstring filter = Win32Parts::dialogFilter(dialog.Filter);
    const std::wstring title = Win32Parts::toScreen(dialog.DialogTitle);

    OPENFILENAMEW box{};
    box.lStructSize = sizeof box;
    box.hwndOwner = ::GetActiveWindow();
    box.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    box.nFilterIndex = static_cast<DWORD>(dialog.FilterIndex > 0 ? dialog.FilterIndex : 1);
    box.lpstrFile = file.data();
    box.nMaxFile = static_cast<DWORD>(file.size());
    box.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    box.lpstrTitle = title.empty() ? nullptr : title.c_str();
    // A name may be typed without its extension, which the program adds, and need not
    // exist yet; the program reports a file it cannot read itself. Save asks before
    // replacing a file, so a log is not overwritten by accident.
    box.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    const BOOL chosen = kind == FileDialogKind::Open
                            ? ::GetOpenFileNameW(&box)
                            : (box.Flags |= OFN_OVERWRITEPROMPT, ::GetSaveFileNameW(&box));
    if (!chosen)
        return false;
    dialog.FileName = Win32Text::narrow(file.c_str());
    dialog.FilterIndex = static_cast<int>(box.nFilterIndex);
    return true;
}

void Win32UiServices::ShowHelp(const CommonDialog& dialog) {
    const std::string path = Win32Parts::browserHelpPath(dialog.HelpFile);
    const std::wstring wide = Win32Text::widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    std::string failure;
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        failure = Win32Text::systemMessage(ERROR_FILE_NOT_FOUND);
    } else {
        const auto result = reinterpret_cast<INT_PTR>(::ShellExecuteW(
            ::GetActiveWindow(), L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result <= 32)
            failure = Win32Text::systemMessage(static_cast<unsigned long>(
                result == SE_ERR_NOASSOC ? ERROR_NO_ASSOCIATION : ::GetLastError()));
    }
    if (!failure.empty())
        MsgBox("The help file " + path + " cannot be opened: " + failure,
               Mb::OKOnly + Mb::Exclamation);
}

void Win32UiServices::EnterWhatsThisMode(Window& window) {
    if (Win32View* view = Win32View::of(window))
        view->enterWhatsThisMode();
}

void Win32UiServices::showBusy(bool busy) {
    Win32View::setBusy(busy);
}

DesktopServices::Screen Win32UiServices::screen() const {
    const int dpi = Win32Dpi::system();
    Screen screen;
    screen.width = Win32Parts::toTwips(::GetSystemMetrics(SM_CXSCREEN), dpi);
    screen.height = Win32Parts::toTwips(::GetSystemMetrics(SM_CYSCREEN), dpi);
    screen.free = {0, 0, screen.width, screen.height};
    RECT area{};
    if (::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        screen.free = {Win32Parts::toTwips(area.left, dpi), Win32Parts::toTwips(area.top, dpi),
                       Win32Parts::toTwips(area.right - area.left, dpi),
                       Win32Parts::toTwips(area.bottom - area.top, dpi)};
    return screen;
}

std::unique_ptr<WindowView> Win32UiServices::modalView(Window& window) {
    return win32Views().make(window, ::GetActiveWindow());
}
