// Transition sounds through PulseAudio: one playback stream that never runs dry (silence
// between sounds), so a sound starts after the same short delay every time.
#include "soundplayer.h"

#include "audio/recordingfiles.h"
#include "common/textfile.h"

#include <pulse/error.h>
#include <pulse/simple.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

constexpr int Rate = 48000;
// Ten milliseconds a write, about thirty in the server: the delay of a sound's start.
constexpr size_t PieceFrames = Rate / 100;

// Any 16-bit file as the stream's mono 48 kHz: the channels mixed, the rate converted
// by straight lines between samples, which is plenty for speech and tones.
std::vector<std::int16_t> toOutputFormat(const std::vector<std::int16_t>& samples,
                                         const AudioFormat& format) {
    const size_t channels = static_cast<size_t>(format.channels);
    const size_t frames = samples.size() / channels;
    std::vector<double> mono(frames);
    for (size_t f = 0; f < frames; ++f) {
        double sum = 0;
        for (size_t c = 0; c < channels; ++c)
            sum += samples[f * channels + c];
        mono[f] = sum / static_cast<double>(channels);
    }
    const double step = static_cast<double>(format.rate) / Rate;
    std::vector<std::int16_t> out;
    for (double at = 0; frames > 0 && at <= static_cast<double>(frames - 1); at += step) {
        const auto i = static_cast<size_t>(at);
        const double next = i + 1 < frames ? mono[i + 1] : mono[i];
        out.push_back(static_cast<std::int16_t>(mono[i] + (next - mono[i]) * (at - static_cast<double>(i))));
    }
    return out;
}

class PulsePlayer : public SoundPlayer {
  public:
    PulsePlayer() {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, Rate, 1};
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.tlength = static_cast<uint32_t>(pa_usec_to_bytes(30'000, &spec));
        attributes.prebuf = static_cast<uint32_t>(-1);
        attributes.minreq = static_cast<uint32_t>(-1);
        int error = 0;
        m_stream = pa_simple_new(nullptr, "Cuemark substitute presentation program",
                                 PA_STREAM_PLAYBACK, nullptr, "Transition sound", &spec,
                                 nullptr, &attributes, &error);
        if (!m_stream)
            throw std::runtime_error(std::string("no sound output: ") + pa_strerror(error));
        m_thread = std::thread([this] { run(); });
    }

    ~PulsePlayer() override {
        m_stop = true;
        m_thread.join();
        pa_simple_free(m_stream);
    }

    void play(const std::string& wavPath) override {
        std::vector<std::int16_t> sound;
        try {
            WavReader reader(wavPath);
            const AudioFormat format = reader.format();
            std::vector<std::int16_t> all, piece;
            while (reader.read(piece, 4096) > 0)
                all.insert(all.end(), piece.begin(), piece.end());
            sound = toOutputFormat(all, format);
        } catch (const FileError& e) {
            throw std::runtime_error(wavPath + ": " + e.what());
        }
        std::lock_guard lock(m_mutex);
        m_sound = std::move(sound);
        m_at = 0;
    }

  private:
    void run() {
        std::vector<std::int16_t> piece(PieceFrames);
        while (!m_stop) {
            {
                std::lock_guard lock(m_mutex);
                for (size_t i = 0; i < PieceFrames; ++i)
                    piece[i] = m_at < m_sound.size() ? m_sound[m_at++] : 0;
            }
            int error = 0;
            if (pa_simple_write(m_stream, piece.data(), piece.size() * 2, &error) < 0)
                return;
        }
    }

    pa_simple* m_stream = nullptr;
    std::mutex m_mutex;
    std::vector<std::int16_t> m_sound;
    size_t m_at = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

} // namespace

std::unique_ptr<SoundPlayer> SoundPlayer::platform() {
    return std::make_unique<PulsePlayer>();
}
