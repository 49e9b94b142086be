#pragma once

#include <QMainWindow>

class Form1;
class WindowBinder;

// The logger's window: what is being logged, Open Log and End Log, the options and help
// menus of the model Form1.
class LoggerView : public QMainWindow {
    Q_OBJECT
  public:
    explicit LoggerView(Form1& form, QWidget* parent = nullptr);

    WindowBinder& binder() const { return *m_binder; }

  public slots:
    // The model's state and geometry once it has loaded.
    void showModel();

  signals:
    // The model has unloaded; the program ends with it.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    WindowBinder* m_binder;
    bool m_closedSignalled = false;
};
