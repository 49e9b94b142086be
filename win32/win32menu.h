#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class MenuItem;
class Window;

// The menu bar of a window model as a real Win32 menu, so other programs can drive it: a
// menu item's command id is FirstId plus its place among the window's menu items in menu
// order, menus and separators counted (Form1's "About" is 1011, Main's "Configuration"
// 1013), whatever is hidden. Items show their access keys, and their shortcuts after a
// tab as Windows menus do; the shortcuts are the window's accelerators.
class Win32Menu {
  public:
    static constexpr int FirstId = 1000;

    explicit Win32Menu(Window& window);
    ~Win32Menu();
    Win32Menu(const Win32Menu&) = delete;
    Win32Menu& operator=(const Win32Menu&) = delete;

    // The bar on the window, built again when the items the model shows have changed, with
    // each item's state. A window without menu items has no bar.
    void sync(HWND window);
    bool hasBar() const { return m_bar != nullptr; }
    HACCEL accelerators() const { return m_accelerators; }
    // The item a command id stands for; null for another id.
    MenuItem* itemOf(int id) const;

  private:
    // False when the bar already shows the items the model shows.
    bool build();
    std::wstring captionOf(const MenuItem& item) const;

    Window& m_window;
    HMENU m_bar = nullptr; // the window's, which destroys it with itself
    HACCEL m_accelerators = nullptr;
    std::vector<MenuItem*> m_items; // by command id - FirstId
    std::map<const MenuItem*, char> m_keys;
    std::string m_shape; // which items the bar shows
};
