#pragma once

#include "audio/recordingfiles.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

// Why an input could not be opened, or stopped giving sound.
class AudioInputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The machine's default sound input, read by the recorder's own thread and by no other.
// Each platform has its own (PulseAudio on Linux, WASAPI on Windows); tests feed their own.
class AudioInput {
  public:
    virtual ~AudioInput() = default;
    // Opens the default input for 16-bit frames, in `wanted` where the input can convert
    // to it; returns the format it gives. Throws AudioInputError.
    virtual AudioFormat open(const AudioFormat& wanted) = 0;
    // Waits for frames, about a tenth of a second at the most, and puts up to maxFrames of
    // them into out; 0 when none came in that time. Throws AudioInputError when the input
    // went away.
    virtual size_t read(std::int16_t* out, size_t maxFrames) = 0;
    // The frames the input has taken in that read has not returned yet: how far the last
    // frame read lags behind the sound entering the input now.
    virtual std::int64_t delayFrames() = 0;
};

using AudioInputFactory = std::function<std::unique_ptr<AudioInput>()>;

// This platform's default input; empty where this build cannot record.
AudioInputFactory platformAudioInput();
