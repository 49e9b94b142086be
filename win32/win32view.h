#pragma once

#include "win32grid.h"
#include "win32looks.h"
#include "win32menu.h"

#include "forms/viewbinder.h"
#include "forms/windowview.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

class Control;
class TextField;
class Timer;
class Window;

// The Win32 view of one window model: the Win32 controls of the desktops' one binder
// skeleton (ViewBinder), which forwards every event to the model and then has every
// control show the model's state again. Controls are real BUTTON, EDIT, STATIC and list
// view windows with the models' captions, and menu items real menu commands (Win32Menu),
// so other programs can drive them: a control's id is 100 plus its place among the
// window's controls (Window::controls(), in declaration order), so a driver can find the
// fields, which have no caption.
class Win32View : public ViewBinder, public WindowView {
  public:
    // A main window has no owner; a modal one is owned by the window it covers. The view
    // takes the size its content needs into the model, frame and menu included, before
    // the model places itself.
    Win32View(Window& window, ViewLayout layout, HWND owner);
    ~Win32View() override;

    HWND hwnd() const { return m_hwnd; }
    // The view of a model, while it exists.
    static Win32View* of(const Window& window);

    // The model's state and geometry after its load, then the window on the screen.
    void showModel() override;
    // Runs the thread's messages, the owner disabled, until the model has unloaded.
    void runModal() override;
    // The next click on a control shows its help topic.
    void enterWhatsThisMode();

    // Runs the thread's messages until the model has unloaded: the program's loop, and
    // the nested loop of a modal window.
    static void runUntilClosed(const Window& window);
    // The busy pointer over every window of the program.
    static void setBusy(bool busy);

  protected:
    void refresh() override;
    void storePosition() override;
    void showFault(const std::string& message) override;
    void closed() override;

  private:
    // One place of the layout and its window.
    struct Bound {
        Placement place;
        HWND hwnd = nullptr;
        std::unique_ptr<Win32Grid> grid;
    };
    // A focus change of a field, handled once the system's own focus change is over.
    static constexpr UINT FocusMessage = WM_APP + 1;

    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT controlMessage(Bound& bound, UINT message, WPARAM wParam, LPARAM lParam);
    // Messages that only the window's own loop may see first; true when taken.
    static bool preTranslate(MSG& msg);

    // The controls (win32controls.cpp).
    void createControls();
    void layoutControls();
    void refreshControl(Bound& bound);
    void command(int id, int code, HWND from);
    void fieldFocus(Bound& bound, bool gained);
    void focusMoved(size_t place, bool gained);
    LRESULT defaultButton() const;
    void addStatusTip(Bound& bound);
    void refreshStatusTip(const Bound& bound);

    void syncTimers();
    void applyGeometry();
    void takeViewSize();
    bool activate(WPARAM wParam);
    void whatsThisClick(POINT at);
    Bound* boundOf(HWND control);

    ViewLayout m_layout;
    Win32Looks m_looks;
    HWND m_hwnd = nullptr;
    std::unique_ptr<Win32Menu> m_menu;
    HWND m_tips = nullptr; // the tips of status lines too long for their place
    std::vector<std::unique_ptr<Bound>> m_bound;
    std::vector<int> m_timers; // the running interval of each of timers()
    int m_dpi = 96;
    double m_gridScale = 1.0;
    bool m_whatsThis = false;
    bool m_passingFocus = false; // the window, not the operator, moves the focus
    HWND m_lastFocus = nullptr;
};
