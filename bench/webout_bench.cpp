// "Write HTM, RAM, RAE" for a full talk against plain copies of the same files.
#include "bench/writeworkload.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

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

void BM_WriteAllFor99Rows(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state)
        s.workload.writeAll();
    if (!s.workload.outputMatchesReference())
        state.SkipWithError("the writers wrote other bytes than before");
}
// Seconds a run on a shared disk: medians of seven, like cuewritetiming's.
BENCHMARK(BM_WriteAllFor99Rows)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// The baseline: the same files with the same bytes, each copied whole through the same
// atomic writer.
void BM_CopySameFilesFor99Rows(benchmark::State& state) {
    Setup& s = setup();
    for (auto _ : state)
        s.workload.copySameFiles();
}
BENCHMARK(BM_CopySameFilesFor99Rows)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace
