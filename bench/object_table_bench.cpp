// The object table of a pool of 500,000 objects: building its rows, and sorting them by a figure,
// which a click on a column header does.
#include <benchmark/benchmark.h>

#include "large_site.h"
#include "session/object_table.h"

namespace {

using namespace ornexa;

constexpr int Objects = 500000;

const Report& OnePoolOf500000() {
    static const Report report = [] {
        Report built = samplegen::BuildLargeReport(1, Objects);
        built.ElapsedSeconds = 900;
        return built;
    }();
    return report;
}

void BmBuildObjectTable(benchmark::State& state) {
    const Report& report = OnePoolOf500000();
    const SimulationData sim;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildObjectTable(report, sim, 1).rows.size());
    }
    state.counters["rows"] = static_cast<double>(PoolObjects(report, 1).Count());
}
BENCHMARK(BmBuildObjectTable)->Unit(benchmark::kMillisecond);

// Column 1 is the getpages, 11 the read I/O rate (a fraction), in either direction.
void BmSortObjectTable(benchmark::State& state) {
    const ObjectTable table = BuildObjectTable(OnePoolOf500000(), SimulationData{}, 1);
    const auto column = static_cast<int>(state.range(0));
    const bool descending = state.range(1) != 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ObjectTableOrder(table, column, descending).data());
    }
    state.counters["rows"] = static_cast<double>(table.rows.size());
}
BENCHMARK(BmSortObjectTable)->Args({1, 0})->Args({1, 1})->Args({11, 1})->Args({0, 0})->Unit(benchmark::kMillisecond);

} // namespace
