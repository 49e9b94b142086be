#include "presentationlogfile.h"

#include "common/textfile.h"
#include "logger/loggerclock.h"
#include "logger/presentationlog.h"

#include <optional>

PresentationLogFile::PresentationLogFile(LoggerClock& clock) : m_clock(clock) {}

PresentationLogFile::~PresentationLogFile() = default;

void PresentationLogFile::open(const std::string& path) {
    m_path = path;
    try {
        m_file = std::make_unique<LineFile>(path);
    } catch (const FileError&) {
        m_path.clear();
        throw;
    }
}

void PresentationLogFile::close() {
    const std::unique_ptr<LineFile> file = std::move(m_file);
    if (file)
        file->close();
}

template <typename MakeLine>
PresentationLogFile::Written PresentationLogFile::write(const MakeLine& makeLine) {
    Written written;
    written.time = m_clock.timeOfDay();
    const double interval = PresentationLog::interval(
        m_firstLine ? std::nullopt : std::optional(m_lastLineTime), written.time);
    written.interval = interval;
    try {
        if (!m_file)
            throw FileError("The log file is not open");
        // Deleted, moved or replaced while open: the lines go on to the path chosen.
        if (!m_file->stillAtPath()) {
            m_file->reopen();
            written.reopened = true;
        }
        m_file->writeLine(makeLine(interval, m_clock.timeText(written.time)));
    } catch (const FileError& e) {
        // The next interval still counts from the last line that reached the disk.
        written.failure = e.what();
        return written;
    }
    written.ok = true;
    m_firstLine = false;
    m_lastLineTime = written.time;
    return written;
}

PresentationLogFile::Written PresentationLogFile::writeSlide(const std::string& presentationPath,
                                                             std::int16_t slide,
                                                             const std::string& title) {
    return write([&](double interval, const std::string& time) {
        return PresentationLog::slideLine(interval, time, presentationPath, slide, title);
    });
}

PresentationLogFile::Written PresentationLogFile::writeEvent(const std::string& text) {
    return write([&](double interval, const std::string& time) {
        return PresentationLog::eventLine(interval, time, text);
    });
}
