#pragma once

#include <string>

class SettingsStore;

// The post-processor's four "URLs" settings, their keys and defaults, in one place for
// the main window and the configuration window.
struct UrlSettings {
    static constexpr const char* Application = "CuemarkPost";
    static constexpr const char* Section = "URLs";
    static constexpr const char* DefaultAudioURL =
        "pnm://audio.cuemark.example/presentations/stockholder_1.ra";
    static constexpr const char* DefaultHTMLURL =
        "http://www.cuemark.example/presentations/stockholder_1/";
    static constexpr const char* DefaultIMGPath = "../{PF}/sld000.gif";
    static constexpr const char* DefaultCeventsLoc = "";

    std::string AudioURL;
    std::string HTMLURL;
    std::string IMGPath;
    std::string CeventsLoc;

    static UrlSettings load(const SettingsStore& store);
    // Stores AudioURL, HTMLURL, IMGPath and CeventsLoc, in that order.
    void save(SettingsStore& store) const;
};
