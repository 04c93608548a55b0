#include "history/postgres_database.h"

namespace ornexa {

std::unique_ptr<SqlDatabase> OpenPostgresDatabase(const std::string& uri) {
    throw SqlError("PostgreSQL is not available yet: " + uri);
}

} // namespace ornexa
