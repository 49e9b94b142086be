#include "loggerfixture.h"

#include "logger/loggerprograms.h"

LoggerFixture::LoggerFixture(const PowerPointVersion& version, AudioInputFactory audioInput,
                             Recorder::Options recording)
    : ui("Cuemark Logger " + std::to_string(version.number)),
      program(loggerEntry(version, nullptr).makeProgram(CUE_RUNTIME_DIR)) {
    Form1::Seams seams{ppt.factory(), clock, [this] { ++beeps; }, ppt.attachFactory()};
    seams.audioInput = std::move(audioInput);
    seams.recording = recording;
    form = std::make_unique<Form1>(ui, settings, program, version, std::move(seams));
    ppt.setDeck("C:\\Talks\\q3.ppt", {"Welcome", "Agenda", std::nullopt, "", "Costs, risks"});
}

namespace {

// "/talk.txt" on POSIX, "C:\talk.txt" or "/talk.txt" on Windows.
bool isAbsolute(const std::string& name) {
    return (!name.empty() && (name.front() == '/' || name.front() == '\\')) ||
           (name.size() > 1 && name[1] == ':');
}

} // namespace

void LoggerFixture::start(const std::optional<std::string>& logName, int h, int m, int s) {
    clock.set(h, m, s);
    if (!logName)
        ui.queueCancel();
    else
        ui.queueFile(logName->empty() || isAbsolute(*logName) ? *logName : path(*logName));
    form->load();
}

void LoggerFixture::tick(int h, int m, int s) {
    clock.set(h, m, s);
    if (form->Timer1.Enabled)
        form->Timer1_Timer();
}

void LoggerFixture::endLog(int h, int m, int s, int answer) {
    clock.set(h, m, s);
    ui.queueAnswer(answer);
    form->cmdEnd_Click();
}

std::string LoggerFixture::path(const std::string& name) const {
    return dir.filePath(name);
}

std::string LoggerFixture::log() const {
    return logOf(form->logFile().path());
}

std::string LoggerFixture::logOf(const std::string& p) const {
    return fileBytes(p);
}
