#include "common/settingsstore.h"
#include "qtplatform/qtsettingsstore.h"

#include <gtest/gtest.h>
#include <QTemporaryDir>

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

TEST(SettingsStore, filesInAFolderKeepValuesBetweenStoresAndBytesUnchanged) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    const std::string latin1 = "caf\xe9, \"quoted\"";
    {
        QtSettingsStore store(folder);
        store.SaveSetting("CuemarkPost", "URLs", "HTMLURL", "http://h/x/");
        store.SaveSetting("CuemarkPost", "URLs", "AudioURL", latin1);
        store.SaveSetting("CuemarkPost", "MainWindow", "Left", "1200");
    }
    QtSettingsStore again(folder);
    EXPECT_EQ(again.GetSetting("CuemarkPost", "URLs", "HTMLURL", "d"), "http://h/x/");
    EXPECT_EQ(again.GetSetting("CuemarkPost", "URLs", "AudioURL", "d"), latin1);
    EXPECT_EQ(again.GetSetting("CuemarkPost", "MainWindow", "Left", "d"), "1200");
    EXPECT_EQ(again.GetSetting("CuemarkPost", "URLs", "Missing", "d"), "d");
    EXPECT_EQ(again.GetSetting("CuemarkLog", "Options", "Beep1", "True"), "True");
}
