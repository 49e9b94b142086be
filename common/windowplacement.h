#pragma once

#include <string>

class Window;
class UiServices;
class SettingsStore;

// Windows open centred unless a stored position lies within the screen's first four
// fifths; they store their position on closing only when it lies strictly inside them.
namespace WindowPlacement {

int centredLeft(const Window& window, const UiServices& ui);
int centredTop(const Window& window, const UiServices& ui);
void place(Window& window, const UiServices& ui, const SettingsStore& settings,
           const std::string& application, const std::string& section);
// As place, from a default position of the window's own.
void placeAt(Window& window, const UiServices& ui, const SettingsStore& settings,
             const std::string& application, const std::string& section, int defaultLeft,
             int defaultTop);
void store(const Window& window, const UiServices& ui, SettingsStore& settings,
           const std::string& application, const std::string& section);

} // namespace WindowPlacement
