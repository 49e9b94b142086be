#pragma once

#include "controls.h"
#include "program.h"
#include "window.h"

class UiServices;

// The product box of all three programs: a one-second splash at start-up while
// Program::SplashMode is set, otherwise a box that stays until OK.
class About : public Window {
  public:
    About(UiServices& ui, Program& program);

    Label Label1{this, "Label1", "The Cuemark System"};
    Label Label2{this, "Label2", "TM"};
    Label Label4{this, "Label4"}; // the program's title, set at load
    Label Label3{this, "Label3"}; // the version text, set at load
    Label lblNotice{this, "lblNotice"};
    Button Command1{this, "Command1", "OK"};
    Timer Timer1{this, "Timer1"};

    void Timer1_Timer();
    void Command1_Click();

    // Shows the box modally, as the start-up splash or from a Help menu; SplashMode is
    // clear again afterwards either way.
    static void show(UiServices& ui, Program& program, bool asSplash);

  protected:
    void Form_Load() override;

  private:
    void setWhatsThisTexts();
    UiServices& m_ui;
    Program& m_program;
};
