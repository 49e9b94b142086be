#include "pagefiles.h"

#include "common/text.h"
#include "webout/outputerror.h"

#include <memory>

namespace {
constexpr size_t FlushSize = 64 * 1024;
}

template <class F> void OutputFile::guarded(F&& step) {
    try {
        step();
    } catch (const FileError& e) {
        throw OutputError(m_path, e.what());
    }
}

OutputFile::OutputFile(const std::string& path) : m_path(path) {
    // A link planted at a page's name is replaced, never written through.
    guarded([&] {
        m_writer = std::make_unique<AtomicFileWriter>(path, AtomicFileWriter::Link::Replace);
    });
    m_buffer.reserve(FlushSize + 1024);
}

void OutputFile::write(std::string_view bytes) {
    m_buffer.append(bytes);
    if (m_buffer.size() >= FlushSize)
        flush();
}

void OutputFile::writeLine(std::string_view line) {
    m_buffer.append(line);
    m_buffer.append(Text::crlf);
    if (m_buffer.size() >= FlushSize)
        flush();
}

void OutputFile::flush() {
    guarded([&] { m_writer->write(m_buffer); });
    m_buffer.clear();
}

void OutputFile::commit() {
    flush();
    guarded([&] { m_writer->commit(); });
}

void copyOutputFile(const std::string& source, const std::string& destination) {
    std::string bytes;
    try {
        bytes = TextFile::readAll(source);
    } catch (const FileError& e) {
        throw OutputError(source, e.what());
    }
    OutputFile file(destination);
    file.write(bytes);
    file.commit();
}
