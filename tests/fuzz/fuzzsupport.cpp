#include "fuzzsupport.h"

#include "common/textfile.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

QTemporaryDir& scratch() {
    static QTemporaryDir dir;
    if (!dir.isValid())
        Fuzz::fail("no scratch folder");
    return dir;
}

} // namespace

std::string Fuzz::scratchPath(const std::string& name) {
    return scratch().filePath(QString::fromStdString(name)).toStdString();
}

std::string Fuzz::writeScratch(const std::string& name, std::string_view bytes) {
    const std::string path = scratchPath(name);
    QFile file(QString::fromStdString(path));
    if (bytes.empty()) {
        file.remove();
        return path;
    }
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()))
        fail("cannot write " + path);
    return path;
}

std::string Fuzz::readScratch(const std::string& name) {
    try {
        return TextFile::readAll(scratchPath(name));
    } catch (const FileError&) {
        return {};
    }
}

std::pair<std::string_view, std::string_view> Fuzz::splitAt(std::string_view input,
                                                            std::string_view marker) {
    for (size_t at = 0; at < input.size();) {
        const size_t end = input.find('\n', at);
        const std::string_view line =
            input.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
        if (line == marker || (line.size() == marker.size() + 1 && line.back() == '\r' &&
                               line.substr(0, marker.size()) == marker))
            return {input.substr(0, at),
                    end == std::string_view::npos ? std::string_view() : input.substr(end + 1)};
        if (end == std::string_view::npos)
            break;
        at = end + 1;
    }
    return {input, {}};
}

void Fuzz::fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

Fuzz::Session::Session()
    : program(cuebuildEntry().makeProgram(scratchPath("program"))),
      main(std::make_unique<Main>(ui, settings, program)) {
    main->load();
}

void Fuzz::checkGridRoundTrip(Session& session, const std::string& name) {
    Main& saved = *session.main;
    const std::string path = writeScratch(name, {});
    session.ui.clearEvents();
    session.ui.queueFile(path);
    saved.mnuSaveGrid_Click();
    if (!session.ui.boxTexts().empty())
        fail("Save Grid of what was read shows \"" + session.ui.boxTexts().front() + "\"");

    Session reader;
    reader.ui.queueFile(path);
    reader.main->mnuReadGrid_Click();
    if (!reader.ui.boxTexts().empty())
        fail("the saved grid reads back with \"" + reader.ui.boxTexts().front() + "\"");
    const Main& read = *reader.main;
    if (read.schedule().RowCount() != saved.schedule().RowCount())
        fail("the saved grid reads back " + std::to_string(read.schedule().RowCount()) +
             " rows, not " + std::to_string(saved.schedule().RowCount()));
    for (int r = 1; r <= saved.schedule().RowCount(); ++r) {
        for (int c = ScheduleColumn::Length; c <= ScheduleColumn::Title; ++c) {
            if (read.Grid1.TextMatrix(r, c) != saved.Grid1.TextMatrix(r, c))
                fail("cell " + std::to_string(r) + "," + std::to_string(c) + " \"" +
                     saved.Grid1.TextMatrix(r, c) + "\" reads back as \"" +
                     read.Grid1.TextMatrix(r, c) + "\"");
        }
    }
}
