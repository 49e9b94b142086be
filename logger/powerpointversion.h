#pragma once

#include <array>
#include <string_view>

// What differs between the two logger programs: the presentation program's version they
// bind and the members that version calls. Everything else is shared.
struct PowerPointVersion {
    int number;               // 7 or 8
    const char* className;    // the automation class requested
    bool viaAppWindow;        // Visible and WindowState go to "AppWindow", not the application
    int zoomBeforeDialog;     // WindowState sent before the log dialog
    int zoomAfterOpen;        // WindowState sent once the log file is open
    const char* pathProperty; // the presentation's path
    std::array<const char*, 5> titleChain; // after "Slides"(n); unused places are null
    const char* fileVersion;

    // Whether this build can drive a presentation program reporting this major version.
    // PowerPoint 97 (8) and every later version answer the members the 8 build calls; the
    // members the 7 build calls ("AppWindow", "PathName", "Objects") went with 97.
    constexpr bool drives(int foundMajor) const {
        return number == 7 ? foundMajor == 7 : foundMajor >= 8;
    }

    constexpr int titleChainLength() const {
        int n = 0;
        while (n < static_cast<int>(titleChain.size()) && titleChain[n])
            ++n;
        return n;
    }
};

// The name current PowerPoint registers, often without any versioned one beside it.
inline constexpr const char* VersionFreeClassName = "PowerPoint.Application";

inline constexpr PowerPointVersion PowerPoint7{
    7,          "PowerPoint.Application.7",   true,       1, 2,
    "PathName", {"Objects", "Title", "Text"}, "1.00.0024"};

inline constexpr PowerPointVersion PowerPoint8{
    8,
    "PowerPoint.Application.8",
    false,
    2,
    3,
    "FullName",
    {"Shapes", "Title", "TextFrame", "TextRange", "Text"},
    "1.00.0018"};

// A logger program is built for one version: CUE_PPT_VERSION=7 or 8.
#ifdef CUE_PPT_VERSION
static_assert(CUE_PPT_VERSION == 7 || CUE_PPT_VERSION == 8, "CUE_PPT_VERSION is 7 or 8");
inline constexpr const PowerPointVersion& BuildPowerPointVersion =
    CUE_PPT_VERSION == 7 ? PowerPoint7 : PowerPoint8;
#endif
