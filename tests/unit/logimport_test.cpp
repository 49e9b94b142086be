#include "common/clocktime.h"
#include "logger/presentationlog.h"
#include "schedule/logimport.h"
#include "schedule/logreader.h"
#include "support/logbuilder.h"
#include "support/loggerfixture.h"
#include "support/mainfixture.h"
#include "webout/pathhelpers.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

const std::string samplePath = CUE_SOURCE_DIR "/tests/samples/q3.txt";

std::string readSample() {
    MainFixture reader;
    return reader.readFile(samplePath);
}

struct Import : MainFixture {
    Import() {
        start();
        ui.clearEvents();
    }

    void importPath(const std::string& p) { readLog(p); }
    void importBytes(const std::string& bytes, const std::string& name = "talk.txt") {
        importPath(writeFile(name, bytes));
    }
    std::string cell(int row, int col) const { return main->Grid1.TextMatrix(row, col); }
    std::vector<std::string> column(int col, int rows) const {
        std::vector<std::string> out;
        for (int r = 1; r <= rows; ++r)
            out.push_back(cell(r, col));
        return out;
    }
    // Every grid row holds a row titled `title`: 99 from a log, the 100th by Update.
    void fillAllRows(const std::string& title) {
        LogBuilder log;
        for (int i = 1; i < MaxScheduleRows; ++i)
            log.slide(1, i, title);
        importBytes(log.end(1).bytes, "full.txt");
        updateRow(MaxScheduleRows, "00:00:01", title, title);
        ui.clearEvents();
    }
    bool outputItemsOn() const {
        return main->mnuWriteHTM.Enabled && main->mnuWrRam.Enabled && main->mnuWrCevents.Enabled &&
               main->mnuSaveGrid.Enabled && main->mnuWrtAll.Enabled;
    }
    bool outputItemsOff() const {
        return !main->mnuWriteHTM.Enabled && !main->mnuWrRam.Enabled &&
               !main->mnuWrCevents.Enabled && !main->mnuSaveGrid.Enabled &&
               !main->mnuWrtAll.Enabled;
    }
    void expectRejected(const std::string& what) const {
        EXPECT_EQ(ui.boxTexts(), std::vector<std::string>{"Not a Log File"}) << what;
        if (!ui.events.empty()) {
            EXPECT_EQ(ui.events.back().style, Mb::OKOnly) << what;
            EXPECT_EQ(ui.events.back().title, "Cuemark PostProcessor") << what;
        }
        EXPECT_EQ(main->schedule().RowCount(), 0) << what;
        EXPECT_EQ(main->schedule().LoggedFirstLength(), ClockTime::NotSet) << what;
        EXPECT_EQ(main->schedule().SavedFirstLength(), ClockTime::NotSet) << what;
    }
};

using Lines = std::vector<std::string>;

} // namespace

// ---- Reading rules of a single line ----

TEST(LogLine, readsTheWritersLinesWithCommasWhereTheyMayStand) {
    struct Case {
        std::string line;
        std::string path;
        int number;
        std::string title;
    };
    const Case cases[] = {
        {" 0  , Slide , 0:00:00 , 10:15:23 AM , C:\\Talks\\q3.ppt , 1 , Welcome",
         "C:\\Talks\\q3.ppt", 1, "Welcome"},
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\q.ppt , 2 , Costs, risks, plans", "C:\\q.ppt", 2,
         "Costs, risks, plans"},
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\q.ppt , 2 , A , B", "C:\\q.ppt", 2, "A , B"},
        // Only the writer's blank goes; the title's own blanks stay.
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\q.ppt , 3 ,   indented ", "C:\\q.ppt", 3,
         "  indented "},
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\q.ppt , 3 , ", "C:\\q.ppt", 3, ""},
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\q.ppt , 3", "C:\\q.ppt", 3, ""},
        // A path or a time of day holding a plain comma stays whole.
        {" 0  , Slide , 0:00:00 , 10:15:23 , C:\\Smith, J\\q3.ppt , 4 , Intro",
         "C:\\Smith, J\\q3.ppt", 4, "Intro"},
        {" 0  , Slide , 0:00:00 , 10,15,23 , C:\\q.ppt , 5 , x, y", "C:\\q.ppt", 5, "x, y"},
        // Written without the blanks: plain commas, one blank before the title dropped.
        {"0,Slide,0:00:00,10:15:23,C:\\q.ppt,6, Six, sixty", "C:\\q.ppt", 6, "Six, sixty"},
        {"0,slide,0:00:00,10:15:23,C:\\q.ppt,7,Seven", "C:\\q.ppt", 7, "Seven"},
        {" 0  , SLIDE , 0:00:00 , 10:15:23 , /home/t/deck.ppt , 32767 , \"q\"", "/home/t/deck.ppt",
         32767, "\"q\""},
        {" 0  , Slide , 0:00:00 , 10:15:23 , q.ppt , 0 , Zero", "q.ppt", 0, "Zero"},
    };
    for (const Case& c : cases) {
        const auto line = parseLogLine(c.line);
        ASSERT_TRUE(line) << c.line;
        EXPECT_TRUE(line->isSlide) << c.line;
        EXPECT_EQ(line->presentationPath, c.path) << c.line;
        EXPECT_EQ(line->slideNumber, c.number) << c.line;
        EXPECT_EQ(line->title, c.title) << c.line;
    }
}

TEST(LogLine, eventLinesHaveFiveFieldsAndLoggingStoppedInAnyCaseEndsTheLog) {
    const auto stopped =
        parseLogLine(" 1.15740740740722E-04  , Event , 0:00:10 , x , Logging Stopped");
    ASSERT_TRUE(stopped);
    EXPECT_FALSE(stopped->isSlide);
    EXPECT_TRUE(stopped->endsLog());
    EXPECT_EQ(ClockTime::toSeconds(stopped->dayCount), 10);

    EXPECT_TRUE(parseLogLine("0 , event , 0:00:00 , x , LOGGING STOPPED")->endsLog());
    EXPECT_TRUE(parseLogLine("0,Event,0:00:00,10,15,00,Logging Stopped") == std::nullopt);
    const auto show = parseLogLine(" 0  , Event , 0:00:00 , 10,15,00 , Slide Show Stopped");
    ASSERT_TRUE(show);
    EXPECT_FALSE(show->endsLog());
    EXPECT_EQ(show->eventText, "Slide Show Stopped");
    // Any kind word other than Slide is an event.
    EXPECT_TRUE(parseLogLine("0 , Note , 0:00:00 , x , Program Stopped"));
}

TEST(LogLine, rejectsLinesThatWouldBecomeWrongRows) {
    const char* lines[] = {
        "",
        "   ",
        "abc , Slide , 0:00:00 , x , q.ppt , 1 , T",
        "5 x , Slide , 0:00:00 , x , q.ppt , 1 , T",
        " 0  , Slide , 0:00:00 , x , q.ppt , 32768 , T",
        " 0  , Slide , 0:00:00 , x , q.ppt , -1 , T",
        " 0  , Slide , 0:00:00 , x , q.ppt , 2.5 , T",
        " 0  , Slide , 0:00:00 , x , q.ppt , , T",
        " 0  , Slide , 0:00:00 , x , q.ppt",
        " 0  , Event , 0:00:00 , x , Slide Show Stopped , extra",
        " 0  , Event , 0:00:00 , Slide Show Stopped",
        " 0  , Event",
        " -1.5  , Event , 0:00:00 , x , Logging Stopped",
    };
    for (const char* line : lines)
        EXPECT_FALSE(parseLogLine(line)) << line;
}

TEST(LogLine, aNegativeDayCountIsTheTimeSincePreviousLineOnTheNextDay) {
    // 23:59:50 to 00:00:10.
    const auto line =
        parseLogLine("-0.999768518518519 , Event , 0:00:20 , 12:00:10 AM , Logging Stopped");
    ASSERT_TRUE(line);
    EXPECT_EQ(ClockTime::toSeconds(line->dayCount), 20);
    EXPECT_EQ(ClockTime::toSeconds(*parseLogDayCount(" 5.78703703703609E-05 ")), 5);
    EXPECT_FALSE(parseLogDayCount(""));
    EXPECT_FALSE(parseLogDayCount("1,5"));
}

TEST(LogReader, takesEveryKindOfLineEndAndALastLineWithoutOne) {
    LogReader reader("0 , Event , a , b , A\r\n0 , Event , a , b , B\n0 , Event , a , b , C\r"
                     "0.5 , Event , a , b , D");
    EXPECT_EQ(reader.next().eventText, "A");
    EXPECT_EQ(reader.next().eventText, "B");
    EXPECT_EQ(reader.next().eventText, "C");
    EXPECT_EQ(reader.peekDayCount(), 0.5);
    EXPECT_EQ(reader.next().eventText, "D");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_THROW(reader.next(), ReadError);
    EXPECT_THROW(reader.peekDayCount(), ReadError);
}

// ---- Read Log File ----

TEST(ReadLogFile, theSampleLogGivesThreeSlideRowsAndAPause) {
    Import f;
    f.fillAllRows("old");
    f.importPath(samplePath);

    EXPECT_TRUE(f.ui.boxTexts().empty());
    ASSERT_EQ(f.main->schedule().RowCount(), 4);
    EXPECT_EQ(f.column(ScheduleColumn::Length, 4),
              (Lines{"00:00:05", "00:00:07", "00:00:27", "00:00:10"}));
    EXPECT_EQ(f.column(ScheduleColumn::Start, 4),
              (Lines{"00:00:00", "00:00:05", "00:00:12", "00:00:39"}));
    EXPECT_EQ(f.column(ScheduleColumn::Stop, 4),
              (Lines{"00:00:05", "00:00:12", "00:00:39", "00:00:49"}));
    EXPECT_EQ(f.column(ScheduleColumn::ImageUrl, 4),
              (Lines{"../q3/sld001.gif", "../q3/sld002.gif", "../q3/sld003.gif", "wait.gif"}));
    EXPECT_EQ(f.column(ScheduleColumn::Title, 4),
              (Lines{"Welcome", "Agenda", "NO TITLE", "BREAK"}));
    for (int r = 5; r <= MaxScheduleRows; ++r)
        for (int c = ScheduleColumn::Length; c <= ScheduleColumn::Title; ++c)
            ASSERT_EQ(f.cell(r, c), "") << r << "," << c;
    EXPECT_EQ(f.cell(5, ScheduleColumn::RowNumber), "5");
    EXPECT_EQ(ClockTime::format(f.main->schedule().LoggedFirstLength()), "00:00:05");
    EXPECT_EQ(f.main->schedule().SavedFirstLength(), ClockTime::NotSet);

    // The editor shows row 1; the first-row alternatives stay hidden without a saved length.
    EXPECT_EQ(f.main->txtLineNum.Text, "1");
    EXPECT_EQ(f.main->txtSlideLength.Text, "00:00:05");
    EXPECT_EQ(f.main->txtSlideTitle.Text, "Welcome");
    EXPECT_EQ(f.main->txtIMGURL.Text, "../q3/sld001.gif");
    EXPECT_FALSE(f.main->cmd1SaveTIme.Visible);
    EXPECT_FALSE(f.main->txt1LogTIme.Visible);

    EXPECT_TRUE(f.outputItemsOn());
    EXPECT_FALSE(f.main->mnuReadGrid.Enabled);
    EXPECT_TRUE(f.main->mnuRdLog.Enabled);
    EXPECT_TRUE(f.main->mnuConfig.Enabled);
    EXPECT_EQ(f.state("LogImported"), "true");
    EXPECT_EQ(f.main->txtLogFile.Text, samplePath);

    ASSERT_EQ(f.ui.events.size(), 1u);
    const UiEvent& dialog = f.ui.events[0];
    EXPECT_EQ(dialog.kind, UiEvent::Kind::FileDialog);
    EXPECT_EQ(dialog.text, "Log File");
    EXPECT_EQ(dialog.filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_TRUE(dialog.cancelError);
    EXPECT_EQ(dialog.dialogKind, FileDialogKind::Open);
}

TEST(ReadLogFile, rejectsLogsThatAreNotCompleteOrNotLogs) {
    const std::string sample = readSample();
    const std::string withoutEnd = sample.substr(0, sample.rfind(" 1.157"));
    std::string hundredSlides;
    {
        LogBuilder log;
        for (int i = 1; i <= 100; ++i)
            log.slide(3, i);
        hundredSlides = log.end(3).bytes;
    }
    struct Case {
        std::string what;
        std::string bytes;
    };
    const Case cases[] = {
        {"only the closing line", " 0  , Event , 0:00:00 , 9:00:00 AM , Logging Stopped\r\n"},
        {"empty file", ""},
        {"ends with a slide line", LogBuilder().slide(0, 1).slide(4, 2).bytes},
        {"ends with Program Stopped",
         withoutEnd + " 1.15740740740722E-04  , Event , 0:00:10 , 10:16:12 AM , "
                      "Program Stopped\r\n"},
        {"cut off", withoutEnd},
        {"100 rows", hundredSlides},
        {"day count not a number", " 0  , Slide , 0:00:00 , x , q.ppt , 1 , A\r\n"
                                   " five  , Event , 0:00:05 , x , Logging Stopped\r\n"},
        {"slide number out of range", " 0  , Slide , 0:00:00 , x , q.ppt , 40000 , A\r\n"
                                      " 0  , Event , 0:00:05 , x , Logging Stopped\r\n"},
        {"a grid file", "Cuemark Grid File\r\nlog.txt\r\na\r\nb\r\n 0 \r\n"},
        // No gap between two clock readings reaches a day; such counts would not even
        // write as times.
        {"a day count of a day or more", " 0  , Slide , 0:00:00 , x , q.ppt , 1 , A\r\n"
                                         " 2E14  , Event , 0:00:05 , x , Logging Stopped\r\n"},
        {"a day count before the day before", " 0  , Slide , 0:00:00 , x , q.ppt , 1 , A\r\n"
                                              " -1.5  , Event , 0:00:05 , x , Logging Stopped\r\n"},
    };
    for (const Case& c : cases) {
        Import f;
        f.importBytes(c.bytes);
        f.expectRejected(c.what);
        EXPECT_TRUE(f.outputItemsOff()) << c.what;
        EXPECT_TRUE(f.main->mnuReadGrid.Enabled) << c.what;
        EXPECT_TRUE(f.main->mnuConfig.Enabled) << c.what;
        EXPECT_EQ(f.state("LogImported"), "true") << c.what;
        // Nothing of a rejected log is kept for its next import.
        EXPECT_TRUE(f.main->Unload()) << c.what;
        EXPECT_FALSE(TestFiles::exists(f.path("talk.urs"))) << c.what;
    }
}

TEST(ReadLogFile, rowsReadBeforeARejectionStayInTheGrid) {
    Import f;
    f.fillAllRows("old");
    f.importBytes(LogBuilder().slide(0, 1, "One").slide(4, 2, "Two").slide(6, 3, "Three").bytes);
    f.expectRejected("ends with a slide line");
    EXPECT_EQ(f.column(ScheduleColumn::Title, 4), (Lines{"One", "Two", "old", "old"}));
    EXPECT_EQ(f.column(ScheduleColumn::Length, 2), (Lines{"00:00:04", "00:00:06"}));
}

TEST(ReadLogFile, anImagePathWithoutZeroRejectsEveryLog) {
    Import f;
    f.useUrlSettings(
        {UrlSettings::DefaultAudioURL, UrlSettings::DefaultHTMLURL, "../{PF}/slide.gif", ""});
    f.ui.clearEvents();
    f.importPath(samplePath);
    f.expectRejected("no zero");
    EXPECT_EQ(f.cell(1, ScheduleColumn::Title), "");
}

TEST(ReadLogFile, ninetyNineRowsFitAndTheHundredthGridRowIsEmptied) {
    Import f;
    f.fillAllRows("old");
    LogBuilder log;
    for (int i = 1; i <= 99; ++i)
        log.slide(i % 7, i);
    f.importBytes(log.end(2).bytes);
    EXPECT_TRUE(f.ui.boxTexts().empty());
    ASSERT_EQ(f.main->schedule().RowCount(), 99);
    EXPECT_EQ(f.cell(99, ScheduleColumn::ImageUrl), "../q3/sld099.gif");
    EXPECT_EQ(f.cell(99, ScheduleColumn::Length), "00:00:02");
    EXPECT_EQ(f.cell(100, ScheduleColumn::ImageUrl), "");
}

// The import itself, from a reading of the log and the image pattern to rows.
TEST(ImportLog, formsOneRowPerLineAsTheLogGivesIt) {
    struct Case {
        std::string what;
        std::string bytes;
        std::string imagePattern;
        std::vector<std::pair<int, Lines>> columns; // column, then its rows from row 1
        int loggedSeconds;                          // -1: not set
    };
    const std::string defaultPattern = "../{PF}/sld000.gif";
    const Case cases[] = {
        {"titles, kinds and events as written",
         " 0  , slide , 0:00:00 , 10:15:23 , C:\\Talks\\q3.ppt , 1 , Costs, risks, plans\r\n"
         " 5.78703703703609E-05  , SLIDE , 0:00:05 , 10:15:28 , C:\\Talks\\q3.ppt , 2 , \r\n"
         " 5.78703703703609E-05  , Event , 0:00:05 , 10:15:33 , SLIDE SHOW STOPPED\r\n"
         " 5.78703703703609E-05  , EVENT , 0:00:05 , 10:15:38 , LOGGING STOPPED\r\n",
         defaultPattern,
         {{5, {"Costs, risks, plans", "", "BREAK"}},
          {4, {"../q3/sld001.gif", "../q3/sld002.gif", "wait.gif"}}},
         5},
        {"image URLs from the pattern and each line's presentation",
         LogBuilder()
             .slide(0, 7, "a", "/home/t/deck.v2.ppt")
             .slide(5, 12, "b", "C:\\Smith, J\\other.ppt")
             .slide(5, 2, "c", "C:\\Smith, J\\other.ppt")
             .slide(5, 123, "d", "noext")
             .end(5)
             .bytes,
         "img\\{pf}\\pic0.JPG",
         {{4,
           {"img\\deck\\pic007.JPG", "img\\other\\pic012.JPG", "img\\other\\pic002.JPG",
            "img\\noext\\pic123.JPG"}}},
         5},
        {"a slide shown again has its own row",
         LogBuilder().slide(0, 1).slide(10, 2).slide(20, 3).slide(30, 2).end(40).bytes,
         defaultPattern,
         {{4, {"../q3/sld001.gif", "../q3/sld002.gif", "../q3/sld003.gif", "../q3/sld002.gif"}},
          {2, {"00:00:00", "00:00:10", "00:00:30", "00:01:00"}},
          {3, {"00:00:10", "00:00:30", "00:01:00", "00:01:40"}}},
         10},
        {"a gap across midnight is the time that passed",
         LogBuilder(23 * 3600 + 59 * 60 + 30)
             .slide(0, 1)
             .slide(20, 2)                    // 23:59:50
             .event(20, "Slide Show Stopped") // 00:00:10
             .end(5)
             .bytes,
         defaultPattern,
         {{1, {"00:00:20", "00:00:20", "00:00:05"}}, {3, {"00:00:20", "00:00:40", "00:00:45"}}},
         20},
        {"only a slide row gives the logged first length",
         LogBuilder().event(0, "Slide Show Stopped").slide(6, 1).end(4).bytes,
         defaultPattern,
         {{4, {"wait.gif", "../q3/sld001.gif"}}, {5, {"BREAK", "T"}}},
         -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LogReader log(c.bytes);
        const ImportedLog imported = importLog(log, c.imagePattern);
        ASSERT_FALSE(imported.rejection);
        for (const auto& [column, expected] : c.columns) {
            ASSERT_EQ(imported.rows.size(), expected.size());
            Lines got;
            for (const ScheduleRow& row : imported.rows)
                got.push_back(row.*ScheduleCells[column - ScheduleColumn::Length]);
            EXPECT_EQ(got, expected) << "column " << column;
        }
        const double logged = imported.loggedFirstLength;
        EXPECT_EQ(logged == ClockTime::NotSet ? -1 : ClockTime::toSeconds(logged), c.loggedSeconds);
    }
}

TEST(ReadLogFile, aPendingTapeLateLongerThanTheSavedLengthLeavesTheResumeFileAlone) {
    Import f;
    f.writeFile("q3.txt", readSample());
    const std::string resume = f.path("q3.txt") +
                               "\r\npnm://saved.example/talk.ra\r\n"
                               "http://saved.example/talk/\r\n 4.62962962962963E-05 \r\n";
    f.writeFile("q3.urs", resume);
    f.main->txtTapeLate.Text = "00:00:10";
    f.importPath(f.path("q3.txt"));

    EXPECT_EQ(f.ui.boxTexts(), (Lines{"Tape Late is longer than the first slide"}));
    ASSERT_EQ(f.main->schedule().RowCount(), 4);
    EXPECT_EQ(f.cell(1, ScheduleColumn::Length), "00:00:05");
    EXPECT_EQ(f.main->schedule().SavedFirstLength(), ClockTime::NotSet);
    EXPECT_TRUE(f.main->mnuConfig.Enabled);
    EXPECT_FALSE(f.main->cmd1SaveTIme.Visible);
    f.ui.clearEvents();
    EXPECT_TRUE(f.main->Unload());
    EXPECT_TRUE(f.ui.boxTexts().empty());
    // The operator's earlier correction is still there for the next import.
    EXPECT_EQ(f.readFile(f.path("q3.urs")), resume);
}

// Whatever the deck is called and however long its titles, the writer's log reads back
// to the rows it stands for.
TEST(ReadLogFile, theWritersLogReadsBackWhateverTheDeckIsCalled) {
    const std::string longTitle = std::string(70000, 'x');
    // The fields before the title take 55 bytes of the 64 KiB a line may hold; a two-byte
    // letter across the cut is left out whole.
    const size_t room = 65536 - 55;
    const std::string cutLetter = std::string(room - 1, 'y') + "\xC3\x9C" + "z";
    struct Case {
        std::string path;
        std::string title;
        std::string imageUrl;
        size_t titleBytes;
    };
    const Case cases[] = {
        {"C:\\Talks , 2024\\q3.ppt", "Welcome", "../q3/sld002.gif", 7},
        {"/talks/a , b , 7 , c.odp", "T , 1 , x", "../a , b , 7 , c/sld002.gif", 9},
        {"/talks/\"best\", 2024/q\"4\".odp", "\"Q\"", "../q\"4\"/sld002.gif", 3},
        {" /lead and trail ", "t", "../lead and trail /sld002.gif", 1},
        {"/talks/q3.odp", longTitle, "../q3/sld002.gif", room},
        {"/talks/q3.odp", cutLetter, "../q3/sld002.gif", room - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Import f;
        f.importBytes(LogBuilder().slide(0, 2, c.title, c.path).end(5).bytes);
        ASSERT_TRUE(f.ui.boxTexts().empty());
        ASSERT_EQ(f.main->schedule().RowCount(), 1);
        EXPECT_EQ(f.cell(1, ScheduleColumn::ImageUrl), c.imageUrl);
        EXPECT_EQ(f.cell(1, ScheduleColumn::Title), c.title.substr(0, c.titleBytes));
    }
}

TEST(ReadLogFile, theRunningTotalIsTheExactSumSoStopsMeetStarts) {
    Import f;
    // 1.6 seconds each: every Length rounds up, the sums do not.
    const std::string d = " 1.85185185185185E-05 ";
    f.importBytes(" 0  , Slide , 0:00:00 , x , q3.ppt , 1 , A\r\n" + d +
                  " , Slide , 0:00:01 , x , q3.ppt , 2 , B\r\n" + d +
                  " , Slide , 0:00:01 , x , q3.ppt , 3 , C\r\n" + d +
                  " , Event , 0:00:01 , x , Logging Stopped\r\n");
    ASSERT_EQ(f.main->schedule().RowCount(), 3);
    EXPECT_EQ(f.column(ScheduleColumn::Length, 3), (Lines{"00:00:02", "00:00:02", "00:00:02"}));
    EXPECT_EQ(f.column(ScheduleColumn::Start, 3), (Lines{"00:00:00", "00:00:02", "00:00:03"}));
    EXPECT_EQ(f.column(ScheduleColumn::Stop, 3), (Lines{"00:00:02", "00:00:03", "00:00:05"}));
}

TEST(ReadLogFile, aNameWithoutADotOpensItsTxtFileAndLooksForItsUrsFile) {
    Import f;
    f.writeFile("talk.txt", readSample());
    f.writeFile("talk.urs", "talk\r\npnm://a/b.ra\r\nhttp://a/b/\r\n 4.62962962962963E-05 \r\n");
    f.importPath(f.path("talk"));
    EXPECT_EQ(f.main->schedule().RowCount(), 4);
    EXPECT_EQ(f.state("LogFileName"), f.path("talk.txt"));
    EXPECT_EQ(f.main->txtLogFile.Text, f.path("talk.txt"));
    EXPECT_EQ(f.main->txtAudioURL.Text, "pnm://a/b.ra");
    // Closing writes the resume file that was read.
    EXPECT_TRUE(f.main->Unload());
    EXPECT_EQ(f.readFile(f.path("talk.urs")).rfind(f.path("talk.txt") + "\r\n", 0), 0u);

    // The same rule on a Windows name.
    Import w;
    w.importPath("C:\\Logs\\talk");
    EXPECT_EQ(w.state("LogFileName"), "C:\\Logs\\talk.txt");
}

// Asked for "lecture" in a folder "my.talks", the logger writes my.talks/lecture: the path
// holds a dot. The import reads that log and pairs it with my.talks/lecture.urs; a log of
// such a name that cannot be read is reported like any other, never passed over.
TEST(ReadLogFile, aLogNamedWithoutADotBesideADottedFolderIsReadOrReported) {
    Import f;
    const std::string folder = f.path("my.talks");
    ASSERT_TRUE(TestFiles::makePath(folder));
    LoggerFixture logger;
    logger.start(folder + "/lecture");
    logger.ppt.startShow(1);
    logger.tick(10, 0, 1);
    logger.ppt.gotoSlide(2);
    logger.tick(10, 0, 6);
    logger.endLog(10, 0, 20);
    ASSERT_EQ(logger.form->logFile().path(), folder + "/lecture");

    f.importPath(folder + "/lecture");
    EXPECT_TRUE(f.ui.boxTexts().empty());
    ASSERT_EQ(f.main->schedule().RowCount(), 2);
    EXPECT_EQ(f.column(ScheduleColumn::Length, 2), (Lines{"00:00:05", "00:00:14"}));
    EXPECT_EQ(f.column(ScheduleColumn::Title, 2), (Lines{"Welcome", "Agenda"}));
    EXPECT_EQ(f.main->txtLogFile.Text, folder + "/lecture");
    EXPECT_TRUE(f.main->Unload());
    EXPECT_EQ(TestFiles::names(folder), (std::set<std::string>{"lecture", "lecture.urs"}));

    Import g;
    g.importPath(folder + "/absent");
    g.expectRejected("no such log");
}

TEST(ReadLogFile, aResumeFileRestoresTheUrlsAndTheFirstLength) {
    Import f;
    f.writeFile("q3.txt", readSample());
    f.writeFile("q3.urs", f.path("q3.txt") +
                              "\r\npnm://saved.example/talk.ra\r\n"
                              "http://saved.example/talk/\r\n 4.62962962962963E-05 \r\n");
    f.importPath(f.path("q3.txt"));

    EXPECT_TRUE(f.ui.boxTexts().empty());
    ASSERT_EQ(f.main->schedule().RowCount(), 4);
    EXPECT_EQ(f.column(ScheduleColumn::Length, 4),
              (Lines{"00:00:04", "00:00:07", "00:00:27", "00:00:10"}));
    EXPECT_EQ(f.column(ScheduleColumn::Start, 4),
              (Lines{"00:00:00", "00:00:04", "00:00:11", "00:00:38"}));
    EXPECT_EQ(f.column(ScheduleColumn::Title, 1), (Lines{"Welcome"}));
    EXPECT_EQ(f.main->txt1LogTIme.Text, "00:00:05");
    EXPECT_EQ(f.main->txt1SaveTime.Text, "00:00:04");
    EXPECT_EQ(f.main->txtAudioURL.Text, "pnm://saved.example/talk.ra");
    EXPECT_EQ(f.main->txtHTMURL.Text, "http://saved.example/talk/");
    EXPECT_FALSE(f.main->mnuConfig.Enabled);
    EXPECT_FALSE(f.main->schedule().ScheduleEdited());
    EXPECT_FALSE(f.main->schedule().FirstRowEdited());
    EXPECT_EQ(f.main->txtLineNum.Text, "1");
    EXPECT_EQ(f.main->txtSlideLength.Text, "00:00:04");
    EXPECT_TRUE(f.main->cmd1LogTIme.Visible);
    EXPECT_TRUE(f.main->txt1SaveTime.Visible);

    // Only row 1 changed: closing asks nothing and writes the ResumeFile.
    f.main->txtSlideLength.Text = "00:00:03";
    f.main->cmdUpdate_Click();
    ASSERT_TRUE(f.main->schedule().FirstRowEdited());
    f.ui.clearEvents();
    EXPECT_TRUE(f.main->Unload());
    EXPECT_TRUE(f.ui.boxTexts().empty());
    const std::string resume = f.readFile(f.path("q3.urs"));
    EXPECT_NE(resume.find("pnm://saved.example/talk.ra\r\n"), std::string::npos);
    EXPECT_NE(resume.find(" 3.47222222222222E-05 \r\n"), std::string::npos) << resume;
}

TEST(ReadLogFile, aRejectedImportAfterAGoodOneWritesNoResumeFileOnClosing) {
    Import f;
    f.writeFile("q3.txt", readSample());
    f.importPath(f.path("q3.txt"));
    ASSERT_EQ(f.main->schedule().RowCount(), 4);

    f.importBytes(LogBuilder().slide(0, 9, "Half").slide(5, 10).bytes, "cut.txt");
    ASSERT_EQ(f.ui.boxTexts(), (Lines{"Not a Log File"}));
    ASSERT_EQ(f.cell(1, ScheduleColumn::Title), "Half");
    f.ui.clearEvents();
    EXPECT_TRUE(f.main->Unload());
    EXPECT_TRUE(f.ui.boxTexts().empty());
    // The rejected rows never reach the resume file of the log imported first.
    EXPECT_FALSE(TestFiles::exists(f.path("q3.urs")));
    EXPECT_FALSE(TestFiles::exists(f.path("cut.urs")));
}

TEST(ReadLogFile, aDamagedResumeFileChangesNothing) {
    const std::string files[] = {
        "q3.txt\r\npnm://x/y.ra\r\n",
        "q3.txt\r\npnm://x/y.ra\r\nhttp://x/\r\nnot a number\r\n",
        "q3.txt\r\npnm://x/y.ra\r\nhttp://x/\r\n-0.5\r\n",
        "",
    };
    for (const std::string& urs : files) {
        Import f;
        const std::string audio = f.main->txtAudioURL.Text;
        f.writeFile("q3.txt", readSample());
        f.writeFile("q3.urs", urs);
        f.importPath(f.path("q3.txt"));
        EXPECT_TRUE(f.ui.boxTexts().empty()) << urs;
        EXPECT_EQ(f.main->schedule().RowCount(), 4) << urs;
        EXPECT_EQ(f.cell(1, ScheduleColumn::Length), "00:00:05") << urs;
        EXPECT_EQ(f.main->txtAudioURL.Text, audio) << urs;
        EXPECT_EQ(f.main->schedule().SavedFirstLength(), ClockTime::NotSet) << urs;
        EXPECT_TRUE(f.main->mnuConfig.Enabled) << urs;
        EXPECT_FALSE(f.main->cmd1SaveTIme.Visible) << urs;
    }
}

TEST(ReadLogFile, aResumeFileKeepsValuesHoldingCommasAndAnEmptyFirstTitle) {
    Import f;
    f.writeFile("q3.txt", LogBuilder().slide(0, 1, "").slide(5, 2, "Two").end(5).bytes);
    f.writeFile(
        "q3.urs",
        "C:\\Smith, J\\q3.txt\r\npnm://x/a,b.ra\r\nhttp://x/\r\n 4.62962962962963E-05 \r\n");
    f.importPath(f.path("q3.txt"));
    EXPECT_EQ(f.main->txtAudioURL.Text, "pnm://x/a,b.ra");
    EXPECT_EQ(f.cell(1, ScheduleColumn::Length), "00:00:04");
    EXPECT_EQ(f.cell(1, ScheduleColumn::Title), "");
    EXPECT_EQ(f.cell(1, ScheduleColumn::ImageUrl), "../q3/sld001.gif");
}

TEST(ReadLogFile, aCancelledOrRejectedImportLeavesTheMenuAsItWas) {
    Import f;
    f.ui.queueCancel();
    f.main->mnuRdLog_Click();
    // A cancelled dialog changes nothing, not even what closing will ask.
    EXPECT_EQ(f.state("LogImported"), "false");
    EXPECT_TRUE(f.ui.boxTexts().empty());
    EXPECT_TRUE(f.outputItemsOff());
    EXPECT_TRUE(f.main->mnuReadGrid.Enabled);
    EXPECT_EQ(f.state("LogFileName"), "");

    f.importPath(samplePath);
    ASSERT_EQ(f.main->schedule().RowCount(), 4);
    f.ui.queueCancel();
    f.main->mnuRdLog_Click();
    EXPECT_EQ(f.main->schedule().RowCount(), 4);
    EXPECT_EQ(f.state("LogFileName"), samplePath);

    f.importBytes("");
    EXPECT_TRUE(f.outputItemsOn());
    EXPECT_FALSE(f.main->mnuReadGrid.Enabled);

    f.ui.clearEvents();
    f.importBytes(LogBuilder().slide(0, 5).end(9).bytes, "second.txt");
    EXPECT_TRUE(f.ui.boxTexts().empty());
    EXPECT_EQ(f.main->schedule().RowCount(), 1);
    EXPECT_TRUE(f.outputItemsOn());
    EXPECT_FALSE(f.main->mnuReadGrid.Enabled);
    EXPECT_EQ(f.cell(2, ScheduleColumn::Length), "");
}

TEST(ReadLogFile, logsFromTheWriterImportToTheLengthsThatWereWritten) {
    struct Step {
        int after; // seconds since the previous line
        int slide; // 0 for an event line
        const char* event;
    };
    const std::vector<std::vector<Step>> runs = {
        // forward, back, jump
        {{0, 1, nullptr},
         {12, 2, nullptr},
         {3, 1, nullptr},
         {40, 9, nullptr},
         {0, 10, nullptr},
         {65, 0, "Slide Show Stopped"},
         {7, 0, "Logging Stopped"}},
        // a restarted show, the restart logged at its own slide
        {{0, 3, nullptr},
         {30, 4, nullptr},
         {5, 0, "Slide Show Stopped"},
         {600, 5, nullptr},
         {3599, 6, nullptr},
         {1, 0, "Slide Show Stopped"},
         {2, 0, "Logging Stopped"}},
        // across midnight, long slides
        {{0, 1, nullptr},
         {7199, 2, nullptr},
         {3601, 3, nullptr},
         {59, 0, "Slide Show Stopped"},
         {43199, 1, nullptr},
         {1, 0, "Logging Stopped"}},
    };
    const int starts[] = {8 * 3600, 16 * 3600 + 59 * 60, 22 * 3600 + 30 * 60};
    for (size_t i = 0; i < runs.size(); ++i) {
        LogBuilder log(starts[i]);
        std::vector<std::string> lengths;
        for (const Step& s : runs[i]) {
            if (s.slide)
                log.slide(s.after, s.slide, "Slide " + std::to_string(s.slide));
            else
                log.event(s.after, s.event);
            if (&s != &runs[i].front())
                lengths.push_back(ClockTime::format(ClockTime::fromSeconds(s.after)));
        }
        Import f;
        f.importBytes(log.bytes);
        ASSERT_TRUE(f.ui.boxTexts().empty()) << i;
        ASSERT_EQ(f.main->schedule().RowCount(), static_cast<int>(lengths.size())) << i;
        EXPECT_EQ(f.column(ScheduleColumn::Length, f.main->schedule().RowCount()), lengths) << i;
        long long start = 0;
        for (int r = 1; r <= f.main->schedule().RowCount(); ++r) {
            EXPECT_EQ(f.cell(r, ScheduleColumn::Start),
                      ClockTime::format(ClockTime::fromSeconds(start)))
                << i;
            start += runs[i][r].after;
            const Step& s = runs[i][r - 1];
            EXPECT_EQ(f.cell(r, ScheduleColumn::ImageUrl),
                      s.slide ? "../q3/sld" + threeDigits(s.slide) + ".gif" : "wait.gif");
        }
    }
}
