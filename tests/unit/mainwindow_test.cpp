#include "common/clocktime.h"
#include "common/textfile.h"
#include "config/frmconfig.h"
#include "config/urlsettings.h"
#include "forms/about.h"
#include "support/logbuilder.h"
#include "support/mainfixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sstream>

namespace {

std::vector<std::string> enabledMenuItems(const Main& main) {
    std::vector<std::string> captions;
    for (const MenuItem* menu : main.menuBar()) {
        for (const MenuItem* item : menu->items()) {
            if (!item->isSeparator() && item->Enabled)
                captions.push_back(item->Caption);
        }
    }
    return captions;
}

// A log of one slide of 00:01:30.
const std::string OneSlideLog = LogBuilder().slide(0, 1, "Welcome").end(90).bytes;

struct MainTest : ::testing::Test, MainFixture {
    // Screen 15360 x 11520 and window 9600 x 7800.
    static constexpr int CentredLeft = 2880;
    static constexpr int CentredTop = 1860;

    std::string stored(const std::string& section, const std::string& key) const {
        return settings.GetSetting("CuemarkPost", section, key, "<absent>");
    }

    void storeUrls(const std::string& audio, const std::string& htm, const std::string& img,
                   const std::string& cevents) {
        UrlSettings{audio, htm, img, cevents}.save(settings);
    }

    // A log read from `folder`/lect6.txt and row 1 updated since: only row 1 has changed.
    void importedLog(const std::string& folder = "") {
        readLog(writeFile(folder + "lect6.txt", OneSlideLog));
        updateRow(1, "00:01:30", main->txtIMGURL.Text, main->txtSlideTitle.Text);
        ui.clearEvents();
    }
    // A log the import rejected: nothing is left for a resume file.
    void rejectedLog() {
        readLog(writeFile("cut.txt", LogBuilder().slide(0, 1).bytes));
        ui.clearEvents();
    }
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t end; (end = text.find("\r\n", from)) != std::string::npos; from = end + 2)
        lines.push_back(text.substr(from, end - from));
    if (from < text.size())
        lines.push_back(text.substr(from) + "<no line end>");
    return lines;
}

} // namespace

TEST_F(MainTest, startUpOnAnEmptyStore) {
    bool splashHadOk = true;
    bool splashFlagDuringSplash = false;
    ui.onModal = [&](Window& w) {
        auto& about = dynamic_cast<About&>(w);
        splashHadOk = about.Command1.Visible;
        splashFlagDuringSplash = program.SplashMode;
        about.Timer1.Tick();
    };
    start();

    EXPECT_EQ(ui.countOf(UiEvent::Kind::Modal), 1);
    EXPECT_FALSE(splashHadOk);
    EXPECT_TRUE(splashFlagDuringSplash);
    EXPECT_FALSE(program.SplashMode);
    EXPECT_TRUE(ui.boxTexts().empty());

    EXPECT_EQ(main->Left, CentredLeft);
    EXPECT_EQ(main->Top, CentredTop);
    EXPECT_EQ(main->Caption, "Cuemark PostProcessor");
    EXPECT_EQ(main->txtAudioURL.Text, UrlSettings::DefaultAudioURL);
    EXPECT_EQ(main->txtHTMURL.Text, UrlSettings::DefaultHTMLURL);
    EXPECT_EQ(state("IMGPath"), "../{PF}/sld000.gif");
    EXPECT_EQ(state("CeventsLoc"), "");

    EXPECT_EQ(enabledMenuItems(*main),
              (std::vector<std::string>{"Read Log File", "Read Grid", "Exit", "Configuration",
                                        "Help", "About"}));

    const char* headers[] = {"", "Length", "Start", "Stop", "IMG URL", "Title"};
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(main->Grid1.TextMatrix(0, col), headers[col]);
    for (int row : {1, 2, 57, 100})
        EXPECT_EQ(main->Grid1.TextMatrix(row, ScheduleColumn::RowNumber), std::to_string(row));
    EXPECT_EQ(main->Grid1.ColWidth, (std::vector<int>{300, 700, 700, 700, 2550, 2540}));
    for (int col = 0; col < 6; ++col)
        EXPECT_EQ(main->Grid1.ColAlignment[col] == Alignment::Left, col >= ScheduleColumn::ImageUrl)
            << col;
    EXPECT_EQ(main->Grid1.Row, 1);
    EXPECT_EQ(main->Grid1.Col, 1);

    EXPECT_EQ(main->schedule().RowCount(), 0);
    EXPECT_EQ(main->schedule().LoggedFirstLength(), ClockTime::NotSet);
    EXPECT_EQ(main->schedule().SavedFirstLength(), ClockTime::NotSet);
    EXPECT_EQ(main->txtSlideLength.Text, "00:00:00");
    for (const char* name : {"txt1LogTIme", "txt1SaveTime", "cmd1LogTIme", "cmd1SaveTIme",
                             "txtSlideStart", "txtSlideStop"})
        EXPECT_FALSE(main->control(name)->Visible) << name;
    EXPECT_EQ(settings.size(), 0u);
}

// Each way of loading turns the output and save commands on and the other way off;
// Configuration goes off for the run once a resume file has been applied.
TEST(MainMenu, eachModeOffersItsCommandsForTheRestOfTheRun) {
    using Captions = std::vector<std::string>;
    const Captions logMenu = {"Read Log File",
                              "Write HTM, RAM, RAE",
                              "Write HTM Files",
                              "Write RAM FIles",
                              "Write RAE File",
                              "Save Grid",
                              "Exit",
                              "Configuration",
                              "Help",
                              "About"};
    // Once a resume file was applied, Configuration is off; grid mode has Read Grid on
    // instead of Read Log File.
    Captions resumedLogMenu = logMenu;
    std::erase(resumedLogMenu, "Configuration");
    Captions gridMenu = logMenu;
    std::erase(gridMenu, "Read Log File");
    gridMenu.insert(std::find(gridMenu.begin(), gridMenu.end(), "Save Grid"), "Read Grid");
    const std::string resume =
        "q3.txt\r\npnm://h/q3.ra\r\nhttp://h/q3/\r\n 4.62962962962963E-05 \r\n";
    struct Case {
        const char* what;
        std::function<void(MainFixture&)> load;
        Captions enabled;
    };
    const Case cases[] = {
        {"log mode", [](MainFixture& f) { f.readLog(f.writeFile("q3.txt", OneSlideLog)); },
         logMenu},
        {"log mode with a resume file",
         [&](MainFixture& f) {
             f.writeFile("q3.urs", resume);
             f.readLog(f.writeFile("q3.txt", OneSlideLog));
         },
         resumedLogMenu},
        {"a second log without one",
         [&](MainFixture& f) {
             f.writeFile("q3.urs", resume);
             f.readLog(f.writeFile("q3.txt", OneSlideLog));
             f.readLog(f.writeFile("other.txt", OneSlideLog));
         },
         resumedLogMenu},
        {"a rejected log after a good one",
         [](MainFixture& f) {
             f.readLog(f.writeFile("q3.txt", OneSlideLog));
             f.readLog(f.writeFile("cut.txt", LogBuilder().slide(0, 1).bytes));
         },
         logMenu},
        {"grid mode",
         [](MainFixture& f) {
             f.loadGrid({{"00:00:10", "00:00:00", "00:00:10", "a", "A"}});
         },
         gridMenu},
    };
    for (const Case& c : cases) {
        MainFixture f;
        f.start();
        c.load(f);
        EXPECT_EQ(enabledMenuItems(*f.main), c.enabled) << c.what;
    }
}

TEST(MainPlacement, storedPositionIsTakenOnlyWithinFourFifthsOfTheScreen) {
    struct Case {
        const char* left;
        const char* top;
        int expectedLeft;
        int expectedTop;
    };
    const Case cases[] = {
        {"20000", "1000", MainTest::CentredLeft, 1000},
        {"0", "0", 0, 0},
        // Exactly four fifths is taken, then moved so the window lies wholly on the screen.
        {"12288", "9216", 15360 - 9600, 11520 - 7800},
        {"12289", "9217", MainTest::CentredLeft, MainTest::CentredTop},
        {"-1", "500", MainTest::CentredLeft, 500},
        {"left", "", MainTest::CentredLeft, MainTest::CentredTop},
    };
    for (const Case& c : cases) {
        MainFixture f;
        f.settings.SaveSetting("CuemarkPost", "MainWindow", "Left", c.left);
        f.settings.SaveSetting("CuemarkPost", "MainWindow", "Top", c.top);
        f.start();
        EXPECT_EQ(f.main->Left, c.expectedLeft) << c.left;
        EXPECT_EQ(f.main->Top, c.expectedTop) << c.top;
    }
}

TEST(MainPlacement, closingStoresThePositionOnlyStrictlyInsideFourFifths) {
    struct Case {
        int left;
        int top;
        const char* storedLeft;
        const char* storedTop;
    };
    const Case cases[] = {
        {3000, 2000, "3000", "2000"},   {0, 2000, "1000", "900"},    {3000, 0, "1000", "900"},
        {12288, 2000, "1000", "900"},   {3000, 9216, "1000", "900"}, {-10, 2000, "1000", "900"},
        {12287, 9215, "12287", "9215"},
    };
    for (const Case& c : cases) {
        MainFixture f;
        f.settings.SaveSetting("CuemarkPost", "MainWindow", "Left", "1000");
        f.settings.SaveSetting("CuemarkPost", "MainWindow", "Top", "900");
        f.start();
        f.main->Left = c.left;
        f.main->Top = c.top;
        EXPECT_TRUE(f.main->Unload());
        EXPECT_EQ(f.settings.GetSetting("CuemarkPost", "MainWindow", "Left"), c.storedLeft)
            << c.left << "," << c.top;
        EXPECT_EQ(f.settings.GetSetting("CuemarkPost", "MainWindow", "Top"), c.storedTop)
            << c.left << "," << c.top;
    }
}

TEST_F(MainTest, closingWithNothingLoadedAndNothingChangedAsksNothing) {
    start();
    main->mnuExit_Click();
    EXPECT_TRUE(main->isClosed());
    EXPECT_TRUE(ui.boxTexts().empty());
    EXPECT_EQ(stored("MainWindow", "Left"), std::to_string(CentredLeft));
    EXPECT_EQ(stored("MainWindow", "Top"), std::to_string(CentredTop));
    EXPECT_EQ(settings.size(), 2u);
}

TEST(MainClose, afterAChangeWithoutALogAsksSaveGrid) {
    // Row 1 alone, or another row, changed by the row editor.
    for (const int row : {1, 2}) {
        MainFixture f;
        f.settings.SaveSetting("CuemarkPost", "MainWindow", "Left", "2000");
        f.start();
        f.updateRow(1, "00:00:10", "a.gif", "A");
        if (row == 2)
            f.updateRow(2, "00:00:10", "b.gif", "B");
        f.ui.clearEvents();
        f.ui.queueAnswer(Mb::Cancel);
        EXPECT_FALSE(f.main->Unload()) << row;
        EXPECT_FALSE(f.main->isClosed());
        ASSERT_EQ(f.ui.boxTexts(), std::vector<std::string>{"Save Grid?"});
        EXPECT_EQ(f.ui.events[0].style, Mb::YesNoCancel);
        EXPECT_EQ(f.ui.events[0].title, "Cuemark PostProcessor");
        // The position was stored before the question.
        EXPECT_EQ(f.settings.GetSetting("CuemarkPost", "MainWindow", "Left"),
                  std::to_string(f.main->Left));
        EXPECT_EQ(f.main->schedule().ScheduleEdited(), row == 2);

        f.ui.queueAnswer(Mb::No);
        EXPECT_TRUE(f.main->Unload());
        EXPECT_EQ(f.ui.countOf(UiEvent::Kind::FileDialog), 0);
    }
}

TEST_F(MainTest, answeringYesAndCancellingTheSaveDialogStillCloses) {
    start();
    updateRow(1, "00:00:10", "", "", true);
    ui.queueAnswer(Mb::Yes);
    ui.queueCancel();
    EXPECT_TRUE(main->Unload());
    EXPECT_TRUE(main->isClosed());
}

TEST_F(MainTest, aFailedSaveAtClosingKeepsTheWindowAndItsSchedule) {
    start();
    updateRow(1, "00:00:10", "sld001.gif", "Intro", true);
    ui.queueAnswer(Mb::Yes);
    ui.queueFile(path("no such folder/lect6.txt"));
    EXPECT_FALSE(main->Unload());
    EXPECT_EQ(main->schedule().row(1).Length, "00:00:10");

    ui.queueAnswer(Mb::Yes);
    ui.queueFile(path("lect6grid.txt"));
    EXPECT_TRUE(main->Unload());
    EXPECT_TRUE(TextFile::exists(path("lect6grid.txt")));
}

TEST_F(MainTest, closingAfterALogImportWithOnlyRowOneChangedWritesTheResumeFile) {
    start();
    const std::string resume = writeFile("lect6.urs", "an earlier resume file\r\n");
    importedLog();
    main->txtAudioURL.Text = "pnm://a.example/lect6.ra";
    main->txtHTMURL.Text = "http://h.example/lect6/";

    EXPECT_TRUE(main->Unload());
    EXPECT_TRUE(ui.boxTexts().empty());
    const std::vector<std::string> lines = linesOf(readFile(resume));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], path("lect6.txt"));
    EXPECT_EQ(lines[1], "pnm://a.example/lect6.ra");
    EXPECT_EQ(lines[2], "http://h.example/lect6/");
    double days = 0;
    std::istringstream(lines[3]) >> days;
    EXPECT_EQ(ClockTime::toSeconds(days), 90);
}

TEST_F(MainTest, closingAfterALogImportAndAnEditAsksSaveGridAndWritesNoResumeFile) {
    start();
    importedLog();
    updateRow(1, "00:01:30", "", "Typed", true);
    ui.clearEvents();
    ui.queueAnswer(Mb::No);
    EXPECT_TRUE(main->Unload());
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Save Grid?"});
    EXPECT_FALSE(TextFile::exists(path("lect6.urs")));
}

TEST_F(MainTest, closingAfterALogImportWithoutAResumePathOffersAnEditedRowOneForSaveGrid) {
    start();
    rejectedLog();
    updateRow(1, "00:01:30", "", "");
    ui.queueAnswer(Mb::No);
    EXPECT_TRUE(main->Unload());
    EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Save Grid?"});
}

TEST_F(MainTest, closingAfterALogImportWithoutAResumePathOrAnEditAsksNothing) {
    start();
    rejectedLog();
    EXPECT_TRUE(main->Unload());
    EXPECT_TRUE(ui.boxTexts().empty());
}

TEST_F(MainTest, anUnwritableResumeFileIsReportedAndRowOneOfferedForSaveGrid) {
    start();
    // The log's folder is gone by the time the window closes.
    ASSERT_TRUE(TestFiles::makePath(path("gone")));
    importedLog("gone/");
    ASSERT_TRUE(TestFiles::remove(path("gone/lect6.txt")) && TestFiles::remove(path("gone")));
    const std::string resume = path("gone/lect6.urs");
    ui.queueAnswer(Mb::OK);
    ui.queueAnswer(Mb::No);
    EXPECT_TRUE(main->Unload());
    ASSERT_EQ(ui.countOf(UiEvent::Kind::MessageBox), 2);
    EXPECT_EQ(ui.boxTexts().back(), "Save Grid?");
    const UiEvent& box = ui.events[ui.events.size() - 2];
    EXPECT_EQ(box.title, "Resume File");
    EXPECT_TRUE(Mb::hasExclamation(box.style));
    EXPECT_EQ(Mb::buttonsOf(box.style), Mb::OKOnly);
    EXPECT_NE(box.text.find(resume), std::string::npos);
}

TEST_F(MainTest, urlWarningsIgnoreLetterCase) {
    struct Case {
        const char* htm;
        const char* audio;
        std::vector<std::string> boxes;
    };
    const std::string slash = "Missing / at end of HTMURL";
    const std::string ra = "Audio file doesn't have .ra extension";
    const Case cases[] = {
        {"http://h/p/", "pnm://h/a.ra", {}},     {"http://h/p/", "pnm://h/a.RA", {}},
        {"http://h/p/", "pnm://h/a.Ra", {}},     {"http://h/p/", "pnm://h/a.ram", {ra}},
        {"http://h/p", "pnm://h/a.ra", {slash}}, {"", "", {slash, ra}},
    };
    start();
    for (const Case& c : cases) {
        main->txtHTMURL.Text = c.htm;
        main->txtAudioURL.Text = c.audio;
        ui.clearEvents();
        main->CheckBoxes();
        EXPECT_EQ(ui.boxTexts(), c.boxes) << c.htm << " " << c.audio;
        for (const UiEvent& e : ui.events) {
            EXPECT_EQ(e.style, Mb::OKOnly);
            EXPECT_EQ(e.title, "Cuemark PostProcessor");
        }
    }
}

TEST_F(MainTest, configurationReReadsTheStoredUrlsHoweverItCloses) {
    storeUrls("pnm://s/a.ra", "http://s/p/", "img/{PF}/s000.gif", "C:\\rt\\cevents.exe");
    start();
    const std::vector<std::function<void(FrmConfig&)>> closings = {
        [](FrmConfig& c) { c.cmdCancel.Click(); },
        [](FrmConfig& c) { c.Unload(); },
        [](FrmConfig& c) {
            c.txtIMGPath.Text = "img/{PF}/s000.jpg";
            c.cmdSave.Click();
        },
    };
    for (const auto& close : closings) {
        // As after a grid was read: the fields show the grid's URLs.
        main->txtAudioURL.Text = "pnm://grid/a.ra";
        main->txtHTMURL.Text = "http://grid/p/";
        ui.onModal = [&](Window& w) { close(dynamic_cast<FrmConfig&>(w)); };
        main->mnuConfig_Click();
        EXPECT_EQ(main->txtAudioURL.Text, "pnm://s/a.ra");
        EXPECT_EQ(main->txtHTMURL.Text, "http://s/p/");
        EXPECT_EQ(state("IMGPath"), settings.GetSetting("CuemarkPost", "URLs", "IMGPath"));
        EXPECT_EQ(state("CeventsLoc"), "C:\\rt\\cevents.exe");
    }
    EXPECT_EQ(state("IMGPath"), "img/{PF}/s000.jpg");
    EXPECT_TRUE(ui.boxTexts().empty());
}

TEST_F(MainTest, showCurrentThenSaveMakesTheMainWindowsUrlsTheStoredOnes) {
    start();
    main->txtAudioURL.Text = "pnm://grid/lect6.ra";
    main->txtHTMURL.Text = "http://grid/lect6/";
    ui.onModal = [](Window& w) {
        auto& config = dynamic_cast<FrmConfig&>(w);
        config.cmdCurrent.Click();
        config.cmdSave.Click();
    };
    main->mnuConfig_Click();
    EXPECT_EQ(stored("URLs", "AudioURL"), "pnm://grid/lect6.ra");
    EXPECT_EQ(stored("URLs", "HTMLURL"), "http://grid/lect6/");
    EXPECT_EQ(main->txtAudioURL.Text, "pnm://grid/lect6.ra");
}

TEST_F(MainTest, aboutFromTheMenuShowsOkAndDoesNotCloseByItself) {
    start();
    bool okShown = false;
    bool closedByTick = true;
    ui.onModal = [&](Window& w) {
        auto& about = dynamic_cast<About&>(w);
        okShown = about.Command1.Visible;
        if (about.Timer1.Tick)
            about.Timer1.Tick();
        closedByTick = about.isClosed();
        about.Command1.Click();
    };
    main->mnuAbout_Click();
    EXPECT_TRUE(okShown);
    EXPECT_FALSE(closedByTick);
    EXPECT_FALSE(program.SplashMode);
}

TEST_F(MainTest, helpOpensTheContentsAndPictureEntersWhatsThis) {
    start();
    main->mnuHelp.Click();
    main->Picture1.Click();
    ASSERT_EQ(ui.events.size(), 3u); // the splash, help, What's This
    EXPECT_EQ(ui.events[1].kind, UiEvent::Kind::Help);
    const std::string& helpFile = ui.events[1].text;
    EXPECT_EQ(helpFile.substr(0, program.directory.size()), program.directory);
    EXPECT_TRUE(helpFile.ends_with("cuebuild.hlp"));
    EXPECT_EQ(helpFile.size(), program.directory.size() + 1 + 12);
    EXPECT_EQ(ui.events[1].style, cdlHelpContents);
    EXPECT_EQ(ui.events[2].kind, UiEvent::Kind::WhatsThis);
    EXPECT_EQ(ui.events[2].text, "Main");
}

// The writers and the grid file see rows 1 to RowCount, each cell in its own field, and
// nothing of a row beyond.
TEST(SlideScheduleRows, areTheRowsOneToRowCount) {
    SlideSchedule s;
    for (int row = 1; row <= 3; ++row) {
        for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col)
            s.setCell(row, col, std::to_string(row) + "/" + std::to_string(col));
    }
    s.setRowCount(2);
    const std::vector<ScheduleRow> rows = s.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1], (ScheduleRow{"2/1", "2/2", "2/3", "2/4", "2/5"}));
    s.setRowCount(0);
    EXPECT_TRUE(s.rows().empty());
}
