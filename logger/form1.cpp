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

namespace {

constexpr int ShowItem = 1;

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
      m_seams(std::move(seams)) {
    Width = 6120;
    Height = 2520;
    cmdEnd.Enabled = false;
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
    mnuHelp.Click = [this] { mnuHelp_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
}

void Form1::Form_Load() {
    HelpPath = helpFilePath(m_program);
    CmDialog1.HelpFile = HelpPath;
    Timer1.Enabled = false;
    FirstLine = true;
    LogClosed = true;

    About::show(m_ui, m_program, true);

    Caption = m_program.title;
    placeWindow();
    if (Show)
        Show();

    mnuBeep1.Checked = readOption(m_settings, LogSettings::Beep1);
    mnuBeep2.Checked = readOption(m_settings, LogSettings::Beep2);
    mnuZoomPPT.Checked = readOption(m_settings, LogSettings::ZoomPPT);
    ShowSeen = false;
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

AutomationRef Form1::windowOwner() {
    return m_version.viaAppWindow ? asObject(PowerPointApp->get("AppWindow")) : PowerPointApp;
}

void Form1::StartProcessing() {
    try {
        {
            // Creating the program may wait for it to start: up to a minute on its first
            // start.
            BusyPointer busy(m_ui);
            PowerPointApp = m_seams.createObject(m_version.className);
            windowOwner()->put("Visible", true);
            if (mnuZoomPPT.Checked)
                windowOwner()->put("WindowState", std::int32_t(m_version.zoomBeforeDialog));
            ShowWindows = asObject(PowerPointApp->get("SlideShowWindows"));
        }
        m_programLost = false;

        LogPath.clear();
        Timer1.Enabled = true;
        CmDialog1.DialogTitle = "Log File";
        CmDialog1.Filter = "Text Files (*.txt)|*.txt";
        CmDialog1.FilterIndex = 1;
        CmDialog1.CancelError = false;
        if (m_ui.ShowFileDialog(CmDialog1, FileDialogKind::Open))
            LogPath = CmDialog1.FileName;
        if (LogPath.empty()) {
            m_ui.MsgBox("WARNING - NO LOGGING WILL OCCUR", Mb::OKOnly);
            return;
        }
        if (LogPath.find('.') == std::string::npos)
            LogPath += ".txt";
        lblLogFIle.Caption = LogPath;
        m_log = std::make_unique<LineFile>(LogPath);
        LogClosed = false;
        cmdOpenLog.Enabled = false;
        mnuOpenLog.Enabled = false;
        // End Log comes before the zoom, so a refused zoom cannot leave an open log
        // without its End Log button.
        cmdEnd.Enabled = true;
        if (mnuZoomPPT.Checked)
            windowOwner()->put("WindowState", std::int32_t(m_version.zoomAfterOpen));
    } catch (const FileError& e) {
        // The operator is told which file could not be opened, not only why.
        const std::string chosen = LogPath;
        forgetLogPath();
        m_ui.MsgBox("The log file " + chosen + " cannot be opened: " + e.what(), Mb::OKOnly,
                    BindingTitle);
    } catch (const std::exception& e) {
        if (!m_log)
            forgetLogPath();
        m_ui.MsgBox(e.what(), Mb::OKOnly, BindingTitle);
    }
}

void Form1::forgetLogPath() {
    // Nothing polls against a log that is not open.
    LogPath.clear();
    lblLogFIle.Caption = "NONE";
}

void Form1::Timer1_Timer() {
    if (LogPath.empty() || !m_log)
        return;
    if (m_programLost && m_seams.attachObject && !bindAgain())
        return;
    // Any failure abandons the rest of this poll; the next tick starts afresh.
    try {
        std::int32_t count = 0;
        try {
            count = asInt32(ShowWindows->get("Count"));
        } catch (const AutomationError& e) {
            // Quit, or too busy to answer: later polls bind again.
            if (!m_programLost)
                setStatus("The presentation program did not answer at " + nowText() + " (" +
                          e.what() + "): waiting for it to run again.");
            m_programLost = true;
            return;
        }
        if (m_programLost) {
            m_programLost = false;
            setStatus("The presentation program answers again since " + nowText() + ".");
        }
        if (!ShowSeen) {
            if (count == 0)
                return;
            if (mnuBeep1.Checked)
                beep();
            SecondBeepPending = true;
            ShowSeen = true;
            ShowStopped = false;
            detectShow();
        } else if (!ShowStopped) {
            if (count == 0) {
                WriteEvent(PresentationLog::SlideShowStopped);
                ShowStopped = true;
                lblSlideNum.Caption = std::to_string(CurrentSlide);
                return;
            }
            std::int16_t shown = 0;
            try {
                shown = shownSlide(ShowWindow);
            } catch (const AutomationError&) {
                // The window held died, yet a show runs: it ended and started again between
                // two polls. A fresh window that answers is that new show.
                const AutomationRef fresh =
                    asObject(ShowWindows->get("", {std::int16_t(ShowItem)}));
                shownSlide(fresh);
                setStatus("The slide show window went away at " + nowText() +
                          ": following the show now running.");
                detectShow();
                return;
            }
            if (shown == CurrentSlide && !m_slideUnwritten)
                return;
            if (shown != CurrentSlide && SecondBeepPending) {
                SecondBeepPending = false;
                if (mnuBeep2.Checked)
                    beep();
            }
            CurrentSlide = shown;
            WriteSlideChange();
        } else if (count != 0) {
            ShowStopped = false;
            detectShow();
        }
    } catch (const std::exception&) {
    }
}

bool Form1::bindAgain() {
    try {
        const AutomationRef app = m_seams.attachObject(m_version.className);
        ShowWindows = asObject(app->get("SlideShowWindows"));
        PowerPointApp = app;
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::int16_t Form1::shownSlide(const AutomationRef& window) {
    // The slide's place in the presentation, as the title is read by it: the number a
    // slide displays differs from it in a deck that does not start at 1.
    return asInt16(asObject(asObject(window->get("View"))->get("Slide"))->get("SlideIndex"));
}

std::string Form1::nowText() {
    return m_seams.clock.timeText(m_seams.clock.timeOfDay());
}

void Form1::setStatus(const std::string& text) {
    lblStatus.Caption = text;
    m_statusIsNotLogged = false;
}

void Form1::beep() {
    ++m_beeps;
    if (m_seams.Beep)
        m_seams.Beep();
}

void Form1::detectShow() {
    ShowWindow = asObject(ShowWindows->get("", {std::int16_t(ShowItem)}));
    CurrentSlide = shownSlide(ShowWindow);
    ShownPresentation = asObject(PowerPointApp->get("ActivePresentation"));
    PresentationPath = asText(ShownPresentation->get(m_version.pathProperty));
    lblPPTFile.Caption = PresentationPath;
    WriteSlideChange();
}

std::string Form1::readTitle() {
    AutomationRef part = asObject(ShownPresentation->get("Slides", {CurrentSlide}));
    const int links = m_version.titleChainLength();
    for (int i = 0; i + 1 < links; ++i)
        part = asObject(part->get(m_version.titleChain[i]));
    return asText(part->get(m_version.titleChain[links - 1]));
}

double Form1::intervalTo(double reading) const {
    return PresentationLog::interval(FirstLine ? std::nullopt : std::optional(LastLineTime),
                                     reading);
}

void Form1::writeLine(const std::string& line, double reading) {
    bool reopened = false;
    try {
        if (!m_log)
            throw FileError("The log file is not open");
        // Deleted, moved or replaced while open: the lines go on to the path chosen.
        if (!m_log->stillAtPath()) {
            m_log->reopen();
            reopened = true;
        }
        m_log->writeLine(line);
    } catch (const FileError& e) {
        setStatus("NOT LOGGED at " + m_seams.clock.timeText(reading) + ": " + e.what());
        m_statusIsNotLogged = true;
        throw;
    }
    if (reopened)
        setStatus("The log file was deleted, moved or replaced before " +
                  m_seams.clock.timeText(reading) + ": logging goes on into " + LogPath + ".");
    else if (m_statusIsNotLogged)
        setStatus("");
    FirstLine = false;
    LastLineTime = reading;
}

void Form1::WriteSlideChange() {
    const double now = m_seams.clock.timeOfDay();
    LineDayCount = intervalTo(now);
    std::string title = PresentationLog::NoTitle;
    try {
        title = readTitle();
    } catch (const std::exception&) {
    }
    // A line that did not reach the disk already shows in lblStatus; the next poll that
    // still sees this slide writes it.
    try {
        writeLine(PresentationLog::slideLine(LineDayCount, m_seams.clock.timeText(now),
                                             PresentationPath, CurrentSlide, title),
                  now);
        m_slideUnwritten = false;
    } catch (const FileError&) {
        m_slideUnwritten = true;
    }
}

void Form1::WriteEvent(const std::string& text) {
    const double now = m_seams.clock.timeOfDay();
    LineDayCount = intervalTo(now);
    writeLine(PresentationLog::eventLine(LineDayCount, m_seams.clock.timeText(now), text), now);
}

void Form1::closeLog(const std::string& eventText) {
    std::string failure;
    try {
        WriteEvent(eventText);
    } catch (const std::exception& e) {
        failure = e.what();
    }
    try {
        if (m_log)
            m_log->close();
    } catch (const std::exception& e) {
        if (failure.empty())
            failure = e.what();
    }
    m_log.reset();
    LogClosed = true;
    if (!failure.empty())
        m_ui.MsgBox("The closing line \"" + eventText + "\" could not be written to " + LogPath +
                        ": " + failure + "\r\nThe log file has been closed without it.",
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
    Unload();
}

void Form1::Form_Unload(int& Cancel) {
    if (!LogClosed) {
        if (m_ui.MsgBox("End Logging?", Mb::YesNo + Mb::DefaultButton2, "Exit Logger") == Mb::No) {
            Cancel = 1;
            return;
        }
        closeLog(PresentationLog::ProgramStopped);
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

void Form1::mnuHelp_Click() {
    CmDialog1.HelpFile = HelpPath;
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
    dump.text("LogPath", LogPath);
    dump.text("PresentationPath", PresentationPath);
    dump.state("CurrentSlide", std::to_string(CurrentSlide));
    dump.flag("FirstLine", FirstLine);
    dump.flag("LogClosed", LogClosed);
    dump.flag("ShowSeen", ShowSeen);
    dump.flag("ShowStopped", ShowStopped);
    dump.flag("SecondBeepPending", SecondBeepPending);
    dump.state("beeps", std::to_string(m_beeps));
}
