#include "mainwindow.h"

// TODO(schedule): the row editor and the Recompute.
void Main::Grid1_Click() {}
void Main::cmdUpdate_Click() {}
void Main::cmd1LogTIme_Click() {}
void Main::cmd1SaveTIme_Click() {}
void Main::txtTapeEarly_LostFocus() {}
void Main::txtTapeLate_LostFocus() {}
void Main::txtIMGURL_KeyPress(int& KeyAscii) {}
void Main::txtSlideTitle_KeyPress(int& KeyAscii) {}
void Main::cmdAudioURL_Click() {}
void Main::cmdRAM_Click() {}
void Main::cmdSlide_Click() {}
void Main::showFirstRowAlternatives(bool show) {}
void Main::copyRowToEditor(int r) {}
void Main::Recompute() {}
void Main::clearRowsAfter(int lastRow) {}
