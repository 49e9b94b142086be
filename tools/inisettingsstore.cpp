#include "inisettingsstore.h"

#include "common/eightbittext.h"
#include "common/textfile.h"

#include <cstdio>
#include <optional>
#include <string_view>

namespace {

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char32_t c) {
    return c <= '9' ? static_cast<int>(c - '0') : static_cast<int>((c | 0x20) - 'a' + 10);
}

// The file's text: UTF-8, with a stray byte taken as the character of that number.
std::u32string decodeLenient(std::string_view bytes) {
    std::u32string out;
    for (size_t i = 0; i < bytes.size();) {
        size_t length = 1;
        while (length < 4 && i + length < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + length]) & 0xC0) == 0x80)
            ++length;
        if (auto decoded = EightBitText::decodeUtf8(bytes.substr(i, length));
            decoded && decoded->size() == 1) {
            out += *decoded;
            i += length;
        } else {
            out += static_cast<unsigned char>(bytes[i]);
            ++i;
        }
    }
    return out;
}

std::string encodeUtf8(const std::u32string& text) {
    std::string out;
    for (char32_t c : text)
        EightBitText::appendUtf8(out, c);
    return out;
}

std::string hex(unsigned value, int width, bool upper) {
    char digits[16];
    std::snprintf(digits, sizeof digits, upper ? "%0*X" : "%0*x", width, value);
    return digits;
}

// Qt's marks of what a value holds: bytes that are not UTF-8, text with a NUL in it.
const std::u32string ByteArrayStart = U"@ByteArray(";
const std::u32string StringStart = U"@String(";

// A section or key name: letters, digits, "_-." as they are, '/' as '\', any other
// character as %XX or %UXXXX.
std::string escapeName(const std::string& name) {
    const std::u32string text = decodeLenient(name);
    std::string out;
    for (char32_t c : text) {
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                   c == '_' || c == '-' || c == '.') {
            out += static_cast<char>(c);
        } else if (c <= 0xFF) {
            out += '%' + hex(c, 2, true);
        } else if (c <= 0xFFFF) {
            out += "%U" + hex(c, 4, true);
        } else {
            out += "%U" + hex(0xD800 + ((c - 0x10000) >> 10), 4, true) + "%U" +
                   hex(0xDC00 + ((c - 0x10000) & 0x3FF), 4, true);
        }
    }
    return out;
}

std::string unescapeName(const std::u32string& text) {
    std::u32string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const bool wide = c == '%' && i + 1 < text.size() && text[i + 1] == 'U';
        size_t digits = c != '%' ? 0 : wide ? 4 : 2;
        const size_t from = i + (wide ? 2 : 1);
        for (size_t k = 0; k < digits; ++k) {
            if (from + k >= text.size() || !isHexDigit(text[from + k]))
                digits = 0;
        }
        if (c == '\\') {
            out += '/';
        } else if (digits) {
            char32_t value = 0;
            for (size_t k = 0; k < digits; ++k)
                value = value * 16 + hexValue(text[from + k]);
            const bool low = value >= 0xDC00 && value <= 0xDFFF;
            if (low && !out.empty() && out.back() >= 0xD800 && out.back() <= 0xDBFF)
                out.back() = 0x10000 + ((out.back() - 0xD800) << 10) + (value - 0xDC00);
            else
                out += value;
            i = from + digits - 1;
        } else {
            out += c;
        }
    }
    return encodeUtf8(out);
}

// A value as Qt writes it: text that is UTF-8 stays UTF-8 (a leading '@' doubled), other
// bytes go into "@ByteArray(...)"; control characters are escaped, and the value is quoted
// when it holds ';' ',' '=' or starts or ends with a blank.
std::string escapeValue(const std::string& value) {
    std::u32string text;
    bool utf8 = true;
    if (std::optional<std::u32string> decoded = EightBitText::decodeUtf8(value)) {
        if (decoded->find(U'\0') != std::u32string::npos)
            text = StringStart + *decoded + U")";
        else
            text = (!decoded->empty() && decoded->front() == '@' ? U"@" : U"") + *decoded;
    } else {
        utf8 = false;
        text = ByteArrayStart;
        for (char byte : value)
            text += static_cast<unsigned char>(byte);
        text += ')';
    }
    std::string out;
    bool needsQuotes = false;
    bool escapeNextIfHexDigit = false;
    for (char32_t c : text) {
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        // "\x1" then "a" would read back as "\x1a".
        if (escapeNextIfHexDigit && isHexDigit(c)) {
            out += "\\x" + hex(c, 1, false);
            continue;
        }
        escapeNextIfHexDigit = false;
        static const std::u32string_view controls = U"\a\b\f\n\r\t\v";
        static const std::string_view letters = "abfnrtv";
        if (c == 0) {
            out += "\\0";
            escapeNextIfHexDigit = true;
        } else if (const size_t at = controls.find(c); at != std::u32string_view::npos) {
            out += '\\';
            out += letters[at];
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c <= 0x1F || (c >= 0x7F && !utf8)) {
            out += "\\x" + hex(c, 1, false);
            escapeNextIfHexDigit = true;
        } else {
            out += encodeUtf8(std::u32string(1, c));
        }
    }
    if (needsQuotes || (!out.empty() && (out.front() == ' ' || out.back() == ' ')))
        out = '"' + out + '"';
    return out;
}

// What a value's text reads back as: quotes group, ';' outside them starts a comment,
// blanks around the unquoted text are dropped, escapes as escapeValue writes them.
std::string unescapeValue(const std::u32string& text) {
    std::u32string out;
    size_t kept = 0; // the length without unquoted trailing blanks
    bool quoted = false;
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    for (; i < text.size(); ++i) {
        const char32_t c = text[i];
        if (c == '"') {
            quoted = !quoted;
            kept = out.size();
            continue;
        }
        if (c == ';' && !quoted)
            break;
        if (c != '\\') {
            out += c;
            if (quoted || (c != ' ' && c != '\t'))
                kept = out.size();
            continue;
        }
        if (++i >= text.size())
            break;
        const char32_t e = text[i];
        static const std::u32string_view letters = U"abfnrtv\"?'\\";
        static const std::u32string_view meant = U"\a\b\f\n\r\t\v\"?'\\";
        if (const size_t at = letters.find(e); at != std::u32string_view::npos) {
            out += meant[at];
        } else if (e == 'x' || (e >= '0' && e <= '7')) {
            const int base = e == 'x' ? 16 : 8;
            char32_t value = e == 'x' ? 0 : e - '0';
            while (i + 1 < text.size() && (base == 16 ? isHexDigit(text[i + 1])
                                                      : text[i + 1] >= '0' && text[i + 1] <= '7'))
                value = value * base + hexValue(text[++i]);
            out += value;
        }
        // Any other escape reads as nothing.
        kept = out.size();
    }
    out.resize(kept);
    const auto marked = [&out](const std::u32string& start) {
        return out.size() > start.size() && out.compare(0, start.size(), start) == 0 &&
               out.back() == ')';
    };
    if (marked(ByteArrayStart)) {
        std::string bytes;
        for (size_t k = ByteArrayStart.size(); k + 1 < out.size(); ++k)
            bytes += static_cast<char>(out[k] & 0xFF);
        return bytes;
    }
    if (marked(StringStart))
        return encodeUtf8(out.substr(StringStart.size(), out.size() - StringStart.size() - 1));
    if (out.size() >= 2 && out[0] == '@' && out[1] == '@')
        out.erase(0, 1);
    return encodeUtf8(out);
}

std::u32string trimmed(std::u32string_view text) {
    const auto blank = [](char32_t c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return std::u32string(text);
}

} // namespace

IniFormat::Sections IniFormat::parse(const std::string& bytes) {
    Sections sections;
    const std::u32string text = decodeLenient(bytes);
    std::optional<std::string> section;
    for (size_t from = 0; from < text.size();) {
        size_t end = text.find('\n', from);
        if (end == std::u32string::npos)
            end = text.size();
        const std::u32string line = trimmed(std::u32string_view(text).substr(from, end - from));
        from = end + 1;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            section = unescapeName(line.substr(1, line.size() - 2));
            continue;
        }
        const size_t equals = line.find('=');
        if (!section || equals == std::u32string::npos)
            continue;
        sections[*section][unescapeName(trimmed(std::u32string_view(line).substr(0, equals)))] =
            unescapeValue(line.substr(equals + 1));
    }
    return sections;
}

std::string IniFormat::render(const Sections& sections) {
    std::string out;
    for (const auto& [section, keys] : sections) {
        if (keys.empty())
            continue;
        if (!out.empty())
            out += '\n';
        out += '[' + escapeName(section) + "]\n";
        for (const auto& [key, value] : keys)
            out += escapeName(key) + '=' + escapeValue(value) + '\n';
    }
    return out;
}

IniSettingsStore::IniSettingsStore(std::string directory) : m_directory(std::move(directory)) {}

std::string IniSettingsStore::fileOf(const std::string& application) const {
    return m_directory + "/" + application + ".ini";
}

std::string IniSettingsStore::GetSetting(const std::string& application, const std::string& section,
                                         const std::string& key,
                                         const std::string& defaultValue) const {
    const std::string file = fileOf(application);
    if (!TextFile::exists(file))
        return defaultValue;
    try {
        const IniFormat::Sections sections = IniFormat::parse(TextFile::readAll(file));
        const auto inSection = sections.find(section);
        if (inSection == sections.end())
            return defaultValue;
        const auto found = inSection->second.find(key);
        return found == inSection->second.end() ? defaultValue : found->second;
    } catch (const FileError&) {
        return defaultValue;
    }
}

void IniSettingsStore::SaveSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& value) {
    const std::string file = fileOf(application);
    try {
        // A file that is there but cannot be read is left alone rather than replaced by
        // this one setting.
        IniFormat::Sections sections;
        if (TextFile::exists(file))
            sections = IniFormat::parse(TextFile::readAll(file));
        sections[section][key] = value;
        TextFile::writeAtomically(file, IniFormat::render(sections));
    } catch (const FileError&) {
    }
}
