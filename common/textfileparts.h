#pragma once

// What the platform parts of the file layer share; not for use outside common/.
#include "textfile.h"

#include <cstddef>
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

// Where a LineReader takes its blocks from; the platform opens files.
class BlockSource {
  public:
    virtual ~BlockSource() = default;
    // Appends one block; false at the end.
    virtual bool readBlock(std::string& buffer) = 0;
};

// A plain file opened for reading (a folder, device, FIFO or socket is refused).
std::unique_ptr<BlockSource> openForReading(const std::string& path);

} // namespace TextFileParts
