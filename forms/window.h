#pragma once

#include "controls.h"

#include <string>
#include <vector>

// Receives the state lines of a window's dump; the dumper decides how texts are quoted.
class StateDump {
  public:
    virtual ~StateDump() = default;
    // "state NAME VALUE", the value as it stands.
    virtual void state(const std::string& name, const std::string& value) = 0;
    // "state NAME true|false".
    void flag(const std::string& name, bool value) { state(name, value ? "true" : "false"); }
    // "state NAME \"TEXT\"", the text quoted.
    virtual void text(const std::string& name, const std::string& text) = 0;
    // "row NUMBER \"CELL\" ...", each cell quoted.
    virtual void row(int number, const std::vector<std::string>& cells) = 0;
};

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

    // ---- The operator's actions, with the rules every front end shares ----
    // Why the operator cannot reach a control: empty when it can. A hidden or disabled
    // control refuses, and so does a menu item under a hidden or disabled menu
    // ("disabled (menu mnuFile)").
    std::string refusal(const Control& control) const;
    bool isReachable(const Control& control) const { return refusal(control).empty(); }

    // Each action returns its refusal and does nothing when the control cannot be
    // reached; otherwise it runs the handlers and returns an empty text.
    // A click on a button or menu item (or on the grid's current cell): the focused
    // field loses the focus first, so its lost-focus check runs before the command.
    // Every desktop's click takes this one road.
    std::string click(Control& control);
    // A click on a grid cell makes it current before the grid's click handler runs.
    std::string clickCell(Grid& grid, int row, int col);
    // One key in a field: the field takes the focus (Tab leaves it instead), and the
    // key passes through its key-press handler, which may replace it or swallow it (0).
    // Returns the key the field takes.
    int pressKey(TextField& field, int key);
    // Focus the field, empty it and type text key by key.
    std::string type(TextField& field, const std::string& text);
    // Be in the field and leave it: its lost-focus check runs.
    std::string leave(TextField& field);
    // The close box: the focused field loses the focus, then the unload handler may
    // keep the window open. True when the window has closed.
    bool requestClose();
    // A timer ticks only while it is enabled; false when it did not tick.
    bool tick(Timer& timer);
    // Every enabled timer ticks once, in the window's order, until the window closes.
    // False when none ticked.
    bool tickTimers();

    // What a dump shows beyond the controls: the window's own variables. Nothing by
    // default.
    virtual void dumpState(StateDump& dump) const { (void)dump; }

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
