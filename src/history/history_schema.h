#pragma once

#include <array>
#include <string>
#include <string_view>

#include "history/sql_database.h"
#include "report/column_tables.h"

namespace ornexa {

// The columns of the stored records, in the order of the record's fields (HeaderFields,
// PoolFields, ObjectFields), so a stored record reads back field for field.
const std::array<std::string_view, HeaderFieldCount>& HeaderColumnNames();
const std::array<std::string_view, PoolFieldCount>& PoolColumnNames();
const std::array<std::string_view, ObjectFieldCount>& ObjectColumnNames();

// The version the migrations below bring a database to.
inline constexpr int HistorySchemaVersion = 1;

// Brings the database from the version it holds to HistorySchemaVersion, each step in its own
// transaction. A database of a newer version than this program knows is refused (SqlError).
void MigrateHistory(SqlDatabase& db);

} // namespace ornexa
