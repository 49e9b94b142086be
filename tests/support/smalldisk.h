#pragma once

#include <QTemporaryDir>

#include <string>

// A real, tiny file system (a 64 KiB tmpfs) that a test can fill to the last byte. Only
// root can mount one: available() is false elsewhere, and the test skips.
class SmallDisk {
  public:
    SmallDisk();
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return m_mounted; }
    // A path on the small disk.
    std::string path(const std::string& name) const;
    // Takes every free byte, so the next write that needs space fails with ENOSPC.
    void fill();

  private:
    QTemporaryDir m_dir;
    std::string m_root;
    bool m_mounted = false;
};

// Byte-exact file helpers for tests: the path is used as given, whatever its bytes.
std::string fileBytes(const std::string& path);
void putFile(const std::string& path, const std::string& bytes);
