#pragma once

#include <bitset>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/health_overview.h"
#include "advice/pool_ratings.h"
#include "history/sql_database.h"
#include "report/collection_date.h"
#include "report/report_model.h"
#include "report/result.h"
#include "report/stat_reader.h"
#include "simulation/sim_data.h"

namespace ornexa {

// A figure of the store, or why it could not be had (the database's message, with what was being
// done). Every store call answers with one; none throws.
template <class T> using HistoryResult = Result<T>;

// One report held, as the list of reports shows it.
struct HistoryReportInfo {
    std::int64_t id = 0;
    std::string fileName;    // the path it was imported from
    std::string system;      // SystemName, trimmed
    std::string subsystem;   // SubSystemName, trimmed
    std::string collectedAt; // ISO 8601, "2026-11-30T10:15:00"; the header's own text when it does not parse
    std::string db2Version;
    std::string importedAt; // ISO 8601 UTC, "2026-12-07T18:20:31Z"
    std::int64_t elapsedSeconds = 0;
    int pools = 0;
    int objects = 0;
    bool hasSimulation = false;
    // An interval of Db2's display output rather than a monitor's report: the figures the display does
    // not give are "not in this input".
    bool db2Display = false;
    // Another report of the same system, subsystem and collection time with other content, held
    // before this one; empty when none.
    std::optional<std::int64_t> sameTimeAs;
};

// Which reports a list or a trend covers: an empty text matches every value.
struct HistoryFilter {
    std::string system;
    std::string subsystem;
};

// Which reports the health overview covers: those of the filter collected from `since` up to `until`
// (ISO 8601 texts, "2026-11-30T10:15:00", compared as text; empty is open).
struct HealthQuery {
    HistoryFilter filter;
    std::string since;
    std::string until;
};

enum class ImportStatus {
    Imported,        // stored
    AlreadyPresent,  // the same content is held: "already in the history"
    Refused,         // not a report that loaded whole, or the database refused it; nothing stored
    SimulationAdded, // the same content is held without a simulation: the Simulation report's sizes were added
};

struct ImportOutcome {
    ImportStatus status = ImportStatus::Refused;
    std::int64_t reportId = 0; // the report stored, or the one already held
    std::string message;       // the reason of a refusal, or what was noticed ("same time, other content")
    std::optional<std::int64_t> sameTimeAs;
    // Already present with a simulation other than the one given, which was not stored: the report keeps its own.
    bool otherSimulation = false;
};

// What an import is given: the report as read, how its read ended, the Simulation report read with
// it (or an empty one), and the bytes of the Statistics file (hashed to know it again).
struct ImportSource {
    const Report& report;
    const StatReadResult& read;
    const SimulationData& simulation;
    std::string_view statisticsContent;
    std::string fileName;
    // The thresholds the report's ratings are kept with; the built-in ones when none are given.
    const RatingSettings* ratingSettings = nullptr;
};

// A pool's figures in one report of a trend.
struct PoolTrendPoint {
    HistoryReportInfo report;
    PoolRecord pool;                // every field as stored
    std::optional<double> hitRatio; // PoolHitRatio, as the pool list shows it
    std::optional<double> getPagesPerSecond;
    std::optional<double> syncReadIOsPerSecond;
    std::optional<double> pagesWrittenPerSecond;
    // For a report of Db2's display output, the pool's fields the display gave (by pool catalogue place);
    // the figures above are absent where it did not give them. Nothing for a monitor's report.
    std::optional<std::bitset<PoolFieldCount>> fieldsGiven;
    [[nodiscard]] bool Given(std::size_t field) const { return !fieldsGiven || fieldsGiven->test(field); }
    // The pool's VPSIZE and VPSEQT, absent where the input did not give them.
    [[nodiscard]] std::optional<std::int64_t> VPSize() const;
    [[nodiscard]] std::optional<std::int64_t> VPSeqThreshold() const;
};

// An object's figures in one report of a trend (one point per report and pool it was in).
struct ObjectTrendPoint {
    HistoryReportInfo report;
    std::string poolName;
    std::string objectType;
    std::optional<double> getPagesPerSecond;
    std::optional<double> sysHitRatio; // absent for a report of Db2's display output, which does not give it
};

// A report as stored: its facts, the records (a Report a comparison or a view can read), and the
// simulated sizes of its simulated pool when it was imported with a Simulation report.
struct SimulatedSize {
    int pool = 0; // 1-based pool number in the report
    int size = 0; // 1-based size number
    std::int64_t buffers = 0;
    double sysHitRatio = 0;
    double readIORate = 0;
};
struct StoredReport {
    HistoryReportInfo info;
    Report report;
    std::vector<SimulatedSize> simulatedSizes;
};

// The report history: every report imported, in a SQLite file or on a PostgreSQL server. The
// schema is made or brought up to date when the store opens. A store is used by one thread at a
// time: a thread of its own opens a store of its own.
class HistoryStore {
public:
    explicit HistoryStore(std::unique_ptr<SqlDatabase> db);

    // Opens (and creates or migrates) the history at a file path or a `postgresql://` URI; `timeout`
    // bounds each statement on a server.
    static HistoryResult<std::shared_ptr<HistoryStore>> Open(const std::string& location,
                                                             std::chrono::seconds timeout = DefaultHistoryTimeout);

    [[nodiscard]] std::string Location() const { return db_->Location(); }
    [[nodiscard]] SqlDialect Dialect() const { return db_->Dialect(); }

    // The whole report in one transaction, or nothing. A report already held takes the simulation of
    // the source when it has none yet, in the same way.
    ImportOutcome Import(const ImportSource& source);
    // The bounds an import rates its pools with when its source names none (the built-in bounds until
    // set): the site's, so that the overview finds its verdicts stored.
    void RateImportsWith(const RatingSettings& settings);
    HistoryResult<std::vector<HistoryReportInfo>> Reports(const HistoryFilter& filter = {});
    HistoryResult<HistoryReportInfo> Info(std::int64_t id);
    HistoryResult<StoredReport> Load(std::int64_t id);
    // Removes a report with its pools, objects and simulated sizes.
    HistoryResult<bool> Remove(std::int64_t id);

    // The pool names held, in name order.
    HistoryResult<std::vector<std::string>> PoolNames(const HistoryFilter& filter = {});
    // Object names held that contain `part` (any case), in name order, at most `limit`.
    HistoryResult<std::vector<std::string>> ObjectNames(std::string_view part, int limit,
                                                        const HistoryFilter& filter = {});
    // A pool's figures in every report that has it, by collection time (then import order).
    HistoryResult<std::vector<PoolTrendPoint>> PoolTrend(std::string_view poolName, const HistoryFilter& filter = {});
    HistoryResult<std::vector<ObjectTrendPoint>> ObjectTrend(std::string_view objectName,
                                                             const HistoryFilter& filter = {});

    // Pools as rows, the reports of `query` as columns by collection time, each cell the pool's worst
    // rating in that report. Read from the ratings kept at import: fast when `settings` are those they
    // were kept with; a report rated with other thresholds is judged again from its kept values.
    HistoryResult<HealthOverview> Health(const HealthQuery& query, const RatingSettings& settings = {});
    // Every pool of a report held, rated: the ratings kept at import, judged against `settings`.
    HistoryResult<std::vector<PoolRating>> Ratings(std::int64_t id, const RatingSettings& settings = {});

    // The schema version this program writes.
    static int CurrentSchemaVersion();

    SqlDatabase& Database() { return *db_; }

private:
    enum class SimulationMatch { Added, Same, Other };
    // Inside an import's transaction: gives report `id` the simulated sizes of `sim` when it has none;
    // else tells whether those it holds are the same.
    SimulationMatch AddSimulation(std::int64_t id, const SimulationData& sim);

    std::unique_ptr<SqlDatabase> db_;
    RatingSettings importRatings_;
    std::string importRatingsKey_;
};

// The content hash that tells a report again: XXH3-128 of the file's bytes, 32 hex digits.
std::string ContentHash(std::string_view content);

// What one file gave the history: an outcome per report it holds (a monitor's Statistics report is
// one; a file of Db2's display output holds one per interval, in file order), or the one refusal of a
// file that did not load; and for a display, the warnings of its read ("line 40: ...").
struct FileImportOutcome {
    std::vector<ImportOutcome> reports;
    bool db2Display = false;
    int intervals = 0; // of a display: the intervals the file gave
    std::vector<std::string> warnings;
};

// Reads a Statistics report (and the Simulation report beside it, when given), or a file of Db2's
// display output, and imports every report it holds, rated with `ratingSettings` (the built-in
// thresholds when none are given). A report that does not load whole (within
// `limits`) is refused with the read's own message; a display that ends inside a pool's section loads
// with a warning and is imported, a display whose read stopped on a fault is refused whole.
FileImportOutcome ImportFile(HistoryStore& store, const std::string& statisticsPath,
                             const std::string& simulationPath = {}, const ReportLimits& limits = {},
                             const RatingSettings* ratingSettings = nullptr);

// ImportFile for one report: for a display, the outcome of its last interval (the one a window shows),
// or of the first interval refused.
ImportOutcome ImportReportFile(HistoryStore& store, const std::string& statisticsPath,
                               const std::string& simulationPath = {}, const ReportLimits& limits = {});

} // namespace ornexa
