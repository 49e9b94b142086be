#include "webaudio.h"

#include "webout/encoders.h"

#include <algorithm>
#include <cmath>

namespace WebAudio {

std::string fileName(std::string_view baseName) {
    return std::string(baseName) + ".ra.mp3";
}

std::string url(std::string_view baseName) { return urlPathSegment(fileName(baseName)); }

double gainDb(double integratedLufs, double peakDbfs) {
    if (!std::isfinite(integratedLufs))
        return 0;
    const double toTarget = TargetLufs - integratedLufs;
    if (!std::isfinite(peakDbfs))
        return toTarget;
    return std::min(toTarget, PeakCeilingDbfs - peakDbfs);
}

} // namespace WebAudio
