#pragma once

#include "config/postsettings.h"
#include "forms/controls.h"
#include "forms/program.h"
#include "forms/uiservices.h"
#include "forms/window.h"
#include "schedule/slideschedule.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

class SettingsStore;
class UiServices;
struct PresentationOutput;
class WriteBatch;

// The post-processor's main window `Main`: the SlideSchedule in Grid1 with its row
// editor, the URL fields, the menu, the grid file and log import commands.
class Main : public Window {
  public:
    static constexpr const char* SettingsApp = PostSettings::Application;

    Main(UiServices& ui, SettingsStore& settings, Program& program);

    // ---- Menu (in menu order; a "-" caption is a separator) ----
    MenuItem mnuFile{this, "mnuFile", "File"};
    MenuItem mnuRdLog{this, "mnuRdLog", "Read Log File", &mnuFile};
    MenuItem mnuWrtAll{this, "mnuWrtAll", "Write HTM, RAM, RAE", &mnuFile};
    MenuItem mnuBar4{this, "mnuBar4", "-", &mnuFile};
    MenuItem mnuWriteHTM{this, "mnuWriteHTM", "Write HTM Files", &mnuFile};
    MenuItem mnuWrRam{this, "mnuWrRam", "Write RAM FIles", &mnuFile};
    MenuItem mnuWrCevents{this, "mnuWrCevents", "Write RAE File", &mnuFile};
    MenuItem mnuBar{this, "mnuBar", "-", &mnuFile};
    MenuItem mnuReadGrid{this, "mnuReadGrid", "Read Grid", &mnuFile};
    MenuItem mnuSaveGrid{this, "mnuSaveGrid", "Save Grid", &mnuFile};
    MenuItem mnuBar2{this, "mnuBar2", "-", &mnuFile};
    MenuItem mnuExit{this, "mnuExit", "Exit", &mnuFile};
    MenuItem mnuOptions{this, "mnuOptions", "Options"};
    MenuItem mnuConfig{this, "mnuConfig", "Configuration", &mnuOptions};
    MenuItem nuHelpTop{this, "nuHelpTop", "Help"};
    MenuItem mnuHelp{this, "mnuHelp", "Help", &nuHelpTop};
    MenuItem mnuBar3{this, "mnuBar3", "-", &nuHelpTop};
    MenuItem mnuAbout{this, "mnuAbout", "About", &nuHelpTop};

    // ---- The schedule ----
    Grid Grid1{this, "Grid1", MaxScheduleRows + 1, ScheduleColumn::Count};

    // The table Grid1 shows; every rule of the schedule runs on it, and only the window's
    // commands change it.
    const SlideSchedule& schedule() const { return m_schedule; }

    // ---- Row editor ----
    Label lblLineNum{this, "lblLineNum", "Line Number"};
    TextField txtLineNum{this, "txtLineNum", "1"};
    Label lblSlideLength{this, "lblSlideLength", "Slide Length"};
    TextField txtSlideLength{this, "txtSlideLength", "00:00:00"};
    Label lblIMGURL{this, "lblIMGURL", "IMG URL"};
    TextField txtIMGURL{this, "txtIMGURL", "IMG URL"};
    Label lblSlideTitle{this, "lblSlideTitle", "Title"};
    TextField txtSlideTitle{this, "txtSlideTitle", "SlideTItle"};
    Label lblTapeEarly{this, "lblTapeEarly", "Tape Early"};
    TextField txtTapeEarly{this, "txtTapeEarly", "00:00:00"};
    Label lblTapeLate{this, "lblTapeLate", "Tape Late"};
    TextField txtTapeLate{this, "txtTapeLate", "00:00:00"};
    TextField txt1LogTIme{this, "txt1LogTIme", "1LogT"};
    TextField txt1SaveTime{this, "txt1SaveTime", "1SaveT"};
    Button cmd1LogTIme{this, "cmd1LogTIme", "L"};
    Button cmd1SaveTIme{this, "cmd1SaveTIme", "M"};
    Button cmdUpdate{this, "cmdUpdate", "Update"};
    // Hidden for good and read or written by nothing, as the window has always had them.
    TextField txtSlideStart{this, "txtSlideStart"};
    TextField txtSlideStop{this, "txtSlideStop"};

    // ---- Source fields and fill-in buttons ----
    TextField txtAudioURLM{this, "txtAudioURLM", "pnm://audio.cuemark.example/"};
    TextField txtLectPath{this, "txtLectPath", "cs528/lect6/lect6.ra"};
    Button cmdAudioURL{this, "cmdAudioURL", "Audio"};
    TextField txtRAMFileM{this, "txtRAMFileM", "tsld000.ram"};
    Button cmdRAM{this, "cmdRAM", "RAM"};
    TextField txtSlideURLM{this, "txtSlideURLM", "http://www.cuemark.example/"};
    Button cmdSlide{this, "cmdSlide", "Slide"};

    // ---- Log file and URLs ----
    Label lblLogFile{this, "lblLogFile", "Log File"};
    TextField txtLogFile{this, "txtLogFile"};
    Label lblAudioURL{this, "lblAudioURL", "Audio URL"};
    TextField txtAudioURL{this, "txtAudioURL"};
    Label lblHTMURL{this, "lblHTMURL", "HTM URL Path"};
    TextField txtHTMURL{this, "txtHTMURL"};
    Label lblHTMNote{this, "lblHTMNote", "sld001.htm"};
    Button Picture1{this, "Picture1", "?"};
    Label lblWhatsThis{this, "lblWhatsThis", "What's This Help"};

    CommonDialog CMDialog1;

    // ---- Handlers: schedule and row editor ----
    void Grid1_Click(); // SelectRow
    void cmdUpdate_Click();
    void cmd1LogTIme_Click();
    void cmd1SaveTIme_Click();
    void txtTapeEarly_LostFocus();
    void txtTapeLate_LostFocus();
    void txtIMGURL_KeyPress(int& KeyAscii);
    void txtSlideTitle_KeyPress(int& KeyAscii);
    void cmdAudioURL_Click();
    void cmdRAM_Click();
    void cmdSlide_Click();

    // ---- Handlers: menu ----
    void CheckBoxes();
    void mnuRdLog_Click();
    void mnuReadGrid_Click();
    void mnuSaveGrid_Click();
    void mnuExit_Click();
    void mnuConfig_Click();
    void mnuHelp_Click();
    void mnuAbout_Click();
    void Picture1_Click();

    // ---- Handlers: the web presentation ----
    void mnuWriteHTM_Click();
    void mnuWrRam_Click();
    void mnuWrCevents_Click();
    void mnuWrtAll_Click();

    enum class SaveOutcome { Saved, Cancelled, Failed, NoData };
    enum class WriteOutcome { Written, NoData, Failed };

    // The form-level state, then the cells of rows 1 to RowCount + 1.
    void dumpState(StateDump& dump) const override;

  protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

  private:
    // What has been loaded this run decides which commands the menu offers. Each way of
    // loading turns the other's command off, so Log and Grid mode last for the run.
    enum class MenuMode { Empty, Log, Grid };
    void enterMenuMode(MenuMode mode);
    // The one place that turns menu items on or off, from the mode and m_resumeApplied.
    void showMenuMode();
    // The five output and save items, on or off.
    void MenusOn();
    void MenusOff();

    void setWhatsThisTexts();
    void wireHandlers();
    void loadUrlSettings();
    void setupGrid();
    void showFirstRowAlternatives(bool show);
    // Grid1 shows the schedule's cells again.
    void showSchedule();
    // SelectRow: row r into the editor, the first-row alternatives for row 1.
    void selectRow(int r);
    // Copies the image URL, title and length of row r into the editor, skipping empty
    // cells.
    void copyRowToEditor(int r);
    TapeOffsets tapeOffsets() const;
    // Update with the editor's texts; false when the schedule refused it.
    bool updateRow();
    // What follows an Update the schedule took: spent offsets, the editor a row further.
    void showUpdate(const UpdateOutcome& outcome);
    // Tells the operator why an Update was refused; false when it was.
    bool reportUpdate(const UpdateOutcome& outcome);
    // The L and M buttons: row 1 takes the given length, then shows again.
    void useFirstRowLength(const std::string& length);
    // False, after telling the operator, when the file could not be written.
    bool writeResumeFile();
    // The file dialog of the log and grid commands: a text file, ".txt" added when the
    // name has no extension; empty when the operator cancels.
    std::optional<std::string> askTextFile(const std::string& title, FileDialogKind kind);
    // Save Grid itself. Form_Unload keeps the window open after a Failed save, so the
    // schedule is not lost; a cancelled dialog still lets it close.
    SaveOutcome saveGrid();
    // The output commands' common start: the URL warnings unless the combined command
    // gave them, "No Data", the values that become names, and the folder of the log.
    // Nothing when the command must end.
    // toolFollows: the command goes on to start the tool, so its values are checked too.
    // Which line files the command writes, besides the pages.
    struct Writers {
        bool metafiles = false;
        bool eventList = false;
    };
    std::optional<PresentationOutput> outputToWrite(WriteOutcome& refused, const Writers& writers);
    // False, after naming the field, when a value that becomes a file name or part of the
    // tool's command line holds a byte neither can carry.
    bool namesAreSafe(const Writers& writers);
    // The three writers, each into the batch that its command or the combined command
    // puts in place at its end; each tells the operator of its own failure.
    WriteOutcome writeHtmCommand(WriteBatch& batch);
    void writeRamCommand(WriteBatch& batch);
    // The event list written; what the tool then takes, or nothing when the command ended.
    struct ToolRun {
        std::string listPath;
        std::string outputDirectory;
    };
    std::optional<ToolRun> writeEventListCommand(WriteBatch& batch);
    void startCevents(const ToolRun& run);
    // The batch's files put in place; false, after telling the operator, when that failed.
    bool putInPlace(WriteBatch& batch);
    void showOutputFailure(const std::string& message);
    // The logger's recording beside the log: its web form into the Audio URL and its
    // offset into Tape Early; false when there is none.
    bool takeRecording();
    // A pending tape offset applied once, as an Update would, without writing a row.
    void applyTapeOffset();
    // The recording's web form into the batch, when the Audio URL names it; the message for
    // the operator when it failed.
    std::optional<std::string> writeWebForm(WriteBatch& batch);

    UiServices& m_ui;
    SettingsStore& m_settings;
    Program& m_program;
    SlideSchedule m_schedule;

    // ---- Form-level state (the schedule's own is in m_schedule) ----
    MenuMode m_menuMode = MenuMode::Empty;
    // A log import applied a resume file: Configuration stays off for the run.
    bool m_resumeApplied = false;
    bool LogImported = false;
    bool EditorTyped = false;
    bool WriteAllActive = false;
    std::string IMGPath;
    std::string CeventsLoc;
    std::string HelpPath;
    std::array<std::string, 6> PageImages;
    std::string LogFileName;
    std::string LogDirectory;
    std::string LogBaseName;
    std::string ResumeFilePath;
};
