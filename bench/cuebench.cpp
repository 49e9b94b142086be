// Speed of the text rules every file of the system goes through. Run: make bench.
#include "common/clocktime.h"
#include "common/fieldreader.h"
#include "logger/presentationlog.h"
#include "schedule/logreader.h"

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

namespace {

// A full schedule of 100 rows as a grid file holds it.
std::string fullGridFile() {
    std::string text = "Cuemark Grid File\r\nC:\\Logs\\talk.txt\r\npnm://a/b.ra\r\nhttp://a/b/\r\n";
    text += DayCount::format(ClockTime::fromSeconds(5)) + "\r\n";
    for (int k = 1; k <= 100; ++k) {
        for (int c = 0; c < 3; ++c)
            text += DayCount::format(ClockTime::fromSeconds(k * 37 + c)) + "\r\n";
        text += "../q3/sld" + std::to_string(k) + ".gif\r\nSlide, with a comma\r\n";
    }
    return text;
}

void BM_ClockTimeParseAndFormat(benchmark::State& state) {
    for (auto _ : state) {
        const double value = *ClockTime::parse("12:34:56");
        benchmark::DoNotOptimize(ClockTime::format(value));
    }
}
BENCHMARK(BM_ClockTimeParseAndFormat);

void BM_DayCountRoundTrip(benchmark::State& state) {
    long long second = 0;
    for (auto _ : state) {
        const std::string text = DayCount::numberText(ClockTime::fromSeconds(second++ % 86400));
        benchmark::DoNotOptimize(DayCount::parseNumber(text));
    }
}
BENCHMARK(BM_DayCountRoundTrip);

void BM_ReadFullGridFile(benchmark::State& state) {
    const std::string text = fullGridFile();
    for (auto _ : state) {
        FieldReader reader(text);
        for (int i = 0; i < 5; ++i)
            benchmark::DoNotOptimize(reader.readField());
        while (!reader.atEnd()) {
            for (int c = 0; c < 3; ++c)
                benchmark::DoNotOptimize(reader.readNumber());
            benchmark::DoNotOptimize(reader.readLine());
            benchmark::DoNotOptimize(reader.readLine());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadFullGridFile);

// The longest log the import takes: 99 slide lines with comma-holding titles.
std::string longestLog() {
    std::string text;
    std::optional<double> last;
    for (int i = 0; i <= 99; ++i) {
        const double now = ClockTime::fromSeconds(36000 + i * 41);
        const double count = PresentationLog::interval(last, now);
        last = now;
        text += i < 99
                    ? PresentationLog::slideLine(count, ClockTime::format(now), "C:\\Talks\\q3.ppt",
                                                 i + 1, "Costs, risks")
                    : PresentationLog::eventLine(count, ClockTime::format(now), "Logging Stopped");
    }
    return text;
}

void BM_ReadLongestLog(benchmark::State& state) {
    const std::string text = longestLog();
    for (auto _ : state) {
        LogReader reader(text);
        while (!reader.atEnd())
            benchmark::DoNotOptimize(reader.next());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReadLongestLog);

} // namespace

BENCHMARK_MAIN();
