#pragma once

#include <string>
#include <vector>

// What a listener gets from a written web form: its sound decoded, and the measures the
// tests hold it to.
namespace AudioCheck {

struct Sound {
    int rate = 0;
    std::vector<float> samples; // mono, channels averaged, full scale 1
    double seconds() const { return rate ? static_cast<double>(samples.size()) / rate : 0; }
};

// The whole MP3 file decoded with libmpg123; throws std::runtime_error.
Sound decodeMp3(const std::string& path);

// Integrated loudness (mono heard from two speakers) and true peak, by libebur128.
double loudnessLufs(const Sound& sound);
double truePeakDbfs(const Sound& sound);

// Where bursts of a pure tone of `hz` begin, in seconds: 10 ms windows in which that
// frequency holds most of the energy, at least `minSeconds` of them in a row.
std::vector<double> toneOnsets(const Sound& sound, double hz, double minSeconds = 0.06);

} // namespace AudioCheck
