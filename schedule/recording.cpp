#include "recording.h"

#include "audio/recordingfiles.h"
#include "common/clocktime.h"
#include "common/textfile.h"
#include "webout/outputerror.h"
#include "webout/pathhelpers.h"
#include "webout/webaudio.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#ifdef _WIN32
#include "common/win32text.h"
#endif

namespace {

// A recording opens with its log; its first sound may come a few seconds later.
constexpr std::int64_t EarliestFirstLineMs = 60'000;

std::optional<std::filesystem::file_time_type> modifiedTime(const std::string& path) {
#ifdef _WIN32
    const std::filesystem::path native(Win32Text::widen(path));
#else
    const std::filesystem::path native(path);
#endif
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(native, ec);
    if (ec)
        return std::nullopt;
    return time;
}

} // namespace

std::string LogRecording::webFormName() const {
    return WebAudio::fileName(baseName);
}

std::string LogRecording::webFormUrl() const {
    return WebAudio::url(baseName);
}

std::string LogRecording::tapeEarly() const {
    return ClockTime::format(ClockTime::fromSeconds(std::max<std::int64_t>(firstLineMs, 0) / 1000));
}

std::optional<LogRecording> recordingBesideLog(const std::string& logPath) {
    const RecordingPaths paths = RecordingPaths::besideLog(logPath);
    if (!TextFile::exists(paths.sync))
        return std::nullopt;
    RecordingSync sync;
    try {
        sync = RecordingSync::read(paths.sync);
    } catch (const FileError&) {
        // Not the logger's file: the log is used as one without sound.
        return std::nullopt;
    }
    // The sound lies beside its sync file, under the name the logger gave it.
    // A first line far before the sound is a recording of something else.
    if (!sync.firstLineMs || *sync.firstLineMs < -EarliestFirstLineMs ||
        sync.audio != paths.audioName ||
        !TextFile::exists(paths.audio))
        return std::nullopt;
    const PathParts log = GetFname(logPath);
    return LogRecording{paths.audio, paths.sync, SplitFileName(log.fileName).baseName,
                        *sync.firstLineMs};
}

std::optional<WebFormJob> webFormToWrite(const std::string& logPath, const std::string& audioUrl,
                                         const std::string& outputDirectory) {
    const std::optional<LogRecording> recording = recordingBesideLog(logPath);
    if (!recording || audioUrl != recording->webFormUrl())
        return std::nullopt;
    WebFormJob job{recording->audioPath, recording->cutMs(),
                   outputDirectory + recording->webFormName()};
    // As make decides: a web form at least as new as both files it is made from stays.
    const auto made = modifiedTime(job.target);
    const auto audio = modifiedTime(recording->audioPath);
    const auto sync = modifiedTime(recording->syncPath);
    if (made && audio && sync && *made >= *audio && *made >= *sync)
        return std::nullopt;
    return job;
}

void writeWebForm(WriteBatch& batch, const WebFormJob& job, WebAudioEncoder& encoder) {
    const std::string reason = encoder.unavailableReason();
    if (!reason.empty())
        throw OutputError(job.target, reason);
    writeWebAudio(batch, encoder, job.recordingPath, job.cutMs, job.target);
}
