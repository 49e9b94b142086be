#pragma once

// What the platform parts of the file layer share; not for use outside common/.
#include "textfile.h"
#include "writebatch.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace TextFileParts {

inline constexpr size_t BlockBytes = 64 * 1024;

// Room for bytes, not cleared, of one block or two. Rooms of these sizes given back are
// kept for the next file on this thread: a presentation reads and compares hundreds of
// files in a row, and fresh memory costs a page fault a page.
std::unique_ptr<char[]> takeRoom(size_t size);
void giveBackRoom(std::unique_ptr<char[]> room, size_t size);

// The errno a test has asked this step to fail with, or 0.
int injectedError(TextFile::Step step);
// Ends the process at once when a test asked for a crash at this point.
void crashPoint(TextFile::CrashPoint point);
// Ends the process at once, with no clean-up, as a crash would.
[[noreturn]] void crashNow();
[[noreturn]] void failWith(int error);
// Throws for an empty name or one with a NUL, which would silently cut the name.
void checkName(const std::string& path);

// One step of an atomic write: any failure discards the temporary file and is kept, so
// later steps report it too.
template <class Abandon, class Step>
void guardedStep(std::string& failure, Abandon abandon, Step step) {
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

// What a platform gives a LineFile: where the next line begins, how to append it and sync
// it, and how to cut the file back.
class LineSink {
  public:
    virtual ~LineSink() = default;
    virtual std::int64_t end() = 0;
    virtual void append(std::string_view bytes) = 0;
    virtual void truncateTo(std::int64_t size) = 0;
    // Where a failed line began, while the fragment it left is not yet cut off.
    std::int64_t cutTo = -1;
};

// Writes one whole line or, when it fails, nothing: a fragment is cut back at once, or
// before the next line.
void writeLine(LineSink& sink, std::string_view bytes);

// Where a LineReader takes its blocks from; the platform opens files.
class BlockSource {
  public:
    virtual ~BlockSource() = default;
    // Reads at most room bytes into at; 0 at the end.
    virtual size_t readInto(char* at, size_t room) = 0;
};

// A plain file opened for reading (a folder, device, FIFO or socket is refused).
std::unique_ptr<BlockSource> openForReading(const std::string& path);

// What a platform gives a StreamFile: writes at a place, cutting back, syncing.
class StreamSink {
  public:
    virtual ~StreamSink() = default;
    virtual void writeAt(std::int64_t offset, std::string_view bytes) = 0;
    virtual void truncateTo(std::int64_t size) = 0;
    virtual void sync() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
};
// A plain file created or truncated for a StreamFile.
std::unique_ptr<StreamSink> openStream(const std::string& path);

// What a platform gives a FileReader.
class PlacedSource {
  public:
    virtual ~PlacedSource() = default;
    virtual std::int64_t size() const = 0;
    virtual size_t readAt(std::int64_t offset, char* into, size_t n) = 0;
};
std::unique_ptr<PlacedSource> openPlaced(const std::string& path);

// ---- The platform's part of a write batch. ----

// Where a write to a path lands: the path itself, or with Link::Follow the file a link
// there names. plain: a plain file stands there (mode: its permissions, where they are
// kept). Anything but a plain file, a link or nothing is refused with FileError.
struct WriteTarget {
    std::string path;
    bool plain = false;
    unsigned mode = 0;
};
WriteTarget resolveWriteTarget(const std::string& path, TextFile::Link link);

// The plain file at path opened to compare new bytes with, a link not followed; null when
// there is none to compare with (nothing, a link, or a file that cannot be read). size: its
// size as it was opened.
std::unique_ptr<PlacedSource> openToCompare(const std::string& path, std::int64_t& size);

// A temporary file beside its target, in the same folder so the rename stays on one file
// system. Destroying it before moveInto() closes and removes it.
class TempFile {
  public:
    virtual ~TempFile() = default;
    const std::string& target() const { return m_target; }
    virtual void write(std::string_view bytes) = 0;
    virtual void close() = 0;
    // Replaces the target, as one step.
    virtual void moveInto() = 0;

  protected:
    explicit TempFile(std::string target) : m_target(std::move(target)) {}

  private:
    std::string m_target;
};
// The name of attempt `attempt` at a temporary file beside target, whose folder part ends
// at folderEnd (npos: none): lead, at most 200 bytes of the name, the process and the
// attempt, so two programs or two attempts never meet.
std::string tempNameBeside(const std::string& target, size_t folderEnd, char lead,
                           unsigned long process, int attempt);
// keepMode: the permissions a replaced file had, for the new one; null for the default.
std::unique_ptr<TempFile> createTempBeside(const std::string& target, const unsigned* keepMode);
// The durability point: every written file, still open, on the disk. Throws BatchError.
void makeDurable(std::span<TempFile* const> files, WriteBatch::Durability durability);
// The folder's entries, the renames into it, on the disk. Throws FileError.
void syncFolder(const std::string& folder);
// The folder a path lies in, as syncFolder takes it.
std::string folderOf(const std::string& path);

} // namespace TextFileParts
