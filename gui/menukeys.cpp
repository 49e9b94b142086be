#include "menukeys.h"

#include "modeltext.h"

#include "common/controls.h"

#include <map>

namespace {

// Where the desktop's custom wants a letter other than the first: "E&xit".
const std::map<std::string, QChar> PreferredKeys = {{"mnuExit", QLatin1Char('x')}};

// The desktop's usual keys, the same on every platform theme (some have no Quit key).
const std::map<std::string, QKeyCombination> Shortcuts = {{"mnuRdLog", Qt::CTRL | Qt::Key_O},
                                                          {"mnuOpenLog", Qt::CTRL | Qt::Key_O},
                                                          {"mnuSaveGrid", Qt::CTRL | Qt::Key_S},
                                                          {"mnuExit", Qt::CTRL | Qt::Key_Q},
                                                          {"mnuHelp", QKeyCombination(Qt::Key_F1)}};

} // namespace

std::vector<QChar> MenuKeys::accessKeys(const std::vector<MenuItem*>& items) {
    std::vector<QChar> keys(items.size());
    QString used;
    const auto take = [&used](QChar letter) {
        if (!letter.isLetterOrNumber() || used.contains(letter, Qt::CaseInsensitive))
            return false;
        used += letter;
        return true;
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i]->isSeparator())
            continue;
        const QString caption = ModelText::toQt(items[i]->Caption);
        std::vector<QChar> candidates;
        if (const auto preferred = PreferredKeys.find(items[i]->name());
            preferred != PreferredKeys.end())
            candidates.push_back(preferred->second);
        for (int c = 0; c < caption.size(); ++c)
            if (c == 0 || caption.at(c - 1).isSpace())
                candidates.push_back(caption.at(c));
        for (QChar letter : caption)
            candidates.push_back(letter);
        for (QChar letter : candidates)
            if (caption.contains(letter) && take(letter)) {
                keys[i] = letter;
                break;
            }
    }
    return keys;
}

QString MenuKeys::withAccessKey(const std::string& caption, QChar key) {
    QString text = ModelText::caption(caption);
    if (key.isNull())
        return text;
    // The first place of the letter outside a doubled '&'.
    for (int c = 0; c < text.size(); ++c) {
        if (text.at(c) == QLatin1Char('&')) {
            ++c;
            continue;
        }
        if (text.at(c) == key) {
            text.insert(c, QLatin1Char('&'));
            break;
        }
    }
    return text;
}

QKeySequence MenuKeys::shortcut(const std::string& name) {
    const auto found = Shortcuts.find(name);
    return found == Shortcuts.end() ? QKeySequence() : QKeySequence(found->second);
}
