#include "history/postgres_database.h"

#include "history/history_location.h"
#include "history/history_schema.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>
#include <chrono>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

namespace ornexa {

namespace {

// The pg_type OIDs read back as numbers; they are fixed in every server.
constexpr Oid BoolOid = 16;
constexpr Oid Int8Oid = 20;
constexpr Oid Int2Oid = 21;
constexpr Oid Int4Oid = 23;
constexpr Oid Float4Oid = 700;
constexpr Oid Float8Oid = 701;
constexpr Oid NumericOid = 1700;
// A text or NULL parameter takes the type of the place it stands in ("name = ?" a text, "id = ?" an integer).
constexpr Oid InferredOid = 0;

// Rows sent before each pipeline sync. The server's replies to one batch (some 30 bytes a row) stay far
// below the socket buffers, so the server never blocks writing replies while the client still writes rows.
constexpr std::size_t PipelineBatchRows = 1000;

// libpq gives up on an unreachable host after this many seconds (or the history's timeout, when
// shorter) unless the URI says otherwise.
constexpr std::chrono::seconds DefaultConnectTimeout{10};

struct ConnectionDeleter {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct ResultDeleter {
    void operator()(PGresult* result) const { PQclear(result); }
};
using ConnectionPtr = std::unique_ptr<PGconn, ConnectionDeleter>;
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

constexpr std::string_view Blanks = " \t\r\n";

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(Blanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(Blanks) - first + 1);
}

// libpq's messages end in a newline and put each host tried on a line of its own.
std::string OneLine(std::string_view text) {
    std::string line;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const auto end = std::min(text.find('\n', pos), text.size());
        const std::string_view part = Trimmed(text.substr(pos, end - pos));
        if (!part.empty()) {
            line += line.empty() ? "" : "; ";
            line += part;
        }
        pos = end + 1;
    }
    return line;
}

// Where the user part of a URI ends, as libpq finds it: the first '@' before any '/'.
std::optional<std::size_t> UserPartEnd(const std::string& uri, std::size_t authority) {
    const auto end = uri.find_first_of("@/", authority);
    if (end == std::string::npos || uri[end] != '@') {
        return std::nullopt;
    }
    return end;
}

// A statement with its `?` numbered as PostgreSQL wants them ($1, $2, ...); a `?` in a quoted text or
// name, or in a comment, stays.
struct NumberedStatement {
    std::string text;
    std::size_t parameters = 0;
};

NumberedStatement NumberParameters(std::string_view sql) {
    NumberedStatement statement;
    statement.text.reserve(sql.size() + 16);
    std::size_t i = 0;
    const auto copyUntil = [&](std::string_view end) {
        const auto stop = sql.find(end, i);
        const std::size_t next = stop == std::string_view::npos ? sql.size() : stop + end.size();
        statement.text.append(sql.substr(i, next - i));
        i = next;
    };
    while (i < sql.size()) {
        const char c = sql[i];
        const std::string_view rest = sql.substr(i);
        if (c == '\'' || c == '"') {
            // A doubled quote inside reads as the end and the start of two texts side by side.
            statement.text += c;
            ++i;
            copyUntil(std::string_view(&c, 1));
        } else if (rest.starts_with("--")) {
            copyUntil("\n");
        } else if (rest.starts_with("/*")) {
            copyUntil("*/");
        } else if (c == '?') {
            statement.text += '$';
            statement.text += std::to_string(++statement.parameters);
            ++i;
        } else {
            statement.text += c;
            ++i;
        }
    }
    return statement;
}

Oid ParameterType(const SqlValue& value) {
    if (std::holds_alternative<std::int64_t>(value)) {
        return Int8Oid;
    }
    if (std::holds_alternative<double>(value)) {
        return Float8Oid;
    }
    return InferredOid;
}

// Numbers are written as the server reads them whatever the locale; a double in the fewest digits
// that read back as the same double.
std::string ParameterText(const SqlValue& value) {
    std::array<char, 32> buffer{};
    if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *whole);
        return {buffer.data(), result.ptr};
    }
    if (const auto* real = std::get_if<double>(&value)) {
        if (std::isnan(*real)) {
            return "NaN";
        }
        if (std::isinf(*real)) {
            return *real > 0 ? "Infinity" : "-Infinity";
        }
        const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), *real);
        return {buffer.data(), result.ptr};
    }
    const auto& text = std::get<std::string>(value);
    if (text.find('\0') != std::string::npos) {
        throw SqlError("A text with a NUL character cannot be stored on PostgreSQL");
    }
    return text;
}

// The parameters of one execution as libpq takes them: C strings, or a null pointer for NULL.
class BoundParameters {
public:
    void Bind(const SqlParams& params) {
        texts_.clear();
        values_.clear();
        texts_.reserve(params.size());
        for (const SqlValue& value : params) {
            texts_.push_back(std::holds_alternative<std::monostate>(value) ? std::string() : ParameterText(value));
        }
        for (std::size_t i = 0; i < params.size(); ++i) {
            values_.push_back(std::holds_alternative<std::monostate>(params[i]) ? nullptr : texts_[i].c_str());
        }
    }
    [[nodiscard]] const char* const* Values() const { return values_.data(); }
    [[nodiscard]] int Count() const { return static_cast<int>(values_.size()); }

private:
    std::vector<std::string> texts_;
    std::vector<const char*> values_;
};

// A column of ExecuteMany's rows keeps the type its values share; one whose rows differ lets the server
// infer it, and each row's text is read as that.
std::vector<Oid> ColumnTypes(const std::vector<SqlParams>& rows, std::size_t columns) {
    std::vector<std::optional<Oid>> seen(columns);
    for (const SqlParams& row : rows) {
        for (std::size_t c = 0; c < columns; ++c) {
            if (std::holds_alternative<std::monostate>(row[c])) {
                continue;
            }
            const Oid type = ParameterType(row[c]);
            if (!seen[c]) {
                seen[c] = type;
            } else if (*seen[c] != type) {
                seen[c] = InferredOid;
            }
        }
    }
    std::vector<Oid> types;
    types.reserve(columns);
    for (const auto& type : seen) {
        types.push_back(type.value_or(InferredOid));
    }
    return types;
}

double ReadDouble(std::string_view text) {
    if (text == "NaN") {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (text == "Infinity" || text == "-Infinity") {
        return text.front() == '-' ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
    }
    double value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // A numeric beyond a double: plain digits, tiny when it starts with "0." and huge otherwise.
        const bool negative = text.starts_with('-');
        const bool tiny = text.substr(negative ? 1 : 0).starts_with("0.");
        const double magnitude = tiny ? 0.0 : std::numeric_limits<double>::infinity();
        return negative ? -magnitude : magnitude;
    }
    return value;
}

SqlValue CellValue(const PGresult* result, int row, int column) {
    if (PQgetisnull(result, row, column) != 0) {
        return std::monostate{};
    }
    const std::string_view text(PQgetvalue(result, row, column),
                                static_cast<std::size_t>(PQgetlength(result, row, column)));
    switch (PQftype(result, column)) {
    case Int2Oid:
    case Int4Oid:
    case Int8Oid: {
        std::int64_t value = 0;
        std::from_chars(text.data(), text.data() + text.size(), value);
        return value;
    }
    case BoolOid: // as SQLite answers a comparison
        return std::int64_t{text == "t" ? 1 : 0};
    case Float4Oid:
    case Float8Oid:
    case NumericOid:
        return ReadDouble(text);
    default:
        return std::string(text);
    }
}

std::vector<SqlRow> ResultRows(const PGresult* result) {
    const int rowCount = PQntuples(result);
    const int columnCount = PQnfields(result);
    std::vector<SqlRow> rows;
    rows.reserve(static_cast<std::size_t>(rowCount));
    for (int r = 0; r < rowCount; ++r) {
        SqlRow& row = rows.emplace_back();
        row.reserve(static_cast<std::size_t>(columnCount));
        for (int c = 0; c < columnCount; ++c) {
            row.push_back(CellValue(result, r, c));
        }
    }
    return rows;
}

void IgnoreNotice(void* /*unused*/, const char* /*message*/) {}

using Clock = std::chrono::steady_clock;

// The client waits this much longer than the server's own statement timeout, so that a statement the
// server ends is told in the server's words and the connection goes on; only a server that stopped
// answering is given up by the client.
constexpr std::chrono::seconds ClientGrace{1};

// SQLSTATE of a statement the server cancelled (statement_timeout among others).
constexpr std::string_view QueryCanceled = "57014";

class PostgresDatabase final : public SqlDatabase {
public:
    PostgresDatabase(ConnectionPtr connection, std::string location, std::chrono::seconds timeout)
        : connection_(std::move(connection)), location_(std::move(location)), timeout_(timeout) {
        SetUpSession();
    }

    [[nodiscard]] SqlDialect Dialect() const override { return SqlDialect::Postgres; }
    [[nodiscard]] std::string Location() const override { return location_; }

    std::vector<SqlRow> Query(const std::string& sql, const SqlParams& params) override {
        const NumberedStatement statement = Numbered(sql, params.size());
        std::vector<Oid> types;
        types.reserve(params.size());
        for (const SqlValue& value : params) {
            types.push_back(ParameterType(value));
        }
        BoundParameters bound;
        bound.Bind(params);
        Usable();
        if (PQsendQueryParams(connection_.get(), statement.text.c_str(), bound.Count(), types.data(), bound.Values(),
                              nullptr, nullptr, 0) != 1) {
            throw SqlError(ConnectionMessage());
        }
        const ResultPtr result = Answer();
        Check(result.get());
        return ResultRows(result.get());
    }

    // The rows go through libpq's pipeline: one statement prepared, then every row sent without waiting
    // for the one before.
    void ExecuteMany(const std::string& sql, const std::vector<SqlParams>& rows) override {
        if (rows.empty()) {
            return;
        }
        const NumberedStatement statement = NumberParameters(sql);
        for (const SqlParams& row : rows) {
            CheckParameterCount(sql, row.size(), statement.parameters);
        }
        const std::vector<Oid> types = ColumnTypes(rows, statement.parameters);
        Usable();
        if (PQenterPipelineMode(connection_.get()) != 1) {
            throw SqlError(ConnectionMessage());
        }
        const PipelineExit pipeline{connection_.get()};
        for (std::size_t start = 0; start < rows.size(); start += PipelineBatchRows) {
            const std::size_t end = std::min(rows.size(), start + PipelineBatchRows);
            SendBatch(statement.text, types, std::span(rows).subspan(start, end - start));
        }
    }

    void ExecuteScript(const std::string& sql) override { Execute(sql.c_str()); }

    // A connection lost since the last transaction (a server restarted, a backend ended) is made again
    // once, here, where nothing of a transaction can be lost with it.
    void Begin() override {
        Usable();
        if (PQtransactionStatus(connection_.get()) != PQTRANS_IDLE) {
            throw SqlError("A transaction is already open on the history server " + location_);
        }
        try {
            Execute("BEGIN");
        } catch (const SqlError&) {
            if (!Lost()) {
                throw;
            }
            Reconnect();
            Execute("BEGIN");
        }
        inTransaction_ = true;
    }

    // The server ends a transaction in which a statement failed with a rollback, and COMMIT answers
    // success all the same: that is told as the fault it is.
    void Commit() override {
        inTransaction_ = false;
        const PGTransactionStatusType status = PQtransactionStatus(connection_.get());
        if (status == PQTRANS_IDLE) {
            throw SqlError("No transaction is open on the history server " + location_);
        }
        if (Lost()) {
            throw SqlError(ConnectionMessage());
        }
        if (PQsendQuery(connection_.get(), "COMMIT") != 1) {
            throw SqlError(ConnectionMessage());
        }
        const ResultPtr result = Answer();
        Check(result.get());
        if (status == PQTRANS_INERROR || std::string_view(PQcmdStatus(result.get())) != "COMMIT") {
            throw SqlError("The history server rolled the transaction back: a statement in it had failed");
        }
    }

    // On a lost connection the server has rolled the transaction back itself.
    void Rollback() override {
        inTransaction_ = false;
        if (!Lost() && PQtransactionStatus(connection_.get()) != PQTRANS_IDLE) {
            Execute("ROLLBACK");
        }
    }

    // A lock of the session, taken before the transaction: a transaction that began before the lock was
    // granted could still see the catalogue as it was before the other program's schema.
    void LockSchema() override { Query("SELECT pg_advisory_lock(?)", {std::int64_t{HistoryApplicationId}}); }
    void UnlockSchema() override { Query("SELECT pg_advisory_unlock(?)", {std::int64_t{HistoryApplicationId}}); }

    [[nodiscard]] int SchemaVersion() override {
        const auto exists = Query("SELECT to_regclass('ornexa_schema_version') IS NOT NULL", {});
        if (exists.empty() || exists.front().front() != SqlValue{std::int64_t{1}}) {
            return 0;
        }
        const auto rows = Query("SELECT max(version) FROM ornexa_schema_version", {});
        const auto* version = rows.empty() ? nullptr : std::get_if<std::int64_t>(&rows.front().front());
        return version == nullptr ? 0 : static_cast<int>(*version);
    }

    void SetSchemaVersion(int version) override {
        Execute("CREATE TABLE IF NOT EXISTS ornexa_schema_version (version INTEGER NOT NULL)");
        Execute("DELETE FROM ornexa_schema_version");
        Query("INSERT INTO ornexa_schema_version (version) VALUES (?)", {std::int64_t{version}});
    }

private:
    // Leaves pipeline mode when ExecuteMany ends, whether it ends well or not.
    struct PipelineExit {
        explicit PipelineExit(PGconn* pipelined) : connection(pipelined) {}
        PGconn* connection;
        PipelineExit(const PipelineExit&) = delete;
        PipelineExit& operator=(const PipelineExit&) = delete;
        PipelineExit(PipelineExit&&) = delete;
        PipelineExit& operator=(PipelineExit&&) = delete;
        ~PipelineExit() { PQexitPipelineMode(connection); }
    };

    static NumberedStatement Numbered(const std::string& sql, std::size_t given) {
        NumberedStatement statement = NumberParameters(sql);
        CheckParameterCount(sql, given, statement.parameters);
        return statement;
    }
    static void CheckParameterCount(const std::string& sql, std::size_t given, std::size_t wanted) {
        if (given != wanted) {
            throw SqlError("The statement takes " + std::to_string(wanted) + " parameters, " + std::to_string(given) +
                           " given: " + sql);
        }
    }

    // The connection never blocks: every wait for the server goes through Wait, which gives up after the
    // timeout, so a server that stops answering cannot hold the program. The server ends a statement
    // that runs longer itself.
    void SetUpSession() {
        if (PQsetnonblocking(connection_.get(), 1) != 0) {
            throw SqlError(ConnectionMessage());
        }
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(timeout_).count();
        Execute(("SET client_min_messages = warning; SET statement_timeout = " + std::to_string(milliseconds)).c_str());
    }

    [[nodiscard]] bool Lost() const { return broken_ || PQstatus(connection_.get()) == CONNECTION_BAD; }

    // A connection known to be lost is made again before a statement outside a transaction; inside one,
    // the transaction went with it.
    void Usable() {
        if (!Lost()) {
            return;
        }
        if (inTransaction_) {
            throw SqlError(ConnectionMessage());
        }
        Reconnect();
    }

    void Reconnect() {
        PQreset(connection_.get());
        if (PQstatus(connection_.get()) != CONNECTION_OK) {
            throw SqlError("The connection to the history server " + location_ +
                           " was lost and could not be made again: " + OneLine(PQerrorMessage(connection_.get())));
        }
        broken_ = false;
        SetUpSession();
    }

    void Execute(const char* sql) {
        Usable();
        if (PQsendQuery(connection_.get(), sql) != 1) {
            throw SqlError(ConnectionMessage());
        }
        const ResultPtr result = Answer();
        Check(result.get());
    }

    [[nodiscard]] Clock::time_point Deadline() const { return Clock::now() + timeout_ + ClientGrace; }

    // Waits until the server's answer can be read (or, with `write`, more can be sent), or the deadline.
    void Wait(bool write, Clock::time_point deadline) {
        pollfd socket{PQsocket(connection_.get()), static_cast<short>(POLLIN | (write ? POLLOUT : 0)), 0};
        if (socket.fd < 0) {
            throw SqlError(ConnectionMessage());
        }
        while (true) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) {
                // Its answer may still come, out of step with the next statement: the connection is given up.
                broken_ = true;
                throw SqlError("The history server " + location_ + " did not answer within " +
                               std::to_string(timeout_.count()) + " s, the history's timeout");
            }
            const int ready = ::poll(&socket, 1, static_cast<int>(std::min<std::int64_t>(left, 60000)));
            if (ready > 0) {
                return;
            }
            if (ready < 0 && errno != EINTR) {
                broken_ = true;
                throw SqlError("The connection to the history server " + location_ +
                               " failed: " + std::system_category().message(errno));
            }
        }
    }

    // Sends what libpq holds, reading the server's answers meanwhile so that neither side waits on the other.
    void Flush(Clock::time_point deadline) {
        while (true) {
            const int rc = PQflush(connection_.get());
            if (rc == 0) {
                return;
            }
            if (rc < 0) {
                throw SqlError(ConnectionMessage());
            }
            Wait(true, deadline);
            if (PQconsumeInput(connection_.get()) != 1) {
                throw SqlError(ConnectionMessage());
            }
        }
    }

    // The next result of the statements sent (null at the end of one), waiting no longer than the deadline.
    ResultPtr NextResult(Clock::time_point deadline) {
        while (PQisBusy(connection_.get()) == 1) {
            Wait(false, deadline);
            if (PQconsumeInput(connection_.get()) != 1) {
                throw SqlError(ConnectionMessage());
            }
        }
        return ResultPtr(PQgetResult(connection_.get()));
    }

    // The answer to what was sent: its last result, or the first that failed.
    ResultPtr Answer() {
        const Clock::time_point deadline = Deadline();
        Flush(deadline);
        ResultPtr kept;
        while (ResultPtr result = NextResult(deadline)) {
            if (kept == nullptr || PQresultStatus(kept.get()) != PGRES_FATAL_ERROR) {
                kept = std::move(result);
            }
        }
        return kept;
    }

    void SendBatch(const std::string& sql, const std::vector<Oid>& types, std::span<const SqlParams> rows) {
        PGconn* connection = connection_.get();
        std::optional<std::string> fault;
        int commands = 0;
        if (PQsendPrepare(connection, "", sql.c_str(), static_cast<int>(types.size()), types.data()) == 1) {
            ++commands;
            BoundParameters bound;
            for (const SqlParams& row : rows) {
                bound.Bind(row);
                if (PQsendQueryPrepared(connection, "", bound.Count(), bound.Values(), nullptr, nullptr, 0) != 1) {
                    fault = ConnectionMessage();
                    break;
                }
                ++commands;
            }
        } else {
            fault = ConnectionMessage();
        }
        if (PQpipelineSync(connection) != 1) {
            throw SqlError(fault.value_or(ConnectionMessage()));
        }
        const std::optional<std::string> refused = AwaitSync(commands);
        if (fault || refused) {
            throw SqlError(fault.value_or(*refused));
        }
    }

    // Reads the answers up to the sync: the first refusal is kept; the statements after it come back
    // aborted, never run. Each command's answers end with a null result.
    std::optional<std::string> AwaitSync(int commands) {
        const Clock::time_point deadline = Deadline();
        Flush(deadline);
        std::optional<std::string> fault;
        int ended = 0;
        while (true) {
            const ResultPtr result = NextResult(deadline);
            if (result == nullptr) {
                if (++ended > commands || PQstatus(connection_.get()) == CONNECTION_BAD) {
                    return fault.value_or(ConnectionMessage());
                }
                continue;
            }
            const ExecStatusType status = PQresultStatus(result.get());
            if (status == PGRES_PIPELINE_SYNC) {
                return fault;
            }
            if (status == PGRES_FATAL_ERROR && !fault) {
                fault = ResultMessage(result.get());
            }
        }
    }

    void Check(const PGresult* result) const {
        if (result == nullptr) {
            throw SqlError(ConnectionMessage());
        }
        switch (PQresultStatus(result)) {
        case PGRES_COMMAND_OK:
        case PGRES_TUPLES_OK:
        case PGRES_EMPTY_QUERY:
            return;
        default:
            throw SqlError(ResultMessage(result));
        }
    }

    // The server's own words: the message with its detail ("Key (id)=(1) already exists.").
    [[nodiscard]] std::string ResultMessage(const PGresult* result) const {
        const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
        std::string message =
            primary != nullptr ? std::string(Trimmed(primary)) : OneLine(PQresultErrorMessage(result));
        if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) {
            message += " (" + OneLine(detail) + ")";
        }
        const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        if (message.empty()) {
            message = ConnectionMessage();
        } else if (PQstatus(connection_.get()) == CONNECTION_BAD) {
            message = "The connection to the history server " + location_ + " was lost: " + message;
        } else if (state != nullptr && state == QueryCanceled) {
            message = "The history server " + location_ + " ended a statement that ran longer than the history's " +
                      "timeout of " + std::to_string(timeout_.count()) + " s (" + message + ")";
        }
        return message;
    }

    [[nodiscard]] std::string ConnectionMessage() const {
        const std::string text = OneLine(PQerrorMessage(connection_.get()));
        if (PQstatus(connection_.get()) == CONNECTION_BAD) {
            return "The connection to the history server " + location_ + " was lost" +
                   (text.empty() ? "" : ": " + text);
        }
        return text.empty() ? "The history server " + location_ + " gave no answer" : text;
    }

    ConnectionPtr connection_;
    std::string location_;
    std::chrono::seconds timeout_;
    bool inTransaction_ = false;
    bool broken_ = false; // given up after a timeout: made again before the next transaction
};

} // namespace

std::string PostgresLocation(const std::string& uri) {
    if (IsKeywordConnectionString(uri)) {
        // Each "password=..." goes with the blanks after it.
        std::string location = uri;
        const std::vector<PasswordPart> parts = PasswordParts(uri);
        for (std::size_t i = parts.size(); i-- > 0;) { // from the back: the places before stay
            const PasswordPart& part = parts[i];
            const std::size_t next = location.find_first_not_of(Blanks, part.end);
            location.erase(part.begin, (next == std::string::npos ? location.size() : next) - part.begin);
        }
        return std::string(Trimmed(location));
    }
    std::string location = uri;
    const auto scheme = location.find("://");
    if (scheme != std::string::npos) {
        const auto authority = scheme + 3;
        if (const auto end = UserPartEnd(location, authority)) {
            const auto colon = location.find(':', authority);
            if (colon < *end) {
                location.erase(colon, *end - colon);
            }
        }
    }
    const auto query = location.find('?');
    if (query == std::string::npos) {
        return location;
    }
    std::string kept;
    std::string_view rest = std::string_view(location).substr(query + 1);
    while (!rest.empty()) {
        const std::string_view param = rest.substr(0, rest.find('&'));
        if (PercentDecoded(param.substr(0, param.find('='))) != "password" && !param.empty()) {
            kept += kept.empty() ? "" : "&";
            kept += param;
        }
        rest.remove_prefix(std::min(rest.size(), param.size() + 1));
    }
    return location.substr(0, query) + (kept.empty() ? "" : "?" + kept);
}

std::unique_ptr<SqlDatabase> OpenPostgresDatabase(const std::string& uri, std::chrono::seconds timeout) {
    const std::string location = PostgresLocation(uri);
    const auto refused = [&](std::string_view why) {
        return SqlError(
            MaskedPasswords("Cannot connect to the history server " + location + ": " + std::string(why), uri));
    };
    // Entries before the URI are defaults it may override; the encoding after it is always UTF-8,
    // the text the store hands over.
    const std::string connectTimeout = std::to_string(std::min(timeout, DefaultConnectTimeout).count());
    const std::array<const char*, 5> keywords{"connect_timeout", "fallback_application_name", "dbname",
                                              "client_encoding", nullptr};
    const std::array<const char*, 5> values{connectTimeout.c_str(), "ornexa", uri.c_str(), "UTF8", nullptr};
    ConnectionPtr connection(PQconnectdbParams(keywords.data(), values.data(), 1));
    if (connection == nullptr) {
        throw refused("out of memory");
    }
    if (PQstatus(connection.get()) != CONNECTION_OK) {
        throw refused(OneLine(PQerrorMessage(connection.get())));
    }
    PQsetNoticeProcessor(connection.get(), IgnoreNotice, nullptr);
    try {
        return std::make_unique<PostgresDatabase>(std::move(connection), location, timeout);
    } catch (const SqlError& error) {
        throw refused(error.what());
    }
}

} // namespace ornexa
