// The logger's recording beside a log: Read Log File takes its web form and offset, and
// "Write HTM, RAM, RAE" writes the web form beside the pages.
#include "mainwindow.h"

#include "forms/uiservices.h"
#include "schedule/recording.h"
#include "webout/outputerror.h"
#include "webout/presentation.h"
#include "webout/webaudio.h"

bool Main::takeRecording() {
    const std::optional<LogRecording> recording = recordingBesideLog(LogFileName);
    if (!recording)
        return false;
    txtAudioURL.Text = recording->webFormUrl();
    // The recording began this long before the first slide; a Tape Late typed earlier
    // would win over it.
    txtTapeEarly.Text = recording->tapeEarly();
    txtTapeLate.Text = "00:00:00";
    return true;
}

void Main::applyTapeOffset() {
    m_schedule.Recompute(tapeOffsets());
    txtTapeEarly.Text = "00:00:00";
    txtTapeLate.Text = "00:00:00";
    showSchedule();
    selectRow(1);
}

std::optional<std::string> Main::writeWebForm(WriteBatch& batch) {
    const std::optional<std::string> folder = outputDirectoryOf(LogFileName);
    if (!folder)
        return std::nullopt;
    const std::optional<WebFormJob> job = webFormToWrite(LogFileName, txtAudioURL.Text, *folder);
    if (!job)
        return std::nullopt;
    try {
        // A long talk takes a while: the hourglass until it is written.
        BusyPointer busy(m_ui);
        ::writeWebForm(batch, *job, *platformWebAudioEncoder());
    } catch (const OutputError& e) {
        return e.message();
    }
    return std::nullopt;
}
