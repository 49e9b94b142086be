// The file layer on Windows, on the Win32 "W" calls: names are the operator's 8-bit bytes
// in the ANSI code page, widened once through Win32Text.
#include "filepath.h"
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
    throw FileError(Win32Text::systemMessage(code));
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

// What a name reaches when it is not a file: a device the system finds in any folder and
// with any extension (nul.txt, COM1), or the device and pipe namespaces (\\.\pipe\x).
// Null for a name that can be a file.
const char* deviceKind(const std::string& path) {
    std::string lower;
    for (char c : path)
        lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    std::replace(lower.begin(), lower.end(), '/', '\\');
    if (lower.rfind("\\\\.\\pipe\\", 0) == 0)
        return "a pipe";
    if (lower.rfind("\\\\.\\", 0) == 0 || lower.rfind("\\\\?\\globalroot", 0) == 0)
        return "a device";
    const size_t slash = lower.find_last_of("\\/:");
    std::string base = lower.substr(slash == std::string::npos ? 0 : slash + 1);
    base = base.substr(0, base.find('.'));
    while (!base.empty() && (base.back() == ' ' || base.back() == '\t'))
        base.pop_back();
    static const char* const reserved[] = {"con", "prn", "aux", "nul", "conin$", "conout$"};
    for (const char* name : reserved) {
        if (base == name)
            return "a device";
    }
    // COM1 to COM9 and LPT1 to LPT9, and the superscript digits the system takes too.
    if ((base.rfind("com", 0) == 0 || base.rfind("lpt", 0) == 0) && base.size() >= 4) {
        const std::string digit = base.substr(3);
        if ((digit.size() == 1 && digit[0] >= '1' && digit[0] <= '9') || digit == "\xb9" ||
            digit == "\xb2" || digit == "\xb3")
            return "a device";
    }
    return nullptr;
}

// A folder or a device is refused by its name, before anything is opened.
void refuseNonFile(const std::string& path) {
    if (const char* kind = deviceKind(path))
        throw FileError(std::string("Not a plain file (") + kind + ")");
    const DWORD attributes = ::GetFileAttributesW(Win32Text::widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw FileError("Not a plain file (a folder)");
}

// Opens a plain file; a folder or device is refused before it is touched, and anything
// else that is not a file on a disk (a pipe) once it is open, before a byte moves. A reader
// lets a writer keep the file open, so a log a logger still writes can be read, as on POSIX.
HANDLE openPlain(const std::string& path, DWORD access, DWORD disposition) {
    checkName(path);
    refuseNonFile(path);
    const DWORD share =
        access == GENERIC_READ ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    HANDLE h = ::CreateFileW(Win32Text::widen(path).c_str(), access, share, nullptr, disposition,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        failWithSystemError();
    if (const DWORD type = ::GetFileType(h); type != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        throw FileError(type == FILE_TYPE_PIPE ? "Not a plain file (a pipe)"
                                               : "Not a plain file (a device)");
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

// One read of at most room bytes; 0 at the end.
size_t readFrom(HANDLE h, char* at, size_t room) {
    DWORD n = 0;
    if (!::ReadFile(h, at, static_cast<DWORD>(room), &n, nullptr))
        failWithSystemError();
    return n;
}

class FileBlocks : public TextFileParts::BlockSource {
  public:
    explicit FileBlocks(HANDLE h) : m_file(h) {}
    size_t readInto(char* at, size_t room) override { return readFrom(m_file.get(), at, room); }

  private:
    Handle m_file;
};

} // namespace

std::unique_ptr<TextFileParts::BlockSource> TextFileParts::openForReading(const std::string& path) {
    return std::make_unique<FileBlocks>(openPlain(path, GENERIC_READ, OPEN_EXISTING));
}

std::string TextFile::readAll(const std::string& path, size_t maxBytes) {
    Handle file(openPlain(path, GENERIC_READ, OPEN_EXISTING));
    // Read straight into the result, whose room grows by doubling rather than per read.
    std::string bytes;
    size_t size = 0;
    for (;;) {
        if (bytes.size() - size < BlockBytes)
            bytes.resize(std::max(bytes.size() * 2, size + BlockBytes));
        const size_t n = readFrom(file.get(), bytes.data() + size, BlockBytes);
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
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    if (deviceKind(path))
        return false;
    const DWORD attributes = ::GetFileAttributesW(Win32Text::widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The standard library's paths made from the wide names: its own narrow conversion is
// not the ANSI code page.
std::filesystem::path TextFile::nativePath(const std::string& path) {
    return std::filesystem::path(Win32Text::widen(path));
}

std::string TextFile::pathBytes(const std::filesystem::path& path) {
    return Win32Text::narrow(path.native());
}

std::string TextFile::absolutePath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(Win32Text::widen(path), ec);
    return ec ? path : Win32Text::narrow(full.lexically_normal().native());
}

namespace {

// The volume and index that name one file or folder, whatever path reaches it (the
// standard library's equivalent() cannot open a folder under wine).
bool identityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    if (path.empty() || deviceKind(path))
        return false;
    const HANDLE h = ::CreateFileW(Win32Text::widen(path).c_str(), 0,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const BOOL ok = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    return ok;
}

} // namespace

bool TextFile::sameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return identityOf(a, first) && identityOf(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
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

namespace {

OVERLAPPED at(std::int64_t offset) {
    OVERLAPPED place{};
    place.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
    place.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
    return place;
}

class FileStream : public TextFileParts::StreamSink {
  public:
    explicit FileStream(HANDLE h) : m_file(h) {}

    void writeAt(std::int64_t offset, std::string_view bytes) override {
        if (const int error = injectedError(TextFile::Step::Write))
            failWith(error);
        while (!bytes.empty()) {
            const DWORD piece = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
            OVERLAPPED place = at(offset);
            DWORD written = 0;
            if (!::WriteFile(m_file.get(), bytes.data(), piece, &written, &place))
                failWithSystemError();
            bytes.remove_prefix(written);
            offset += written;
        }
    }
    void truncateTo(std::int64_t size) override {
        LARGE_INTEGER place{};
        place.QuadPart = size;
        if (!::SetFilePointerEx(m_file.get(), place, nullptr, FILE_BEGIN) ||
            !::SetEndOfFile(m_file.get()))
            failWithSystemError();
    }
    void sync() override { syncData(m_file.get()); }
    void close() override { m_file.close(); }
    bool isOpen() const override { return m_file.isOpen(); }

  private:
    Handle m_file;
};

class PlacedFile : public TextFileParts::PlacedSource {
  public:
    explicit PlacedFile(HANDLE h) : m_file(h) {}

    std::int64_t size() const override {
        LARGE_INTEGER size{};
        if (!::GetFileSizeEx(m_file.get(), &size))
            failWithSystemError();
        return size.QuadPart;
    }
    size_t readAt(std::int64_t offset, char* into, size_t n) override {
        size_t done = 0;
        while (done < n) {
            const DWORD piece = static_cast<DWORD>(std::min<size_t>(n - done, 1u << 30));
            OVERLAPPED place = at(offset + static_cast<std::int64_t>(done));
            DWORD got = 0;
            if (!::ReadFile(m_file.get(), into + done, piece, &got, &place)) {
                if (::GetLastError() == ERROR_HANDLE_EOF)
                    break;
                failWithSystemError();
            }
            if (got == 0)
                break;
            done += got;
        }
        return done;
    }

  private:
    Handle m_file;
};

} // namespace

std::unique_ptr<TextFileParts::StreamSink> TextFileParts::openStream(const std::string& path) {
    return std::make_unique<FileStream>(openPlain(path, GENERIC_WRITE, CREATE_ALWAYS));
}

std::unique_ptr<TextFileParts::PlacedSource> TextFileParts::openPlaced(const std::string& path) {
    return std::make_unique<PlacedFile>(openPlain(path, GENERIC_READ, OPEN_EXISTING));
}

// ---- The write batch. ----

std::string TextFileParts::folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/:");
    if (slash == std::string::npos)
        return ".";
    // A drive ("C:") and a root ("\\", "C:\\") keep their last byte.
    const bool whole = slash == 0 || path[slash] == ':' || path[slash - 1] == ':';
    return path.substr(0, whole ? slash + 1 : slash);
}

void TextFileParts::crashNow() {
    ::TerminateProcess(::GetCurrentProcess(), 137);
    ::ExitProcess(137);
}

// The move replaces the name itself, a link included, so both ways are one here.
TextFileParts::WriteTarget TextFileParts::resolveWriteTarget(const std::string& path,
                                                             TextFile::Link) {
    checkName(path);
    refuseNonFile(path);
    const DWORD attributes = ::GetFileAttributesW(Win32Text::widen(path).c_str());
    return {path, attributes != INVALID_FILE_ATTRIBUTES, 0};
}

std::unique_ptr<TextFileParts::PlacedSource> TextFileParts::openToCompare(const std::string& path,
                                                                          std::int64_t& size) {
    const DWORD attributes = ::GetFileAttributesW(Win32Text::widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)))
        return nullptr;
    // Others may still delete or replace it, as the move at commit does.
    HANDLE h = ::CreateFileW(Win32Text::widen(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return nullptr;
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        ::CloseHandle(h);
        return nullptr;
    }
    LARGE_INTEGER bytes{};
    if (!::GetFileSizeEx(h, &bytes)) {
        ::CloseHandle(h);
        return nullptr;
    }
    size = bytes.QuadPart;
    return std::make_unique<PlacedFile>(h);
}

namespace {

class WindowsTempFile : public TextFileParts::TempFile {
  public:
    explicit WindowsTempFile(const std::string& target) : TempFile(target) {
        // Beside the target, so the move stays on one volume and replaces it in one step.
        for (int attempt = 0; !m_file.isOpen(); ++attempt) {
            const std::string temp = TextFileParts::tempNameBeside(
                target, target.find_last_of("\\/:"), '~', ::GetCurrentProcessId(), attempt);
            HANDLE h = ::CreateFileW(Win32Text::widen(temp).c_str(), GENERIC_WRITE, 0, nullptr,
                                     CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (h != INVALID_HANDLE_VALUE) {
                m_file.reset(h);
                m_temp = temp;
            } else if (::GetLastError() != ERROR_FILE_EXISTS || attempt >= 100) {
                failWithSystemError();
            }
        }
    }
    ~WindowsTempFile() override {
        m_file.reset();
        if (!m_temp.empty())
            ::DeleteFileW(Win32Text::widen(m_temp).c_str());
    }

    HANDLE handle() const { return m_file.get(); }
    void write(std::string_view bytes) override { writeAll(m_file.get(), bytes); }
    void close() override { m_file.close(); }
    void moveInto() override {
        if (!::MoveFileExW(Win32Text::widen(m_temp).c_str(), Win32Text::widen(target()).c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            failWithSystemError();
        m_temp.clear();
    }

  private:
    Handle m_file;
    std::string m_temp;
};

} // namespace

std::unique_ptr<TextFileParts::TempFile> TextFileParts::createTempBeside(const std::string& target,
                                                                         const unsigned*) {
    return std::make_unique<WindowsTempFile>(target);
}

// Windows has no flush of a whole volume for a program without administrator rights:
// each file is flushed, after all of them are written, and each move is written through.
void TextFileParts::makeDurable(std::span<TempFile* const> files, WriteBatch::Durability) {
    for (TempFile* file : files) {
        try {
            syncData(static_cast<WindowsTempFile*>(file)->handle());
        } catch (const FileError& e) {
            throw BatchError(file->target(), e.what());
        }
    }
}

// A move written through is on the disk, its folder entry included.
void TextFileParts::syncFolder(const std::string&) {
    if (const int error = injectedError(TextFile::Step::SyncFolder))
        failWith(error);
}
