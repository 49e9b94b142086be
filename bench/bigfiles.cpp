// Read Grid and Read Log File given a file of junk by mistake, of 1 MiB (argument 20) and
// of 1 GiB (30): each must be turned down at once, and its memory must not grow with the
// file. Run: make bench.
#include "bench/memorypeak.h"
#include "common/settingsstore.h"
#include "forms/program.h"
#include "forms/programregistry.h"
#include "schedule/cuebuildprogram.h"
#include "schedule/mainwindow.h"
#include "testing/scriptedui.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>

namespace {

// A sparse file of the given size: the first bytes as given, then zeros.
std::string junkFile(const QTemporaryDir& dir, const std::string& name, const std::string& head,
                     long long size) {
    const std::string path = dir.path().toStdString() + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, head.data(), head.size()) != static_cast<ssize_t>(head.size()) ||
        ::ftruncate(fd, size) != 0)
        throw std::runtime_error("cannot make " + path);
    ::close(fd);
    return path;
}

using Command = std::function<void(Main&)>;

// Runs one command on the file and reports how far memory rose above where it stood.
void runOn(benchmark::State& state, const std::string& head, const Command& command,
           const std::string& expectedBox) {
    QTemporaryDir dir;
    const long long size = 1LL << state.range(0);
    const std::string path = junkFile(dir, "junk.txt", head, size);
    long long growth = 0;
    std::string failure;
    for (auto _ : state) {
        state.PauseTiming();
        ScriptedUi ui("Cuemark PostProcessor");
        MemorySettingsStore settings;
        Program program = cuebuildEntry().makeProgram(dir.path().toStdString());
        Main main(ui, settings, program);
        main.load();
        ui.clearEvents();
        ui.queueFile(path);
        MemoryPeak::reset();
        const long long before = MemoryPeak::statusKiB("VmRSS:");
        state.ResumeTiming();

        command(main);

        state.PauseTiming();
        growth = std::max(growth, MemoryPeak::statusKiB("VmHWM:") - before);
        const auto boxes = ui.boxTexts();
        if (boxes.empty() || boxes.back().find(expectedBox) == std::string::npos)
            failure = "not turned down: " + (boxes.empty() ? std::string() : boxes.back());
        state.ResumeTiming();
    }
    if (!failure.empty())
        state.SkipWithError(failure.c_str());
    state.counters["file_MiB"] = static_cast<double>(size >> 20);
    state.counters["peak_rise_KiB"] = static_cast<double>(growth);
}

const std::string GridHeader = "Cuemark Grid File\r\n";
const std::string LogLine = " 0 , Slide , 0:00:00 , 10:00:00 , C:\\Talks\\q3.ppt , 1 , Welcome\r\n";

// 1 MiB and 1 GiB, timed whole.
void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(20)->Arg(30)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
}

void BM_ReadGridOnJunk(benchmark::State& state, const std::string& head) {
    runOn(
        state, head, [](Main& m) { m.mnuReadGrid_Click(); },
        head.empty() ? "Not a grid file" : "is longer than");
}
BENCHMARK_CAPTURE(BM_ReadGridOnJunk, zeros, std::string())->Apply(sizes);
BENCHMARK_CAPTURE(BM_ReadGridOnJunk, headerThenZeros, GridHeader)->Apply(sizes);

void BM_ReadLogOnJunk(benchmark::State& state, const std::string& head) {
    runOn(
        state, head, [](Main& m) { m.mnuRdLog_Click(); }, "Not a Log File");
}
BENCHMARK_CAPTURE(BM_ReadLogOnJunk, zeros, std::string())->Apply(sizes);
BENCHMARK_CAPTURE(BM_ReadLogOnJunk, slideLineThenZeros, LogLine)->Apply(sizes);

} // namespace
