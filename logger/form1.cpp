#include "form1.h"

#include "common/settingsstore.h"
#include "common/textfile.h"
#include "forms/about.h"
#include "forms/uiservices.h"
#include "forms/windowplacement.h"
#include "logger/loggerclock.h"
#include "logger/presentationlog.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

// A position in twips, halves rounded to even; in 32 bits, since a very wide screen
// has more twips than 16 bits hold.
int twips(double value) {
    return static_cast<int>(std::nearbyint(value));
}

bool readOption(const SettingsStore& settings, const LogSettings::Option& option) {
    return GetBoolSetting(settings, LogSettings::Application, option.section, option.key,
                          option.defaultValue);
}

} // namespace

Form1::Form1(UiServices& ui, SettingsStore& settings, Program& program,
             const PowerPointVersion& version, Seams seams)
    : Window("Form1"), m_ui(ui), m_settings(settings), m_program(program), m_version(version),
      m_seams(std::move(seams)), m_presentationProgram(version, m_seams.attachObject),
      m_logFile(m_seams.clock) {
    Width = 6120;
    Height = 2520;
    cmdEnd.Enabled = false;
    if (m_seams.audioInput)
        mnuRecord.emplace(this, "mnuRecord", "Record Audio", &mnuOptions);
    wireHandlers();
    setWhatsThisTexts();
}

Form1::~Form1() = default;

void Form1::wireHandlers() {
    Timer1.Tick = [this] { Timer1_Timer(); };
    cmdOpenLog.Click = [this] { cmdOpenLog_Click(); };
    cmdEnd.Click = [this] { cmdEnd_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };
    mnuOpenLog.Click = [this] { mnuOpenLog_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
    mnuBeep1.Click = [this] { mnuBeep1_Click(); };
    mnuBeep2.Click = [this] { mnuBeep2_Click(); };
    mnuZoomPPT.Click = [this] { mnuZoomPPT_Click(); };
    if (mnuRecord)
        mnuRecord->Click = [this] { mnuRecord_Click(); };
    mnuHelp.Click = [this] { mnuHelp_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
}

void Form1::Form_Load() {
    m_helpPath = helpFilePath(m_program);
    CmDialog1.HelpFile = m_helpPath;
    Timer1.Enabled = false;

    About::show(m_ui, m_program, true);

    Caption = m_program.title;
    placeWindow();
    if (Show)
        Show();

    mnuBeep1.Checked = readOption(m_settings, LogSettings::Beep1);
    mnuBeep2.Checked = readOption(m_settings, LogSettings::Beep2);
    mnuZoomPPT.Checked = readOption(m_settings, LogSettings::ZoomPPT);
    if (mnuRecord)
        mnuRecord->Checked = readOption(m_settings, LogSettings::RecordAudio);
    StartProcessing();
    Timer1.Enabled = true;
}

void Form1::placeWindow() {
    const int left = twips((m_ui.ScreenWidth() - Width) / 2.0);
    const int top = twips(m_ui.ScreenHeight() * 0.05);
    // A stored position that does not convert, or lies off the screen, gives the default.
    WindowPlacement::placeAt(*this, m_ui, m_settings, SettingsApp, LogSettings::WindowSection, left,
                             top);
}

void Form1::StartProcessing() {
    std::string chosen;
    try {
        {
            // Creating the program may wait for it to start: up to a minute on its first
            // start.
            BusyPointer busy(m_ui);
            m_presentationProgram.bind(m_seams.createObject, mnuZoomPPT.Checked);
        }

        Timer1.Enabled = true;
        CmDialog1.DialogTitle = "Log File";
        CmDialog1.Filter = "Text Files (*.txt)|*.txt";
        CmDialog1.FilterIndex = 1;
        CmDialog1.CancelError = false;
        if (m_ui.ShowFileDialog(CmDialog1, FileDialogKind::Open))
            chosen = CmDialog1.FileName;
        if (chosen.empty()) {
            m_ui.MsgBox("WARNING - NO LOGGING WILL OCCUR", Mb::OKOnly);
            return;
        }
        if (chosen.find('.') == std::string::npos)
            chosen += ".txt";
        lblLogFIle.Caption = chosen;
        m_logFile.open(chosen);
        cmdOpenLog.Enabled = false;
        mnuOpenLog.Enabled = false;
        // End Log comes before the zoom, so a refused zoom cannot leave an open log
        // without its End Log button.
        cmdEnd.Enabled = true;
        if (mnuRecord && mnuRecord->Checked)
            startRecording();
        if (mnuZoomPPT.Checked)
            m_presentationProgram.zoomAfterOpen();
    } catch (const FileError& e) {
        // The operator is told which file could not be opened, not only why.
        forgetLogPath();
        m_ui.MsgBox("The log file " + chosen + " cannot be opened: " + e.what(), Mb::OKOnly,
                    BindingTitle);
    } catch (const std::exception& e) {
        if (!m_logFile.isOpen())
            forgetLogPath();
        m_ui.MsgBox(e.what(), Mb::OKOnly, BindingTitle);
    }
}

void Form1::forgetLogPath() {
    lblLogFIle.Caption = "NONE";
}

void Form1::Timer1_Timer() {
    // Nothing polls against a log that is not open.
    if (!m_logFile.isOpen())
        return;
    m_lineSetStatus = false;
    if (m_recorder)
        m_pollAt = m_seams.steadyNow();
    showPoll(m_monitor.poll(m_presentationProgram,
                            [this](const ShowLine& line) { return writeShowLine(line); }));
    if (m_recorder) {
        m_lastPollAt = m_pollAt;
        placeLines();
        m_recordingText = recordingStatusText(m_recorder->status());
        showStatus();
    }
}

void Form1::showPoll(const PollResult& result) {
    if ((result.beep == ShowBeep::First && mnuBeep1.Checked) ||
        (result.beep == ShowBeep::Second && mnuBeep2.Checked))
        beep();
    if (result.presentationShown)
        lblPPTFile.Caption = *result.presentationShown;
    if (result.stoppedAtSlide)
        lblSlideNum.Caption = std::to_string(*result.stoppedAtSlide);
    // A line that did not reach the disk says so, whatever else the poll saw.
    if (result.notice != PollNotice::None && !m_lineSetStatus)
        setStatus(pollNoticeText(result, nowText()));
}

bool Form1::writeShowLine(const ShowLine& line) {
    try {
        if (line.kind == ShowLine::Kind::ShowStopped)
            WriteEvent(PresentationLog::SlideShowStopped);
        else
            WriteSlideChange(line);
        placeOnRecording();
        return true;
    } catch (const FileError&) {
        // Already in the status line; the monitor asks for the line again.
        return false;
    }
}

std::string Form1::nowText() {
    return m_seams.clock.timeText(m_seams.clock.timeOfDay());
}

void Form1::setStatus(const std::string& text) {
    m_notice = text;
    m_statusIsNotLogged = false;
    showStatus();
}

void Form1::showStatus() {
    if (m_recordingText.empty() || m_notice.empty())
        lblStatus.Caption = m_recordingText + m_notice;
    else
        lblStatus.Caption = m_recordingText + " | " + m_notice;
}

void Form1::startRecording() {
    const RecordingPaths paths = RecordingPaths::besideLog(m_logFile.path());
    // A log opened again after a crash: its sound is kept unless the operator says not.
    if ((TextFile::exists(paths.audio) || TextFile::exists(paths.sync)) &&
        m_ui.MsgBox("A recording of this log is already there:\r\n" + paths.audio +
                        "\r\nReplace it with the recording of this run?",
                    Mb::YesNo + Mb::Exclamation + Mb::DefaultButton2, RecordTitle) == Mb::No) {
        m_recordingText = "Not recording: " + paths.audio + " was kept";
        showStatus();
        return;
    }
    m_recorder = std::make_unique<Recorder>(m_seams.audioInput, paths, m_seams.recording,
                                            m_seams.steadyNow);
    m_recorder->start();
    m_recordingText = recordingStatusText(m_recorder->status());
    showStatus();
}

void Form1::placeOnRecording() {
    if (!m_recorder || !m_pollAt)
        return;
    // A change the first poll sees came within one interval before it.
    const auto interval = std::chrono::milliseconds(Timer1.Interval);
    m_unplaced.push_back({m_lastPollAt.value_or(*m_pollAt - interval), *m_pollAt, m_logSeconds});
}

void Form1::placeLines() {
    if (m_unplaced.empty() || !m_recorder->positionMs(*m_pollAt))
        return;
    for (const LineWindow& line : m_unplaced)
        m_fit.add(*m_recorder->positionMs(line.from), *m_recorder->positionMs(line.to),
                  line.secondsAfterFirst);
    m_unplaced.clear();
    m_recorder->setFirstLineMs(m_fit.firstLineMs());
}

void Form1::stopRecording() {
    if (!m_recorder)
        return;
    const std::string failure = m_recorder->stop();
    m_recordingText = recordingStatusText(m_recorder->status());
    showStatus();
    if (!failure.empty())
        m_ui.MsgBox("The recording " + m_recorder->paths().audio +
                        " is not complete: " + failure,
                    Mb::OKOnly + Mb::Exclamation, RecordTitle);
}

void Form1::beep() {
    ++m_beeps;
    if (m_seams.Beep)
        m_seams.Beep();
}

void Form1::checkWritten(const PresentationLogFile::Written& written) {
    const std::string time = m_seams.clock.timeText(written.time);
    if (written.ok) {
        m_logSeconds += std::llround(written.interval * 86400.0);
    }
    if (!written.ok) {
        setStatus("NOT LOGGED at " + time + ": " + written.failure);
        m_statusIsNotLogged = true;
        m_lineSetStatus = true;
        throw FileError(written.failure);
    }
    if (written.reopened) {
        setStatus("The log file was deleted, moved or replaced before " + time +
                  ": logging goes on into " + m_logFile.path() + ".");
        m_lineSetStatus = true;
    } else if (m_statusIsNotLogged) {
        setStatus("");
    }
}

void Form1::WriteSlideChange(const ShowLine& line) {
    checkWritten(m_logFile.writeSlide(line.presentationPath, line.slide, line.title));
}

void Form1::WriteEvent(const std::string& text) {
    checkWritten(m_logFile.writeEvent(text));
}

void Form1::closeLog(const std::string& eventText) {
    std::string failure;
    try {
        WriteEvent(eventText);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    try {
        m_logFile.close();
    } catch (const std::exception& e) {
        if (failure.empty())
            failure = e.what();
    }
    if (!failure.empty())
        m_ui.MsgBox("The closing line \"" + eventText + "\" could not be written to " +
                        m_logFile.path() + ": " + failure +
                        "\r\nThe log file has been closed without it.",
                    Mb::OKOnly + Mb::Exclamation, BindingTitle);
}

void Form1::cmdEnd_Click() {
    Timer1.Enabled = false;
    if (m_ui.MsgBox("End Logging and Exit?", Mb::OKCancel + Mb::DefaultButton2, "End Log") ==
        Mb::Cancel) {
        Timer1.Enabled = true;
        return;
    }
    closeLog(PresentationLog::LoggingStopped);
    // The log first, then the sound: the log always comes first.
    stopRecording();
    Unload();
}

void Form1::Form_Unload(int& Cancel) {
    if (m_logFile.isOpen()) {
        if (m_ui.MsgBox("End Logging?", Mb::YesNo + Mb::DefaultButton2, "Exit Logger") == Mb::No) {
            Cancel = 1;
            return;
        }
        closeLog(PresentationLog::ProgramStopped);
        stopRecording();
    }
    Timer1.Enabled = false;
    m_settings.SaveSetting(SettingsApp, LogSettings::WindowSection, "Left",
                           numberSettingText(Left));
    m_settings.SaveSetting(SettingsApp, LogSettings::WindowSection, "Top", numberSettingText(Top));
}

void Form1::cmdOpenLog_Click() {
    StartProcessing();
}

void Form1::mnuOpenLog_Click() {
    StartProcessing();
}

void Form1::toggleOption(MenuItem& item, const LogSettings::Option& option) {
    item.Checked = !item.Checked;
    m_settings.SaveSetting(SettingsApp, option.section, option.key, boolSettingText(item.Checked));
}

void Form1::mnuBeep1_Click() {
    toggleOption(mnuBeep1, LogSettings::Beep1);
}

void Form1::mnuBeep2_Click() {
    toggleOption(mnuBeep2, LogSettings::Beep2);
}

void Form1::mnuZoomPPT_Click() {
    toggleOption(mnuZoomPPT, LogSettings::ZoomPPT);
}

void Form1::mnuRecord_Click() {
    // Like Zoom PPT, it takes effect at the next log opened.
    toggleOption(*mnuRecord, LogSettings::RecordAudio);
}

void Form1::mnuHelp_Click() {
    CmDialog1.HelpFile = m_helpPath;
    CmDialog1.HelpCommand = cdlHelpContents;
    m_ui.ShowHelp(CmDialog1);
}

void Form1::Picture1_Click() {
    m_ui.EnterWhatsThisMode(*this);
}

void Form1::mnuAbout_Click() {
    About::show(m_ui, m_program, false);
}

void Form1::mnuExit_Click() {
    Unload();
}

void Form1::dumpState(StateDump& dump) const {
    dump.text("LogPath", m_logFile.path());
    dump.text("PresentationPath", m_monitor.presentationPath());
    dump.state("CurrentSlide", std::to_string(m_monitor.currentSlide()));
    dump.flag("FirstLine", m_logFile.firstLine());
    dump.flag("LogClosed", !m_logFile.isOpen());
    dump.flag("ShowSeen", m_monitor.showSeen());
    dump.flag("ShowStopped", m_monitor.showStopped());
    dump.flag("SecondBeepPending", m_monitor.secondBeepPending());
    dump.state("beeps", std::to_string(m_beeps));
}
