#pragma once

#include "audio/recorder.h"
#include "forms/controls.h"
#include "forms/program.h"
#include "forms/window.h"
#include "logger/automation.h"
#include "logger/logsettings.h"
#include "logger/powerpointversion.h"
#include "logger/presentationlogfile.h"
#include "logger/presentationprogram.h"
#include "logger/slideshowmonitor.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class LoggerClock;
class SettingsStore;
class UiServices;

// The logger's window `Form1`: binds the presentation program, asks for the log file,
// polls the first slide-show window on Timer1 and writes the PresentationLog.
class Form1 : public Window {
  public:
    static constexpr const char* SettingsApp = LogSettings::Application;
    static constexpr const char* BindingTitle = "Cuemark Logger";
    static constexpr const char* RecordTitle = "Record Audio";

    // What the desktop gives the logger besides its user-interface services.
    struct Seams {
        AutomationFactory createObject;
        LoggerClock& clock;
        std::function<void()> Beep;
        // Binds a program that runs already, never waiting for one to start; the polls
        // bind again through it once the program stopped answering. Empty: they go on
        // with the objects they hold.
        AutomationFactory attachObject = {};
        // The machine's default sound input; empty where the desktop cannot record, and
        // then the window has no Record Audio option.
        AudioInputFactory audioInput = {};
        Recorder::Now steadyNow = &Recorder::Clock::now;
        Recorder::Options recording = {};
    };

    Form1(UiServices& ui, SettingsStore& settings, Program& program,
          const PowerPointVersion& version, Seams seams);
    ~Form1() override;

    // ---- Controls ----
    Label Label1[3] = {{this, "Label1(0)", "Log File:"},
                       {this, "Label1(1)", "Pres. File:"},
                       {this, "Label1(2)", "Pres. Slide"}};
    Label lblLogFIle{this, "lblLogFIle", "NONE"};
    Label lblPPTFile{this, "lblPPTFile", "NONE"};
    Label lblSlideNum{this, "lblSlideNum", "0"};
    // Empty while all is well; otherwise says which line did not reach the disk, or what
    // happened to the log file or the presentation program.
    Label lblStatus{this, "lblStatus"};
    Button cmdOpenLog{this, "cmdOpenLog", "Open Log"};
    Button cmdEnd{this, "cmdEnd", "End Log"};
    Button Picture1{this, "Picture1", "?"};
    Label Label2{this, "Label2", "What's This Help"};
    Timer Timer1{this, "Timer1", 500, false};
    CommonDialog CmDialog1;

    // ---- Menu ----
    MenuItem mnuFile{this, "mnuFile", "File"};
    MenuItem mnuOpenLog{this, "mnuOpenLog", "Open Log", &mnuFile};
    MenuItem mnuBar{this, "mnuBar", "-", &mnuFile};
    MenuItem mnuExit{this, "mnuExit", "Exit", &mnuFile};
    MenuItem mnuOptions{this, "mnuOptions", "Options"};
    MenuItem mnuBeep1{this, "mnuBeep1", "Beep 1st", &mnuOptions};
    MenuItem mnuBeep2{this, "mnuBeep2", "Beep 2nd", &mnuOptions};
    MenuItem mnuZoomPPT{this, "mnuZoomPPT", "Zoom PPT", &mnuOptions};
    // Only where the desktop has a sound input.
    std::optional<MenuItem> mnuRecord;
    MenuItem mnuHelpTop{this, "mnuHelpTop", "Help"};
    MenuItem mnuHelp{this, "mnuHelp", "Help", &mnuHelpTop};
    MenuItem mnuBar1{this, "mnuBar1", "-", &mnuHelpTop};
    MenuItem mnuAbout{this, "mnuAbout", "About", &mnuHelpTop};

    // Shows the window once start-up has placed it, before the log dialog comes up.
    std::function<void()> Show;

    // ---- Handlers ----
    void StartProcessing();
    void Timer1_Timer();
    // Each throws FileError when the line did not reach the disk.
    void WriteSlideChange(const ShowLine& line);
    void WriteEvent(const std::string& text);
    void cmdEnd_Click();
    void cmdOpenLog_Click();
    void mnuOpenLog_Click();
    void mnuBeep1_Click();
    void mnuBeep2_Click();
    void mnuZoomPPT_Click();
    void mnuRecord_Click();
    void mnuHelp_Click();
    void Picture1_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    const PowerPointVersion& version() const { return m_version; }
    // The watched show and the log it is written to.
    const SlideShowMonitor& monitor() const { return m_monitor; }
    const PresentationLogFile& logFile() const { return m_logFile; }
    bool logOpen() const { return m_logFile.isOpen(); }
    int beeps() const { return m_beeps; } // sounded in this run
    // The talk's recording, from the log's opening to its closing line; none when the
    // option is off or the operator kept an earlier recording.
    Recorder* recorder() const { return m_recorder.get(); }

    void dumpState(StateDump& dump) const override;

  protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

  private:
    void wireHandlers();
    void setWhatsThisTexts();
    void placeWindow();
    void toggleOption(MenuItem& item, const LogSettings::Option& option);
    void beep();
    void forgetLogPath();
    std::string nowText();
    void setStatus(const std::string& text);
    // The status line: the recording's state, then the latest notice.
    void showStatus();
    void startRecording();
    void stopRecording();
    // A line a poll wrote, to be placed on the recording's timeline.
    void placeOnRecording();
    // The lines written so far placed, once the recording has a timeline.
    void placeLines();
    // What a poll asks for besides its line: the beep, the labels, the status line.
    void showPoll(const PollResult& result);
    // The monitor's writer: false when the line did not reach the disk.
    bool writeShowLine(const ShowLine& line);
    // A line's fate in the status line; throws FileError when it did not reach the disk.
    void checkWritten(const PresentationLogFile::Written& written);
    // The closing line, then the file is closed whatever happened to the line.
    void closeLog(const std::string& eventText);

    UiServices& m_ui;
    SettingsStore& m_settings;
    Program& m_program;
    const PowerPointVersion& m_version;
    Seams m_seams;
    PresentationProgram m_presentationProgram;
    SlideShowMonitor m_monitor;
    PresentationLogFile m_logFile;
    std::string m_helpPath;
    int m_beeps = 0;
    bool m_statusIsNotLogged = false;
    // A line of this poll set the status line, which its notice then leaves alone.
    bool m_lineSetStatus = false;
    std::string m_notice;
    std::string m_recordingText;

    std::unique_ptr<Recorder> m_recorder;
    FirstLineFit m_fit;
    // This poll and the poll before it: a change this poll sees came between them.
    std::optional<Recorder::Clock::time_point> m_pollAt;
    std::optional<Recorder::Clock::time_point> m_lastPollAt;
    // Lines written before the input gave its first sound wait for the recording's
    // timeline, which then reaches back to them.
    struct LineWindow {
        Recorder::Clock::time_point from;
        Recorder::Clock::time_point to;
        std::int64_t secondsAfterFirst;
    };
    std::vector<LineWindow> m_unplaced;
    // The log's whole seconds from its first line to its last, as its reader adds them up.
    std::int64_t m_logSeconds = 0;
};
