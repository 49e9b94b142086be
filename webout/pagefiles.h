#pragma once

#include "common/textfile.h"

#include <string>
#include <string_view>

// A page or list being written: lines gather in a buffer and reach the atomic writer in
// large pieces; every failure becomes an OutputError naming the file.
class OutputFile {
  public:
    explicit OutputFile(const std::string& path);
    void writeLine(std::string_view line); // adds CR LF
    void write(std::string_view bytes);
    void commit();

  private:
    void flush();
    template <class F> void guarded(F&& step);

    std::string m_path;
    std::string m_buffer;
    std::unique_ptr<AtomicFileWriter> m_writer;
};

// Copies a file, replacing the destination.
void copyOutputFile(const std::string& source, const std::string& destination);
