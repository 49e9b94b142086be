// The 8-bit text rule on the Win32 code page calls.
#include "eightbittext.h"

#include <windows.h>

#include <optional>

namespace {

constexpr UINT CodePage = 1252;

std::optional<std::wstring> decode(const std::string& bytes, UINT codePage, DWORD flags) {
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0)
        return std::nullopt;
    std::wstring text(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), size, text.data(), length);
    return text;
}

// Null when the code page lacks a character; no best-fit look-alikes.
std::optional<std::string> encode(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return std::string();
    const int size = static_cast<int>(text.size());
    const bool utf8 = codePage == CP_UTF8;
    BOOL lossy = FALSE;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const int length = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0,
                                             nullptr, utf8 ? nullptr : &lossy);
    if (length <= 0 || lossy)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(codePage, flags, text.data(), size, bytes.data(), length, nullptr,
                          nullptr);
    return bytes;
}

} // namespace

bool EightBitText::isUtf8(const std::string& bytes) {
    return decode(bytes, CP_UTF8, MB_ERR_INVALID_CHARS).has_value();
}

std::string EightBitText::toUtf8(const std::string& bytes) {
    if (isUtf8(bytes))
        return bytes;
    return encode(decode(bytes, CodePage, 0).value_or(std::wstring()), CP_UTF8).value_or(bytes);
}

std::string EightBitText::encodeEdit(const std::string& editUtf8, const std::string& previous) {
    if (!isUtf8(previous)) {
        if (auto text = decode(editUtf8, CP_UTF8, 0)) {
            if (std::optional<std::string> bytes = encode(*text, CodePage))
                return *bytes;
        }
    }
    return editUtf8;
}
