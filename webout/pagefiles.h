#pragma once

#include "common/writebatch.h"

#include <memory>
#include <string>
#include <string_view>

// A page or list being written into a write batch: lines gather in a buffer and reach the
// batch in large pieces; every failure becomes an OutputError naming the file. commit()
// makes the file whole, and the batch's commit puts it in place; a file destroyed before
// its commit() is left out of the batch.
class OutputFile {
  public:
    OutputFile(WriteBatch& batch, const std::string& path,
               WriteBatch::Same same = WriteBatch::Same::Keep);
    // A file in a batch of its own, put in place by commit().
    explicit OutputFile(const std::string& path);
    ~OutputFile();
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void writeLine(std::string_view line); // adds CR LF
    void write(std::string_view bytes);
    void commit();

  private:
    void flush();
    template <class F> void guarded(F&& step);

    std::string m_path;
    std::string m_buffer;
    std::unique_ptr<WriteBatch> m_own;
    WriteBatch::File* m_file = nullptr;
    bool m_committed = false;
};

// Copies a file into the batch, replacing the destination, in blocks of bounded size.
void copyOutputFile(WriteBatch& batch, const std::string& source, const std::string& destination);

// Puts the batch's files in place; a failure throws OutputError naming the file at fault.
void commitOutputs(WriteBatch& batch);
