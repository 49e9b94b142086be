#include "eightbittext.h"

namespace {

// Windows-1252 from 0x80 to 0x9F; the rest of the page is Latin-1. The five bytes the page
// leaves unassigned read as the C1 controls of their number, as Windows' own conversion
// reads them, so every byte comes back from an edit.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char32_t fromCodePage(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? High[byte - 0x80] : byte;
}

std::optional<char> toCodePage(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        if (High[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

} // namespace

size_t EightBitText::utf8SequenceLength(std::string_view text) {
    if (text.empty())
        return 0;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80)
        return 1;
    size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    if (length == 0 || text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    }
    return length;
}

std::optional<std::u32string> EightBitText::decodeUtf8(std::string_view bytes) {
    std::u32string out;
    while (!bytes.empty()) {
        const size_t length = utf8SequenceLength(bytes);
        if (length == 0)
            return std::nullopt;
        const auto lead = static_cast<unsigned char>(bytes[0]);
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
            c = (c << 6) | (static_cast<unsigned char>(bytes[k]) & 0x3F);
        out += c;
        bytes.remove_prefix(length);
    }
    return out;
}

void EightBitText::appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool EightBitText::isUtf8(const std::string& bytes) {
    std::string_view rest = bytes;
    while (!rest.empty()) {
        const size_t length = utf8SequenceLength(rest);
        if (length == 0)
            return false;
        rest.remove_prefix(length);
    }
    return true;
}

std::string EightBitText::toUtf8(const std::string& bytes) {
    if (isUtf8(bytes))
        return bytes;
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (const char b : bytes)
        appendUtf8(out, fromCodePage(static_cast<unsigned char>(b)));
    return out;
}

std::string EightBitText::encodeEdit(const std::string& editUtf8, const std::string& previous) {
    if (isUtf8(previous))
        return editUtf8;
    const std::optional<std::u32string> text = decodeUtf8(editUtf8);
    if (!text)
        return editUtf8;
    std::string bytes;
    bytes.reserve(text->size());
    for (const char32_t c : *text) {
        const std::optional<char> b = toCodePage(c);
        if (!b)
            return editUtf8;
        bytes += *b;
    }
    return bytes;
}
