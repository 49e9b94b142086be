// winprobe: finds a shown top-level window by its title and prints what an operator sees of
// it (its menu with the items' states, its controls with their captions), or works one of
// its controls as an operator would. Run under the same wine as the program it looks at.
//
//   winprobe TITLE                 wait for the window, then print it
//   winprobe TITLE --press CAPTION click the button with that caption
//   winprobe TITLE --menu CAPTION  choose the menu item with that caption
//   winprobe TITLE --command ID    choose the menu command with that id (wine lets no
//                                  other process read a program's menu)
//   winprobe TITLE --open-menu KEY open the menu with that access letter, for a picture
//   winprobe TITLE --close-menu    close it again
//   winprobe TITLE --close         press the window's close box
//   winprobe TITLE --set ID TEXT   put a text into the field with that control id
//   winprobe TITLE --key return    press Enter, where the window's focus is
//   winprobe TITLE --gone          wait until no window of that title is shown
//
// Exit status 0 when done, 1 when the window or the control was not found in time.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr DWORD WaitMs = 30000;

std::string utf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), n, nullptr, nullptr);
    return bytes;
}

std::wstring wide(const char* text) {
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n <= 1)
        return {};
    std::vector<wchar_t> result(static_cast<size_t>(n));
    ::MultiByteToWideChar(CP_UTF8, 0, text, -1, result.data(), n);
    return std::wstring(result.data());
}

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    // WM_GETTEXT crosses processes; GetWindowText does not for controls.
    ::SendMessageTimeoutW(hwnd, WM_GETTEXT, 1023, reinterpret_cast<LPARAM>(buffer),
                          SMTO_ABORTIFHUNG, 5000, nullptr);
    return buffer;
}

// The caption without its access key mark.
std::wstring plain(const std::wstring& caption) {
    std::wstring text;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == L'&' && i + 1 < caption.size())
            ++i;
        text += caption[i];
    }
    return text;
}

struct Search {
    std::wstring title;
    HWND found = nullptr;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    if (::IsWindowVisible(hwnd) && textOf(hwnd) == s->title) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND findShown(const std::wstring& title) {
    Search search{title};
    ::EnumWindows(&matchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitFor(const std::wstring& title) {
    const DWORD start = ::GetTickCount();
    while (::GetTickCount() - start < WaitMs) {
        if (HWND hwnd = findShown(title))
            return hwnd;
        ::Sleep(200);
    }
    return nullptr;
}

BOOL CALLBACK collectChild(HWND child, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
}

std::vector<HWND> childrenOf(HWND hwnd) {
    std::vector<HWND> children;
    ::EnumChildWindows(hwnd, &collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::wstring classOf(HWND hwnd) {
    wchar_t name[256] = {};
    ::GetClassNameW(hwnd, name, 255);
    return name;
}

struct MenuCommand {
    std::wstring path;
    UINT id = 0;
    bool enabled = true;
    bool checked = false;
    bool popup = false;
};

void readMenu(HMENU menu, const std::wstring& prefix, std::vector<MenuCommand>& out) {
    const int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t caption[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = caption;
        info.cch = 255;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        MenuCommand command;
        command.path = prefix + (info.fType & MFT_SEPARATOR ? L"-" : plain(caption));
        command.id = info.wID;
        command.enabled = !(info.fState & MFS_DISABLED);
        command.checked = (info.fState & MFS_CHECKED) != 0;
        command.popup = info.hSubMenu != nullptr;
        out.push_back(command);
        if (info.hSubMenu)
            readMenu(info.hSubMenu, command.path + L"/", out);
    }
}

void print(HWND window) {
    std::printf("window \"%s\"\n", utf8(textOf(window)).c_str());
    std::vector<MenuCommand> menu;
    if (HMENU bar = ::GetMenu(window))
        readMenu(bar, L"", menu);
    for (const MenuCommand& item : menu)
        std::printf("menu \"%s\"%s%s\n", utf8(item.path).c_str(), item.enabled ? "" : " disabled",
                    item.checked ? " checked" : "");
    for (HWND child : childrenOf(window)) {
        const std::wstring cls = classOf(child);
        const bool visible = ::IsWindowVisible(child) != FALSE;
        const bool enabled = ::IsWindowEnabled(child) != FALSE;
        std::string what = "\"" + utf8(textOf(child)) + "\"";
        if (cls == L"SysListView32")
            what = "rows " + std::to_string(::SendMessageW(child, LVM_GETITEMCOUNT, 0, 0));
        else if (cls == L"SysHeader32")
            what = "columns " + std::to_string(::SendMessageW(child, HDM_GETITEMCOUNT, 0, 0));
        std::printf("%s #%d %s%s%s\n", utf8(cls).c_str(), ::GetDlgCtrlID(child), what.c_str(),
                    visible ? "" : " hidden", enabled ? "" : " disabled");
    }
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr,
                     "usage: winprobe TITLE [--press CAPTION | --menu CAPTION | --close]\n");
        return 2;
    }
    const std::wstring title = wide(argv[1]);
    const std::string action = argc > 2 ? argv[2] : "";
    if (action == "--gone") {
        const DWORD start = ::GetTickCount();
        while (findShown(title)) {
            if (::GetTickCount() - start > 10000) {
                std::fprintf(stderr, "winprobe: \"%s\" is still shown\n", argv[1]);
                return 1;
            }
            ::Sleep(200);
        }
        return 0;
    }
    HWND window = waitFor(title);
    if (!window) {
        std::fprintf(stderr, "winprobe: no window \"%s\" within %lu s\n", argv[1], WaitMs / 1000);
        return 1;
    }
    const std::wstring caption = argc > 3 ? wide(argv[3]) : std::wstring();
    if (action.empty()) {
        print(window);
        return 0;
    }
    if (action == "--close") {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return 0;
    }
    if (action == "--press") {
        for (HWND child : childrenOf(window)) {
            if (classOf(child) == L"Button" && plain(textOf(child)) == caption &&
                ::IsWindowVisible(child) && ::IsWindowEnabled(child)) {
                // As a click does: the button's own notification reaches its window.
                ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(child), BN_CLICKED),
                               reinterpret_cast<LPARAM>(child));
                return 0;
            }
        }
    } else if (action == "--command" && argc > 3) {
        ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(std::stoi(argv[3]), 0), 0);
        return 0;
    } else if (action == "--open-menu" && argc > 3) {
        ::PostMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(argv[3][0]));
        return 0;
    } else if (action == "--set" && argc > 4) {
        HWND field = ::GetDlgItem(window, std::stoi(argv[3]));
        if (field) {
            // As a paste does: the field's change notification reaches its window.
            ::SendMessageTimeoutW(field, WM_SETTEXT, 0,
                                  reinterpret_cast<LPARAM>(wide(argv[4]).c_str()), SMTO_ABORTIFHUNG,
                                  5000, nullptr);
            return 0;
        }
    } else if (action == "--key" && caption == L"return") {
        // As the keyboard does: the key goes to the focused control of the window's thread,
        // through the program's own message loop.
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        HWND target = window;
        if (::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &thread) &&
            thread.hwndFocus)
            target = thread.hwndFocus;
        ::PostMessageW(target, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        ::PostMessageW(target, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001));
        return 0;
    } else if (action == "--close-menu") {
        ::PostMessageW(window, WM_CANCELMODE, 0, 0);
        return 0;
    } else if (action == "--menu") {
        std::vector<MenuCommand> menu;
        if (HMENU bar = ::GetMenu(window))
            readMenu(bar, L"", menu);
        for (const MenuCommand& item : menu) {
            const std::wstring name = item.path.substr(item.path.rfind(L'/') + 1);
            if (!item.popup && item.enabled && name == caption) {
                ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0);
                return 0;
            }
        }
    }
    std::fprintf(stderr, "winprobe: \"%s\" has no usable %s \"%s\"\n", argv[1], action.c_str() + 2,
                 argc > 3 ? argv[3] : "");
    return 1;
}
