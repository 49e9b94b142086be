#pragma once

// Every setting of the loggers in one table: cuerec7 and cuerec8 share one application,
// the window's position and four options, each with its key and default.
namespace LogSettings {

inline constexpr const char* Application = "CuemarkLog";
// The window's position (Left, Top).
inline constexpr const char* WindowSection = "Window";

struct Option {
    const char* section;
    const char* key;
    bool defaultValue;
};

inline constexpr Option Beep1{"Options", "Beep1", true};
inline constexpr Option Beep2{"Options", "Beep2", true};
inline constexpr Option ZoomPPT{"Options", "ZoomPPT", true};
// Off unless the operator turns it on: a logger records no sound by itself.
inline constexpr Option RecordAudio{"Options", "RecordAudio", false};

} // namespace LogSettings
