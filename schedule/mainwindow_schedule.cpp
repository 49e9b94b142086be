#include "mainwindow.h"

#include "common/clocktime.h"
#include "forms/uiservices.h"

#include <string>

void Main::Grid1_Click() {
    const int r = Grid1.Row;
    // The header row holds no schedule row.
    if (r < 1 || r > MaxScheduleRows)
        return;
    selectRow(r);
}

void Main::selectRow(int r) {
    Grid1.Row = r;
    EditorTyped = false;
    copyRowToEditor(r);
    txtLineNum.Text = std::to_string(r);
    showFirstRowAlternatives(r == 1 && m_schedule.SavedFirstLength() != ClockTime::NotSet);
    Grid1.Col = ScheduleColumn::Length;
}

void Main::cmdUpdate_Click() {
    updateRow();
}

TapeOffsets Main::tapeOffsets() const {
    return {txtTapeEarly.Text, txtTapeLate.Text};
}

bool Main::updateRow() {
    const UpdateOutcome outcome = m_schedule.Update(
        {txtLineNum.Text, txtSlideLength.Text, txtIMGURL.Text, txtSlideTitle.Text, EditorTyped},
        tapeOffsets());
    if (!reportUpdate(outcome))
        return false;
    showUpdate(outcome);
    return true;
}

bool Main::reportUpdate(const UpdateOutcome& outcome) {
    switch (outcome.status) {
    case UpdateStatus::Updated:
        return true;
    case UpdateStatus::NotAValidTime:
        m_ui.MsgBox("Not a Valid Time", Mb::OKOnly);
        break;
    case UpdateStatus::NotAValidLineNumber:
        m_ui.MsgBox("Not a Valid Line Number", Mb::OKOnly);
        break;
    case UpdateStatus::TapeLateTooLong:
        m_ui.MsgBox("Tape Late is longer than the first slide", Mb::OKOnly);
        break;
    case UpdateStatus::BeyondLastRow:
        break;
    }
    return false;
}

void Main::showUpdate(const UpdateOutcome& outcome) {
    EditorTyped = false;
    // The offsets act once.
    txtTapeEarly.Text = "00:00:00";
    txtTapeLate.Text = "00:00:00";
    showSchedule();
    // The editor walks on, keeping its texts where the next row's cells are empty.
    txtLineNum.Text = std::to_string(outcome.nextRow);
    Grid1.Row = outcome.nextRow;
    copyRowToEditor(outcome.nextRow);
    showFirstRowAlternatives(false);
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
    updateRow();
    selectRow(1);
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
    const ScheduleRow& row = m_schedule.row(r);
    if (!row.ImageUrl.empty())
        txtIMGURL.Text = row.ImageUrl;
    if (!row.Title.empty())
        txtSlideTitle.Text = row.Title;
    if (!row.Length.empty())
        txtSlideLength.Text = row.Length;
}

void Main::showSchedule() {
    for (int k = 1; k <= MaxScheduleRows; ++k) {
        for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col) {
            const std::string& text = m_schedule.cell(k, col);
            if (Grid1.TextMatrix(k, col) != text)
                Grid1.setTextMatrix(k, col, text);
        }
    }
}
