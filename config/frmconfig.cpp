#include "frmconfig.h"

// TODO(config)
FrmConfig::FrmConfig(UiServices& ui, SettingsStore& settings, Program& program,
                     const TextField& mainAudioURL, const TextField& mainHTMURL)
    : Window("frmConfig"), m_ui(ui), m_settings(settings), m_program(program),
      m_mainAudioURL(mainAudioURL), m_mainHTMURL(mainHTMURL)
{
}
void FrmConfig::Form_Load() {}
void FrmConfig::Form_Unload(int& Cancel) {}
void FrmConfig::cmdSave_Click() {}
void FrmConfig::cmdCancel_Click() {}
void FrmConfig::cmdCurrent_Click() {}
void FrmConfig::cmdCevents_Click() {}
void FrmConfig::Picture1_Click() {}
void FrmConfig::CheckBoxes() {}
