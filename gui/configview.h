#pragma once

#include <QDialog>

class FrmConfig;
class WindowBinder;

// The configuration window: the four URL settings, checked and stored by the model.
class ConfigView : public QDialog {
    Q_OBJECT
  public:
    explicit ConfigView(FrmConfig& config, QWidget* parent = nullptr);

    WindowBinder& binder() const { return *m_binder; }

  public slots:
    void reject() override;

  private:
    FrmConfig& m_config;
    WindowBinder* m_binder;
};
