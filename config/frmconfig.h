#pragma once

#include "forms/controls.h"
#include "forms/program.h"
#include "forms/window.h"

#include <string>

class SettingsStore;
class UiServices;

// The configuration window "Cuemark Initial Configuration": the audio URL, the HTM URL,
// the image path pattern and the location of cevents.exe, checked and stored.
class FrmConfig : public Window {
  public:
    // The two fields are the main window's, read by Show Current.
    FrmConfig(UiServices& ui, SettingsStore& settings, Program& program,
              const TextField& mainAudioURL, const TextField& mainHTMURL);

    Label lblAudioURL{this, "lblAudioURL", "Audio URL"};
    TextField txtAudioURL{this, "txtAudioURL"};
    Label lblHTMURL{this, "lblHTMURL", "HTM URL Path"};
    TextField txtHTMURL{this, "txtHTMURL"};
    Label lblHTMNote{this, "lblHTMNote", "sld001.htm"};
    Label lblIMG{this, "lblIMG", "IMG File"};
    TextField txtIMGPath{this, "txtIMGPath"};
    Label lblCevents{this, "lblCevents", "Cevents Loc"};
    TextField txtCevents{this, "txtCevents"};
    Button cmdCevents{this, "cmdCevents", "---"};
    Button cmdCurrent{this, "cmdCurrent", "Show Current"};
    Button cmdSave{this, "cmdSave", "Save"};
    Button cmdCancel{this, "cmdCancel", "Cancel"};
    Button Picture1{this, "Picture1", "?"};
    Label lblWhatsThis{this, "lblWhatsThis", "What's This Help"};

    CommonDialog CmDialog;
    bool ClosedByButton = false;

    void cmdSave_Click();
    void cmdCancel_Click();
    void cmdCurrent_Click();
    void cmdCevents_Click();
    void Picture1_Click();
    void CheckBoxes();

    void dumpState(StateDump& dump) const override { dump.flag("ClosedByButton", ClosedByButton); }

  protected:
    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

  private:
    void setWhatsThisTexts();
    UiServices& m_ui;
    SettingsStore& m_settings;
    Program& m_program;
    const TextField& m_mainAudioURL;
    const TextField& m_mainHTMURL;
    std::string m_loadedAudioURL;
    std::string m_loadedHTMURL;
};
