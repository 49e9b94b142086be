#pragma once

#include "uiservices.h"

#include <memory>
#include <string>

class WindowView;

// What the user-interface services of every desktop share: the program's title for a box
// without one, the busy pointer's state, the screen read once in twips, the process start
// and the modal life of a window in the view the desktop makes for it.
class DesktopServices : public UiServices {
  public:
    explicit DesktopServices(std::string programTitle);

    int MsgBox(const std::string& text, int style = Mb::OKOnly,
               const std::string& title = {}) final;
    void SetBusy(bool busy) final;
    int ScreenWidth() const final;
    int ScreenHeight() const final;
    Area WorkArea() const final;
    void ShowModal(Window& window) final;
    StartResult StartProcess(const std::string& program, const std::vector<std::string>& args,
                             const std::string& workingDirectory) final;

  protected:
    const std::string& programTitle() const { return m_programTitle; }
    // A box's title: its own, else the program's.
    const std::string& titleOr(const std::string& title) const;

    // The modal box of MsgBox, with its title; returns one of Mb::OK ... Mb::No.
    virtual int showBox(const std::string& text, int style, const std::string& title) = 0;
    struct Screen {
        int width = 0;
        int height = 0;
        Area free; // without the desktop's panels
    };
    // The screen in twips.
    virtual Screen screen() const = 0;
    // The pointer over every window of the program.
    virtual void showBusy(bool busy) = 0;
    // The modal view of a window, made before it loads; null when the desktop has none.
    virtual std::unique_ptr<WindowView> modalView(Window& window) = 0;

  private:
    std::string m_programTitle;
    bool m_busy = false;
};
