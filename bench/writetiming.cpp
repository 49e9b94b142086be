// "Write HTM, RAM, RAE" for 99 rows against a copy of the same bytes, timed by a main of
// its own, so Windows (where there is no Google Benchmark) and Linux give the same
// figures. Run: make bench.
#include "bench/benchplatform.h"
#include "bench/writeworkload.h"
#include "tools/toolplatform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace {

struct Times {
    std::vector<double> wall;
    std::vector<double> cpu;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void timeOnce(const std::function<void()>& run, Times& times) {
    const double cpuBefore = BenchPlatform::processCpuSeconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    run();
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallBefore;
    times.wall.push_back(wall.count());
    times.cpu.push_back(BenchPlatform::processCpuSeconds() - cpuBefore);
}

void report(const char* name, const Times& times) {
    std::printf("%-28s %6.0f ms wall %6.0f ms CPU\n", name, median(times.wall) * 1000,
                median(times.cpu) * 1000);
}

// The scratch folders go on every way out.
struct ScratchFolders {
    std::vector<std::string> paths;
    const std::string& add() { return paths.emplace_back(BenchPlatform::makeScratchFolder()); }
    ~ScratchFolders() {
        for (const std::string& path : paths)
            BenchPlatform::removeFolder(path);
    }
};

} // namespace

int main(int argc, char** argv) {
    int runs = 7;
    if (argc == 3 && std::string(argv[1]) == "--runs")
        runs = std::max(1, std::atoi(argv[2]));
    else if (argc != 1) {
        std::fprintf(stderr, "usage: cuewritetiming [--runs N]\n");
        return 2;
    }
    try {
        ScratchFolders scratch;
        const std::string program = scratch.add();
        const std::string output = scratch.add();
        const std::string reference = scratch.add();
        WriteWorkload workload(ToolPlatform::programFolder(), program, output, reference);
        Times write;
        Times copy;
        // Taken in turns, each first every other run, so a change in the machine's load
        // and the disk's work left by the one before fall on both alike.
        const auto writeRun = [&] { timeOnce([&] { workload.writeAll(); }, write); };
        const auto copyRun = [&] { timeOnce([&] { workload.copySameFiles(); }, copy); };
        writeRun();
        if (!workload.outputMatchesReference()) {
            std::fprintf(stderr, "cuewritetiming: the writers wrote other bytes\n");
            return 1;
        }
        copyRun();
        for (int run = 1; run < runs; ++run) {
            if (run % 2) {
                copyRun();
                writeRun();
            } else {
                writeRun();
                copyRun();
            }
        }
        std::printf("\"Write HTM, RAM, RAE\" for %d rows against a copy of the same bytes, "
                    "medians of %d runs:\n",
                    WriteWorkload::Rows, runs);
        report("BM_WriteAllFor99Rows", write);
        report("BM_CopySameFilesFor99Rows", copy);
        std::printf("writers against the copy: %.2f wall, %.2f CPU\n",
                    median(write.wall) / median(copy.wall), median(write.cpu) / median(copy.cpu));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cuewritetiming: %s\n", e.what());
        return 1;
    }
}
