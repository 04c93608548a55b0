#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/sql_database.h"
#include "report/column_tables.h"
#include "report/record_catalogue.h"

namespace ornexa {

// The record catalogues the history's tables are made from: each field is a column of its record's
// table, in catalogue order, so a stored record reads back field for field.
struct StoredCatalogues {
    RecordCatalogue<ReportHeader> header = HeaderCatalogue();
    RecordCatalogue<PoolRecord> pools = PoolCatalogue();
    RecordCatalogue<ObjectRecord> objects = ObjectCatalogue();
};

// The pools' column names, in catalogue order.
const std::array<std::string_view, PoolFieldCount>& PoolColumnNames();

// A column's name: as given, or a record field's column in the history.
inline std::string_view HistoryColumn(std::string_view name) {
    return name;
}
template <class Record> std::string_view HistoryColumn(const RecordField<Record>& field) {
    return field.history;
}

// "p.vpsize, p.poolname, ..." for a select list, of column names or of a catalogue's fields.
template <class Columns> std::string ColumnList(const Columns& columns, std::string_view prefix) {
    std::string list;
    for (const auto& column : columns) {
        if (!list.empty()) {
            list += ", ";
        }
        list += prefix;
        list += HistoryColumn(column);
    }
    return list;
}

// The `PRAGMA application_id` of a SQLite history file ("ORNX"): a file carrying it is a history.
inline constexpr std::int32_t HistoryApplicationId = 0x4F524E58;

// The tables a history of the current schema holds, in name order, and those of the first schema. A
// SQLite file made before the application id was set is told by them: it holds every table of the
// first schema and no table of another name.
const std::vector<std::string_view>& HistoryTableNames();
const std::vector<std::string_view>& FirstHistoryTableNames();

// The version the migrations below bring a database to.
inline constexpr int HistorySchemaVersion = 3;

// The statements that make the first schema's tables, the record tables' columns from `catalogues`.
std::string FirstSchema(SqlDialect dialect, const StoredCatalogues& catalogues = {});

// The second schema: a report remembers its input's kind ("statistics", or "db2-display" for an
// interval of Db2's display output) and, for a display, what the display gives beyond the records
// (db2_facts) and which fields of each pool it gives (pools.fields_given). The reports held before
// are monitors' reports, and read so.
std::string SecondSchema(SqlDialect dialect);

// The third schema: the ratings of each report, made when it is imported (stored_ratings.h). The
// migration to it rates every report held.
std::string ThirdSchema(SqlDialect dialect);

// The kinds a report's input_kind holds.
inline constexpr std::string_view StatisticsInputKind = "statistics";
inline constexpr std::string_view Db2DisplayInputKind = "db2-display";

// Brings the database from the version it holds to HistorySchemaVersion, each step in its own
// transaction. A database of a newer version than this program knows is refused (SqlError).
void MigrateHistory(SqlDatabase& db);

} // namespace ornexa
