#pragma once

#include <QMainWindow>

class Main;
class WindowBinder;

// The post-processor's main window: the schedule grid, the row editor, the URL fields
// and the menu of the model Main.
class MainView : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainView(Main& main, QWidget* parent = nullptr);

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
    Main& m_main;
    WindowBinder* m_binder;
    bool m_closedSignalled = false;
};
