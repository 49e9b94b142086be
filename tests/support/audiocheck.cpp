#include "audiocheck.h"

#include <ebur128.h>
#include <mpg123.h>

#include <cmath>
#include <memory>
#include <optional>
#include <stdexcept>

namespace AudioCheck {

Sound decodeMp3(const std::string& path) {
    int error = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> handle(mpg123_new(nullptr, &error),
                                                                    [](mpg123_handle* h) {
                                                                        mpg123_close(h);
                                                                        mpg123_delete(h);
                                                                    });
    if (!handle)
        throw std::runtime_error("mpg123 could not be set up");
    mpg123_param(handle.get(), MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    mpg123_format_none(handle.get());
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(handle.get(), rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(handle.get(), path.c_str()) != MPG123_OK)
        throw std::runtime_error("mpg123 cannot open " + path);
    Sound sound;
    int channels = 1;
    std::vector<unsigned char> buffer(64 * 1024);
    for (;;) {
        size_t done = 0;
        const int status = mpg123_read(handle.get(), buffer.data(), buffer.size(), &done);
        if (status == MPG123_NEW_FORMAT || sound.rate == 0) {
            long rate = 0;
            int encoding = 0;
            mpg123_getformat(handle.get(), &rate, &channels, &encoding);
            sound.rate = static_cast<int>(rate);
        }
        const auto* pcm = reinterpret_cast<const int16_t*>(buffer.data());
        const size_t frames = done / sizeof(int16_t) / static_cast<size_t>(channels);
        for (size_t f = 0; f < frames; ++f) {
            float sum = 0;
            for (int c = 0; c < channels; ++c)
                sum += pcm[f * static_cast<size_t>(channels) + static_cast<size_t>(c)];
            sound.samples.push_back(sum / static_cast<float>(channels) / 32768.0f);
        }
        if (status == MPG123_DONE)
            break;
        if (status != MPG123_OK && status != MPG123_NEW_FORMAT)
            throw std::runtime_error("mpg123 failed on " + path + ": " +
                                     mpg123_plain_strerror(status));
    }
    return sound;
}

namespace {
struct Meter {
    ebur128_state* state;
    explicit Meter(const Sound& sound)
        : state(ebur128_init(1, static_cast<unsigned long>(sound.rate),
                             EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK)) {
        ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
        ebur128_add_frames_float(state, sound.samples.data(), sound.samples.size());
    }
    ~Meter() { ebur128_destroy(&state); }
};
} // namespace

double loudnessLufs(const Sound& sound) {
    Meter meter(sound);
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(meter.state, &lufs);
    return lufs;
}

double truePeakDbfs(const Sound& sound) {
    Meter meter(sound);
    double peak = 0;
    ebur128_true_peak(meter.state, 0, &peak);
    return peak > 0 ? 20 * std::log10(peak) : -HUGE_VAL;
}

std::vector<double> toneOnsets(const Sound& sound, double hz, double minSeconds) {
    const size_t window = static_cast<size_t>(sound.rate / 100);
    const double coefficient = 2 * std::cos(2 * M_PI * hz / sound.rate);
    const size_t needed = static_cast<size_t>(std::ceil(minSeconds * 100));
    std::vector<double> onsets;
    size_t run = 0;
    // A burst broken for a window by the codec is still one burst: a new one needs 0.3 s
    // without the tone before it.
    std::optional<size_t> lastTone, toneBeforeRun;
    for (size_t w = 0; w * window + window <= sound.samples.size(); ++w) {
        // Goertzel: the power at hz against the window's whole energy.
        double s1 = 0, s2 = 0, energy = 0;
        for (size_t i = w * window; i < (w + 1) * window; ++i) {
            const double x = sound.samples[i];
            const double s = x + coefficient * s1 - s2;
            s2 = s1;
            s1 = s;
            energy += x * x;
        }
        const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
        const bool tone = energy > 1e-4 * static_cast<double>(window) / 100 &&
                          power / (energy * static_cast<double>(window) / 2) > 0.6;
        run = tone ? run + 1 : 0;
        if (run == 1)
            toneBeforeRun = lastTone;
        if (tone)
            lastTone = w;
        const bool fresh = !toneBeforeRun || w + 1 - needed - *toneBeforeRun > 30;
        if (run == needed && fresh) {
            // The first window of the run, refined to where the level rises within it.
            const size_t first = (w + 1 - needed) * window;
            size_t at = first > window ? first - window : 0;
            double peak = 0;
            for (size_t i = first; i < first + 2 * window; ++i)
                peak = std::max(peak, static_cast<double>(std::fabs(sound.samples[i])));
            while (at < first + window && std::fabs(sound.samples[at]) < 0.3 * peak)
                ++at;
            onsets.push_back(static_cast<double>(at) / sound.rate);
        }
    }
    return onsets;
}

} // namespace AudioCheck
