#include "accesskeys.h"

#include "controls.h"

#include <cctype>
#include <map>
#include <string>

namespace {

// Where the desktop's custom wants a letter other than the first: "E&xit".
const std::map<std::string, char> PreferredKeys = {{"mnuExit", 'x'}};

// The desktops' usual keys (some platform themes have no Quit key).
const std::map<std::string, AccessKeys::Shortcut> Shortcuts = {{"mnuRdLog", {'O', 0}},
                                                               {"mnuOpenLog", {'O', 0}},
                                                               {"mnuSaveGrid", {'S', 0}},
                                                               {"mnuExit", {'Q', 0}},
                                                               {"mnuHelp", {0, 1}}};

bool isKey(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0;
}

} // namespace

std::vector<char> AccessKeys::of(const std::vector<MenuItem*>& items) {
    std::vector<char> keys(items.size(), 0);
    std::string used;
    const auto take = [&used](char letter) {
        const char folded = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
        if (!isKey(letter) || used.find(folded) != std::string::npos)
            return false;
        used += folded;
        return true;
    };
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i]->isSeparator())
            continue;
        const std::string& caption = items[i]->Caption;
        std::string candidates;
        if (const auto preferred = PreferredKeys.find(items[i]->name());
            preferred != PreferredKeys.end())
            candidates += preferred->second;
        for (size_t c = 0; c < caption.size(); ++c) {
            if (c == 0 || caption[c - 1] == ' ')
                candidates += caption[c];
        }
        candidates += caption;
        for (char letter : candidates) {
            if (caption.find(letter) != std::string::npos && take(letter)) {
                keys[i] = letter;
                break;
            }
        }
    }
    return keys;
}

std::string AccessKeys::marked(const std::string& caption, char key) {
    std::string text;
    bool done = key == 0;
    for (char c : caption) {
        if (c == '&')
            text += '&';
        else if (!done && c == key) {
            text += '&';
            done = true;
        }
        text += c;
    }
    return text;
}

std::optional<AccessKeys::Shortcut> AccessKeys::shortcutOf(const std::string& name) {
    const auto found = Shortcuts.find(name);
    if (found == Shortcuts.end())
        return std::nullopt;
    return found->second;
}

std::string AccessKeys::shortcutText(const Shortcut& shortcut) {
    if (shortcut.functionKey > 0)
        return "F" + std::to_string(shortcut.functionKey);
    return std::string("Ctrl+") + shortcut.controlLetter;
}
