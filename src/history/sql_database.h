#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace ornexa {

// A value bound to a statement or read from a row: NULL, an integer, a double or a text.
using SqlValue = std::variant<std::monostate, std::int64_t, double, std::string>;
using SqlRow = std::vector<SqlValue>;
using SqlParams = std::vector<SqlValue>;

// What a database refused, in its own words (with what the store was doing in front).
class SqlError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The two SQL dialects the store speaks; the schema differs only in the identity column.
enum class SqlDialect { Sqlite, Postgres };

// One open connection to a history database. Statements are written once, portable, with `?` for
// each parameter; a backend that numbers its parameters rewrites them. Every call throws SqlError
// when the database refuses it.
class SqlDatabase {
public:
    SqlDatabase() = default;
    SqlDatabase(const SqlDatabase&) = delete;
    SqlDatabase& operator=(const SqlDatabase&) = delete;
    SqlDatabase(SqlDatabase&&) = delete;
    SqlDatabase& operator=(SqlDatabase&&) = delete;
    virtual ~SqlDatabase() = default;

    [[nodiscard]] virtual SqlDialect Dialect() const = 0;
    // Where the connection goes, for messages (a path, or a URI without its password).
    [[nodiscard]] virtual std::string Location() const = 0;

    // Runs one statement and returns its rows (none for a statement that gives none).
    virtual std::vector<SqlRow> Query(const std::string& sql, const SqlParams& params = {}) = 0;
    // Runs one statement once per parameter row: the bulk inserts of an import.
    virtual void ExecuteMany(const std::string& sql, const std::vector<SqlParams>& rows) = 0;
    // Runs statements without parameters, separated by `;` (the schema's migrations).
    virtual void ExecuteScript(const std::string& sql) = 0;

    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Outside a transaction: waits until no other program changes the schema, and keeps them waiting
    // until UnlockSchema (or the connection ends). A database whose transactions already write one at a
    // time has nothing to do.
    virtual void LockSchema() {}
    virtual void UnlockSchema() {}

    // The schema version the database holds: 0 for a database the store never wrote.
    [[nodiscard]] virtual int SchemaVersion() = 0;
    // Sets it, inside the migration's transaction.
    virtual void SetSchemaVersion(int version) = 0;
};

// How long a history server may take over one statement before the store gives up on it.
inline constexpr std::chrono::seconds DefaultHistoryTimeout{60};

// Opens the history at `location`: a `postgresql://` or `postgres://` URI or a keyword connection string,
// else a SQLite file path (created when missing). A location that would keep nothing (empty, ":memory:", a
// SQLite URI in memory) is refused. A server statement that takes longer than `timeout` is ended, and a
// server that stops answering is given up after it. Throws SqlError with a clear text when it cannot be
// opened.
std::unique_ptr<SqlDatabase> OpenSqlDatabase(const std::string& location,
                                             std::chrono::seconds timeout = DefaultHistoryTimeout);

// Whether `location` names a PostgreSQL server (a URI or a keyword connection string) rather than a file.
bool IsPostgresLocation(const std::string& location);

// Commits on Commit(); rolls back when left before it (an exception, an early return).
class SqlTransaction {
public:
    explicit SqlTransaction(SqlDatabase& db) : db_(db) { db_.Begin(); }
    SqlTransaction(const SqlTransaction&) = delete;
    SqlTransaction& operator=(const SqlTransaction&) = delete;
    SqlTransaction(SqlTransaction&&) = delete;
    SqlTransaction& operator=(SqlTransaction&&) = delete;
    ~SqlTransaction() {
        if (!done_) {
            try {
                db_.Rollback();
            } catch (const SqlError&) { // NOLINT(bugprone-empty-catch): the error that left comes first
            }
        }
    }
    void Commit() {
        db_.Commit();
        done_ = true;
    }

private:
    SqlDatabase& db_;
    bool done_ = false;
};

} // namespace ornexa
