#include "forms/accesskeys.h"
#include "forms/controls.h"
#include "forms/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// The keys of one menu, as a text: '.' for an item without one.
std::string keysOf(Window& window, const std::vector<std::pair<std::string, std::string>>& items) {
    std::vector<std::unique_ptr<MenuItem>> owned;
    std::vector<MenuItem*> menu;
    for (const auto& [name, caption] : items) {
        owned.push_back(std::make_unique<MenuItem>(&window, name, caption));
        menu.push_back(owned.back().get());
    }
    std::string keys;
    for (char key : AccessKeys::of(menu))
        keys += key ? key : '.';
    return keys;
}

TEST(AccessKeys, eachItemTakesAFreeLetterWordStartsFirstAndSeparatorsNone) {
    Window window("test");
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> items;
        const char* keys;
    };
    const Case cases[] = {
        {"the bar", {{"mnuFile", "File"}, {"mnuOptions", "Options"}, {"nuHelpTop", "Help"}}, "FOH"},
        // A taken word start gives way to the next word's, then to any letter, whatever
        // its case; Exit takes its customary x.
        {"the post-processor's File menu",
         {{"mnuRdLog", "Read Log File"},
          {"mnuWrtAll", "Write HTM, RAM, RAE"},
          {"mnuBar4", "-"},
          {"mnuWriteHTM", "Write HTM Files"},
          {"mnuWrRam", "Write RAM FIles"},
          {"mnuWrCevents", "Write RAE File"},
          {"mnuBar", "-"},
          {"mnuReadGrid", "Read Grid"},
          {"mnuSaveGrid", "Save Grid"},
          {"mnuBar2", "-"},
          {"mnuExit", "Exit"}},
         "RW.HFi.GS.x"},
        {"captions without a free letter",
         {{"a", "Ab"}, {"b", "ba"}, {"c", "AB"}, {"d", "&"}},
         "Ab.."},
        {"digits count as letters", {{"a", "1 x"}, {"b", "1 y"}}, "1y"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(keysOf(window, c.items), c.keys) << c.what;
}

TEST(AccessKeys, theMarkedCaptionDoublesItsAmpersandsAndMarksTheFirstPlaceOfTheKey) {
    struct Case {
        const char* caption;
        char key;
        const char* shown;
    } const cases[] = {
        {"Read Log File", 'L', "Read &Log File"},
        {"Exit", 'x', "E&xit"},
        {"Save & Quit", 'Q', "Save && &Quit"},
        {"Save & Quit", 0, "Save && Quit"},
        {"Save", 'z', "Save"}, // a key the caption lacks marks nothing
        {"a&a", 'a', "&a&&a"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AccessKeys::marked(c.caption, c.key), c.shown) << c.caption;
}

TEST(AccessKeys, theUsualShortcutsGoToTheCommandsThatOpenSaveQuitAndHelp) {
    struct Case {
        const char* name;
        char letter;
        int functionKey;
        const char* shown; // beside the item in a Windows menu
    } const cases[] = {{"mnuRdLog", 'O', 0, "Ctrl+O"},
                       {"mnuOpenLog", 'O', 0, "Ctrl+O"},
                       {"mnuSaveGrid", 'S', 0, "Ctrl+S"},
                       {"mnuExit", 'Q', 0, "Ctrl+Q"},
                       {"mnuHelp", 0, 1, "F1"}};
    for (const Case& c : cases) {
        const auto shortcut = AccessKeys::shortcutOf(c.name);
        ASSERT_TRUE(shortcut) << c.name;
        EXPECT_EQ(shortcut->controlLetter, c.letter) << c.name;
        EXPECT_EQ(shortcut->functionKey, c.functionKey) << c.name;
        EXPECT_EQ(AccessKeys::shortcutText(*shortcut), c.shown) << c.name;
    }
    EXPECT_FALSE(AccessKeys::shortcutOf("mnuReadGrid"));
}

} // namespace
