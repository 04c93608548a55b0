#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/sql_database.h"
#include "report/column_tables.h"

namespace ornexa {

// The columns of the stored records, in the order of the record's fields (HeaderFields,
// PoolFields, ObjectFields), so a stored record reads back field for field.
const std::array<std::string_view, HeaderFieldCount>& HeaderColumnNames();
const std::array<std::string_view, PoolFieldCount>& PoolColumnNames();
const std::array<std::string_view, ObjectFieldCount>& ObjectColumnNames();

// "p.vpsize, p.poolname, ..." for a select list.
template <std::size_t N> std::string ColumnList(const std::array<std::string_view, N>& names, std::string_view prefix) {
    std::string list;
    for (const std::string_view name : names) {
        if (!list.empty()) {
            list += ", ";
        }
        list += prefix;
        list += name;
    }
    return list;
}

// The `PRAGMA application_id` of a SQLite history file ("ORNX"): a file carrying it is a history.
inline constexpr std::int32_t HistoryApplicationId = 0x4F524E58;

// The tables a history of the current schema holds, in name order. A SQLite file made before the
// application id was set is told by them.
const std::vector<std::string_view>& HistoryTableNames();

// The version the migrations below bring a database to.
inline constexpr int HistorySchemaVersion = 1;

// Brings the database from the version it holds to HistorySchemaVersion, each step in its own
// transaction. A database of a newer version than this program knows is refused (SqlError).
void MigrateHistory(SqlDatabase& db);

} // namespace ornexa
