// The Win32 views of the system's windows in this process, on a virtual display: what a
// Windows user meets that another process cannot read (the menus' shortcut texts) and the
// window details the dialog manager and the status line depend on.
#include "forms/about.h"
#include "support/loggerfixture.h"
#include "support/mainfixture.h"
#include "win32/win32view.h"
#include "win32/win32views.h"

#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace {

// Each command of a menu by its path ("File/Exit"), with what the menu shows after the tab.
void readShortcuts(HMENU menu, const std::wstring& prefix,
                   std::map<std::wstring, std::wstring>& out) {
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        ::GetMenuStringW(menu, static_cast<UINT>(i), text, 255, MF_BYPOSITION);
        std::wstring caption = text;
        caption.erase(std::remove(caption.begin(), caption.end(), L'&'), caption.end());
        const size_t tab = caption.find(L'\t');
        const std::wstring name = prefix + caption.substr(0, tab);
        if (HMENU popup = ::GetSubMenu(menu, i))
            readShortcuts(popup, name + L"/", out);
        else if (!caption.empty())
            out[name] = tab == std::wstring::npos ? L"" : caption.substr(tab + 1);
    }
}

BOOL CALLBACK findTips(HWND hwnd, LPARAM found) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 63);
    if (std::wstring(name) == TOOLTIPS_CLASSW)
        *reinterpret_cast<HWND*>(found) = hwnd;
    return TRUE;
}

// Should Enter do nothing, the box is closed after a while and the test fails.
bool gaveUp = false;
HWND watchedBox = nullptr;
VOID CALLBACK giveUp(HWND, UINT, UINT_PTR, DWORD) {
    gaveUp = true;
    ::PostMessageW(watchedBox, WM_CLOSE, 0, 0);
}

std::map<std::wstring, std::wstring> shortcutsOf(Window& window) {
    const auto view = win32Views().make(window, nullptr);
    std::map<std::wstring, std::wstring> shortcuts;
    readShortcuts(::GetMenu(view->hwnd()), L"", shortcuts);
    return shortcuts;
}

TEST(Win32Views, menusShowTheirShortcutsAfterATab) {
    MainFixture main;
    main.start();
    LoggerFixture logger;
    const auto mainMenu = shortcutsOf(*main.main);
    const auto loggerMenu = shortcutsOf(*logger.form);
    struct Case {
        const std::map<std::wstring, std::wstring>& menu;
        const wchar_t* item;
        const wchar_t* shown;
    } const cases[] = {
        {mainMenu, L"File/Read Log File", L"Ctrl+O"},
        {mainMenu, L"File/Save Grid", L"Ctrl+S"},
        {mainMenu, L"File/Exit", L"Ctrl+Q"},
        {mainMenu, L"Help/Help", L"F1"},
        {mainMenu, L"File/Read Grid", L""},
        {mainMenu, L"Help/About", L""},
        {loggerMenu, L"File/Open Log", L"Ctrl+O"},
        {loggerMenu, L"File/Exit", L"Ctrl+Q"},
        {loggerMenu, L"Help/Help", L"F1"},
        {loggerMenu, L"Options/Beep 1st", L""},
    };
    for (const Case& c : cases) {
        const auto found = c.menu.find(c.item);
        ASSERT_NE(found, c.menu.end()) << std::string(c.item, c.item + wcslen(c.item));
        EXPECT_EQ(found->second, c.shown) << std::string(c.item, c.item + wcslen(c.item));
    }
}

// Enter in the About box presses OK, its default button, through the program's own loop;
// the splash has no button Enter could press.
TEST(Win32Views, enterPressesTheAboutBoxesOkButton) {
    for (const bool splash : {true, false}) {
        ScriptedUi ui("Cuemark PostProcessor");
        Program program{"Cuemark PostProcessor", "Version 1", ".", "cuebuild.hlp", splash};
        About about(ui, program);
        const auto view = win32Views().make(about, nullptr);
        ASSERT_TRUE(openWindow(about, *view));
        HWND ok = ::GetDlgItem(view->hwnd(), 105);
        ASSERT_NE(ok, nullptr);
        EXPECT_EQ(::GetWindowLongPtrW(ok, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
        const LRESULT defaultId = ::SendMessageW(view->hwnd(), DM_GETDEFID, 0, 0);
        if (splash) {
            EXPECT_EQ(defaultId, 0);
            continue;
        }
        EXPECT_EQ(defaultId, MAKELRESULT(105, DC_HASDEFID));
        HWND focus = ::GetFocus() ? ::GetFocus() : view->hwnd();
        ::PostMessageW(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
        gaveUp = false;
        watchedBox = view->hwnd();
        const UINT_PTR watchdog = ::SetTimer(nullptr, 0, 5000, &giveUp);
        Win32View::runUntilClosed(about);
        ::KillTimer(nullptr, watchdog);
        EXPECT_FALSE(gaveUp);
        EXPECT_TRUE(about.isClosed());
    }
}

// The status line shows a message of two lines whole; a longer one is whole in its tip.
TEST(Win32Views, theStatusLineShowsTwoLinesAndATipForMore) {
    LoggerFixture logger;
    Form1& form = *logger.form;
    const auto view = win32Views().make(form, nullptr);
    const auto& controls = form.controls();
    const int id = 100 + static_cast<int>(std::find(controls.begin(), controls.end(),
                                                    static_cast<Control*>(&form.lblStatus)) -
                                          controls.begin());
    HWND status = ::GetDlgItem(view->hwnd(), id);
    ASSERT_NE(status, nullptr);
    HWND tips = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &findTips, reinterpret_cast<LPARAM>(&tips));
    ASSERT_NE(tips, nullptr);

    const std::string twoLines = "The log file was deleted, moved or replaced before 10:04:31: "
                                 "logging goes on into C:\\Talks\\lecture6.txt.";
    const std::string tooLong = twoLines + " " + twoLines + " " + twoLines;
    struct Case {
        const std::string& message;
        bool tipped;
    } const cases[] = {{twoLines, false}, {tooLong, true}, {"", false}};
    for (const Case& c : cases) {
        form.lblStatus.Caption = c.message;
        view->sync();
        wchar_t tip[1024] = {};
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = view->hwnd();
        tool.uId = reinterpret_cast<UINT_PTR>(status);
        tool.lpszText = tip;
        ::SendMessageW(tips, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
        const std::wstring expected(c.message.begin(), c.message.end());
        EXPECT_EQ(std::wstring(tip), c.tipped ? expected : L"") << c.message;
    }
    // The message that showed whole without a tip takes more than one line.
    RECT client{};
    ::GetClientRect(status, &client);
    HDC dc = ::GetDC(status);
    ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(status, WM_GETFONT, 0, 0)));
    const std::wstring wide(twoLines.begin(), twoLines.end());
    RECT oneLine = client;
    ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &oneLine,
                DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    ::ReleaseDC(status, dc);
    EXPECT_GT(oneLine.right, client.right);
}

} // namespace
