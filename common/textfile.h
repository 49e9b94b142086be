#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

// A file operation that failed; what() is the description shown to the operator.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Whole files as bytes. Paths are 8-bit strings in the system's file-name encoding.
namespace TextFile {

std::string readAll(const std::string& path); // throws FileError
bool exists(const std::string& path);
// Replaces the file only once everything is written, so a failure leaves the earlier file
// of that name whole.
void writeAtomically(const std::string& path, const std::string& bytes); // throws FileError

} // namespace TextFile

// A file written piece by piece that replaces its target only on commit(): until then,
// and after any failure, the earlier file of that name stays whole. Destroying it without
// commit() discards what was written. Every step throws FileError on failure.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(const std::string& path);
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

  private:
    struct Impl;
    std::string m_path;
    std::unique_ptr<Impl> m_impl;
};
