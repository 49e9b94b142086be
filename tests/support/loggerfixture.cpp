#include "loggerfixture.h"

#include <QFile>

LoggerFixture::LoggerFixture(const PowerPointVersion& version)
    : ui("Cuemark Logger " + std::to_string(version.number)),
      program(loggerProgram(version.number, CUE_RUNTIME_DIR)),
      form(std::make_unique<Form1>(
          ui, settings, program, version,
          Form1::Seams{ppt.factory(), clock, [this] { ++beeps; }, ppt.attachFactory()})) {
    ppt.setDeck("C:\\Talks\\q3.ppt", {"Welcome", "Agenda", std::nullopt, "", "Costs, risks"});
}

void LoggerFixture::start(const std::optional<std::string>& logName, int h, int m, int s) {
    clock.set(h, m, s);
    if (!logName)
        ui.queueCancel();
    else
        ui.queueFile(logName->empty() || logName->front() == '/' ? *logName : path(*logName));
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
    return dir.filePath(QString::fromStdString(name)).toStdString();
}

std::string LoggerFixture::log() const {
    return logOf(form->LogPath);
}

std::string LoggerFixture::logOf(const std::string& p) const {
    QFile file(QString::fromStdString(p));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}
