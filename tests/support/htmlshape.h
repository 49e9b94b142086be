#pragma once

#include <string>
#include <string_view>
#include <vector>

// The structure of an HTML page as a browser builds it (Debian's libgumbo, an HTML5
// parser): every element with its attribute names, where it opens and closes, every
// comment, and each text node of a raw-text element (script, style, title) with its
// number of lines, since a data block is read line by line. Other text and attribute
// values are left out, so a page whose values all stayed in their places has the shape of
// the same page with harmless values.
std::vector<std::string> htmlShape(std::string_view page);

// What a stored-script check counts in a shape.
struct HtmlCounts {
    int elements = 0;
    int eventHandlers = 0; // attributes named on...
    int scripts = 0;
};
HtmlCounts htmlCounts(const std::vector<std::string>& shape);
