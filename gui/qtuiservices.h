#pragma once

#include "forms/desktopservices.h"
#include "viewregistry.h"

#include <QPointer>
#include <QStringList>

#include <memory>
#include <string>

class QAbstractButton;
class QFileDialog;
class QMessageBox;
class QTextBrowser;
class QWidget;

// A message box laid out from a style sum (buttons + icon + default button), ready to
// exec(); Escape and the close box give Cancel where there is one, else No or OK.
std::unique_ptr<QMessageBox> makeMessageBox(const QString& text, int style, const QString& title,
                                            QWidget* parent = nullptr);
// The Mb:: result of the button that closed the box; the escape button's when none did.
int resultOf(const QMessageBox& box, QAbstractButton* clicked);

// "Text Files (*.txt)|*.txt|..." as Qt name filters, one per description/pattern pair.
QStringList nameFiltersOf(const std::string& filter);
// The file dialog for one use of a window's dialog object, ready to exec().
std::unique_ptr<QFileDialog> makeFileDialog(const CommonDialog& dialog, FileDialogKind kind,
                                            QWidget* parent = nullptr);

// The desktop services of the programs, on Qt Widgets.
class QtUiServices : public DesktopServices {
  public:
    // Modal windows are shown in the views the registry has for them.
    explicit QtUiServices(std::string programTitle, const ViewRegistry& views = systemViews());
    ~QtUiServices() override;

    bool ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) override;
    void ShowHelp(const CommonDialog& dialog) override;
    void EnterWhatsThisMode(Window& window) override;

    // The box MsgBox would show, with the program's title standing in for an empty one.
    std::unique_ptr<QMessageBox> messageBox(const std::string& text, int style,
                                            const std::string& title) const;
    // The help viewer once ShowHelp has opened it.
    QTextBrowser* helpViewer() const;

  protected:
    int showBox(const std::string& text, int style, const std::string& title) override;
    Screen screen() const override;
    void showBusy(bool busy) override;
    std::unique_ptr<WindowView> modalView(Window& window) override;

  private:
    const ViewRegistry& m_views;
    QPointer<QWidget> m_helpWindow;
    QPointer<QTextBrowser> m_helpBrowser;
};
