#pragma once

#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

// The office process (soffice.bin) that runs with the given profile folder; 0 if none.
pid_t officeProcess(const std::string& profileDir);

// A deck as flat ODP text: 4:3 pages named page1... with the given titles. A title of
// std::nullopt gives a page without a title placeholder, an empty one an empty placeholder;
// a "\n" in a title starts a new paragraph.
std::string flatDeck(const std::vector<std::optional<std::string>>& titles);

// One page of a flat deck: its title as above, its body text (by default "Body of page N"),
// any further shapes, and its speaker notes' paragraphs (none when empty), as flat ODP
// elements.
struct FlatPage {
    std::optional<std::string> title;
    std::optional<std::string> body;
    std::string shapes;
    std::string notes;
};
std::string deckOfPages(const std::vector<FlatPage>& pages);
