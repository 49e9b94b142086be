#pragma once

#include "mainwindowview.h"

class Form1;

// The logger's window: what is being logged, Open Log and End Log, the options and help
// menus of the model Form1.
class LoggerView : public MainWindowView {
    Q_OBJECT
  public:
    explicit LoggerView(Form1& form, QWidget* parent = nullptr);
};
