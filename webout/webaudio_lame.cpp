// The web form through LAME, measured with libebur128: both are Debian's, well kept, and
// stream a recording of any length through a few blocks of memory.
#include "webaudio.h"

#include <ebur128.h>
#include <lame/lame.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>
#include <vector>

namespace {

constexpr size_t BlockFrames = 4096;
// What an MP3 decoder adds in front of the encoder's own delay (528 + 1 samples).
constexpr int DecoderDelay = 529;
constexpr std::array<int, 9> Mp3Rates = {8000,  11025, 12000, 16000, 22050,
                                         24000, 32000, 44100, 48000};

// Reads the source in blocks, from a given frame on.
class Blocks {
  public:
    explicit Blocks(PcmSource& source)
        : m_source(source), m_buffer(BlockFrames * static_cast<size_t>(source.channels())) {}

    void startAt(int64_t frame) { m_source.seek(frame); }
    // Frames read into data(); 0 at the end.
    size_t next() { return m_source.read(m_buffer.data(), BlockFrames); }
    const int16_t* data() const { return m_buffer.data(); }

  private:
    PcmSource& m_source;
    std::vector<int16_t> m_buffer;
};

struct Loudness {
    double lufs;
    double peakDbfs;
};

Loudness measure(Blocks& blocks, int channels, int rate) {
    ebur128_state* state =
        ebur128_init(static_cast<unsigned>(channels), static_cast<unsigned long>(rate),
                     EBUR128_MODE_I | EBUR128_MODE_TRUE_PEAK);
    if (!state)
        throw std::runtime_error("the loudness meter could not be set up");
    struct Free {
        ebur128_state*& s;
        ~Free() { ebur128_destroy(&s); }
    } free{state};
    // A mono talk is heard from both speakers.
    if (channels == 1)
        ebur128_set_channel(state, 0, EBUR128_DUAL_MONO);
    while (const size_t frames = blocks.next()) {
        if (ebur128_add_frames_short(state, blocks.data(), frames) != EBUR128_SUCCESS)
            throw std::runtime_error("the loudness meter failed");
    }
    double lufs = -HUGE_VAL;
    ebur128_loudness_global(state, &lufs);
    double peak = 0;
    for (int c = 0; c < channels; ++c) {
        double channelPeak = 0;
        ebur128_true_peak(state, static_cast<unsigned>(c), &channelPeak);
        peak = std::max(peak, channelPeak);
    }
    return {lufs, peak > 0 ? 20 * std::log10(peak) : -HUGE_VAL};
}

class LameEncoder : public WebAudioEncoder {
  public:
    std::string unavailableReason() const override { return {}; }

    WebAudioReport encode(PcmSource& source, int64_t cutFrames, const ByteSink& out) override {
        const int channels = source.channels();
        const int rate = source.rate();
        if (channels < 1 || channels > 2)
            throw std::runtime_error("the recording has " + std::to_string(channels) +
                                     " channels; the web form takes one or two");
        if (rate < 8000 || rate > 192000)
            throw std::runtime_error("the recording's rate of " + std::to_string(rate) +
                                     " Hz cannot be encoded");

        lame_global_flags* lame = lame_init();
        if (!lame)
            throw std::runtime_error("the MP3 encoder could not be set up");
        struct Close {
            lame_global_flags* l;
            ~Close() { lame_close(l); }
        } close{lame};
        lame_set_in_samplerate(lame, rate);
        lame_set_num_channels(lame, channels);
        const bool mp3Rate = std::find(Mp3Rates.begin(), Mp3Rates.end(), rate) != Mp3Rates.end();
        lame_set_out_samplerate(lame, mp3Rate ? rate : 48000);
        lame_set_mode(lame, channels == 1 ? MONO : JOINT_STEREO);
        // Constant bit rate: a browser seeks to a slide's second by the byte offset.
        lame_set_VBR(lame, vbr_off);
        lame_set_brate(lame, channels == 1 ? 64 : 128);
        lame_set_quality(lame, 5);
        // No Info frame and no ID3 tag: the stream is written once, front to back.
        lame_set_bWriteVbrTag(lame, 0);
        lame_set_write_id3tag_automatic(lame, 0);
        if (lame_init_params(lame) < 0)
            throw std::runtime_error("the MP3 encoder refused the recording's format");

        // Without an Info frame every decoder plays the codec's delay first: that much more
        // is cut, so the web form's time t is the source's frame cutFrames + t.
        const int outRate = lame_get_out_samplerate(lame);
        const int64_t delay =
            static_cast<int64_t>(lame_get_encoder_delay(lame) + DecoderDelay) * rate / outRate;
        const int64_t start = std::max<int64_t>(0, cutFrames) + delay;

        Blocks blocks(source);
        blocks.startAt(start);
        const Loudness loudness = measure(blocks, channels, rate);
        const double gainDb = WebAudio::gainDb(loudness.lufs, loudness.peakDbfs);
        const float gain = static_cast<float>(std::pow(10.0, gainDb / 20) / 32768.0);

        std::vector<float> pcm(BlockFrames * static_cast<size_t>(channels));
        std::vector<unsigned char> mp3(BlockFrames * 5 / 4 + 7200);
        const auto emit = [&](int bytes) {
            if (bytes < 0)
                throw std::runtime_error("the MP3 encoder failed (" + std::to_string(bytes) + ")");
            out(std::string_view(reinterpret_cast<const char*>(mp3.data()),
                                 static_cast<size_t>(bytes)));
        };
        int64_t encoded = 0;
        blocks.startAt(start);
        while (const size_t frames = blocks.next()) {
            const size_t samples = frames * static_cast<size_t>(channels);
            for (size_t i = 0; i < samples; ++i)
                pcm[i] = static_cast<float>(blocks.data()[i]) * gain;
            const int n = static_cast<int>(frames);
            emit(channels == 1
                     ? lame_encode_buffer_ieee_float(lame, pcm.data(), pcm.data(), n, mp3.data(),
                                                     static_cast<int>(mp3.size()))
                     : lame_encode_buffer_interleaved_ieee_float(lame, pcm.data(), n, mp3.data(),
                                                                 static_cast<int>(mp3.size())));
            encoded += static_cast<int64_t>(frames);
        }
        emit(lame_encode_flush(lame, mp3.data(), static_cast<int>(mp3.size())));
        const int64_t played = encoded > 0 ? encoded + delay : 0;
        return {loudness.lufs, loudness.peakDbfs, gainDb, static_cast<double>(played) / rate};
    }
};

} // namespace

std::unique_ptr<WebAudioEncoder> platformWebAudioEncoder() {
    return std::make_unique<LameEncoder>();
}
