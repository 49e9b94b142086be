#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

// A file operation that failed; what() is the description shown to the operator.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A failed step of a write of several files: the file (or folder) at fault and the reason.
class BatchError : public FileError {
  public:
    BatchError(std::string path, const std::string& reason)
        : FileError(reason), m_path(std::move(path)) {}
    const std::string& path() const { return m_path; }

  private:
    std::string m_path;
};

// A line longer than the reader's cap: the file is not one of ours.
class LineTooLong : public FileError {
  public:
    LineTooLong(int line, size_t cap);
    int line() const { return m_line; }

  private:
    int m_line;
};

namespace TextFileParts {
class StreamSink;
class PlacedSource;
} // namespace TextFileParts

// Files as bytes. A path is the operator's bytes and reaches the system unchanged, so a
// name in any 8-bit code page opens and creates exactly that name. Only plain files (or
// links to them) are read or written: a folder, device, FIFO or socket is refused.
namespace TextFile {

// Whole small files only: more than maxBytes throws FileError.
std::string readAll(const std::string& path, size_t maxBytes = 16 * 1024 * 1024);
bool exists(const std::string& path);
// The path made absolute against the current folder, with "." and ".." resolved; the path
// as given when that fails. The folder names keep their bytes.
std::string absolutePath(const std::string& path);
// Whether two paths name the same existing file or folder.
bool sameFile(const std::string& a, const std::string& b);
// Replaces the file only once everything is written and on the disk, so a failure leaves
// the earlier file of that name whole.
void writeAtomically(const std::string& path, std::string_view bytes); // throws FileError

// What a symbolic link at a name written stands for. Follow writes the file it names;
// Replace puts the new file in the link's place, so a link planted at a name the program
// writes can never make it write anywhere else.
enum class Link { Follow, Replace };

// The steps of a write, so a test can make one fail as a full disk would.
enum class Step { Write, Sync, Close, Rename, SyncFolder };
// While it lives, the given step of every write on this thread fails with errno `error`,
// each time after the first `skip` of them.
class InjectedFault {
  public:
    InjectedFault(Step step, int error, int skip = 0);
    ~InjectedFault();
    InjectedFault(const InjectedFault&) = delete;
    InjectedFault& operator=(const InjectedFault&) = delete;

    Step step;
    int error;
    int skip;
    mutable int seen = 0;

  private:
    const InjectedFault* m_outer;
};

// The moments of a write batch at which a test can end the process at once, as a crash
// would: a file's temporary file whole, all of them on the disk, a file renamed into
// place, the folders not yet synced.
enum class CrashPoint { TempWritten, Synced, Renamed, BeforeFolderSync };
// While it lives, the process on this thread's batches ends when the point comes for the
// (index + 1)-th time.
class InjectedCrash {
  public:
    InjectedCrash(CrashPoint point, int index);
    ~InjectedCrash();
    InjectedCrash(const InjectedCrash&) = delete;
    InjectedCrash& operator=(const InjectedCrash&) = delete;

    CrashPoint point;
    int index;
    mutable int seen = 0;

  private:
    const InjectedCrash* m_outer;
};

} // namespace TextFile

// A file written piece by piece that replaces its target only on commit(): until then,
// and after any failure, the earlier file of that name stays whole. Destroying it without
// commit() discards what was written. Every step throws FileError on failure. A write
// batch of one file (writebatch.h), which always replaces its target.
class AtomicFileWriter {
  public:
    using Link = TextFile::Link;
    explicit AtomicFileWriter(const std::string& path, Link link = Link::Follow);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    const std::string& path() const { return m_path; }
    void write(std::string_view bytes);
    void commit();

  private:
    struct Impl;
    std::string m_path;
    std::unique_ptr<Impl> m_impl;
};

// A file that stays open and takes one line at a time, each on the disk before
// writeLine returns, so a crash keeps every line written before it. Opening truncates.
// A line that cannot be written whole (a full disk, a file-size limit) leaves nothing
// behind: the file is cut back to where the line began, so the next line starts clean.
class LineFile {
  public:
    explicit LineFile(const std::string& path); // throws FileError
    ~LineFile();
    LineFile(const LineFile&) = delete;
    LineFile& operator=(const LineFile&) = delete;

    const std::string& path() const { return m_path; }
    void writeLine(std::string_view bytesWithLineEnd); // throws FileError
    void close();                                      // throws FileError
    bool isOpen() const;
    // False once the open file is no longer the one the path names: it was deleted,
    // moved or replaced.
    bool stillAtPath() const;
    // Opens the path again, appending to whatever file now stands there (a new one if
    // none does); the file open before is let go.
    void reopen(); // throws FileError

  private:
    struct Impl;
    std::string m_path;
    std::unique_ptr<Impl> m_impl;
};

// A file written as a stream that stays open: bytes go on at its end, a few bytes already
// written can be written again in place (a header), and sync() puts all of it on the disk.
// Opening creates the file or truncates it; a link at the name is replaced, not written
// through. An append that cannot be written whole leaves nothing behind: the file is cut
// back to where it began. Others may read it meanwhile.
class StreamFile {
  public:
    explicit StreamFile(const std::string& path); // throws FileError
    ~StreamFile();
    StreamFile(const StreamFile&) = delete;
    StreamFile& operator=(const StreamFile&) = delete;

    const std::string& path() const { return m_path; }
    // The bytes written so far.
    std::int64_t size() const { return m_size; }
    // Each step throws FileError.
    void append(std::string_view bytes);
    void writeAt(std::int64_t offset, std::string_view bytes);
    void sync();
    void close();
    bool isOpen() const;

  private:
    std::string m_path;
    std::int64_t m_size = 0;
    std::unique_ptr<TextFileParts::StreamSink> m_sink;
};

// A plain file read in pieces from any place, while another program may still write it.
class FileReader {
  public:
    explicit FileReader(const std::string& path); // throws FileError
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // The size now: a file still being written grows.
    std::int64_t size() const; // throws FileError
    // Up to n bytes from offset; fewer only at the end of the file. Throws FileError.
    size_t readAt(std::int64_t offset, char* into, size_t n);

  private:
    std::unique_ptr<TextFileParts::PlacedSource> m_source;
};

// Reads a file line by line, holding one block and one line at a time, so a file of any
// size costs what its used lines cost. A line ends at CR LF, LF or CR; a line longer
// than the cap throws LineTooLong as soon as the cap is passed.
class LineReader {
  public:
    static constexpr size_t DefaultMaxLineBytes = 64 * 1024;

    explicit LineReader(const std::string& path,
                        size_t maxLineBytes = DefaultMaxLineBytes); // throws FileError
    // The same over bytes already in memory.
    static LineReader fromBytes(std::string bytes, size_t maxLineBytes = DefaultMaxLineBytes);
    ~LineReader();
    LineReader(LineReader&&) noexcept;
    LineReader& operator=(LineReader&&) noexcept;

    // Reads ahead only as far as needed to know whether another line follows.
    bool atEnd();
    // The next line without its line end; throws FileError past the end or on a read
    // error.
    std::string next();
    // A line of any length in pieces of at most maxBytes: the next piece of the current
    // line, and lineEnded set once the line is whole. Throws FileError past the end.
    std::string nextPiece(size_t maxBytes, bool& lineEnded);
    // The same into a string of the caller's, whose room is used again line after line.
    void nextPiece(size_t maxBytes, bool& lineEnded, std::string& piece);
    // The whole lines the reader holds from the next line on, their line ends included, for
    // a caller that takes many lines at once; empty at the end of the file, or when no
    // whole line is held even after one more block (nextPiece then takes the line).
    std::string_view wholeLines();
    // Moves past the first bytes of wholeLines(), which end at a line end and hold this
    // many lines.
    void skipLines(size_t bytes, int lines);
    // The 1-based number of the line next() returns next.
    int lineNumber() const { return m_line; }
    // False when the line next() returned last ran to the end of the file without a line
    // end: the system writes one after every line, so such a line was cut short.
    bool lastLineEnded() const { return m_lastLineEnded; }

  private:
    LineReader(size_t maxLineBytes);
    bool fill();

    struct Impl;
    std::unique_ptr<Impl> m_impl;
    // Its first m_end bytes are read, the rest is room for the next block; made without
    // clearing it, since every byte is read into before it is used.
    std::unique_ptr<char[]> m_buffer;
    size_t m_room = 0;
    size_t m_end = 0;
    size_t m_pos = 0;
    size_t m_cap;
    int m_line = 1;
    bool m_skipLf = false;
    bool m_lastLineEnded = true;
    bool m_inLine = false; // nextPiece has given part of the current line
};
