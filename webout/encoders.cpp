#include "encoders.h"

#include "common/eightbittext.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// The reference of the characters that end an element's text or an attribute's value;
// nullptr for any other byte.
const char* htmlReference(char c) {
    switch (c) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

bool isControl(unsigned char byte) {
    return byte < 0x20 || byte == 0x7F;
}

// The text as UTF-8: its own bytes when they are UTF-8, else their Windows code page reading.
std::string asUtf8(std::string_view text) {
    std::string bytes(text);
    return EightBitText::isUtf8(bytes) ? bytes : EightBitText::toUtf8(bytes);
}

// The code point of a control character (C0, DEL or C1) at the front of UTF-8 text, with
// the bytes it takes; {0, 0} for any other character.
std::pair<unsigned, size_t> controlAt(std::string_view utf8) {
    const auto lead = static_cast<unsigned char>(utf8[0]);
    if (isControl(lead))
        return {lead, 1};
    const auto next = utf8.size() > 1 ? static_cast<unsigned char>(utf8[1]) : 0;
    if (lead == 0xC2 && next >= 0x80 && next <= 0x9F)
        return {next, 2};
    return {0, 0};
}

} // namespace

std::string htmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        if (const char* reference = htmlReference(c))
            out += reference;
        else
            out += c;
    }
    return out;
}

std::string htmlUtf8Text(std::string_view text) {
    const std::string bytes(text);
    if (EightBitText::isUtf8(bytes))
        return htmlEscape(text);
    // An 8-bit text (a log from a Windows code page) would not read as UTF-8 in the
    // browser: its letters go in as character references of their code page reading.
    const std::string utf8 = EightBitText::toUtf8(bytes);
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += htmlEscape(utf8.substr(i++, 1));
            continue;
        }
        // toUtf8 gives well-formed UTF-8: the lead byte tells the length.
        const size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        unsigned long code = lead & (0x7F >> length);
        for (size_t k = 1; k < length && i + k < utf8.size(); ++k)
            code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        out += "&#" + std::to_string(code) + ";";
        i += length;
    }
    return out;
}

std::string percentEncoded(char byte) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    const auto b = static_cast<unsigned char>(byte);
    return {'%', Hex[b >> 4], Hex[b & 0x0F]};
}

std::string urlPathSegment(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (const char c : name) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        out += unreserved ? std::string(1, c) : percentEncoded(c);
    }
    return out;
}

std::string scriptDataUrl(std::string_view url) {
    std::string out;
    out.reserve(url.size());
    for (const char c : url) {
        if (isControl(static_cast<unsigned char>(c)) || c == '<' || c == '>' || c == '"')
            out += percentEncoded(c);
        else
            out += c;
    }
    return out;
}

std::string vttUrlText(std::string_view url) {
    std::string out;
    while (!url.empty()) {
        const char c = url.front();
        const size_t length = EightBitText::utf8SequenceLength(url);
        if (c == '&' || c == '<' || c == '>')
            out += htmlReference(c);
        else if (length == 0 || isControl(static_cast<unsigned char>(c)))
            out += percentEncoded(c);
        else
            out += url.substr(0, length);
        url.remove_prefix(std::max<size_t>(length, 1));
    }
    return out;
}

std::string jsonString(std::string_view text) {
    const std::string utf8 = asUtf8(text);
    std::string out = "\"";
    out.reserve(utf8.size() + 2);
    const auto escaped = [&](unsigned code) {
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "\\u%04x", code);
        out += buffer;
    };
    for (size_t i = 0; i < utf8.size();) {
        const std::string_view rest = std::string_view(utf8).substr(i);
        const char c = rest[0];
        if (const auto [code, length] = controlAt(rest); length > 0) {
            escaped(code);
            i += length;
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
            ++i;
        } else if (c == '<' || c == '>' || c == '&') {
            escaped(static_cast<unsigned char>(c));
            ++i;
        } else if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9")) {
            // Line and paragraph separators end a line for some readers of the block.
            escaped(rest[2] == '\xA8' ? 0x2028 : 0x2029);
            i += 3;
        } else {
            out += c;
            ++i;
        }
    }
    return out + "\"";
}

std::string vttText(std::string_view text) {
    const std::string utf8 = asUtf8(text);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const char c = utf8[i];
        if (const auto [code, length] = controlAt(std::string_view(utf8).substr(i)); length > 0) {
            out += ' ';
            i += length;
            continue;
        }
        if (c == '&' || c == '<' || c == '>')
            out += htmlReference(c);
        else
            out += c;
        ++i;
    }
    return out;
}
