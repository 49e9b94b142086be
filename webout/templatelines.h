#pragma once

#include <memory>
#include <string>

// Reads a template one line at a time through a fixed buffer, so memory stays the size of
// the longest line however large the file is. A line ends at CR LF, LF or CR; the line end
// is not part of the line, and a last line without one still counts.
class TemplateLines {
  public:
    explicit TemplateLines(const std::string& path); // throws FileError
    ~TemplateLines();
    TemplateLines(const TemplateLines&) = delete;
    TemplateLines& operator=(const TemplateLines&) = delete;

    const std::string& path() const { return m_path; }
    // The next line into `line`; false at the end of the file. Throws FileError.
    bool next(std::string& line);

  private:
    bool fill();

    struct Impl;
    std::string m_path;
    std::unique_ptr<Impl> m_impl;
};
