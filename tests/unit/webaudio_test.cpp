#include "audio/recordingfiles.h"
#include "common/writebatch.h"
#include "webout/webaudio.h"

#include "support/audiocheck.h"
#include "support/testfiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

namespace {

// A recording made in memory: a bed of a sine or noise, and one short tone burst.
class MemorySource : public PcmSource {
  public:
    MemorySource(int rate, int channels, std::vector<int16_t> frames)
        : m_rate(rate), m_channels(channels), m_frames(std::move(frames)) {}
    int rate() const override { return m_rate; }
    int channels() const override { return m_channels; }
    void seek(int64_t frame) override {
        m_at = std::min(m_frames.size(), static_cast<size_t>(frame) * m_channels);
        ++seeks;
    }
    size_t read(int16_t* out, size_t maxFrames) override {
        const size_t left = (m_frames.size() - m_at) / static_cast<size_t>(m_channels);
        const size_t n = std::min(left, maxFrames);
        std::copy_n(m_frames.begin() + static_cast<long>(m_at), n * m_channels, out);
        m_at += n * static_cast<size_t>(m_channels);
        return n;
    }
    int seeks = 0;

  private:
    int m_rate;
    int m_channels;
    std::vector<int16_t> m_frames;
    size_t m_at = 0;
};

enum class Bed { Sine, Noise, Silence };

struct Signal {
    int rate;
    int channels;
    double seconds;
    Bed bed;
    double bedDbfs;
    double toneAt;    // seconds; a 2 kHz burst of 0.25 s at the bed's level + 6 dB, or none
    double clickDbfs; // a 1 ms click at 0.2 s, or none when 0 or more
};

std::vector<int16_t> make(const Signal& s) {
    const size_t frames = static_cast<size_t>(s.seconds * s.rate);
    std::vector<int16_t> out(frames * static_cast<size_t>(s.channels));
    const double bed = 32767 * std::pow(10, s.bedDbfs / 20);
    uint32_t noise = 12345;
    for (size_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / s.rate;
        double x = 0;
        if (s.bed == Bed::Sine)
            x = bed * std::sin(2 * M_PI * 440 * t);
        else if (s.bed == Bed::Noise) {
            noise = noise * 1664525u + 1013904223u;
            x = bed * (static_cast<double>(noise >> 8) / (1 << 23) - 1) * 0.5;
        }
        if (s.toneAt > 0 && t >= s.toneAt && t < s.toneAt + 0.25)
            x = 2 * bed * std::sin(2 * M_PI * 2000 * (t - s.toneAt));
        if (s.clickDbfs < 0 && t >= 0.2 && t < 0.201)
            x = 32767 * std::pow(10, s.clickDbfs / 20);
        for (int c = 0; c < s.channels; ++c)
            out[f * static_cast<size_t>(s.channels) + static_cast<size_t>(c)] =
                static_cast<int16_t>(std::lround(std::clamp(x, -32768.0, 32767.0)));
    }
    return out;
}

// The decoded web form against the source: the lag (in frames) at which they match best,
// and the gain from one to the other there, in dB.
struct Match {
    long lag;
    double gainDb;
};
Match compare(const AudioCheck::Sound& decoded, const std::vector<int16_t>& source, int channels,
              int64_t cutFrames) {
    const auto sourceAt = [&](long i) {
        double sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += source[static_cast<size_t>(i) * static_cast<size_t>(channels) +
                          static_cast<size_t>(c)];
        return sum / channels / 32768.0;
    };
    const long frames = static_cast<long>(source.size()) / channels;
    Match best{0, 0};
    double bestScore = -1;
    for (long lag = -200; lag <= 200; ++lag) {
        double sd = 0, ss = 0, dd = 0;
        for (long n = 2000; n < static_cast<long>(decoded.samples.size()) - 2000; n += 3) {
            const long i = cutFrames + n + lag;
            if (i < 0 || i >= frames)
                continue;
            const double x = sourceAt(i), y = decoded.samples[static_cast<size_t>(n)];
            sd += x * y;
            ss += x * x;
            dd += y * y;
        }
        const double score = ss > 0 && dd > 0 ? sd / std::sqrt(ss * dd) : 0;
        if (score > bestScore) {
            bestScore = score;
            best = {lag, 20 * std::log10(sd / ss)};
        }
    }
    return best;
}

TEST(WebAudioNames, KeepTheEventFileNameAndEncodeForAUrl) {
    struct Case {
        const char* base;
        const char* file;
        const char* url;
    };
    for (const Case& c : std::vector<Case>{
             {"lecture6", "lecture6.ra.mp3", "lecture6.ra.mp3"},
             {"my talk", "my talk.ra.mp3", "my%20talk.ra.mp3"},
             {"q&a?#1", "q&a?#1.ra.mp3", "q%26a%3F%231.ra.mp3"},
             {"caf\xE9", "caf\xE9.ra.mp3", "caf%E9.ra.mp3"},
             {"100%_~-", "100%_~-.ra.mp3", "100%25_~-.ra.mp3"},
         }) {
        EXPECT_EQ(WebAudio::fileName(c.base), c.file);
        EXPECT_EQ(WebAudio::url(c.base), c.url);
    }
}

TEST(WebAudioGain, ReachesTheTargetWithoutPassingTheCeiling) {
    struct Case {
        double lufs;
        double peak;
        double gain;
    };
    for (const Case& c : std::vector<Case>{
             {-30, -20, 14},            // quiet, room to spare
             {-30, -10, 9},             // the peak caps the gain
             {-10, -1, -6},             // loud: turned down
             {-16, -1, 0},              // already there
             {-30, 0, -1},              // a peak at full scale: turned down a little
             {-HUGE_VAL, -HUGE_VAL, 0}, // silence keeps its level
             {-40, -HUGE_VAL, 24},
         }) {
        EXPECT_DOUBLE_EQ(WebAudio::gainDb(c.lufs, c.peak), c.gain) << c.lufs << " " << c.peak;
    }
}

// Encoded, decoded by another library, and measured: the level, the peak and the timeline.
TEST(WebAudioEncoder, HoldsTheSoundAtTheTargetLevelAndCut) {
    struct Case {
        const char* name;
        Signal signal;
        int64_t cutMs;
        bool peakLimited; // the ceiling, not the target, sets the level
    };
    const std::vector<Case> cases = {
        {"quiet mono talk", {48000, 1, 4, Bed::Sine, -36, 1.5, 0}, 0, false},
        {"cut 700 ms", {48000, 1, 4, Bed::Noise, -30, 2.0, 0}, 700, false},
        {"loud stereo", {44100, 2, 3, Bed::Sine, -3, 1.2, 0}, 250, false},
        {"a click at full scale", {48000, 1, 3, Bed::Noise, -45, 1.0, -0.1}, 0, true},
        {"low rate", {16000, 1, 3, Bed::Sine, -20, 1.0, 0}, 500, false},
        {"silence", {48000, 1, 2, Bed::Silence, 0, 0, 0}, 300, false},
    };
    TempFolder dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<int16_t> frames = make(c.signal);
        MemorySource source(c.signal.rate, c.signal.channels, frames);
        const std::string path = dir.filePath(std::string(c.name) + ".mp3");
        std::ofstream file(path, std::ios::binary);
        const auto encoder = platformWebAudioEncoder();
        ASSERT_EQ(encoder->unavailableReason(), "");
        const int64_t cutFrames = c.cutMs * c.signal.rate / 1000;
        const WebAudioReport report = encoder->encode(
            source, cutFrames, [&](std::string_view b) { file.write(b.data(), b.size()); });
        file.close();
        EXPECT_EQ(source.seeks, 2) << "one pass to measure, one to encode";
        // The same sound recorded as the logger writes it gives the same web form, through
        // the logger's own reader.
        const std::string wav = dir.filePath(std::string(c.name) + ".wav");
        {
            WavWriter writer(wav, AudioFormat{c.signal.rate, c.signal.channels});
            writer.write(frames.data(), frames.size() / static_cast<size_t>(c.signal.channels));
            writer.finish();
        }
        const std::string fromWav = dir.filePath(std::string(c.name) + ".ra.mp3");
        WriteBatch batch;
        writeWebAudio(batch, *encoder, wav, c.cutMs, fromWav);
        batch.commit();
        EXPECT_EQ(fileBytes(fromWav), fileBytes(path));

        const AudioCheck::Sound sound = AudioCheck::decodeMp3(path);
        EXPECT_EQ(sound.rate, c.signal.rate);
        const double expectedSeconds = c.signal.seconds - c.cutMs / 1000.0;
        EXPECT_NEAR(report.seconds, expectedSeconds, 0.001);
        EXPECT_NEAR(sound.seconds(), expectedSeconds, 0.08);

        if (c.signal.bed == Bed::Silence) {
            EXPECT_EQ(report.gainDb, 0);
            EXPECT_EQ(AudioCheck::truePeakDbfs(sound), -HUGE_VAL);
            continue;
        }
        const double lufs = AudioCheck::loudnessLufs(sound);
        const double peak = AudioCheck::truePeakDbfs(sound);
        EXPECT_LE(peak, WebAudio::PeakCeilingDbfs + 0.5);
        if (c.peakLimited) {
            EXPECT_LT(lufs, WebAudio::TargetLufs - 3);
            EXPECT_NEAR(peak, WebAudio::PeakCeilingDbfs, 1.0);
        } else {
            // The codec takes a few tenths of a dB, and the noise its highest octave.
            EXPECT_NEAR(lufs, WebAudio::TargetLufs, 1.0);
        }
        // Sample for sample the source's sound from the cut on, at the reported gain.
        const Match match = compare(sound, frames, c.signal.channels, cutFrames);
        EXPECT_LE(std::abs(match.lag), 2);
        // Noise is coded for the ear, not the wave: its gain shows in its loudness alone.
        if (c.signal.bed == Bed::Sine) {
            EXPECT_NEAR(match.gainDb, report.gainDb, 1.0);
        }
        // The burst sits where the source had it, less the cut.
        const std::vector<double> onsets = AudioCheck::toneOnsets(sound, 2000);
        ASSERT_EQ(onsets.size(), 1u);
        EXPECT_NEAR(onsets[0], c.signal.toneAt - c.cutMs / 1000.0, 0.02);
    }
}

} // namespace
