#include "mainwindow.h"

#include "common/clocktime.h"
#include "common/textfile.h"
#include "common/uiservices.h"
#include "schedule/filenames.h"
#include "schedule/gridfile.h"
#include "schedule/logreader.h"
#include "webout/pathhelpers.h"

#include <optional>
#include <string>

void Main::mnuRdLog_Click() {
    const std::optional<std::string> chosen = askTextFile("Log File", FileDialogKind::Open);
    if (!chosen)
        return;
    // Only a chosen log counts: a cancelled dialog must not change what closing asks.
    LogImported = true;

    LogFileName = *chosen;
    const PathParts logPath = GetFname(LogFileName);
    LogDirectory = logPath.directory;
    txtLogFile.Text = LogFileName;
    // A dot only in a folder name leaves the file without a base name to pair with.
    if (logPath.fileName.find('.') == std::string::npos)
        return;
    LogBaseName = SplitFileName(logPath.fileName).baseName;

    LoggedFirstLength = ClockTime::NotSet;
    SavedFirstLength = ClockTime::NotSet;
    showFirstRowAlternatives(false);

    try {
        // Line by line: the rows end the reading long before a huge file would.
        LogReader log{LineReader(LogFileName)};
        RowCount = 0;

        const PathParts imagePath = GetFname(IMGPath);
        const auto imageName = SplitIMGFileName(imagePath.fileName);
        if (!imageName)
            throw ReadError(0, "The image path names no numbered image");

        LogLine line = log.next();
        // Held as the exact sum of the day counts, so each Stop is the next Start.
        double total = line.dayCount;
        for (;;) {
            const int r = RowCount + 1;
            // The closing line takes a row number too, so at most MaxScheduleRows - 1 rows fit.
            if (r > MaxScheduleRows)
                throw ReadError(0, "Too many rows");
            Grid1.Row = r;
            if (line.endsLog()) {
                if (r == 1)
                    throw ReadError(0, "No row before the end of logging");
                break;
            }

            const double length = log.peekDayCount();
            if (r == 1 && line.isSlide)
                LoggedFirstLength = length;
            Grid1.setTextMatrix(r, ColLength, ClockTime::format(length));
            Grid1.setTextMatrix(r, ColStart, ClockTime::format(total));
            Grid1.setTextMatrix(r, ColStop, ClockTime::format(total + length));
            if (line.isSlide) {
                Grid1.setTextMatrix(r, ColImageUrl,
                                    ExpandIMGPath(imagePath.directory, line.presentationPath) +
                                        imageName->prefix + threeDigits(line.slideNumber) + "." +
                                        imageName->extension);
                Grid1.setTextMatrix(r, ColTitle, line.title);
            } else {
                Grid1.setTextMatrix(r, ColImageUrl, "wait.gif");
                Grid1.setTextMatrix(r, ColTitle, "BREAK");
            }
            total += length;
            RowCount = r;
            line = log.next();
        }
    } catch (const std::exception&) {
        RowCount = 0;
        LoggedFirstLength = ClockTime::NotSet;
        // The grid now holds a rejected log: closing must not write it into the resume
        // file of a log imported earlier.
        ResumeFilePath.clear();
        m_ui.MsgBox("Not a Log File", Mb::OKOnly);
        return;
    }

    MenusOn();
    clearRowsAfter(RowCount);
    Grid1.Row = 1;
    Grid1.Col = ColLength;
    Grid1_Click();
    mnuReadGrid.Enabled = false;

    ResumeFilePath = LogDirectory + LogBaseName + ".urs";
    std::optional<GridFile::Resume> resume;
    try {
        LineReader lines(ResumeFilePath);
        resume = GridFile::readResume(lines);
    } catch (const std::exception&) {
        // No resume file yet: the imported schedule stands as it is.
    }
    if (!resume)
        return;
    // A pending Tape Late longer than the saved length would stop the Update below half
    // way, and closing would then overwrite the saved length: leave the file for later.
    if (!tapeLateFits(ClockTime::format(resume->firstLength))) {
        ResumeFilePath.clear();
        return;
    }
    txtAudioURL.Text = resume->audioUrl;
    txtHTMURL.Text = resume->htmUrl;
    txtLineNum.Text = "1";
    SavedFirstLength = resume->firstLength;
    txt1SaveTime.Text = ClockTime::format(SavedFirstLength);
    txt1LogTIme.Text = ClockTime::format(LoggedFirstLength);
    showFirstRowAlternatives(true);
    // Update writes the editor's texts back into row 1; an empty cell of row 1 left the
    // previous row's text in the editor, which must not land in row 1.
    txtSlideLength.Text = ClockTime::format(SavedFirstLength);
    txtIMGURL.Text = Grid1.TextMatrix(1, ColImageUrl);
    txtSlideTitle.Text = Grid1.TextMatrix(1, ColTitle);
    cmdUpdate_Click();
    ScheduleEdited = false;
    FirstRowEdited = false;
    Grid1.Row = 1;
    Grid1.Col = ColLength;
    Grid1_Click();
    mnuConfig.Enabled = false;
}
