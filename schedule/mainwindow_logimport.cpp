#include "mainwindow.h"

#include "common/clocktime.h"
#include "common/textfile.h"
#include "forms/uiservices.h"
#include "schedule/filenames.h"
#include "schedule/gridfile.h"
#include "schedule/logimport.h"
#include "schedule/logreader.h"
#include "webout/pathhelpers.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <string>

void Main::mnuRdLog_Click() {
    const std::optional<std::string> chosen = askTextFile("Log File", FileDialogKind::Open);
    if (!chosen)
        return;
    // Only a chosen log counts: a cancelled dialog must not change what closing asks.
    LogImported = true;

    LogFileName = *chosen;
    const PathParts logPath = splitLocalPath(LogFileName);
    LogDirectory = logPath.directory;
    txtLogFile.Text = LogFileName;
    // A name without a dot (the logger writes one when only a folder name has a dot) is
    // its own base name, so the log is read and paired with its resume file all the same.
    LogBaseName = SplitFileName(logPath.fileName).baseName;

    showFirstRowAlternatives(false);

    ImportedLog imported;
    try {
        // Line by line: the rows end the reading long before a huge file would.
        LogReader log{LineReader(LogFileName)};
        imported = importLog(log, IMGPath);
    } catch (const ReadError& e) {
        imported.rejection = e;
    } catch (const std::exception& e) {
        imported.rejection = ReadError(0, e.what());
    }
    m_schedule.takeImport(imported);
    showSchedule();
    if (imported.rejection) {
        // The import stopped at the row after the last one it formed.
        Grid1.Row = std::min(static_cast<int>(imported.rows.size()) + 1, MaxScheduleRows);
        // The grid now holds a rejected log: closing must not write it into the resume
        // file of a log imported earlier.
        ResumeFilePath.clear();
        m_ui.MsgBox("Not a Log File", Mb::OKOnly);
        return;
    }

    enterMenuMode(MenuMode::Log);
    selectRow(1);
    // The offset is applied once: by the resume file's Update, else right here.
    const bool recorded = takeRecording();

    ResumeFilePath = LogDirectory + LogBaseName + ".urs";
    std::optional<GridFile::Resume> resume;
    try {
        LineReader lines(ResumeFilePath);
        resume = GridFile::readResume(lines);
    } catch (const std::exception&) {
        // No resume file yet: the imported schedule stands as it is.
    }
    if (!resume) {
        if (recorded)
            applyTapeOffset();
        return;
    }
    const ScheduleRow& first = m_schedule.row(1);
    // Update writes the editor's texts back into row 1; an empty cell of row 1 left the
    // previous row's text in the editor, which must not show as row 1's.
    txtSlideLength.Text = ClockTime::format(resume->firstLength);
    txtIMGURL.Text = first.ImageUrl;
    txtSlideTitle.Text = first.Title;
    const UpdateOutcome outcome = m_schedule.applyResume(resume->firstLength, tapeOffsets());
    // A pending Tape Late longer than the saved length stops the Update, and closing
    // would then overwrite the saved length: leave the file for later.
    if (!reportUpdate(outcome)) {
        ResumeFilePath.clear();
        return;
    }
    txtAudioURL.Text = resume->audioUrl;
    txtHTMURL.Text = resume->htmUrl;
    txt1SaveTime.Text = ClockTime::format(m_schedule.SavedFirstLength());
    txt1LogTIme.Text = ClockTime::format(m_schedule.LoggedFirstLength());
    showUpdate(outcome);
    selectRow(1);
    m_resumeApplied = true;
    showMenuMode();
}
