#include "frmconfig.h"

#include "common/settingsstore.h"
#include "forms/uiservices.h"
#include "forms/windowplacement.h"
#include "urlsettings.h"

#include <initializer_list>
#include <string_view>

namespace {
constexpr const char* PlacementSection = PostSettings::ConfigWindowSection;

bool endsWithAny(const std::string& text, std::initializer_list<std::string_view> suffixes) {
    for (std::string_view suffix : suffixes) {
        if (std::string_view(text).ends_with(suffix))
            return true;
    }
    return false;
}
} // namespace

FrmConfig::FrmConfig(UiServices& ui, SettingsStore& settings, Program& program,
                     const TextField& mainAudioURL, const TextField& mainHTMURL)
    : Window("frmConfig"), m_ui(ui), m_settings(settings), m_program(program),
      m_mainAudioURL(mainAudioURL), m_mainHTMURL(mainHTMURL) {
    Caption = "Cuemark Initial Configuration";
    Width = 6600;
    Height = 3900;
    setWhatsThisTexts();
    cmdSave.Click = [this] { cmdSave_Click(); };
    cmdCancel.Click = [this] { cmdCancel_Click(); };
    cmdCurrent.Click = [this] { cmdCurrent_Click(); };
    cmdCevents.Click = [this] { cmdCevents_Click(); };
    Picture1.Click = [this] { Picture1_Click(); };
}

void FrmConfig::Form_Load() {
    CmDialog.HelpFile = helpFilePath(m_program);
    ClosedByButton = false;
    WindowPlacement::place(*this, m_ui, m_settings, PostSettings::Application, PlacementSection);

    const UrlSettings urls = UrlSettings::load(m_settings);
    txtAudioURL.Text = urls.AudioURL;
    txtHTMURL.Text = urls.HTMLURL;
    txtIMGPath.Text = urls.IMGPath;
    txtCevents.Text = urls.CeventsLoc;
    // Filling the fields is not a change; only what the operator does after this is.
    m_loadedAudioURL = txtAudioURL.Text;
    m_loadedHTMURL = txtHTMURL.Text;
}

void FrmConfig::Form_Unload(int& Cancel) {
    const bool urlsChanged =
        txtAudioURL.Text != m_loadedAudioURL || txtHTMURL.Text != m_loadedHTMURL;
    if (!ClosedByButton && urlsChanged &&
        m_ui.MsgBox("Exit Without Saving?", Mb::OKCancel) == Mb::Cancel) {
        Cancel = 1;
        return;
    }
    WindowPlacement::store(*this, m_ui, m_settings, PostSettings::Application, PlacementSection);
}

void FrmConfig::cmdSave_Click() {
    if (txtIMGPath.Text.find("{PF}") == std::string::npos &&
        m_ui.MsgBox("PowerPoint File Name not in Path!", Mb::OKCancel + Mb::DefaultButton2,
                    "WARNING") == Mb::Cancel)
        return;
    CheckBoxes();
    const UrlSettings urls{txtAudioURL.Text, txtHTMURL.Text, txtIMGPath.Text, txtCevents.Text};
    urls.save(m_settings);
    ClosedByButton = true;
    Unload();
}

void FrmConfig::cmdCancel_Click() {
    ClosedByButton = true;
    Unload();
}

void FrmConfig::cmdCurrent_Click() {
    txtAudioURL.Text = m_mainAudioURL.Text;
    txtHTMURL.Text = m_mainHTMURL.Text;
}

void FrmConfig::cmdCevents_Click() {
    CmDialog.DialogTitle = "Cevents EXE";
    CmDialog.CancelError = true;
    CmDialog.Filter = "exe files (*.exe)|*.exe";
    CmDialog.FilterIndex = 1;
    if (m_ui.ShowFileDialog(CmDialog, FileDialogKind::Open))
        txtCevents.Text = CmDialog.FileName;
}

void FrmConfig::Picture1_Click() {
    m_ui.EnterWhatsThisMode(*this);
}

// Letter case counts here: the stored values are taken exactly as typed.
void FrmConfig::CheckBoxes() {
    if (!endsWithAny(txtHTMURL.Text, {"/"}))
        m_ui.MsgBox("Missing / at end of HTMURL", Mb::OKOnly);
    if (!endsWithAny(txtAudioURL.Text, {".RA", ".ra"}))
        m_ui.MsgBox("Audio file doesn't have .ra extension", Mb::OKOnly);
    if (!endsWithAny(txtIMGPath.Text, {".GIF", ".gif", ".jpg", ".JPG"}))
        m_ui.MsgBox("Image File doesn't have .gif or .jpg extension)", Mb::OKOnly);
}

// The short help of each control in What's This mode.
void FrmConfig::setWhatsThisTexts() {
    lblAudioURL.WhatsThis = "The URL of the lecture's RealAudio file.";
    txtAudioURL.WhatsThis =
        "The URL of the lecture's RealAudio file, ending in .ra. Stored by Save and "
        "offered at every start.";
    lblHTMURL.WhatsThis = "The URL of the folder that will hold the slide pages.";
    txtHTMURL.WhatsThis = "The URL of the folder that will hold the slide pages, ending in /.";
    lblHTMNote.WhatsThis = "The first page's name, appended to the HTM URL.";
    lblIMG.WhatsThis = "The pattern of the slide images' URLs.";
    txtIMGPath.WhatsThis =
        "The pattern of the slide images' URLs, relative to the pages. {PF} stands for the "
        "presentation's file name and 000 for the slide number: ../{PF}/sld000.gif.";
    lblCevents.WhatsThis = "Where the RealAudio tool cevents.exe is.";
    txtCevents.WhatsThis =
        "The full path of the RealAudio tool cevents.exe, which compiles the event list.";
    cmdCevents.WhatsThis = "Browse for cevents.exe.";
    cmdCurrent.WhatsThis =
        "Copies the main window's Audio URL and HTM URL into these fields; Save stores "
        "them.";
    cmdSave.WhatsThis =
        "Checks the values, warns about doubtful ones, stores them and closes the window.";
    cmdCancel.WhatsThis = "Closes the window without storing anything.";
    Picture1.WhatsThis = "Click here, then on any control, to see what that control does.";
    lblWhatsThis.WhatsThis =
        "Click the ? button, then on any control, to see what that control does.";
}
