#include "win32view.h"

#include "win32parts.h"

#include "forms/accesskeys.h"
#include "forms/controls.h"
#include "forms/window.h"

#include <commctrl.h>

#include <algorithm>
#include <exception>

namespace {

const wchar_t* const ClassName = L"CuemarkWindow";
// A control's id is ControlBase plus its place among the window's controls; frames take
// theirs from FrameBase, menu commands from MenuBase.
constexpr int ControlBase = 100;
constexpr int FrameBase = 900;
constexpr int MenuBase = 1000;
// A focus change of a field, handled once the system's own focus change is over.
constexpr UINT FocusMessage = WM_APP + 1;
// What's This mode, entered after the click that asked for it.
constexpr UINT WhatsThisMessage = WM_APP + 2;

bool busyPointer = false;

std::map<const Window*, Win32View*>& liveViews() {
    static std::map<const Window*, Win32View*> views;
    return views;
}

void registerClass() {
    static bool registered = false;
    if (registered)
        return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    // Each view puts its own procedure in once it is created.
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ClassName;
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    registered = ::RegisterClassExW(&wc) != 0;
}

std::wstring textOf(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setTextIfChanged(HWND hwnd, const std::wstring& text) {
    if (textOf(hwnd) != text)
        ::SetWindowTextW(hwnd, text.c_str());
}

void showState(HWND hwnd, const Control& control) {
    if ((::IsWindowVisible(hwnd) != FALSE) != control.Visible)
        ::ShowWindow(hwnd, control.Visible ? SW_SHOWNA : SW_HIDE);
    if ((::IsWindowEnabled(hwnd) != FALSE) != control.Enabled)
        ::EnableWindow(hwnd, control.Enabled);
}

// The looks other than the desktop's message font: a face (null: the message font's), a
// size in points (0: its size), bold or not.
struct Face {
    Look look;
    const wchar_t* family;
    int points;
    bool bold;
};
constexpr Face Faces[] = {{Look::SystemName, L"Times New Roman", 18, true},
                          {Look::Trademark, nullptr, 6, false},
                          {Look::Heading, L"Arial", 13, true},
                          {Look::Notice, nullptr, 8, false},
                          {Look::Status, nullptr, 0, true}};

// The face of a look: the message font of the desktop, or a named face for the About box.
LOGFONTW faceOf(Look look, int dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    LOGFONTW font = metrics.lfMessageFont;
    // The desktop reports its font at the primary screen's DPI.
    font.lfHeight = ::MulDiv(font.lfHeight, dpi, Win32Dpi::system());
    for (const Face& face : Faces) {
        if (face.look != look)
            continue;
        if (face.family)
            wcscpy_s(font.lfFaceName, face.family);
        if (face.points > 0)
            font.lfHeight = -::MulDiv(face.points, dpi, 72);
        if (face.bold)
            font.lfWeight = FW_BOLD;
    }
    return font;
}

bool centred(Look look) {
    return look == Look::Centered || look == Look::SystemName || look == Look::Heading;
}

} // namespace

struct Win32View::Bound {
    Placement place;
    HWND hwnd = nullptr;
    std::vector<std::wstring> cells; // a grid's cells as last shown
    std::vector<int> widths;         // a grid's column widths as last shown
};

Win32View::Win32View(Window& window, ViewLayout layout, HWND owner)
    : m_window(window), m_layout(std::move(layout)) {
    registerClass();
    m_dpi = Win32Dpi::system();
    const DWORD style = owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU
                              : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = owner ? WS_EX_DLGMODALFRAME : 0;
    m_hwnd = ::CreateWindowExW(exStyle, ClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                               300, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32View::windowProc));
    m_dpi = Win32Dpi::ofWindow(m_hwnd);
    if (m_layout.greyBackground)
        m_background = ::CreateSolidBrush(RGB(0xD6, 0xD6, 0xD6));
    liveViews()[&m_window] = this;
    makeFonts();
    buildMenu();
    createControls();
    layoutControls();
}

Win32View::~Win32View() {
    liveViews().erase(&m_window);
    if (m_hwnd) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
    }
    for (auto& [look, font] : m_fonts)
        ::DeleteObject(font);
    if (m_background)
        ::DeleteObject(m_background);
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
}

Win32View* Win32View::of(const Window& window) {
    const auto found = liveViews().find(&window);
    return found == liveViews().end() ? nullptr : found->second;
}

int Win32View::dpi() const {
    return m_dpi;
}

void Win32View::makeFonts() {
    for (auto& [look, font] : m_fonts)
        ::DeleteObject(font);
    m_fonts.clear();
    for (Look look : {Look::Plain, Look::SystemName, Look::Trademark, Look::Heading, Look::Notice,
                      Look::Status}) {
        const LOGFONTW face = faceOf(look, m_dpi);
        m_fonts[look] = ::CreateFontIndirectW(&face);
    }
}

HFONT Win32View::fontOf(Look look) const {
    const auto found = m_fonts.find(look);
    return found != m_fonts.end() ? found->second : m_fonts.at(Look::Plain);
}

void Win32View::createControls() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int frameId = FrameBase;
    const std::vector<Control*>& controls = m_window.controls();
    for (const Placement& place : m_layout.places) {
        auto bound = std::make_unique<Bound>();
        bound->place = place;
        const auto at = std::find(controls.begin(), controls.end(), place.control);
        const int id =
            place.control ? ControlBase + static_cast<int>(at - controls.begin()) : frameId++;
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD;
        DWORD exStyle = 0;
        std::wstring text;
        if (!place.control) {
            cls = L"BUTTON";
            style |= BS_GROUPBOX | WS_VISIBLE;
            text = Win32Parts::toScreen(place.frame);
        } else {
            visitControl(*place.control,
                         Overloaded{[&](TextField&) {
                                        cls = L"EDIT";
                                        style |= WS_TABSTOP | ES_AUTOHSCROLL;
                                        exStyle = WS_EX_CLIENTEDGE;
                                    },
                                    [&](Label&) {
                                        style |= SS_NOPREFIX |
                                                 (centred(place.look) ? SS_CENTER : SS_LEFT);
                                    },
                                    [&](Button&) {
                                        cls = L"BUTTON";
                                        style |= WS_TABSTOP | BS_PUSHBUTTON;
                                    },
                                    [&](Grid&) {
                                        cls = WC_LISTVIEWW;
                                        style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                                 LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
                                        exStyle = WS_EX_CLIENTEDGE;
                                    }});
        }
        bound->hwnd =
            ::CreateWindowExW(exStyle, cls, text.c_str(), style, 0, 0, 10, 10, m_hwnd,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (place.control) {
            visitControl(*place.control,
                         Overloaded{[&](TextField&) {
                                        ::SetWindowSubclass(bound->hwnd, &Win32View::controlProc, 1,
                                                            reinterpret_cast<DWORD_PTR>(this));
                                    },
                                    [&](Grid& grid) {
                                        ListView_SetExtendedListViewStyle(
                                            bound->hwnd, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES |
                                                             LVS_EX_DOUBLEBUFFER);
                                        for (int c = 0; c < grid.Cols(); ++c) {
                                            LVCOLUMNW column{};
                                            column.mask = LVCF_TEXT | LVCF_WIDTH;
                                            column.cx = 40;
                                            column.pszText = const_cast<wchar_t*>(L"");
                                            ListView_InsertColumn(bound->hwnd, c, &column);
                                        }
                                        for (int r = 1; r < grid.Rows(); ++r) {
                                            LVITEMW item{};
                                            item.mask = LVIF_TEXT;
                                            item.iItem = r - 1;
                                            item.pszText = const_cast<wchar_t*>(L"");
                                            ListView_InsertItem(bound->hwnd, &item);
                                        }
                                        bound->cells.assign(
                                            static_cast<size_t>(grid.Rows() * grid.Cols()), {});
                                        bound->widths.assign(static_cast<size_t>(grid.Cols()), -1);
                                        ::SetWindowSubclass(bound->hwnd, &Win32View::controlProc, 1,
                                                            reinterpret_cast<DWORD_PTR>(this));
                                    }});
        }
        m_bound.push_back(std::move(bound));
    }
}

void Win32View::layoutControls() {
    using Win32Parts::toPixels;
    for (const auto& bound : m_bound) {
        const Placement& p = bound->place;
        ::SetWindowPos(bound->hwnd, nullptr, toPixels(p.left, m_dpi), toPixels(p.top, m_dpi),
                       toPixels(p.width, m_dpi), toPixels(p.height, m_dpi),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(bound->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(p.look)), TRUE);
        std::fill(bound->widths.begin(), bound->widths.end(), -1);
    }
    // Grid widths were laid out for a small 8-point face; a text that fitted there (a
    // clock time in a 700-twip column) must fit in the face used here.
    HDC dc = ::GetDC(m_hwnd);
    HGDIOBJ old = ::SelectObject(dc, fontOf(Look::Plain));
    SIZE clock{};
    ::GetTextExtentPoint32W(dc, L"00:00:00", 8, &clock);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hwnd, dc);
    const int cellPadding = 14;
    m_gridScale = std::max(1.0, (clock.cx + cellPadding) /
                                    static_cast<double>(Win32Parts::toPixels(700, m_dpi)));
}

void Win32View::buildMenu() {
    const std::vector<MenuItem*>& bar = m_window.menuBar();
    if (bar.empty())
        return;
    std::string shape;
    std::vector<MenuItem*> items;
    for (Control* control : m_window.controls()) {
        if (auto* item = controlAs<MenuItem>(*control)) {
            items.push_back(item);
            shape += item->Visible ? '1' : '0';
        }
    }
    if (m_menu && shape == m_menuShape)
        return;
    m_menuShape = shape;
    m_menuItems = items;
    const auto idOf = [this](const MenuItem* item) {
        const auto at = std::find(m_menuItems.begin(), m_menuItems.end(), item);
        return static_cast<UINT>(MenuBase + (at - m_menuItems.begin()));
    };
    HMENU menu = ::CreateMenu();
    std::vector<ACCEL> accelerators;
    const auto fill = [&](HMENU into, const std::vector<MenuItem*>& items, auto& self) -> void {
        const std::vector<char> keys = AccessKeys::of(items);
        for (size_t i = 0; i < items.size(); ++i) {
            MenuItem* item = items[i];
            m_menuKeys[item] = keys[i];
            if (!item->Visible)
                continue;
            const std::wstring caption = menuCaption(*item);
            if (!item->items().empty()) {
                HMENU popup = ::CreatePopupMenu();
                self(popup, item->items(), self);
                ::AppendMenuW(into, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup),
                              caption.c_str());
                continue;
            }
            const UINT id = idOf(item);
            if (item->isSeparator()) {
                ::AppendMenuW(into, MF_SEPARATOR, id, nullptr);
                continue;
            }
            ::AppendMenuW(into, MF_STRING, id, caption.c_str());
            if (const auto shortcut = AccessKeys::shortcutOf(item->name())) {
                const WORD key = shortcut->functionKey > 0
                                     ? static_cast<WORD>(VK_F1 + shortcut->functionKey - 1)
                                     : static_cast<WORD>(shortcut->controlLetter);
                const BYTE flags = shortcut->functionKey > 0 ? FVIRTKEY : FVIRTKEY | FCONTROL;
                accelerators.push_back(ACCEL{flags, key, static_cast<WORD>(id)});
            }
        }
    };
    fill(menu, bar, fill);
    if (m_accelerators)
        ::DestroyAcceleratorTable(m_accelerators);
    m_accelerators =
        accelerators.empty()
            ? nullptr
            : ::CreateAcceleratorTableW(accelerators.data(), static_cast<int>(accelerators.size()));
    HMENU old = m_menu;
    m_menu = menu;
    ::SetMenu(m_hwnd, m_menu);
    if (old)
        ::DestroyMenu(old);
}

std::wstring Win32View::menuCaption(const MenuItem& item) const {
    const auto key = m_menuKeys.find(&item);
    return Win32Parts::toScreen(
        AccessKeys::marked(item.Caption, key == m_menuKeys.end() ? 0 : key->second));
}

void Win32View::syncMenu() {
    if (m_window.menuBar().empty())
        return;
    buildMenu();
    for (size_t i = 0; i < m_menuItems.size(); ++i) {
        const MenuItem& item = *m_menuItems[i];
        if (item.isSeparator() || !item.items().empty() || !item.Visible)
            continue;
        const UINT id = static_cast<UINT>(MenuBase + i);
        ::EnableMenuItem(m_menu, id, MF_BYCOMMAND | (item.Enabled ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(m_menu, id, MF_BYCOMMAND | (item.Checked ? MF_CHECKED : MF_UNCHECKED));
        wchar_t shown[256] = {};
        ::GetMenuStringW(m_menu, id, shown, 255, MF_BYCOMMAND);
        const std::wstring caption = menuCaption(item);
        if (caption != shown)
            ::ModifyMenuW(m_menu, id, MF_BYCOMMAND | MF_STRING, id, caption.c_str());
    }
    // The menus of the bar themselves.
    int position = 0;
    for (MenuItem* top : m_window.menuBar()) {
        if (!top->Visible)
            continue;
        ::EnableMenuItem(m_menu, static_cast<UINT>(position++),
                         MF_BYPOSITION | (top->Enabled ? MF_ENABLED : MF_GRAYED));
    }
    ::DrawMenuBar(m_hwnd);
}

void Win32View::syncGrid(Bound& bound) {
    Grid& grid = *controlAs<Grid>(*bound.place.control);
    HWND list = bound.hwnd;
    for (int c = 0; c < grid.Cols(); ++c) {
        const std::wstring header = Win32Parts::toScreen(grid.TextMatrix(0, c));
        std::wstring& shownHeader = bound.cells[static_cast<size_t>(c)];
        if (shownHeader != header) {
            shownHeader = header;
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = shownHeader.data();
            ListView_SetColumn(list, c, &column);
        }
        const int twips = c < static_cast<int>(grid.ColWidth.size()) ? grid.ColWidth[c] : 0;
        const int width = static_cast<int>(Win32Parts::toPixels(twips, m_dpi) * m_gridScale);
        if (twips > 0 && bound.widths[static_cast<size_t>(c)] != width) {
            bound.widths[static_cast<size_t>(c)] = width;
            ListView_SetColumnWidth(list, c, width);
        }
    }
    for (int r = 1; r < grid.Rows(); ++r) {
        for (int c = 0; c < grid.Cols(); ++c) {
            std::wstring& shown = bound.cells[static_cast<size_t>(r * grid.Cols() + c)];
            const std::wstring text = Win32Parts::toScreen(grid.TextMatrix(r, c));
            if (shown == text)
                continue;
            shown = text;
            ListView_SetItemText(list, r - 1, c, shown.data());
        }
    }
    const int row = grid.Row - 1;
    if (row >= 0 && row < grid.Rows() - 1 && ListView_GetNextItem(list, -1, LVNI_FOCUSED) != row) {
        ListView_SetItemState(list, row, LVIS_FOCUSED | LVIS_SELECTED,
                              LVIS_FOCUSED | LVIS_SELECTED);
        ListView_EnsureVisible(list, row, FALSE);
    }
    ::InvalidateRect(list, nullptr, FALSE);
}

void Win32View::syncTimers() {
    UINT_PTR id = 1;
    for (Control* control : m_window.controls()) {
        auto* timer = controlAs<Timer>(*control);
        if (!timer)
            continue;
        const int interval =
            timer->Enabled && timer->Interval > 0 && timer->Tick && !m_window.isClosed()
                ? timer->Interval
                : 0;
        int& running = m_timers[timer];
        if (running != interval) {
            if (interval > 0)
                ::SetTimer(m_hwnd, id, static_cast<UINT>(interval), nullptr);
            else
                ::KillTimer(m_hwnd, id);
            running = interval;
        }
        ++id;
    }
}

void Win32View::sync() {
    m_syncing = true;
    if (!m_window.Caption.empty())
        setTextIfChanged(m_hwnd, Win32Parts::toScreen(m_window.Caption));
    for (const auto& bound : m_bound) {
        if (!bound->place.control)
            continue;
        HWND hwnd = bound->hwnd;
        visitControl(*bound->place.control,
                     Overloaded{[&](TextField& c) {
                                    const std::wstring text = Win32Parts::toScreen(c.Text);
                                    if (textOf(hwnd) != text) {
                                        ::SetWindowTextW(hwnd, text.c_str());
                                        ::SendMessageW(hwnd, EM_SETSEL, 0, 0);
                                    }
                                    showState(hwnd, c);
                                },
                                [&](Label& c) {
                                    setTextIfChanged(hwnd, Win32Parts::toScreen(c.Caption));
                                    showState(hwnd, c);
                                },
                                [&](Button& c) {
                                    setTextIfChanged(hwnd, Win32Parts::captionOf(c.Caption));
                                    showState(hwnd, c);
                                },
                                [&](Grid& c) {
                                    syncGrid(*bound);
                                    showState(hwnd, c);
                                }});
    }
    syncMenu();
    syncTimers();
    m_syncing = false;
    if (m_window.isClosed() && !m_closedReported) {
        m_closedReported = true;
        ::ShowWindow(m_hwnd, SW_HIDE);
        // Wakes the loop that waits for the window to close.
        ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
    }
}

void Win32View::forward(const std::function<void()>& handler) {
    storePosition();
    try {
        if (handler)
            handler();
    } catch (const std::exception& e) {
        // A fault in a handler must not take the program down with the operator's work.
        ::MessageBoxW(m_hwnd, Win32Parts::toScreen(e.what()).c_str(), textOf(m_hwnd).c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
    }
    sync();
}

void Win32View::click(Control& control) {
    forward([this, &control] { m_window.click(control); });
}

void Win32View::takeViewSize() {
    RECT rect{0, 0, Win32Parts::toPixels(m_layout.width, m_dpi),
              Win32Parts::toPixels(m_layout.height, m_dpi)};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(m_hwnd, GWL_STYLE)),
                         m_menu != nullptr,
                         static_cast<DWORD>(::GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
    // The model places the whole window, frame and menu included, at the screen's DPI.
    const int system = Win32Dpi::system();
    const int width = ::MulDiv(rect.right - rect.left, system, m_dpi);
    const int height = ::MulDiv(rect.bottom - rect.top, system, m_dpi);
    m_window.Width = std::max(m_window.Width, Win32Parts::toTwips(width, system));
    m_window.Height = std::max(m_window.Height, Win32Parts::toTwips(height, system));
}

void Win32View::applyGeometry() {
    using Win32Parts::toPixels;
    const int system = Win32Dpi::system();
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = std::min<int>(toPixels(m_window.Width, system), area.right - area.left);
    const int height = std::min<int>(toPixels(m_window.Height, system), area.bottom - area.top);
    ::SetWindowPos(m_hwnd, nullptr, toPixels(m_window.Left, system), toPixels(m_window.Top, system),
                   width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32View::storePosition() {
    if (!::IsWindowVisible(m_hwnd) || ::IsIconic(m_hwnd))
        return;
    RECT rect{};
    ::GetWindowRect(m_hwnd, &rect);
    const int system = Win32Dpi::system();
    m_window.Left = Win32Parts::toTwips(rect.left, system);
    m_window.Top = Win32Parts::toTwips(rect.top, system);
}

void Win32View::showModel() {
    sync();
    applyGeometry();
    if (m_window.isClosed())
        return;
    ::ShowWindow(m_hwnd, SW_SHOW);
    ::UpdateWindow(m_hwnd);
    ::SetForegroundWindow(m_hwnd);
}

bool Win32View::requestClose() {
    if (m_window.isClosed())
        return true;
    storePosition();
    bool closed = false;
    forward([this, &closed] { closed = m_window.requestClose(); });
    return closed;
}

void Win32View::enterWhatsThisMode() {
    // Once the click that asked for it is over: the button lets go of the mouse first.
    ::PostMessageW(m_hwnd, WhatsThisMessage, 0, 0);
}

void Win32View::whatsThisClick(POINT at) {
    m_whatsThis = false;
    ::ReleaseCapture();
    for (const auto& bound : m_bound) {
        Control* control = bound->place.control;
        if (!control || !::IsWindowVisible(bound->hwnd))
            continue;
        RECT rect{};
        ::GetWindowRect(bound->hwnd, &rect);
        ::MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&rect), 2);
        if (!::PtInRect(&rect, at))
            continue;
        if (!control->WhatsThis.empty())
            ::MessageBoxW(m_hwnd, Win32Parts::toScreen(control->WhatsThis).c_str(),
                          L"What's This Help", MB_OK | MB_ICONINFORMATION);
        return;
    }
}

void Win32View::setBusy(bool busy) {
    busyPointer = busy;
    ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void Win32View::runUntilClosed(const Window& window) {
    MSG msg;
    while (!window.isClosed()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            // The quit is for the outermost loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
        Win32View* ours = nullptr;
        for (const auto& [model, view] : liveViews()) {
            if (view->hwnd() == root)
                ours = view;
        }
        if (ours && ours->m_accelerators &&
            ::TranslateAcceleratorW(root, ours->m_accelerators, &msg))
            continue;
        // Tab and the arrow keys move between the controls, as in a dialog.
        if (ours && ::IsDialogMessageW(root, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

Win32View::Bound* Win32View::boundOf(HWND control) {
    for (const auto& bound : m_bound) {
        if (bound->hwnd == control)
            return bound.get();
    }
    return nullptr;
}

LRESULT CALLBACK Win32View::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* view = reinterpret_cast<Win32View*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!view)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    return view->handle(message, wParam, lParam);
}

void Win32View::command(int id, int code, HWND from) {
    if (!from) {
        // A menu command (code 0) or its accelerator (code 1).
        const int index = id - MenuBase;
        if (index >= 0 && index < static_cast<int>(m_menuItems.size()))
            click(*m_menuItems[static_cast<size_t>(index)]);
        return;
    }
    Bound* bound = boundOf(from);
    if (!bound || !bound->place.control)
        return;
    visitControl(*bound->place.control,
                 Overloaded{[&](Button& button) {
                                if (code == BN_CLICKED)
                                    click(button);
                            },
                            [&](TextField& field) {
                                if (code == EN_CHANGE && !m_syncing) {
                                    field.Text = Win32Parts::fromScreen(textOf(from), field.Text);
                                    // An edit without a key (a paste) is typing too.
                                    if (m_window.focus() != &field)
                                        forward([this, &field] { m_window.setFocus(&field); });
                                } else if (code == EN_SETFOCUS || code == EN_KILLFOCUS) {
                                    fieldFocus(*bound, code == EN_SETFOCUS);
                                }
                            }});
}

// The model's focus follows the operator's moves between fields, after the system's own
// focus change. A box, a menu or another window taking the input moves no focus: commands
// release it themselves, and typing into the field takes it back.
void Win32View::fieldFocus(Bound& bound, bool gained) {
    if (m_syncing || (gained && m_passingFocus))
        return;
    for (size_t i = 0; i < m_bound.size(); ++i) {
        if (m_bound[i].get() == &bound)
            ::PostMessageW(m_hwnd, FocusMessage, i, gained ? 1 : 0);
    }
}

LRESULT Win32View::gridNotify(Bound& bound, NMHDR* header) {
    Grid& grid = *controlAs<Grid>(*bound.place.control);
    switch (header->code) {
    case NM_CLICK: {
        LVHITTESTINFO hit{};
        hit.pt = reinterpret_cast<NMITEMACTIVATE*>(header)->ptAction;
        if (ListView_SubItemHitTest(bound.hwnd, &hit) >= 0 && hit.iItem >= 0) {
            const int row = hit.iItem + 1;
            const int col = hit.iSubItem;
            forward([this, &grid, row, col] { m_window.clickCell(grid, row, col); });
        }
        return 0;
    }
    case LVN_ITEMCHANGED: {
        // Moving with the keys makes a cell current; only a click or Enter runs the handler.
        const auto* change = reinterpret_cast<NMLISTVIEW*>(header);
        if (!m_syncing && change->iItem >= 0 && (change->uNewState & LVIS_FOCUSED) &&
            !(change->uOldState & LVIS_FOCUSED))
            grid.Row = change->iItem + 1;
        return 0;
    }
    case NM_CUSTOMDRAW: {
        auto* draw = reinterpret_cast<NMLVCUSTOMDRAW*>(header);
        switch (draw->nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            // The current cell is drawn here, not the list's own row selection.
            draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
            return CDRF_NOTIFYSUBITEMDRAW;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM: {
            const int row = static_cast<int>(draw->nmcd.dwItemSpec) + 1;
            draw->nmcd.uItemState &= ~(CDIS_SELECTED | CDIS_FOCUS);
            if (row == grid.Row && draw->iSubItem == grid.Col) {
                draw->clrText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
                draw->clrTextBk = ::GetSysColor(COLOR_HIGHLIGHT);
            } else if (row == grid.Row) {
                draw->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
                draw->clrTextBk = RGB(0xDD, 0xE8, 0xF6);
            } else {
                draw->clrText = ::GetSysColor(COLOR_WINDOWTEXT);
                draw->clrTextBk = ::GetSysColor(COLOR_WINDOW);
            }
            return CDRF_NEWFONT;
        }
        default:
            return CDRF_DODEFAULT;
        }
    }
    default:
        return 0;
    }
}

LRESULT Win32View::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        if (LOWORD(wParam) == IDCANCEL && lParam == 0 && ::GetWindow(m_hwnd, GW_OWNER))
            requestClose(); // Escape in a modal window, as its close box
        return 0;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Bound* bound = boundOf(header->hwndFrom);
        if (bound && bound->place.control && controlAs<Grid>(*bound->place.control))
            return gridNotify(*bound, header);
        return 0;
    }
    case FocusMessage: {
        if (wParam >= m_bound.size() || m_window.isClosed())
            return 0;
        Bound& bound = *m_bound[wParam];
        auto* field = bound.place.control ? controlAs<TextField>(*bound.place.control) : nullptr;
        if (!field)
            return 0;
        if (lParam) {
            if (m_window.focus() != field && ::GetFocus() == bound.hwnd)
                forward([this, field] { m_window.setFocus(field); });
            return 0;
        }
        HWND now = ::GetFocus();
        const bool stillOurs = now && now != bound.hwnd && ::GetAncestor(now, GA_ROOT) == m_hwnd;
        if (stillOurs && m_window.focus() == field)
            forward([this] { m_window.releaseFocus(); });
        return 0;
    }
    case WM_TIMER: {
        UINT_PTR id = 1;
        for (Control* control : m_window.controls()) {
            auto* timer = controlAs<Timer>(*control);
            if (!timer)
                continue;
            if (id++ == wParam) {
                forward([this, timer] { m_window.tick(*timer); });
                break;
            }
        }
        return 0;
    }
    case WM_CLOSE:
        requestClose();
        return 0;
    case WM_ACTIVATE:
        // The window keeps its own focused control: a box or another window that took
        // the input gives it back, and a window just shown starts at its first control.
        // Neither is the operator entering a field, so the model's focus does not move.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::GetParent(focus) == m_hwnd)
                m_lastFocus = focus;
        } else if (!HIWORD(wParam)) {
            HWND target =
                m_lastFocus && ::IsWindowVisible(m_lastFocus) && ::IsWindowEnabled(m_lastFocus)
                    ? m_lastFocus
                    : ::GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
            if (target) {
                m_passingFocus = true;
                ::SetFocus(target);
                m_passingFocus = false;
                return 0;
            }
        }
        break;
    case WhatsThisMessage:
        m_whatsThis = true;
        ::SetCapture(m_hwnd);
        ::SetCursor(::LoadCursorW(nullptr, IDC_HELP));
        return 0;
    case WM_LBUTTONDOWN:
        if (m_whatsThis) {
            whatsThisClick(
                POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            return 0;
        }
        break;
    case WM_CAPTURECHANGED:
        m_whatsThis = false;
        break;
    case WM_SETCURSOR:
        if (busyPointer || m_whatsThis) {
            ::SetCursor(::LoadCursorW(nullptr, busyPointer ? IDC_WAIT : IDC_HELP));
            return TRUE;
        }
        break;
    case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        Bound* bound = boundOf(reinterpret_cast<HWND>(lParam));
        const Look look = bound ? bound->place.look : Look::Plain;
        ::SetBkMode(dc, TRANSPARENT);
        if (look == Look::Status)
            ::SetTextColor(dc, RGB(0xB0, 0, 0));
        else if (look == Look::Note)
            ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
        else
            ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        if (m_background) {
            ::SetBkColor(dc, RGB(0xD6, 0xD6, 0xD6));
            return reinterpret_cast<LRESULT>(m_background);
        }
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_ERASEBKGND:
        if (m_background) {
            RECT rect{};
            ::GetClientRect(m_hwnd, &rect);
            ::FillRect(reinterpret_cast<HDC>(wParam), &rect, m_background);
            return 1;
        }
        break;
    case WM_PAINT:
        if (m_layout.paint) {
            PAINTSTRUCT paint{};
            HDC dc = ::BeginPaint(m_hwnd, &paint);
            m_layout.paint(dc, m_dpi);
            ::EndPaint(m_hwnd, &paint);
            return 0;
        }
        break;
    case WM_DPICHANGED: {
        m_dpi = HIWORD(wParam);
        makeFonts();
        layoutControls();
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(m_hwnd, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        sync();
        return 0;
    }
    default:
        break;
    }
    return ::DefWindowProcW(m_hwnd, message, wParam, lParam);
}

LRESULT CALLBACK Win32View::controlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto* view = reinterpret_cast<Win32View*>(data);
    Bound* bound = view->boundOf(hwnd);
    if (!bound || !bound->place.control)
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    return view->controlMessage(*bound, message, wParam, lParam);
}

LRESULT Win32View::controlMessage(Bound& bound, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = bound.hwnd;
    Control& control = *bound.place.control;
    if (message == WM_GETDLGCODE) {
        // Enter reaches the field's key-press handler and clicks the grid's current cell,
        // instead of being taken by the window.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        if (controlAs<Grid>(control))
            code |= DLGC_WANTARROWS;
        return code;
    }
    if (auto* grid = controlAs<Grid>(control)) {
        if (message == WM_KEYDOWN && wParam == VK_RETURN) {
            click(*grid);
            return 0;
        }
        if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
            const int step = wParam == VK_LEFT ? -1 : 1;
            grid->Col = std::clamp(grid->Col + step, 0, grid->Cols() - 1);
            ::InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    auto* field = controlAs<TextField>(control);
    if (field && message == WM_CHAR && ::IsWindowEnabled(hwnd) &&
        !(::GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY)) {
        const int typed = static_cast<int>(wParam);
        int key = typed;
        forward([&] { key = m_window.pressKey(*field, typed); });
        // Enter and Escape leave the text as it is; the handler has had them.
        if (key == 0 || key == '\r' || key == 27)
            return 0;
        return ::DefSubclassProc(hwnd, message, static_cast<WPARAM>(key), lParam);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
