#pragma once

#include "forms/windowview.h"

class QWidget;

// The Qt view of each class of window, given its parent. A modal window's view is a
// QDialog (see ModalView); a main window's view emits closed() once its model has
// unloaded and has a slot showModel() that shows the state the model's load left.
using ViewRegistry = WindowViews<QWidget, QWidget*>;

// The views of every window of the system: About, frmConfig, Main, Form1.
const ViewRegistry& systemViews();
