#include "common/clocktime.h"
#include "schedule/gridfile.h"
#include "schedule/slideschedule.h"
#include "support/logbuilder.h"
#include "support/mainfixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

const TapeOffsets NoOffsets{"00:00:00", "00:00:00"};

// 00:01:00, 00:02:30, 00:00:45 with Starts and Stops as a log import leaves them.
ImportedLog threeRowLog() {
    ImportedLog log;
    log.rows = {{"00:01:00", "00:00:00", "00:01:00", "a.gif", "One"},
                {"00:02:30", "00:01:00", "00:03:30", "b.gif", "Two"},
                {"00:00:45", "00:03:30", "00:04:15", "c.gif", "Three"}};
    log.loggedFirstLength = ClockTime::fromSeconds(60);
    return log;
}

SlideSchedule threeRows() {
    SlideSchedule s;
    s.takeImport(threeRowLog());
    return s;
}

void setLengths(SlideSchedule& s, const std::vector<std::pair<int, std::string>>& lengths) {
    for (const auto& [k, length] : lengths)
        s.setCell(k, ScheduleColumn::Length, length);
}

// Start and Stop of rows 1 to `rows`.
Texts times(const SlideSchedule& s, int rows) {
    Texts out;
    for (int k = 1; k <= rows; ++k) {
        out.push_back(s.row(k).Start);
        out.push_back(s.row(k).Stop);
    }
    return out;
}

UpdateOutcome update(SlideSchedule& s, const std::string& row, const std::string& length,
                     const TapeOffsets& tape = NoOffsets, bool typed = false) {
    const ScheduleRow& shown = s.row(1);
    return s.Update({row, length, shown.ImageUrl, shown.Title, typed}, tape);
}

// Everything a refused Update must leave alone.
std::string state(const SlideSchedule& s) {
    std::string out;
    for (int k = 1; k <= MaxScheduleRows; ++k)
        for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col)
            out += s.cell(k, col) + "|";
    return out + std::to_string(s.RowCount()) + std::to_string(s.ScheduleEdited()) +
           std::to_string(s.FirstRowEdited()) + std::to_string(s.LoggedFirstLength()) +
           std::to_string(s.SavedFirstLength());
}

} // namespace

TEST(Recompute, laysRowsEndToEndWithATapeOffsetAppliedOnce) {
    struct Case {
        const char* early;
        const char* late;
        Texts times; // Start and Stop of rows 1-3
    };
    const Texts plain{"00:00:00", "00:01:00", "00:01:00", "00:03:30", "00:03:30", "00:04:15"};
    const Case cases[] = {
        {"00:00:00", "00:00:00", plain},
        {"00:00:10",
         "00:00:00",
         {"00:00:10", "00:01:10", "00:01:10", "00:03:40", "00:03:40", "00:04:25"}},
        {"00:00:00",
         "00:00:10",
         {"00:00:00", "00:00:50", "00:00:50", "00:03:20", "00:03:20", "00:04:05"}},
        {"00:00:20",
         "00:00:10",
         {"00:00:00", "00:00:50", "00:00:50", "00:03:20", "00:03:20", "00:04:05"}},
        {"abc", "1 minute", plain},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.early) + " / " + c.late);
        SlideSchedule s = threeRows();
        EXPECT_EQ(update(s, "1", "00:01:00", {c.early, c.late}).status, UpdateStatus::Updated);
        EXPECT_EQ(times(s, 3), c.times);
        EXPECT_EQ(s.row(1).Length, "00:01:00");
        EXPECT_EQ(s.row(4), ScheduleRow{});
        // The offsets are spent: the next Update, without them, lays the rows from 0.
        update(s, "1", "00:01:00");
        EXPECT_EQ(times(s, 3), plain);
    }
}

TEST(Recompute, stopsAtTheFirstEmptyLengthOrAfterRow100) {
    struct Case {
        int rowCountBefore;
        int rowCountAfter;
    };
    for (const Case c : {Case{1, 2}, Case{4, 4}}) {
        SlideSchedule s;
        setLengths(s, {{1, "00:00:10"}, {2, "00:00:20"}, {4, "00:00:30"}});
        s.setCell(4, ScheduleColumn::Start, "11:11:11");
        s.setCell(4, ScheduleColumn::Stop, "22:22:22");
        s.setRowCount(c.rowCountBefore);
        update(s, "1", "00:00:10");
        EXPECT_EQ(times(s, 2), (Texts{"00:00:00", "00:00:10", "00:00:10", "00:00:30"}));
        EXPECT_EQ(s.row(4).Start + " " + s.row(4).Stop, "11:11:11 22:22:22");
        EXPECT_EQ(s.RowCount(), c.rowCountAfter) << "never shrinks";
    }

    // Every row filled: the last one is row 100, and the editor stays there.
    SlideSchedule s;
    for (int k = 1; k <= 99; ++k)
        setLengths(s, {{k, "00:00:01"}});
    s.setRowCount(99);
    const UpdateOutcome last = s.Update({"100", "00:00:02", "last.gif", "Last"}, NoOffsets);
    EXPECT_EQ(s.RowCount(), 100);
    EXPECT_EQ(s.row(100), (ScheduleRow{"00:00:02", "00:01:39", "00:01:41", "last.gif", "Last"}));
    EXPECT_EQ(last.row, 100);
    EXPECT_EQ(last.nextRow, 100);
    update(s, "1", "00:00:03");
    EXPECT_EQ(s.row(100).Stop, "00:01:43");
    EXPECT_EQ(s.RowCount(), 100);
}

TEST(Recompute, wrapsPastADayAndCountsAnUnreadableLengthAsZero) {
    SlideSchedule s;
    setLengths(s, {{1, "23:00:00"}, {2, "02:00:00"}, {3, "junk"}, {4, "00:00:05"}});
    s.setRowCount(4);
    update(s, "1", "23:00:00");
    EXPECT_EQ(times(s, 4), (Texts{"00:00:00", "23:00:00", "23:00:00", "01:00:00", "01:00:00",
                                  "01:00:00", "01:00:00", "01:00:05"}));
}

TEST(Update, refusesBadInputWithoutChangingAnything) {
    struct Case {
        const char* row;
        const char* length;
        const char* tapeLate;
        UpdateStatus status;
    };
    using enum UpdateStatus;
    const Case cases[] = {
        {"1", "abc", "00:00:00", NotAValidTime},
        {"1", "", "00:00:00", NotAValidTime},
        {"1", "24:00:00", "00:00:00", NotAValidTime},
        {"abc", "abc", "00:00:00", NotAValidTime},
        {"5", "00:00:10", "00:00:00", BeyondLastRow},
        {"0", "00:00:10", "00:00:00", NotAValidLineNumber},
        {"-1", "00:00:10", "00:00:00", NotAValidLineNumber},
        {"", "00:00:10", "00:00:00", NotAValidLineNumber},
        {"2.5", "00:00:10", "00:00:00", NotAValidLineNumber},
        {"101", "00:00:10", "00:00:00", NotAValidLineNumber},
        {"99999999999999999999", "00:00:10", "00:00:00", NotAValidLineNumber},
        // Tape Late against the first slide: the typed length on row 1, the cell otherwise.
        {"1", "00:00:59", "00:01:00", TapeLateTooLong},
        {"2", "00:05:00", "00:01:01", TapeLateTooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.row) + " / " + c.length + " / " + c.tapeLate);
        SlideSchedule s = threeRows();
        const std::string before = state(s);
        EXPECT_EQ(update(s, c.row, c.length, {"00:00:07", c.tapeLate}, true).status, c.status);
        EXPECT_EQ(state(s), before);
    }
}

TEST(Update, acceptsATapeLateAsLongAsTheFirstSlide) {
    for (const char* row : {"1", "2"}) {
        SlideSchedule s = threeRows();
        const std::string length = s.row(std::stoi(row)).Length;
        EXPECT_EQ(update(s, row, length, {"00:00:00", "00:01:00"}).status, UpdateStatus::Updated);
        EXPECT_EQ(times(s, 2), (Texts{"00:00:00", "00:00:00", "00:00:00", "00:02:30"}));
    }
}

TEST(Update, writesTheRowAsTypedAndAppendsOnlyDirectlyAfterTheLast) {
    SlideSchedule s = threeRows();
    EXPECT_EQ(s.Update({" 4 ", "0:00:20", "d.gif", "Four"}, NoOffsets).nextRow, 5);
    EXPECT_EQ(s.RowCount(), 4);
    // The Length keeps the operator's spelling; Start and Stop are written by the Recompute.
    EXPECT_EQ(s.row(4), (ScheduleRow{"0:00:20", "00:04:15", "00:04:35", "d.gif", "Four"}));
    EXPECT_EQ(s.rows().size(), 4u);
    EXPECT_EQ(s.Update({"6", "00:00:20", "", ""}, NoOffsets).status, UpdateStatus::BeyondLastRow);
}

TEST(Update, setsTheEditFlagsByRowAndTyping) {
    struct Case {
        const char* row;
        bool typed;
        bool scheduleEdited;
        bool firstRowEdited;
    };
    const Case cases[] = {
        {"1", false, false, true},
        {"1", true, true, true},
        {"2", false, true, false},
        {"2", true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.row) + (c.typed ? " typed" : ""));
        SlideSchedule s = threeRows();
        update(s, c.row, "00:00:30", NoOffsets, c.typed);
        EXPECT_EQ(s.ScheduleEdited(), c.scheduleEdited);
        EXPECT_EQ(s.FirstRowEdited(), c.firstRowEdited);
        s.markSaved();
        EXPECT_FALSE(s.ScheduleEdited());
        EXPECT_EQ(s.FirstRowEdited(), c.firstRowEdited);
    }
}

TEST(SlideSchedule, importsResumesAndReadsRowsAsTheFilesGiveThem) {
    // A rejected import leaves the rows it formed, but counts none and has no first length.
    SlideSchedule s = threeRows();
    ImportedLog rejected;
    rejected.rows = {{"00:00:09", "00:00:00", "00:00:09", "z.gif", "Cut"}};
    rejected.rejection = ReadError(2, "The log ends before \"Logging Stopped\"");
    s.takeImport(rejected);
    EXPECT_EQ(s.RowCount(), 0);
    EXPECT_EQ(s.row(1).Title, "Cut");
    EXPECT_EQ(s.row(2).Title, "Two");
    EXPECT_EQ(s.LoggedFirstLength(), ClockTime::NotSet);

    // A resume file's length goes into row 1, moves every later row, and is no edit.
    s.takeImport(threeRowLog());
    EXPECT_EQ(s.row(3).Title, "Three");
    EXPECT_EQ(s.applyResume(ClockTime::fromSeconds(59), {"00:00:00", "00:01:00"}).status,
              UpdateStatus::TapeLateTooLong);
    EXPECT_EQ(s.SavedFirstLength(), ClockTime::NotSet);
    EXPECT_EQ(s.applyResume(ClockTime::fromSeconds(59), NoOffsets).status, UpdateStatus::Updated);
    EXPECT_EQ(s.row(1), (ScheduleRow{"00:00:59", "00:00:00", "00:00:59", "a.gif", "One"}));
    EXPECT_EQ(times(s, 3)[5], "00:04:14");
    EXPECT_EQ(s.SavedFirstLength(), ClockTime::fromSeconds(59));
    EXPECT_EQ(s.LoggedFirstLength(), ClockTime::fromSeconds(60));
    EXPECT_FALSE(s.ScheduleEdited() || s.FirstRowEdited());

    // A grid file of one row: the rest is emptied and no first length is left.
    s.setCell(1, ScheduleColumn::Title, "Read");
    s.setRowCount(1);
    s.finishGridRead();
    EXPECT_EQ(s.rows().size(), 1u);
    EXPECT_EQ(s.row(1).Title, "Read");
    EXPECT_EQ(s.row(2), ScheduleRow{});
    EXPECT_EQ(s.SavedFirstLength(), ClockTime::NotSet);
    EXPECT_EQ(s.LoggedFirstLength(), ClockTime::NotSet);
}

// ---- The row editor of the main window, which shows the schedule ----

namespace {

// The three rows of threeRowLog() read from a grid file.
struct Editor : MainFixture {
    Main& m = *main;

    explicit Editor(std::vector<ScheduleRow> rows = threeRowLog().rows) {
        start();
        loadGrid(rows);
        ui.clearEvents();
    }
    // The same lengths and titles imported from a log, with a resume file that saved 50
    // seconds for row 1.
    static std::unique_ptr<Editor> withSavedLength() {
        auto e = std::make_unique<Editor>();
        const std::string log = e->writeFile("q3.txt", LogBuilder()
                                                           .slide(0, 1, "One")
                                                           .slide(60, 2, "Two")
                                                           .slide(150, 3, "Three")
                                                           .end(45)
                                                           .bytes);
        e->writeFile("q3.urs",
                     GridFile::resumeFileText(log, "pnm://a/q3.ra", "http://a/q3/", "00:00:50"));
        e->readLog(log);
        e->ui.clearEvents();
        return e;
    }
    void select(int r) {
        m.Grid1.Row = r;
        m.Grid1.Col = ScheduleColumn::Stop;
        m.Grid1_Click();
    }
    void type() {
        int key = 'x';
        m.txtSlideTitle.KeyPress(key);
    }
    bool typed() const { return state("EditorTyped") == "true"; }
    std::string fields() const {
        return m.txtSlideLength.Text + " " + m.txtIMGURL.Text + " " + m.txtSlideTitle.Text;
    }
    bool alternativesVisible() const {
        const bool all = m.txt1LogTIme.Visible && m.txt1SaveTime.Visible && m.cmd1LogTIme.Visible &&
                         m.cmd1SaveTIme.Visible;
        const bool any = m.txt1LogTIme.Visible || m.txt1SaveTime.Visible || m.cmd1LogTIme.Visible ||
                         m.cmd1SaveTIme.Visible;
        EXPECT_EQ(all, any);
        return all;
    }
};

} // namespace

TEST(RowEditor, tellsWhyAnUpdateWasRefusedAndKeepsItsFields) {
    struct Case {
        const char* row;
        const char* length;
        const char* message; // nullptr: refused silently
    };
    const Case cases[] = {
        {"1", "abc", "Not a Valid Time"},
        {"0", "00:00:10", "Not a Valid Line Number"},
        {"1", "00:00:09", "Tape Late is longer than the first slide"},
        {"5", "00:00:10", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Editor e;
        e.type();
        e.m.txtTapeLate.Text = "00:00:10";
        e.m.txtLineNum.Text = c.row;
        e.m.txtSlideLength.Text = c.length;
        e.m.cmdUpdate_Click();
        EXPECT_EQ(e.m.txtTapeLate.Text + e.m.txtLineNum.Text + e.m.txtSlideLength.Text,
                  std::string("00:00:10") + c.row + c.length);
        EXPECT_TRUE(e.typed());
        EXPECT_EQ(e.m.schedule().row(1).Start, "00:00:00");
        if (!c.message) {
            EXPECT_TRUE(e.ui.events.empty());
            continue;
        }
        ASSERT_EQ(e.ui.boxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(e.ui.events[0].title, "Cuemark PostProcessor");
        EXPECT_EQ(e.ui.events[0].style, Mb::OKOnly);
    }
}

TEST(RowEditor, updateShowsTheScheduleSpendsTheOffsetsAndWalksDown) {
    Editor e;
    e.select(3);
    e.m.txtTapeEarly.Text = "00:00:10";
    e.m.txtLineNum.Text = " 4 ";
    e.m.txtSlideLength.Text = "00:00:20";
    e.m.cmdUpdate_Click();
    EXPECT_EQ(e.m.Grid1.TextMatrix(4, ScheduleColumn::Length) +
                  e.m.Grid1.TextMatrix(4, ScheduleColumn::Stop) +
                  e.m.Grid1.TextMatrix(4, ScheduleColumn::Title),
              "00:00:2000:04:45Three");
    EXPECT_EQ(e.m.txtTapeEarly.Text + e.m.txtTapeLate.Text, "00:00:0000:00:00");
    // On the empty row 5 the fields still hold row 4's texts, so Update appends a copy.
    EXPECT_EQ(e.m.txtLineNum.Text, "5");
    EXPECT_EQ(e.m.Grid1.Row, 5);
    EXPECT_EQ(e.fields(), "00:00:20 c.gif Three");
    e.m.cmdUpdate_Click();
    EXPECT_EQ(e.m.schedule().RowCount(), 5);
    EXPECT_EQ(e.m.Grid1.TextMatrix(5, ScheduleColumn::Title), "Three");

    e.select(1); // an inner row advances onto the next row's texts
    e.m.cmdUpdate_Click();
    EXPECT_EQ(e.m.txtLineNum.Text, "2");
    EXPECT_EQ(e.fields(), "00:02:30 b.gif Two");
}

TEST(RowEditor, typingCountsAsAnEditOfTheRowUpdated) {
    for (const bool typed : {false, true}) {
        Editor e;
        e.select(1);
        int key = 'x';
        if (typed)
            e.m.txtSlideTitle.KeyPress(key);
        EXPECT_EQ(key, 'x');
        EXPECT_EQ(e.typed(), typed);
        e.m.cmdUpdate_Click();
        EXPECT_EQ(e.m.schedule().ScheduleEdited(), typed);
        EXPECT_FALSE(e.typed());
    }
}

TEST(SelectRow, showsTheRowKeepingFieldsOfEmptyCells) {
    std::vector<ScheduleRow> rows = threeRowLog().rows;
    rows[1].Title = "";
    Editor e(rows);
    e.select(1);
    e.type();
    e.select(2);
    EXPECT_FALSE(e.typed());
    EXPECT_EQ(e.m.txtLineNum.Text, "2");
    EXPECT_EQ(e.m.Grid1.Col, 1);
    EXPECT_EQ(e.fields(), "00:02:30 b.gif One");
    e.select(0); // the header row is no schedule row
    EXPECT_EQ(e.m.txtLineNum.Text + " " + e.m.txtSlideLength.Text, "2 00:02:30");
}

TEST(SelectRow, showsTheFirstRowAlternativesOnlyOnRow1WithASavedLength) {
    Editor plain;
    plain.select(1);
    EXPECT_FALSE(plain.alternativesVisible());
    const auto e = Editor::withSavedLength();
    EXPECT_TRUE(e->alternativesVisible());
    e->select(2);
    EXPECT_FALSE(e->alternativesVisible());
    e->select(1);
    EXPECT_TRUE(e->alternativesVisible());
    e->m.cmdUpdate_Click();
    EXPECT_FALSE(e->alternativesVisible());
}

TEST(FirstRowButtons, putTheLoggedOrSavedLengthIntoRow1) {
    const auto editor = Editor::withSavedLength();
    Editor& e = *editor;
    const SlideSchedule& s = e.m.schedule();
    EXPECT_EQ(e.m.txt1SaveTime.Text, "00:00:50");
    EXPECT_EQ(e.m.txt1LogTIme.Text, "00:01:00");
    e.m.txt1LogTIme.Text = "00:01:05";
    e.m.txt1SaveTime.Text = "00:00:50";
    e.select(1);
    e.m.txtLineNum.Text = "3"; // typed over since; the buttons still mean row 1
    e.m.cmd1LogTIme_Click();
    EXPECT_EQ(e.m.Grid1.TextMatrix(1, ScheduleColumn::Length), "00:01:05");
    EXPECT_EQ(s.row(3).Length, "00:00:45");
    EXPECT_EQ(e.m.Grid1.TextMatrix(3, ScheduleColumn::Stop), "00:04:20");
    EXPECT_EQ(e.m.txtLineNum.Text, "1");
    EXPECT_EQ(e.m.txtSlideLength.Text, "00:01:05");
    EXPECT_TRUE(e.alternativesVisible());
    EXPECT_TRUE(s.FirstRowEdited());
    EXPECT_FALSE(s.ScheduleEdited());

    e.m.cmd1SaveTIme_Click();
    EXPECT_EQ(s.row(1).Length, "00:00:50");
    EXPECT_EQ(s.row(3).Stop, "00:04:05");
    EXPECT_EQ(e.m.txtSlideLength.Text, "00:00:50");
    EXPECT_TRUE(e.alternativesVisible());
}

TEST(TapeFields, complainOnLeavingWithAnInvalidTimeAndKeepTheText) {
    for (const char* text : {"00:00:10", "1:30", "abc", "", "00:00:60", "10:00:00 PM"}) {
        const bool valid = ClockTime::isValid(text);
        for (const bool early : {true, false}) {
            Editor e;
            TextField& field = early ? e.m.txtTapeEarly : e.m.txtTapeLate;
            field.Text = text;
            field.LostFocus();
            EXPECT_EQ(field.Text, text);
            if (valid) {
                EXPECT_TRUE(e.ui.events.empty()) << text;
                continue;
            }
            ASSERT_EQ(e.ui.boxTexts(), std::vector<std::string>{"Not a Valid Date"}) << text;
            EXPECT_EQ(e.ui.events[0].title, "Date!");
            EXPECT_EQ(e.ui.events[0].style, Mb::OKOnly);
        }
    }
}

TEST(FillInButtons, copyTheSourceFieldsWithoutCountingAsTyping) {
    Editor e;
    e.m.cmdAudioURL_Click();
    e.m.cmdRAM_Click();
    e.m.cmdSlide_Click();
    EXPECT_EQ(e.m.txtAudioURL.Text, e.m.txtAudioURLM.Text + "cs528/lect6/lect6.ra");
    EXPECT_EQ(e.m.txtIMGURL.Text, "tsld000.ram");
    EXPECT_EQ(e.m.txtSlideTitle.Text, e.m.txtSlideURLM.Text);
    EXPECT_FALSE(e.typed());
}
