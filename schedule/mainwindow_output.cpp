// The four commands that write the web presentation into the log's folder.
#include "mainwindow.h"

#include "common/text.h"
#include "forms/uiservices.h"
#include "schedule/filenames.h"
#include "webout/eventlist.h"
#include "webout/metafiles.h"
#include "webout/outputerror.h"
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

Main::WriteOutcome Main::writeHtmCommand() {
    WriteOutcome refused;
    // In the combined command the later writers' values are checked before its first file.
    const std::optional<PresentationOutput> out =
        outputToWrite(refused, {WriteAllActive, WriteAllActive});
    if (!out)
        return refused;
    AllPagesResult result;
    try {
        BusyPointer busy(m_ui);
        result =
            writeAllPages(*out, m_program.directory, {PageImages.begin() + 1, PageImages.end()});
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

void Main::mnuWriteHTM_Click() {
    writeHtmCommand();
}

void Main::mnuWrRam_Click() {
    WriteOutcome refused;
    const std::optional<PresentationOutput> out = outputToWrite(refused, {true, WriteAllActive});
    if (!out)
        return;
    try {
        BusyPointer busy(m_ui);
        writeMetafiles(*out);
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
    }
}

void Main::mnuWrCevents_Click() {
    WriteOutcome refused;
    const std::optional<PresentationOutput> out = outputToWrite(refused, {false, true});
    if (!out)
        return;
    BusyPointer busy(m_ui);
    std::string listPath;
    try {
        listPath = writeEventList(*out);
    } catch (const OutputError& e) {
        showOutputFailure(e.message());
        return;
    }
    if (CeventsLoc.empty())
        return;
    // Without an event file name the tool has nothing to write: it is not started.
    const std::optional<std::string> eventFile = GetRAEFile(txtAudioURL.Text);
    if (!eventFile) {
        m_ui.MsgBox("AudioURL doesn't end in .ra - .rae file not written!", Mb::OKOnly);
        return;
    }
    const ToolStart tool = ceventsStart(CeventsLoc, listPath, *eventFile, out->outputDirectory);
    const StartResult started = m_ui.StartProcess(tool.program, tool.args, tool.workingDirectory);
    if (started)
        return;
    const std::string reason = started.reason.empty() ? "" : ": " + started.reason;
    showOutputFailure(
        OutputError(listPath,
                    started.folderFailed
                        ? "The folder '" +
                              Text::forMessage(tool.workingDirectory, Text::MessagePathChars) +
                              "' could not be entered to start the program" + reason
                        : "The program '" + Text::forMessage(CeventsLoc, Text::MessagePathChars) +
                              "' could not be started" + reason)
            .message());
}

void Main::mnuWrtAll_Click() {
    CheckBoxes();
    WriteAllActive = true;
    struct ClearFlag {
        bool& flag;
        ~ClearFlag() { flag = false; }
    } clear{WriteAllActive};
    // The metafiles and the event list must not go out beside a half-written set of pages.
    if (writeHtmCommand() == WriteOutcome::Failed) {
        m_ui.MsgBox("Write HTM Files failed: the RAM files and the RAE file were not written.",
                    Mb::OKOnly + Mb::Exclamation, "Write HTM, RAM, RAE");
        return;
    }
    mnuWrRam_Click();
    mnuWrCevents_Click();
    writeWebForm();
}
