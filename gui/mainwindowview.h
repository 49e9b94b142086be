#pragma once

#include <QMainWindow>

class Button;
class Label;
class TextField;
class Window;
class WindowBinder;
class QLabel;
class QLineEdit;
class QPushButton;

// The view of a program's main window: the model's menu bar over a central widget, a
// close box that asks the model, and closed() once the model has unloaded.
class MainWindowView : public QMainWindow {
    Q_OBJECT
  public:
    WindowBinder& binder() const { return *m_binder; }

  public slots:
    // The model's state and geometry once it has loaded.
    void showModel();

  signals:
    // The model has unloaded; the program ends with it.
    void closed();

  protected:
    MainWindowView(Window& window, QWidget* parent);
    void closeEvent(QCloseEvent* event) override;

    // The window's content, which scrolls on a screen too small for it.
    QWidget* central() const { return m_central; }
    // Widgets of the central widget, bound to the model's controls.
    QLabel* label(Label& model);
    QLineEdit* field(TextField& model);
    QPushButton* button(Button& model);
    // Starts the timers and shows the model's state once the layout is complete.
    void finish();

  private:
    WindowBinder* m_binder;
    QWidget* m_central;
    bool m_closedSignalled = false;
    bool m_closing = false;
};
