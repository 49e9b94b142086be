#include "textfile.h"

#include "textfileparts.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>
#include <vector>

namespace {

thread_local const TextFile::InjectedFault* t_fault = nullptr;
thread_local const TextFile::InjectedCrash* t_crash = nullptr;

// The first CR or LF in [from, limit) of the text, or limit. memchr in windows that start
// short and double: a file of nothing but CRs or LFs costs no more than one short window a
// line, and a long line only a few calls.
size_t lineEndIn(const char* text, size_t from, size_t limit) {
    size_t window = 256;
    for (size_t at = from; at < limit; at += window, window *= 2) {
        const char* begin = text + at;
        const size_t n = std::min(window, limit - at);
        const void* lf = std::memchr(begin, '\n', n);
        const size_t beforeLf = lf ? static_cast<size_t>(static_cast<const char*>(lf) - begin) : n;
        if (const void* cr = std::memchr(begin, '\r', beforeLf))
            return at + static_cast<size_t>(static_cast<const char*>(cr) - begin);
        if (lf)
            return at + beforeLf;
    }
    return limit;
}

// The rooms kept, by size: one block, two blocks.
thread_local std::vector<std::unique_ptr<char[]>> t_rooms[2];

std::vector<std::unique_ptr<char[]>>* roomsOf(size_t size) {
    if (size == TextFileParts::BlockBytes)
        return &t_rooms[0];
    if (size == 2 * TextFileParts::BlockBytes)
        return &t_rooms[1];
    return nullptr;
}

} // namespace

std::unique_ptr<char[]> TextFileParts::takeRoom(size_t size) {
    std::vector<std::unique_ptr<char[]>>* rooms = roomsOf(size);
    if (!rooms || rooms->empty())
        return std::make_unique_for_overwrite<char[]>(size);
    std::unique_ptr<char[]> room = std::move(rooms->back());
    rooms->pop_back();
    return room;
}

void TextFileParts::giveBackRoom(std::unique_ptr<char[]> room, size_t size) {
    std::vector<std::unique_ptr<char[]>>* rooms = roomsOf(size);
    if (room && rooms && rooms->size() < 4)
        rooms->push_back(std::move(room));
}

int TextFileParts::injectedError(TextFile::Step step) {
    if (!t_fault || t_fault->step != step)
        return 0;
    return t_fault->seen++ < t_fault->skip ? 0 : t_fault->error;
}

void TextFileParts::crashPoint(TextFile::CrashPoint point) {
    if (t_crash && t_crash->point == point && t_crash->seen++ == t_crash->index)
        crashNow();
}

void TextFileParts::failWith(int error) {
    throw FileError(std::strerror(error));
}

void TextFileParts::checkName(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        throw FileError("Bad file name");
}

std::string TextFileParts::tempNameBeside(const std::string& target, size_t folderEnd, char lead,
                                          unsigned long process, int attempt) {
    const size_t nameAt = folderEnd == std::string::npos ? 0 : folderEnd + 1;
    return target.substr(0, nameAt) + lead + target.substr(nameAt, 200) + "." +
           std::to_string(process) + "-" + std::to_string(attempt) + ".tmp";
}

LineTooLong::LineTooLong(int line, size_t cap)
    : FileError("The line is longer than " + std::to_string(cap) + " bytes"), m_line(line) {}

TextFile::InjectedFault::InjectedFault(Step step, int error, int skip)
    : step(step), error(error), skip(skip), m_outer(t_fault) {
    t_fault = this;
}

TextFile::InjectedFault::~InjectedFault() {
    t_fault = m_outer;
}

TextFile::InjectedCrash::InjectedCrash(CrashPoint point, int index)
    : point(point), index(index), m_outer(t_crash) {
    t_crash = this;
}

TextFile::InjectedCrash::~InjectedCrash() {
    t_crash = m_outer;
}

void TextFile::writeAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}

// ---- Line writing and reading, the same everywhere. ----

void TextFileParts::writeLine(LineSink& d, std::string_view bytes) {
    // A fragment left by a failed line goes before anything else is written.
    if (d.cutTo >= 0) {
        d.truncateTo(d.cutTo);
        d.cutTo = -1;
    }
    const std::int64_t start = d.end();
    try {
        d.append(bytes);
    } catch (const FileError&) {
        d.cutTo = start;
        try {
            d.truncateTo(start);
            d.cutTo = -1;
        } catch (const FileError&) {
            // Tried again before the next line.
        }
        throw;
    }
}

StreamFile::StreamFile(const std::string& path)
    : m_path(path), m_sink(TextFileParts::openStream(path)) {}

StreamFile::~StreamFile() = default;

void StreamFile::append(std::string_view bytes) {
    if (!isOpen())
        throw FileError("File not open");
    try {
        m_sink->writeAt(m_size, bytes);
    } catch (const FileError&) {
        // What part of it did reach the file is cut off, so the file ends where it did.
        try {
            m_sink->truncateTo(m_size);
        } catch (const FileError&) {
        }
        throw;
    }
    m_size += static_cast<std::int64_t>(bytes.size());
}

void StreamFile::writeAt(std::int64_t offset, std::string_view bytes) {
    if (!isOpen())
        throw FileError("File not open");
    if (offset < 0 || offset + static_cast<std::int64_t>(bytes.size()) > m_size)
        throw FileError("Past the end of the file");
    m_sink->writeAt(offset, bytes);
}

void StreamFile::sync() {
    if (!isOpen())
        throw FileError("File not open");
    m_sink->sync();
}

void StreamFile::close() {
    if (isOpen())
        m_sink->close();
}

bool StreamFile::isOpen() const {
    return m_sink && m_sink->isOpen();
}

FileReader::FileReader(const std::string& path) : m_source(TextFileParts::openPlaced(path)) {}

FileReader::~FileReader() = default;

std::int64_t FileReader::size() const {
    return m_source->size();
}

size_t FileReader::readAt(std::int64_t offset, char* into, size_t n) {
    if (offset < 0)
        throw FileError("Before the start of the file");
    return m_source->readAt(offset, into, n);
}

// A reader over bytes in memory has no source.
struct LineReader::Impl {
    std::unique_ptr<TextFileParts::BlockSource> source;
};

LineReader::LineReader(size_t maxLineBytes)
    : m_impl(std::make_unique<Impl>()), m_cap(maxLineBytes) {}

LineReader::LineReader(const std::string& path, size_t maxLineBytes) : LineReader(maxLineBytes) {
    m_impl->source = TextFileParts::openForReading(path);
}

LineReader LineReader::fromBytes(std::string bytes, size_t maxLineBytes) {
    LineReader reader(maxLineBytes);
    reader.m_room = bytes.size();
    reader.m_buffer = std::make_unique_for_overwrite<char[]>(reader.m_room);
    std::memcpy(reader.m_buffer.get(), bytes.data(), bytes.size());
    reader.m_end = bytes.size();
    return reader;
}

LineReader::~LineReader() {
    TextFileParts::giveBackRoom(std::move(m_buffer), m_room);
}
LineReader::LineReader(LineReader&&) noexcept = default;
LineReader& LineReader::operator=(LineReader&&) noexcept = default;

bool LineReader::fill() {
    // What is used is dropped first, so the buffer never holds more than a line and a block.
    if (m_pos > 0) {
        std::memmove(m_buffer.get(), m_buffer.get() + m_pos, m_end - m_pos);
        m_end -= m_pos;
        m_pos = 0;
    }
    if (!m_impl->source)
        return false;
    // Blocks are read into room made once, for a line's rest and a block (and grown only
    // for a longer line), never cleared first.
    if (m_room < m_end + TextFileParts::BlockBytes) {
        const size_t room = std::max(
            {m_room * 2, m_end + TextFileParts::BlockBytes, 2 * TextFileParts::BlockBytes});
        std::unique_ptr<char[]> grown = TextFileParts::takeRoom(room);
        if (m_end > 0)
            std::memcpy(grown.get(), m_buffer.get(), m_end);
        TextFileParts::giveBackRoom(std::exchange(m_buffer, std::move(grown)), m_room);
        m_room = room;
    }
    const size_t n = m_impl->source->readInto(m_buffer.get() + m_end, TextFileParts::BlockBytes);
    m_end += n;
    return n > 0;
}

bool LineReader::atEnd() {
    for (;;) {
        if (m_pos < m_end) {
            // The LF of a CR LF split across two blocks.
            if (m_skipLf) {
                m_skipLf = false;
                if (m_buffer[m_pos] == '\n') {
                    ++m_pos;
                    continue;
                }
            }
            return false;
        }
        if (!fill())
            return true;
    }
}

std::string_view LineReader::wholeLines() {
    if (m_inLine || atEnd())
        return {};
    // The held bytes up to their last line end; a CR held last may still have its LF to come.
    const auto lastLineEnd = [&] {
        const char* begin = m_buffer.get() + m_pos;
        const size_t n = m_end - m_pos;
        for (size_t i = n; i-- > 0;)
            if (begin[i] == '\n' || (begin[i] == '\r' && i + 1 < n))
                return i + 1;
        return size_t{0};
    };
    size_t n = lastLineEnd();
    if (n == 0 && fill())
        n = lastLineEnd();
    return {m_buffer.get() + m_pos, n};
}

void LineReader::skipLines(size_t bytes, int lines) {
    m_pos += bytes;
    m_line += lines;
    m_lastLineEnded = true;
}

std::string LineReader::nextPiece(size_t maxBytes, bool& lineEnded) {
    std::string piece;
    nextPiece(maxBytes, lineEnded, piece);
    return piece;
}

void LineReader::nextPiece(size_t maxBytes, bool& lineEnded, std::string& piece) {
    if (!m_inLine && atEnd())
        throw FileError("Input past end of file");
    size_t end = m_pos;
    for (;;) {
        end = lineEndIn(m_buffer.get(), end, std::min(m_end, m_pos + maxBytes));
        if (end < m_end || end - m_pos >= maxBytes)
            break;
        const size_t scanned = end - m_pos;
        if (!fill()) {
            // The end of the file ends the line too, without a line end.
            piece.assign(m_buffer.get() + m_pos, m_end - m_pos);
            m_pos = m_end;
            m_inLine = false;
            lineEnded = true;
            m_lastLineEnded = false;
            ++m_line;
            return;
        }
        end = m_pos + scanned;
    }
    piece.assign(m_buffer.get() + m_pos, end - m_pos);
    lineEnded = end < m_end && (m_buffer[end] == '\n' || m_buffer[end] == '\r');
    m_inLine = !lineEnded;
    m_pos = end;
    if (lineEnded) {
        m_skipLf = m_buffer[end] == '\r';
        ++m_pos;
        ++m_line;
        m_lastLineEnded = true;
    }
}

std::string LineReader::next() {
    if (atEnd())
        throw FileError("Input past end of file");
    size_t scanned = 0; // bytes of the line known to hold no line end
    for (;;) {
        size_t end = lineEndIn(m_buffer.get(), m_pos + scanned, m_end);
        if (end == m_end)
            end = std::string::npos;
        const size_t length = (end == std::string::npos ? m_end : end) - m_pos;
        if (length > m_cap)
            throw LineTooLong(m_line, m_cap);
        if (end != std::string::npos) {
            std::string line(m_buffer.get() + m_pos, length);
            m_skipLf = m_buffer[end] == '\r';
            m_pos = end + 1;
            ++m_line;
            m_lastLineEnded = true;
            return line;
        }
        scanned = length;
        if (!fill()) {
            std::string line(m_buffer.get() + m_pos, m_end - m_pos);
            m_pos = m_end;
            ++m_line;
            m_lastLineEnded = false;
            return line;
        }
    }
}
