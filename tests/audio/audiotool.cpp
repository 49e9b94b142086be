// The sound side of the end-to-end test of a recorded talk:
//   audiotool feed OUT.wav SPEECH.wav HZ T1 [T2...]   speech with a 0.2 s tone at each Ti
//   audiotool tones FILE HZ                            the onsets of the tone in an MP3 or
//                                                      WAV file, in seconds, one a line
//   audiotool level FILE.mp3                           integrated loudness and true peak
//   audiotool wav FILE.wav                             seconds of sound, whether the header
//                                                      was stale, and the silent tenths
#include "audio/recordingfiles.h"
#include "support/audiocheck.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr double ToneSeconds = 0.2;

int usage() {
    std::cerr << "usage: audiotool feed OUT.wav SPEECH.wav HZ T1 [T2...] | "
                 "tones FILE.mp3 HZ | level FILE.mp3 | wav FILE.wav\n";
    return 2;
}

std::vector<std::int16_t> readAll(const std::string& path, AudioFormat& format) {
    WavReader reader(path);
    format = reader.format();
    std::vector<std::int16_t> all, block;
    while (reader.read(block, 4096) > 0)
        all.insert(all.end(), block.begin(), block.end());
    return all;
}

// The speech as it is, silent where a tone plays, then one second of quiet after the last.
int feed(int argc, char** argv) {
    if (argc < 6)
        return usage();
    AudioFormat format;
    std::vector<std::int16_t> speech = readAll(argv[3], format);
    const double hz = std::stod(argv[4]);
    std::vector<double> tones;
    for (int i = 5; i < argc; ++i)
        tones.push_back(std::stod(argv[i]));
    const size_t channels = static_cast<size_t>(format.channels);
    const size_t frames =
        std::max(speech.size() / channels, static_cast<size_t>((tones.back() + 1.5) * format.rate));
    speech.resize(frames * channels);
    for (const double at : tones) {
        const size_t first = static_cast<size_t>(at * format.rate);
        for (size_t f = first; f < first + static_cast<size_t>(ToneSeconds * format.rate); ++f) {
            const double t = static_cast<double>(f - first) / format.rate;
            const auto x = static_cast<std::int16_t>(10000 * std::sin(2 * M_PI * hz * t));
            for (size_t c = 0; c < channels; ++c)
                speech[f * channels + c] = x;
        }
    }
    WavWriter out(argv[2], format);
    out.write(speech.data(), frames);
    out.finish();
    return 0;
}

// A WAV file as the tests hear an MP3 one: mono, full scale 1.
AudioCheck::Sound readWav(const std::string& path) {
    AudioFormat format;
    const std::vector<std::int16_t> samples = readAll(path, format);
    AudioCheck::Sound sound;
    sound.rate = format.rate;
    for (size_t f = 0; f + static_cast<size_t>(format.channels) <= samples.size();
         f += static_cast<size_t>(format.channels)) {
        float sum = 0;
        for (int c = 0; c < format.channels; ++c)
            sum += samples[f + static_cast<size_t>(c)];
        sound.samples.push_back(sum / static_cast<float>(format.channels) / 32768.0f);
    }
    return sound;
}

int tones(int argc, char** argv) {
    if (argc != 4)
        return usage();
    const std::string path = argv[2];
    const bool wav = path.size() > 4 && path.compare(path.size() - 4, 4, ".wav") == 0;
    const AudioCheck::Sound sound = wav ? readWav(path) : AudioCheck::decodeMp3(path);
    for (const double at : AudioCheck::toneOnsets(sound, std::stod(argv[3])))
        std::printf("%.3f\n", at);
    return 0;
}

int level(int argc, char** argv) {
    if (argc != 3)
        return usage();
    const AudioCheck::Sound sound = AudioCheck::decodeMp3(argv[2]);
    std::printf("%.2f LUFS %.2f dBTP %.3f s\n", AudioCheck::loudnessLufs(sound),
                AudioCheck::truePeakDbfs(sound), sound.seconds());
    return 0;
}

// A recording as a player finds it, even one whose writer was killed.
int wav(int argc, char** argv) {
    if (argc != 3)
        return usage();
    WavReader reader(argv[2]);
    std::vector<std::int16_t> block;
    int silent = 0;
    const size_t tenth = static_cast<size_t>(reader.format().rate / 10);
    while (reader.read(block, tenth) == tenth)
        silent += std::all_of(block.begin(), block.end(), [](std::int16_t s) { return s == 0; });
    std::printf("%.3f s%s, %d silent tenths\n",
                static_cast<double>(reader.frames()) / reader.format().rate,
                reader.headerWasStale() ? " (stale header)" : "", silent);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage();
    const std::string command = argv[1];
    try {
        if (command == "feed")
            return feed(argc, argv);
        if (command == "tones")
            return tones(argc, argv);
        if (command == "level")
            return level(argc, argv);
        if (command == "wav")
            return wav(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "audiotool: " << e.what() << "\n";
        return 1;
    }
    return usage();
}
