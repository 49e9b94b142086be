#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class WriteBatch;

// The web form of a talk's recording: the MP3 the pages play, made from the logger's 16-bit
// recording with one gain that brings its loudness to about -16 LUFS.
namespace WebAudio {
inline constexpr double TargetLufs = -16.0;
// The loudest (true) peak after the gain, so the encoder's own overshoot stays below 0 dBFS.
inline constexpr double PeakCeilingDbfs = -1.0;

// B.ra.mp3: the ".ra" keeps the event file's name B.rae, browsers go by the last extension.
std::string fileName(std::string_view baseName);
// The same name as a URL relative to the pages beside it.
std::string url(std::string_view baseName);

// The one gain: to the target loudness, lowered so the peak stays at the ceiling. Silence
// (no measurable loudness) keeps its level.
double gainDb(double integratedLufs, double peakDbfs);
} // namespace WebAudio

// A recording as 16-bit frames (channels interleaved), read from any frame as often as the
// encoder needs.
class PcmSource {
  public:
    virtual ~PcmSource() = default;
    virtual int rate() const = 0;
    virtual int channels() const = 0;
    // Reading goes on from this frame (the end, when it lies past the end).
    virtual void seek(int64_t frame) = 0;
    // Up to maxFrames frames into out; 0 at the end.
    virtual size_t read(int16_t* out, size_t maxFrames) = 0;
};

struct WebAudioReport {
    double loudnessLufs = 0; // of the source after the cut; -inf for silence
    double peakDbfs = 0;     // its true peak
    double gainDb = 0;       // applied
    double seconds = 0;      // of the web form
};

// Where the encoded bytes go, in order.
using ByteSink = std::function<void(std::string_view)>;

// An encoder of the web form; each platform has its own behind this interface.
class WebAudioEncoder {
  public:
    virtual ~WebAudioEncoder() = default;
    // Empty when this build can write the web form, else why it cannot, for the operator.
    virtual std::string unavailableReason() const = 0;
    // Two passes over the source, each from frame cutFrames on: one measures loudness and
    // peak, one encodes with the gain. Frame cutFrames of the source is the web form's
    // first instant as a browser plays it. Memory stays flat whatever the length.
    // Throws std::runtime_error with the reason.
    virtual WebAudioReport encode(PcmSource& source, int64_t cutFrames, const ByteSink& out) = 0;
};

// This platform's encoder.
std::unique_ptr<WebAudioEncoder> platformWebAudioEncoder();

// The web form of a recording written to outputPath through the batch (whole or not at
// all, a link at the name replaced, always written anew): the recording's first cutMs
// milliseconds cut (or, for a negative cutMs, as much silence put before it), then encoded.
// Throws OutputError naming the file at fault.
WebAudioReport writeWebAudio(WriteBatch& batch, WebAudioEncoder& encoder,
                             const std::string& recordingPath, std::int64_t cutMs,
                             const std::string& outputPath);
