// The default input on Linux, through PulseAudio's own client library (PipeWire answers it
// too, through pipewire-pulse). Its simple API reads in blocking pieces, which is the
// recorder's thread's own pace; the server converts whatever the source gives into the
// format asked for, and its default source is the operator's choice (the desktop's sound
// settings, `pactl set-default-source`, or PULSE_SOURCE).
#include "audio/audioinput.h"

#include <pulse/error.h>
#include <pulse/simple.h>

namespace {

class PulseInput : public AudioInput {
  public:
    ~PulseInput() override {
        if (m_stream)
            pa_simple_free(m_stream);
    }

    AudioFormat open(const AudioFormat& wanted) override {
        const pa_sample_spec spec{PA_SAMPLE_S16LE, static_cast<uint32_t>(wanted.rate),
                                  static_cast<uint8_t>(wanted.channels)};
        // Pieces of a tenth of a second: the status line's level and the timeline follow
        // closely, and a stop is never kept waiting long.
        pa_buffer_attr attributes{};
        attributes.maxlength = static_cast<uint32_t>(-1);
        attributes.fragsize = static_cast<uint32_t>(pa_usec_to_bytes(100'000, &spec));
        int error = 0;
        m_stream = pa_simple_new(nullptr, "Cuemark Logger", PA_STREAM_RECORD, nullptr,
                                 "Lecture recording", &spec, nullptr, &attributes, &error);
        if (!m_stream)
            throw AudioInputError(std::string("The sound server gives no input: ") +
                                  pa_strerror(error));
        m_format = wanted;
        return wanted;
    }

    size_t read(std::int16_t* out, size_t maxFrames) override {
        int error = 0;
        const size_t bytes = maxFrames * static_cast<size_t>(m_format.bytesPerFrame());
        if (pa_simple_read(m_stream, out, bytes, &error) < 0)
            throw AudioInputError(pa_strerror(error));
        return maxFrames;
    }

    std::int64_t delayFrames() override {
        int error = 0;
        const pa_usec_t latency = pa_simple_get_latency(m_stream, &error);
        if (latency == static_cast<pa_usec_t>(-1))
            return 0;
        return static_cast<std::int64_t>(latency) * m_format.rate / 1'000'000;
    }

  private:
    pa_simple* m_stream = nullptr;
    AudioFormat m_format;
};

} // namespace

AudioInputFactory platformAudioInput() {
    return [] { return std::make_unique<PulseInput>(); };
}
