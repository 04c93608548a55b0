// Splitting a budget across a large site's pools: 80 pools of the four page sizes, each with a curve of
// ten points, and 64 GB to place in steps of 1,000 buffers.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "advice/pool_commands.h"
#include "advice/pool_sizing.h"
#include "advice/sizing_plan.h"

namespace {

std::vector<ornexa::SizingCurve> EightyPools() {
    std::vector<ornexa::SizingCurve> curves;
    for (int p = 0; p < 80; ++p) {
        ornexa::SizingCurve curve;
        curve.poolName = "BP" + std::to_string(p);
        curve.pageSizeKb = 4 << (p % 4);
        curve.currentBuffers = 20000 + 1000 * p;
        const double reads = 200.0 + 10.0 * p;
        // Fewer reads the larger the pool, more slowly the larger it is, out to 40 times its size.
        for (int i = 0; i < 10; ++i) {
            const auto buffers = curve.currentBuffers * (1 + 4 * i);
            curve.points.push_back(
                {buffers, reads / std::sqrt(1.0 + i * (1.0 + p % 7)), ornexa::SizingEvidence::Simulation, false});
        }
        curves.push_back(std::move(curve));
    }
    return curves;
}

void BmAllocate64Gb(benchmark::State& state) {
    const std::vector<ornexa::SizingCurve> curves = EightyPools();
    const ornexa::SizingRequest request{64LL << 30, 0.0, 1000};
    std::int64_t placed = 0;
    for (auto _ : state) {
        const ornexa::SizingPlan plan = ornexa::AllocateBudget(curves, request);
        placed = plan.bytesPlaced;
        benchmark::DoNotOptimize(placed);
    }
    state.counters["placed_gb"] = static_cast<double>(placed) / static_cast<double>(1LL << 30);
}
BENCHMARK(BmAllocate64Gb)->Unit(benchmark::kMillisecond);

// A report of 80 pools of the four page sizes over a quarter of an hour, each with its own load.
ornexa::Report EightyPoolReport() {
    ornexa::Report report;
    report.SetLimits(ornexa::ReportLimits::LargeSite());
    std::vector<std::string> names;
    for (const int kb : {4, 8, 16, 32}) {
        for (const std::string& name : ornexa::BufferPoolNames(kb)) {
            names.push_back(name);
        }
    }
    for (int p = 0; p < 80; ++p) {
        ornexa::PoolRecord pool;
        pool.PoolName = names[static_cast<std::size_t>(p) % names.size()];
        pool.VPSize = 20000 + 1000 * p;
        pool.PoolGetPages = 1'000'000 + 10'000 * p;
        pool.PoolReadIOsByType(1) = 90'000 + 2'000 * p;
        report.AddPool(pool);
    }
    report.ElapsedSeconds = 900;
    return report;
}

// What the sizing window does on each key typed into its budget: read the budget and split it anew
// over the curves it built when it opened.
void BmSizingKeystroke(benchmark::State& state) {
    const ornexa::Report report = EightyPoolReport();
    const std::vector<ornexa::SizingCurve> curves = ornexa::BuildSizingCurves(report, ornexa::SimulationData{}, {});
    std::int64_t placed = 0;
    for (auto _ : state) {
        const ornexa::Result<std::int64_t> budget = ornexa::ParseBudget("+2G");
        const ornexa::SizingRun run = ornexa::PlanSizing(curves, {}, {*budget.value, 0.05, 1000});
        placed = run.plan.bytesPlaced;
        benchmark::DoNotOptimize(placed);
    }
    state.counters["pools"] = static_cast<double>(report.PoolCount());
    state.counters["placed_mb"] = static_cast<double>(placed) / static_cast<double>(1LL << 20);
}
BENCHMARK(BmSizingKeystroke)->Unit(benchmark::kMicrosecond);

} // namespace
