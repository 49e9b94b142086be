#pragma once

#include <stdexcept>
#include <string>

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
