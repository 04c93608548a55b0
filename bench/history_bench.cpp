// The report history: importing the largest report against reading it, a pool's trend over 1000
// stored reports of 60 pools, and the room a stored largest report takes beside its file's size.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include "history/history_store.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "stat_writer.h"

namespace {

using namespace ornexa;

std::filesystem::path BenchFolder() {
    const auto folder = std::filesystem::temp_directory_path() / "ornexa-history-bench";
    std::filesystem::create_directories(folder);
    return folder;
}

struct LargestFile {
    std::string text;
    std::filesystem::path path;
    LargestFile() {
        text = samplegen::StatisticsText(samplegen::BuildLargestReport());
        path = BenchFolder() / "largest.sta";
        samplegen::WriteTextFile(path, text);
    }
};

const LargestFile& Largest() {
    static const LargestFile file;
    return file;
}

void BM_ReadLargest(benchmark::State& state) {
    for (auto _ : state) {
        Report report;
        benchmark::DoNotOptimize(ReadStatisticsFile(report, Largest().path));
    }
}
BENCHMARK(BM_ReadLargest)->Unit(benchmark::kMillisecond);

// The import alone, of a report already read, into a new history; opening and closing the history
// (which writes the journal back into the file) are left out.
void BM_ImportLargest(benchmark::State& state) {
    Report report;
    const StatReadResult read = ReadStatisticsFile(report, Largest().path);
    const SimulationData sim;
    const auto db = BenchFolder() / "import.db";
    int round = 0;
    std::shared_ptr<HistoryStore> store;
    for (auto _ : state) {
        state.PauseTiming();
        store.reset();
        std::filesystem::remove(db);
        std::filesystem::remove(db.string() + "-wal");
        std::filesystem::remove(db.string() + "-shm");
        store = *HistoryStore::Open(db.string()).value;
        const std::string content = Largest().text + std::to_string(++round);
        state.ResumeTiming();
        benchmark::DoNotOptimize(store->Import({report, read, sim, content, "largest.sta"}));
    }
}
BENCHMARK(BM_ImportLargest)->Unit(benchmark::kMillisecond);

// 1000 reports of 60 pools (each with one object, to keep the set-up short: the trend reads pools).
void BM_PoolTrend1000Reports(benchmark::State& state) {
    const auto db = BenchFolder() / "trend.db";
    std::filesystem::remove(db);
    auto store = *HistoryStore::Open(db.string()).value;
    Report report = samplegen::BuildLargestReport();
    Report small;
    small.Header = report.Header;
    small.ElapsedSeconds = report.ElapsedSeconds;
    small.StatFileLoaded = true;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        PoolRecord pool = report.Pools(p);
        pool.FirstObject = pool.LastObject = 0;
        small.AddPool(pool);
    }
    StatReadResult read;
    read.outcome = StatReadOutcome::Loaded;
    const SimulationData sim;
    for (int r = 0; r < 1000; ++r) {
        const int day = r % 28 + 1;
        const int month = r / 28 % 12 + 1;
        const int year = 2020 + r / (28 * 12);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", year, month, day);
        small.Header.CollectionDate = date;
        small.Pools(1).VPSize = 20000 + r;
        const std::string content = "report " + std::to_string(r);
        store->Import({small, read, sim, content, "r.sta"});
    }
    const std::string pool = small.Pools(1).PoolName.Str();
    for (auto _ : state) {
        const auto trend = store->PoolTrend(pool);
        benchmark::DoNotOptimize(trend);
        if (trend.value->size() != 1000) {
            state.SkipWithError("the trend does not hold 1000 points");
        }
    }
}
BENCHMARK(BM_PoolTrend1000Reports)->Unit(benchmark::kMillisecond);

// Bytes of the database file per stored largest report, against the report file's bytes.
void BM_StoredSizeOfLargest(benchmark::State& state) {
    Report report;
    const StatReadResult read = ReadStatisticsFile(report, Largest().path);
    const SimulationData sim;
    constexpr int Reports = 10;
    for (auto _ : state) {
        const auto db = BenchFolder() / "size.db";
        std::filesystem::remove(db);
        {
            auto store = *HistoryStore::Open(db.string()).value;
            for (int r = 0; r < Reports; ++r) {
                store->Import({report, read, sim, Largest().text + std::to_string(r), "largest.sta"});
            }
            store->Database().Query("PRAGMA wal_checkpoint(TRUNCATE)");
        }
        state.counters["db_bytes_per_report"] = static_cast<double>(std::filesystem::file_size(db)) / Reports;
        state.counters["report_file_bytes"] = static_cast<double>(Largest().text.size());
    }
}
BENCHMARK(BM_StoredSizeOfLargest)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
