#pragma once

#include "forms/controls.h"
#include "forms/program.h"
#include "forms/window.h"
#include "logger/automation.h"
#include "logger/logsettings.h"
#include "logger/powerpointversion.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class LineFile;
class LoggerClock;
class SettingsStore;
class UiServices;

// The logger's window `Form1`: binds the presentation program, asks for the log file,
// polls the first slide-show window on Timer1 and writes the PresentationLog.
class Form1 : public Window {
  public:
    static constexpr const char* SettingsApp = LogSettings::Application;
    static constexpr const char* BindingTitle = "Cuemark Logger";

    // What the desktop gives the logger besides its user-interface services.
    struct Seams {
        AutomationFactory createObject;
        LoggerClock& clock;
        std::function<void()> Beep;
        // Binds a program that runs already, never waiting for one to start; the polls
        // bind again through it once the program stopped answering. Empty: they go on
        // with the objects they hold.
        AutomationFactory attachObject = {};
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
    MenuItem mnuHelpTop{this, "mnuHelpTop", "Help"};
    MenuItem mnuHelp{this, "mnuHelp", "Help", &mnuHelpTop};
    MenuItem mnuBar1{this, "mnuBar1", "-", &mnuHelpTop};
    MenuItem mnuAbout{this, "mnuAbout", "About", &mnuHelpTop};

    // ---- Logging state ----
    AutomationRef PowerPointApp;
    AutomationRef ShowWindows;
    AutomationRef ShowWindow;
    AutomationRef ShownPresentation;
    std::int16_t CurrentSlide = 0;
    std::string PresentationPath;
    std::string LogPath; // empty: nothing is being logged
    bool FirstLine = true;
    bool LogClosed = true;
    bool ShowSeen = false;
    bool ShowStopped = false;
    bool SecondBeepPending = false;
    double LastLineTime = 0;
    double LineDayCount = 0;
    std::string HelpPath;

    // Shows the window once start-up has placed it, before the log dialog comes up.
    std::function<void()> Show;

    // ---- Handlers ----
    void StartProcessing();
    void Timer1_Timer();
    void WriteSlideChange();
    void WriteEvent(const std::string& text); // throws on a failed write
    void cmdEnd_Click();
    void cmdOpenLog_Click();
    void mnuOpenLog_Click();
    void mnuBeep1_Click();
    void mnuBeep2_Click();
    void mnuZoomPPT_Click();
    void mnuHelp_Click();
    void Picture1_Click();
    void mnuAbout_Click();
    void mnuExit_Click();

    const PowerPointVersion& version() const { return m_version; }
    bool logOpen() const { return m_log != nullptr; }
    int beeps() const { return m_beeps; } // sounded in this run

    void dumpState(StateDump& dump) const override;

  protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

  private:
    void wireHandlers();
    void setWhatsThisTexts();
    void placeWindow();
    void toggleOption(MenuItem& item, const LogSettings::Option& option);
    // The object whose Visible and WindowState this version sets.
    AutomationRef windowOwner();
    void beep();
    void detectShow();
    std::int16_t shownSlide(const AutomationRef& window);
    bool bindAgain();
    void forgetLogPath();
    std::string nowText();
    void setStatus(const std::string& text);
    std::string readTitle();
    // The interval since the previous line actually written; 0 for the first.
    double intervalTo(double reading) const;
    // Writes one line; a failure shows in lblStatus and is thrown. Only a written line
    // moves FirstLine and LastLineTime on, so the next interval counts from it.
    void writeLine(const std::string& line, double reading);
    // The closing line, then the file is closed whatever happened to the line.
    void closeLog(const std::string& eventText);

    UiServices& m_ui;
    SettingsStore& m_settings;
    Program& m_program;
    const PowerPointVersion& m_version;
    Seams m_seams;
    std::unique_ptr<LineFile> m_log;
    int m_beeps = 0;
    bool m_slideUnwritten = false; // the shown slide's line did not reach the disk
    bool m_statusIsNotLogged = false;
    bool m_programLost = false; // the presentation program stopped answering
};
