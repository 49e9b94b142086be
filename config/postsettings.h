#pragma once

#include <array>

// Every setting of the post-processor in one table: its application, its sections, and
// each key with its section and default.
namespace PostSettings {

inline constexpr const char* Application = "CuemarkPost";
// Window positions (Left, Top) of the main and the configuration window.
inline constexpr const char* MainWindowSection = "MainWindow";
inline constexpr const char* ConfigWindowSection = "ConfigWindow";

struct Setting {
    const char* section;
    const char* key;
    const char* defaultValue;
};

inline constexpr Setting AudioURL{"URLs", "AudioURL",
                                  "pnm://audio.cuemark.example/presentations/stockholder_1.ra"};
inline constexpr Setting HTMLURL{"URLs", "HTMLURL",
                                 "http://www.cuemark.example/presentations/stockholder_1/"};
inline constexpr Setting IMGPath{"URLs", "IMGPath", "../{PF}/sld000.gif"};
inline constexpr Setting CeventsLoc{"URLs", "CeventsLoc", ""};

} // namespace PostSettings
