#pragma once

#include <string>

// A new folder of this user's alone in the system's temporary folder, removed with all it
// holds when it goes: the office's profile, the pictures before they are moved into place.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& prefix); // throws FileError
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return m_path; }
    std::string filePath(const std::string& name) const { return m_path + "/" + name; }

  private:
    std::string m_path;
};
