#pragma once

#include "forms/viewbinder.h"

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

// Ties the widgets of one view to the controls of its window model: the Qt widgets of
// the desktops' one binder skeleton (ViewBinder), which forwards every event to the
// model and then has every widget show the model's state again.
class WindowBinder : public QObject, public ViewBinder {
    Q_OBJECT
  public:
    WindowBinder(Window& window, QWidget* view);

    void bind(QLineEdit* edit, TextField& field);
    void bind(QAbstractButton* button, Button& model);
    void bind(QLabel* label, Label& model);
    void bind(QTableWidget* table, Grid& grid);
    // The window's menu bar, built from its menu items.
    void buildMenuBar(QMenuBar* bar);
    // One QTimer for each timer of the window.
    void bindTimers();

    // Gives the model the view's real size, before the model places itself: the size it
    // was laid out for, no smaller than the view's layout needs.
    void takeViewSize();
    // Puts the view where the model's Left, Top, Width and Height say, no larger than the
    // screen's free area (the content scrolls then).
    void applyGeometry();
    // Writes the view's position back into the model's Left and Top.
    void storePosition() override;

    // Called once, from sync(), when the model has closed.
    std::function<void()> onClosed;

  protected:
    void refresh() override;
    void showFault(const std::string& message) override;
    void closed() override;

  private:
    QSize frameSize() const;
    void bindMenu(QMenu* menu, MenuItem& item, QChar key);
    void bindAction(QAction* action, MenuItem& item, QChar key);
    void setHelp(QWidget* widget, const Control& control);
    void trackFocus(QLineEdit* edit, TextField& field);

    QWidget* m_view;
    std::vector<std::function<void()>> m_refreshers;
};
