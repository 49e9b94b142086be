#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Control;
class Grid;
class MenuItem;
class TextField;
class Timer;
class Window;

// How a control's text is drawn: the face, size and colour its view gives it.
enum class Look { Plain, Centered, SystemName, Trademark, Heading, Notice, Note, Status };

// Where one control of a window model sits in the client area, in twips. A place without
// a control is a frame drawn around others, with `frame` as its caption.
struct Placement {
    Control* control = nullptr;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    Look look = Look::Plain;
    std::string frame = {};
};

// A window's content: its places, the client size they need (twips), and what a view
// draws itself.
struct ViewLayout {
    int width = 0;
    int height = 0;
    std::vector<Placement> places;
    bool greyBackground = false;
    // Drawing beside the controls, in client pixels at the given DPI.
    std::function<void(HDC dc, int dpi)> paint;
};

// The Win32 view of one window model. Every event goes to the model's handler through
// forward(), after which every control shows the model's state again; the view holds no
// rule of the system. Controls are real BUTTON, EDIT, STATIC and list view windows with the
// models' captions, and menu items real menu commands, so other programs can drive them:
// a menu item's command id is 1000 plus its place among the window's menu items in menu
// order, menus and separators counted (Form1's "About" is 1011, Main's "Configuration"
// 1013), whatever is hidden; a control's id is 100 plus its place among the window's
// controls (Window::controls(), in declaration order), so a driver can find the fields,
// which have no caption.
class Win32View {
  public:
    // A main window has no owner; a modal one is owned by the window it covers.
    Win32View(Window& window, ViewLayout layout, HWND owner);
    ~Win32View();
    Win32View(const Win32View&) = delete;
    Win32View& operator=(const Win32View&) = delete;

    HWND hwnd() const { return m_hwnd; }
    Window& window() const { return m_window; }
    // The view of a model, while it exists.
    static Win32View* of(const Window& window);

    // A click on a control, by the window's rules.
    void click(Control& control);
    // Runs a handler of the model, then shows the state it left.
    void forward(const std::function<void()>& handler);
    void sync();
    // Gives the model the size its content needs, frame and menu included, before it
    // places itself.
    void takeViewSize();
    // The model's state and geometry after its load, then the window on the screen.
    void showModel();
    // The close box: the model unloads unless its handler cancels. True when closed.
    bool requestClose();
    // The next click on a control shows its help topic.
    void enterWhatsThisMode();

    // Runs the thread's messages until the model has unloaded: the program's loop, and
    // the nested loop of a modal window.
    static void runUntilClosed(const Window& window);
    // The busy pointer over every window of the program.
    static void setBusy(bool busy);

  private:
    struct Bound;
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR data);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT controlMessage(Bound& bound, UINT message, WPARAM wParam, LPARAM lParam);

    void createControls();
    void layoutControls();
    void makeFonts();
    HFONT fontOf(Look look) const;
    void buildMenu();
    void syncMenu();
    std::wstring menuCaption(const MenuItem& item) const;
    void syncGrid(Bound& bound);
    void syncTimers();
    LRESULT gridNotify(Bound& bound, NMHDR* header);
    void command(int id, int code, HWND from);
    void fieldFocus(Bound& bound, bool gained);
    void whatsThisClick(POINT at);
    void applyGeometry();
    void storePosition();
    int dpi() const;
    Bound* boundOf(HWND control);

    Window& m_window;
    ViewLayout m_layout;
    HWND m_hwnd = nullptr;
    HMENU m_menu = nullptr;
    std::vector<std::unique_ptr<Bound>> m_bound;
    std::vector<MenuItem*> m_menuItems; // command id - MenuBase
    std::map<const MenuItem*, char> m_menuKeys;
    HACCEL m_accelerators = nullptr;
    std::string m_menuShape;        // which items the bar shows, to rebuild on a change
    std::map<Timer*, int> m_timers; // the running interval of each
    std::map<Look, HFONT> m_fonts;
    HBRUSH m_background = nullptr;
    int m_dpi = 96;
    double m_gridScale = 1.0;
    bool m_syncing = false;
    bool m_whatsThis = false;
    bool m_passingFocus = false; // the window, not the operator, moves the focus
    HWND m_lastFocus = nullptr;
    bool m_closedReported = false;
};
