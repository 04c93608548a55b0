#include "history/history_store.h"

#include <xxhash.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "display/display_reader.h"
#include "history/history_schema.h"
#include "history/stored_db2_facts.h"
#include "history/stored_ratings.h"
#include "history/stored_rows.h"
#include "history/stored_text.h"
#include "load/report_load.h"
#include "report/messages.h"
#include "report/record_catalogue.h"
#include "simulation/sim_reader.h"

namespace ornexa {

namespace {

// The pool fields a trend's figures are made of, by pool catalogue place.
struct TrendFieldPlaces {
    std::size_t hitRatio = FieldIndex<PoolRecord>(PoolCatalogue(), "PoolHitRatio");
    std::size_t getPages = FieldIndex<PoolRecord>(PoolCatalogue(), "PoolGetPages");
    std::size_t syncReadIOs = FieldIndex<PoolRecord>(PoolCatalogue(), "PoolReadIOsByType(1)");
    std::size_t pagesWritten = FieldIndex<PoolRecord>(PoolCatalogue(), "PoolPagesWritten");
};
const TrendFieldPlaces& TrendFields() {
    static const TrendFieldPlaces places;
    return places;
}

// Ids and names the store's own queries give back.
std::int64_t AsInteger(const SqlValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    return 0;
}

std::string AsText(const SqlValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    return {};
}

std::string NowUtc() {
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    const auto day = std::chrono::floor<std::chrono::days>(now);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{now - day};
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<long>(time.hours().count()), static_cast<long>(time.minutes().count()),
                  static_cast<long>(time.seconds().count()));
    return text.data();
}

// The filter's conditions on `reports r`, with their parameters appended.
std::string FilterSql(const HistoryFilter& filter, SqlParams& params) {
    std::string sql;
    if (!filter.system.empty()) {
        sql += " AND r.system_name = ?";
        params.emplace_back(filter.system);
    }
    if (!filter.subsystem.empty()) {
        sql += " AND r.subsystem_name = ?";
        params.emplace_back(filter.subsystem);
    }
    return sql;
}

// The pool names of the reports the filter takes, in name order.
std::vector<std::string> HeldPoolNames(SqlDatabase& db, const HistoryFilter& filter) {
    SqlParams params;
    const std::string sql = "SELECT DISTINCT p.poolname FROM pools p JOIN reports r ON r.id = p.report_id WHERE 1 = 1" +
                            FilterSql(filter, params) + " ORDER BY p.poolname";
    std::vector<std::string> names;
    for (const SqlRow& row : db.Query(sql, params)) {
        names.push_back(AsText(row.at(0)));
    }
    return names;
}

std::optional<double> PerSecond(double count, std::int64_t seconds) {
    if (seconds <= 0) {
        return std::nullopt;
    }
    return count / static_cast<double>(seconds);
}

// The texts of a read's boxes, one after the other.
std::string MessageTexts(const Messages& messages) {
    std::string text;
    for (const Message& message : messages) {
        if (!text.empty()) {
            text += ' ';
        }
        text += message.text;
    }
    return text;
}

ImportOutcome Refusal(std::string message) {
    ImportOutcome outcome;
    outcome.status = ImportStatus::Refused;
    outcome.message = std::move(message);
    return outcome;
}

// Runs a query and turns a refusal into the result's fault.
template <class T, class Work> HistoryResult<T> Answer(const std::string& doing, Work work) {
    HistoryResult<T> result;
    try {
        result.value = work();
    } catch (const SqlError& error) {
        result.messages = FaultMessages(doing + ": " + error.what());
    }
    return result;
}

} // namespace

std::optional<std::int64_t> PoolTrendPoint::VPSize() const {
    static const std::size_t field = FieldIndex<PoolRecord>(PoolCatalogue(), "VPSize");
    return Given(field) ? std::optional<std::int64_t>(pool.VPSize) : std::nullopt;
}

std::optional<std::int64_t> PoolTrendPoint::VPSeqThreshold() const {
    static const std::size_t field = FieldIndex<PoolRecord>(PoolCatalogue(), "VPSeqThreshold");
    return Given(field) ? std::optional<std::int64_t>(pool.VPSeqThreshold) : std::nullopt;
}

HistoryStore::HistoryStore(std::unique_ptr<SqlDatabase> db) : db_(std::move(db)) {
    MigrateHistory(*db_);
}

HistoryResult<std::shared_ptr<HistoryStore>> HistoryStore::Open(const std::string& location,
                                                                std::chrono::seconds timeout) {
    return Answer<std::shared_ptr<HistoryStore>>("The report history could not be opened", [&location, timeout] {
        return std::make_shared<HistoryStore>(OpenSqlDatabase(location, timeout));
    });
}

int HistoryStore::CurrentSchemaVersion() {
    return HistorySchemaVersion;
}

namespace {
// Object rows sent to the database at a time.
constexpr std::size_t ObjectBatch = 4096;

constexpr const char* InsertSimulatedSize = "INSERT INTO simulated_sizes (report_id, pool_number, size_number, "
                                            "buffers, sys_hit_ratio, read_io_rate) VALUES (?, ?, ?, ?, ?, ?)";

// The rows of simulated_sizes for the simulated pool of `sim`, in size order.
std::vector<SqlParams> SimulatedSizeRows(std::int64_t id, const SimulationData& sim) {
    const int simPool = sim.ShownPool();
    const PoolSimulation& values = sim.Pools(simPool);
    std::vector<SqlParams> sizes;
    for (int s = 1; s <= sim.SizeCount(); ++s) {
        sizes.push_back({id, static_cast<std::int64_t>(simPool), static_cast<std::int64_t>(s),
                         static_cast<std::int64_t>(values.SimPoolSize(s)), values.SimSysHitRatio(s),
                         values.SimReadIORate(s)});
    }
    return sizes;
}
} // namespace

HistoryStore::SimulationMatch HistoryStore::AddSimulation(std::int64_t id, const SimulationData& sim) {
    const std::vector<SqlParams> sizes = SimulatedSizeRows(id, sim);
    // The flag is turned first: of two programs adding a simulation at once, the second finds it
    // turned (PostgreSQL holds its update until the first one's transaction ends) and adds nothing.
    if (!db_->Query("UPDATE reports SET has_simulation = 1 WHERE id = ? AND has_simulation = 0 RETURNING id", {id})
             .empty()) {
        db_->ExecuteMany(InsertSimulatedSize, sizes);
        return SimulationMatch::Added;
    }
    const auto stored = db_->Query("SELECT report_id, pool_number, size_number, buffers, sys_hit_ratio, read_io_rate "
                                   "FROM simulated_sizes WHERE report_id = ? ORDER BY pool_number, size_number",
                                   {id});
    const std::string where = "report " + std::to_string(id) + ", a simulated size";
    const bool same = std::equal(
        stored.begin(), stored.end(), sizes.begin(), sizes.end(), [&where](const SqlRow& held, const SqlParams& given) {
            for (std::size_t i = 0; i < given.size(); ++i) {
                if (NumberAt(held, i, "simulated_sizes", where) != NumberAt(given, i, "simulated_sizes", where)) {
                    return false;
                }
            }
            return true;
        });
    return same ? SimulationMatch::Same : SimulationMatch::Other;
}

namespace {

// What tells a report apart in the history: its content, and its system, subsystem and collection time.
struct ReportKeys {
    const std::string& hash;
    const std::string& system;
    const std::string& subsystem;
    const std::string& collectedAt;
};

// The report's row: what lists and trends read of it, then the header's fields.
// The first report held of the same system, subsystem and collection time, if any.
std::optional<std::int64_t> SameTimeAs(SqlDatabase& db, const ReportKeys& keys) {
    const auto sameTime = db.Query("SELECT id FROM reports WHERE system_name = ? AND subsystem_name = ? AND "
                                   "collected_at = ? ORDER BY id LIMIT 1",
                                   {keys.system, keys.subsystem, keys.collectedAt});
    if (sameTime.empty()) {
        return std::nullopt;
    }
    return AsInteger(sameTime.front().at(0));
}

SqlParams ReportRow(const ImportSource& source, const ReportKeys& keys, std::optional<std::int64_t> sameTimeAs) {
    const Report& report = source.report;
    SqlParams row{keys.hash,
                  source.fileName,
                  keys.system,
                  keys.subsystem,
                  keys.collectedAt,
                  StoredText(report.Header.Db2Version.Trimmed()),
                  NowUtc(),
                  static_cast<std::int64_t>(report.ElapsedSeconds),
                  static_cast<std::int64_t>(source.read.usaReport ? 1 : 0),
                  static_cast<std::int64_t>(report.PoolCount()),
                  static_cast<std::int64_t>(report.ObjectCount()),
                  static_cast<std::int64_t>(source.simulation.ShownPool() != 0 ? 1 : 0),
                  sameTimeAs ? SqlValue(*sameTimeAs) : SqlValue(),
                  std::string(report.Db2Display ? Db2DisplayInputKind : StatisticsInputKind),
                  report.Db2Display ? SqlValue(StoredDb2Facts(*report.Db2Display)) : SqlValue()};
    AppendFieldValues(row, report.Header, HeaderCatalogue());
    return row;
}

const std::string& InsertReport() {
    static const std::string sql =
        InsertSql("reports",
                  {"content_hash", "file_name", "system_name", "subsystem_name", "collected_at", "db2_version",
                   "imported_at", "elapsed_seconds", "usa_report", "pool_count", "object_count", "has_simulation",
                   "same_time_as", "input_kind", "db2_facts"},
                  HeaderCatalogue()) +
        " ON CONFLICT (content_hash) DO NOTHING RETURNING id";
    return sql;
}

void InsertPools(SqlDatabase& db, std::int64_t id, const Report& report) {
    static const std::string insertPool = InsertSql(
        "pools", {"report_id", "pool_number", "first_object", "last_object", "fields_given"}, PoolCatalogue());
    std::vector<SqlParams> pools;
    pools.reserve(static_cast<std::size_t>(report.PoolCount()));
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolRecord& pool = report.Pools(p);
        const Db2PoolFacts* facts = report.Db2Display && static_cast<std::size_t>(p) <= report.Db2Display->pools.size()
                                        ? &report.Db2Display->pools[static_cast<std::size_t>(p - 1)]
                                        : nullptr;
        SqlParams row{id, static_cast<std::int64_t>(p), static_cast<std::int64_t>(pool.FirstObject),
                      static_cast<std::int64_t>(pool.LastObject),
                      facts != nullptr ? SqlValue(StoredPoolFieldsGiven(*facts)) : SqlValue()};
        row.reserve(row.size() + PoolFieldCount);
        AppendFieldValues(row, pool, PoolCatalogue());
        pools.push_back(std::move(row));
    }
    db.ExecuteMany(insertPool, pools);
}

// The objects go in in batches: the rows of a large site's hundreds of thousands of objects would
// take several times the report's own memory. Each object's name joins the names held.
void InsertObjects(SqlDatabase& db, std::int64_t id, const Report& report) {
    static const std::string insertObject = InsertSql("objects", {"report_id", "object_number"}, ObjectCatalogue());
    static const std::size_t nameField = FieldIndex<ObjectRecord>(ObjectCatalogue(), "ObjName");
    std::vector<SqlParams> objects;
    std::vector<SqlParams> names;
    objects.reserve(std::min<std::size_t>(ObjectBatch, static_cast<std::size_t>(report.ObjectCount())));
    names.reserve(objects.capacity());
    const auto flush = [&] {
        db.ExecuteMany(insertObject, objects);
        db.ExecuteMany("INSERT INTO object_names (name) VALUES (?) ON CONFLICT (name) DO NOTHING", names);
        objects.clear();
        names.clear();
    };
    for (int o = 1; o <= report.ObjectCount(); ++o) {
        const ObjectRecord& object = report.Objects(o);
        SqlParams row{id, static_cast<std::int64_t>(o)};
        row.reserve(row.size() + ObjectFieldCount);
        const std::size_t first = row.size();
        AppendFieldValues(row, object, ObjectCatalogue());
        names.push_back({row.at(first + nameField)});
        objects.push_back(std::move(row));
        if (objects.size() == ObjectBatch) {
            flush();
        }
    }
    if (!objects.empty()) {
        flush();
    }
}

} // namespace

ImportOutcome HistoryStore::Import(const ImportSource& source) {
    const Report& report = source.report;
    if (!source.read.Loaded() || !report.StatFileLoaded) {
        const std::string why = MessageTexts(MessagesOf(source.read));
        return Refusal("the report did not load" + (why.empty() ? std::string() : ": " + why));
    }
    if (source.read.cutShort) {
        return Refusal("the report names " + std::to_string(source.read.cutShort->named) +
                       " buffer pools but the file holds " + std::to_string(source.read.cutShort->held) +
                       ": it may have been cut short");
    }
    // A monitor's report is known again by its file's bytes; an interval of a display by its own
    // figures, as a file of displays holds many intervals and the same interval may come in other files.
    const std::string hash =
        report.Db2Display ? ContentHash(DisplayIntervalContent(report)) : ContentHash(source.statisticsContent);
    const ReportHeader& header = report.Header;
    const std::string system = StoredText(header.SystemName.Trimmed());
    const std::string subsystem = StoredText(header.SubSystemName.Trimmed());
    const std::string collectedAt =
        CollectionTimestamp(header.CollectionDate.Trimmed(), header.CollectionTime.Trimmed())
            .value_or(StoredText(header.CollectionDate.Trimmed()) + " " + StoredText(header.CollectionTime.Trimmed()));
    const SimulationData& sim = source.simulation;
    const int simPool = sim.ShownPool();

    try {
        SqlTransaction transaction(*db_);
        ImportOutcome outcome;
        const auto alreadyHeld = [&](std::int64_t id) {
            outcome.reportId = id;
            outcome.status = ImportStatus::AlreadyPresent;
            outcome.message = "already in the history";
            if (simPool != 0) {
                const SimulationMatch match = AddSimulation(outcome.reportId, sim);
                if (match == SimulationMatch::Added) {
                    outcome.status = ImportStatus::SimulationAdded;
                    outcome.message = "simulation added to report " + std::to_string(outcome.reportId);
                } else if (match == SimulationMatch::Other) {
                    outcome.otherSimulation = true;
                    outcome.message = "already in the history; it holds another simulation, which it keeps";
                }
            }
            transaction.Commit();
            return outcome;
        };
        const auto held = db_->Query("SELECT id FROM reports WHERE content_hash = ?", {hash});
        if (!held.empty()) {
            return alreadyHeld(AsInteger(held.front().at(0)));
        }
        const ReportKeys keys{hash, system, subsystem, collectedAt};
        outcome.sameTimeAs = SameTimeAs(*db_, keys);
        const auto inserted = db_->Query(InsertReport(), ReportRow(source, keys, outcome.sameTimeAs));
        if (inserted.empty()) {
            // Another program stored the same content after the look above, and its transaction has ended.
            const auto stored = db_->Query("SELECT id FROM reports WHERE content_hash = ?", {hash});
            if (stored.empty()) {
                throw SqlError("another program stored the same report and removed it again meanwhile");
            }
            return alreadyHeld(AsInteger(stored.front().at(0)));
        }
        const std::int64_t id = AsInteger(inserted.at(0).at(0));
        InsertPools(*db_, id, report);
        InsertObjects(*db_, id, report);
        if (importRatingsKey_.empty()) {
            importRatingsKey_ = RatingSettingsKey(importRatings_);
        }
        const RatingSettings& settings = source.ratingSettings != nullptr ? *source.ratingSettings : importRatings_;
        StoreRatings(*db_, id, {system, subsystem, collectedAt}, RateReport(report, settings),
                     source.ratingSettings != nullptr ? RatingSettingsKey(settings) : importRatingsKey_);
        if (simPool != 0) {
            db_->ExecuteMany(InsertSimulatedSize, SimulatedSizeRows(id, sim));
        }
        transaction.Commit();
        outcome.status = ImportStatus::Imported;
        outcome.reportId = id;
        if (outcome.sameTimeAs) {
            outcome.message = "another report of " + system + " " + subsystem + " collected at " + collectedAt +
                              " is held with other content (report " + std::to_string(*outcome.sameTimeAs) + ")";
        }
        return outcome;
    } catch (const SqlError& error) {
        return Refusal(std::string("not kept: ") + error.what());
    }
}

HistoryResult<std::vector<HistoryReportInfo>> HistoryStore::Reports(const HistoryFilter& filter) {
    return Answer<std::vector<HistoryReportInfo>>("The reports held could not be listed", [&] {
        SqlParams params;
        const std::string sql = std::string("SELECT ") + InfoColumns + " FROM reports r WHERE 1 = 1" +
                                FilterSql(filter, params) + " ORDER BY r.collected_at, r.id";
        std::vector<HistoryReportInfo> infos;
        for (const SqlRow& row : db_->Query(sql, params)) {
            infos.push_back(InfoFromRow(row));
        }
        return infos;
    });
}

HistoryResult<HistoryReportInfo> HistoryStore::Info(std::int64_t id) {
    return Answer<HistoryReportInfo>("Report " + std::to_string(id) + " could not be read", [&] {
        const auto rows = db_->Query(std::string("SELECT ") + InfoColumns + " FROM reports r WHERE r.id = ?", {id});
        if (rows.empty()) {
            throw SqlError("the history holds no report " + std::to_string(id));
        }
        return InfoFromRow(rows.front());
    });
}

HistoryResult<StoredReport> HistoryStore::Load(std::int64_t id) {
    return Answer<StoredReport>("Report " + std::to_string(id) + " could not be read",
                                [&] { return ReportFromRows(QueryStoredRows(*db_, id)); });
}

void HistoryStore::RateImportsWith(const RatingSettings& settings) {
    importRatings_ = settings;
    importRatingsKey_ = RatingSettingsKey(settings);
}

HistoryResult<HealthOverview> HistoryStore::Health(const HealthQuery& query, const RatingSettings& settings) {
    return Answer<HealthOverview>("The health overview could not be made",
                                  [&] { return StoredHealth(*db_, query, settings); });
}

HistoryResult<std::vector<PoolRating>> HistoryStore::Ratings(std::int64_t id, const RatingSettings& settings) {
    return Answer<std::vector<PoolRating>>("The ratings of report " + std::to_string(id) + " could not be read",
                                           [&] { return StoredRatings(*db_, id, settings); });
}

HistoryResult<bool> HistoryStore::Remove(std::int64_t id) {
    return Answer<bool>("Report " + std::to_string(id) + " could not be removed", [&] {
        SqlTransaction transaction(*db_);
        const auto removed = db_->Query("DELETE FROM reports WHERE id = ? RETURNING id", {id});
        if (removed.empty()) {
            throw SqlError("the history holds no report " + std::to_string(id));
        }
        db_->Query("DELETE FROM object_names WHERE NOT EXISTS "
                   "(SELECT 1 FROM objects o WHERE o.objname = object_names.name)");
        transaction.Commit();
        return true;
    });
}

HistoryResult<std::vector<std::string>> HistoryStore::PoolNames(const HistoryFilter& filter) {
    return Answer<std::vector<std::string>>("The pool names could not be listed",
                                            [&] { return HeldPoolNames(*db_, filter); });
}

HistoryResult<std::vector<std::string>> HistoryStore::ObjectNames(std::string_view part, int limit,
                                                                  const HistoryFilter& filter) {
    return Answer<std::vector<std::string>>("The object names could not be listed", [&] {
        // The part is a text to find, not a pattern: its own wildcards are escaped.
        std::string pattern = "%";
        for (const char c : part) {
            if (c == '%' || c == '_' || c == '\\') {
                pattern += '\\';
            }
            pattern += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        pattern += '%';
        SqlParams params{pattern};
        std::string sql = "SELECT n.name FROM object_names n WHERE lower(n.name) LIKE ? ESCAPE '\\'";
        if (!filter.system.empty() || !filter.subsystem.empty()) {
            sql +=
                " AND EXISTS (SELECT 1 FROM objects o JOIN reports r ON r.id = o.report_id WHERE o.objname = n.name" +
                FilterSql(filter, params) + ")";
        }
        sql += " ORDER BY n.name LIMIT ?";
        params.emplace_back(static_cast<std::int64_t>(std::max(limit, 0)));
        std::vector<std::string> names;
        for (const SqlRow& row : db_->Query(sql, params)) {
            names.push_back(AsText(row.at(0)));
        }
        return names;
    });
}

HistoryResult<std::vector<PoolTrendPoint>> HistoryStore::PoolTrend(std::string_view poolName,
                                                                   const HistoryFilter& filter) {
    return Answer<std::vector<PoolTrendPoint>>("The trend of " + std::string(poolName) + " could not be read", [&] {
        // The pool is named as the other commands name it ("bp1" is BP1): the names held that it
        // matches are looked up as they are stored.
        SqlParams params;
        for (std::string& held : HeldPoolNames(*db_, filter)) {
            if (SamePoolName(held, poolName)) {
                params.emplace_back(std::move(held));
            }
        }
        std::vector<PoolTrendPoint> points;
        if (params.empty()) {
            return points;
        }
        const std::string marks = Placeholders(params.size());
        const std::string sql =
            std::string("SELECT ") + InfoColumns + ", p.first_object, p.last_object, " +
            ColumnList(PoolColumnNames(), "p.") +
            ", p.fields_given FROM pools p JOIN reports r ON r.id = p.report_id WHERE p.poolname IN (" + marks + ")" +
            FilterSql(filter, params) + " ORDER BY r.collected_at, r.id, p.pool_number";
        for (SqlRow& row : db_->Query(sql, params)) {
            const SqlValue given = std::move(row.back());
            row.pop_back();
            PoolTrendPoint point;
            point.report = InfoFromRow(row);
            const std::string where = "the pool in report " + std::to_string(point.report.id);
            point.pool = PoolFromRow(row, InfoColumnCount, where);
            if (point.report.db2Display) {
                point.fieldsGiven = PoolFieldsGivenFromStored(TextAt({given}, 0, "fields_given", where));
                if (!point.fieldsGiven) {
                    throw SqlError(where + ", column fields_given holds no set of the pool's given fields");
                }
            }
            const std::int64_t seconds = point.report.elapsedSeconds;
            const auto ifGiven = [&point](std::size_t field, std::optional<double> value) {
                return point.Given(field) ? value : std::nullopt;
            };
            point.hitRatio = ifGiven(TrendFields().hitRatio, point.pool.PoolHitRatio);
            point.getPagesPerSecond = ifGiven(TrendFields().getPages, PerSecond(point.pool.PoolGetPages, seconds));
            point.syncReadIOsPerSecond =
                ifGiven(TrendFields().syncReadIOs, PerSecond(point.pool.PoolReadIOsByType(1), seconds));
            point.pagesWrittenPerSecond =
                ifGiven(TrendFields().pagesWritten, PerSecond(point.pool.PoolPagesWritten, seconds));
            points.push_back(std::move(point));
        }
        return points;
    });
}

HistoryResult<std::vector<ObjectTrendPoint>> HistoryStore::ObjectTrend(std::string_view objectName,
                                                                       const HistoryFilter& filter) {
    return Answer<std::vector<ObjectTrendPoint>>("The trend of " + std::string(objectName) + " could not be read", [&] {
        SqlParams params{std::string(objectName)};
        const std::string sql = std::string("SELECT ") + InfoColumns +
                                ", o.objpoolname, o.objtype, o.objgetpages, o.syshitratio FROM objects o "
                                "JOIN reports r ON r.id = o.report_id WHERE o.objname = ?" +
                                FilterSql(filter, params) + " ORDER BY r.collected_at, r.id, o.object_number";
        std::vector<ObjectTrendPoint> points;
        for (const SqlRow& row : db_->Query(sql, params)) {
            ObjectTrendPoint point;
            point.report = InfoFromRow(row);
            const std::string where = "the object in report " + std::to_string(point.report.id);
            point.poolName = TextAt(row, InfoColumnCount, "objpoolname", where);
            point.objectType = TextAt(row, InfoColumnCount + 1, "objtype", where);
            // Db2's display gives no per-object getpages or reads: its objects have no point.
            if (!point.report.db2Display) {
                point.getPagesPerSecond =
                    PerSecond(NumberAt(row, InfoColumnCount + 2, "objgetpages", where), point.report.elapsedSeconds);
                point.sysHitRatio = NumberAt(row, InfoColumnCount + 3, "syshitratio", where);
            }
            points.push_back(std::move(point));
        }
        return points;
    });
}

std::string ContentHash(std::string_view content) {
    const XXH128_hash_t hash = XXH3_128bits(content.data(), content.size());
    std::array<char, 33> text{};
    std::snprintf(text.data(), text.size(), "%016llx%016llx", static_cast<unsigned long long>(hash.high64),
                  static_cast<unsigned long long>(hash.low64));
    return text.data();
}

namespace {

// Every interval of a file of Db2's display output, each a report of its own.
FileImportOutcome ImportDisplay(HistoryStore& store, const std::string& bytes, const std::string& fileName,
                                const ReportLimits& limits, const RatingSettings* ratingSettings) {
    FileImportOutcome file;
    file.db2Display = true;
    const DisplayReports read = ReadDisplayReports(bytes, limits);
    if (!read.result.Loaded()) {
        // A read that stopped on a fault keeps nothing, not even the intervals before it.
        const std::string why = MessageTexts(MessagesOf(read.result));
        file.reports.push_back(Refusal("the report did not load" + (why.empty() ? std::string() : ": " + why)));
        return file;
    }
    for (const ReadNote& note : read.result.notes) {
        if (note.warning) {
            file.warnings.push_back((note.line > 0 ? "line " + std::to_string(note.line) + ": " : std::string()) +
                                    note.text);
        }
    }
    file.intervals = static_cast<int>(read.reports.size());
    const SimulationData none;
    for (const Report& report : read.reports) {
        file.reports.push_back(store.Import({report, read.result, none, bytes, fileName, ratingSettings}));
    }
    return file;
}

} // namespace

FileImportOutcome ImportFile(HistoryStore& store, const std::string& statisticsPath, const std::string& simulationPath,
                             const ReportLimits& limits, const RatingSettings* ratingSettings) {
    // The file is read once: the figures and the content hash come from the same bytes, even from a
    // pipe, which would give other bytes (or wait for a writer for ever) if it were opened again.
    LoadRequest request;
    request.statistics = std::filesystem::path(statisticsPath);
    if (!simulationPath.empty()) {
        request.simulation = simulationPath;
    }
    request.limits = limits;
    request.keepBytes = true;
    const LoadedReport loaded = LoadReport(request);
    FileImportOutcome file;
    if (loaded.outcome.bytesFailure) {
        file.reports.push_back(Refusal("the report did not load: " + *loaded.outcome.bytesFailure));
        return file;
    }
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(statisticsPath, error);
    const std::string fileName = error ? statisticsPath : absolute.lexically_normal().string();
    if (loaded.outcome.statisticsKind == ReportKind::Db2Display) {
        if (!simulationPath.empty()) {
            file.db2Display = true;
            file.reports.push_back(Refusal("a Simulation report goes with a monitor's Statistics report, not with "
                                           "Db2's display output"));
            return file;
        }
        return ImportDisplay(store, loaded.outcome.bytes, fileName, limits, ratingSettings);
    }
    if (loaded.outcome.simRead && !loaded.outcome.simRead->Loaded()) {
        const std::string why = MessageTexts(loaded.outcome.simMessages);
        file.reports.push_back(
            Refusal("the Simulation report did not load" + (why.empty() ? std::string() : ": " + why)));
        return file;
    }
    file.reports.push_back(store.Import(
        {loaded.report, loaded.outcome.statRead, loaded.sim, loaded.outcome.bytes, fileName, ratingSettings}));
    return file;
}

ImportOutcome ImportReportFile(HistoryStore& store, const std::string& statisticsPath,
                               const std::string& simulationPath, const ReportLimits& limits) {
    FileImportOutcome file = ImportFile(store, statisticsPath, simulationPath, limits);
    const auto refused = std::find_if(file.reports.begin(), file.reports.end(),
                                      [](const ImportOutcome& o) { return o.status == ImportStatus::Refused; });
    if (refused != file.reports.end()) {
        return std::move(*refused);
    }
    if (file.reports.empty()) {
        return Refusal("the file holds no interval to keep");
    }
    return std::move(file.reports.back());
}

} // namespace ornexa
