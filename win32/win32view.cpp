#include "win32view.h"

#include "win32parts.h"

#include "forms/controls.h"
#include "forms/window.h"

#include <commctrl.h>

#include <algorithm>

namespace {

const wchar_t* const ClassName = L"CuemarkWindow";
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

} // namespace

Win32View::Win32View(Window& window, ViewLayout layout, HWND owner)
    : ViewBinder(window), m_layout(std::move(layout)), m_looks(m_layout.greyBackground),
      m_menu(std::make_unique<Win32Menu>(window)) {
    registerClass();
    const DWORD style = owner ? WS_POPUP | WS_CAPTION | WS_SYSMENU
                              : WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    const DWORD exStyle = owner ? WS_EX_DLGMODALFRAME : 0;
    m_hwnd = ::CreateWindowExW(exStyle, ClassName, L"", style, CW_USEDEFAULT, CW_USEDEFAULT, 400,
                               300, owner, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    ::SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32View::windowProc));
    m_dpi = Win32Dpi::ofWindow(m_hwnd);
    liveViews()[&window] = this;
    m_looks.setDpi(m_dpi);
    m_menu->sync(m_hwnd);
    createControls();
    layoutControls();
    takeViewSize();
}

Win32View::~Win32View() {
    liveViews().erase(&window());
    if (m_hwnd) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
    }
}

Win32View* Win32View::of(const Window& window) {
    const auto found = liveViews().find(&window);
    return found == liveViews().end() ? nullptr : found->second;
}

void Win32View::refresh() {
    if (!window().Caption.empty()) {
        const std::wstring caption = Win32Parts::toScreen(window().Caption);
        if (Win32Parts::textOf(m_hwnd) != caption)
            ::SetWindowTextW(m_hwnd, caption.c_str());
    }
    for (const auto& bound : m_bound)
        refreshControl(*bound);
    m_menu->sync(m_hwnd);
    syncTimers();
}

void Win32View::closed() {
    ::ShowWindow(m_hwnd, SW_HIDE);
    // Wakes the loop that waits for the window to close.
    ::PostMessageW(m_hwnd, WM_NULL, 0, 0);
}

void Win32View::showFault(const std::string& message) {
    ::MessageBoxW(m_hwnd, Win32Parts::toScreen(message).c_str(), Win32Parts::textOf(m_hwnd).c_str(),
                  MB_OK | MB_ICONEXCLAMATION);
}

void Win32View::syncTimers() {
    // A timer's id is 1 plus its place among the window's timers.
    m_timers.resize(timers().size());
    for (size_t i = 0; i < timers().size(); ++i) {
        const int ms = interval(*timers()[i]);
        if (m_timers[i] == ms)
            continue;
        if (ms > 0)
            ::SetTimer(m_hwnd, i + 1, static_cast<UINT>(ms), nullptr);
        else
            ::KillTimer(m_hwnd, i + 1);
        m_timers[i] = ms;
    }
}

void Win32View::takeViewSize() {
    RECT rect{0, 0, Win32Parts::toPixels(m_layout.width, m_dpi),
              Win32Parts::toPixels(m_layout.height, m_dpi)};
    ::AdjustWindowRectEx(&rect, static_cast<DWORD>(::GetWindowLongPtrW(m_hwnd, GWL_STYLE)),
                         m_menu->hasBar(),
                         static_cast<DWORD>(::GetWindowLongPtrW(m_hwnd, GWL_EXSTYLE)));
    // The model places the whole window, frame and menu included, at the screen's DPI.
    const int system = Win32Dpi::system();
    const int width = ::MulDiv(rect.right - rect.left, system, m_dpi);
    const int height = ::MulDiv(rect.bottom - rect.top, system, m_dpi);
    window().Width = std::max(window().Width, Win32Parts::toTwips(width, system));
    window().Height = std::max(window().Height, Win32Parts::toTwips(height, system));
}

void Win32View::applyGeometry() {
    using Win32Parts::toPixels;
    const Window& model = window();
    const int system = Win32Dpi::system();
    RECT area{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    const int width = std::min<int>(toPixels(model.Width, system), area.right - area.left);
    const int height = std::min<int>(toPixels(model.Height, system), area.bottom - area.top);
    ::SetWindowPos(m_hwnd, nullptr, toPixels(model.Left, system), toPixels(model.Top, system),
                   width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32View::storePosition() {
    if (!::IsWindowVisible(m_hwnd) || ::IsIconic(m_hwnd))
        return;
    RECT rect{};
    ::GetWindowRect(m_hwnd, &rect);
    const int system = Win32Dpi::system();
    window().Left = Win32Parts::toTwips(rect.left, system);
    window().Top = Win32Parts::toTwips(rect.top, system);
}

void Win32View::showModel() {
    sync();
    applyGeometry();
    if (window().isClosed())
        return;
    ::ShowWindow(m_hwnd, SW_SHOW);
    ::UpdateWindow(m_hwnd);
    ::SetForegroundWindow(m_hwnd);
}

void Win32View::runModal() {
    HWND owner = ::GetWindow(m_hwnd, GW_OWNER);
    if (owner)
        ::EnableWindow(owner, FALSE);
    runUntilClosed(window());
    if (owner) {
        // The owner takes the input back before the modal window goes away.
        ::EnableWindow(owner, TRUE);
        ::SetActiveWindow(owner);
    }
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

bool Win32View::preTranslate(MSG& msg) {
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    Win32View* ours = nullptr;
    for (const auto& [model, view] : liveViews()) {
        if (view->hwnd() == root)
            ours = view;
    }
    if (!ours)
        return false;
    if (ours->m_menu->accelerators() &&
        ::TranslateAcceleratorW(root, ours->m_menu->accelerators(), &msg))
        return true;
    // Tab and the arrow keys move between the controls, and Enter presses the default
    // button, as in a dialog.
    return ::IsDialogMessageW(root, &msg) != FALSE;
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
        if (preTranslate(msg))
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

// The window keeps its own focused control: a box or another window that took the input
// gives it back, and a window just shown starts at its first control. Neither is the
// operator entering a field, so the model's focus does not move.
bool Win32View::activate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::GetParent(focus) == m_hwnd)
            m_lastFocus = focus;
        return false;
    }
    if (HIWORD(wParam))
        return false;
    HWND target = m_lastFocus && ::IsWindowVisible(m_lastFocus) && ::IsWindowEnabled(m_lastFocus)
                      ? m_lastFocus
                      : ::GetNextDlgTabItem(m_hwnd, nullptr, FALSE);
    if (!target)
        return false;
    m_passingFocus = true;
    ::SetFocus(target);
    m_passingFocus = false;
    return true;
}

LRESULT Win32View::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        if (LOWORD(wParam) == IDCANCEL && lParam == 0 && ::GetWindow(m_hwnd, GW_OWNER))
            requestClose(); // Escape in a modal window, as its close box
        return 0;
    case DM_GETDEFID:
        return defaultButton();
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        Bound* bound = boundOf(header->hwndFrom);
        return bound && bound->grid ? bound->grid->notify(header, *this) : 0;
    }
    case FocusMessage:
        focusMoved(wParam, lParam != 0);
        return 0;
    case WM_TIMER:
        if (wParam >= 1 && wParam <= timers().size())
            tick(*timers()[wParam - 1]);
        return 0;
    case WM_CLOSE:
        requestClose();
        return 0;
    case WM_ACTIVATE:
        if (activate(wParam))
            return 0;
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
        Bound* bound = boundOf(reinterpret_cast<HWND>(lParam));
        return reinterpret_cast<LRESULT>(m_looks.colourStatic(
            reinterpret_cast<HDC>(wParam), bound ? bound->place.look : Look::Plain));
    }
    case WM_ERASEBKGND:
        if (m_looks.eraseBackground(m_hwnd, reinterpret_cast<HDC>(wParam)))
            return 1;
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
        m_looks.setDpi(m_dpi);
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
