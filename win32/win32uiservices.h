#pragma once

#include "forms/desktopservices.h"

#include <string>

// The desktop services of the programs on the Windows API: MessageBoxW, the common file
// dialogs, the HTML help in the default browser, the busy pointer, the screen in twips.
class Win32UiServices : public DesktopServices {
  public:
    explicit Win32UiServices(std::string programTitle);
    ~Win32UiServices() override;

    bool ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) override;
    void ShowHelp(const CommonDialog& dialog) override;
    void EnterWhatsThisMode(Window& window) override;

  protected:
    int showBox(const std::string& text, int style, const std::string& title) override;
    Screen screen() const override;
    void showBusy(bool busy) override;
    std::unique_ptr<WindowView> modalView(Window& window) override;
};
