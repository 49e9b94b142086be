#pragma once

#include "slides/deckexporter.h"
#include "webout/slidetext.h"

#include <string>
#include <vector>

// The lines of that file, without their line ends, for the slides in position order: the
// header, then for each slide "slide N" and its "title", "text" and "note" lines, one for
// each line of its words. A tab or other control character becomes one blank, a line
// holding only blanks is left out, and bytes that are not UTF-8 become U+FFFD.
std::vector<std::string> slideTextLines(const std::vector<SlideWords>& slides);
