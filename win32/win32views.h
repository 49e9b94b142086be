#pragma once

#include <windows.h>

#include <memory>

class Win32View;
class Window;

// The Win32 view of each window of the system (About, frmConfig, Main, Form1), found by
// the window's name; null when none is known.
std::unique_ptr<Win32View> makeWin32View(Window& window, HWND owner);
