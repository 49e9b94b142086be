// The controls of a Win32View: one window of its kind for each place of the layout, the
// model's state shown in it, and the operator's events on it handed to the binder.
#include "win32view.h"

#include "win32parts.h"

#include "forms/controls.h"
#include "forms/window.h"

#include <commctrl.h>

#include <algorithm>

namespace {

// A control's id is ControlBase plus its place among the window's controls; frames take
// theirs from FrameBase.
constexpr int ControlBase = 100;
constexpr int FrameBase = 900;

void setTextIfChanged(HWND hwnd, const std::wstring& text) {
    if (Win32Parts::textOf(hwnd) != text)
        ::SetWindowTextW(hwnd, text.c_str());
}

void showState(HWND hwnd, const Control& control) {
    if ((::IsWindowVisible(hwnd) != FALSE) != control.Visible)
        ::ShowWindow(hwnd, control.Visible ? SW_SHOWNA : SW_HIDE);
    if ((::IsWindowEnabled(hwnd) != FALSE) != control.Enabled)
        ::EnableWindow(hwnd, control.Enabled);
}

// The window class, styles and text a control's window is made with.
struct Kind {
    const wchar_t* cls = L"STATIC";
    DWORD style = WS_CHILD;
    DWORD exStyle = 0;
};

Kind kindOf(Control& control, Look look) {
    Kind kind;
    visitControl(control,
                 Overloaded{[&](TextField&) {
                                kind.cls = L"EDIT";
                                kind.style |= WS_TABSTOP | ES_AUTOHSCROLL;
                                kind.exStyle = WS_EX_CLIENTEDGE;
                            },
                            [&](Label&) {
                                kind.style |= SS_NOPREFIX;
                                kind.style |= Win32Looks::centred(look) ? SS_CENTER : SS_LEFT;
                                // A status line's lines show whole or not at all,
                                // and the mouse over it shows its tip.
                                if (look == Look::Status)
                                    kind.style |= SS_EDITCONTROL | SS_NOTIFY;
                            },
                            [&](Button& button) {
                                kind.cls = L"BUTTON";
                                kind.style |= WS_TABSTOP |
                                              (button.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
                            },
                            [&](Grid&) {
                                kind.cls = WC_LISTVIEWW;
                                kind.style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                              LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
                                kind.exStyle = WS_EX_CLIENTEDGE;
                            }});
    return kind;
}

constexpr UINT TextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL;

// Whether a label's text shows whole in its window's font and size.
bool fitsWhole(HWND label, const std::wstring& text) {
    RECT client{};
    ::GetClientRect(label, &client);
    RECT needed = client;
    HDC dc = ::GetDC(label);
    HGDIOBJ old =
        ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, TextFormat | DT_CALCRECT);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    return needed.bottom <= client.bottom && needed.right <= client.right;
}

} // namespace

void Win32View::createControls() {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    int frameId = FrameBase;
    const std::vector<Control*>& controls = window().controls();
    for (const Placement& place : m_layout.places) {
        auto bound = std::make_unique<Bound>();
        bound->place = place;
        const auto at = std::find(controls.begin(), controls.end(), place.control);
        const int id =
            place.control ? ControlBase + static_cast<int>(at - controls.begin()) : frameId++;
        Kind kind;
        std::wstring text;
        if (place.control) {
            kind = kindOf(*place.control, place.look);
        } else {
            kind.cls = L"BUTTON";
            kind.style |= BS_GROUPBOX | WS_VISIBLE;
            text = Win32Parts::toScreen(place.frame);
        }
        bound->hwnd = ::CreateWindowExW(
            kind.exStyle, kind.cls, text.c_str(), kind.style, 0, 0, 10, 10, m_hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        if (place.control) {
            visitControl(*place.control,
                         Overloaded{[&](TextField&) {
                                        ::SetWindowSubclass(bound->hwnd, &Win32View::controlProc, 1,
                                                            reinterpret_cast<DWORD_PTR>(this));
                                    },
                                    [&](Grid& grid) {
                                        bound->grid =
                                            std::make_unique<Win32Grid>(grid, bound->hwnd);
                                        ::SetWindowSubclass(bound->hwnd, &Win32View::controlProc, 1,
                                                            reinterpret_cast<DWORD_PTR>(this));
                                    }});
            if (place.look == Look::Status)
                addStatusTip(*bound);
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
        ::SendMessageW(bound->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(m_looks.font(p.look)),
                       TRUE);
        if (bound->grid)
            bound->grid->forgetWidths();
    }
    m_gridScale = m_looks.gridScale(m_hwnd, m_dpi);
}

void Win32View::refreshControl(Bound& bound) {
    if (!bound.place.control)
        return;
    HWND hwnd = bound.hwnd;
    visitControl(*bound.place.control,
                 Overloaded{[&](TextField& c) {
                                const std::wstring text = Win32Parts::toScreen(c.Text);
                                if (Win32Parts::textOf(hwnd) != text) {
                                    ::SetWindowTextW(hwnd, text.c_str());
                                    ::SendMessageW(hwnd, EM_SETSEL, 0, 0);
                                }
                                showState(hwnd, c);
                            },
                            [&](Label& c) {
                                setTextIfChanged(hwnd, Win32Parts::toScreen(c.Caption));
                                showState(hwnd, c);
                                if (bound.place.look == Look::Status)
                                    refreshStatusTip(bound);
                            },
                            [&](Button& c) {
                                setTextIfChanged(hwnd, Win32Parts::captionOf(c.Caption));
                                showState(hwnd, c);
                            },
                            [&](Grid& c) {
                                bound.grid->sync(m_dpi, m_gridScale);
                                showState(hwnd, c);
                            }});
}

// A status line holds two lines; a longer message shows whole in its tip.
void Win32View::addStatusTip(Bound& bound) {
    if (!m_tips) {
        m_tips = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hwnd, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        // Several lines in a tip, not one across the screen.
        ::SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, Win32Parts::toPixels(6000, m_dpi));
    }
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(bound.hwnd);
    tool.lpszText = const_cast<wchar_t*>(L"");
    ::SendMessageW(m_tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32View::refreshStatusTip(const Bound& bound) {
    const std::wstring text = Win32Parts::textOf(bound.hwnd);
    std::wstring tip = fitsWhole(bound.hwnd, text) ? std::wstring() : text;
    TOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(bound.hwnd);
    tool.lpszText = tip.data();
    ::SendMessageW(m_tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// The button Enter presses, for the dialog manager: the model's default one while the
// operator can reach it.
LRESULT Win32View::defaultButton() const {
    for (const auto& bound : m_bound) {
        const auto* button =
            bound->place.control ? controlAs<Button>(*bound->place.control) : nullptr;
        if (button && button->Default && window().isReachable(*button))
            return MAKELRESULT(::GetDlgCtrlID(bound->hwnd), DC_HASDEFID);
    }
    return 0;
}

void Win32View::command(int id, int code, HWND from) {
    if (!from) {
        // A menu command (code 0) or its accelerator (code 1).
        if (MenuItem* item = m_menu->itemOf(id))
            click(*item);
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
                                if (code == EN_CHANGE)
                                    edited(field, Win32Parts::fromScreen(Win32Parts::textOf(from),
                                                                         field.Text));
                                else if (code == EN_SETFOCUS || code == EN_KILLFOCUS)
                                    fieldFocus(*bound, code == EN_SETFOCUS);
                            }});
}

// The model's focus follows the operator's moves between fields, after the system's own
// focus change. A box, a menu or another window taking the input moves no focus: commands
// release it themselves, and typing into the field takes it back.
void Win32View::fieldFocus(Bound& bound, bool gained) {
    if (isSyncing() || (gained && m_passingFocus))
        return;
    for (size_t i = 0; i < m_bound.size(); ++i) {
        if (m_bound[i].get() == &bound)
            ::PostMessageW(m_hwnd, FocusMessage, i, gained ? 1 : 0);
    }
}

void Win32View::focusMoved(size_t place, bool gained) {
    if (place >= m_bound.size())
        return;
    Bound& bound = *m_bound[place];
    auto* field = bound.place.control ? controlAs<TextField>(*bound.place.control) : nullptr;
    if (!field)
        return;
    HWND now = ::GetFocus();
    if (gained) {
        if (now == bound.hwnd)
            entered(*field);
        return;
    }
    if (now && now != bound.hwnd && ::GetAncestor(now, GA_ROOT) == m_hwnd)
        left(*field);
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
    if (message == WM_GETDLGCODE) {
        // Enter reaches the field's key-press handler and clicks the grid's current cell,
        // instead of being taken by the window.
        const auto* msg = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = ::DefSubclassProc(hwnd, message, wParam, lParam);
        if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
            code |= DLGC_WANTMESSAGE;
        if (bound.grid)
            code |= DLGC_WANTARROWS;
        return code;
    }
    if (bound.grid) {
        if (message == WM_KEYDOWN && bound.grid->keyDown(wParam, *this))
            return 0;
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    auto* field = controlAs<TextField>(*bound.place.control);
    if (field && message == WM_CHAR && ::IsWindowEnabled(hwnd) &&
        !(::GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY)) {
        const int key = typedKey(*field, static_cast<int>(wParam));
        // Enter and Escape leave the text as it is; the handler has had them.
        if (key == 0 || key == '\r' || key == 27)
            return 0;
        return ::DefSubclassProc(hwnd, message, static_cast<WPARAM>(key), lParam);
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}
