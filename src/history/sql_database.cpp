#include "history/sql_database.h"

#include "history/history_location.h"
#include "history/postgres_database.h"
#include "history/sqlite_database.h"

namespace ornexa {

bool IsPostgresLocation(const std::string& location) {
    return location.starts_with("postgresql://") || location.starts_with("postgres://") ||
           IsKeywordConnectionString(location);
}

std::unique_ptr<SqlDatabase> OpenSqlDatabase(const std::string& location, std::chrono::seconds timeout) {
    if (const auto unkept = UnkeptHistoryReason(location)) {
        throw SqlError(*unkept);
    }
    if (IsPostgresLocation(location)) {
        return OpenPostgresDatabase(location, timeout);
    }
    return OpenSqliteDatabase(location);
}

} // namespace ornexa
