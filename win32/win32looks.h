#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

class Control;

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

// The faces and colours of one window's looks, at the DPI of the monitor it is on.
class Win32Looks {
  public:
    explicit Win32Looks(bool greyBackground);
    ~Win32Looks();
    Win32Looks(const Win32Looks&) = delete;
    Win32Looks& operator=(const Win32Looks&) = delete;

    // Makes the faces for a DPI.
    void setDpi(int dpi);
    HFONT font(Look look) const;
    static bool centred(Look look);

    // A static control's text colour for its look, and the brush behind it.
    HBRUSH colourStatic(HDC dc, Look look) const;
    // Fills the client area with the window's own background; false when it has none.
    bool eraseBackground(HWND window, HDC dc) const;
    // Grid widths were laid out for a small 8-point face; a text that fitted there (a
    // clock time in a 700-twip column) must fit in the face used here.
    double gridScale(HWND window, int dpi) const;

  private:
    std::map<Look, HFONT> m_fonts;
    HBRUSH m_background = nullptr;
};
