// "Write HTM, RAM, RAE" for a full talk against copies of the same files and against
// reading its templates. Each step that writes finds the output folder without its files
// (cleared while the clock is stopped), except the second Write All, which finds them.
#include "bench/memorypeak.h"
#include "bench/writeworkload.h"
#include "common/textfile.h"
#include "webout/pagefiles.h"
#include "webout/slidepages.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>

namespace {

struct Setup {
    QTemporaryDir programDir;
    QTemporaryDir outputDir;
    QTemporaryDir referenceDir;
    WriteWorkload workload{CUE_TEMPLATE_DIR, programDir.path().toStdString(),
                           outputDir.path().toStdString(), referenceDir.path().toStdString()};
};

Setup& setup() {
    static Setup s;
    return s;
}

// Times run; ready first readies the output folder, off the clock.
void timed(benchmark::State& state, const std::function<void(WriteWorkload&)>& ready,
           const std::function<void(WriteWorkload&)>& run) {
    WriteWorkload& w = setup().workload;
    for (auto _ : state) {
        state.PauseTiming();
        ready(w);
        state.ResumeTiming();
        run(w);
    }
}

void clear(WriteWorkload& w) {
    w.clearOutput();
}
void written(WriteWorkload& w) {
    w.clearOutput();
    w.writeAll();
}
void none(WriteWorkload&) {}

void BM_WriteAllFor99Rows(benchmark::State& state) {
    timed(state, clear, [](WriteWorkload& w) { w.writeAll(); });
    if (!setup().workload.outputMatchesReference())
        state.SkipWithError("the writers wrote other bytes than before");
}
void BM_WriteAllAgainUnchanged(benchmark::State& state) {
    timed(state, written, [](WriteWorkload& w) { w.writeAllAgain(); });
}
void BM_PlainCopy(benchmark::State& state) {
    timed(state, clear, [](WriteWorkload& w) { w.plainCopy(); });
}
void BM_BatchedCopy(benchmark::State& state) {
    timed(state, clear,
          [](WriteWorkload& w) { w.batchedCopy(WriteBatch::Durability::SyncFileSystem); });
}
void BM_BatchedCopyFsyncEach(benchmark::State& state) {
    timed(state, clear,
          [](WriteWorkload& w) { w.batchedCopy(WriteBatch::Durability::SyncEachFile); });
}
void BM_CopyOneSyncPerFile(benchmark::State& state) {
    timed(state, clear, [](WriteWorkload& w) { w.copyOneSyncPerFile(); });
}
void BM_ReadTemplates(benchmark::State& state) {
    timed(state, none, [](WriteWorkload& w) { w.readTemplates(); });
}

// Milliseconds a run on a shared disk: medians of seven, like cuewritetiming's.
#define WRITE_BENCHMARK(name)                                                                      \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true)
WRITE_BENCHMARK(BM_WriteAllFor99Rows);
WRITE_BENCHMARK(BM_WriteAllAgainUnchanged);
WRITE_BENCHMARK(BM_PlainCopy);
WRITE_BENCHMARK(BM_BatchedCopy);
WRITE_BENCHMARK(BM_BatchedCopyFsyncEach);
WRITE_BENCHMARK(BM_CopyOneSyncPerFile);
WRITE_BENCHMARK(BM_ReadTemplates);

// The pages of three rows from a slide template of 200 MB, written into a folder without
// them and then again with nothing changed: memory must not grow with the template.
void BM_PagesFrom200MBTemplate(benchmark::State& state) {
    QTemporaryDir program;
    QTemporaryDir output;
    const std::string programFolder = program.path().toStdString();
    for (const char* name : {"firstsld.htm", "lastsld.htm", "preload.htm", "index.htm",
                             "p2hnext.gif", "p2hprev.gif", "p2hup.gif", "ralogo.gif", "wait.gif"})
        TextFile::writeAtomically(programFolder + "/" + name,
                                  TextFile::readAll(std::string(CUE_TEMPLATE_DIR) + "/" + name));
    {
        const std::string shipped =
            TextFile::readAll(std::string(CUE_TEMPLATE_DIR) + "/slides.htm");
        StreamFile big(programFolder + "/slides.htm");
        big.append(shipped);
        std::string lines;
        for (int i = 0; lines.size() < (1 << 20); ++i)
            lines += "<p class=\"note\">Line " + std::to_string(i) + " of the notes.</p>\r\n";
        while (big.size() < (200LL << 20))
            big.append(lines);
        big.close();
    }
    PresentationOutput out;
    out.outputDirectory = output.path().toStdString() + "/";
    for (int i = 0; i < 3; ++i)
        out.rows.push_back({"00:01:00", "00:00:00", "00:01:00", "sld.gif", "Slide"});
    const std::vector<std::string> images(PageImageNames.begin(), PageImageNames.end());
    long long rise = 0;
    for (auto _ : state) {
        MemoryPeak::reset();
        const long long before = MemoryPeak::statusKiB("VmRSS:");
        for (int pass = 0; pass < 2; ++pass) {
            WriteBatch batch;
            writeAllPages(batch, out, programFolder, images);
            commitOutputs(batch);
        }
        rise = std::max(rise, MemoryPeak::statusKiB("VmHWM:") - before);
    }
    state.counters["peak_rise_KiB"] = static_cast<double>(rise);
}
BENCHMARK(BM_PagesFrom200MBTemplate)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
