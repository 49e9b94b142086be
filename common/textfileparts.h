#pragma once

// What the platform parts of the file layer share; not for use outside common/.
#include "textfile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace TextFileParts {

inline constexpr size_t BlockBytes = 64 * 1024;

// The errno a test has asked this step to fail with, or 0.
int injectedError(TextFile::Step step);
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

} // namespace TextFileParts
