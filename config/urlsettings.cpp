#include "urlsettings.h"

#include "common/settingsstore.h"

#include <utility>

namespace {

// Each field with its setting, in the order they are stored.
const std::pair<std::string UrlSettings::*, PostSettings::Setting> Fields[] = {
    {&UrlSettings::AudioURL, PostSettings::AudioURL},
    {&UrlSettings::HTMLURL, PostSettings::HTMLURL},
    {&UrlSettings::IMGPath, PostSettings::IMGPath},
    {&UrlSettings::CeventsLoc, PostSettings::CeventsLoc},
};

} // namespace

UrlSettings UrlSettings::load(const SettingsStore& store) {
    UrlSettings urls;
    for (const auto& [field, s] : Fields)
        urls.*field = store.GetSetting(PostSettings::Application, s.section, s.key, s.defaultValue);
    return urls;
}

void UrlSettings::save(SettingsStore& store) const {
    for (const auto& [field, s] : Fields)
        store.SaveSetting(PostSettings::Application, s.section, s.key, this->*field);
}
