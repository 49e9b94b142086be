// "Write HTM, RAM, RAE" for a full talk against copies of the same files and against
// reading its templates. Each step that writes finds the output folder without its files
// (cleared while the clock is stopped), except the second Write All, which finds them.
#include "bench/writeworkload.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

} // namespace
