#include "history/history_schema.h"

#include <functional>
#include <vector>

#include "report/record_fields.h"

namespace ornexa {

const std::array<std::string_view, HeaderFieldCount>& HeaderColumnNames() {
    static const std::array<std::string_view, HeaderFieldCount> names{
        "headerfield01",  "headerfield02", "headerfield03",   "systemname",    "subsystemname", "collectiondate",
        "collectiontime", "db2version",    "reportpoolcount", "headervalue10", "headervalue11", "headervalue12",
        "headervalue13",  "headervalue14", "headervalue15",   "headervalue16", "elapsedtime"};
    return names;
}

const std::array<std::string_view, PoolFieldCount>& PoolColumnNames() {
    static const std::array<std::string_view, PoolFieldCount> names{"poolqualifier",
                                                                    "poolname",
                                                                    "poolstat03",
                                                                    "vpsize",
                                                                    "vpseqthreshold",
                                                                    "hpsize",
                                                                    "hpseqthreshold",
                                                                    "castout",
                                                                    "poolgetpages",
                                                                    "poolstat10",
                                                                    "poolgetpagesseq",
                                                                    "poolgetpagesrandom",
                                                                    "poolgetpagesridlist",
                                                                    "poolstat14",
                                                                    "poolstat15",
                                                                    "poolstat16",
                                                                    "poolstat17",
                                                                    "poolhitratio",
                                                                    "poolstat19",
                                                                    "poolpagesread",
                                                                    "poolpagesreadsync",
                                                                    "poolpagesreadseq",
                                                                    "poolpagesreadlist",
                                                                    "poolpagesreaddyn",
                                                                    "poolreadios",
                                                                    "poolreadiossync",
                                                                    "poolreadiosseq",
                                                                    "poolreadioslist",
                                                                    "poolreadiosdyn",
                                                                    "avgsynciotime",
                                                                    "poolstat31",
                                                                    "avgseqprefetchiotime",
                                                                    "poolstat33",
                                                                    "avglistprefetchiotime",
                                                                    "poolstat35",
                                                                    "avgdynprefetchiotime",
                                                                    "poolstat37",
                                                                    "poolupdates",
                                                                    "poolpageswritten",
                                                                    "poolstat40",
                                                                    "poolstat41",
                                                                    "poolwriteios",
                                                                    "poolstat43",
                                                                    "poolstat44",
                                                                    "poolstat45",
                                                                    "poolstat46",
                                                                    "poolstat47",
                                                                    "poolstat48",
                                                                    "dwth",
                                                                    "vwth"};
    return names;
}

const std::array<std::string_view, ObjectFieldCount>& ObjectColumnNames() {
    static const std::array<std::string_view, ObjectFieldCount> names{
        "objqualifier",  "objpoolname",      "objtype",          "objname",      "objgetpages",     "objstat06",
        "getpagesseq",   "getpagesrandom",   "getpagesridlist",  "objstat10",    "objstat11",       "objstat12",
        "apphitratio",   "syshitratio",      "objstat15",        "objpagesread", "pagesreadsync",   "pagesreadseq",
        "pagesreadlist", "pagesreaddyn",     "objreadios",       "readiossync",  "readiosseq",      "readioslist",
        "readiosdyn",    "objavgsynciotime", "objmaxsynciotime", "objstat28",    "objstat29",       "objstat30",
        "objstat31",     "objstat32",        "objstat33",        "objupdates",   "objpageswritten", "objstat36",
        "objstat37",     "objwriteios",      "objstat39",        "objstat40",    "objstat41",       "objstat42",
        "objstat43",     "objwriteiotime"};
    return names;
}

const std::vector<std::string_view>& HistoryTableNames() {
    static const std::vector<std::string_view> names{"object_names", "objects", "pools", "reports", "simulated_sizes"};
    return names;
}

namespace {

// The column type of a stored field: texts, whole numbers of any width, doubles.
std::string_view ColumnType(const FieldRef& ref) {
    if (std::holds_alternative<double*>(ref)) {
        return "DOUBLE PRECISION";
    }
    if (std::holds_alternative<Integer*>(ref) || std::holds_alternative<Long*>(ref)) {
        return "BIGINT";
    }
    return "TEXT";
}

template <std::size_t N>
std::string FieldColumns(const std::array<std::string_view, N>& names, const std::array<FieldRef, N>& fields) {
    std::string columns;
    for (std::size_t i = 0; i < N; ++i) {
        columns += ",\n    ";
        columns += names[i];
        columns += ' ';
        columns += ColumnType(fields[i]);
        columns += " NOT NULL";
    }
    return columns;
}

// The first schema. Everything but the identity column is the same SQL on both databases.
std::string FirstSchema(SqlDialect dialect) {
    const std::string identity =
        dialect == SqlDialect::Postgres ? "BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY" : "INTEGER PRIMARY KEY";
    ReportHeader header;
    PoolRecord pool;
    ObjectRecord object;
    return "CREATE TABLE reports (\n"
           "    id " +
           identity +
           ",\n"
           "    content_hash TEXT NOT NULL UNIQUE,\n"
           "    file_name TEXT NOT NULL,\n"
           "    system_name TEXT NOT NULL,\n"
           "    subsystem_name TEXT NOT NULL,\n"
           "    collected_at TEXT NOT NULL,\n"
           "    elapsed_seconds BIGINT NOT NULL,\n"
           "    db2_version TEXT NOT NULL,\n"
           "    imported_at TEXT NOT NULL,\n"
           "    usa_report BIGINT NOT NULL,\n"
           "    pool_count BIGINT NOT NULL,\n"
           "    object_count BIGINT NOT NULL,\n"
           "    has_simulation BIGINT NOT NULL,\n"
           "    same_time_as BIGINT REFERENCES reports(id) ON DELETE SET NULL" +
           FieldColumns(HeaderColumnNames(), HeaderFields(header)) +
           ");\n"
           "CREATE INDEX reports_by_time ON reports (system_name, subsystem_name, collected_at);\n"
           "CREATE INDEX reports_by_collection ON reports (collected_at);\n"
           "CREATE TABLE pools (\n"
           "    report_id BIGINT NOT NULL REFERENCES reports(id) ON DELETE CASCADE,\n"
           "    pool_number BIGINT NOT NULL,\n"
           "    first_object BIGINT NOT NULL,\n"
           "    last_object BIGINT NOT NULL" +
           FieldColumns(PoolColumnNames(), PoolFields(pool)) +
           ",\n    PRIMARY KEY (report_id, pool_number));\n"
           "CREATE INDEX pools_by_name ON pools (poolname, report_id);\n"
           "CREATE TABLE objects (\n"
           "    report_id BIGINT NOT NULL REFERENCES reports(id) ON DELETE CASCADE,\n"
           "    object_number BIGINT NOT NULL" +
           FieldColumns(ObjectColumnNames(), ObjectFields(object)) +
           ",\n    PRIMARY KEY (report_id, object_number));\n"
           "CREATE INDEX objects_by_name ON objects (objname, report_id);\n"
           "CREATE TABLE object_names (name TEXT PRIMARY KEY);\n"
           "CREATE TABLE simulated_sizes (\n"
           "    report_id BIGINT NOT NULL REFERENCES reports(id) ON DELETE CASCADE,\n"
           "    pool_number BIGINT NOT NULL,\n"
           "    size_number BIGINT NOT NULL,\n"
           "    buffers BIGINT NOT NULL,\n"
           "    sys_hit_ratio DOUBLE PRECISION NOT NULL,\n"
           "    read_io_rate DOUBLE PRECISION NOT NULL,\n"
           "    PRIMARY KEY (report_id, pool_number, size_number));\n";
}

// Holds the schema lock for its life.
class SchemaLock {
public:
    explicit SchemaLock(SqlDatabase& db) : db_(db) { db_.LockSchema(); }
    SchemaLock(const SchemaLock&) = delete;
    SchemaLock& operator=(const SchemaLock&) = delete;
    SchemaLock(SchemaLock&&) = delete;
    SchemaLock& operator=(SchemaLock&&) = delete;
    ~SchemaLock() {
        try {
            db_.UnlockSchema();
        } catch (const SqlError&) { // NOLINT(bugprone-empty-catch): a lost connection ends the lock with it
        }
    }

private:
    SqlDatabase& db_;
};

} // namespace

void MigrateHistory(SqlDatabase& db) {
    // Step n brings version n - 1 to version n; a new version appends a step, never edits one.
    const std::vector<std::function<std::string(SqlDialect)>> steps{FirstSchema};
    static_assert(HistorySchemaVersion == 1, "a new version needs its migration step");

    const auto checked = [&db](int held) {
        if (held > HistorySchemaVersion) {
            throw SqlError("the history \"" + db.Location() +
                           "\" was written by a newer version of this program (schema " + std::to_string(held) +
                           "; this one knows " + std::to_string(HistorySchemaVersion) + ")");
        }
        return held;
    };
    // A history of this version is only read: opening it takes no write lock, so a reader never waits
    // for an import, and a read-only history opens.
    if (checked(db.SchemaVersion()) == HistorySchemaVersion) {
        return;
    }
    // The version is read again after the lock: a second program that opened the same new history at
    // the same time waits for the first one's steps and then finds them done.
    const SchemaLock lock(db);
    while (true) {
        SqlTransaction transaction(db);
        const int held = checked(db.SchemaVersion());
        if (held == HistorySchemaVersion) {
            transaction.Commit();
            return;
        }
        db.ExecuteScript(steps.at(static_cast<std::size_t>(held))(db.Dialect()));
        db.SetSchemaVersion(held + 1);
        transaction.Commit();
    }
}

} // namespace ornexa
