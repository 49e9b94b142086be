#include "pagefiles.h"

#include "common/text.h"
#include "webout/outputerror.h"

#include <cstdint>
#include <optional>

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

// A link planted at a page's name is replaced, never written through.
OutputFile::OutputFile(WriteBatch& batch, const std::string& path, WriteBatch::Same same)
    : m_path(path) {
    guarded([&] { m_file = &batch.add(path, same); });
    m_buffer.reserve(FlushSize + 1024);
}

OutputFile::OutputFile(const std::string& path) : m_path(path) {
    m_own = std::make_unique<WriteBatch>();
    guarded([&] { m_file = &m_own->add(path); });
    m_buffer.reserve(FlushSize + 1024);
}

OutputFile::~OutputFile() {
    if (!m_committed && m_file)
        m_file->discard();
}

void OutputFile::write(std::string_view bytes) {
    // A large piece goes straight through, not copied into the buffer first.
    if (bytes.size() >= FlushSize) {
        flush();
        guarded([&] { m_file->write(bytes); });
        return;
    }
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
    if (m_buffer.empty())
        return;
    guarded([&] { m_file->write(m_buffer); });
    m_buffer.clear();
}

void OutputFile::commit() {
    flush();
    guarded([&] {
        m_file->finish();
        m_committed = true;
        if (m_own)
            m_own->commit();
    });
}

void copyOutputFile(WriteBatch& batch, const std::string& source, const std::string& destination) {
    std::optional<FileReader> reader;
    try {
        reader.emplace(source);
    } catch (const FileError& e) {
        throw OutputError(source, e.what());
    }
    OutputFile file(batch, destination);
    const std::unique_ptr<char[]> block = std::make_unique_for_overwrite<char[]>(FlushSize);
    for (std::int64_t at = 0;;) {
        size_t n = 0;
        try {
            n = reader->readAt(at, block.get(), FlushSize);
        } catch (const FileError& e) {
            throw OutputError(source, e.what());
        }
        if (n == 0)
            break;
        file.write(std::string_view(block.get(), n));
        at += static_cast<std::int64_t>(n);
    }
    file.commit();
}

void commitOutputs(WriteBatch& batch) {
    try {
        batch.commit();
    } catch (const BatchError& e) {
        throw OutputError(e.path(), e.what());
    }
}
