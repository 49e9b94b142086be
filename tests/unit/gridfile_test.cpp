#include "common/textfile.h"
#include "schedule/filenames.h"
#include "schedule/gridfile.h"
#include "support/logbuilder.h"
#include "support/mainfixture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

// The three-row schedule as a GridFile, worked out by hand: 00:01:00 is 1/1440 of a day,
// 00:02:30 is 150/86400, 00:00:45 is 45/86400, 00:03:30 is 210/86400, 00:04:15 is
// 255/86400.
const std::string ThreeRows = "Cuemark Grid File\r\n"
                              "C:\\Talks\\q3log.txt\r\n"
                              "pnm://audio.cuemark.example/presentations/q3.ra\r\n"
                              "http://www.cuemark.example/presentations/q3/\r\n"
                              " 6.94444444444444E-04 \r\n"
                              " 6.94444444444444E-04 \r\n"
                              " 0 \r\n"
                              " 6.94444444444444E-04 \r\n"
                              "../q3/sld001.gif\r\n"
                              "Welcome\r\n"
                              " 0.00173611111111111 \r\n"
                              " 6.94444444444444E-04 \r\n"
                              " 0.00243055555555556 \r\n"
                              "../q3/sld002.gif\r\n"
                              "Costs, risks, \"plans\"\r\n"
                              " 5.20833333333333E-04 \r\n"
                              " 0.00243055555555556 \r\n"
                              " 0.00295138888888889 \r\n"
                              "wait.gif\r\n"
                              "BREAK\r\n";

const char* const Rows[3][5] = {
    {"00:01:00", "00:00:00", "00:01:00", "../q3/sld001.gif", "Welcome"},
    {"00:02:30", "00:01:00", "00:03:30", "../q3/sld002.gif", "Costs, risks, \"plans\""},
    {"00:00:45", "00:03:30", "00:04:15", "wait.gif", "BREAK"},
};

std::string fiveLines(const std::string& header = "Cuemark Grid File") {
    return header + "\r\nlog.txt\r\npnm://a/b.ra\r\nhttp://h/p/\r\n 0 \r\n";
}

std::string replaceLine(const std::string& text, int line, const std::string& value) {
    size_t begin = 0;
    for (int i = 1; i < line; ++i)
        begin = text.find("\r\n", begin) + 2;
    const size_t end = text.find("\r\n", begin);
    return text.substr(0, begin) + value + text.substr(end);
}

std::string firstLines(const std::string& text, int count) {
    size_t end = 0;
    for (int i = 0; i < count; ++i)
        end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

struct GridFixture : MainFixture {
    GridFixture() {
        start();
        ui.clearEvents();
    }

    // The three rows typed into the row editor, as the operator makes a schedule.
    void fillThreeRows() {
        main->txtLogFile.Text = "C:\\Talks\\q3log.txt";
        main->txtAudioURL.Text = "pnm://audio.cuemark.example/presentations/q3.ra";
        main->txtHTMURL.Text = "http://www.cuemark.example/presentations/q3/";
        for (int k = 1; k <= 3; ++k) {
            const char* const* row = Rows[k - 1];
            updateRow(k, row[ScheduleColumn::Length - 1], row[ScheduleColumn::ImageUrl - 1],
                      row[ScheduleColumn::Title - 1]);
        }
    }

    // A log of `rows` slides read with a resume file beside it: both first lengths set.
    void importWithFirstLengths(int rows = 1) {
        LogBuilder log;
        for (int i = 1; i <= rows; ++i)
            log.slide(i == 1 ? 0 : 5, i, "X");
        writeFile("x.urs", "x.txt\r\npnm://x/x.ra\r\nhttp://x/\r\n 4.62962962962963E-05 \r\n");
        readLog(writeFile("x.txt", log.end(5).bytes));
        ui.clearEvents();
    }

    void save(const std::string& path) {
        ui.queueFile(path);
        main->mnuSaveGrid_Click();
    }

    void read(const std::string& path) { readGrid(path); }

    std::string cell(int row, int col) const { return main->schedule().cell(row, col); }

    const UiEvent& lastBox() const {
        for (auto it = ui.events.rbegin(); it != ui.events.rend(); ++it)
            if (it->kind == UiEvent::Kind::MessageBox)
                return *it;
        throw std::runtime_error("no message box");
    }
};

} // namespace

TEST(GridFileText, dayCountLinesOfTimeCells) {
    const struct {
        const char* cell;
        const char* line;
    } cases[] = {
        {"00:00:00", " 0 "},
        {"00:00:01", " 1.15740740740741E-05 "},
        {"00:01:00", " 6.94444444444444E-04 "},
        {"06:00:00", " 0.25 "},
        {"12:00", " 0.5 "},
        {"0:05:00", " 0.00347222222222222 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GridFile::dayCountOf(c.cell, "Length of row 1"), c.line) << c.cell;

    for (const char* bad : {"", "abc", "24:00:00", "00:60:00"})
        EXPECT_THROW(GridFile::dayCountOf(bad, "Start of row 2"), FileError) << bad;
    try {
        GridFile::dayCountOf("abc", "Start of row 2");
    } catch (const FileError& e) {
        EXPECT_STREQ(e.what(), "Start of row 2 is not a time: \"abc\"");
    }
}

TEST(GridFileText, resumeFileIsFourLines) {
    EXPECT_EQ(
        GridFile::resumeFileText("C:\\Logs\\talk.txt", "pnm://a/b,c.ra", "http://h/p/", "00:01:00"),
        "C:\\Logs\\talk.txt\r\npnm://a/b,c.ra\r\nhttp://h/p/\r\n 6.94444444444444E-04 \r\n");
    EXPECT_THROW(GridFile::resumeFileText("a", "b", "c", ""), FileError);
}

TEST(GridFileText, eitherHeaderInAnyCase) {
    for (const char* h : {"Cuemark Grid File", "CUEMARK GRID FILE", "orbicast audio schedule file",
                          "  Orbicast Audio Schedule File"})
        EXPECT_TRUE(GridFile::isHeader(h)) << h;
    for (const char* h : {"", "Cuemark Grid", "0", "Cuemark Grid File 2"})
        EXPECT_FALSE(GridFile::isHeader(h)) << h;
}

TEST(GridFileText, txtIsAddedOnlyWithoutAnyDot) {
    EXPECT_EQ(withTxtExtension("C:\\Logs\\talk"), "C:\\Logs\\talk.txt");
    EXPECT_EQ(withTxtExtension("/home/op/talk"), "/home/op/talk.txt");
    EXPECT_EQ(withTxtExtension("C:\\Logs\\talk.grd"), "C:\\Logs\\talk.grd");
    EXPECT_EQ(withTxtExtension("C:\\v1.2\\talk"), "C:\\v1.2\\talk");
    EXPECT_EQ(withTxtExtension("talk."), "talk.");
}

TEST(GridFileText, sampleFileIsTheThreeRowSchedule) {
    std::ifstream in(CUE_SOURCE_DIR "/tests/samples/three_rows_grid.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), ThreeRows);
}

TEST(SaveGrid, threeRowsAreTwentyLinesAndReadBackTheSame) {
    GridFixture f;
    f.fillThreeRows();
    ASSERT_TRUE(f.main->schedule().ScheduleEdited() && f.main->schedule().FirstRowEdited());
    f.ui.clearEvents();
    const std::string path = f.path("q3grid.txt");
    f.save(path);

    ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0);
    const UiEvent& dialog = f.ui.events.at(0);
    EXPECT_EQ(dialog.text, "Save Grid");
    EXPECT_EQ(dialog.dialogKind, FileDialogKind::Save);
    EXPECT_EQ(dialog.filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(dialog.filterIndex, 1);
    EXPECT_EQ(f.readFile(path), ThreeRows);
    EXPECT_FALSE(f.main->schedule().ScheduleEdited());
    EXPECT_TRUE(f.main->schedule().FirstRowEdited());
    EXPECT_FALSE(f.ui.busy);
    EXPECT_EQ(f.ui.busyChanges, 2);

    GridFixture g;
    g.importWithFirstLengths(MaxScheduleRows - 1);
    g.updateRow(MaxScheduleRows, "00:09:00", "", "old title");
    ASSERT_EQ(g.main->schedule().RowCount(), MaxScheduleRows);
    ASSERT_NE(g.main->schedule().SavedFirstLength(), -1);
    g.main->txtLineNum.Text = "7";
    g.ui.clearEvents();
    g.read(path);

    ASSERT_EQ(g.ui.countOf(UiEvent::Kind::MessageBox), 0);
    const UiEvent& open = g.ui.events.at(0);
    EXPECT_EQ(open.text, "Read Grid");
    EXPECT_EQ(open.dialogKind, FileDialogKind::Open);
    EXPECT_EQ(open.filter, "Text Files (*.txt)|*.txt");
    EXPECT_EQ(open.filterIndex, 1);
    EXPECT_TRUE(open.cancelError);

    EXPECT_EQ(g.main->schedule().RowCount(), 3);
    for (int k = 1; k <= 3; ++k)
        for (int c = ScheduleColumn::Length; c <= ScheduleColumn::Title; ++c)
            EXPECT_EQ(g.cell(k, c), Rows[k - 1][c - 1]) << k << "," << c;
    for (int k = 4; k <= 100; ++k)
        for (int c = ScheduleColumn::Length; c <= ScheduleColumn::Title; ++c)
            EXPECT_EQ(g.cell(k, c), "") << k << "," << c;
    EXPECT_EQ(g.main->txtLogFile.Text, "C:\\Talks\\q3log.txt");
    EXPECT_EQ(g.state("LogFileName"), "C:\\Talks\\q3log.txt");
    EXPECT_EQ(g.main->txtAudioURL.Text, "pnm://audio.cuemark.example/presentations/q3.ra");
    EXPECT_EQ(g.main->txtHTMURL.Text, "http://www.cuemark.example/presentations/q3/");
    EXPECT_EQ(g.main->txtLineNum.Text, "1");
    EXPECT_EQ(g.main->txtSlideLength.Text, "00:01:00");
    EXPECT_EQ(g.main->txtIMGURL.Text, "../q3/sld001.gif");
    EXPECT_EQ(g.main->txtSlideTitle.Text, "Welcome");
    EXPECT_EQ(g.main->schedule().LoggedFirstLength(), -1);
    EXPECT_EQ(g.main->schedule().SavedFirstLength(), -1);
    EXPECT_FALSE(g.main->mnuRdLog.Enabled);
    EXPECT_TRUE(g.main->mnuSaveGrid.Enabled);
    EXPECT_TRUE(g.main->mnuWrtAll.Enabled);
    EXPECT_FALSE(g.main->cmd1SaveTIme.Visible);
}

TEST(SaveGrid, noRowsShowsNoDataAndWritesNothing) {
    // Edited, then emptied by a log that was rejected.
    GridFixture f;
    f.updateRow(1, "00:00:10", "", "typed", true);
    f.readLog(f.writeFile("cut.txt", LogBuilder().slide(0, 1).bytes));
    ASSERT_EQ(f.main->schedule().RowCount(), 0);
    f.ui.clearEvents();
    f.ui.queueFile(f.path("never.txt"));
    f.main->mnuSaveGrid_Click();
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::FileDialog), 0);
    EXPECT_EQ(f.lastBox().text, "No Data");
    EXPECT_EQ(f.lastBox().title, "No Data");
    EXPECT_EQ(f.lastBox().style, Mb::OKOnly);
    EXPECT_FALSE(TextFile::exists(f.path("never.txt")));
    EXPECT_TRUE(f.main->schedule().ScheduleEdited());
}

TEST(SaveGrid, cancelledDialogChangesNothing) {
    GridFixture f;
    f.fillThreeRows();
    f.ui.clearEvents();
    f.ui.queueCancel();
    f.main->mnuSaveGrid_Click();
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0);
    EXPECT_TRUE(f.main->schedule().ScheduleEdited());
    EXPECT_EQ(f.ui.busyChanges, 0);
}

TEST(SaveGrid, txtIsAddedOnlyWhenThePathHasNoDot) {
    GridFixture f;
    f.fillThreeRows();
    ASSERT_TRUE(TestFiles::makePath(f.path("v1.2")));
    const std::string dotted = f.path("v1.2/grid");
    f.save(dotted);
    EXPECT_EQ(f.readFile(dotted), ThreeRows);
    EXPECT_FALSE(TextFile::exists(dotted + ".txt"));

    if (f.path("grid").find('.') != std::string::npos)
        GTEST_SKIP() << "the temporary folder's path holds a dot";
    f.save(f.path("grid"));
    EXPECT_EQ(f.readFile(f.path("grid.txt")), ThreeRows);
    EXPECT_FALSE(TextFile::exists(f.path("grid")));

    GridFixture g;
    g.read(f.path("grid"));
    EXPECT_EQ(g.main->schedule().RowCount(), 3);
}

TEST(SaveGrid, failuresAreReportedAndKeepTheEarlierFile) {
    // A write that fails part way: nothing of the new grid reaches the file.
    GridFixture f;
    f.fillThreeRows();
    const std::string earlier = f.writeFile("earlier.txt", "earlier grid\r\n");
    {
        TextFile::InjectedFault full(TextFile::Step::Write, ENOSPC);
        f.save(earlier);
    }
    EXPECT_EQ(f.lastBox().text,
              "'" + earlier + "' cannot be written: " + std::strerror(ENOSPC) + ".");
    EXPECT_EQ(f.lastBox().title, "Save Grid");
    EXPECT_EQ(f.lastBox().style, Mb::OKOnly + Mb::Exclamation);
    EXPECT_EQ(f.readFile(earlier), "earlier grid\r\n");
    EXPECT_TRUE(f.main->schedule().ScheduleEdited());
    EXPECT_FALSE(f.ui.busy);

    // A file that cannot be created: a folder stands in its place, or its folder is missing.
    ASSERT_TRUE(TestFiles::makePath(f.path("taken.txt")));
    for (const std::string& path : {f.path("taken.txt"), f.path("missing/grid.txt")}) {
        f.ui.clearEvents();
        f.save(path);
        ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 1) << path;
        const std::string& text = f.lastBox().text;
        EXPECT_EQ(text.rfind("'" + path + "' ", 0), 0u) << text;
        EXPECT_GT(text.size(), path.size() + 4) << text;
        EXPECT_EQ(text.back(), '.');
        EXPECT_EQ(f.lastBox().title, "Save Grid");
        EXPECT_TRUE(f.main->schedule().ScheduleEdited());
        EXPECT_FALSE(f.ui.busy);
    }
}

TEST(ReadGrid, acceptsEitherHeaderInAnyCaseAndAfterBlanks) {
    for (const char* header :
         {"CUEMARK GRID FILE", "   cuemark grid file", "Orbicast Audio Schedule File",
          "  orbicast AUDIO schedule FILE", "\"Cuemark Grid File\"", "Cuemark Grid File, 2"}) {
        GridFixture f;
        f.read(f.writeFile("g.txt", fiveLines(header)));
        EXPECT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0) << header;
        EXPECT_EQ(f.main->txtLogFile.Text, "log.txt") << header;
        EXPECT_FALSE(f.main->mnuRdLog.Enabled) << header;
    }
}

TEST(ReadGrid, otherFilesAreNotGridFilesAndChangeNothing) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"log", " 0 , Slide , 0:00:00 , 10:15:23 , C:\\Talks\\q3.ppt , 1 , Welcome\r\n"
                " 5.78703703703704E-05 , Event , 0:00:05 , 10:15:28 , Logging Stopped\r\n"},
        {"resume", "C:\\Logs\\talk.txt\r\npnm://a/b.ra\r\nhttp://h/p/\r\n 0.5 \r\n"},
        {"empty", ""},
    };
    for (const auto& c : cases) {
        GridFixture f;
        f.fillThreeRows();
        f.main->txtLineNum.Text = "3";
        f.read(f.writeFile(std::string(c.name) + ".txt", c.bytes));
        ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 1) << c.name;
        EXPECT_EQ(f.lastBox().text, "Not a grid file");
        EXPECT_EQ(f.lastBox().title, "File Name Error");
        EXPECT_EQ(f.lastBox().style, Mb::OKOnly);
        EXPECT_EQ(f.main->schedule().RowCount(), 3);
        EXPECT_EQ(f.cell(2, ScheduleColumn::Title), Rows[1][4]);
        EXPECT_EQ(f.main->txtLogFile.Text, "C:\\Talks\\q3log.txt");
        EXPECT_EQ(f.main->txtLineNum.Text, "3");
        EXPECT_TRUE(f.main->mnuRdLog.Enabled);
        EXPECT_FALSE(f.main->mnuSaveGrid.Enabled);
    }
}

TEST(ReadGrid, fiveLinesAreZeroRowsWithOutputOn) {
    GridFixture f;
    f.fillThreeRows();
    f.read(f.writeFile("five.txt", fiveLines()));
    EXPECT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0);
    EXPECT_EQ(f.main->schedule().RowCount(), 0);
    for (int k = 1; k <= 100; ++k)
        for (int c = ScheduleColumn::Length; c <= ScheduleColumn::Title; ++c)
            EXPECT_EQ(f.cell(k, c), "") << k << "," << c;
    EXPECT_TRUE(f.main->mnuSaveGrid.Enabled);
    EXPECT_TRUE(f.main->mnuWriteHTM.Enabled);
    EXPECT_FALSE(f.main->mnuRdLog.Enabled);
}

TEST(ReadGrid, dayCountsReadBackAsTimesOfDay) {
    // Line 5 may hold a time text; values below 1 may lack the leading zero; a count
    // above 1 day shows its time of day.
    GridFixture f;
    std::string text = replaceLine(ThreeRows, 5, "00:02:30");
    text = replaceLine(text, 6, " 1.04166666666667 ");
    text = replaceLine(text, 7, " .5 ");
    text = replaceLine(text, 8, " .0416666666666667 ");
    text = replaceLine(text, 11, "\"2.5\"");
    f.read(f.writeFile("old.txt", text));
    ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 0);
    EXPECT_EQ(f.main->txtSlideLength.Text, "01:00:00"); // row 1's Length, shown by SelectRow
    EXPECT_EQ(f.cell(1, ScheduleColumn::Length), "01:00:00");
    EXPECT_EQ(f.cell(1, ScheduleColumn::Start), "12:00:00");
    EXPECT_EQ(f.cell(1, ScheduleColumn::Stop), "01:00:00");
    EXPECT_EQ(f.cell(2, ScheduleColumn::Length), "12:00:00");

    for (const auto& [line5, shown] :
         {std::pair{" .5 ", "12:00:00"}, {"00:02:30", "00:02:30"}, {"\"1:05\"", "01:05:00"}}) {
        GridFixture g;
        g.read(g.writeFile("five.txt", replaceLine(fiveLines(), 5, line5)));
        EXPECT_EQ(g.main->txtSlideLength.Text, shown) << line5;
    }
}

TEST(ReadGrid, textsWithCommasAndQuotesComeBackWhole) {
    GridFixture f;
    f.fillThreeRows();
    f.main->txtLogFile.Text = "C:\\Talks\\q3, final\\log.txt";
    f.main->txtAudioURL.Text = "pnm://h/a,b.ra";
    f.main->txtHTMURL.Text = "http://h/x,y/";
    f.updateRow(1, "00:01:00", " \"../q3\",/sld001.gif", "  \"Costs\", risks, plans ");
    f.updateRow(3, "00:00:45", "wait.gif", "");
    const std::string path = f.path("commas.txt");
    f.save(path);

    GridFixture g;
    g.read(path);
    ASSERT_EQ(g.ui.countOf(UiEvent::Kind::MessageBox), 0);
    EXPECT_EQ(g.main->txtLogFile.Text, "C:\\Talks\\q3, final\\log.txt");
    EXPECT_EQ(g.state("LogFileName"), "C:\\Talks\\q3, final\\log.txt");
    EXPECT_EQ(g.main->txtAudioURL.Text, "pnm://h/a,b.ra");
    EXPECT_EQ(g.main->txtHTMURL.Text, "http://h/x,y/");
    EXPECT_EQ(g.main->txtSlideLength.Text, "00:01:00");
    EXPECT_EQ(g.main->schedule().RowCount(), 3);
    EXPECT_EQ(g.cell(1, ScheduleColumn::ImageUrl), " \"../q3\",/sld001.gif");
    EXPECT_EQ(g.cell(1, ScheduleColumn::Title), "  \"Costs\", risks, plans ");
    EXPECT_EQ(g.cell(2, ScheduleColumn::Title), "Costs, risks, \"plans\"");
    EXPECT_EQ(g.cell(3, ScheduleColumn::Stop), "00:04:15");
    EXPECT_EQ(g.cell(3, ScheduleColumn::Title), "");
}

TEST(ReadGrid, faultsNameTheLineAndKeepWhatWasRead) {
    std::string hundredOne = firstLines(ThreeRows, 5);
    for (int k = 1; k <= 101; ++k)
        hundredOne += " 0 \r\n 0 \r\n 0 \r\nimg\r\ntitle\r\n";
    const struct {
        const char* name;
        std::string bytes;
        std::string message; // after "Line "
        int rowCount;
    } cases[] = {
        {"bad number", replaceLine(ThreeRows, 12, " abc "),
         "12 of 'P' cannot be read: Start of row 2 is not a day count: \"abc\".", 1},
        {"not a time", replaceLine(ThreeRows, 8, " 1E+300 "),
         "8 of 'P' cannot be read: Stop of row 1 is not a time: \"1E+300\".", 0},
        {"ends inside a row", ThreeRows.substr(0, ThreeRows.size() - 7),
         "20 of 'P' cannot be read: The file ends inside row 3.", 2},
        {"last title cut short", ThreeRows.substr(0, ThreeRows.size() - 4),
         "20 of 'P' cannot be read: The file ends inside row 3.", 2},
        {"101st row", hundredOne,
         "506 of 'P' cannot be read: The grid holds no more than 100 rows.", 100},
        // A huge bad value is quoted in part, its control bytes shown, not cut off.
        {"60 KB of junk", replaceLine(ThreeRows, 12, std::string(60000, 'j')),
         "12 of 'P' cannot be read: Start of row 2 is not a day count: \"" + std::string(80, 'j') +
             "...\".",
         1},
        {"control bytes", replaceLine(ThreeRows, 12, std::string("\0\x01\x1B[2J", 6)),
         "12 of 'P' cannot be read: Start of row 2 is not a day count: "
         "\"\\x00\\x01\\x1B[2J\".",
         1},
        // A line no grid file holds is not read to its end.
        {"title over the cap", replaceLine(ThreeRows, 15, std::string(1 << 20, 't')),
         "15 of 'P' cannot be read: The line is longer than 65536 bytes.", 1},
    };
    for (const auto& c : cases) {
        GridFixture f;
        const std::string path = f.writeFile("bad.txt", c.bytes);
        f.read(path);

        std::string expected = "Line " + c.message;
        expected.replace(expected.find('P'), 1, path);
        ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 1) << c.name;
        EXPECT_EQ(f.lastBox().text, expected) << c.name;
        EXPECT_LT(f.lastBox().text.size(), 300u) << c.name;
        EXPECT_EQ(f.lastBox().title, "Read Grid");
        EXPECT_EQ(f.lastBox().style, Mb::OKOnly + Mb::Exclamation);
        EXPECT_EQ(f.main->schedule().RowCount(), c.rowCount) << c.name;
        // Values before the fault are in; nothing after the reading loop ran.
        EXPECT_EQ(f.main->txtLogFile.Text, "C:\\Talks\\q3log.txt") << c.name;
        EXPECT_TRUE(f.main->mnuRdLog.Enabled) << c.name;
        EXPECT_FALSE(f.main->mnuSaveGrid.Enabled) << c.name;
    }
    // Nor does a fault clear the first lengths a log import left.
    GridFixture h;
    h.importWithFirstLengths();
    const double logged = h.main->schedule().LoggedFirstLength();
    ASSERT_NE(logged, -1);
    h.read(h.writeFile("bad.txt", cases[0].bytes));
    EXPECT_EQ(h.ui.boxTexts().size(), 1u);
    EXPECT_EQ(h.main->schedule().LoggedFirstLength(), logged);

    // The partly read rows keep the cells already filled and the rest as they were.
    GridFixture f;
    f.loadGrid({{"00:01:00", "00:00:00", "00:01:00", "a", "A"},
                {"00:01:00", "00:09:09", "00:10:09", "b", "B"},
                {"00:01:00", "00:10:09", "00:11:09", "c", "old"}});
    f.read(f.writeFile("bad.txt", replaceLine(ThreeRows, 12, " abc ")));
    EXPECT_EQ(f.cell(2, ScheduleColumn::Length), "00:02:30");
    EXPECT_EQ(f.cell(2, ScheduleColumn::Start), "00:09:09");
    EXPECT_EQ(f.cell(3, ScheduleColumn::Title), "old");

    GridFixture g;
    g.read(g.writeFile("cut.txt", ThreeRows.substr(0, ThreeRows.size() - 7)));
    EXPECT_EQ(g.cell(3, ScheduleColumn::Stop), "00:04:15");
    EXPECT_EQ(g.cell(3, ScheduleColumn::ImageUrl), "wait.gif");
    EXPECT_EQ(g.cell(3, ScheduleColumn::Title), "");
}

TEST(ReadGrid, missingFileIsReported) {
    GridFixture f;
    const std::string path = f.path("absent.txt");
    f.read(path);
    ASSERT_EQ(f.ui.countOf(UiEvent::Kind::MessageBox), 1);
    EXPECT_EQ(f.lastBox().text.rfind("'" + path + "' cannot be read: ", 0), 0u);
    EXPECT_EQ(f.lastBox().title, "Read Grid");
    EXPECT_TRUE(f.main->mnuRdLog.Enabled);
}
