#include "menukeys.h"

#include "modeltext.h"

#include "forms/accesskeys.h"
#include "forms/controls.h"

std::vector<QChar> MenuKeys::accessKeys(const std::vector<MenuItem*>& items) {
    std::vector<QChar> keys;
    for (char key : AccessKeys::of(items))
        keys.push_back(key ? QChar::fromLatin1(key) : QChar());
    return keys;
}

QString MenuKeys::withAccessKey(const std::string& caption, QChar key) {
    return ModelText::toQt(AccessKeys::marked(caption, key.toLatin1()));
}

QKeySequence MenuKeys::shortcut(const std::string& name) {
    const std::optional<AccessKeys::Shortcut> keys = AccessKeys::shortcutOf(name);
    if (!keys)
        return {};
    if (keys->functionKey > 0)
        return QKeySequence(static_cast<int>(Qt::Key_F1) + keys->functionKey - 1);
    return QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_A + (keys->controlLetter - 'A')));
}
