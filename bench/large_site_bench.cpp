// A large site: reading 80-pool reports of 5,000, 50,000 and 500,000 objects, the peak memory of
// the largest read, and the analyses of a pool of 500,000 objects (the 22 graphs, the cluster run,
// its member list sorted by a numeric column). Prints the growth per object and the memory figures.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "large_site.h"
#include "report/stat_reader.h"
#include "stats/list_sort.h"
#include "stats/pool_graph.h"

namespace {

using namespace ornexa;

constexpr int Pools = samplegen::LargeSitePools;

// The report of `objects` objects over 80 pools, written once per run.
const std::filesystem::path& LargeFile(int objects) {
    static std::map<int, std::filesystem::path> files;
    auto& path = files[objects];
    if (path.empty()) {
        path = std::filesystem::temp_directory_path() / ("ornexa-bench-large-" + std::to_string(objects) + ".sta");
        samplegen::WriteLargeReport(path, Pools, objects);
    }
    return path;
}

// Nanoseconds a object of each read size, for the growth figure after them.
std::map<int, double>& NanosecondsPerObject() {
    static std::map<int, double> times;
    return times;
}

void BmReadLargeSite(benchmark::State& state) {
    const auto objects = static_cast<int>(state.range(0));
    const auto& path = LargeFile(objects);
    Report report;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        ResetReport(report);
        if (!ReadStatisticsFile(report, path, {}, FileKinds::Any, ReportLimits::LargeSite()).Loaded()) {
            state.SkipWithError("the large report did not load");
        }
        benchmark::DoNotOptimize(report.ObjectCount());
    }
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    const double perObject = spent.count() / static_cast<double>(state.iterations()) / objects;
    NanosecondsPerObject()[objects] = perObject;
    state.counters["ns_per_object"] = perObject;
    state.SetItemsProcessed(state.iterations() * objects);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
// At least two seconds each, so that the largest read is timed several times like the others.
BENCHMARK(BmReadLargeSite)->Arg(5000)->Arg(50000)->Arg(500000)->MinTime(2.0)->Unit(benchmark::kMillisecond);

// The time a object at 500,000 objects against that at 5,000 (1 is linear growth; goal at most 1.15).
void BmReadLargeSiteGrowth(benchmark::State& state) {
    const auto& times = NanosecondsPerObject();
    if (!times.contains(5000) || !times.contains(500000)) {
        state.SkipWithError("run BmReadLargeSite at 5000 and 500000 objects first");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(times.size());
    }
    state.counters["growth_500k_vs_5k"] = times.at(500000) / times.at(5000);
    if (times.contains(50000)) {
        state.counters["growth_50k_vs_5k"] = times.at(50000) / times.at(5000);
    }
}
BENCHMARK(BmReadLargeSiteGrowth)->Iterations(1);

// Kilobytes of the process's peak resident set (VmHWM).
long PeakKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 12, '\n');
    }
    return 0;
}

// The read in a child process of its own, so that its peak is the read's alone: what the peak grew
// by, in bytes a object.
void BmReadPeakMemory(benchmark::State& state) {
    const auto objects = static_cast<int>(state.range(0));
    const auto& path = LargeFile(objects);
    double perObject = 0;
    for (auto _ : state) {
        std::array<int, 2> pipe{};
        if (::pipe(pipe.data()) != 0) {
            state.SkipWithError("no pipe");
            break;
        }
        const pid_t child = fork();
        if (child == 0) {
            const long before = PeakKilobytes();
            Report report;
            const bool loaded =
                ReadStatisticsFile(report, path, {}, FileKinds::Any, ReportLimits::LargeSite()).Loaded();
            const long grown = loaded ? PeakKilobytes() - before : -1;
            [[maybe_unused]] const auto written = ::write(pipe[1], &grown, sizeof grown);
            _exit(0);
        }
        long grown = -1;
        [[maybe_unused]] const auto got = ::read(pipe[0], &grown, sizeof grown);
        ::close(pipe[0]);
        ::close(pipe[1]);
        waitpid(child, nullptr, 0);
        if (grown < 0) {
            state.SkipWithError("the large report did not load");
            break;
        }
        perObject = static_cast<double>(grown) * 1024 / objects;
    }
    state.counters["bytes_per_object"] = perObject;
    state.counters["file_bytes_per_object"] = static_cast<double>(std::filesystem::file_size(path)) / objects;
}
BENCHMARK(BmReadPeakMemory)->Arg(500000)->Iterations(1)->Unit(benchmark::kMillisecond);

// One pool of 500,000 objects, read, with the working sets of a Simulation report at size 1.
struct LargePool {
    Report report;
    SimulationData sim;
};

const LargePool& OnePool() {
    static const LargePool pool = [] {
        LargePool made{samplegen::BuildLargeReport(1, 500000), {}};
        made.report.ElapsedSeconds = ElapsedToSeconds(made.report.Header.ElapsedTime.Padded());
        made.report.StatFileLoaded = true;
        samplegen::Rng rng(9);
        for (int o = 1; o <= made.report.ObjectCount(); ++o) {
            ObjectRecord& object = made.report.Objects(o);
            object.ObjGetPages = 1000;
            object.GetPagesByAccess = {};
            object.GetPagesByAccess(2) = 1000;
            made.sim.Objects(o).SimMaxWorkSet(1) = static_cast<Long>(rng.LogBetween(10, 500000));
        }
        made.sim.Pools(1).SimPoolSize(1) = 500000;
        return made;
    }();
    return pool;
}

void BmPoolGraph500k(benchmark::State& state) {
    const LargePool& pool = OnePool();
    GraphView view;
    const auto type = static_cast<int>(state.range(0));
    for (auto _ : state) {
        DrawPoolGraph(view, pool.report, 1, type);
        benchmark::DoNotOptimize(view.chart.PointCount());
    }
    state.SetLabel(std::string(PoolGraphName(type)));
}
BENCHMARK(BmPoolGraph500k)->DenseRange(1, 22)->Unit(benchmark::kMillisecond);

void BmClusterRun500k(benchmark::State& state) {
    const LargePool& pool = OnePool();
    int clusters = 0;
    for (auto _ : state) {
        const ClusterRun run = RunClusterAnalysis(pool.report, pool.sim, 1, 1, PoolUsage::Random, 50, 1.2);
        clusters = run.result;
        benchmark::DoNotOptimize(FillClusterList(pool.sim, run).size());
    }
    state.counters["clusters"] = clusters;
}
BENCHMARK(BmClusterRun500k)->Unit(benchmark::kMillisecond);

// The member list of one cluster holding every object, sorted by its numeric column (Max Work Set).
void BmSortMembers500k(benchmark::State& state) {
    const LargePool& pool = OnePool();
    ClusterRun run;
    run.size = 1;
    run.result = 1;
    for (int o = 1; o <= pool.report.ObjectCount(); ++o) {
        run.ClusterMembers.push_back(o);
        run.ClusterOfMember.push_back(1);
    }
    const std::vector<ClusterObjectRow> rows = ShowClusterObjects(pool.report, pool.sim, run, 1)->rows;
    std::vector<ClusterObjectRow> sorted;
    for (auto _ : state) {
        state.PauseTiming();
        sorted = rows; // the copy and the freeing of the last one are not the sort's
        state.ResumeTiming();
        SortRows(sorted, {1, true}, [](const ClusterObjectRow& row) -> const std::string& { return row.cells[1]; });
        benchmark::DoNotOptimize(sorted.front().object);
    }
}
BENCHMARK(BmSortMembers500k)->Unit(benchmark::kMillisecond);

} // namespace
