#pragma once

// The small rules of the Win32 desktop layer, apart from any window so they can be tested:
// twips and pixels, the screen's text, the box styles, the dialog filters and the help
// file the desktop can open.
#include <windows.h>

#include <string>

namespace Win32Parts {

// Window geometry is kept in twips by the models: 1440 to the inch at the monitor's DPI.
int toPixels(int twips, int dpi);
int toTwips(int pixels, int dpi);

// A model's 8-bit text as the screen shows it (EightBitText's rule), and the operator's
// edit of it back into the model's bytes.
std::wstring toScreen(const std::string& bytes);
std::string fromScreen(const std::wstring& text, const std::string& previous);
// A button's or menu item's caption: an '&' is shown, not taken as an access key.
std::wstring captionOf(const std::string& bytes);
// The text a window shows: a control's, or a window's title.
std::wstring textOf(HWND window);

// The MessageBoxW flags for a box style (buttons + icon + default button), and the
// result the model expects for the button MessageBoxW returns.
unsigned messageBoxFlags(int style);
int messageBoxResult(int pressed, int style);

// "Text Files (*.txt)|*.txt|..." as the common dialogs' filter: pairs separated by nulls,
// the list ended by two. An odd trailing description is dropped.
std::wstring dialogFilter(const std::string& filter);

// The help as the desktop opens it: the old help viewer is gone from Windows, so the
// build ships each ".hlp" help file as the same HTML under ".htm" beside it.
std::string browserHelpPath(const std::string& helpFile);

} // namespace Win32Parts

// The DPI of the primary screen, where the models' screen and window positions are
// measured, and of the monitor a window is on.
namespace Win32Dpi {
int system();
int ofWindow(HWND window);
} // namespace Win32Dpi
