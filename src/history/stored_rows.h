#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "history/history_schema.h"
#include "history/history_store.h"
#include "history/sql_database.h"
#include "report/record_catalogue.h"

namespace ornexa {

// The report facts every list and trend reads, in this order, from `reports r`.
inline constexpr const char* InfoColumns =
    "r.id, r.file_name, r.system_name, r.subsystem_name, r.collected_at, r.db2_version, r.imported_at, "
    "r.elapsed_seconds, r.pool_count, r.object_count, r.has_simulation, r.same_time_as, r.input_kind";
inline constexpr std::size_t InfoColumnCount = 13;

// The rows of one stored report, as the database gives them back.
struct StoredRows {
    SqlRow report;                      // InfoColumns, then the header's columns
    std::vector<SqlRow> pools;          // first_object, last_object, then the pool's columns; by pool number
    std::vector<SqlRow> objects;        // the object's columns, by object number
    std::vector<SqlRow> simulatedSizes; // pool_number, size_number, buffers, sys_hit_ratio, read_io_rate
    SqlValue db2Facts;                  // of a report of Db2's display output: its facts as stored
};

// The rows of report `id`; throws SqlError when the history holds no such report.
StoredRows QueryStoredRows(SqlDatabase& db, std::int64_t id);

// "?, ?, ?" for `count` values.
std::string Placeholders(std::size_t count);

// "INSERT INTO pools (report_id, pool_number, poolqualifier, ...) VALUES (?, ?, ?, ...)": the leading
// columns, then the columns of the catalogue's fields.
template <class Catalogue>
std::string InsertSql(std::string_view table, std::initializer_list<std::string_view> leading,
                      const Catalogue& catalogue) {
    return "INSERT INTO " + std::string(table) + " (" + ColumnList(leading, "") + ", " + ColumnList(catalogue, "") +
           ") VALUES (" + Placeholders(leading.size() + std::size(catalogue)) + ")";
}

// A field of a record as its column holds it: a text as StoredText, trimmed.
SqlValue StoredValue(const ConstFieldRef& field);

// The values of the catalogue's fields of `record`, appended to `row` in catalogue order.
template <class Record>
void AppendFieldValues(SqlParams& row, const Record& record, std::type_identity_t<RecordCatalogue<Record>> catalogue) {
    for (const RecordField<Record>& field : catalogue) {
        row.push_back(StoredValue(field.access.read(record)));
    }
}

// Rows back into records. A history is a file anyone can edit: a value of the wrong kind (text where a
// number belongs), a figure beyond its field, a text longer than its field, object ranges that do not
// fit the objects, or counts that disagree with the rows are never read as some other figure. Each
// throws SqlError naming the row and the column.
StoredReport ReportFromRows(const StoredRows& rows);
HistoryReportInfo InfoFromRow(const SqlRow& row);
// A pool row whose first_object and last_object stand at `first`, the catalogue's fields after them;
// `where` names the row in a message ("pool 3").
PoolRecord PoolFromRow(const SqlRow& row, std::size_t first, const std::string& where,
                       RecordCatalogue<PoolRecord> catalogue = PoolCatalogue());
// A text column (NULL reads as an empty text) and a number column (text or NULL throws) of a row.
std::string TextAt(const SqlRow& row, std::size_t column, std::string_view columnName, const std::string& where);
double NumberAt(const SqlRow& row, std::size_t column, std::string_view columnName, const std::string& where);

} // namespace ornexa
