#include "webaudio.h"

#include "webout/pathhelpers.h"

#include <algorithm>
#include <cmath>

namespace WebAudio {

std::string fileName(std::string_view baseName) {
    return std::string(baseName) + ".ra.mp3";
}

std::string url(std::string_view baseName) {
    // Only the unreserved bytes stand for themselves: a "?", "&" or "#" in a log's name
    // must not end the path inside a metafile's line or a page's link.
    std::string out;
    for (const char c : fileName(baseName)) {
        const bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                                (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' ||
                                c == '~';
        out += unreserved ? std::string(1, c) : percentEncoded(c);
    }
    return out;
}

double gainDb(double integratedLufs, double peakDbfs) {
    if (!std::isfinite(integratedLufs))
        return 0;
    const double toTarget = TargetLufs - integratedLufs;
    if (!std::isfinite(peakDbfs))
        return toTarget;
    return std::min(toTarget, PeakCeilingDbfs - peakDbfs);
}

} // namespace WebAudio
