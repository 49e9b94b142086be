#include "mainwindow.h"

#include "common/clocktime.h"
#include "common/settingsstore.h"
#include "common/text.h"
#include "common/textfile.h"
#include "config/frmconfig.h"
#include "config/urlsettings.h"
#include "forms/about.h"
#include "forms/uiservices.h"
#include "forms/windowplacement.h"
#include "schedule/gridfile.h"
#include "webout/slidepages.h"

#include <algorithm>
#include <initializer_list>
#include <new>
#include <string>
#include <vector>

Main::Main(UiServices& ui, SettingsStore& settings, Program& program)
    : Window("Main"), m_ui(ui), m_settings(settings), m_program(program) {
    Width = 9600;
    Height = 7800;
    wireHandlers();
    setWhatsThisTexts();
}

void Main::wireHandlers() {
    mnuRdLog.Click = [this] { mnuRdLog_Click(); };
    mnuReadGrid.Click = [this] { mnuReadGrid_Click(); };
    mnuSaveGrid.Click = [this] { mnuSaveGrid_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
    mnuConfig.Click = [this] { mnuConfig_Click(); };
    mnuHelp.Click = [this] { mnuHelp_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
    mnuWriteHTM.Click = [this] { mnuWriteHTM_Click(); };
    mnuWrRam.Click = [this] { mnuWrRam_Click(); };
    mnuWrCevents.Click = [this] { mnuWrCevents_Click(); };
    mnuWrtAll.Click = [this] { mnuWrtAll_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };

    Grid1.Click = [this] { Grid1_Click(); };
    cmdUpdate.Click = [this] { cmdUpdate_Click(); };
    cmd1LogTIme.Click = [this] { cmd1LogTIme_Click(); };
    cmd1SaveTIme.Click = [this] { cmd1SaveTIme_Click(); };
    txtTapeEarly.LostFocus = [this] { txtTapeEarly_LostFocus(); };
    txtTapeLate.LostFocus = [this] { txtTapeLate_LostFocus(); };
    txtIMGURL.KeyPress = [this](int& key) { txtIMGURL_KeyPress(key); };
    txtSlideTitle.KeyPress = [this](int& key) { txtSlideTitle_KeyPress(key); };
    cmdAudioURL.Click = [this] { cmdAudioURL_Click(); };
    cmdRAM.Click = [this] { cmdRAM_Click(); };
    cmdSlide.Click = [this] { cmdSlide_Click(); };
}

namespace {
constexpr const char* PlacementSection = PostSettings::MainWindowSection;
} // namespace

void Main::Form_Load() {
    HelpPath = helpFilePath(m_program);
    CMDialog1.HelpFile = HelpPath;
    WriteAllActive = false;

    WindowPlacement::place(*this, m_ui, m_settings, SettingsApp, PlacementSection);
    Caption = "Cuemark PostProcessor";

    // The main window is not on screen yet while the splash shows.
    About::show(m_ui, m_program, true);

    loadUrlSettings();
    PageImages = {"",
                  PageImageNames[0],
                  PageImageNames[1],
                  PageImageNames[2],
                  PageImageNames[3],
                  PageImageNames[4]};
    LogImported = false;
    EditorTyped = false;
    m_resumeApplied = false;
    enterMenuMode(MenuMode::Empty);
    // The schedule starts empty, with no first lengths and nothing edited.
    m_schedule = {};
    setupGrid();
    txtSlideLength.Text = "00:00:00";

    // The first-row alternatives appear only once a saved first length exists; the
    // start and stop fields are never shown.
    for (Control* c : std::initializer_list<Control*>{&txt1LogTIme, &txt1SaveTime, &cmd1LogTIme,
                                                      &cmd1SaveTIme, &txtSlideStart, &txtSlideStop})
        c->Visible = false;
}

void Main::loadUrlSettings() {
    const UrlSettings urls = UrlSettings::load(m_settings);
    txtAudioURL.Text = urls.AudioURL;
    txtHTMURL.Text = urls.HTMLURL;
    IMGPath = urls.IMGPath;
    CeventsLoc = urls.CeventsLoc;
}

void Main::setupGrid() {
    static const char* const headers[] = {"Length", "Start", "Stop", "IMG URL", "Title"};
    for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col)
        Grid1.setTextMatrix(0, col, headers[col - ScheduleColumn::Length]);
    for (int row = 1; row <= MaxScheduleRows; ++row)
        Grid1.setTextMatrix(row, ScheduleColumn::RowNumber, std::to_string(row));
    Grid1.ColWidth = {300, 700, 700, 700, 2550, 2540};
    Grid1.ColAlignment[ScheduleColumn::ImageUrl] = Alignment::Left;
    Grid1.ColAlignment[ScheduleColumn::Title] = Alignment::Left;
    Grid1.Row = 1;
    Grid1.Col = ScheduleColumn::Length;
    showSchedule();
}

void Main::Form_Unload(int& Cancel) {
    WindowPlacement::store(*this, m_ui, m_settings, SettingsApp, PlacementSection);

    // After an import only row 1 may have changed, and the ResumeFile keeps that for the
    // next import; anything else edited since the last save or import is offered for Save
    // Grid, and so is row 1 when its ResumeFile cannot be written.
    const bool resumeKeepsRow1 = LogImported && !ResumeFilePath.empty();
    if (resumeKeepsRow1 && !m_schedule.ScheduleEdited()) {
        if (writeResumeFile())
            return;
    } else if (!m_schedule.ScheduleEdited() && !m_schedule.FirstRowEdited()) {
        return;
    }

    switch (m_ui.MsgBox("Save Grid?", Mb::YesNoCancel)) {
    case Mb::Cancel:
        Cancel = 1;
        break;
    case Mb::Yes:
        // A save that failed has been reported; staying open keeps the schedule.
        if (saveGrid() == SaveOutcome::Failed)
            Cancel = 1;
        break;
    default:
        break;
    }
}

bool Main::writeResumeFile() {
    std::string failure;
    try {
        // The name is made by the program, not chosen: a link planted there is replaced,
        // as at every name of the presentation.
        AtomicFileWriter file(ResumeFilePath, AtomicFileWriter::Link::Replace);
        file.write(GridFile::resumeFileText(txtLogFile.Text, txtAudioURL.Text, txtHTMURL.Text,
                                            m_schedule.row(1).Length));
        file.commit();
        return true;
    } catch (const FileError& e) {
        failure = e.what();
    } catch (const std::bad_alloc&) {
        failure = "Out of memory";
    }
    m_ui.MsgBox("The resume file " + Text::forMessage(ResumeFilePath, Text::MessagePathChars) +
                    " could not be written.\r\n" + failure,
                Mb::OKOnly + Mb::Exclamation, "Resume File");
    return false;
}

void Main::enterMenuMode(MenuMode mode) {
    m_menuMode = mode;
    showMenuMode();
}

void Main::showMenuMode() {
    if (m_menuMode == MenuMode::Empty)
        MenusOff();
    else
        MenusOn();
    mnuRdLog.Enabled = m_menuMode != MenuMode::Grid;
    mnuReadGrid.Enabled = m_menuMode != MenuMode::Log;
    mnuConfig.Enabled = !m_resumeApplied;
}

void Main::MenusOn() {
    for (MenuItem* item : {&mnuWriteHTM, &mnuWrRam, &mnuWrCevents, &mnuSaveGrid, &mnuWrtAll})
        item->Enabled = true;
}

void Main::MenusOff() {
    for (MenuItem* item : {&mnuWriteHTM, &mnuWrRam, &mnuWrCevents, &mnuSaveGrid, &mnuWrtAll})
        item->Enabled = false;
}

void Main::CheckBoxes() {
    if (!Text::endsWithNoCase(txtHTMURL.Text, "/"))
        m_ui.MsgBox("Missing / at end of HTMURL", Mb::OKOnly);
    if (!Text::endsWithNoCase(txtAudioURL.Text, ".ra"))
        m_ui.MsgBox("Audio file doesn't have .ra extension", Mb::OKOnly);
}

void Main::mnuExit_Click() {
    Unload();
}

void Main::mnuConfig_Click() {
    {
        FrmConfig config(m_ui, m_settings, m_program, txtAudioURL, txtHTMURL);
        m_ui.ShowModal(config);
    }
    // However the window closed, the stored values are the ones to work with.
    loadUrlSettings();
}

void Main::mnuHelp_Click() {
    CMDialog1.HelpFile = HelpPath;
    CMDialog1.HelpCommand = cdlHelpContents;
    m_ui.ShowHelp(CMDialog1);
}

void Main::mnuAbout_Click() {
    About::show(m_ui, m_program, false);
}

void Main::Picture1_Click() {
    m_ui.EnterWhatsThisMode(*this);
}

void Main::dumpState(StateDump& dump) const {
    const auto clock = [](double value) {
        return value == ClockTime::NotSet ? std::string("not set") : ClockTime::format(value);
    };
    dump.flag("LogImported", LogImported);
    dump.flag("ScheduleEdited", m_schedule.ScheduleEdited());
    dump.flag("FirstRowEdited", m_schedule.FirstRowEdited());
    dump.flag("EditorTyped", EditorTyped);
    dump.flag("WriteAllActive", WriteAllActive);
    dump.state("RowCount", std::to_string(m_schedule.RowCount()));
    dump.state("LoggedFirstLength", clock(m_schedule.LoggedFirstLength()));
    dump.state("SavedFirstLength", clock(m_schedule.SavedFirstLength()));
    dump.text("LogFileName", LogFileName);
    dump.text("IMGPath", IMGPath);
    dump.text("CeventsLoc", CeventsLoc);
    // The rows as Grid1 shows them to the operator.
    const int last = std::clamp(m_schedule.RowCount() + 1, 1, MaxScheduleRows);
    for (int row = 1; row <= last; ++row) {
        std::vector<std::string> cells;
        for (int col = ScheduleColumn::Length; col <= ScheduleColumn::Title; ++col)
            cells.push_back(Grid1.TextMatrix(row, col));
        dump.row(row, cells);
    }
}
