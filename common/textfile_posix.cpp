// The file layer on POSIX systems: the operator's bytes go to the system calls as they are.
#include "filepath.h"
#include "textfileparts.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

using TextFileParts::BlockBytes;
using TextFileParts::checkName;
using TextFileParts::failWith;
using TextFileParts::folderOf;
using TextFileParts::injectedError;

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

// Past a file-size limit a write must fail, not end the program.
void ignoreFileSizeSignal() {
    static const bool noSignal = [] { return ::signal(SIGXFSZ, SIG_IGN) != SIG_ERR; }();
    (void)noSignal;
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
// One read of at most room bytes; 0 at the end.
size_t readFrom(int fd, char* at, size_t room) {
    for (;;) {
        const ssize_t n = ::read(fd, at, room);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            failWith(errno);
        return static_cast<size_t>(n);
    }
}

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
    // Read straight into the result, whose room grows by doubling rather than per read.
    std::string bytes;
    size_t size = 0;
    for (;;) {
        if (bytes.size() - size < BlockBytes)
            bytes.resize(std::max(bytes.size() * 2, size + BlockBytes));
        const size_t n = readFrom(file.fd, bytes.data() + size, BlockBytes);
        if (n == 0)
            break;
        if (size + n > maxBytes)
            throw FileError("Larger than " + std::to_string(maxBytes) + " bytes");
        size += n;
    }
    bytes.resize(size);
    return bytes;
}

bool TextFile::exists(const std::string& path) {
    struct stat st {};
    return !path.empty() && path.find('\0') == std::string::npos &&
           ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::filesystem::path TextFile::nativePath(const std::string& path) {
    return std::filesystem::path(path);
}

std::string TextFile::pathBytes(const std::filesystem::path& path) {
    return path.native();
}

std::string TextFile::absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    return ec ? path : full.lexically_normal().string();
}

bool TextFile::sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

struct LineFile::Impl : TextFileParts::LineSink {
    ~Impl() override {
        if (fd >= 0)
            ::close(fd);
    }

    void open(const std::string& path, int mode) {
        ignoreFileSizeSignal();
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

    std::int64_t end() override {
        const off_t at = ::lseek(fd, 0, SEEK_END);
        if (at < 0)
            failWith(errno);
        return at;
    }
    void append(std::string_view bytes) override {
        writeAll(fd, bytes);
        syncData(fd, false);
    }
    void truncateTo(std::int64_t size) override {
        if (::ftruncate(fd, size) != 0 || ::lseek(fd, size, SEEK_SET) != size)
            failWith(errno);
    }

    int fd = -1;
    dev_t device = 0;
    ino_t inode = 0;
};

LineFile::LineFile(const std::string& path) : m_path(path), m_impl(std::make_unique<Impl>()) {
    m_impl->open(path, O_TRUNC);
}

LineFile::~LineFile() = default;

void LineFile::writeLine(std::string_view bytes) {
    if (!isOpen())
        throw FileError("File not open");
    TextFileParts::writeLine(*m_impl, bytes);
}

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

namespace {

class FileBlocks : public TextFileParts::BlockSource {
  public:
    explicit FileBlocks(int fd) : m_fd(fd) {}
    ~FileBlocks() override { ::close(m_fd); }

    size_t readInto(char* at, size_t room) override { return readFrom(m_fd, at, room); }

  private:
    int m_fd;
};

} // namespace

std::unique_ptr<TextFileParts::BlockSource> TextFileParts::openForReading(const std::string& path) {
    return std::make_unique<FileBlocks>(openPlainForReading(path));
}

namespace {

class FileStream : public TextFileParts::StreamSink {
  public:
    explicit FileStream(int fd) : m_fd(fd) {}
    ~FileStream() override {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    void writeAt(std::int64_t offset, std::string_view bytes) override {
        if (const int error = injectedError(TextFile::Step::Write))
            failWith(error);
        while (!bytes.empty()) {
            const ssize_t n = ::pwrite(m_fd, bytes.data(), bytes.size(), offset);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                failWith(errno);
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            offset += n;
        }
    }
    void truncateTo(std::int64_t size) override {
        if (::ftruncate(m_fd, size) != 0)
            failWith(errno);
    }
    void sync() override { syncData(m_fd, false); }
    void close() override { closeChecked(m_fd); }
    bool isOpen() const override { return m_fd >= 0; }

  private:
    int m_fd;
};

class PlacedFile : public TextFileParts::PlacedSource {
  public:
    explicit PlacedFile(int fd) : m_fd(fd) {}
    ~PlacedFile() override { ::close(m_fd); }

    std::int64_t size() const override {
        struct stat st {};
        if (::fstat(m_fd, &st) != 0)
            failWith(errno);
        return st.st_size;
    }
    size_t readAt(std::int64_t offset, char* into, size_t n) override {
        size_t done = 0;
        while (done < n) {
            const ssize_t got = ::pread(m_fd, into + done, n - done, offset + done);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                failWith(errno);
            if (got == 0)
                break;
            done += static_cast<size_t>(got);
        }
        return done;
    }

  private:
    int m_fd;
};

} // namespace

std::unique_ptr<TextFileParts::StreamSink> TextFileParts::openStream(const std::string& path) {
    ignoreFileSizeSignal();
    // A name the program makes: a link planted there is replaced, never written through.
    const Target target = resolveTarget(path, false);
    struct stat st {};
    if (::lstat(target.path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) &&
        ::unlink(target.path.c_str()) != 0)
        failWith(errno);
    const int fd = ::open(target.path.c_str(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0666);
    if (fd < 0)
        failWith(errno);
    return std::make_unique<FileStream>(fd);
}

std::unique_ptr<TextFileParts::PlacedSource> TextFileParts::openPlaced(const std::string& path) {
    return std::make_unique<PlacedFile>(openPlainForReading(path));
}

// ---- The write batch. ----

std::string TextFileParts::folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

void TextFileParts::crashNow() {
    ::kill(::getpid(), SIGKILL);
    ::_exit(137);
}

TextFileParts::WriteTarget TextFileParts::resolveWriteTarget(const std::string& path,
                                                             TextFile::Link link) {
    const Target target = resolveTarget(path, link == TextFile::Link::Follow);
    return {target.path, target.exists, static_cast<unsigned>(target.mode & 07777)};
}

std::unique_ptr<TextFileParts::PlacedSource> TextFileParts::openToCompare(const std::string& path,
                                                                          std::int64_t& size) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    size = st.st_size;
    return std::make_unique<PlacedFile>(fd);
}

namespace {

class PosixTempFile : public TextFileParts::TempFile {
  public:
    PosixTempFile(const std::string& target, const unsigned* keepMode) : TempFile(target) {
        ignoreFileSizeSignal();
        for (int attempt = 0; m_fd < 0; ++attempt) {
            const std::string temp = TextFileParts::tempNameBeside(
                target, target.rfind('/'), '.', static_cast<unsigned long>(::getpid()), attempt);
            m_fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
            if (m_fd >= 0)
                m_temp = temp;
            else if (errno != EEXIST || attempt >= 100)
                failWith(errno);
        }
        // A replaced file keeps its permissions.
        if (keepMode)
            (void)::fchmod(m_fd, *keepMode);
    }
    ~PosixTempFile() override {
        if (m_fd >= 0)
            ::close(m_fd);
        if (!m_temp.empty())
            ::unlink(m_temp.c_str());
    }

    int fd() const { return m_fd; }
    void write(std::string_view bytes) override { writeAll(m_fd, bytes); }
    void close() override { closeChecked(m_fd); }
    void moveInto() override {
        if (::rename(m_temp.c_str(), target().c_str()) != 0)
            failWith(errno);
        m_temp.clear();
    }

  private:
    int m_fd = -1;
    std::string m_temp;
};

} // namespace

std::unique_ptr<TextFileParts::TempFile> TextFileParts::createTempBeside(const std::string& target,
                                                                         const unsigned* keepMode) {
    return std::make_unique<PosixTempFile>(target, keepMode);
}

// syncfs() writes out the whole file system in one pass, one journal commit and one cache
// flush, where an fsync() of each file pays those once a file: for a presentation of 207
// files it measured 1.8 to 2.3 times faster (the README's Benchmarks). It also writes out
// other programs' data on that file system, which a busy disk can make slower; it reports
// a write-back error on that file system since the file was opened (Linux 5.8 and later).
void TextFileParts::makeDurable(std::span<TempFile* const> files,
                                WriteBatch::Durability durability) {
    std::set<dev_t> synced;
    for (TempFile* file : files) {
        const int fd = static_cast<PosixTempFile*>(file)->fd();
        try {
            if (durability == WriteBatch::Durability::SyncEachFile) {
                syncData(fd, true);
                continue;
            }
            struct stat st {};
            if (::fstat(fd, &st) != 0)
                failWith(errno);
            if (!synced.insert(st.st_dev).second)
                continue;
            if (const int error = injectedError(TextFile::Step::Sync))
                failWith(error);
            if (::syncfs(fd) != 0)
                failWith(errno);
        } catch (const FileError& e) {
            throw BatchError(file->target(), e.what());
        }
    }
}

void TextFileParts::syncFolder(const std::string& folder) {
    if (const int error = injectedError(TextFile::Step::SyncFolder))
        failWith(error);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        failWith(errno);
    if (::fsync(fd) != 0 && errno != EINVAL) {
        const int error = errno;
        ::close(fd);
        failWith(error);
    }
    ::close(fd);
}
