// Reading Db2's display output at the Statistics reader's pace: a SYSLOG of 15-minute displays of 80
// pools with LSTATS for 20,000 data sets (250 a pool). A day is 96 displays, about 2.3 GB; the
// benchmark reads 8 of them (a fifth of a gigabyte) from memory, so that its throughput compares
// with BM_ReadLargestReport's bytes per second; BM_ReadDisplayDay reads the whole day once when
// ORNEXA_BENCH_DAY is set (it needs some 3 GB of memory).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "display/display_reader.h"
#include "display_writer.h"

namespace {

using namespace ornexa;

samplegen::DisplaySampleOptions SiteDisplays(int displays) {
    samplegen::DisplaySampleOptions options;
    options.form = samplegen::DisplayForm::Syslog;
    options.series = displays;
    options.minutes = 15;
    options.pools = 80;
    options.dataSetsPerPool = 250;
    options.simulate = true;
    options.groupPools = true;
    return options;
}

void ReadDisplays(benchmark::State& state, const std::string& text) {
    std::size_t reports = 0;
    for (auto _ : state) {
        const DisplayReports read = ReadDisplayReports(text, ReportLimits::LargeSite());
        reports = read.reports.size();
        benchmark::DoNotOptimize(read.reports.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
    state.counters["reports"] = static_cast<double>(reports);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}

void BmReadDisplaySeries(benchmark::State& state) {
    static const std::string text = samplegen::WriteDisplaySample(SiteDisplays(8));
    ReadDisplays(state, text);
}

void BmReadDisplayDay(benchmark::State& state) {
    if (std::getenv("ORNEXA_BENCH_DAY") == nullptr) {
        state.SkipWithError("set ORNEXA_BENCH_DAY=1 to read a whole day (about 2.3 GB)");
        return;
    }
    static const std::string text = samplegen::WriteDisplaySample(SiteDisplays(96));
    ReadDisplays(state, text);
}

} // namespace

BENCHMARK(BmReadDisplaySeries)->Name("BM_ReadDisplaySeries")->Unit(benchmark::kMillisecond);
BENCHMARK(BmReadDisplayDay)->Name("BM_ReadDisplayDay")->Unit(benchmark::kMillisecond)->Iterations(1);
