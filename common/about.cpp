#include "about.h"

// TODO(about)
About::About(UiServices& ui, Program& program) : Window("About"), m_ui(ui), m_program(program) {}
void About::Form_Load() {}
void About::Timer1_Timer() {}
void About::Command1_Click() {}
