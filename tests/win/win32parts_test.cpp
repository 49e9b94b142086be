#include "forms/uiservices.h"
#include "logger/loggerclock_windows.h"
#include "win32/win32parts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

TEST(Win32Parts, boxStylesBecomeTheBoxesButtonsIconAndDefaultAndTheirAnswersComeBack) {
    struct Case {
        int style;
        unsigned buttons;
        unsigned icon;
        unsigned defaultButton;
        int failedAnswer; // a box that could not be shown answers as Escape would
    } const cases[] = {
        {Mb::OKOnly, MB_OK, 0, MB_DEFBUTTON1, Mb::OK},
        {Mb::OKCancel + Mb::Exclamation + Mb::DefaultButton2, MB_OKCANCEL, MB_ICONEXCLAMATION,
         MB_DEFBUTTON2, Mb::Cancel},
        {Mb::YesNoCancel, MB_YESNOCANCEL, 0, MB_DEFBUTTON1, Mb::Cancel},
        {Mb::YesNo + Mb::Exclamation, MB_YESNO, MB_ICONEXCLAMATION, MB_DEFBUTTON1, Mb::No},
        {Mb::OKOnly + 16, MB_OK, MB_ICONHAND, MB_DEFBUTTON1, Mb::OK},
    };
    for (const Case& c : cases) {
        const unsigned flags = Win32Parts::messageBoxFlags(c.style);
        EXPECT_EQ(flags & MB_TYPEMASK, c.buttons) << c.style;
        EXPECT_EQ(flags & MB_ICONMASK, c.icon) << c.style;
        EXPECT_EQ(flags & MB_DEFMASK, c.defaultButton) << c.style;
        EXPECT_EQ(Win32Parts::messageBoxResult(0, c.style), c.failedAnswer) << c.style;
    }
    const std::pair<int, int> answers[] = {
        {IDOK, Mb::OK}, {IDCANCEL, Mb::Cancel}, {IDYES, Mb::Yes}, {IDNO, Mb::No}};
    for (const auto& [pressed, answer] : answers)
        EXPECT_EQ(Win32Parts::messageBoxResult(pressed, Mb::YesNoCancel), answer) << pressed;
}

TEST(Win32Parts, dialogFiltersArePairsBetweenNullsEndedByTwo) {
    using namespace std::string_literals;
    struct Case {
        const char* filter;
        std::wstring list;
    } const cases[] = {
        {"Text Files (*.txt)|*.txt", L"Text Files (*.txt)\0*.txt\0\0"s},
        {"exe files (*.exe)|*.exe|All (*.*)|*.*", L"exe files (*.exe)\0*.exe\0All (*.*)\0*.*\0\0"s},
        {"Text|*.txt|odd", L"Text\0*.txt\0\0"s},
        {"", L"\0"s},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Win32Parts::dialogFilter(c.filter), c.list) << c.filter;
}

TEST(Win32Parts, theBrowserOpensTheHtmlTwinOfAnOldHelpFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Program Files\\Cuemark\\cuebuild.hlp", "C:\\Program Files\\Cuemark\\cuebuild.htm"},
        {"C:\\cuemark\\CUEREC.HLP", "C:\\cuemark\\CUEREC.htm"},
        {"C:\\cuemark\\help.htm", "C:\\cuemark\\help.htm"},
        {"C:\\old.hlp\\notes.txt", "C:\\old.hlp\\notes.txt"},
    };
    for (const auto& [help, page] : cases)
        EXPECT_EQ(Win32Parts::browserHelpPath(help), page) << help;
}

TEST(Win32Parts, twipsArePixelsAtTheMonitorsDpiAndComeBackUnchanged) {
    struct Case {
        int twips;
        int dpi;
        int pixels;
    } const cases[] = {
        {1440, 96, 96},  {1440, 144, 144},  {15, 96, 1},
        {9600, 96, 640}, {9600, 192, 1280}, {0, 120, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Win32Parts::toPixels(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
        EXPECT_EQ(Win32Parts::toTwips(c.pixels, c.dpi), c.twips) << c.pixels << " at " << c.dpi;
    }
}

TEST(Win32Parts, screenTextFollowsTheEightBitRuleAndUntouchedBytesComeBack) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring shown;
        std::wstring edit; // the operator's edit of the shown text
        std::string stored;
    } const cases[] = {
        {"code page text kept", "caf\xe9", L"caf\u00e9", L"caf\u00e9!", "caf\xe9!"},
        {"UTF-8 text kept", "caf\xc3\xa9", L"caf\u00e9", L"caf\u00e9s", "caf\xc3\xa9s"},
        {"a letter the code page lacks makes it UTF-8", "caf\xe9", L"caf\u00e9",
         L"caf\u00e9 \u0141", "caf\xc3\xa9 \xc5\x81"},
        {"empty", "", L"", L"", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Win32Parts::toScreen(c.bytes), c.shown) << c.what;
        EXPECT_EQ(Win32Parts::fromScreen(c.shown, c.bytes), c.bytes) << c.what;
        EXPECT_EQ(Win32Parts::fromScreen(c.edit, c.bytes), c.stored) << c.what;
    }
    EXPECT_EQ(Win32Parts::captionOf("Save & Quit"), L"Save && Quit");
}

} // namespace

namespace {

// The user's long time format for the length of a test.
class UserTimeFormat {
  public:
    explicit UserTimeFormat(const wchar_t* format) {
        GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STIMEFORMAT, m_saved, 80);
        SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, format);
    }
    ~UserTimeFormat() { SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, m_saved); }

  private:
    wchar_t m_saved[80] = {};
};

// The logger writes the time of day as the user set the clock to show it; a format that
// would put a comma into the line gives the U.S. long time instead.
TEST(WindowsClock, writesTheTimeOfDayInTheUsersFormatOrUsWhereItHoldsAComma) {
    const double nineFiveSeven = (9 * 3600 + 5 * 60 + 7) / 86400.0;
    const struct {
        const wchar_t* format;
        std::string text;
    } cases[] = {
        {L"h:mm:ss tt", "9:05:07 AM"},
        {L"HH.mm.ss", "09.05.07"},
        {L"H' h 'mm", "9 h 05"},
        {L"H,mm,ss", "9:05:07 AM"},
    };
    for (const auto& c : cases) {
        const UserTimeFormat format(c.format);
        EXPECT_EQ(WindowsClock().timeText(nineFiveSeven), c.text) << c.text;
    }
}

} // namespace
