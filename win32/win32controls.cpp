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
    visitControl(control, Overloaded{[&](TextField&) {
                                         kind.cls = L"EDIT";
                                         kind.style |= WS_TABSTOP | ES_AUTOHSCROLL;
                                         kind.exStyle = WS_EX_CLIENTEDGE;
                                     },
                                     [&](Label&) {
                                         kind.style |= SS_NOPREFIX;
                                         kind.style |=
                                             Win32Looks::centred(look) ? SS_CENTER : SS_LEFT;
                                     },
                                     [&](Button&) {
                                         kind.cls = L"BUTTON";
                                         kind.style |= WS_TABSTOP | BS_PUSHBUTTON;
                                     },
                                     [&](Grid&) {
                                         kind.cls = WC_LISTVIEWW;
                                         kind.style |= WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                                       LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
                                         kind.exStyle = WS_EX_CLIENTEDGE;
                                     }});
    return kind;
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
