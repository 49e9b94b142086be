#include "win32parts.h"

#include "common/eightbittext.h"
#include "common/text.h"
#include "forms/uiservices.h"

#include <windows.h>

#include <cmath>
#include <vector>

namespace {

std::wstring fromUtf8(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int size = static_cast<int>(utf8.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
    return text;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, bytes.data(), length, nullptr,
                              nullptr);
    return bytes;
}

} // namespace

int Win32Parts::toPixels(int twips, int dpi) {
    return static_cast<int>(std::lround(twips * static_cast<double>(dpi) / 1440.0));
}

int Win32Parts::toTwips(int pixels, int dpi) {
    return static_cast<int>(std::lround(pixels * 1440.0 / (dpi > 0 ? dpi : 96)));
}

std::wstring Win32Parts::toScreen(const std::string& bytes) {
    return fromUtf8(EightBitText::toUtf8(bytes));
}

std::string Win32Parts::fromScreen(const std::wstring& text, const std::string& previous) {
    return EightBitText::encodeEdit(toUtf8(text), previous);
}

std::wstring Win32Parts::captionOf(const std::string& bytes) {
    std::wstring caption;
    for (wchar_t c : toScreen(bytes)) {
        if (c == L'&')
            caption += L'&';
        caption += c;
    }
    return caption;
}

std::wstring Win32Parts::textOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

unsigned Win32Parts::messageBoxFlags(int style) {
    // The model's style sum uses the values MessageBoxW itself takes for its buttons,
    // icons and default button.
    unsigned buttons = MB_OK;
    switch (Mb::buttonsOf(style)) {
    case Mb::OKCancel:
        buttons = MB_OKCANCEL;
        break;
    case Mb::YesNoCancel:
        buttons = MB_YESNOCANCEL;
        break;
    case Mb::YesNo:
        buttons = MB_YESNO;
        break;
    default:
        break;
    }
    const unsigned icon = static_cast<unsigned>(style) & MB_ICONMASK;
    const unsigned defaultButton = Mb::secondIsDefault(style) ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return buttons | icon | defaultButton | MB_APPLMODAL | MB_SETFOREGROUND;
}

int Win32Parts::messageBoxResult(int pressed, int style) {
    switch (pressed) {
    case IDOK:
        return Mb::OK;
    case IDCANCEL:
        return Mb::Cancel;
    case IDYES:
        return Mb::Yes;
    case IDNO:
        return Mb::No;
    default:
        // A box that could not be shown is answered as the escape key would.
        return Mb::hasAnswer(style, Mb::Cancel) ? Mb::Cancel
               : Mb::hasAnswer(style, Mb::No)   ? Mb::No
                                                : Mb::OK;
    }
}

std::wstring Win32Parts::dialogFilter(const std::string& filter) {
    std::wstring list;
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t bar = filter.find('|', start);
        parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        list += toScreen(parts[i]);
        list += L'\0';
        list += toScreen(parts[i + 1]);
        list += L'\0';
    }
    list += L'\0';
    return list;
}

std::string Win32Parts::browserHelpPath(const std::string& helpFile) {
    if (Text::endsWithNoCase(helpFile, ".hlp"))
        return helpFile.substr(0, helpFile.size() - 4) + ".htm";
    return helpFile;
}

int Win32Dpi::system() {
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int Win32Dpi::ofWindow(HWND window) {
    // Per-monitor DPI came with Windows 10; older systems have the one DPI of the screen.
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto call = reinterpret_cast<GetDpiForWindowCall>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
    const UINT dpi = call && window ? call(window) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : system();
}
