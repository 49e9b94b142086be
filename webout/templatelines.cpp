#include "templatelines.h"

#include "common/textfile.h"

#include <QFile>

#include <vector>

namespace {
constexpr qint64 ChunkSize = 64 * 1024;
}

struct TemplateLines::Impl {
    explicit Impl(const QString& name) : file(name), buffer(ChunkSize) {}
    QFile file;
    std::vector<char> buffer;
    size_t pos = 0;
    size_t end = 0;
    bool atEof = false;
    // A CR ended the last line; an LF that follows it belongs to the same line end.
    bool skipLf = false;
};

TemplateLines::TemplateLines(const std::string& path)
    : m_path(path),
      m_impl(std::make_unique<Impl>(QFile::decodeName(QByteArray::fromStdString(path)))) {
    if (path.empty() || !m_impl->file.open(QIODevice::ReadOnly))
        throw FileError(path.empty() ? std::string("Bad file name")
                                     : m_impl->file.errorString().toStdString());
}

TemplateLines::~TemplateLines() = default;

bool TemplateLines::fill() {
    Impl& d = *m_impl;
    if (d.atEof)
        return false;
    const qint64 got = d.file.read(d.buffer.data(), ChunkSize);
    if (got < 0)
        throw FileError(d.file.errorString().toStdString());
    d.pos = 0;
    d.end = static_cast<size_t>(got);
    d.atEof = got == 0;
    return got > 0;
}

bool TemplateLines::next(std::string& line) {
    Impl& d = *m_impl;
    line.clear();
    bool any = false;
    for (;;) {
        if (d.pos == d.end && !fill())
            return any;
        if (d.skipLf) {
            d.skipLf = false;
            if (d.buffer[d.pos] == '\n' && ++d.pos == d.end)
                continue;
        }
        const char* begin = d.buffer.data() + d.pos;
        const char* stop = begin;
        const char* const last = d.buffer.data() + d.end;
        while (stop != last && *stop != '\n' && *stop != '\r')
            ++stop;
        line.append(begin, stop);
        any = true;
        d.pos += static_cast<size_t>(stop - begin);
        if (stop != last) {
            d.skipLf = *stop == '\r';
            ++d.pos;
            return true;
        }
    }
}
