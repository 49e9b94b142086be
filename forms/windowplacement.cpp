#include "windowplacement.h"

#include "common/settingsstore.h"
#include "uiservices.h"
#include "window.h"

#include <algorithm>

int WindowPlacement::centredLeft(const Window& window, const UiServices& ui) {
    const int left = (ui.ScreenWidth() - window.Width) / 2;
    return left < 0 ? 0 : left;
}

int WindowPlacement::centredTop(const Window& window, const UiServices& ui) {
    const int top = (ui.ScreenHeight() - window.Height) / 2;
    return top < 0 ? 0 : top;
}

void WindowPlacement::place(Window& window, const UiServices& ui, const SettingsStore& settings,
                            const std::string& application, const std::string& section) {
    placeAt(window, ui, settings, application, section, centredLeft(window, ui),
            centredTop(window, ui));
}

void WindowPlacement::placeAt(Window& window, const UiServices& ui, const SettingsStore& settings,
                              const std::string& application, const std::string& section, int left,
                              int top) {
    const double storedLeft = GetNumberSetting(settings, application, section, "Left", left);
    const double storedTop = GetNumberSetting(settings, application, section, "Top", top);
    window.Left = (storedLeft < 0 || storedLeft > ui.ScreenWidth() * 4.0 / 5)
                      ? left
                      : static_cast<int>(storedLeft);
    window.Top = (storedTop < 0 || storedTop > ui.ScreenHeight() * 4.0 / 5)
                     ? top
                     : static_cast<int>(storedTop);
    keepOnScreen(window, ui);
}

void WindowPlacement::keepOnScreen(Window& window, const UiServices& ui) {
    const UiServices::Area area = ui.WorkArea();
    const auto inside = [](int at, int size, int from, int length) {
        return std::max(from, std::min(at, from + length - size));
    };
    window.Left = inside(window.Left, window.Width, area.left, area.width);
    window.Top = inside(window.Top, window.Height, area.top, area.height);
}

void WindowPlacement::store(const Window& window, const UiServices& ui, SettingsStore& settings,
                            const std::string& application, const std::string& section) {
    const bool inside = window.Left > 0 && window.Left < ui.ScreenWidth() * 4.0 / 5 &&
                        window.Top > 0 && window.Top < ui.ScreenHeight() * 4.0 / 5;
    if (!inside)
        return;
    settings.SaveSetting(application, section, "Left", numberSettingText(window.Left));
    settings.SaveSetting(application, section, "Top", numberSettingText(window.Top));
}
