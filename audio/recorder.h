#pragma once

#include "audio/audioinput.h"
#include "audio/recordingfiles.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

// Records the default input into the recording's files beside a log, on a thread of its
// own: the window's thread only reads what the recorder says, under a lock held for a
// copy, so a stalled input or a slow disk never holds up a poll of the slide show.
//
// The sound streams to the disk (flat memory, whatever the talk's length). An input that
// goes away is opened again every second, and the time it was away is kept as silence, so
// the recording stays in step with the clock. A recording that cannot be written (a full
// disk) stops there, the file whole up to its last frame; so does one whose disk is down
// to the room kept for the log.
class Recorder {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    enum class State {
        Opening,   // the input has not given sound yet
        Recording, // sound is being written
        InputLost, // the input went away or would not open; it is tried again
        Failed,    // the recording could not be written; nothing more is recorded
        Finished,  // stopped, the files finished
    };

    struct Status {
        State state = State::Opening;
        std::int64_t recordedMs = 0; // sound in the file
        // The loudest frame since the status was asked last, in dB below full scale;
        // nothing when no frame came.
        std::optional<double> peakDbfs;
        std::string failure; // why, while the input is lost or after a failure
    };

    struct Options {
        AudioFormat wanted{48000, 1};
        std::chrono::milliseconds retry{1000};
        WavWriter::Intervals intervals{0, 0};
        // The room the recording leaves free on its disk, for the log's lines: the log
        // comes before the sound.
        std::uintmax_t reserveBytes = 32u << 20;
    };

    Recorder(AudioInputFactory input, RecordingPaths paths, Options options,
             Now now = &Clock::now);
    // Stops, finishing the files.
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    const RecordingPaths& paths() const { return m_paths; }
    // Starts the recorder's thread; returns at once.
    void start();
    Status status();
    // Where an instant falls on the recording, in milliseconds from its first frame;
    // nothing before the input has given sound.
    std::optional<std::int64_t> positionMs(Clock::time_point instant) const;
    // Puts the first slide line at this place on the recording; the sync file says so
    // soon after.
    void setFirstLineMs(std::int64_t ms);
    // Stops the thread and finishes the files: the failure, or empty when all is well.
    std::string stop();

  private:
    struct Anchor {
        Clock::time_point at;
        std::int64_t frames; // the frame entering the input at that instant
    };

    void run();
    void openInput();
    void record();
    void padSilence(Clock::time_point now);
    void writeSync();
    // Stops the recording when its disk is down to the room kept for the log.
    void checkRoom();
    void lose(const std::string& why);
    void fail(const std::string& why);
    bool waitBeforeRetry();
    bool stopping();

    AudioInputFactory m_factory;
    RecordingPaths m_paths;
    Options m_options;
    Now m_now;

    // The thread's own.
    std::unique_ptr<AudioInput> m_input;
    std::unique_ptr<WavWriter> m_writer;
    std::optional<std::int64_t> m_syncedFirstLineMs;
    std::int64_t m_framesAtRoomCheck = -1;

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    State m_state = State::Opening;
    std::string m_failure;
    std::optional<Anchor> m_anchor;
    AudioFormat m_format;
    std::int64_t m_frames = 0;
    int m_peak = -1; // largest magnitude since the last status; -1 for none
    std::optional<std::int64_t> m_firstLineMs;
    std::thread m_thread;
};

// Where the first slide line belongs on the recording, fitted to every line of the talk.
// A poll sees a slide change somewhere between itself and the poll before it; the pages
// turn at whole seconds of the log's clock after the first line. The fit puts the first
// line where the worst of those windows lies closest to its page's turn.
class FirstLineFit {
  public:
    // A line whose change came between two polls at these places on the recording, its
    // clock reading the given whole seconds after the first line's.
    void add(std::int64_t fromMs, std::int64_t toMs, std::int64_t secondsAfterFirst);
    bool empty() const { return !m_low; }
    std::int64_t firstLineMs() const;
    // How far a change may lie from its page's turn at the most, with that fit.
    std::int64_t worstMs() const;

  private:
    std::optional<std::int64_t> m_low;
    std::optional<std::int64_t> m_high;
};

// The recorder's state as the logger's status line shows it.
std::string recordingStatusText(const Recorder::Status& status);
