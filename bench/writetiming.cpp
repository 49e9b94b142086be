// "Write HTM, RAM, RAE" for 99 rows against copies of the same bytes and against reading
// its templates, side by side, timed by a main of its own, so Windows (where there is no
// Google Benchmark) and Linux give the same figures. Run: make bench.
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

// One figure: what is timed, and the step that readies the output folder for it (not
// timed).
struct Figure {
    const char* name;
    const char* what;
    std::function<void()> ready;
    std::function<void()> run;
    Times times;
};

void report(const Figure& f) {
    std::printf("%-28s %7.1f ms wall %7.1f ms CPU  %s\n", f.name, median(f.times.wall) * 1000,
                median(f.times.cpu) * 1000, f.what);
}

void ratio(const char* what, const Figure& a, const Figure& b) {
    std::printf("  %-58s %5.2f wall %5.2f CPU\n", what, median(a.times.wall) / median(b.times.wall),
                median(a.times.cpu) / median(b.times.cpu));
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
    // --only NAME times one figure alone, for a profiler.
    std::string only;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::string(argv[i]) == "--runs")
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::string(argv[i]) == "--only")
            only = argv[i + 1];
        else
            argc = 0;
    }
    if (argc % 2 == 0) {
        std::fprintf(stderr, "usage: cuewritetiming [--runs N] [--only NAME]\n");
        return 2;
    }
    try {
        ScratchFolders scratch;
        const std::string program = scratch.add();
        const std::string output = scratch.add();
        const std::string reference = scratch.add();
        WriteWorkload workload(ToolPlatform::programFolder(), program, output, reference);
        using Durability = WriteBatch::Durability;
        const auto clear = [&] { workload.clearOutput(); };
        const auto written = [&] {
            workload.clearOutput();
            workload.writeAll();
        };
        const auto none = [] {};
        std::vector<Figure> figures = {
            {"BM_WriteAllFor99Rows", "Write All into a folder without the files", clear,
             [&] { workload.writeAll(); }},
            {"BM_WriteAllAgainUnchanged", "Write All again, nothing changed", written,
             [&] { workload.writeAllAgain(); }},
            {"BM_PlainCopy", "copy, no sync (as cp)", clear, [&] { workload.plainCopy(); }},
            {"BM_BatchedCopy", "copy, one crash-safe batch (syncfs on Linux)", clear,
             [&] { workload.batchedCopy(Durability::SyncFileSystem); }},
            {"BM_BatchedCopyFsyncEach", "copy, one crash-safe batch, fsync of each file", clear,
             [&] { workload.batchedCopy(Durability::SyncEachFile); }},
            {"BM_CopyOneSyncPerFile", "copy, each file synced with its folder (before)", clear,
             [&] { workload.copyOneSyncPerFile(); }},
            {"BM_ReadTemplates", "reading the templates once", none,
             [&] { workload.readTemplates(); }},
            {"BM_ReadTemplatesAndOutput", "reading the templates and the files once", written,
             [&] { workload.readTemplatesAndOutput(); }},
        };
        if (!only.empty())
            std::erase_if(figures, [&](const Figure& f) { return f.name != only; });
        workload.clearOutput();
        workload.writeAll();
        if (!workload.outputMatchesReference()) {
            std::fprintf(stderr, "cuewritetiming: the writers wrote other bytes\n");
            return 1;
        }
        // Taken in turns, each round starting one further on, so a change in the machine's
        // load and the disk's work left by the one before fall on all alike.
        for (int run = 0; run < runs; ++run) {
            for (size_t k = 0; k < figures.size(); ++k) {
                Figure& f = figures[(k + static_cast<size_t>(run)) % figures.size()];
                f.ready();
                timeOnce(f.run, f.times);
            }
        }
        workload.clearOutput();
        workload.writeAll();
        if (!workload.outputMatchesReference()) {
            std::fprintf(stderr, "cuewritetiming: the writers wrote other bytes\n");
            return 1;
        }
        std::printf("\"Write HTM, RAM, RAE\" for %d rows (%d files, %.1f MB), medians of %d "
                    "runs:\n",
                    WriteWorkload::Rows, workload.fileCount(),
                    static_cast<double>(workload.bytesWritten()) / 1e6, runs);
        for (const Figure& f : figures)
            report(f);
        const auto figure = [&](const char* name) -> const Figure& {
            return *std::find_if(figures.begin(), figures.end(),
                                 [&](const Figure& f) { return std::string(f.name) == name; });
        };
        if (!only.empty())
            return 0;
        std::printf("Ratios:\n");
        ratio("Write All against the batched crash-safe copy (goal 1.5)",
              figure("BM_WriteAllFor99Rows"), figure("BM_BatchedCopy"));
        ratio("Write All against the plain copy", figure("BM_WriteAllFor99Rows"),
              figure("BM_PlainCopy"));
        ratio("Write All against one sync per file", figure("BM_WriteAllFor99Rows"),
              figure("BM_CopyOneSyncPerFile"));
        ratio("Write All again against reading the templates (goal 1.2)",
              figure("BM_WriteAllAgainUnchanged"), figure("BM_ReadTemplates"));
        ratio("Write All again against reading templates and files",
              figure("BM_WriteAllAgainUnchanged"), figure("BM_ReadTemplatesAndOutput"));
        ratio("batch with an fsync of each file against syncfs", figure("BM_BatchedCopyFsyncEach"),
              figure("BM_BatchedCopy"));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cuewritetiming: %s\n", e.what());
        return 1;
    }
}
