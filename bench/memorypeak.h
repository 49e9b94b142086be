#pragma once

#include <fstream>
#include <string>

// How far a benchmark's memory rises, from /proc/self (Linux).
namespace MemoryPeak {

// A figure of /proc/self/status in KiB: VmHWM, the resident-set high-water mark, or
// VmRSS, the resident set now.
inline long long statusKiB(const std::string& wanted) {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        long long value = 0;
        if (key == wanted && status >> value)
            return value;
        status.ignore(1 << 16, '\n');
    }
    return 0;
}

// The high-water mark starts again from the resident set now.
inline void reset() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace MemoryPeak
