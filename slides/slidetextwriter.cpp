#include "slidetextwriter.h"

#include <cstdint>

namespace {

constexpr const char* Replacement = "\xEF\xBF\xBD";

// The length of the well-formed UTF-8 sequence at text[i] and its code point; 0 when the
// bytes there are not one.
size_t decode(const std::string& text, size_t i, std::uint32_t& code) {
    const auto byte = [&](size_t k) -> unsigned {
        return i + k < text.size() ? static_cast<unsigned char>(text[i + k]) : 0;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    size_t length = 0;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        // No overlong form, no surrogate.
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        const unsigned next = byte(k);
        if (next < (k == 1 ? low : 0x80) || next > (k == 1 ? high : 0xBF))
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

bool breaksLine(std::uint32_t code) {
    return code == '\n' || code == '\r' || code == 0x0B || code == 0x0C || code == 0x85 ||
           code == 0x2028 || code == 0x2029;
}

bool isControl(std::uint32_t code) {
    return code < 0x20 || (code >= 0x7F && code <= 0x9F);
}

// The lines of one text, each prefixed with its keyword.
void addLines(std::vector<std::string>& out, const char* keyword, const std::string& text) {
    std::string line;
    bool worded = false;
    const auto end = [&] {
        if (worded)
            out.push_back(keyword + (" " + line));
        line.clear();
        worded = false;
    };
    for (size_t i = 0; i < text.size();) {
        std::uint32_t code = 0;
        const size_t length = decode(text, i, code);
        if (length == 0) {
            line += Replacement;
            worded = true;
            ++i;
            continue;
        }
        if (breaksLine(code)) {
            end();
        } else if (isControl(code) || code == ' ') {
            line += ' ';
        } else {
            line.append(text, i, length);
            worded = true;
        }
        i += length;
    }
    end();
}

} // namespace

std::vector<std::string> slideTextLines(const std::vector<SlideWords>& slides) {
    std::vector<std::string> lines = {SlideTextHeader};
    for (size_t n = 0; n < slides.size(); ++n) {
        lines.push_back("slide " + std::to_string(n + 1));
        addLines(lines, "title", slides[n].title);
        for (const std::string& text : slides[n].texts)
            addLines(lines, "text", text);
        for (const std::string& note : slides[n].notes)
            addLines(lines, "note", note);
    }
    return lines;
}
