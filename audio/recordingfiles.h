#pragma once

#include "common/textfile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// What the logger writes beside a log when it records the talk: the sound as a RIFF WAVE
// file of 16-bit PCM streamed to the disk, and a small text file that puts the first slide
// line on the sound's timeline.

// 16-bit PCM, frames of `channels` interleaved samples.
struct AudioFormat {
    int rate = 48000;
    int channels = 1;

    int bytesPerFrame() const { return 2 * channels; }
    std::int64_t msOf(std::int64_t frames) const { return frames * 1000 / rate; }
    bool operator==(const AudioFormat&) const = default;
};

// The recording's files beside a log DIR/NAME: DIR/B.wav and DIR/B.sync, B being the file
// name up to its first dot, as the resume file is named.
struct RecordingPaths {
    std::string audio;
    std::string sync;
    std::string audioName; // the audio file's name alone, as the sync file gives it

    static RecordingPaths besideLog(const std::string& logPath);
};

// Streams a recording to the disk. The header's sizes are brought up to date once a
// second of sound and everything is synced every few seconds, so a process killed or a
// machine stopped leaves a file that plays up to the last seconds. A write that fails (a
// full disk) leaves the file whole up to the last frame written, its header as up to date
// as the disk lets it be; every later write fails too.
class WavWriter {
  public:
    // Intervals in frames; 0 takes the defaults (one second, four seconds).
    struct Intervals {
        std::int64_t header;
        std::int64_t sync;
    };

    WavWriter(const std::string& path, AudioFormat format, Intervals intervals = {0, 0});
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    const std::string& path() const { return m_file.path(); }
    const AudioFormat& format() const { return m_format; }
    std::int64_t frames() const { return m_frames; }

    // `frames` frames of interleaved samples. Throws FileError.
    void write(const std::int16_t* samples, size_t frames);
    // The header made exact and everything synced, then the file closed. Throws FileError.
    void finish();

  private:
    void refreshHeader();
    void fail();

    StreamFile m_file;
    AudioFormat m_format;
    Intervals m_intervals;
    std::int64_t m_frames = 0;
    std::int64_t m_framesAtHeader = 0;
    std::int64_t m_framesAtSync = 0;
    std::string m_bytes;
    std::string m_failure;
};

// Reads a recording in pieces, whatever its length. A header whose RIFF or data size is
// stale or 0, as a recording cut short leaves it, is taken to mean that the data runs to
// the end of the file; a data size that ends before a chunk another program wrote there
// is kept. Only whole frames are read.
class WavReader {
  public:
    // Throws FileError for a file that is not a 16-bit PCM WAVE file.
    explicit WavReader(const std::string& path);

    const AudioFormat& format() const { return m_format; }
    std::int64_t frames() const { return m_frames; }
    // True when the header's sizes did not match the data found.
    bool headerWasStale() const { return m_stale; }

    // Up to maxFrames frames from the current place into samples (resized to what was
    // read); 0 at the end. Throws FileError.
    size_t read(std::vector<std::int16_t>& samples, size_t maxFrames);
    void seek(std::int64_t frame);
    std::int64_t position() const { return m_position; }

  private:
    FileReader m_file;
    AudioFormat m_format;
    std::int64_t m_dataStart = 0;
    std::int64_t m_frames = 0;
    std::int64_t m_position = 0;
    bool m_stale = false;
    std::string m_bytes;
};

// The sync file: which recording, its format, and where on its timeline the first slide
// line was taken.
struct RecordingSync {
    static constexpr const char* Header = "Cuemark Recording";

    std::string audio; // the recording's file name, beside the sync file
    AudioFormat format;
    // Milliseconds from the recording's first sample to where the first slide's page
    // begins on the recording's timeline (negative when the input gave its first sound
    // after that); absent until the first line is written.
    std::optional<std::int64_t> firstLineMs;

    // The file's bytes: 8-bit text, CR LF lines. A name that would break a line (CR, LF)
    // throws FileError.
    std::string text() const;
    // Replaces the file at once, never leaving it half written. Throws FileError.
    void write(const std::string& path) const;
    // Throws FileError for a file that is not a sync file; unknown keys are skipped.
    static RecordingSync read(const std::string& path);
    static RecordingSync parse(LineReader& lines);
};
