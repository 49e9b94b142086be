#include "mainwindow.h"

#include "common/clocktime.h"
#include "common/fieldreader.h"
#include "common/text.h"
#include "common/textfile.h"
#include "forms/uiservices.h"
#include "schedule/filenames.h"
#include "schedule/gridfile.h"

#include <algorithm>
#include <new>
#include <optional>
#include <vector>

namespace {

// Puts each value into the window and the schedule as soon as it is read.
class GridToWindow : public GridFile::ReadTarget {
  public:
    GridToWindow(Main& main, SlideSchedule& schedule, std::string& logFileName)
        : m(main), m_schedule(schedule), m_logFileName(logFileName) {}

    void logFile(const std::string& text) override {
        m.txtLogFile.Text = text;
        m_logFileName = text;
    }
    void audioUrl(const std::string& text) override { m.txtAudioURL.Text = text; }
    void htmUrl(const std::string& text) override {
        m.txtHTMURL.Text = text;
        m.txtLineNum.Text = "1";
    }
    void firstLength(const std::string& time) override { m.txtSlideLength.Text = time; }
    void cell(int row, int col, const std::string& text) override {
        m_schedule.setCell(row, col, text);
        // Row 1's texts reach the editor even when empty.
        if (row == 1 && col == ScheduleColumn::ImageUrl)
            m.txtIMGURL.Text = text;
        else if (row == 1 && col == ScheduleColumn::Title)
            m.txtSlideTitle.Text = text;
    }
    void rowsRead(int count) override { m_schedule.setRowCount(count); }

  private:
    Main& m;
    SlideSchedule& m_schedule;
    std::string& m_logFileName;
};

} // namespace

void Main::mnuSaveGrid_Click() {
    saveGrid();
}

Main::SaveOutcome Main::saveGrid() {
    if (m_schedule.RowCount() <= 0) {
        m_ui.MsgBox("No Data", Mb::OKOnly, "No Data");
        return SaveOutcome::NoData;
    }
    const std::optional<std::string> chosen = askTextFile("Save Grid", FileDialogKind::Save);
    if (!chosen)
        return SaveOutcome::Cancelled;
    const std::string& path = *chosen;

    std::optional<std::string> failure;
    {
        BusyPointer busy(m_ui);
        try {
            // The whole text is made before the file is touched, and the file is replaced
            // only once it is written: a failed save leaves the earlier file whole.
            TextFile::writeAtomically(path, GridFile::text(txtLogFile.Text, txtAudioURL.Text,
                                                           txtHTMURL.Text, m_schedule.rows()));
        } catch (const FileError& e) {
            failure = e.what();
        } catch (const std::bad_alloc&) {
            failure = "Out of memory";
        }
    }
    if (failure) {
        // The schedule stays marked as edited, so closing offers Save Grid again.
        m_ui.MsgBox("'" + Text::forMessage(path, Text::MessagePathChars) +
                        "' cannot be written: " + Text::sentence(*failure),
                    Mb::OKOnly + Mb::Exclamation, "Save Grid");
        return SaveOutcome::Failed;
    }
    m_schedule.markSaved();
    return SaveOutcome::Saved;
}

void Main::mnuReadGrid_Click() {
    const std::optional<std::string> chosen = askTextFile("Read Grid", FileDialogKind::Open);
    if (!chosen)
        return;
    const std::string& path = *chosen;

    const std::string shownPath = "'" + Text::forMessage(path, Text::MessagePathChars) + "'";
    const auto cannotRead = [&](const std::string& reason) {
        m_ui.MsgBox(shownPath + " cannot be read: " + reason + ".", Mb::OKOnly + Mb::Exclamation,
                    "Read Grid");
    };
    GridToWindow target(*this, m_schedule, LogFileName);
    try {
        // Line by line: no more of the file than the header and 100 rows is ever read.
        LineReader lines(path);
        if (GridFile::read(lines, target) == GridFile::ReadResult::NotAGridFile) {
            m_ui.MsgBox("Not a grid file", Mb::OKOnly, "File Name Error");
            return;
        }
    } catch (const ReadError& e) {
        // What was read stays; the grid is not switched into grid mode.
        showSchedule();
        m_ui.MsgBox("Line " + std::to_string(e.line()) + " of " + shownPath +
                        " cannot be read: " + e.what() + ".",
                    Mb::OKOnly + Mb::Exclamation, "Read Grid");
        return;
    } catch (const FileError& e) {
        showSchedule();
        cannotRead(e.what());
        return;
    } catch (const std::bad_alloc&) {
        showSchedule();
        cannotRead("Out of memory");
        return;
    }

    enterMenuMode(MenuMode::Grid);
    m_schedule.finishGridRead();
    showSchedule();
    selectRow(1);
}

std::optional<std::string> Main::askTextFile(const std::string& title, FileDialogKind kind) {
    CMDialog1.DialogTitle = title;
    CMDialog1.Filter = TextFilesFilter;
    CMDialog1.FilterIndex = 1;
    // Only the reads ask for the cancel to be reported; Save leaves the flag as it is.
    if (kind == FileDialogKind::Open)
        CMDialog1.CancelError = true;
    if (!m_ui.ShowFileDialog(CMDialog1, kind) || CMDialog1.FileName.empty())
        return std::nullopt;
    return withTxtExtension(CMDialog1.FileName);
}
