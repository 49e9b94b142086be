// The recorder over ten minutes of input, fed as fast as it takes it: its processor time
// per second of sound is its share of one core while a talk is recorded, and its memory
// does not grow with the talk.
#include "audio/recorder.h"
#include "benchplatform.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>

namespace {

constexpr int Rate = 48000;
constexpr std::int64_t TalkSeconds = 600;

// A talk's worth of speech-like sound at once, then nothing more.
class InstantInput : public AudioInput {
  public:
    AudioFormat open(const AudioFormat& wanted) override { return wanted; }
    size_t read(std::int16_t* out, size_t maxFrames) override {
        if (m_given >= TalkSeconds * Rate) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return 0;
        }
        for (size_t i = 0; i < maxFrames; ++i, ++m_given) {
            const double t = static_cast<double>(m_given) / Rate;
            out[i] = static_cast<std::int16_t>(3000 * (0.5 + 0.5 * std::sin(2 * M_PI * 4 * t)) *
                                               std::sin(2 * M_PI * 140 * t));
        }
        return maxFrames;
    }
    std::int64_t delayFrames() override { return 0; }

  private:
    std::int64_t m_given = 0;
};

// Resident memory in kB, from the kernel's own count.
long residentKb() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * 4;
}

void BM_RecorderTenMinutesOfInput(benchmark::State& state) {
    double cpu = 0;
    long afterOneMinute = 0, afterTen = 0;
    for (auto _ : state) {
        const std::string folder = BenchPlatform::makeScratchFolder();
        {
            Recorder recorder([] { return std::make_unique<InstantInput>(); },
                              RecordingPaths::besideLog(folder + "/talk.txt"), {{Rate, 1}});
            const double before = BenchPlatform::processCpuSeconds();
            recorder.start();
            afterOneMinute = 0;
            for (;;) {
                const std::int64_t ms = recorder.status().recordedMs;
                if (!afterOneMinute && ms >= 60'000)
                    afterOneMinute = residentKb();
                if (ms >= TalkSeconds * 1000)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            afterTen = residentKb();
            recorder.stop();
            cpu += BenchPlatform::processCpuSeconds() - before;
        }
        BenchPlatform::removeFolder(folder);
    }
    const auto runs = static_cast<double>(state.iterations());
    // Percent of one core while a talk is recorded in real time.
    state.counters["cpu_percent"] = 100 * cpu / runs / TalkSeconds;
    state.counters["rss_growth_kB_1_to_10_min"] = static_cast<double>(afterTen - afterOneMinute);
    state.counters["rss_kB"] = static_cast<double>(afterTen);
}
BENCHMARK(BM_RecorderTenMinutesOfInput)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

} // namespace
