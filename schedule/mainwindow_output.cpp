// The four commands that write the web presentation into the log's folder.
#include "mainwindow.h"

#include "common/text.h"
#include "common/writebatch.h"
#include "forms/uiservices.h"
#include "schedule/filenames.h"
#include "webout/eventlist.h"
#include "webout/metafiles.h"
#include "webout/outputerror.h"
#include "webout/pagefiles.h"
#include "webout/presentation.h"
#include "webout/slidepages.h"

#include <string_view>
#include <vector>

namespace {
constexpr const char* FailureTitle = "Open File";
} // namespace

void Main::showOutputFailure(const std::string& message) {
    m_ui.MsgBox(message, Mb::OKOnly + Mb::Exclamation, FailureTitle);
}

bool Main::namesAreSafe(const Writers& writers) {
    struct Field {
        const char* label;
        std::string_view value;
    };
    std::vector<Field> fields = {{"Log File", LogFileName}};
    // Each metafile holds the audio URL on one line, each event line the HTM URL; the tool
    // that is started takes the audio URL as the event file's name.
    const bool toolStarts = writers.eventList && !CeventsLoc.empty();
    if (writers.metafiles || toolStarts)
        fields.push_back({"Audio URL", txtAudioURL.Text});
    if (writers.eventList)
        fields.push_back({"HTM URL Path", txtHTMURL.Text});
    if (toolStarts)
        fields.push_back({"Cevents Loc", CeventsLoc});
    for (const Field& field : fields) {
        if (isNameSafe(field.value))
            continue;
        showOutputFailure(std::string(field.label) +
                          ": the value holds a control character (such as a NUL byte), which "
                          "no file name, command line or line of a file can carry. Nothing "
                          "was written.");
        return false;
    }
    return true;
}

std::optional<PresentationOutput> Main::outputToWrite(WriteOutcome& refused,
                                                      const Writers& writers) {
    if (!WriteAllActive)
        CheckBoxes();
    if (m_schedule.RowCount() == 0) {
        m_ui.MsgBox("No Data", Mb::OKOnly, "No Data");
        refused = WriteOutcome::NoData;
        return std::nullopt;
    }
    // Values read from a grid or resume file keep every byte, a NUL included.
    if (!namesAreSafe(writers)) {
        refused = WriteOutcome::Failed;
        return std::nullopt;
    }
    // A bare log name would put the presentation wherever the program was started.
    const std::optional<std::string> folder = outputDirectoryOf(LogFileName);
    if (!folder) {
        showOutputFailure("'" + Text::forMessage(LogFileName, Text::MessagePathChars) +
                          "' names no folder to write the presentation into. Read the log "
                          "or grid again from its folder.");
        refused = WriteOutcome::Failed;
        return std::nullopt;
    }
    // The presentation would replace the templates it is made from.
    if (isProgramFolder(*folder, m_program.directory)) {
        showOutputFailure("'" + Text::forMessage(*folder, Text::MessagePathChars) +
                          "' is the program's own folder, which holds the page templates. "
                          "Move the log or grid to a folder of its own and read it again.");
        refused = WriteOutcome::Failed;
        return std::nullopt;
    }
    return PresentationOutput{m_schedule.rows(), *folder, txtHTMURL.Text, txtAudioURL.Text};
}

Main::WriteOutcome Main::writeHtmCommand(WriteBatch& batch) {
    WriteOutcome refused;
    // In the combined command the later writers' values are checked before its first file.
    const std::optional<PresentationOutput> out =
        outputToWrite(refused, {WriteAllActive, WriteAllActive});
    if (!out)
        return refused;
    AllPagesResult result;
    try {
        BusyPointer busy(m_ui);
        result = writeAllPages(batch, *out, m_program.directory,
                               {PageImages.begin() + 1, PageImages.end()});
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
        return WriteOutcome::Failed;
    }
    if (!result.indexMarkerFound)
        m_ui.MsgBox("The index template '" +
                        Text::forMessage(result.indexTemplate, Text::MessagePathChars) +
                        "' has no marker <!--*** -->: index.htm is a plain copy of it, "
                        "without the table of slides.",
                    Mb::OKOnly + Mb::Exclamation, "Write HTM Files");
    return WriteOutcome::Written;
}

bool Main::putInPlace(WriteBatch& batch) {
    try {
        BusyPointer busy(m_ui);
        commitOutputs(batch);
        return true;
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
        return false;
    }
}

void Main::mnuWriteHTM_Click() {
    WriteBatch batch;
    writeHtmCommand(batch);
    putInPlace(batch);
}

void Main::writeRamCommand(WriteBatch& batch) {
    WriteOutcome refused;
    const std::optional<PresentationOutput> out = outputToWrite(refused, {true, WriteAllActive});
    if (!out)
        return;
    try {
        BusyPointer busy(m_ui);
        writeMetafiles(batch, *out);
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
    }
}

// The metafiles written before a failure are put in place all the same.
void Main::mnuWrRam_Click() {
    WriteBatch batch;
    writeRamCommand(batch);
    putInPlace(batch);
}

std::optional<Main::ToolRun> Main::writeEventListCommand(WriteBatch& batch) {
    WriteOutcome refused;
    const std::optional<PresentationOutput> out = outputToWrite(refused, {false, true});
    if (!out)
        return std::nullopt;
    BusyPointer busy(m_ui);
    try {
        return ToolRun{writeEventList(batch, *out), out->outputDirectory};
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
        return std::nullopt;
    }
}

void Main::startCevents(const ToolRun& run) {
    if (CeventsLoc.empty())
        return;
    // Without an event file name the tool has nothing to write: it is not started.
    const std::optional<std::string> eventFile = GetRAEFile(txtAudioURL.Text);
    if (!eventFile) {
        m_ui.MsgBox("AudioURL doesn't end in .ra - .rae file not written!", Mb::OKOnly);
        return;
    }
    BusyPointer busy(m_ui);
    const ToolStart tool = ceventsStart(CeventsLoc, run.listPath, *eventFile, run.outputDirectory);
    const StartResult started = m_ui.StartProcess(tool.program, tool.args, tool.workingDirectory);
    if (started)
        return;
    const std::string reason = started.reason.empty() ? "" : ": " + started.reason;
    showOutputFailure(
        OutputError(run.listPath,
                    started.folderFailed
                        ? "The folder '" +
                              Text::forMessage(tool.workingDirectory, Text::MessagePathChars) +
                              "' could not be entered to start the program" + reason
                        : "The program '" + Text::forMessage(CeventsLoc, Text::MessagePathChars) +
                              "' could not be started" + reason)
            .message());
}

// The tool reads the list from the disk: it starts once the list is in place.
void Main::mnuWrCevents_Click() {
    WriteBatch batch;
    const std::optional<ToolRun> run = writeEventListCommand(batch);
    if (putInPlace(batch) && run)
        startCevents(*run);
}

// Every file of the command goes into one batch, put in place at once before the tool
// starts: a crash or a failing disk leaves the earlier presentation whole, and files
// whose bytes did not change are not written at all.
void Main::mnuWrtAll_Click() {
    CheckBoxes();
    WriteAllActive = true;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clear{WriteAllActive};
    WriteBatch batch;
    // The metafiles and the event list must not go out beside a half-written set of pages.
    if (writeHtmCommand(batch) == WriteOutcome::Failed) {
        putInPlace(batch);
        m_ui.MsgBox("Write HTM Files failed: the RAM files and the RAE file were not written.",
                    Mb::OKOnly + Mb::Exclamation, "Write HTM, RAM, RAE");
        return;
    }
    writeRamCommand(batch);
    const std::optional<ToolRun> run = writeEventListCommand(batch);
    // The web form's failure keeps the rest; it is told after the tool starts, as the
    // web form comes last.
    const std::optional<std::string> webFormFailure = writeWebForm(batch);
    if (putInPlace(batch) && run)
        startCevents(*run);
    if (webFormFailure)
        showOutputFailure(*webFormFailure);
}
