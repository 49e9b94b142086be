#pragma once

#include <QChar>
#include <QObject>
#include <QSize>

#include <functional>
#include <vector>

class Button;
class Control;
class Grid;
class Label;
class MenuItem;
class TextField;
class Window;

class QAbstractButton;

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QTableWidget;
class QWidget;

// Ties the widgets of one view to the controls of its window model. Every event goes to
// the model's handler through forward(), after which every widget shows the model's
// state again; the view itself holds no rule of the system.
class WindowBinder : public QObject {
    Q_OBJECT
  public:
    WindowBinder(Window& window, QWidget* view);

    Window& window() const { return m_window; }

    void bind(QLineEdit* edit, TextField& field);
    void bind(QAbstractButton* button, Button& model);
    void bind(QLabel* label, Label& model);
    void bind(QTableWidget* table, Grid& grid);
    // The window's menu bar, built from its menu items.
    void buildMenuBar(QMenuBar* bar);
    // One QTimer for each timer of the window.
    void bindTimers();

    // Runs a handler of the model, then shows the state it left.
    void forward(const std::function<void()>& handler);
    // A click on a button, a menu item or the grid's current cell, by the window's rules.
    void click(Control& control);
    void sync();

    // Gives the model the view's real size, before the model places itself: the size it
    // was laid out for, no smaller than the view's layout needs.
    void takeViewSize();
    // Puts the view where the model's Left, Top, Width and Height say, no larger than the
    // screen's free area (the content scrolls then).
    void applyGeometry();
    // Writes the view's position back into the model's Left and Top.
    void storePosition();
    // The close box: the focused field loses the focus, then the model unloads unless its
    // unload handler cancels. True when the view may close.
    bool requestClose();

    // Called once, from sync(), when the model has closed.
    std::function<void()> onClosed;

  private:
    QSize frameSize() const;
    void bindMenu(QMenu* menu, MenuItem& item, QChar key);
    void bindAction(QAction* action, MenuItem& item, QChar key);
    void setHelp(QWidget* widget, const Control& control);
    void trackFocus(QLineEdit* edit, TextField& field);

    Window& m_window;
    QWidget* m_view;
    std::vector<std::function<void()>> m_refreshers;
    bool m_closedReported = false;
    bool m_syncing = false;
};
