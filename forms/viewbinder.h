#pragma once

#include <functional>
#include <string>
#include <vector>

class Control;
class Grid;
class TextField;
class Timer;
class Window;

// What every desktop's view of a window does with the operator's events, apart from any
// toolkit: each event reaches the model's handler through forward(), after which the view
// shows the state the handler left. The view holds no rule of the system; a toolkit's view
// derives from this and says how it shows the model, where its window stands and how it
// tells the operator of a fault.
class ViewBinder {
  public:
    explicit ViewBinder(Window& window);
    virtual ~ViewBinder() = default;
    ViewBinder(const ViewBinder&) = delete;
    ViewBinder& operator=(const ViewBinder&) = delete;

    Window& window() const { return m_window; }

    // Runs a handler of the model, then shows the state it left. A fault in a handler is
    // told to the operator and must not take the program down with the operator's work.
    void forward(const std::function<void()>& handler);
    void sync();
    bool isSyncing() const { return m_syncing; }

    // Every click the operator makes on a button, a menu item or the grid's current cell
    // (Enter on the grid is one) takes the window's rules: a control the operator cannot
    // reach does nothing.
    void click(Control& control);
    void clickCell(Grid& grid, int row, int col);
    // The keys move the grid's current cell inside its body; only a click or Enter runs
    // the grid's handler.
    void moveCurrentCell(Grid& grid, int row, int col);

    // A key typed into a field passes its key-press handler first; returns the key the
    // field takes (0: none).
    int typedKey(TextField& field, int key);
    // The field's text changed without a key (a paste): that is typing too, so the field
    // takes the model's focus.
    void edited(TextField& field, std::string text);
    // The operator entered or left a field; the model's focus follows, so a field's
    // lost-focus check runs as the operator leaves it.
    void entered(TextField& field);
    void left(TextField& field);

    // The window's timers, in its order: each has one timer of the desktop.
    const std::vector<Timer*>& timers() const { return m_timers; }
    void tick(Timer& timer);
    // The interval the desktop's timer of a model timer runs at; 0 while it must not tick.
    int interval(const Timer& timer) const;

    // The close box: the focused field loses the focus, then the model unloads unless its
    // unload handler cancels. True when the window has closed.
    bool requestClose();

  protected:
    // Every control shows the model's state again.
    virtual void refresh() = 0;
    // The window's place on the screen into the model's Left and Top.
    virtual void storePosition() = 0;
    virtual void showFault(const std::string& message) = 0;
    // Called once, from sync(), when the model has unloaded.
    virtual void closed() {}

  private:
    Window& m_window;
    std::vector<Timer*> m_timers;
    bool m_syncing = false;
    bool m_closedReported = false;
};
