// windriver.exe: plays the operator at a program's windows, under the same wine as the
// program. Each argument group is one step, done in order; every step waits (up to
// 30 s) for what it needs and prints one line of what it saw:
//   window TITLE            a top-level window with this title appears
//   file TITLE PATH         a file dialog TITLE: its file name becomes PATH, then OK;
//                           a PATH starting with "/" is taken through wine's drive Z:
//   see TITLE               a message box TITLE: prints its text
//   box TITLE BUTTON        a message box TITLE: prints its text, then presses BUTTON
//   menu TITLE CAPTION      chooses the menu item CAPTION of window TITLE (not under
//                           wine, whose menus cannot be read from another process)
//   close TITLE             closes window TITLE as its close box does
//   click TITLE CAPTION     presses the button CAPTION of window TITLE
//   lines PATH N            the file PATH holds at least N lines
//   label TITLE TEXT        a label of window TITLE shows a text holding TEXT
//   shot NAME               prints "screenshot NAME" and waits for NAME.done, which the
//                           reader of its output writes once the screen is taken
//   gone TITLE              window TITLE has closed
// A TITLE ending in "*" matches every title that begins with what stands before it (a
// setup program names each page in its title).
// A step that fails prints "FAILED: ..." and ends the program it was driving, so the
// test never waits on a window left open.
#include "common/textfile.h"
#include "common/win32text.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int PatienceMs = 30000;
HWND g_driven = nullptr;

std::string textOf(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1023);
    return Win32Text::narrow(text);
}

std::string classOf(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 255);
    return Win32Text::narrow(name);
}

// A caption as the operator reads it: access-key marks and the shortcut after a tab go.
std::string readable(const std::string& caption) {
    std::string out;
    for (size_t i = 0; i < caption.size() && caption[i] != '\t'; ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        out += caption[i];
    }
    return out;
}

[[noreturn]] void fail(const std::string& why) {
    std::printf("FAILED: %s\n", why.c_str());
    std::fflush(stdout);
    if (g_driven) {
        DWORD process = 0;
        GetWindowThreadProcessId(g_driven, &process);
        if (const HANDLE handle = OpenProcess(PROCESS_TERMINATE, FALSE, process)) {
            TerminateProcess(handle, 3);
            CloseHandle(handle);
        }
    }
    std::exit(1);
}

template <typename T> T waitFor(const std::string& what, const std::function<T()>& probe) {
    for (int waited = 0; waited < PatienceMs; waited += 100) {
        if (T found = probe())
            return found;
        Sleep(100);
    }
    fail("no " + what + " within " + std::to_string(PatienceMs / 1000) + " s");
}

struct WindowSearch {
    std::string title;
    bool dialogOnly;
    HWND found;
};

// Named callbacks: 32-bit Windows calls them stdcall, which no lambda converts to.
BOOL CALLBACK matchTitle(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    const std::string& title = search->title;
    const bool prefix = !title.empty() && title.back() == '*';
    const std::string text = textOf(window);
    const bool named = prefix ? text.starts_with(title.substr(0, title.size() - 1)) : text == title;
    if (IsWindowVisible(window) && named &&
        (!search->dialogOnly || classOf(window) == "#32770")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
}

HWND topWindow(const std::string& title, bool dialogOnly) {
    WindowSearch search{title, dialogOnly, nullptr};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

HWND waitWindow(const std::string& title, bool dialogOnly = false) {
    return waitFor<HWND>("window \"" + title + "\"", [&] { return topWindow(title, dialogOnly); });
}

void press(HWND dialog, HWND button) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

HWND buttonOf(HWND parent, const std::string& caption) {
    for (HWND child : childrenOf(parent))
        if (classOf(child) == "Button" && readable(textOf(child)) == caption &&
            IsWindowVisible(child))
            return child;
    return nullptr;
}

// The command of the menu item CAPTION; 0 when there is none, and seen lists the
// captions there are.
UINT menuCommand(HMENU menu, const std::string& caption, std::string& seen) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, 255, MF_BYPOSITION);
        const std::string shown = readable(Win32Text::narrow(text));
        seen += " \"" + shown + "\"";
        if (HMENU sub = GetSubMenu(menu, i)) {
            if (const UINT id = menuCommand(sub, caption, seen))
                return id;
        } else if (shown == caption) {
            return GetMenuItemID(menu, i);
        }
    }
    return 0;
}

void fileDialog(const std::string& title, std::string path) {
    if (!path.empty() && path[0] == '/') {
        std::replace(path.begin(), path.end(), '/', '\\');
        path = "Z:" + path;
    }
    const HWND dialog = waitWindow(title, true);
    // The file name box: the combo box's edit in the explorer dialog, else the plain edit.
    HWND name = nullptr;
    for (int id : {0x47c, 0x480})
        if (!name)
            name = GetDlgItem(dialog, id);
    if (!name)
        fail("dialog \"" + title + "\" has no file name box");
    SetWindowTextW(name, Win32Text::widen(path).c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    waitFor<bool>("close of dialog \"" + title + "\"",
                  [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
    std::printf("file \"%s\" -> %s\n", title.c_str(), path.c_str());
}

// Waits for the box and prints its text; an empty button only looks.
void messageBox(const std::string& title, const std::string& button) {
    const HWND box = waitWindow(title, true);
    std::string text;
    for (HWND child : childrenOf(box))
        if (classOf(child) == "Static" && !textOf(child).empty())
            text = textOf(child);
    std::printf("box \"%s\" \"%s\"%s%s\n", title.c_str(), text.c_str(),
                button.empty() ? "" : " -> ", button.c_str());
    if (button.empty())
        return;
    const HWND pressed = buttonOf(box, button);
    if (!pressed)
        fail("box \"" + title + "\" has no button " + button);
    press(box, pressed);
    waitFor<bool>("close of box \"" + title + "\"", [&] { return !IsWindow(box); });
}

// Lines of a file another program holds open for writing, which the program's own
// readers refuse to share.
int linesIn(const std::string& path) {
    const HANDLE file = CreateFileW(Win32Text::widen(path).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    int lines = 0;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        lines += static_cast<int>(std::count(buffer, buffer + got, '\n'));
    CloseHandle(file);
    return lines;
}

} // namespace

int main(int argc, char* argv[]) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto need = [&](size_t at, size_t count) {
        if (at + count >= args.size())
            fail("step \"" + args[at] + "\" needs " + std::to_string(count) + " arguments");
    };
    for (size_t at = 0; at < args.size();) {
        const std::string& step = args[at];
        if (step == "window") {
            need(at, 1);
            g_driven = waitWindow(args[at + 1]);
            std::printf("window \"%s\"\n", args[at + 1].c_str());
            at += 2;
        } else if (step == "file") {
            need(at, 2);
            fileDialog(args[at + 1], args[at + 2]);
            at += 3;
        } else if (step == "see") {
            need(at, 1);
            messageBox(args[at + 1], "");
            at += 2;
        } else if (step == "box") {
            need(at, 2);
            messageBox(args[at + 1], args[at + 2]);
            at += 3;
        } else if (step == "menu") {
            need(at, 2);
            const HWND window = waitWindow(args[at + 1]);
            std::string seen;
            const UINT id = menuCommand(GetMenu(window), args[at + 2], seen);
            if (!id)
                fail("window \"" + args[at + 1] + "\" has no menu item " + args[at + 2] + ", only" +
                     seen);
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0);
            std::printf("menu \"%s\" %s\n", args[at + 1].c_str(), args[at + 2].c_str());
            at += 3;
        } else if (step == "close") {
            need(at, 1);
            PostMessageW(waitWindow(args[at + 1]), WM_CLOSE, 0, 0);
            std::printf("close \"%s\"\n", args[at + 1].c_str());
            at += 2;
        } else if (step == "click") {
            need(at, 2);
            const HWND window = waitWindow(args[at + 1]);
            const HWND button = waitFor<HWND>("button " + args[at + 2], [&] {
                const HWND found = buttonOf(window, args[at + 2]);
                return found && IsWindowEnabled(found) ? found : nullptr;
            });
            press(GetParent(button), button);
            std::printf("click \"%s\" %s\n", args[at + 1].c_str(), args[at + 2].c_str());
            at += 3;
        } else if (step == "lines") {
            need(at, 2);
            const int wanted = std::atoi(args[at + 2].c_str());
            waitFor<bool>(args[at + 2] + " lines in " + args[at + 1],
                          [&] { return linesIn(args[at + 1]) >= wanted; });
            std::printf("lines %d\n", wanted);
            at += 3;
        } else if (step == "label") {
            need(at, 2);
            const HWND window = waitWindow(args[at + 1]);
            const std::string& part = args[at + 2];
            waitFor<bool>("label holding \"" + part + "\"", [&] {
                for (HWND child : childrenOf(window))
                    if (classOf(child) == "Static" && textOf(child).find(part) != std::string::npos)
                        return true;
                return false;
            });
            std::printf("label \"%s\" %s\n", args[at + 1].c_str(), part.c_str());
            at += 3;
        } else if (step == "shot") {
            need(at, 1);
            std::printf("screenshot %s\n", args[at + 1].c_str());
            std::fflush(stdout);
            const std::string done = args[at + 1] + ".done";
            waitFor<bool>("screenshot " + args[at + 1], [&] { return TextFile::exists(done); });
            at += 2;
        } else if (step == "gone") {
            need(at, 1);
            waitFor<bool>("close of window \"" + args[at + 1] + "\"",
                          [&] { return topWindow(args[at + 1], false) == nullptr; });
            std::printf("gone \"%s\"\n", args[at + 1].c_str());
            g_driven = nullptr;
            at += 2;
        } else {
            fail("unknown step \"" + step + "\"");
        }
        std::fflush(stdout);
    }
    return 0;
}
