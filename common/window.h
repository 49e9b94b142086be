#pragma once

#include "controls.h"

#include <string>
#include <vector>

// A window model: its controls, its geometry in twips and its life cycle. It holds no
// widget; a view shows it and forwards the operator's events to its handlers.
class Window {
  public:
    explicit Window(std::string name);
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    const std::string& name() const { return m_name; }

    std::string Caption;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    // Runs Form_Load; done by whoever shows the window.
    void load();
    // Runs Form_Unload; returns false when the handler cancelled the unload.
    bool Unload();
    bool isLoaded() const { return m_loaded; }
    bool isClosed() const { return m_closed; }

    // Moves the focus; the field that had it gets its lost-focus event first.
    void setFocus(Control* control);
    Control* focus() const { return m_focus; }
    // The focused field loses the focus (a click elsewhere, the window closing).
    void releaseFocus() { setFocus(nullptr); }

    Control* control(const std::string& name) const;
    const std::vector<Control*>& controls() const { return m_controls; }
    const std::vector<MenuItem*>& menuBar() const { return m_menuBar; }

  protected:
    virtual void Form_Load() {}
    virtual void Form_Unload(int& Cancel) { (void)Cancel; }

  private:
    friend class Control;
    friend class MenuItem;
    void registerControl(Control* control) { m_controls.push_back(control); }
    void addMenu(MenuItem* item) { m_menuBar.push_back(item); }

    std::string m_name;
    std::vector<Control*> m_controls;
    std::vector<MenuItem*> m_menuBar;
    Control* m_focus = nullptr;
    bool m_loaded = false;
    bool m_closed = false;
};
