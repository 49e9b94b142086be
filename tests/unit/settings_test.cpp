#include "tools/inisettingsstore.h"
#include "common/settingsstore.h"
#include "support/testfiles.h"

#ifdef _WIN32
#include "common/registrysettingsstore.h"
#include "common/win32text.h"

#include <windows.h>

#include <random>
#else
#include "qtplatform/qtsettingsstore.h"
#endif

#include <gtest/gtest.h>

#include <memory>

namespace {

// The platform's own per-user store, kept where the test alone looks: a folder on POSIX,
// a key of the test's own under the current user's registry on Windows.
struct PlatformStore {
#ifdef _WIN32
    std::string root = "Software\\Cuemark\\Test" + std::to_string(std::random_device()());
    ~PlatformStore() {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, Win32Text::widen(root).c_str());
    }
    std::unique_ptr<SettingsStore> open() const {
        return std::make_unique<RegistrySettingsStore>(root);
    }
#else
    TempFolder dir;
    std::unique_ptr<SettingsStore> open() const {
        return std::make_unique<QtSettingsStore>(dir.path());
    }
#endif
};

} // namespace

#include <string>
#include <utility>
#include <vector>

TEST(SettingsStore, absentKeysGiveTheCallersDefault) {
    MemorySettingsStore store;
    EXPECT_EQ(store.GetSetting("CuemarkPost", "URLs", "IMGPath", "../{PF}/sld000.gif"),
              "../{PF}/sld000.gif");
    store.SaveSetting("CuemarkPost", "URLs", "IMGPath", "x");
    EXPECT_EQ(store.GetSetting("CuemarkPost", "URLs", "IMGPath", "d"), "x");
    EXPECT_EQ(store.GetSetting("CuemarkLog", "URLs", "IMGPath", "d"), "d");
}

TEST(SettingsStore, numbersAndBooleansFallBackWhenTheyDoNotConvert) {
    MemorySettingsStore store;
    EXPECT_DOUBLE_EQ(GetNumberSetting(store, "A", "W", "Left", 1200), 1200);
    store.SaveSetting("A", "W", "Left", numberSettingText(2400));
    EXPECT_EQ(store.GetSetting("A", "W", "Left"), "2400");
    EXPECT_DOUBLE_EQ(GetNumberSetting(store, "A", "W", "Left", 0), 2400);
    store.SaveSetting("A", "W", "Left", "left of centre");
    EXPECT_DOUBLE_EQ(GetNumberSetting(store, "A", "W", "Left", 7), 7);
    store.SaveSetting("A", "W", "Left", " 1234.5 ");
    EXPECT_DOUBLE_EQ(GetNumberSetting(store, "A", "W", "Left", 7), 1234.5);

    EXPECT_TRUE(GetBoolSetting(store, "A", "O", "Beep1", true));
    store.SaveSetting("A", "O", "Beep1", boolSettingText(false));
    EXPECT_EQ(store.GetSetting("A", "O", "Beep1"), "False");
    EXPECT_FALSE(GetBoolSetting(store, "A", "O", "Beep1", true));
    store.SaveSetting("A", "O", "Beep1", "TRUE");
    EXPECT_TRUE(GetBoolSetting(store, "A", "O", "Beep1", false));
    store.SaveSetting("A", "O", "Beep1", "maybe");
    EXPECT_FALSE(GetBoolSetting(store, "A", "O", "Beep1", false));
}

TEST(SettingsStore, thePlatformStoreKeepsValuesBetweenStoresAndBytesUnchanged) {
    PlatformStore place;
    const std::string latin1 = "caf\xe9, \"quoted\"";
    std::string everyByte;
    for (int c = 1; c < 256; ++c)
        everyByte += static_cast<char>(c);
    const std::string utf8 = "\xc3\xa9t\xc3\xa9 \xe2\x82\xac";
    {
        const auto store = place.open();
        store->SaveSetting("CuemarkPost", "URLs", "HTMLURL", "http://h/x/");
        store->SaveSetting("CuemarkPost", "URLs", "AudioURL", latin1);
        store->SaveSetting("CuemarkPost", "URLs", "IMGPath", everyByte);
        store->SaveSetting("CuemarkPost", "URLs", "CeventsLoc", utf8);
        store->SaveSetting("CuemarkPost", "MainWindow", "Left", "1200");
        store->SaveSetting("CuemarkPost", "MainWindow", "Top", "");
    }
    const auto again = place.open();
    EXPECT_EQ(again->GetSetting("CuemarkPost", "URLs", "HTMLURL", "d"), "http://h/x/");
    EXPECT_EQ(again->GetSetting("CuemarkPost", "URLs", "AudioURL", "d"), latin1);
    EXPECT_EQ(again->GetSetting("CuemarkPost", "URLs", "IMGPath", "d"), everyByte);
    EXPECT_EQ(again->GetSetting("CuemarkPost", "URLs", "CeventsLoc", "d"), utf8);
    EXPECT_EQ(again->GetSetting("CuemarkPost", "MainWindow", "Left", "d"), "1200");
    EXPECT_EQ(again->GetSetting("CuemarkPost", "MainWindow", "Top", "d"), "");
    EXPECT_EQ(again->GetSetting("CuemarkPost", "URLs", "Missing", "d"), "d");
    EXPECT_EQ(again->GetSetting("CuemarkLog", "Options", "Beep1", "True"), "True");
}

#ifndef _WIN32
// The plain store (the one Windows uses) and Qt's write the same bytes and read each other's
// files, so a folder of settings travels between the platforms.
TEST(SettingsStore, plainIniStoreWritesAndReadsWhatQtsSettingsDo) {
    using namespace std::string_literals;
    struct Case {
        const char* section;
        const char* key;
        std::string value;
    };
    const std::vector<Case> cases = {
        {"URLs", "HTMLURL", "http://h/x/"},
        {"URLs", "CeventsLoc", "C:\\RealTools\\cevents.exe"},
        {"URLs", "AudioURL", "pnm://a/b.ra;x"},
        {"URLs", "Comma", "a,b"},
        {"URLs", "Equals", "=eq"},
        {"URLs", "Blanks", " lead and trail "},
        {"URLs", "Quote", "q\"uote\\"},
        {"URLs", "Empty", ""},
        {"Titles", "Utf8", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xa4"},
        {"Titles", "Latin1", "caf\xe9, \"quoted\""},
        {"Titles", "Bytes",
         "\xe9"
         "abc\x7f\xff"},
        {"Titles", "Controls",
         "tab\there\r\nnext\x01"
         "a\x7f"},
        {"Titles", "Nul", "a\0b"s},
        {"Titles", "At", "@ByteArray(x)"},
        {"Titles", "Hash", "#not a comment"},
        {"Main Window", "Left;Top", "1200"},
        {"Alpha", "Z", "sorted"},
    };
    TempFolder qtDir, plainDir;
    const std::string qtFolder = qtDir.path();
    const std::string plainFolder = plainDir.path();
    {
        QtSettingsStore qt(qtFolder);
        IniSettingsStore plain(plainFolder);
        for (const Case& c : cases) {
            qt.SaveSetting("CuemarkPost", c.section, c.key, c.value);
            plain.SaveSetting("CuemarkPost", c.section, c.key, c.value);
        }
    }
    EXPECT_EQ(fileBytes(plainDir.filePath("CuemarkPost.ini")),
              fileBytes(qtDir.filePath("CuemarkPost.ini")));
    QtSettingsStore qtReadsPlain(plainFolder);
    IniSettingsStore plainReadsQt(qtFolder);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.section) + "/" + c.key);
        EXPECT_EQ(plainReadsQt.GetSetting("CuemarkPost", c.section, c.key, "d"), c.value);
        EXPECT_EQ(qtReadsPlain.GetSetting("CuemarkPost", c.section, c.key, "d"), c.value);
    }
    EXPECT_EQ(plainReadsQt.GetSetting("CuemarkPost", "URLs", "Missing", "d"), "d");
    EXPECT_EQ(plainReadsQt.GetSetting("CuemarkLog", "URLs", "HTMLURL", "d"), "d");

    // A file written by hand or by Windows' own profile calls: CR LF, comments, blanks
    // around values, a quoted part, a line that is no setting. Both read the same.
    TempFolder handDir;
    putFile(handDir.filePath("CuemarkLog.ini"),
            "; made by hand\r\n[Window]\r\nLeft = 4620  \r\nTop = \"  57 6\"  ;note\r\n"
            "not a setting\r\n\r\n[Options]\nBeep2=True\nPath=C:\\\\T\\\\x.txt\n");
    QtSettingsStore qtHand(handDir.path());
    IniSettingsStore plainHand(handDir.path());
    for (const auto& [section, key] : std::vector<std::pair<const char*, const char*>>{
             {"Window", "Left"}, {"Window", "Top"}, {"Options", "Beep2"}, {"Options", "Path"}}) {
        SCOPED_TRACE(std::string(section) + "/" + key);
        EXPECT_EQ(plainHand.GetSetting("CuemarkLog", section, key, "d"),
                  qtHand.GetSetting("CuemarkLog", section, key, "d"));
    }
    EXPECT_EQ(plainHand.GetSetting("CuemarkLog", "Window", "Top"), "  57 6");
}
#endif

#ifdef _WIN32
// The store's own key: one per application and section under Software\Cuemark.
TEST(SettingsStore, theRegistryStoreKeepsEachSectionUnderTheSystemsKey) {
    const std::string application = "CuemarkTest" + std::to_string(std::random_device()());
    RegistrySettingsStore().SaveSetting(application, "URLs", "IMGPath", "../{PF}/sld000.gif");
    const std::wstring key = Win32Text::widen("Software\\Cuemark\\" + application);
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, (key + L"\\URLs").c_str(), L"IMGPath",
                             RRF_RT_REG_SZ, nullptr, text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), L"../{PF}/sld000.gif");
    ::RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
}
#endif
