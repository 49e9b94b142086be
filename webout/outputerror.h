#pragma once

#include "common/text.h"

#include <stdexcept>
#include <string>

// A writer of the web presentation that could not go on: the file it was reading or
// writing (empty when none was open yet) and the reason, as the operator is told.
class OutputError : public std::runtime_error {
  public:
    OutputError(std::string path, const std::string& reason)
        : std::runtime_error(reason), m_path(std::move(path)) {}
    const std::string& path() const { return m_path; }
    // The text of the "Open File" box: 'PATH' REASON.
    std::string message() const {
        return "'" + Text::forMessage(m_path, Text::MessagePathChars) + "' " +
               Text::sentence(what());
    }

  private:
    std::string m_path;
};
