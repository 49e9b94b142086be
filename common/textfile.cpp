#include "textfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <utility>

#ifdef _WIN32
#include <io.h>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#else
#include <climits>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr size_t BlockBytes = 64 * 1024;

thread_local const TextFile::InjectedFault* t_fault = nullptr;

// The errno a test has asked this step to fail with, or 0.
int injectedError(TextFile::Step step) {
    return t_fault && t_fault->step == step ? t_fault->error : 0;
}

[[noreturn]] void failWith(int error) {
    throw FileError(std::strerror(error));
}

void checkName(const std::string& path) {
    // A NUL would silently cut the name the system sees.
    if (path.empty() || path.find('\0') != std::string::npos)
        throw FileError("Bad file name");
}

} // namespace

LineTooLong::LineTooLong(int line, size_t cap)
    : FileError("The line is longer than " + std::to_string(cap) + " bytes"), m_line(line) {}

TextFile::InjectedFault::InjectedFault(Step step, int error)
    : step(step), error(error), m_outer(t_fault) {
    t_fault = this;
}

TextFile::InjectedFault::~InjectedFault() {
    t_fault = m_outer;
}

void TextFile::writeAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter file(path);
    file.write(bytes);
    file.commit();
}

#ifndef _WIN32

// ---- POSIX: the operator's bytes go to the system calls as they are. ----

namespace {

std::string notPlainFile(mode_t mode) {
    if (S_ISDIR(mode))
        return "Not a plain file (a folder)";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "Not a plain file (a device)";
    if (S_ISFIFO(mode))
        return "Not a plain file (a FIFO)";
    if (S_ISSOCK(mode))
        return "Not a plain file (a socket)";
    return "Not a plain file";
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Where a write to path lands, links followed: a plain file or nothing yet. Anything
// else is refused before it is touched.
struct Target {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
};

Target resolveTarget(const std::string& path, bool followLinks = true) {
    checkName(path);
    std::string at = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0) {
            if (errno == ENOENT)
                return {at, false, 0};
            failWith(errno);
        }
        if (S_ISLNK(st.st_mode) && !followLinks)
            return {at, false, 0};
        if (!S_ISLNK(st.st_mode)) {
            if (!S_ISREG(st.st_mode))
                throw FileError(notPlainFile(st.st_mode));
            return {at, true, st.st_mode};
        }
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(at.c_str(), link.data(), link.size());
        if (n < 0)
            failWith(errno);
        link.resize(static_cast<size_t>(n));
        at = link.front() == '/' ? link : folderOf(at) + "/" + link;
    }
    failWith(ELOOP);
}

void writeAll(int fd, std::string_view bytes) {
    if (const int error = injectedError(TextFile::Step::Write))
        failWith(error);
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            failWith(errno);
        }
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

void syncData(int fd, bool metadataToo) {
    if (const int error = injectedError(TextFile::Step::Sync))
        failWith(error);
    if ((metadataToo ? ::fsync(fd) : ::fdatasync(fd)) != 0)
        failWith(errno);
}

void closeChecked(int& fd) {
    const int error = injectedError(TextFile::Step::Close);
    const int result = ::close(fd);
    fd = -1;
    if (error)
        failWith(error);
    if (result != 0 && errno != EINTR)
        failWith(errno);
}

// Opens a plain file for reading; a FIFO or device is refused before it is opened, so
// nothing blocks and no device acts on the open.
int openPlainForReading(const std::string& path) {
    checkName(path);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        failWith(errno);
    if (!S_ISREG(st.st_mode))
        throw FileError(notPlainFile(st.st_mode));
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        failWith(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        throw FileError(notPlainFile(st.st_mode));
    }
    return fd;
}

} // namespace

std::string TextFile::readAll(const std::string& path, size_t maxBytes) {
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } file{openPlainForReading(path)};
    std::string bytes;
    std::string block(BlockBytes, '\0');
    for (;;) {
        const ssize_t n = ::read(file.fd, block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failWith(errno);
        if (n == 0)
            return bytes;
        if (bytes.size() + static_cast<size_t>(n) > maxBytes)
            throw FileError("Larger than " + std::to_string(maxBytes) + " bytes");
        bytes.append(block.data(), static_cast<size_t>(n));
    }
}

bool TextFile::exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && path.find('\0') == std::string::npos &&
           ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

struct AtomicFileWriter::Impl {
    ~Impl() { abandon(); }

    void abandon() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
        if (!temp.empty())
            ::unlink(temp.c_str());
        temp.clear();
    }

    // Any failure discards the temporary file and is kept, so later steps report it too.
    template <typename Step> void guarded(Step step) {
        if (!failure.empty())
            throw FileError(failure);
        try {
            step();
        } catch (const FileError& e) {
            failure = e.what();
            abandon();
            throw;
        }
    }

    void flushPending() {
        writeAll(fd, pending);
        pending.clear();
    }

    Target target;
    std::string temp;
    int fd = -1;
    std::string pending;
    std::string failure;
    bool committed = false;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path, Link link)
    : m_path(path), m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    d.target = resolveTarget(path, link == Link::Follow);
    // Beside the target, so the rename stays on one file system and is atomic.
    const size_t slash = d.target.path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : d.target.path.substr(0, slash + 1);
    const std::string base = d.target.path.substr(folder.size()).substr(0, 200);
    for (int attempt = 0; d.fd < 0; ++attempt) {
        const std::string temp = folder + "." + base + "." + std::to_string(::getpid()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        d.fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (d.fd >= 0)
            d.temp = temp;
        else if (errno != EEXIST || attempt >= 100)
            failWith(errno);
    }
    // A replaced file keeps its permissions.
    if (d.target.exists)
        (void)::fchmod(d.fd, d.target.mode & 07777);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::string_view bytes) {
    Impl& d = *m_impl;
    d.guarded([&] {
        if (d.committed)
            throw FileError("The file is already written");
        // Small pieces are gathered into blocks; a large one goes straight through.
        if (d.pending.size() + bytes.size() < BlockBytes) {
            d.pending += bytes;
            return;
        }
        d.flushPending();
        writeAll(d.fd, bytes);
    });
}

void AtomicFileWriter::commit() {
    Impl& d = *m_impl;
    d.guarded([&] {
        if (d.committed)
            return;
        d.flushPending();
        syncData(d.fd, true);
        closeChecked(d.fd);
        if (const int error = injectedError(TextFile::Step::Rename))
            failWith(error);
        if (::rename(d.temp.c_str(), d.target.path.c_str()) != 0)
            failWith(errno);
        d.temp.clear();
        d.committed = true;
        // The new name itself must survive a power cut.
        int folder = ::open(folderOf(d.target.path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder < 0)
            failWith(errno);
        if (::fsync(folder) != 0 && errno != EINVAL) {
            const int error = errno;
            ::close(folder);
            failWith(error);
        }
        ::close(folder);
    });
}

struct LineFile::Impl {
    ~Impl() {
        if (fd >= 0)
            ::close(fd);
    }

    void open(const std::string& path, int mode) {
        // Past a file-size limit a write must fail, not end the program.
        static const bool noSignal = [] { return ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
        (void)noSignal;
        const Target target = resolveTarget(path);
        const int opened =
            ::open(target.path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY | mode, 0666);
        if (opened < 0)
            failWith(errno);
        struct stat st {};
        if (::fstat(opened, &st) != 0) {
            const int error = errno;
            ::close(opened);
            failWith(error);
        }
        if (fd >= 0)
            ::close(fd);
        fd = opened;
        device = st.st_dev;
        inode = st.st_ino;
    }

    // Where the next line begins.
    std::int64_t end() {
        const off_t at = ::lseek(fd, 0, SEEK_END);
        if (at < 0)
            failWith(errno);
        return at;
    }
    void append(std::string_view bytes) {
        writeAll(fd, bytes);
        syncData(fd, false);
    }
    void truncateTo(std::int64_t size) {
        if (::ftruncate(fd, size) != 0 || ::lseek(fd, size, SEEK_SET) != size)
            failWith(errno);
    }

    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t cutTo = -1;
};

LineFile::LineFile(const std::string& path) : m_path(path), m_impl(std::make_unique<Impl>()) {
    m_impl->open(path, O_TRUNC);
}

LineFile::~LineFile() = default;

void LineFile::close() {
    if (m_impl->fd >= 0)
        closeChecked(m_impl->fd);
}

bool LineFile::isOpen() const {
    return m_impl->fd >= 0;
}

bool LineFile::stillAtPath() const {
    struct stat st {};
    return m_impl->fd >= 0 && ::stat(m_path.c_str(), &st) == 0 && st.st_dev == m_impl->device &&
           st.st_ino == m_impl->inode;
}

void LineFile::reopen() {
    m_impl->open(m_path, O_APPEND);
    m_impl->cutTo = -1;
}

struct LineReader::Impl {
    ~Impl() {
        if (fd >= 0)
            ::close(fd);
    }
    // Appends one block; false at the end of the file.
    bool readBlock(std::string& buffer) {
        if (fd < 0)
            return false;
        const size_t old = buffer.size();
        buffer.resize(old + BlockBytes);
        for (;;) {
            const ssize_t n = ::read(fd, buffer.data() + old, BlockBytes);
            if (n < 0 && errno == EINTR)
                continue;
            buffer.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
            if (n < 0)
                failWith(errno);
            return n > 0;
        }
    }
    int fd = -1;
};

LineReader::LineReader(const std::string& path, size_t maxLineBytes) : LineReader(maxLineBytes) {
    m_impl->fd = openPlainForReading(path);
}

#else

// ---- Windows: Qt's files, with every step's result checked. ----

namespace {

QString nameOf(const std::string& path) {
    checkName(path);
    return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

void refuseNotPlain(const QString& name) {
    const QFileInfo info(name);
    if (info.exists() && !info.isFile())
        throw FileError(info.isDir() ? "Not a plain file (a folder)" : "Not a plain file");
}

void checked(bool ok, const QFileDevice& file) {
    if (!ok)
        throw FileError(file.errorString().toStdString());
}

} // namespace

std::string TextFile::readAll(const std::string& path, size_t maxBytes) {
    QFile file(nameOf(path));
    refuseNotPlain(file.fileName());
    checked(file.open(QIODevice::ReadOnly), file);
    if (file.size() > static_cast<qint64>(maxBytes))
        throw FileError("Larger than " + std::to_string(maxBytes) + " bytes");
    const QByteArray bytes = file.read(static_cast<qint64>(maxBytes) + 1);
    checked(file.error() == QFileDevice::NoError, file);
    if (bytes.size() > static_cast<qsizetype>(maxBytes))
        throw FileError("Larger than " + std::to_string(maxBytes) + " bytes");
    return bytes.toStdString();
}

bool TextFile::exists(const std::string& path) {
    return !path.empty() && QFileInfo(QString::fromLocal8Bit(path.c_str())).isFile();
}

struct AtomicFileWriter::Impl {
    explicit Impl(const QString& name) : file(name) {}
    QSaveFile file;
    bool failed = false;
};

AtomicFileWriter::AtomicFileWriter(const std::string& path, Link link)
    : m_path(path), m_impl(std::make_unique<Impl>(nameOf(path))) {
    // QSaveFile writes through a link; where that is not wanted the link is refused.
    if (link == Link::Replace && QFileInfo(m_impl->file.fileName()).isSymLink())
        throw FileError("The name is a symbolic link");
    refuseNotPlain(m_impl->file.fileName());
    checked(m_impl->file.open(QIODevice::WriteOnly), m_impl->file);
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::string_view bytes) {
    QSaveFile& file = m_impl->file;
    if (const int error = injectedError(TextFile::Step::Write))
        failWith(error);
    checked(file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                static_cast<qint64>(bytes.size()),
            file);
}

void AtomicFileWriter::commit() {
    QSaveFile& file = m_impl->file;
    // commit() can report success after a failed flush: the flush is checked first.
    if (const int error = injectedError(TextFile::Step::Sync)) {
        file.cancelWriting();
        failWith(error);
    }
    checked(file.flush() && file.error() == QFileDevice::NoError, file);
    checked(::_commit(file.handle()) == 0, file);
    checked(file.commit(), file);
}

struct LineFile::Impl {
    explicit Impl(const QString& name) : file(name) {}

    std::int64_t end() {
        const qint64 at = file.size();
        checked(file.seek(at), file);
        return at;
    }
    void append(std::string_view bytes) {
        if (const int error = injectedError(TextFile::Step::Write))
            failWith(error);
        checked(file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                        static_cast<qint64>(bytes.size()) &&
                    file.flush() && ::_commit(file.handle()) == 0,
                file);
    }
    void truncateTo(std::int64_t size) { checked(file.resize(size) && file.seek(size), file); }

    QFile file;
    std::int64_t cutTo = -1;
};

LineFile::LineFile(const std::string& path)
    : m_path(path), m_impl(std::make_unique<Impl>(nameOf(path))) {
    refuseNotPlain(m_impl->file.fileName());
    checked(m_impl->file.open(QIODevice::WriteOnly | QIODevice::Truncate), m_impl->file);
}

LineFile::~LineFile() = default;

void LineFile::close() {
    QFile& file = m_impl->file;
    if (!file.isOpen())
        return;
    const bool flushed = file.flush();
    file.close();
    checked(flushed, file);
}

bool LineFile::isOpen() const {
    return m_impl->file.isOpen();
}

bool LineFile::stillAtPath() const {
    // An open file here can be deleted or moved but not replaced while it stays open.
    return m_impl->file.isOpen() && QFileInfo::exists(m_impl->file.fileName());
}

void LineFile::reopen() {
    QFile& file = m_impl->file;
    file.close();
    refuseNotPlain(file.fileName());
    checked(file.open(QIODevice::WriteOnly | QIODevice::Append), file);
    m_impl->cutTo = -1;
}

struct LineReader::Impl {
    bool readBlock(std::string& buffer) {
        if (!file)
            return false;
        const size_t old = buffer.size();
        buffer.resize(old + BlockBytes);
        const qint64 n = file->read(buffer.data() + old, BlockBytes);
        buffer.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
        checked(n >= 0, *file);
        return n > 0;
    }
    std::unique_ptr<QFile> file;
};

LineReader::LineReader(const std::string& path, size_t maxLineBytes) : LineReader(maxLineBytes) {
    m_impl->file = std::make_unique<QFile>(nameOf(path));
    refuseNotPlain(m_impl->file->fileName());
    checked(m_impl->file->open(QIODevice::ReadOnly), *m_impl->file);
}

#endif

// ---- Line writing and reading, the same everywhere. ----

void LineFile::writeLine(std::string_view bytes) {
    Impl& d = *m_impl;
    if (!isOpen())
        throw FileError("File not open");
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

LineReader::LineReader(size_t maxLineBytes)
    : m_impl(std::make_unique<Impl>()), m_cap(maxLineBytes) {}

LineReader LineReader::fromBytes(std::string bytes, size_t maxLineBytes) {
    LineReader reader(maxLineBytes);
    reader.m_buffer = std::move(bytes);
    return reader;
}

LineReader::~LineReader() = default;
LineReader::LineReader(LineReader&&) noexcept = default;
LineReader& LineReader::operator=(LineReader&&) noexcept = default;

bool LineReader::fill() {
    // What is used is dropped first, so the buffer never holds more than a line and a block.
    if (m_pos > 0) {
        m_buffer.erase(0, m_pos);
        m_pos = 0;
    }
    return m_impl->readBlock(m_buffer);
}

bool LineReader::atEnd() {
    for (;;) {
        if (m_pos < m_buffer.size()) {
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

std::string LineReader::nextPiece(size_t maxBytes, bool& lineEnded) {
    if (!m_inLine && atEnd())
        throw FileError("Input past end of file");
    size_t end = m_pos;
    for (;;) {
        const size_t limit = std::min(m_buffer.size(), m_pos + maxBytes);
        while (end < limit && m_buffer[end] != '\n' && m_buffer[end] != '\r')
            ++end;
        if (end < m_buffer.size() || end - m_pos >= maxBytes)
            break;
        const size_t scanned = end - m_pos;
        if (!fill()) {
            // The end of the file ends the line too, without a line end.
            std::string piece = m_buffer.substr(m_pos);
            m_pos = m_buffer.size();
            m_inLine = false;
            lineEnded = true;
            m_lastLineEnded = false;
            ++m_line;
            return piece;
        }
        end = m_pos + scanned;
    }
    std::string piece = m_buffer.substr(m_pos, end - m_pos);
    lineEnded = end < m_buffer.size() && (m_buffer[end] == '\n' || m_buffer[end] == '\r');
    m_inLine = !lineEnded;
    m_pos = end;
    if (lineEnded) {
        m_skipLf = m_buffer[end] == '\r';
        ++m_pos;
        ++m_line;
        m_lastLineEnded = true;
    }
    return piece;
}

std::string LineReader::next() {
    if (atEnd())
        throw FileError("Input past end of file");
    size_t scanned = 0; // bytes of the line known to hold no line end
    for (;;) {
        // A plain scan: find_first_of calls memchr on the set for every byte.
        size_t end = m_pos + scanned;
        while (end < m_buffer.size() && m_buffer[end] != '\n' && m_buffer[end] != '\r')
            ++end;
        if (end == m_buffer.size())
            end = std::string::npos;
        const size_t length = (end == std::string::npos ? m_buffer.size() : end) - m_pos;
        if (length > m_cap)
            throw LineTooLong(m_line, m_cap);
        if (end != std::string::npos) {
            std::string line = m_buffer.substr(m_pos, length);
            m_skipLf = m_buffer[end] == '\r';
            m_pos = end + 1;
            ++m_line;
            m_lastLineEnded = true;
            return line;
        }
        scanned = length;
        if (!fill()) {
            std::string line = m_buffer.substr(m_pos);
            m_pos = m_buffer.size();
            ++m_line;
            m_lastLineEnded = false;
            return line;
        }
    }
}
