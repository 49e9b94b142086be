#include "common/clocktime.h"
#include "support/mainfixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Cells = std::vector<std::string>; // columns 1-5 of rows 1-100, row after row

struct Schedule : MainFixture {
    Main& m = *main;

    void setRow(int r, const std::string& length, const std::string& url = {},
                const std::string& title = {}) {
        m.Grid1.setTextMatrix(r, 1, length);
        m.Grid1.setTextMatrix(r, 4, url);
        m.Grid1.setTextMatrix(r, 5, title);
    }
    // 00:01:00, 00:02:30, 00:00:45 with Starts and Stops as a log import leaves them.
    void threeRows() {
        setRow(1, "00:01:00", "a.gif", "One");
        setRow(2, "00:02:30", "b.gif", "Two");
        setRow(3, "00:00:45", "c.gif", "Three");
        m.RowCount = 3;
    }
    void select(int r) {
        m.Grid1.Row = r;
        m.Grid1.Col = 3;
        m.Grid1_Click();
    }
    void update(const std::string& row, const std::string& length) {
        m.txtLineNum.Text = row;
        m.txtSlideLength.Text = length;
        m.cmdUpdate_Click();
    }
    std::string start(int r) const { return m.Grid1.TextMatrix(r, 2); }
    std::string stop(int r) const { return m.Grid1.TextMatrix(r, 3); }
    std::vector<std::string> times(int rows) const {
        std::vector<std::string> out;
        for (int r = 1; r <= rows; ++r) {
            out.push_back(start(r));
            out.push_back(stop(r));
        }
        return out;
    }
    // Everything a refused Update must leave alone.
    std::string state() const {
        std::string s;
        for (int r = 1; r <= MaxScheduleRows; ++r)
            for (int c = 1; c <= 5; ++c)
                s += m.Grid1.TextMatrix(r, c) + "|";
        return s + std::to_string(m.RowCount) + m.txtTapeEarly.Text + m.txtTapeLate.Text +
               m.txtLineNum.Text + std::to_string(m.ScheduleEdited) +
               std::to_string(m.FirstRowEdited) + std::to_string(m.EditorTyped);
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

TEST(Recompute, laysRowsEndToEndWithATapeOffsetAppliedOnce) {
    struct Case {
        const char* early;
        const char* late;
        std::vector<std::string> times; // Start and Stop of rows 1-3
    };
    const std::vector<std::string> plain{"00:00:00", "00:01:00", "00:01:00",
                                         "00:03:30", "00:03:30", "00:04:15"};
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
        Schedule s;
        s.threeRows();
        s.select(1);
        s.m.txtTapeEarly.Text = c.early;
        s.m.txtTapeLate.Text = c.late;
        s.update("1", "00:01:00");
        EXPECT_EQ(s.times(3), c.times);
        EXPECT_EQ(s.m.Grid1.TextMatrix(1, 1), "00:01:00");
        EXPECT_EQ(s.start(4) + s.stop(4), "");
        EXPECT_EQ(s.m.txtTapeEarly.Text, "00:00:00");
        EXPECT_EQ(s.m.txtTapeLate.Text, "00:00:00");
        EXPECT_TRUE(s.ui.events.empty());

        s.select(1);
        s.m.cmdUpdate_Click();
        EXPECT_EQ(s.times(3), plain);
    }
}

TEST(Recompute, stopsAtTheFirstEmptyLengthOrAfterRow100) {
    struct Case {
        int rowCountBefore;
        int rowCountAfter;
    };
    for (const Case c : {Case{1, 2}, Case{4, 4}}) {
        Schedule s;
        s.setRow(1, "00:00:10");
        s.setRow(2, "00:00:20");
        s.setRow(4, "00:00:30");
        s.m.Grid1.setTextMatrix(4, 2, "11:11:11");
        s.m.Grid1.setTextMatrix(4, 3, "22:22:22");
        s.m.RowCount = c.rowCountBefore;
        s.update("1", "00:00:10");
        EXPECT_EQ(s.times(2),
                  (std::vector<std::string>{"00:00:00", "00:00:10", "00:00:10", "00:00:30"}));
        EXPECT_EQ(s.start(4) + " " + s.stop(4), "11:11:11 22:22:22");
        EXPECT_EQ(s.m.RowCount, c.rowCountAfter) << "never shrinks";
    }

    // Every row filled: the last one is row 100, and the editor stays there.
    Schedule s;
    for (int r = 1; r <= 99; ++r)
        s.setRow(r, "00:00:01", "x.gif", "Slide " + std::to_string(r));
    s.m.RowCount = 99;
    s.m.txtIMGURL.Text = "last.gif";
    s.m.txtSlideTitle.Text = "Last";
    s.update("100", "00:00:02");
    EXPECT_EQ(s.m.RowCount, 100);
    EXPECT_EQ(s.start(100) + " " + s.stop(100), "00:01:39 00:01:41");
    EXPECT_EQ(s.m.txtLineNum.Text, "100");
    EXPECT_EQ(s.m.Grid1.Row, 100);
    EXPECT_EQ(s.m.txtSlideTitle.Text, "Last");
    s.update("1", "00:00:03");
    EXPECT_EQ(s.stop(100), "00:01:43");
    EXPECT_EQ(s.m.RowCount, 100);
}

TEST(Recompute, wrapsPastADayAndCountsAnUnreadableLengthAsZero) {
    Schedule s;
    s.setRow(1, "23:00:00");
    s.setRow(2, "02:00:00");
    s.setRow(3, "junk");
    s.setRow(4, "00:00:05");
    s.m.RowCount = 4;
    s.update("1", "23:00:00");
    EXPECT_EQ(s.times(4),
              (std::vector<std::string>{"00:00:00", "23:00:00", "23:00:00", "01:00:00", "01:00:00",
                                        "01:00:00", "01:00:00", "01:00:05"}));
}

TEST(Update, refusesBadInputWithoutChangingAnything) {
    struct Case {
        const char* row;
        const char* length;
        const char* tapeLate;
        const char* message; // nullptr: refused silently
    };
    const Case cases[] = {
        {"1", "abc", "00:00:00", "Not a Valid Time"},
        {"1", "", "00:00:00", "Not a Valid Time"},
        {"1", "24:00:00", "00:00:00", "Not a Valid Time"},
        {"abc", "abc", "00:00:00", "Not a Valid Time"},
        {"5", "00:00:10", "00:00:00", nullptr},
        {"0", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        {"-1", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        {"", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        {"2.5", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        {"101", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        {"99999999999999999999", "00:00:10", "00:00:00", "Not a Valid Line Number"},
        // Tape Late against the first slide: the typed length on row 1, the cell otherwise.
        {"1", "00:00:59", "00:01:00", "Tape Late is longer than the first slide"},
        {"2", "00:05:00", "00:01:01", "Tape Late is longer than the first slide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.row) + " / " + c.length + " / " + c.tapeLate);
        Schedule s;
        s.threeRows();
        s.update("1", "00:01:00");
        s.m.ScheduleEdited = false;
        s.m.EditorTyped = true;
        s.m.txtTapeEarly.Text = "00:00:07";
        s.m.txtTapeLate.Text = c.tapeLate;
        s.m.txtLineNum.Text = c.row;
        s.m.txtSlideLength.Text = c.length;
        const std::string before = s.state();
        s.ui.clearEvents();
        s.m.cmdUpdate_Click();
        EXPECT_EQ(s.state(), before);
        if (!c.message) {
            EXPECT_TRUE(s.ui.events.empty());
            continue;
        }
        ASSERT_EQ(s.ui.boxTexts(), std::vector<std::string>{c.message});
        EXPECT_EQ(s.ui.events[0].title, "Cuemark PostProcessor");
        EXPECT_EQ(s.ui.events[0].style, Mb::OKOnly);
    }
}

TEST(Update, acceptsATapeLateAsLongAsTheFirstSlide) {
    for (const char* row : {"1", "2"}) {
        Schedule s;
        s.threeRows();
        s.select(std::stoi(row));
        s.m.txtTapeLate.Text = "00:01:00";
        s.update(row, s.m.txtSlideLength.Text);
        EXPECT_TRUE(s.ui.events.empty());
        EXPECT_EQ(s.times(2),
                  (std::vector<std::string>{"00:00:00", "00:00:00", "00:00:00", "00:02:30"}));
    }
}

TEST(Update, appendsOnlyDirectlyAfterTheLastRowAndWalksDown) {
    Schedule s;
    s.threeRows();
    s.select(3);
    s.update(" 4 ", "00:00:20");
    EXPECT_EQ(s.m.RowCount, 4);
    EXPECT_EQ(s.m.Grid1.TextMatrix(4, 1) + s.m.Grid1.TextMatrix(4, 4) + s.m.Grid1.TextMatrix(4, 5),
              "00:00:20c.gifThree");
    EXPECT_EQ(s.start(4) + " " + s.stop(4), "00:04:15 00:04:35");
    EXPECT_EQ(s.m.txtLineNum.Text, "5");
    EXPECT_EQ(s.m.Grid1.Row, 5);
    EXPECT_EQ(s.m.txtSlideLength.Text + s.m.txtIMGURL.Text + s.m.txtSlideTitle.Text,
              "00:00:20c.gifThree");

    s.m.cmdUpdate_Click(); // a copy of the row before
    EXPECT_EQ(s.m.RowCount, 5);
    EXPECT_EQ(s.m.Grid1.TextMatrix(5, 5), "Three");
    EXPECT_EQ(s.m.txtLineNum.Text, "6");

    s.select(1); // an inner row advances onto the next row's texts
    s.m.cmdUpdate_Click();
    EXPECT_EQ(s.m.txtLineNum.Text, "2");
    EXPECT_EQ(s.m.txtSlideLength.Text + s.m.txtIMGURL.Text + s.m.txtSlideTitle.Text,
              "00:02:30b.gifTwo");
}

TEST(Update, setsTheEditFlagsByRowAndTyping) {
    struct Case {
        int row;
        bool typed;
        bool scheduleEdited;
        bool firstRowEdited;
    };
    const Case cases[] = {
        {1, false, false, true},
        {1, true, true, true},
        {2, false, true, false},
        {2, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + (c.typed ? " typed" : ""));
        Schedule s;
        s.threeRows();
        s.select(c.row);
        int key = 'x';
        if (c.typed)
            (c.row == 1 ? s.m.txtSlideTitle : s.m.txtIMGURL).KeyPress(key);
        EXPECT_EQ(key, 'x');
        EXPECT_EQ(s.m.EditorTyped, c.typed);
        s.m.cmdUpdate_Click();
        EXPECT_EQ(s.m.ScheduleEdited, c.scheduleEdited);
        EXPECT_EQ(s.m.FirstRowEdited, c.firstRowEdited);
        EXPECT_FALSE(s.m.EditorTyped);
    }
}

TEST(SelectRow, showsTheRowKeepingFieldsOfEmptyCells) {
    Schedule s;
    s.threeRows();
    s.m.Grid1.setTextMatrix(2, 5, "");
    s.select(1);
    s.m.EditorTyped = true;
    s.select(2);
    EXPECT_FALSE(s.m.EditorTyped);
    EXPECT_EQ(s.m.txtLineNum.Text, "2");
    EXPECT_EQ(s.m.Grid1.Col, 1);
    EXPECT_EQ(s.m.txtSlideLength.Text + s.m.txtIMGURL.Text + s.m.txtSlideTitle.Text,
              "00:02:30b.gifOne");
    s.select(0); // the header row is no schedule row
    EXPECT_EQ(s.m.txtLineNum.Text + s.m.txtSlideLength.Text, "200:02:30");
}

TEST(SelectRow, showsTheFirstRowAlternativesOnlyOnRow1WithASavedLength) {
    Schedule s;
    s.threeRows();
    s.select(1);
    EXPECT_FALSE(s.alternativesVisible());
    s.m.SavedFirstLength = ClockTime::fromSeconds(50);
    s.select(1);
    EXPECT_TRUE(s.alternativesVisible());
    s.select(2);
    EXPECT_FALSE(s.alternativesVisible());
    s.select(1);
    s.m.cmdUpdate_Click();
    EXPECT_FALSE(s.alternativesVisible());
}

TEST(FirstRowButtons, putTheLoggedOrSavedLengthIntoRow1) {
    Schedule s;
    s.threeRows();
    s.m.SavedFirstLength = ClockTime::fromSeconds(50);
    s.m.txt1LogTIme.Text = "00:01:05";
    s.m.txt1SaveTime.Text = "00:00:50";
    s.select(1);
    s.m.txtLineNum.Text = "3"; // typed over since; the buttons still mean row 1
    s.m.cmd1LogTIme_Click();
    EXPECT_EQ(s.m.Grid1.TextMatrix(1, 1), "00:01:05");
    EXPECT_EQ(s.m.Grid1.TextMatrix(3, 1), "00:00:45");
    EXPECT_EQ(s.stop(3), "00:04:20");
    EXPECT_EQ(s.m.txtLineNum.Text, "1");
    EXPECT_EQ(s.m.txtSlideLength.Text, "00:01:05");
    EXPECT_TRUE(s.alternativesVisible());
    EXPECT_TRUE(s.m.FirstRowEdited);
    EXPECT_FALSE(s.m.ScheduleEdited);

    s.m.cmd1SaveTIme_Click();
    EXPECT_EQ(s.m.Grid1.TextMatrix(1, 1), "00:00:50");
    EXPECT_EQ(s.stop(3), "00:04:05");
    EXPECT_EQ(s.m.txtSlideLength.Text, "00:00:50");
    EXPECT_TRUE(s.alternativesVisible());
}

TEST(TapeFields, complainOnLeavingWithAnInvalidTimeAndKeepTheText) {
    for (const char* text : {"00:00:10", "1:30", "abc", "", "00:00:60", "10:00:00 PM"}) {
        const bool valid = ClockTime::isValid(text);
        for (const bool early : {true, false}) {
            Schedule s;
            TextField& field = early ? s.m.txtTapeEarly : s.m.txtTapeLate;
            field.Text = text;
            field.LostFocus();
            EXPECT_EQ(field.Text, text);
            if (valid) {
                EXPECT_TRUE(s.ui.events.empty()) << text;
                continue;
            }
            ASSERT_EQ(s.ui.boxTexts(), std::vector<std::string>{"Not a Valid Date"}) << text;
            EXPECT_EQ(s.ui.events[0].title, "Date!");
            EXPECT_EQ(s.ui.events[0].style, Mb::OKOnly);
        }
    }
}

TEST(FillInButtons, copyTheSourceFieldsWithoutCountingAsTyping) {
    Schedule s;
    s.m.cmdAudioURL_Click();
    s.m.cmdRAM_Click();
    s.m.cmdSlide_Click();
    EXPECT_EQ(s.m.txtAudioURL.Text, s.m.txtAudioURLM.Text + "cs528/lect6/lect6.ra");
    EXPECT_EQ(s.m.txtIMGURL.Text, "tsld000.ram");
    EXPECT_EQ(s.m.txtSlideTitle.Text, s.m.txtSlideURLM.Text);
    EXPECT_FALSE(s.m.EditorTyped);
}
