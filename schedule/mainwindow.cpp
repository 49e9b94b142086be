#include "mainwindow.h"

#include "common/settingsstore.h"
#include "common/uiservices.h"

Main::Main(UiServices& ui, SettingsStore& settings, Program& program)
    : Window("Main"), m_ui(ui), m_settings(settings), m_program(program)
{
    Width = 9600;
    Height = 7800;
    wireHandlers();
}

void Main::wireHandlers()
{
    mnuRdLog.Click = [this] { mnuRdLog_Click(); };
    mnuReadGrid.Click = [this] { mnuReadGrid_Click(); };
    mnuSaveGrid.Click = [this] { mnuSaveGrid_Click(); };
    mnuExit.Click = [this] { mnuExit_Click(); };
    mnuConfig.Click = [this] { mnuConfig_Click(); };
    mnuHelp.Click = [this] { mnuHelp_Click(); };
    mnuAbout.Click = [this] { mnuAbout_Click(); };
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

// TODO(lifecycle): start-up, close-down, menus and small commands.
void Main::Form_Load() {}
void Main::Form_Unload(int& Cancel) {}
void Main::loadUrlSettings() {}
void Main::setupGrid() {}
void Main::MenusOn() {}
void Main::MenusOff() {}
void Main::CheckBoxes() {}
void Main::mnuExit_Click() {}
void Main::mnuConfig_Click() {}
void Main::mnuHelp_Click() {}
void Main::mnuAbout_Click() {}
void Main::Picture1_Click() {}
void Main::writeResumeFile() {}
