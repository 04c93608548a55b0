// Showing a pool of 5000 objects (header, object list, default graph, rules) and drawing each of
// the sixteen rankings of its objects.
#include <benchmark/benchmark.h>

#include "cluster/clustering.h"
#include "report/messages.h"
#include "sample_report.h"
#include "session/analysis_session.h"
#include "stats/pool_graph.h"

namespace {

using namespace ornexa;

Report OnePoolOf5000() {
    Report report;
    report.Header = samplegen::BuildSampleReport().Header;
    samplegen::Rng rng(77);
    const samplegen::PoolPlan plan{"BP1", samplegen::PoolMix::Mixed, 50000, 0, 80, 80, 50.0, 10.0, Report::MaxObjects};
    samplegen::AddPool(report, plan, rng);
    report.ElapsedSeconds = ElapsedToSeconds(report.Header.ElapsedTime.Padded());
    report.StatFileLoaded = true;
    return report;
}

void BmSelectPoolOf5000Objects(benchmark::State& state) {
    const Report report = OnePoolOf5000();
    const SimulationData sim;
    AnalysisSession session(report, sim, ".");
    session.Load();
    benchmark::DoNotOptimize(session.Activate());
    for (auto _ : state) {
        benchmark::DoNotOptimize(session.SelectPoolFromList(0));
        benchmark::DoNotOptimize(session.ObjectInfo().List().size());
    }
}
BENCHMARK(BmSelectPoolOf5000Objects)->Unit(benchmark::kMillisecond);

void BmDrawRanking(benchmark::State& state) {
    const Report report = OnePoolOf5000();
    GraphView view;
    const auto type = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DrawPoolGraph(view, report, 1, type);
        benchmark::DoNotOptimize(view.chart.PointCount());
    }
    state.SetLabel(std::string(PoolGraphName(type)));
}
BENCHMARK(BmDrawRanking)->DenseRange(7, 22)->Unit(benchmark::kMicrosecond);

} // namespace

namespace {

struct Clustered {
    Report report;
    SimulationData sim;
};

// 5000 objects that all take part at size 1 with spread working sets.
Clustered ClusterPool() {
    Clustered c{OnePoolOf5000(), {}};
    samplegen::Rng rng(9);
    for (int o = 1; o <= c.report.ObjectCount(); ++o) {
        ObjectRecord& object = c.report.Objects(o);
        object.ObjGetPages = 1000;
        object.GetPagesByAccess = {};
        object.GetPagesByAccess(2) = 1000;
        c.sim.Objects(o).SimMaxWorkSet(1) = static_cast<Long>(rng.LogBetween(10, 50000));
    }
    c.sim.Pools(1).SimPoolSize(1) = 50000;
    return c;
}

void BmClusterRun5000(benchmark::State& state) {
    const Clustered c = ClusterPool();
    for (auto _ : state) {
        const ClusterRun run = RunClusterAnalysis(c.report, c.sim, 1, 1, PoolUsage::Random, 50, 1.2);
        benchmark::DoNotOptimize(run.result);
    }
}
BENCHMARK(BmClusterRun5000)->Unit(benchmark::kMillisecond);

// The spinner held from 0.4 to 7.6: 73 runs.
void BmSpinnerSweep5000(benchmark::State& state) {
    const Clustered c = ClusterPool();
    for (auto _ : state) {
        for (int tenths = 4; tenths <= 76; ++tenths) {
            const ClusterRun run = RunClusterAnalysis(c.report, c.sim, 1, 1, PoolUsage::Random, 50, tenths / 10.0);
            benchmark::DoNotOptimize(run.result);
        }
    }
}
BENCHMARK(BmSpinnerSweep5000)->Unit(benchmark::kMillisecond);

} // namespace
