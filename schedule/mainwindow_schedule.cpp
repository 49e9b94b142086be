#include "mainwindow.h"

#include "common/clocktime.h"
#include "common/text.h"
#include "common/uiservices.h"

#include <algorithm>
#include <optional>
#include <string>
#include <string_view>

namespace {

// A whole decimal row number with blanks around it allowed. Values far out of range
// come back as something outside 1..MaxScheduleRows rather than overflowing.
std::optional<long long> parseRowNumber(std::string_view input) {
    const std::string text = Text::trimBlanks(input);
    std::string_view digits = text;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !Text::isDigits(digits))
        return std::nullopt;
    long long value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 1000000)
            break;
    }
    return negative ? -value : value;
}

// A ClockTime text in whole seconds; anything unreadable counts as no time at all.
long long secondsOrZero(std::string_view text) {
    const auto value = ClockTime::parse(text);
    return value ? ClockTime::toSeconds(*value) : 0;
}

std::string formatSeconds(long long seconds) {
    return ClockTime::format(ClockTime::fromSeconds(seconds));
}

} // namespace

void Main::Grid1_Click() {
    const int r = Grid1.Row;
    // The header row holds no schedule row.
    if (r < 1 || r > MaxScheduleRows)
        return;
    EditorTyped = false;
    copyRowToEditor(r);
    txtLineNum.Text = std::to_string(r);
    showFirstRowAlternatives(r == 1 && SavedFirstLength != ClockTime::NotSet);
    Grid1.Col = ColLength;
}

void Main::cmdUpdate_Click() {
    if (!ClockTime::isValid(txtSlideLength.Text)) {
        m_ui.MsgBox("Not a Valid Time", Mb::OKOnly);
        return;
    }
    const auto number = parseRowNumber(txtLineNum.Text);
    if (!number || *number < 1 || *number > MaxScheduleRows) {
        m_ui.MsgBox("Not a Valid Line Number", Mb::OKOnly);
        return;
    }
    const int n = static_cast<int>(*number);
    if (n > RowCount + 1)
        return;

    if (!tapeLateFits(n == 1 ? txtSlideLength.Text : Grid1.TextMatrix(1, ColLength)))
        return;

    Grid1.setTextMatrix(n, ColLength, txtSlideLength.Text);
    Grid1.setTextMatrix(n, ColImageUrl, txtIMGURL.Text);
    Grid1.setTextMatrix(n, ColTitle, txtSlideTitle.Text);

    if (EditorTyped) {
        ScheduleEdited = true;
        EditorTyped = false;
    }
    if (n == 1)
        FirstRowEdited = true;
    else
        ScheduleEdited = true;

    Recompute();

    int end = 2;
    while (end <= MaxScheduleRows && !Grid1.TextMatrix(end, ColLength).empty())
        ++end;
    if (RowCount < end - 1)
        RowCount = end - 1;

    // The table ends at its last row: an Update there leaves the editor where it is.
    const int next = n < MaxScheduleRows ? n + 1 : n;
    txtLineNum.Text = std::to_string(next);
    Grid1.Row = next;
    copyRowToEditor(next);

    showFirstRowAlternatives(false);
}

bool Main::tapeLateFits(const std::string& firstLength) {
    // A first slide shorter than the late start of the tape would begin before the
    // recording; refuse before anything is written so the operator can correct either.
    const long long tapeLate = secondsOrZero(txtTapeLate.Text);
    if (tapeLate == 0 || tapeLate <= secondsOrZero(firstLength))
        return true;
    m_ui.MsgBox("Tape Late is longer than the first slide", Mb::OKOnly);
    return false;
}

void Main::cmd1LogTIme_Click() {
    useFirstRowLength(txt1LogTIme.Text);
}

void Main::cmd1SaveTIme_Click() {
    useFirstRowLength(txt1SaveTime.Text);
}

void Main::useFirstRowLength(const std::string& length) {
    txtSlideLength.Text = length;
    // The length belongs to row 1 whatever was typed into the row number since.
    txtLineNum.Text = "1";
    cmdUpdate_Click();
    Grid1.Row = 1;
    Grid1.Col = ColLength;
    Grid1_Click();
}

void Main::txtTapeEarly_LostFocus() {
    if (!ClockTime::isValid(txtTapeEarly.Text))
        m_ui.MsgBox("Not a Valid Date", Mb::OKOnly, "Date!");
}

void Main::txtTapeLate_LostFocus() {
    if (!ClockTime::isValid(txtTapeLate.Text))
        m_ui.MsgBox("Not a Valid Date", Mb::OKOnly, "Date!");
}

void Main::txtIMGURL_KeyPress(int&) {
    EditorTyped = true;
}

void Main::txtSlideTitle_KeyPress(int&) {
    EditorTyped = true;
}

void Main::cmdAudioURL_Click() {
    txtAudioURL.Text = txtAudioURLM.Text + txtLectPath.Text;
}

void Main::cmdRAM_Click() {
    txtIMGURL.Text = txtRAMFileM.Text;
}

void Main::cmdSlide_Click() {
    txtSlideTitle.Text = txtSlideURLM.Text;
}

void Main::showFirstRowAlternatives(bool show) {
    txt1LogTIme.Visible = show;
    txt1SaveTime.Visible = show;
    cmd1LogTIme.Visible = show;
    cmd1SaveTIme.Visible = show;
}

void Main::copyRowToEditor(int r) {
    // An empty cell keeps what the field showed before.
    if (const std::string& url = Grid1.TextMatrix(r, ColImageUrl); !url.empty())
        txtIMGURL.Text = url;
    if (const std::string& title = Grid1.TextMatrix(r, ColTitle); !title.empty())
        txtSlideTitle.Text = title;
    if (const std::string& length = Grid1.TextMatrix(r, ColLength); !length.empty())
        txtSlideLength.Text = length;
}

void Main::Recompute() {
    // Whole seconds throughout: every Length is a whole number of seconds, and integer
    // sums cannot drift over a hundred rows.
    const long long firstLength = secondsOrZero(Grid1.TextMatrix(1, ColLength));
    const long long tapeLate = secondsOrZero(txtTapeLate.Text);
    const long long tapeEarly = secondsOrZero(txtTapeEarly.Text);

    long long start = 0;
    long long stop = firstLength;
    if (tapeLate != 0) {
        stop = firstLength - tapeLate;
    } else if (tapeEarly != 0) {
        start = tapeEarly;
        stop = firstLength + tapeEarly;
    }
    // The offsets act once.
    txtTapeEarly.Text = "00:00:00";
    txtTapeLate.Text = "00:00:00";

    Grid1.setTextMatrix(1, ColStart, formatSeconds(start));
    Grid1.setTextMatrix(1, ColStop, formatSeconds(stop));

    long long previous = stop;
    for (int k = 2; k <= MaxScheduleRows && !Grid1.TextMatrix(k, ColLength).empty(); ++k) {
        const long long rowStop = previous + secondsOrZero(Grid1.TextMatrix(k, ColLength));
        Grid1.setTextMatrix(k, ColStart, formatSeconds(previous));
        Grid1.setTextMatrix(k, ColStop, formatSeconds(rowStop));
        previous = rowStop;
    }
}

void Main::clearRowsAfter(int lastRow) {
    for (int r = std::max(lastRow + 1, 1); r <= MaxScheduleRows; ++r) {
        for (int c = ColLength; c <= ColTitle; ++c)
            Grid1.setTextMatrix(r, c, {});
    }
}
