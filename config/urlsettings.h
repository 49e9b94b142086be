#pragma once

#include "config/postsettings.h"

#include <string>

class SettingsStore;

// The post-processor's four "URLs" settings, for the main window and the configuration
// window; their keys and defaults are in PostSettings.
struct UrlSettings {
    static constexpr const char* DefaultAudioURL = PostSettings::AudioURL.defaultValue;
    static constexpr const char* DefaultHTMLURL = PostSettings::HTMLURL.defaultValue;

    std::string AudioURL;
    std::string HTMLURL;
    std::string IMGPath;
    std::string CeventsLoc;

    static UrlSettings load(const SettingsStore& store);
    // Stores AudioURL, HTMLURL, IMGPath and CeventsLoc, in that order.
    void save(SettingsStore& store) const;
};
