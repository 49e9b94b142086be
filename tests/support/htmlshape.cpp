#include "htmlshape.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <memory>

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool isRawText(GumboTag tag) {
    switch (tag) {
    case GUMBO_TAG_SCRIPT:
    case GUMBO_TAG_STYLE:
    case GUMBO_TAG_TITLE:
    case GUMBO_TAG_TEXTAREA:
    case GUMBO_TAG_XMP:
    case GUMBO_TAG_IFRAME:
    case GUMBO_TAG_NOEMBED:
    case GUMBO_TAG_NOFRAMES:
    case GUMBO_TAG_PLAINTEXT:
        return true;
    default:
        return false;
    }
}

std::string tagName(const GumboElement& element) {
    if (element.tag != GUMBO_TAG_UNKNOWN)
        return gumbo_normalized_tagname(element.tag);
    GumboStringPiece name = element.original_tag;
    gumbo_tag_from_original_text(&name);
    return lower(std::string_view(name.data, name.length));
}

void addNode(const GumboNode& node, bool inRawText, std::vector<std::string>& shape) {
    switch (node.type) {
    case GUMBO_NODE_ELEMENT:
    case GUMBO_NODE_TEMPLATE: {
        const GumboElement& element = node.v.element;
        const std::string name = tagName(element);
        std::string token = "<" + name;
        for (unsigned i = 0; i < element.attributes.length; ++i)
            token +=
                " " + lower(static_cast<const GumboAttribute*>(element.attributes.data[i])->name);
        shape.push_back(token + ">");
        for (unsigned i = 0; i < element.children.length; ++i)
            addNode(*static_cast<const GumboNode*>(element.children.data[i]),
                    isRawText(element.tag), shape);
        shape.push_back("</" + name + ">");
        break;
    }
    case GUMBO_NODE_COMMENT:
        shape.push_back("<!---->");
        break;
    case GUMBO_NODE_TEXT:
    case GUMBO_NODE_WHITESPACE:
    case GUMBO_NODE_CDATA:
        if (inRawText) {
            const std::string_view text = node.v.text.text;
            shape.push_back("#text lines=" +
                            std::to_string(std::count(text.begin(), text.end(), '\n')));
        }
        break;
    case GUMBO_NODE_DOCUMENT:
        break;
    }
}

} // namespace

std::vector<std::string> htmlShape(std::string_view page) {
    const auto destroy = [](GumboOutput* output) {
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    };
    const std::unique_ptr<GumboOutput, decltype(destroy)> output(
        gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size()), destroy);
    std::vector<std::string> shape;
    const GumboDocument& document = output->document->v.document;
    if (document.has_doctype)
        shape.push_back("<!doctype " + lower(document.name) + ">");
    for (unsigned i = 0; i < document.children.length; ++i)
        addNode(*static_cast<const GumboNode*>(document.children.data[i]), false, shape);
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
