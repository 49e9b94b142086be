#pragma once

#include <QDialog>

class About;
class WindowBinder;

// The product box: the splash at start-up and the Help menu's About.
class AboutView : public QDialog {
    Q_OBJECT
  public:
    explicit AboutView(About& about, QWidget* parent = nullptr);

    WindowBinder& binder() const { return *m_binder; }

  public slots:
    void reject() override;

  private:
    About& m_about;
    WindowBinder* m_binder;
};
