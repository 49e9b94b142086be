#pragma once

#include "forms/windowview.h"

#include <windows.h>

class Win32View;

// The Win32 view of each class of window, given the window it covers (null for a main
// window).
using Win32ViewRegistry = WindowViews<Win32View, HWND>;

// The views of every window of the system: About, frmConfig, Main, Form1.
const Win32ViewRegistry& win32Views();
