// The file layer on Windows, on the Win32 calls: names are the operator's 8-bit bytes in
// the system's code page, so they go to the "A" calls as they are.
#include "textfileparts.h"
#include "win32text.h"

#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <string>

using TextFileParts::BlockBytes;
using TextFileParts::checkName;
using TextFileParts::failWith;
using TextFileParts::injectedError;

namespace {

// The system's own description of its last error, as the operator is shown it.
[[noreturn]] void failWithSystemError(DWORD code = ::GetLastError()) {
    char* text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message =
        length && text ? std::string(text, length) : "System error " + std::to_string(code);
    if (text)
        ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    throw FileError(message);
}

class Handle {
  public:
    Handle() = default;
    explicit Handle(HANDLE h) : m_h(h) {}
    ~Handle() { reset(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE get() const { return m_h; }
    bool isOpen() const { return m_h != INVALID_HANDLE_VALUE; }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (isOpen())
            ::CloseHandle(m_h);
        m_h = h;
    }
    // Closes and reports a failed close.
    void close() {
        const int error = injectedError(TextFile::Step::Close);
        const BOOL ok = ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
        if (error)
            failWith(error);
        if (!ok)
            failWithSystemError();
    }

  private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

void refuseFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw FileError("Not a plain file (a folder)");
}

// Opens a plain file; a folder is refused before it is touched, a device ("CON", "COM1")
// or pipe once it is open and before anything is read or written. A reader lets a writer
// keep the file open, so a log a logger still writes can be read, as on POSIX.
HANDLE openPlain(const std::string& path, DWORD access, DWORD disposition) {
    checkName(path);
    refuseFolder(path);
    const DWORD share =
        access == GENERIC_READ ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    HANDLE h = ::CreateFileA(path.c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failWithSystemError();
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        throw FileError("Not a plain file (a device)");
    }
    return h;
}

void writeAll(HANDLE h, std::string_view bytes) {
    if (const int error = injectedError(TextFile::Step::Write))
        failWith(error);
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(h, bytes.data(), piece, &written, nullptr))
            failWithSystemError();
        bytes.remove_prefix(written);
    }
}

void syncData(HANDLE h) {
    if (const int error = injectedError(TextFile::Step::Sync))
        failWith(error);
    if (!::FlushFileBuffers(h))
        failWithSystemError();
}

// Appends up to one block; false at the end.
bool readBlockFrom(HANDLE h, std::string& buffer) {
    const size_t old = buffer.size();
    buffer.resize(old + BlockBytes);
    DWORD n = 0;
    const BOOL ok = ::ReadFile(h, buffer.data() + old, static_cast<DWORD>(BlockBytes), &n, nullptr);
    buffer.resize(old + n);
    if (!ok)
        failWithSystemError();
    return n > 0;
}

class FileBlocks : public TextFileParts::BlockSource {
  public:
    explicit FileBlocks(HANDLE h) : m_file(h) {}
    bool readBlock(std::string& buffer) override { return readBlockFrom(m_file.get(), buffer); }

  private:
    Handle m_file;
};

} // namespace

std::unique_ptr<TextFileParts::BlockSource> TextFileParts::openForReading(const std::string& path) {
    return std::make_unique<FileBlocks>(openPlain(path, GENERIC_READ, OPEN_EXISTING));
}

std::string TextFile::readAll(const std::string& path, size_t maxBytes) {
    Handle file(openPlain(path, GENERIC_READ, OPEN_EXISTING));
    std::string bytes;
    while (readBlockFrom(file.get(), bytes)) {
        if (bytes.size() > maxBytes)
            throw FileError("Larger than " + std::to_string(maxBytes) + " bytes");
    }
    return bytes;
}

bool TextFile::exists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The standard library's paths made from the wide names: its own narrow conversion is
// not the ANSI code page.
std::string TextFile::absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(Win32Text::widen(path), ec);
    return ec ? path : Win32Text::narrow(full.lexically_normal().native());
}

bool TextFile::sameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(Win32Text::widen(a), Win32Text::widen(b), ec) && !ec;
}

struct AtomicFileWriter::Impl {
    ~Impl() { abandon(); }

    void abandon() {
        file.reset();
        if (!temp.empty())
            ::DeleteFileA(temp.c_str());
        temp.clear();
    }

    template <typename Step> void guarded(Step step) {
        TextFileParts::guardedStep(
            failure, [this] { abandon(); }, step);
    }

    std::string target;
    std::string temp;
    Handle file;
    std::string failure;
    bool committed = false;
};

// The move at commit replaces the name itself, a link included, so both ways are one here.
AtomicFileWriter::AtomicFileWriter(const std::string& path, Link)
    : m_path(path), m_impl(std::make_unique<Impl>()) {
    Impl& d = *m_impl;
    checkName(path);
    refuseFolder(path);
    d.target = path;
    // Beside the target, so the move stays on one volume and replaces it in one step.
    const size_t slash = path.find_last_of("\\/:");
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string base = path.substr(folder.size()).substr(0, 200);
    for (int attempt = 0; !d.file.isOpen(); ++attempt) {
        const std::string temp = folder + "~" + base + "." +
                                 std::to_string(::GetCurrentProcessId()) + "-" +
                                 std::to_string(attempt) + ".tmp";
        HANDLE h = ::CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            d.file.reset(h);
            d.temp = temp;
        } else if (::GetLastError() != ERROR_FILE_EXISTS || attempt >= 100) {
            failWithSystemError();
        }
    }
}

AtomicFileWriter::~AtomicFileWriter() = default;

void AtomicFileWriter::write(std::string_view bytes) {
    Impl& d = *m_impl;
    d.guarded([&] {
        if (d.committed)
            throw FileError("The file is already written");
        writeAll(d.file.get(), bytes);
    });
}

void AtomicFileWriter::commit() {
    Impl& d = *m_impl;
    d.guarded([&] {
        if (d.committed)
            return;
        syncData(d.file.get());
        d.file.close();
        if (const int error = injectedError(TextFile::Step::Rename))
            failWith(error);
        if (!::MoveFileExA(d.temp.c_str(), d.target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failWithSystemError();
        d.temp.clear();
        d.committed = true;
    });
}

struct LineFile::Impl : TextFileParts::LineSink {
    std::int64_t end() override {
        LARGE_INTEGER at{};
        if (!::SetFilePointerEx(file.get(), LARGE_INTEGER{}, &at, FILE_END))
            failWithSystemError();
        return at.QuadPart;
    }
    void append(std::string_view bytes) override {
        writeAll(file.get(), bytes);
        syncData(file.get());
    }
    void truncateTo(std::int64_t size) override {
        LARGE_INTEGER at{};
        at.QuadPart = size;
        if (!::SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN) || !::SetEndOfFile(file.get()))
            failWithSystemError();
    }

    Handle file;
};

LineFile::LineFile(const std::string& path) : m_path(path), m_impl(std::make_unique<Impl>()) {
    m_impl->file.reset(openPlain(path, GENERIC_WRITE, CREATE_ALWAYS));
}

LineFile::~LineFile() = default;

void LineFile::writeLine(std::string_view bytes) {
    if (!isOpen())
        throw FileError("File not open");
    TextFileParts::writeLine(*m_impl, bytes);
}

void LineFile::close() {
    if (m_impl->file.isOpen())
        m_impl->file.close();
}

bool LineFile::isOpen() const {
    return m_impl->file.isOpen();
}

bool LineFile::stillAtPath() const {
    // An open file here can be deleted or moved but not replaced while it stays open.
    return m_impl->file.isOpen() && TextFile::exists(m_path);
}

void LineFile::reopen() {
    m_impl->file.reset();
    m_impl->file.reset(openPlain(m_path, GENERIC_WRITE, OPEN_ALWAYS));
    m_impl->cutTo = -1;
}
