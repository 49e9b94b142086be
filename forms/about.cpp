#include "about.h"

#include "uiservices.h"
#include "windowplacement.h"

About::About(UiServices& ui, Program& program) : Window("About"), m_ui(ui), m_program(program) {
    Width = 5400;
    Height = 3600;
    Timer1.Tick = [this] { Timer1_Timer(); };
    Command1.Click = [this] { Command1_Click(); };
    Command1.Default = true;
    setWhatsThisTexts();
}

void About::Form_Load() {
    Left = WindowPlacement::centredLeft(*this, m_ui);
    Top = WindowPlacement::centredTop(*this, m_ui);
    WindowPlacement::keepOnScreen(*this, m_ui);
    Caption = "About";
    Label4.Caption = m_program.title;
    Label3.Caption = m_program.version;
    lblNotice.Caption = "Made by the Cuemark developers.\r\nAll rights reserved.";
    if (m_program.SplashMode) {
        Command1.Visible = false;
        Timer1.Enabled = true;
        Timer1.Interval = 1000;
    } else {
        Command1.Visible = true;
        Timer1.Enabled = false;
    }
}

void About::Timer1_Timer() {
    if (!m_program.SplashMode)
        return;
    m_program.SplashMode = false;
    Timer1.Enabled = false;
    Unload();
}

void About::Command1_Click() {
    Unload();
}

// The short help of each control in What's This mode.
void About::setWhatsThisTexts() {
    Label1.WhatsThis = "The system this program belongs to.";
    Label2.WhatsThis = "The system's name is a trademark.";
    Label4.WhatsThis = "This program's name.";
    Label3.WhatsThis = "This program's version.";
    lblNotice.WhatsThis = "Who made the program.";
    Command1.WhatsThis = "Closes this box.";
}

void About::show(UiServices& ui, Program& program, bool asSplash) {
    program.SplashMode = asSplash;
    {
        About box(ui, program);
        ui.ShowModal(box);
    }
    program.SplashMode = false;
}
