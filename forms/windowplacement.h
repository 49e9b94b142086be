#pragma once

#include <string>

class Window;
class UiServices;
class SettingsStore;

// Windows open centred unless a stored position lies within the screen's first four
// fifths, and always wholly on the screen; they store their position on closing only when
// it lies strictly inside the first four fifths.
namespace WindowPlacement {

int centredLeft(const Window& window, const UiServices& ui);
int centredTop(const Window& window, const UiServices& ui);
void place(Window& window, const UiServices& ui, const SettingsStore& settings,
           const std::string& application, const std::string& section);
// As place, from a default position of the window's own.
void placeAt(Window& window, const UiServices& ui, const SettingsStore& settings,
             const std::string& application, const std::string& section, int defaultLeft,
             int defaultTop);
// Moves the window so no part of it lies off the screen's work area; a window larger than
// the area goes to the area's top left corner, and its view scrolls.
void keepOnScreen(Window& window, const UiServices& ui);
void store(const Window& window, const UiServices& ui, SettingsStore& settings,
           const std::string& application, const std::string& section);

} // namespace WindowPlacement
