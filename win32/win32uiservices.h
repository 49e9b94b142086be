#pragma once

#include "forms/uiservices.h"

#include <string>

// The desktop services of the programs on the Windows API: MessageBoxW, the common file
// dialogs, the HTML help in the default browser, the busy pointer, the screen in twips.
class Win32UiServices : public UiServices {
  public:
    explicit Win32UiServices(std::string programTitle);
    ~Win32UiServices() override;

    int MsgBox(const std::string& text, int style = Mb::OKOnly,
               const std::string& title = {}) override;
    bool ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) override;
    void ShowHelp(const CommonDialog& dialog) override;
    void EnterWhatsThisMode(Window& window) override;
    void SetBusy(bool busy) override;
    int ScreenWidth() const override;
    int ScreenHeight() const override;
    Area WorkArea() const override;
    void ShowModal(Window& window) override;
    StartResult StartProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::string& workingDirectory) override;

  private:
    std::string m_programTitle;
    bool m_busy = false;
};
