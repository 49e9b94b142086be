#include "urlsettings.h"

#include "common/settingsstore.h"

UrlSettings UrlSettings::load(const SettingsStore& store) {
    return {store.GetSetting(Application, Section, "AudioURL", DefaultAudioURL),
            store.GetSetting(Application, Section, "HTMLURL", DefaultHTMLURL),
            store.GetSetting(Application, Section, "IMGPath", DefaultIMGPath),
            store.GetSetting(Application, Section, "CeventsLoc", DefaultCeventsLoc)};
}

void UrlSettings::save(SettingsStore& store) const {
    store.SaveSetting(Application, Section, "AudioURL", AudioURL);
    store.SaveSetting(Application, Section, "HTMLURL", HTMLURL);
    store.SaveSetting(Application, Section, "IMGPath", IMGPath);
    store.SaveSetting(Application, Section, "CeventsLoc", CeventsLoc);
}
