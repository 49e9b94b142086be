#include "win32looks.h"

#include "win32parts.h"

#include <algorithm>

namespace {

constexpr COLORREF Grey = RGB(0xD6, 0xD6, 0xD6);
constexpr COLORREF StatusRed = RGB(0xB0, 0, 0);

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

} // namespace

Win32Looks::Win32Looks(bool greyBackground) {
    if (greyBackground)
        m_background = ::CreateSolidBrush(Grey);
}

Win32Looks::~Win32Looks() {
    for (auto& [look, font] : m_fonts)
        ::DeleteObject(font);
    if (m_background)
        ::DeleteObject(m_background);
}

void Win32Looks::setDpi(int dpi) {
    for (auto& [look, font] : m_fonts)
        ::DeleteObject(font);
    m_fonts.clear();
    for (Look look : {Look::Plain, Look::SystemName, Look::Trademark, Look::Heading, Look::Notice,
                      Look::Status}) {
        const LOGFONTW face = faceOf(look, dpi);
        m_fonts[look] = ::CreateFontIndirectW(&face);
    }
}

HFONT Win32Looks::font(Look look) const {
    const auto found = m_fonts.find(look);
    return found != m_fonts.end() ? found->second : m_fonts.at(Look::Plain);
}

bool Win32Looks::centred(Look look) {
    return look == Look::Centered || look == Look::SystemName || look == Look::Heading;
}

HBRUSH Win32Looks::colourStatic(HDC dc, Look look) const {
    ::SetBkMode(dc, TRANSPARENT);
    if (look == Look::Status)
        ::SetTextColor(dc, StatusRed);
    else if (look == Look::Note)
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    else
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
    if (m_background) {
        ::SetBkColor(dc, Grey);
        return m_background;
    }
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

bool Win32Looks::eraseBackground(HWND window, HDC dc) const {
    if (!m_background)
        return false;
    RECT rect{};
    ::GetClientRect(window, &rect);
    ::FillRect(dc, &rect, m_background);
    return true;
}

double Win32Looks::gridScale(HWND window, int dpi) const {
    HDC dc = ::GetDC(window);
    HGDIOBJ old = ::SelectObject(dc, font(Look::Plain));
    SIZE clock{};
    ::GetTextExtentPoint32W(dc, L"00:00:00", 8, &clock);
    ::SelectObject(dc, old);
    ::ReleaseDC(window, dc);
    const int cellPadding = 14;
    return std::max(1.0,
                    (clock.cx + cellPadding) / static_cast<double>(Win32Parts::toPixels(700, dpi)));
}
