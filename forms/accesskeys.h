#pragma once

#include <optional>
#include <string>
#include <vector>

class MenuItem;

// Access keys are the menus' own on every desktop: the captions in the window models stay
// as the system fixes them.
namespace AccessKeys {

// One access key for each of the items of one menu (or the menus of a menu bar), unique
// among them regardless of case: a word's first letter where one is free, else any free
// letter or digit of the caption; 0 where none is left. Separators get none.
std::vector<char> of(const std::vector<MenuItem*>& items);

// The caption as a menu shows it: a '&' of the caption doubled, the key marked with '&'
// at its first place.
std::string marked(const std::string& caption, char key);

// A command's usual shortcut on the desktops: Ctrl with a letter, or a function key.
struct Shortcut {
    char controlLetter = 0; // 'O' for Ctrl+O
    int functionKey = 0;    // 1 for F1
};
// The shortcut of a menu item, by its name; none when no usual one fits.
std::optional<Shortcut> shortcutOf(const std::string& name);
// The shortcut as a menu shows it beside its item: "Ctrl+O", "F1".
std::string shortcutText(const Shortcut& shortcut);

} // namespace AccessKeys
