#include "recorder.h"

#include "common/filepath.h"
#include "common/textfile.h"

#include <algorithm>
#include <cstdio>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// A tenth of a second at a time: the input's own pace.
constexpr std::int64_t ChunkMs = 100;
// A gap longer than this is not filled: a clock that jumped would otherwise fill a disk.
constexpr std::int64_t LongestGapMs = 6LL * 3600 * 1000;

std::string hms(std::int64_t ms) {
    const std::int64_t s = ms / 1000;
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", static_cast<long long>(s / 3600),
                  static_cast<long long>(s / 60 % 60), static_cast<long long>(s % 60));
    return text;
}

} // namespace

Recorder::Recorder(AudioInputFactory input, RecordingPaths paths, Options options, Now now)
    : m_factory(std::move(input)), m_paths(std::move(paths)), m_options(options),
      m_now(std::move(now)), m_format(options.wanted) {}

Recorder::~Recorder() {
    stop();
}

void Recorder::start() {
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
}

std::string Recorder::stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard lock(m_mutex);
    return m_state == State::Failed ? m_failure : std::string();
}

bool Recorder::stopping() {
    std::lock_guard lock(m_mutex);
    return m_stop;
}

Recorder::Status Recorder::status() {
    std::lock_guard lock(m_mutex);
    Status status;
    status.state = m_state;
    status.recordedMs = m_format.msOf(m_frames);
    status.failure = m_failure;
    if (m_peak >= 0)
        status.peakDbfs = m_peak == 0 ? -INFINITY : 20.0 * std::log10(m_peak / 32768.0);
    m_peak = -1;
    return status;
}

std::optional<std::int64_t> Recorder::positionMs(Clock::time_point instant) const {
    std::lock_guard lock(m_mutex);
    if (!m_anchor)
        return std::nullopt;
    const auto since =
        std::chrono::duration_cast<std::chrono::microseconds>(instant - m_anchor->at).count();
    return m_format.msOf(m_anchor->frames) + since / 1000;
}

void Recorder::setFirstLineMs(std::int64_t ms) {
    std::lock_guard lock(m_mutex);
    m_firstLineMs = ms;
}

void Recorder::lose(const std::string& why) {
    m_input.reset();
    std::lock_guard lock(m_mutex);
    m_state = State::InputLost;
    m_failure = why;
}

void Recorder::fail(const std::string& why) {
    m_input.reset();
    std::lock_guard lock(m_mutex);
    m_state = State::Failed;
    m_failure = why;
}

bool Recorder::waitBeforeRetry() {
    std::unique_lock lock(m_mutex);
    return !m_wake.wait_for(lock, m_options.retry, [this] { return m_stop; });
}

void Recorder::run() {
    while (!stopping()) {
        {
            std::lock_guard lock(m_mutex);
            if (m_state == State::Failed)
                break;
        }
        if (!m_input) {
            openInput();
            if (!m_input) {
                if (!waitBeforeRetry())
                    break;
                continue;
            }
        }
        record();
    }
    // The files finished: the header exact, the sync file saying where the first line is.
    m_input.reset();
    std::string failure;
    if (m_writer) {
        try {
            m_writer->finish();
        } catch (const FileError& e) {
            failure = std::string("The recording could not be finished: ") + e.what();
        }
        try {
            writeSync();
        } catch (const FileError& e) {
            if (failure.empty())
                failure = std::string("The recording's sync file could not be written: ") +
                          e.what();
        }
    }
    std::lock_guard lock(m_mutex);
    if (!failure.empty()) {
        m_state = State::Failed;
        m_failure = failure;
    } else if (m_state != State::Failed) {
        m_state = State::Finished;
    }
}

void Recorder::openInput() {
    AudioFormat format;
    try {
        if (!m_factory)
            throw AudioInputError("This build cannot record sound");
        m_input = m_factory();
        if (!m_input)
            throw AudioInputError("There is no sound input");
        format = m_input->open(m_options.wanted);
    } catch (const AudioInputError& e) {
        lose(e.what());
        return;
    }
    const Clock::time_point now = m_now();
    if (!m_writer) {
        try {
            m_writer = std::make_unique<WavWriter>(m_paths.audio, format, m_options.intervals);
            {
                std::lock_guard lock(m_mutex);
                m_format = format;
            }
            writeSync();
        } catch (const FileError& e) {
            m_writer.reset();
            fail(std::string("The recording could not be written: ") + e.what());
            return;
        }
    } else if (!(format == m_writer->format())) {
        fail("The sound input came back in another format; the recording ends where the "
             "input went away");
        return;
    } else {
        padSilence(now);
    }
    std::lock_guard lock(m_mutex);
    if (m_state == State::Failed)
        return;
    m_state = State::Recording;
    m_failure.clear();
}

void Recorder::padSilence(Clock::time_point now) {
    std::optional<std::int64_t> position = positionMs(now);
    if (!position)
        return;
    const AudioFormat& format = m_writer->format();
    std::int64_t missing = std::min(*position, m_format.msOf(m_writer->frames()) + LongestGapMs) *
                               format.rate / 1000 -
                           m_writer->frames();
    const std::vector<std::int16_t> silence(static_cast<size_t>(format.rate / 10 * format.channels));
    const std::int64_t chunk = format.rate / 10;
    try {
        while (missing > 0) {
            const std::int64_t frames = std::min(missing, chunk);
            m_writer->write(silence.data(), static_cast<size_t>(frames));
            missing -= frames;
        }
    } catch (const FileError& e) {
        fail(std::string("The recording could not be written: ") + e.what());
    }
    std::lock_guard lock(m_mutex);
    m_frames = m_writer->frames();
}

void Recorder::record() {
    const AudioFormat format = m_writer->format();
    std::vector<std::int16_t> buffer(
        static_cast<size_t>(format.rate * ChunkMs / 1000 * format.channels));
    size_t frames = 0;
    std::int64_t delay = 0;
    try {
        frames = m_input->read(buffer.data(), buffer.size() / format.channels);
        delay = m_input->delayFrames();
    } catch (const AudioInputError& e) {
        lose(e.what());
        return;
    }
    const Clock::time_point now = m_now();
    if (frames > 0) {
        try {
            m_writer->write(buffer.data(), frames);
        } catch (const FileError& e) {
            fail(std::string("The recording could not be written: ") + e.what());
            return;
        }
        checkRoom();
    }
    int peak = 0;
    for (size_t i = 0; i < frames * format.channels; ++i)
        peak = std::max(peak, std::abs(static_cast<int>(buffer[i])));
    std::optional<std::int64_t> firstLine;
    {
        std::lock_guard lock(m_mutex);
        m_frames = m_writer->frames();
        // The frame entering the input now follows the frames still waiting in it.
        if (frames > 0 || !m_anchor)
            m_anchor = Anchor{now, m_frames + std::max<std::int64_t>(delay, 0)};
        if (frames > 0)
            m_peak = std::max(m_peak, peak);
        firstLine = m_firstLineMs;
    }
    if (firstLine != m_syncedFirstLineMs) {
        try {
            writeSync();
        } catch (const FileError& e) {
            fail(std::string("The recording's sync file could not be written: ") + e.what());
        }
    }
}

void Recorder::checkRoom() {
    // Once a second of sound: a full disk would take the log's next line with it.
    const std::int64_t frames = m_writer->frames();
    if (m_framesAtRoomCheck >= 0 && frames - m_framesAtRoomCheck < m_writer->format().rate)
        return;
    m_framesAtRoomCheck = frames;
    std::error_code error;
    const std::filesystem::space_info room =
        std::filesystem::space(TextFile::nativePath(m_paths.audio), error);
    if (!error && room.available < m_options.reserveBytes)
        fail("The disk is down to " + std::to_string(room.available >> 20) +
             " MB, kept for the log");
}

void Recorder::writeSync() {
    RecordingSync sync;
    sync.audio = m_paths.audioName;
    {
        std::lock_guard lock(m_mutex);
        sync.format = m_format;
        sync.firstLineMs = m_firstLineMs;
    }
    sync.write(m_paths.sync);
    m_syncedFirstLineMs = sync.firstLineMs;
}

// ---- The first line's place ----

void FirstLineFit::add(std::int64_t fromMs, std::int64_t toMs, std::int64_t secondsAfterFirst) {
    const std::int64_t low = fromMs - secondsAfterFirst * 1000;
    const std::int64_t high = toMs - secondsAfterFirst * 1000;
    m_low = m_low ? std::min(*m_low, low) : low;
    m_high = m_high ? std::max(*m_high, high) : high;
}

std::int64_t FirstLineFit::firstLineMs() const {
    return m_low ? (*m_low + *m_high) / 2 : 0;
}

std::int64_t FirstLineFit::worstMs() const {
    return m_low ? (*m_high - *m_low + 1) / 2 : 0;
}

std::string recordingStatusText(const Recorder::Status& status) {
    switch (status.state) {
    case Recorder::State::Opening:
        return "Recording: waiting for the sound input";
    case Recorder::State::Recording: {
        std::string text = "Recording " + hms(status.recordedMs) + ", input ";
        if (!status.peakDbfs)
            return text + "level unknown";
        // Below this a microphone is dead or muted, not quiet.
        if (*status.peakDbfs < -60)
            return text + "SILENT";
        char level[16];
        std::snprintf(level, sizeof level, "%.0f dB", *status.peakDbfs);
        return text + level;
    }
    case Recorder::State::InputLost:
        return "NOT RECORDING after " + hms(status.recordedMs) +
               ": the sound input is gone (" + status.failure +
               "); it is tried again every second, and logging goes on";
    case Recorder::State::Failed:
        return "RECORDING STOPPED at " + hms(status.recordedMs) + ": " + status.failure +
               "; logging goes on";
    case Recorder::State::Finished:
        return "Recorded " + hms(status.recordedMs);
    }
    return {};
}
