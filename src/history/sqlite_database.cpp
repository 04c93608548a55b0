#include "history/sqlite_database.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sys/resource.h>
#include <thread>
#include <unordered_map>

#include "history/history_schema.h"
#include "report/whole_file.h"

namespace ornexa {

namespace {

// The first bytes of every SQLite database file.
constexpr std::string_view Magic{"SQLite format 3\0", 16};

// How long a statement waits for another program's write to end before it gives up.
constexpr int BusyTimeoutMs = 10000;
constexpr int WalRetryMs = 5;

struct StatementDeleter {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

struct ConnectionDeleter {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
using Connection = std::unique_ptr<sqlite3, ConnectionDeleter>;

// A file that exists, is not empty, and does not start as a SQLite database does: opening it would
// let SQLite refuse it only at the first statement, so it is told here, before anything is written.
bool IsForeignFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error) || std::filesystem::file_size(path, error) == 0) {
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string start(Magic.size(), '\0');
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    return start != Magic;
}

constexpr mode_t AnyWrite = S_IWUSR | S_IWGRP | S_IWOTH;

// An existing history this program must not write: its file or its folder may not be written by this
// user, or by anybody as their mode says (the superuser writes whatever the mode, so the mode is what
// tells a history someone made read-only). A history in a folder that cannot be written can be read
// but not changed, as a write needs its journal files beside it.
bool WriteForbidden(const std::string& path) {
    struct stat file {};
    if (::stat(path.c_str(), &file) != 0 || !S_ISREG(file.st_mode)) {
        return false; // made by the open, or refused by it with SQLite's reason
    }
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    const std::string folder = parent.empty() ? std::string(".") : parent.string();
    struct stat dir {};
    if (::stat(folder.c_str(), &dir) != 0) {
        return false;
    }
    return (file.st_mode & AnyWrite) == 0 || (dir.st_mode & AnyWrite) == 0 || ::access(path.c_str(), W_OK) != 0 ||
           ::access(folder.c_str(), W_OK) != 0;
}

// The path as a SQLite URI that reads the file as it is, without the journal files a reader of a WAL
// file otherwise makes beside it.
std::string ImmutableUri(const std::string& path) {
    static constexpr std::string_view hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (const char c : std::filesystem::absolute(path).string()) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || std::string_view("/-._~").find(c) != std::string_view::npos) {
            uri += c;
        } else {
            uri += '%';
            uri += hex[byte >> 4U];
            uri += hex[byte & 0xfU];
        }
    }
    return uri + "?mode=ro&immutable=1";
}

std::string SizeLimitText(rlim_t limit, const std::string& file) {
    return "the file size limit of this process (ulimit -f, " + std::to_string(limit) + " bytes) was reached writing " +
           file;
}

// SQLite says "disk I/O error" or "database or disk is full" for a write the disk or the process's
// file size limit stopped: the user is told which, and which file. A write that crossed the size
// limit wrote up to it and so left its file at the limit; the journals beside the history are
// looked at too. Nothing when the failure was none of these.
std::optional<std::string> WriteLimitText(const std::string& path, int code, int systemError) {
    const int primary = code & 0xff;
    if (primary != SQLITE_FULL && primary != SQLITE_IOERR) {
        return std::nullopt;
    }
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        for (const char* suffix : {"-wal", "-journal", "-shm", ""}) {
            const std::string file = path + suffix;
            std::error_code error;
            const auto size = std::filesystem::file_size(file, error);
            if (!error && size >= limit.rlim_cur) {
                return SizeLimitText(limit.rlim_cur, "\"" + file + "\"");
            }
        }
        if (systemError == EFBIG) {
            return SizeLimitText(limit.rlim_cur, "\"" + path + "\" or its journal");
        }
    }
    if (primary == SQLITE_FULL || systemError == ENOSPC) {
        return WriteFailureText(ENOSPC) + ": \"" + path +
               "\" (or its journal beside it) cannot be written; make room on that disk and try again";
    }
    return std::nullopt;
}

class SqliteDatabase final : public SqlDatabase {
public:
    explicit SqliteDatabase(std::string path) : path_(std::move(path)) {
        if (IsForeignFile(path_)) {
            throw SqlError("\"" + path_ + "\" is not a history database; it is left as it is");
        }
        readOnly_ = WriteForbidden(path_);
        Connect(path_, readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        if (readOnly_) {
            ReadWithoutJournalFiles();
        }
        ExecuteScript("PRAGMA foreign_keys = ON");
        // Another program's database is told before anything is written to it: not a table, not
        // its journal mode.
        const FileOwner owner = Owner();
        if (owner == FileOwner::Another) {
            throw SqlError("\"" + path_ +
                           "\" is not an ORNEXA history but another program's database; it is left as it is. "
                           "Choose a new file for the history, or an existing ORNEXA history");
        }
        // WAL lets one program read while another imports; a read-only file keeps its own mode. Only a new
        // or older file is written here: an open for reading takes no write lock, so it never waits for
        // an import.
        if (sqlite3_db_readonly(db_.get(), "main") == 0) {
            if (owner != FileOwner::ThisProgram) { // a new file, or one written before the mark was set
                ExecuteScript("PRAGMA application_id = " + std::to_string(HistoryApplicationId));
            }
            SwitchToWal();
            ExecuteScript("PRAGMA synchronous = NORMAL");
        }
    }

    [[nodiscard]] SqlDialect Dialect() const override { return SqlDialect::Sqlite; }
    [[nodiscard]] std::string Location() const override { return path_; }

    std::vector<SqlRow> Query(const std::string& sql, const SqlParams& params) override {
        sqlite3_stmt* statement = Prepared(sql);
        Bind(statement, params);
        std::vector<SqlRow> rows;
        while (true) {
            const int rc = sqlite3_step(statement);
            if (rc == SQLITE_DONE) {
                break;
            }
            if (rc != SQLITE_ROW) {
                Fail(statement);
            }
            rows.push_back(RowOf(statement));
        }
        sqlite3_reset(statement);
        return rows;
    }

    void ExecuteMany(const std::string& sql, const std::vector<SqlParams>& rows) override {
        sqlite3_stmt* statement = Prepared(sql);
        for (const SqlParams& params : rows) {
            Bind(statement, params);
            const int rc = sqlite3_step(statement);
            if (rc != SQLITE_DONE && rc != SQLITE_ROW) {
                Fail(statement);
            }
            sqlite3_reset(statement);
        }
    }

    void ExecuteScript(const std::string& sql) override {
        char* error = nullptr;
        if (sqlite3_exec(db_.get(), sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::string text = error != nullptr ? error : sqlite3_errmsg(db_.get());
            sqlite3_free(error);
            throw SqlError(Described(text));
        }
    }

    void Begin() override {
        if (readOnly_) {
            throw SqlError("the history \"" + path_ +
                           "\" is read-only (the file or its folder may not be written): it can be read, but "
                           "nothing can be added to it or removed from it");
        }
        ExecuteScript("BEGIN IMMEDIATE");
    }
    void Commit() override { ExecuteScript("COMMIT"); }
    void Rollback() override {
        if (sqlite3_get_autocommit(db_.get()) == 0) {
            ExecuteScript("ROLLBACK");
        }
    }

    int SchemaVersion() override {
        const auto rows = Query("PRAGMA user_version", {});
        return rows.empty() ? 0 : static_cast<int>(std::get<std::int64_t>(rows.front().front()));
    }
    void SetSchemaVersion(int version) override { ExecuteScript("PRAGMA user_version = " + std::to_string(version)); }

private:
    enum class FileOwner {
        Nobody,              // nothing in it yet: it becomes a history
        ThisProgram,         // carries the history's application id
        ThisProgramUnmarked, // a history made before the application id was set: its tables tell it
        Another,
    };

    FileOwner Owner() {
        const auto id = Query("PRAGMA application_id", {});
        const std::int64_t mark = id.empty() ? 0 : std::get<std::int64_t>(id.front().front());
        if (mark == HistoryApplicationId) {
            return FileOwner::ThisProgram;
        }
        if (mark != 0) {
            return FileOwner::Another;
        }
        const auto entries =
            Query("SELECT type, name FROM sqlite_master WHERE name NOT LIKE 'sqlite\\_%' ESCAPE '\\'", {});
        if (entries.empty()) {
            return FileOwner::Nobody;
        }
        std::set<std::string> tables;
        for (const SqlRow& entry : entries) {
            if (std::get<std::string>(entry.at(0)) == "table") {
                tables.insert(std::get<std::string>(entry.at(1)));
            }
        }
        const auto& ours = HistoryTableNames();
        const auto& first = FirstHistoryTableNames();
        const bool historyTables = std::includes(ours.begin(), ours.end(), tables.begin(), tables.end()) &&
                                   std::includes(tables.begin(), tables.end(), first.begin(), first.end());
        return historyTables && SchemaVersion() >= 1 ? FileOwner::ThisProgramUnmarked : FileOwner::Another;
    }

    void Connect(const std::string& name, int flags) {
        sqlite3* raw = nullptr;
        // A connection is used by one thread at a time (each thread opens its own store): no mutex of SQLite's.
        const int rc = sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        db_.reset(raw);
        if (rc != SQLITE_OK) {
            throw SqlError("Cannot open the history \"" + path_ +
                           "\": " + (raw != nullptr ? sqlite3_errmsg(raw) : sqlite3_errstr(rc)));
        }
        sqlite3_busy_timeout(db_.get(), BusyTimeoutMs);
        sqlite3_extended_result_codes(db_.get(), 1);
    }

    // A reader of a WAL file needs its journal files, and makes them when they are missing; in a folder
    // it may not write, it cannot. When no program is writing the file (no journal beside it), everything
    // it holds is in the file itself, which is then read as it is.
    void ReadWithoutJournalFiles() {
        try {
            Query("SELECT count(*) FROM sqlite_master", {});
            return;
        } catch (const SqlError&) {
            std::error_code error;
            if (std::filesystem::exists(path_ + "-wal", error) || error) {
                throw;
            }
        }
        statements_.clear();
        Connect(ImmutableUri(path_), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    }

    // Switching a new file to WAL needs it alone for a moment; SQLite answers "locked" at once, without
    // its busy wait, while a second program sets up the same file, so the switch waits here. A file
    // already in WAL is left as it is, without a lock.
    void SwitchToWal() {
        const auto mode = Query("PRAGMA journal_mode", {});
        if (!mode.empty() && mode.front().front() == SqlValue{std::string("wal")}) {
            return;
        }
        for (int waited = 0;; waited += WalRetryMs) {
            try {
                Query("PRAGMA journal_mode = WAL", {});
                return;
            } catch (const SqlError&) {
                if ((sqlite3_errcode(db_.get()) & 0xff) != SQLITE_BUSY || waited >= BusyTimeoutMs) {
                    throw;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(WalRetryMs));
        }
    }

    sqlite3_stmt* Prepared(const std::string& sql) {
        if (const auto found = statements_.find(sql); found != statements_.end()) {
            return found->second.get();
        }
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v3(db_.get(), sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw,
                               nullptr) != SQLITE_OK) {
            throw SqlError(Described(sqlite3_errmsg(db_.get())));
        }
        Statement statement(raw);
        return statements_.emplace(sql, std::move(statement)).first->second.get();
    }

    void Bind(sqlite3_stmt* statement, const SqlParams& params) {
        sqlite3_clear_bindings(statement);
        int index = 1;
        for (const SqlValue& value : params) {
            int rc = SQLITE_OK;
            if (const auto* number = std::get_if<std::int64_t>(&value)) {
                rc = sqlite3_bind_int64(statement, index, *number);
            } else if (const auto* real = std::get_if<double>(&value)) {
                rc = sqlite3_bind_double(statement, index, *real);
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                // The parameters outlive the step that reads them, and every use binds anew: no copy.
                rc = sqlite3_bind_text(statement, index, text->data(), static_cast<int>(text->size()), SQLITE_STATIC);
            } else {
                rc = sqlite3_bind_null(statement, index);
            }
            if (rc != SQLITE_OK) {
                throw SqlError(Described(sqlite3_errmsg(db_.get())));
            }
            ++index;
        }
    }

    static SqlRow RowOf(sqlite3_stmt* statement) {
        const int count = sqlite3_column_count(statement);
        SqlRow row;
        row.reserve(static_cast<std::size_t>(count));
        for (int c = 0; c < count; ++c) {
            switch (sqlite3_column_type(statement, c)) {
            case SQLITE_INTEGER:
                row.emplace_back(static_cast<std::int64_t>(sqlite3_column_int64(statement, c)));
                break;
            case SQLITE_FLOAT:
                row.emplace_back(sqlite3_column_double(statement, c));
                break;
            case SQLITE_NULL:
                row.emplace_back(std::monostate{});
                break;
            default: {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
                row.emplace_back(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement, c))));
            }
            }
        }
        return row;
    }

    [[noreturn]] void Fail(sqlite3_stmt* statement) {
        const std::string text = sqlite3_errmsg(db_.get());
        sqlite3_reset(statement);
        throw SqlError(Described(text));
    }

    [[nodiscard]] std::string Described(const std::string& text) const {
        if (auto limit = WriteLimitText(path_, sqlite3_extended_errcode(db_.get()), sqlite3_system_errno(db_.get()))) {
            return *limit;
        }
        return "the history \"" + path_ + "\": " + text;
    }

    std::string path_;
    bool readOnly_ = false;
    // Statements go before the connection that made them.
    Connection db_;
    std::unordered_map<std::string, Statement> statements_;
};

} // namespace

std::unique_ptr<SqlDatabase> OpenSqliteDatabase(const std::string& path) {
    return std::make_unique<SqliteDatabase>(path);
}

} // namespace ornexa
