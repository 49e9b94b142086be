#pragma once

#include "forms/windowview.h"

#include <QDialog>

class WindowBinder;

// A window shown modally: its close box asks the model, and the dialog ends once the
// model has unloaded. Subclasses lay out and bind the widgets, then call finish().
class ModalView : public QDialog, public WindowView {
    Q_OBJECT
  public:
    ModalView(Window& window, QWidget* parent);

    WindowBinder& binder() const { return *m_binder; }
    // Runs the dialog until the model has unloaded.
    void runModal() override;

  public slots:
    void reject() override;
    // The model's state and geometry once it has loaded.
    void showModel() override;

  protected:
    // Where subclasses lay out their widgets; it scrolls on a screen too small for it.
    QWidget* content() const { return m_content; }
    // Starts the timers, shows the model's state and places the dialog.
    void finish();

  private:
    WindowBinder* m_binder;
    QWidget* m_content;
};
