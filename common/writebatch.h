#pragma once

#include "common/textfile.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace TextFileParts {
class TempFile;
}

// Files written as one: each goes to a temporary file beside its target, commit() makes
// all of them durable at once, renames them into place and syncs each folder they went
// into once. A crash at any moment leaves every target whole, old or new; a failure in
// commit() before the renames removes every temporary file and leaves every old file.
//
// Only what changed is written: a file's new bytes are compared with its target's while
// they stream in, and a file found equal gets no temporary file and is left alone, its
// time unchanged. Memory stays flat whatever the size.
class WriteBatch {
  public:
    // How the files reach the disk together on POSIX: one syncfs() of their file system
    // (the choice, see the README's Benchmarks), or one fsync() of each file after all of
    // them are written. Windows flushes each file (FlushFileBuffers) either way.
    enum class Durability { SyncFileSystem, SyncEachFile };
    // What a target that already holds the new bytes gets.
    enum class Same { Keep, Replace };

    class File;

    explicit WriteBatch(Durability durability = Durability::SyncFileSystem);
    // Whatever was not committed is discarded, its temporary files removed.
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // A file of the batch, written through the handle, which lives as long as the batch.
    // With Link::Replace a link at the name is replaced, never written (or compared)
    // through. Throws FileError when the name is no place for a plain file.
    File& add(const std::string& path, Same same = Same::Keep,
              TextFile::Link link = TextFile::Link::Replace);
    // Puts every finished file in place; files never finished are left out. Throws
    // BatchError naming the file (or folder) at fault. Does nothing a second time.
    void commit();

    // The files the last commit replaced, and those it left alone as equal.
    int replaced() const { return m_replaced; }
    int kept() const { return m_kept; }

  private:
    void discardAll();

    Durability m_durability;
    std::vector<std::unique_ptr<File>> m_files;
    bool m_committed = false;
    int m_replaced = 0;
    int m_kept = 0;
};

class WriteBatch::File {
  public:
    File(const std::string& path, Same same, TextFile::Link link);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    const std::string& path() const { return m_path; }
    // Each throws FileError; after a failure the file is out of the batch, and every later
    // step reports that failure again.
    void write(std::string_view bytes);
    // The file is whole: commit() puts it in place.
    void finish();
    // Leaves the file out of the batch, its temporary file removed.
    void discard();

  private:
    friend class WriteBatch;
    enum class State { Comparing, Writing, Finished, Equal, Placed, Discarded };

    template <class Step> void guarded(Step step);
    // The first differing byte: the temporary file takes the equal bytes read so far.
    void diverge();
    void flushPending();

    std::string m_path;
    std::string m_target; // where the file lands, a link followed when asked
    State m_state = State::Writing;
    std::unique_ptr<TextFileParts::PlacedSource> m_old;
    std::int64_t m_oldSize = 0;
    std::int64_t m_matched = 0;
    std::unique_ptr<char[]> m_oldBlock; // made once, without clearing it
    std::unique_ptr<TextFileParts::TempFile> m_temp;
    unsigned m_oldMode = 0;
    bool m_keepMode = false;
    std::string m_pending;
    std::string m_failure;
};
