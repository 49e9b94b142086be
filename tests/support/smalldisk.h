#pragma once

#include "common/textfile.h"
#include "testfiles.h"

#include <optional>
#include <string>

// A real, tiny file system (a 64 KiB tmpfs unless told) that a test can fill to the last
// byte. Only root on Linux can mount one: available() is false elsewhere, and the test
// skips.
class SmallDisk {
  public:
    explicit SmallDisk(const char* size = "64k");
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool available() const { return m_mounted; }
    // A path on the small disk.
    std::string path(const std::string& name) const;
    // Takes every free byte, so the next write that needs space fails with ENOSPC.
    void fill();
    // From now on nothing on the disk can be created, changed or removed.
    void makeReadOnly();

  private:
    TempFolder m_dir;
    std::string m_root;
    bool m_mounted = false;
};

// A disk with no room left: a real 64 KiB one where this machine lets us mount it, else
// every write failing at its sync as a full disk makes it fail.
struct FullDisk {
    // Room for a whole presentation beside its log before it fills.
    SmallDisk disk{"512k"};
    TempFolder fallback;
    std::optional<TextFile::InjectedFault> fault;

    std::string path(const std::string& name) const;
    void fill();
};

// A folder nothing can be written into: a read-only small disk for root, whom file
// permissions do not stop, else a folder without write permission.
class ReadOnlyFolder {
  public:
    ReadOnlyFolder();
    ~ReadOnlyFolder();
    std::string path(const std::string& name) const;
    // What was put there before stays; nothing more is written.
    void lock();

  private:
    SmallDisk m_disk{"512k"};
    TempFolder m_fallback;
};
