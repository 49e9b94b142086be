#pragma once

#include "common/processstart.h"

#include "controls.h"

#include <string>
#include <vector>

class Window;

// Message box styles and results, as the windows of the system add them up:
// buttons + icon + default button.
namespace Mb {
inline constexpr int OKOnly = 0;
inline constexpr int OKCancel = 1;
inline constexpr int YesNoCancel = 3;
inline constexpr int YesNo = 4;
inline constexpr int Exclamation = 48;
inline constexpr int DefaultButton2 = 256;

inline constexpr int OK = 1;
inline constexpr int Cancel = 2;
inline constexpr int Yes = 6;
inline constexpr int No = 7;

inline constexpr int buttonsOf(int style) {
    return style & 7;
}
inline constexpr bool hasExclamation(int style) {
    return (style & 0x70) == Exclamation;
}
inline constexpr bool secondIsDefault(int style) {
    return (style & 0x300) == DefaultButton2;
}
// The results of a box's buttons, in the order the box shows them.
std::vector<int> answersOf(int style);
// The result a box gives when its default button is pressed.
int defaultAnswer(int style);
// Whether a box of this style has the button that gives this result.
bool hasAnswer(int style, int answer);
// "OK", "Cancel", "Yes", "No".
std::string answerName(int answer);
} // namespace Mb

enum class FileDialogKind { Open, Save };

// Everything a window model asks of the desktop. Window models call nothing else of the
// toolkit, so they run the same under Qt, under the script runner and in tests.
class UiServices {
  public:
    virtual ~UiServices() = default;

    // Modal; an empty title shows the program's title. Returns one of Mb::OK ... Mb::No.
    virtual int MsgBox(const std::string& text, int style = Mb::OKOnly,
                       const std::string& title = {}) = 0;

    // Shows the dialog for opening or saving, starting from dialog.FileName. On a choice
    // FileName becomes the chosen full path and the result is true; cancelling returns
    // false and leaves FileName as it was.
    virtual bool ShowFileDialog(CommonDialog& dialog, FileDialogKind kind) = 0;

    // The help viewer at dialog.HelpFile with dialog.HelpCommand.
    virtual void ShowHelp(const CommonDialog& dialog) = 0;
    // The next click on a control of the window shows that control's help topic.
    virtual void EnterWhatsThisMode(Window& window) = 0;

    virtual void SetBusy(bool busy) = 0;

    virtual int ScreenWidth() const = 0;  // twips
    virtual int ScreenHeight() const = 0; // twips
    // The part of the screen windows may take, without the desktop's panels; in twips.
    struct Area {
        int left = 0;
        int top = 0;
        int width = 0;
        int height = 0;
    };
    virtual Area WorkArea() const { return {0, 0, ScreenWidth(), ScreenHeight()}; }

    // Loads the window, shows it modally and returns once it has unloaded.
    virtual void ShowModal(Window& window) = 0;

    // Starts a program with an argument list, never through a shell, in workingDirectory,
    // without waiting for it; every name is passed on as its bytes.
    virtual StartResult StartProcess(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& workingDirectory) = 0;
};

// The hourglass for the length of a scope, restored on every way out.
class BusyPointer {
  public:
    explicit BusyPointer(UiServices& ui) : m_ui(ui) { m_ui.SetBusy(true); }
    ~BusyPointer() { m_ui.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

  private:
    UiServices& m_ui;
};
