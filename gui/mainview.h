#pragma once

#include "mainwindowview.h"

class Main;

// The post-processor's main window: the schedule grid, the row editor, the URL fields
// and the menu of the model Main.
class MainView : public MainWindowView {
    Q_OBJECT
  public:
    explicit MainView(Main& main, QWidget* parent = nullptr);
};
