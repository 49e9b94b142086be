#include "smalldisk.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <stdexcept>

std::string SmallDisk::path(const std::string& name) const {
    return m_root + "/" + name;
}

#ifdef _WIN32
// Windows has no file system a test can mount: the tests take their fallbacks.
SmallDisk::SmallDisk(const char*) : m_root(m_dir.path()) {}
SmallDisk::~SmallDisk() = default;
void SmallDisk::fill() {
    throw std::runtime_error("no small disk on Windows");
}
void SmallDisk::makeReadOnly() {
    throw std::runtime_error("no small disk on Windows");
}
#else
SmallDisk::SmallDisk(const char* size) : m_root(m_dir.path()) {
    const std::string options = std::string("size=") + size;
    m_mounted = ::geteuid() == 0 && m_dir.isValid() &&
                ::mount("tmpfs", m_root.c_str(), "tmpfs", 0, options.c_str()) == 0;
}

SmallDisk::~SmallDisk() {
    if (m_mounted)
        ::umount2(m_root.c_str(), MNT_DETACH);
}

void SmallDisk::fill() {
    const int fd = ::open(path("filler").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0)
        throw std::runtime_error("cannot create the filler");
    // Whole pages first, then single bytes, until the disk refuses.
    const std::string page(4096, 'x');
    while (::write(fd, page.data(), page.size()) > 0) {
    }
    while (::write(fd, "x", 1) > 0) {
    }
    const int error = errno;
    ::close(fd);
    if (error != ENOSPC)
        throw std::runtime_error("the small disk did not fill up");
}

void SmallDisk::makeReadOnly() {
    if (!m_mounted ||
        ::mount("tmpfs", m_root.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0)
        throw std::runtime_error("the small disk cannot be made read-only");
}
#endif

std::string FullDisk::path(const std::string& name) const {
    return disk.available() ? disk.path(name) : fallback.filePath(name);
}

void FullDisk::fill() {
    if (disk.available())
        disk.fill();
    else
        fault.emplace(TextFile::Step::Sync, ENOSPC);
}

ReadOnlyFolder::ReadOnlyFolder() = default;

ReadOnlyFolder::~ReadOnlyFolder() {
#ifndef _WIN32
    // The folder's own clean-up needs to write into it again.
    if (!m_disk.available())
        ::chmod(m_fallback.path().c_str(), 0755);
#endif
}

std::string ReadOnlyFolder::path(const std::string& name) const {
    return m_disk.available() ? m_disk.path(name) : m_fallback.filePath(name);
}

void ReadOnlyFolder::lock() {
    if (m_disk.available())
        m_disk.makeReadOnly();
#ifdef _WIN32
    else
        throw std::runtime_error("a folder's attributes do not keep files out on Windows");
#else
    else if (::chmod(m_fallback.path().c_str(), 0555) != 0)
        throw std::runtime_error("the folder cannot be made read-only");
#endif
}
