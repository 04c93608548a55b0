// The health overview of a year: 35,040 reports of 15-minute intervals of one subsystem with 80 pools
// (2.8 million pool rows), read from the ratings kept at import, from SQLite and from PostgreSQL; and
// the import of a series of such reports, to tell the time a year takes and the room it grows by.
//
// The year's SQLite history is built once and kept in ORNEXA_BENCH_CACHE_DIR (it takes minutes); the
// server's is built on the server ORNEXA_TEST_POSTGRES_URI names, in a database of its own that a later
// run on the same server reuses: run the benchmark under tests/history/postgres_server.sh to measure
// PostgreSQL. ORNEXA_BENCH_INTERVALS sets a shorter year (the default is 35040).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "history/postgres_database.h"
#include "year_series.h"

namespace {

using namespace ornexa;

int YearIntervals() {
    const char* given = std::getenv("ORNEXA_BENCH_INTERVALS"); // NOLINT(concurrency-mt-unsafe)
    return given != nullptr ? std::stoi(given) : 35'040;
}

samplegen::YearSeriesOptions YearOptions() {
    samplegen::YearSeriesOptions options;
    options.intervals = YearIntervals();
    return options;
}

const char* PostgresUri() {
    return std::getenv("ORNEXA_TEST_POSTGRES_URI"); // NOLINT(concurrency-mt-unsafe)
}

// The URI with `database` in its path; the host, port and parameters stay.
std::string WithDatabase(const std::string& uri, const std::string& database) {
    const auto authority = uri.find("://") + 3;
    const auto query = uri.find('?', authority);
    const auto pathEnd = query == std::string::npos ? uri.size() : query;
    const auto slash = uri.find('/', authority);
    const auto nameStart = slash < pathEnd ? slash + 1 : pathEnd;
    return uri.substr(0, nameStart) + (slash < pathEnd ? "" : "/") + database + uri.substr(pathEnd);
}

std::shared_ptr<HistoryStore> OpenStore(const std::string& location) {
    auto opened = HistoryStore::Open(location);
    if (!opened.Ok()) {
        throw std::runtime_error(opened.FaultText());
    }
    return *opened.value;
}

std::int64_t ReportCount(HistoryStore& store) {
    return std::get<std::int64_t>(store.Database().Query("SELECT COUNT(*) FROM reports").at(0).at(0));
}

// Imports intervals [from, to) of the series as a read of their files would give them.
void ImportSeries(HistoryStore& store, const samplegen::YearSeriesOptions& options, int from, int to) {
    StatReadResult read;
    read.outcome = StatReadOutcome::Loaded;
    const SimulationData none;
    for (int t = from; t < to; ++t) {
        const Report report = samplegen::BuildSeriesReport(options, t);
        const std::string name = samplegen::SeriesFileName(options, t);
        const ImportOutcome outcome = store.Import({report, read, none, name, name});
        if (outcome.status != ImportStatus::Imported && outcome.status != ImportStatus::AlreadyPresent) {
            throw std::runtime_error("interval " + std::to_string(t) + " was not kept: " + outcome.message);
        }
    }
}

// The year's history at `location`, filled where a run before left it short.
std::shared_ptr<HistoryStore> YearHistory(const std::string& location) {
    const samplegen::YearSeriesOptions options = YearOptions();
    auto store = OpenStore(location);
    const auto held = static_cast<int>(ReportCount(*store));
    if (held < options.intervals) {
        std::cerr << "building the year in " << store->Location() << ": " << options.intervals - held
                  << " reports to import\n";
        const auto start = std::chrono::steady_clock::now();
        ImportSeries(*store, options, held, options.intervals);
        std::cerr << "  done in " << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                  << " s\n";
    }
    return store;
}

std::shared_ptr<HistoryStore> SqliteYear() {
    static const std::shared_ptr<HistoryStore> store = [] {
        const std::filesystem::path folder = ORNEXA_BENCH_CACHE_DIR;
        std::filesystem::create_directories(folder);
        return YearHistory((folder / ("health-year-" + std::to_string(YearIntervals()) + "x80-v" +
                                      std::to_string(HistoryStore::CurrentSchemaVersion()) + ".db"))
                               .string());
    }();
    return store;
}

std::shared_ptr<HistoryStore> PostgresYear() {
    static const std::shared_ptr<HistoryStore> store = []() -> std::shared_ptr<HistoryStore> {
        const char* uri = PostgresUri();
        if (uri == nullptr) {
            return nullptr;
        }
        const std::string name = "ornexa_bench_health_" + std::to_string(YearIntervals()) + "_v" +
                                 std::to_string(HistoryStore::CurrentSchemaVersion());
        const auto server = OpenPostgresDatabase(uri);
        if (server->Query("SELECT 1 FROM pg_database WHERE datname = ?", {name}).empty()) {
            server->ExecuteScript("CREATE DATABASE " + name);
        }
        return YearHistory(WithDatabase(uri, name));
    }();
    return store;
}

void MeasureHealth(benchmark::State& state, const std::shared_ptr<HistoryStore>& store,
                   const RatingSettings& settings) {
    if (store == nullptr) {
        state.SkipWithError("no server: run under tests/history/postgres_server.sh (ORNEXA_TEST_POSTGRES_URI)");
        return;
    }
    std::size_t cells = 0;
    for (auto _ : state) {
        const auto health = store->Health({}, settings);
        if (!health.Ok()) {
            state.SkipWithError(health.FaultText().c_str());
            return;
        }
        cells = health.value->cells.size();
        benchmark::DoNotOptimize(health.value->rows.data());
    }
    state.counters["reports"] = static_cast<double>(YearIntervals());
    state.counters["cells"] = static_cast<double>(cells);
}

// Thresholds other than those the year was rated with: every report is judged again from its values.
RatingSettings OtherThresholds() {
    RatingSettings settings;
    settings.defaults[static_cast<std::size_t>(RatingKind::SystemResidency)].warning = 120;
    return settings;
}

void BM_HealthYearSqlite(benchmark::State& state) {
    MeasureHealth(state, SqliteYear(), {});
}
BENCHMARK(BM_HealthYearSqlite)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HealthYearPostgres(benchmark::State& state) {
    MeasureHealth(state, PostgresYear(), {});
}
BENCHMARK(BM_HealthYearPostgres)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_HealthYearSqliteOtherThresholds(benchmark::State& state) {
    MeasureHealth(state, SqliteYear(), OtherThresholds());
}
BENCHMARK(BM_HealthYearSqliteOtherThresholds)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HealthYearPostgresOtherThresholds(benchmark::State& state) {
    MeasureHealth(state, PostgresYear(), OtherThresholds());
}
BENCHMARK(BM_HealthYearPostgresOtherThresholds)->Unit(benchmark::kMillisecond)->Iterations(1);

// The import of state.range(0) intervals into a new history, the reports made before the clock runs;
// "year_minutes" is the time 35,040 would take at that pace, "bytes_per_report" what each adds.
void MeasureImport(benchmark::State& state, bool postgres) {
    const int count = static_cast<int>(state.range(0));
    const samplegen::YearSeriesOptions options = YearOptions();
    std::vector<Report> reports;
    reports.reserve(static_cast<std::size_t>(count));
    for (int t = 0; t < count; ++t) {
        reports.push_back(samplegen::BuildSeriesReport(options, t));
    }
    StatReadResult read;
    read.outcome = StatReadOutcome::Loaded;
    const SimulationData none;
    int round = 0;
    double bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::string location;
        std::shared_ptr<HistoryStore> store;
        if (postgres) {
            const std::string name = "ornexa_bench_import_" + std::to_string(++round);
            const auto server = OpenPostgresDatabase(PostgresUri());
            server->ExecuteScript("DROP DATABASE IF EXISTS " + name);
            server->ExecuteScript("CREATE DATABASE " + name);
            location = WithDatabase(PostgresUri(), name);
        } else {
            const std::filesystem::path file = std::filesystem::temp_directory_path() / "ornexa-health-import.db";
            for (const char* end : {"", "-wal", "-shm"}) {
                std::filesystem::remove(file.string() + end);
            }
            location = file.string();
        }
        store = OpenStore(location);
        const double before =
            postgres ? static_cast<double>(std::get<std::int64_t>(
                           store->Database().Query("SELECT pg_database_size(current_database())").at(0).at(0)))
                     : 0;
        state.ResumeTiming();
        for (int t = 0; t < count; ++t) {
            const std::string name = samplegen::SeriesFileName(options, t);
            benchmark::DoNotOptimize(store->Import({reports[static_cast<std::size_t>(t)], read, none, name, name}));
        }
        state.PauseTiming();
        if (postgres) {
            bytes = static_cast<double>(std::get<std::int64_t>(
                        store->Database().Query("SELECT pg_database_size(current_database())").at(0).at(0))) -
                    before;
        } else {
            store->Database().Query("PRAGMA wal_checkpoint(TRUNCATE)");
            bytes = static_cast<double>(std::filesystem::file_size(location));
        }
        store.reset();
        state.ResumeTiming();
    }
    state.counters["per_report_ms"] = benchmark::Counter(
        static_cast<double>(count) * 1e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["year_minutes"] =
        benchmark::Counter(static_cast<double>(count) / 35'040.0 * 60,
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["bytes_per_report"] = bytes / count;
}

void BM_ImportSeriesSqlite(benchmark::State& state) {
    MeasureImport(state, false);
}
BENCHMARK(BM_ImportSeriesSqlite)->Arg(250)->Arg(500)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void BM_ImportSeriesPostgres(benchmark::State& state) {
    if (PostgresUri() == nullptr) {
        state.SkipWithError("no server: run under tests/history/postgres_server.sh (ORNEXA_TEST_POSTGRES_URI)");
        return;
    }
    MeasureImport(state, true);
}
BENCHMARK(BM_ImportSeriesPostgres)->Arg(250)->Arg(500)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
