// The web form's encoder: how many seconds of a talk it turns into MP3 per second, the
// measuring pass and the encoding pass together.
#include "webout/webaudio.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr int Rate = 48000;
constexpr int Seconds = 60;

// Speech-like: noise shaped by a syllable-rate envelope over a voiced tone.
class TalkSource : public PcmSource {
  public:
    TalkSource() : m_frames(static_cast<size_t>(Rate) * Seconds) {
        uint32_t noise = 1;
        for (size_t i = 0; i < m_frames.size(); ++i) {
            const double t = static_cast<double>(i) / Rate;
            noise = noise * 1664525u + 1013904223u;
            const double envelope = 0.5 + 0.5 * std::sin(2 * M_PI * 4 * t);
            const double voice = std::sin(2 * M_PI * 140 * t) + 0.5 * std::sin(2 * M_PI * 280 * t);
            const double hiss = static_cast<double>(noise >> 8) / (1 << 23) - 1;
            m_frames[i] = static_cast<int16_t>(3000 * envelope * (voice + 0.3 * hiss));
        }
    }
    int rate() const override { return Rate; }
    int channels() const override { return 1; }
    void seek(int64_t frame) override {
        m_at = std::min(m_frames.size(), static_cast<size_t>(frame));
    }
    size_t read(int16_t* out, size_t maxFrames) override {
        const size_t n = std::min(maxFrames, m_frames.size() - m_at);
        std::copy_n(m_frames.begin() + static_cast<long>(m_at), n, out);
        m_at += n;
        return n;
    }

  private:
    std::vector<int16_t> m_frames;
    size_t m_at = 0;
};

void BM_WebFormEncodeMono48k(benchmark::State& state) {
    TalkSource source;
    const auto encoder = platformWebAudioEncoder();
    size_t bytes = 0;
    for (auto _ : state) {
        const WebAudioReport report =
            encoder->encode(source, 0, [&](std::string_view b) { bytes += b.size(); });
        benchmark::DoNotOptimize(report);
    }
    // Seconds of sound per second taken: the multiple of real time.
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(Seconds) * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
    state.counters["kbps"] =
        static_cast<double>(bytes) * 8 / 1000 /
        (static_cast<double>(Seconds) * static_cast<double>(state.iterations()));
}
// The multiple is taken over CPU time: wall time on a shared machine says more about the others.
BENCHMARK(BM_WebFormEncodeMono48k)->Unit(benchmark::kMillisecond);

} // namespace
