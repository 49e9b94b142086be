#include "common/settingsstore.h"
#include "config/frmconfig.h"
#include "config/urlsettings.h"
#include "forms/program.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "testing/scriptedui.h"

#include <gtest/gtest.h>

namespace {

struct ConfigTest : ::testing::Test {
    ScriptedUi ui{"Cuemark PostProcessor"};
    MemorySettingsStore settings;
    Program program = cuebuildEntry().makeProgram("/opt/cuemark");
    TextField mainAudioURL{nullptr, "txtAudioURL", "pnm://main/lect.ra"};
    TextField mainHTMURL{nullptr, "txtHTMURL", "http://main/lect/"};
    FrmConfig config{ui, settings, program, mainAudioURL, mainHTMURL};

    void SetUp() override {
        UrlSettings{"pnm://s/a.ra", "http://s/p/", "../{PF}/sld000.gif", "C:\\rt\\cevents.exe"}
            .save(settings);
    }

    std::string stored(const std::string& section, const std::string& key) const {
        return settings.GetSetting("CuemarkPost", section, key, "<absent>");
    }

    // Loads the window at an accepted position so that its closing stores one.
    void open() {
        settings.SaveSetting("CuemarkPost", "ConfigWindow", "Left", "1000");
        settings.SaveSetting("CuemarkPost", "ConfigWindow", "Top", "800");
        config.load();
        config.Left = 2000;
        config.Top = 1500;
    }
};

} // namespace

TEST(ConfigFirstUse, anEmptyStoreShowsTheDefaultsCentred) {
    ScriptedUi ui{"Cuemark PostProcessor"};
    MemorySettingsStore settings;
    Program program = cuebuildEntry().makeProgram("/opt/cuemark");
    TextField audio{nullptr, "a"}, htm{nullptr, "h"};
    FrmConfig config(ui, settings, program, audio, htm);
    config.load();
    EXPECT_EQ(config.Caption, "Cuemark Initial Configuration");
    EXPECT_EQ(config.txtAudioURL.Text, UrlSettings::DefaultAudioURL);
    EXPECT_EQ(config.txtHTMURL.Text, UrlSettings::DefaultHTMLURL);
    EXPECT_EQ(config.txtIMGPath.Text, "../{PF}/sld000.gif");
    EXPECT_EQ(config.txtCevents.Text, "");
    EXPECT_FALSE(config.ClosedByButton);
    EXPECT_EQ(config.Left, (ui.screenWidth - config.Width) / 2);
    EXPECT_EQ(config.Top, (ui.screenHeight - config.Height) / 2);
    EXPECT_TRUE(config.CmDialog.HelpFile.ends_with("cuebuild.hlp"));
    EXPECT_EQ(settings.size(), 0u);
}

TEST_F(ConfigTest, imagePathWithoutTheExactTokenAsksBeforeStoring) {
    for (const char* pattern : {"../slides/sld000.gif", "../{pf}/sld000.gif"}) {
        SetUp();
        open();
        config.txtIMGPath.Text = pattern;
        ui.clearEvents();
        ui.queueAnswer(Mb::Cancel);
        config.cmdSave.Click();
        ASSERT_EQ(ui.boxTexts(), std::vector<std::string>{"PowerPoint File Name not in Path!"});
        EXPECT_EQ(ui.events[0].title, "WARNING");
        EXPECT_EQ(ui.events[0].style, Mb::OKCancel + Mb::DefaultButton2);
        EXPECT_FALSE(config.isClosed());
        EXPECT_EQ(stored("URLs", "IMGPath"), "../{PF}/sld000.gif");

        ui.queueAnswer(Mb::OK);
        config.cmdSave.Click();
        EXPECT_TRUE(config.isClosed());
        EXPECT_EQ(stored("URLs", "IMGPath"), pattern);
        EXPECT_EQ(stored("ConfigWindow", "Left"), "2000");
    }
}

TEST_F(ConfigTest, warningsKeepLetterCaseAndNeverStopTheSave) {
    struct Case {
        const char* htm;
        const char* audio;
        const char* img;
        std::vector<std::string> boxes;
    };
    const std::string slash = "Missing / at end of HTMURL";
    const std::string ra = "Audio file doesn't have .ra extension";
    const std::string image = "Image File doesn't have .gif or .jpg extension)";
    const Case cases[] = {
        {"http://h/p/", "pnm://h/a.ra", "{PF}/s.gif", {}},
        {"http://h/p/", "pnm://h/a.RA", "{PF}/s.GIF", {}},
        {"http://h/p/", "pnm://h/a.ra", "{PF}/s.JPG", {}},
        {"http://h/p/", "pnm://h/a.Ra", "{PF}/s.jpg", {ra}},
        {"http://h/p/", "pnm://h/a.ra", "{PF}/s.Gif", {image}},
        {"http://h/p/", "pnm://h/a.ra", "{PF}/s.jpeg", {image}},
        {"http://h/p", "pnm://h/a.ram", "{PF}/s.png", {slash, ra, image}},
        {"", "", "{PF}", {slash, ra, image}},
    };
    for (const Case& c : cases) {
        FrmConfig window(ui, settings, program, mainAudioURL, mainHTMURL);
        window.load();
        window.txtHTMURL.Text = c.htm;
        window.txtAudioURL.Text = c.audio;
        window.txtIMGPath.Text = c.img;
        ui.clearEvents();
        window.cmdSave.Click();
        EXPECT_EQ(ui.boxTexts(), c.boxes) << c.htm << " " << c.audio << " " << c.img;
        for (const UiEvent& e : ui.events) {
            EXPECT_EQ(e.style, Mb::OKOnly);
            EXPECT_EQ(e.title, "Cuemark PostProcessor");
        }
        EXPECT_TRUE(window.isClosed());
        EXPECT_EQ(stored("URLs", "HTMLURL"), c.htm);
        EXPECT_EQ(stored("URLs", "AudioURL"), c.audio);
        EXPECT_EQ(stored("URLs", "IMGPath"), c.img);
    }
}

TEST_F(ConfigTest, cancelStoresNothingAndAsksNothing) {
    open();
    config.txtAudioURL.Text = "pnm://typed/x.ra";
    config.txtCevents.Text = "D:\\cevents.exe";
    config.cmdCancel.Click();
    EXPECT_TRUE(config.isClosed());
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(stored("URLs", "AudioURL"), "pnm://s/a.ra");
    EXPECT_EQ(stored("URLs", "CeventsLoc"), "C:\\rt\\cevents.exe");
    EXPECT_EQ(stored("ConfigWindow", "Left"), "2000");
}

TEST_F(ConfigTest, closeBoxAsksOnlyAfterAUrlWasEdited) {
    open();
    config.txtIMGPath.Text = "{PF}/other.gif";
    config.txtCevents.Text = "D:\\cevents.exe";
    EXPECT_TRUE(config.Unload());
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(stored("URLs", "IMGPath"), "../{PF}/sld000.gif");
    EXPECT_EQ(stored("URLs", "CeventsLoc"), "C:\\rt\\cevents.exe");

    for (bool editAudio : {true, false}) {
        FrmConfig window(ui, settings, program, mainAudioURL, mainHTMURL);
        settings.SaveSetting("CuemarkPost", "ConfigWindow", "Left", "1000");
        window.load();
        window.Left = 3000;
        (editAudio ? window.txtAudioURL : window.txtHTMURL).Text += "x";
        ui.clearEvents();
        ui.queueAnswer(Mb::Cancel);
        EXPECT_FALSE(window.Unload());
        ASSERT_EQ(ui.boxTexts(), std::vector<std::string>{"Exit Without Saving?"});
        EXPECT_EQ(ui.events[0].style, Mb::OKCancel);
        EXPECT_EQ(ui.events[0].title, "Cuemark PostProcessor");
        EXPECT_EQ(stored("ConfigWindow", "Left"), "1000");

        ui.queueAnswer(Mb::OK);
        EXPECT_TRUE(window.Unload());
        EXPECT_EQ(stored("ConfigWindow", "Left"), "3000");
        EXPECT_EQ(stored("URLs", "AudioURL"), "pnm://s/a.ra");
        EXPECT_EQ(stored("URLs", "HTMLURL"), "http://s/p/");
    }
}

TEST_F(ConfigTest, showCurrentCopiesTheMainWindowsUrlsWithoutStoring) {
    open();
    config.cmdCurrent.Click();
    EXPECT_EQ(config.txtAudioURL.Text, "pnm://main/lect.ra");
    EXPECT_EQ(config.txtHTMURL.Text, "http://main/lect/");
    EXPECT_EQ(stored("URLs", "AudioURL"), "pnm://s/a.ra");
}

TEST_F(ConfigTest, browsingForCeventsFillsTheFieldAndCancelChangesNothing) {
    open();
    ui.queueCancel();
    config.cmdCevents.Click();
    EXPECT_EQ(config.txtCevents.Text, "C:\\rt\\cevents.exe");
    ui.queueFile("E:\\real\\cevents.exe");
    config.cmdCevents.Click();
    EXPECT_EQ(config.txtCevents.Text, "E:\\real\\cevents.exe");

    ASSERT_EQ(ui.countOf(UiEvent::Kind::FileDialog), 2);
    for (const UiEvent& e : ui.events) {
        EXPECT_EQ(e.text, "Cevents EXE");
        EXPECT_EQ(e.filter, "exe files (*.exe)|*.exe");
        EXPECT_EQ(e.filterIndex, 1);
        EXPECT_TRUE(e.cancelError);
        EXPECT_EQ(e.dialogKind, FileDialogKind::Open);
    }
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(stored("URLs", "CeventsLoc"), "C:\\rt\\cevents.exe");
}
