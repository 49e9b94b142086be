#include "htmlshape.h"

#include <cctype>

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool isRawText(const std::string& name) {
    return name == "script" || name == "style" || name == "title" || name == "textarea" ||
           name == "xmp" || name == "iframe" || name == "noembed" || name == "noframes";
}

// Reads the tag at page[at] ('<' then a letter or '/'), returns where it ends.
size_t readTag(std::string_view page, size_t at, std::string& token, std::string& name) {
    const bool end = page[at + 1] == '/';
    size_t i = at + (end ? 2 : 1);
    const size_t nameStart = i;
    while (i < page.size() && !isSpace(page[i]) && page[i] != '/' && page[i] != '>')
        ++i;
    name = lower(page.substr(nameStart, i - nameStart));
    token = (end ? "</" : "<") + name;
    for (;;) {
        while (i < page.size() && (isSpace(page[i]) || page[i] == '/'))
            ++i;
        if (i >= page.size() || page[i] == '>')
            break;
        const size_t attrStart = i++;
        while (i < page.size() && !isSpace(page[i]) && page[i] != '/' && page[i] != '>' &&
               page[i] != '=')
            ++i;
        token += " " + lower(page.substr(attrStart, i - attrStart));
        while (i < page.size() && isSpace(page[i]))
            ++i;
        if (i >= page.size() || page[i] != '=')
            continue;
        ++i;
        while (i < page.size() && isSpace(page[i]))
            ++i;
        if (i < page.size() && (page[i] == '"' || page[i] == '\'')) {
            const size_t close = page.find(page[i], i + 1);
            i = close == std::string_view::npos ? page.size() : close + 1;
        } else {
            while (i < page.size() && !isSpace(page[i]) && page[i] != '>')
                ++i;
        }
    }
    token += ">";
    if (end)
        name.clear();
    return i < page.size() ? i + 1 : page.size();
}

} // namespace

std::vector<std::string> htmlShape(std::string_view page) {
    std::vector<std::string> shape;
    size_t i = 0;
    while (i < page.size()) {
        const size_t lt = page.find('<', i);
        if (lt == std::string_view::npos || lt + 1 >= page.size())
            break;
        const char next = page[lt + 1];
        if (page.substr(lt, 4) == "<!--") {
            shape.push_back("<!---->");
            const size_t close = page.find("-->", lt + 4);
            i = close == std::string_view::npos ? page.size() : close + 3;
        } else if (next == '!' || next == '?') {
            shape.push_back("<!>");
            const size_t close = page.find('>', lt);
            i = close == std::string_view::npos ? page.size() : close + 1;
        } else if (std::isalpha(static_cast<unsigned char>(next)) ||
                   (next == '/' && lt + 2 < page.size() &&
                    std::isalpha(static_cast<unsigned char>(page[lt + 2])))) {
            std::string token;
            std::string name;
            i = readTag(page, lt, token, name);
            shape.push_back(token);
            if (!isRawText(name))
                continue;
            // Raw text runs to the element's own end tag; its lines are counted, since a
            // data block is read line by line.
            const std::string endTag = "</" + name;
            size_t close = i;
            while ((close = page.find("</", close)) != std::string_view::npos &&
                   lower(page.substr(close, endTag.size())) != endTag)
                close += 2;
            const std::string_view text =
                page.substr(i, (close == std::string_view::npos ? page.size() : close) - i);
            size_t lines = 0;
            for (const char c : text)
                lines += c == '\n' || c == '\r';
            shape.push_back("#text lines=" + std::to_string(lines));
            i = close == std::string_view::npos ? page.size() : close;
        } else {
            i = lt + 1;
        }
    }
    return shape;
}

HtmlCounts htmlCounts(const std::vector<std::string>& shape) {
    HtmlCounts counts;
    for (const std::string& token : shape) {
        if (token.rfind("<", 0) != 0 || token.rfind("</", 0) == 0 || token.rfind("<!", 0) == 0)
            continue;
        ++counts.elements;
        counts.scripts += token.rfind("<script", 0) == 0 &&
                          (token.size() == 8 || token[7] == ' ' || token[7] == '>');
        for (size_t at = token.find(" on"); at != std::string::npos; at = token.find(" on", at + 1))
            ++counts.eventHandlers;
    }
    return counts;
}
