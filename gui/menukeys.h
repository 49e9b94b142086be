#pragma once

#include <QChar>
#include <QKeySequence>
#include <QString>

#include <string>
#include <vector>

class MenuItem;

// Access keys and shortcuts are the menus' own on the desktop: the captions in the
// window models stay as the system fixes them.
namespace MenuKeys {

// One access key for each of the items of one menu (or the menus of a menu bar), unique
// among them: a word's first letter where one is free, else any free letter; a null
// character where none is left. Separators get none.
std::vector<QChar> accessKeys(const std::vector<MenuItem*>& items);
// The caption as the menu shows it: a '&' of the caption doubled, the key marked.
QString withAccessKey(const std::string& caption, QChar key);
// The desktop's usual shortcut for a command, by its item's name; empty when none fits.
QKeySequence shortcut(const std::string& name);

} // namespace MenuKeys
