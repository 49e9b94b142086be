#pragma once

#include <cstdint>
#include <optional>
#include <string>

class WebAudioEncoder;
class WriteBatch;

// The logger's recording of the talk beside a log, as cuebuild uses it: the web form's
// name the pages play, and the tape offset that puts the first slide on its timeline.
struct LogRecording {
    std::string audioPath; // B.wav
    std::string syncPath;  // B.sync
    std::string baseName;  // B
    std::int64_t firstLineMs = 0;

    // B.ra.mp3, and the same as a URL relative to the pages beside it.
    std::string webFormName() const;
    std::string webFormUrl() const;
    // The whole seconds from the recording's start to the first slide line, "hh:nn:ss".
    std::string tapeEarly() const;
    // The rest of a second that the web form cuts from its start, so the first slide line
    // falls on a whole second of it; a first line before the recording's start is silence
    // put before it instead (negative).
    std::int64_t cutMs() const { return firstLineMs >= 0 ? firstLineMs % 1000 : firstLineMs; }
};

// The recording beside the log, when its sync file puts the first slide line on it and
// the sound it names is there. Nothing for a log recorded without sound.
std::optional<LogRecording> recordingBesideLog(const std::string& logPath);

// The web form "Write HTM, RAM, RAE" writes beside the pages: the recording it is made
// from, the rest of a second cut from its start, and where it goes.
struct WebFormJob {
    std::string recordingPath;
    std::int64_t cutMs = 0;
    std::string target;
};

// The web form to write into the folder, when the audio URL names the web form of the
// recording beside the log and no up-to-date one is there (at least as new as both the
// recording and its sync file).
std::optional<WebFormJob> webFormToWrite(const std::string& logPath, const std::string& audioUrl,
                                         const std::string& outputDirectory);
// Into the batch; throws OutputError naming the file and the reason, also when this build
// has no encoder.
void writeWebForm(WriteBatch& batch, const WebFormJob& job, WebAudioEncoder& encoder);
