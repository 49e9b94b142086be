#include "mainwindow.h"

// TODO(logimport): Read Log File.
void Main::mnuRdLog_Click() {}
