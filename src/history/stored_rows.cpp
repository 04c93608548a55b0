#include "history/stored_rows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

#include "history/history_schema.h"
#include "history/stored_db2_facts.h"
#include "history/stored_text.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "report/record_catalogue.h"
#include "report/shown_text.h"
#include "simulation/sim_data.h"

namespace ornexa {

namespace {

// The values of one row, each checked against what its column must hold; `where` names the row in
// messages ("pool 3", "object 17").
class RowReader {
public:
    RowReader(const SqlRow& row, std::string where) : row_(row), where_(std::move(where)) {}

    void ExpectColumns(std::size_t count) const {
        if (row_.size() != count) {
            Fail(" has " + std::to_string(row_.size()) + " columns where " + std::to_string(count) + " belong");
        }
    }

    template <class T> [[nodiscard]] T Integer(std::size_t column, std::string_view name) const {
        const SqlValue& value = At(column, name);
        long double number = 0;
        if (const auto* whole = std::get_if<std::int64_t>(&value)) {
            number = static_cast<long double>(*whole);
        } else if (const auto* real = std::get_if<double>(&value)) {
            if (!std::isfinite(*real) || std::trunc(*real) != *real) {
                Fail(name, "holds " + Shown(*real) + " where a whole number belongs");
            }
            number = *real;
        } else {
            Fail(name, KindText(value) + " where a number belongs");
        }
        if (number < static_cast<long double>(std::numeric_limits<T>::min()) ||
            number > static_cast<long double>(std::numeric_limits<T>::max())) {
            Fail(name, "holds " +
                           std::to_string(static_cast<long long>(std::clamp<long double>(
                               number, std::numeric_limits<long long>::min(), std::numeric_limits<long long>::max()))) +
                           ", beyond its field (" + std::to_string(std::numeric_limits<T>::min()) + " to " +
                           std::to_string(std::numeric_limits<T>::max()) + ")");
        }
        return static_cast<T>(number);
    }

    [[nodiscard]] double Double(std::size_t column, std::string_view name) const {
        const SqlValue& value = At(column, name);
        if (const auto* real = std::get_if<double>(&value)) {
            if (!std::isfinite(*real)) {
                Fail(name, "holds a figure that is not finite");
            }
            return *real;
        }
        if (const auto* whole = std::get_if<std::int64_t>(&value)) {
            return static_cast<double>(*whole);
        }
        Fail(name, KindText(value) + " where a number belongs");
    }

    // A text column, back in the report's single-byte characters; NULL reads as an empty text.
    [[nodiscard]] std::string Text(std::size_t column, std::string_view name) const {
        const SqlValue& value = At(column, name);
        if (const auto* text = std::get_if<std::string>(&value)) {
            return *text;
        }
        if (std::holds_alternative<std::monostate>(value)) {
            return {};
        }
        Fail(name, "holds a number where a text belongs");
    }

    void Field(const FieldRef& ref, std::size_t column, std::string_view name) const {
        std::visit(
            [&](const auto& field) {
                using Target = std::decay_t<decltype(field)>;
                if constexpr (std::is_same_v<Target, std::span<char>>) {
                    AssignFixedText(field, FittingText(field.size(), column, name));
                } else if constexpr (std::is_same_v<Target, RawText>) {
                    const std::string text = FittingText(field.chars.size(), column, name);
                    std::copy(text.begin(), text.end(), field.chars.begin());
                    std::fill(field.chars.begin() + static_cast<std::ptrdiff_t>(text.size()), field.chars.end(), ' ');
                } else if constexpr (std::is_same_v<Target, double*>) {
                    *field = Double(column, name);
                } else {
                    *field = Integer<std::remove_pointer_t<Target>>(column, name);
                }
            },
            ref);
    }

    template <class Record>
    void Fields(Record& record, std::type_identity_t<RecordCatalogue<Record>> catalogue, std::size_t first) const {
        for (std::size_t i = 0; i < catalogue.size(); ++i) {
            Field(catalogue[i].access.write(record), first + i, catalogue[i].history);
        }
    }

    [[noreturn]] void Fail(std::string_view column, const std::string& what) const {
        Fail(", column " + std::string(column) + " " + what);
    }
    // `what` follows the row's name as written: " has ...", ", column ...".
    [[noreturn]] void Fail(const std::string& what) const { throw SqlError(where_ + what); }
    [[nodiscard]] const std::string& Where() const { return where_; }

private:
    [[nodiscard]] const SqlValue& At(std::size_t column, std::string_view name) const {
        if (column >= row_.size()) {
            Fail(name, "is missing");
        }
        return row_[column];
    }

    static std::string Shown(double value) {
        std::array<char, 32> text{};
        std::snprintf(text.data(), text.size(), "%g", value);
        return text.data();
    }

    static std::string KindText(const SqlValue& value) {
        if (const auto* text = std::get_if<std::string>(&value)) {
            constexpr std::size_t shownChars = 24;
            return "holds the text \"" + EscapeControls(text->substr(0, shownChars)) +
                   (text->size() > shownChars ? "...\"" : "\"");
        }
        return "is empty";
    }

    [[nodiscard]] std::string FittingText(std::size_t width, std::size_t column, std::string_view name) const {
        std::string text = TextFromStored(Text(column, name));
        if (text.size() > width) {
            const std::string_view trimmed = TrimBlanks(text);
            if (trimmed.size() > width) {
                Fail(name, "holds " + std::to_string(trimmed.size()) + " characters where its field has " +
                               std::to_string(width));
            }
            text = std::string(trimmed);
        }
        return text;
    }

    const SqlRow& row_;
    std::string where_;
};

// The pools' object ranges as a read leaves them: each pool's objects follow the last pool's, from
// the first object on, and none lies beyond the objects held.
void CheckObjectRanges(const Report& report) {
    int next = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolRecord& pool = report.Pools(p);
        const ObjectRange range{pool.FirstObject, pool.LastObject};
        if (range.empty()) {
            continue;
        }
        if (range.first != next || range.last > report.ObjectCount()) {
            throw SqlError("pool " + std::to_string(p) + " (" + EscapeControls(Latin1ToUtf8(pool.PoolName.Trimmed())) +
                           ") names objects " + std::to_string(range.first) + " to " + std::to_string(range.last) +
                           " where its objects would be " + std::to_string(next) + " on of " +
                           std::to_string(report.ObjectCount()));
        }
        next = range.last + 1;
    }
}

void CheckCount(std::string_view what, std::int64_t said, std::size_t held) {
    if (said != static_cast<std::int64_t>(held)) {
        throw SqlError("the report is listed with " + std::to_string(said) + " " + std::string(what) + " but holds " +
                       std::to_string(held));
    }
}

} // namespace

std::string Placeholders(std::size_t count) {
    std::string marks;
    for (std::size_t i = 0; i < count; ++i) {
        marks += i == 0 ? "?" : ", ?";
    }
    return marks;
}

SqlValue StoredValue(const ConstFieldRef& field) {
    return std::visit(
        [](const auto& value) -> SqlValue {
            using Value = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<Value, std::span<const char>>) {
                return StoredText(TrimBlanks({value.data(), value.size()}));
            } else if constexpr (std::is_same_v<Value, const double*>) {
                return *value;
            } else {
                return static_cast<std::int64_t>(*value);
            }
        },
        field);
}

StoredRows QueryStoredRows(SqlDatabase& db, std::int64_t id) {
    StoredRows rows;
    auto reports = db.Query(std::string("SELECT ") + InfoColumns + ", " + ColumnList(HeaderCatalogue(), "r.") +
                                ", r.db2_facts FROM reports r WHERE r.id = ?",
                            {id});
    if (reports.empty()) {
        throw SqlError("the history holds no report " + std::to_string(id));
    }
    rows.report = std::move(reports.front());
    rows.db2Facts = std::move(rows.report.back());
    rows.report.pop_back();
    rows.pools = db.Query("SELECT first_object, last_object, " + ColumnList(PoolCatalogue(), "") +
                              " FROM pools WHERE report_id = ? ORDER BY pool_number",
                          {id});
    rows.objects = db.Query("SELECT " + ColumnList(ObjectCatalogue(), "") +
                                " FROM objects WHERE report_id = ? ORDER BY object_number",
                            {id});
    rows.simulatedSizes = db.Query("SELECT pool_number, size_number, buffers, sys_hit_ratio, read_io_rate "
                                   "FROM simulated_sizes WHERE report_id = ? ORDER BY pool_number, size_number",
                                   {id});
    return rows;
}

HistoryReportInfo InfoFromRow(const SqlRow& row) {
    HistoryReportInfo info;
    info.id = RowReader(row, "a report's row").Integer<std::int64_t>(0, "id");
    const RowReader reader(row, "report " + std::to_string(info.id));
    if (row.size() < InfoColumnCount) {
        reader.Fail(" has " + std::to_string(row.size()) + " columns where at least " +
                    std::to_string(InfoColumnCount) + " belong");
    }
    info.fileName = reader.Text(1, "file_name");
    info.system = reader.Text(2, "system_name");
    info.subsystem = reader.Text(3, "subsystem_name");
    info.collectedAt = reader.Text(4, "collected_at");
    info.db2Version = reader.Text(5, "db2_version");
    info.importedAt = reader.Text(6, "imported_at");
    info.elapsedSeconds = reader.Integer<Long>(7, "elapsed_seconds");
    if (info.elapsedSeconds < 0) {
        reader.Fail("elapsed_seconds", "holds a negative time");
    }
    info.pools = reader.Integer<int>(8, "pool_count");
    info.objects = reader.Integer<int>(9, "object_count");
    info.hasSimulation = reader.Integer<std::int64_t>(10, "has_simulation") != 0;
    if (!std::holds_alternative<std::monostate>(row.at(11))) {
        info.sameTimeAs = reader.Integer<std::int64_t>(11, "same_time_as");
    }
    const std::string kind = reader.Text(12, "input_kind");
    if (kind != StatisticsInputKind && kind != Db2DisplayInputKind) {
        reader.Fail("input_kind",
                    "holds \"" + EscapeControls(kind.substr(0, 24)) + "\", a kind of input this program does not know");
    }
    info.db2Display = kind == Db2DisplayInputKind;
    return info;
}

PoolRecord PoolFromRow(const SqlRow& row, std::size_t first, const std::string& where,
                       RecordCatalogue<PoolRecord> catalogue) {
    const RowReader reader(row, where);
    reader.ExpectColumns(first + 2 + catalogue.size());
    PoolRecord pool;
    pool.FirstObject = reader.Integer<Long>(first, "first_object");
    pool.LastObject = reader.Integer<Long>(first + 1, "last_object");
    reader.Fields(pool, catalogue, first + 2);
    return pool;
}

std::string TextAt(const SqlRow& row, std::size_t column, std::string_view columnName, const std::string& where) {
    return RowReader(row, where).Text(column, columnName);
}

double NumberAt(const SqlRow& row, std::size_t column, std::string_view columnName, const std::string& where) {
    return RowReader(row, where).Double(column, columnName);
}

StoredReport ReportFromRows(const StoredRows& rows) {
    StoredReport stored;
    stored.info = InfoFromRow(rows.report);
    const RowReader header(rows.report, "report " + std::to_string(stored.info.id));
    header.ExpectColumns(InfoColumnCount + HeaderFieldCount);
    CheckCount("pools", stored.info.pools, rows.pools.size());
    CheckCount("objects", stored.info.objects, rows.objects.size());
    if (rows.pools.size() > static_cast<std::size_t>(ReportLimits::MostPools) ||
        rows.objects.size() > static_cast<std::size_t>(ReportLimits::MostObjects)) {
        throw SqlError("the report holds more pools or objects than any read takes");
    }

    Report& report = stored.report;
    // A report read under a large site's limits comes back whole, whatever the defaults.
    report.SetLimits({std::max(ReportLimits::Monitor().pools, stored.info.pools),
                      std::max(ReportLimits::Monitor().objects, stored.info.objects)});
    header.Fields(report.Header, HeaderCatalogue(), InfoColumnCount);
    report.ElapsedSeconds = static_cast<Long>(stored.info.elapsedSeconds);

    for (std::size_t p = 0; p < rows.pools.size(); ++p) {
        report.AddPool(PoolFromRow(rows.pools[p], 0, "pool " + std::to_string(p + 1)));
    }
    report.ReserveObjects(static_cast<std::int64_t>(rows.objects.size()));
    for (std::size_t o = 0; o < rows.objects.size(); ++o) {
        const RowReader reader(rows.objects[o], "object " + std::to_string(o + 1));
        reader.ExpectColumns(ObjectFieldCount);
        ObjectRecord object;
        reader.Fields(object, ObjectCatalogue(), 0);
        report.AddObject(object);
    }
    CheckObjectRanges(report);
    const bool factsHeld = !std::holds_alternative<std::monostate>(rows.db2Facts);
    if (stored.info.db2Display) {
        if (!factsHeld) {
            header.Fail(", column db2_facts is empty where a report of Db2's display output keeps its facts");
        }
        const SqlRow factsRow{rows.db2Facts};
        const std::string facts = RowReader(factsRow, header.Where()).Text(0, "db2_facts");
        report.Db2Display = Db2FactsFromStored(facts, rows.pools.size(), rows.objects.size());
    } else if (factsHeld) {
        header.Fail(", column db2_facts holds Db2 display facts, but the report is a monitor's");
    }
    report.StatFileLoaded = true;

    for (std::size_t s = 0; s < rows.simulatedSizes.size(); ++s) {
        const RowReader reader(rows.simulatedSizes[s], "simulated size " + std::to_string(s + 1));
        reader.ExpectColumns(5);
        SimulatedSize size{reader.Integer<int>(0, "pool_number"), reader.Integer<int>(1, "size_number"),
                           reader.Integer<std::int64_t>(2, "buffers"), reader.Double(3, "sys_hit_ratio"),
                           reader.Double(4, "read_io_rate")};
        if (!report.HasPool(size.pool)) {
            reader.Fail("pool_number", "names pool " + std::to_string(size.pool) + " of a report of " +
                                           std::to_string(report.PoolCount()) + " pools");
        }
        if (size.size < 1 || size.size > MaxSimSizes) {
            reader.Fail("size_number", "holds " + std::to_string(size.size) + " where 1 to " +
                                           std::to_string(MaxSimSizes) + " belong");
        }
        stored.simulatedSizes.push_back(size);
    }
    return stored;
}

} // namespace ornexa
