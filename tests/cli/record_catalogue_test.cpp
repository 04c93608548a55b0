#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "cli/csv_tables.h"
#include "cli/report_document.h"
#include "history/history_schema.h"
#include "history/sqlite_database.h"
#include "history/stored_rows.h"
#include "record_compare.h"
#include "report/field_conversion.h"
#include "report/record_catalogue.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

constexpr std::size_t AddedCount = PoolFieldCount + 1;

// The pool catalogue with one field more, as a new version of the monitor might write it: columns 471
// to 480 of the pool line, kept in FirstObject (a stand-in for a member of its own), stored in the
// history's column "addedfield", shown as "added" in the JSON document and as "Added" in the lists.
class AddedPoolField : public ::testing::Test {
protected:
    AddedPoolField() {
        std::copy(PoolCatalogue().begin(), PoolCatalogue().end(), fields_.begin());
        fields_.back() = {
            "FirstObject", Member<&PoolRecord::FirstObject>(), {471, 10, FieldKind::L}, "addedfield", "added", "Added"};
    }
    [[nodiscard]] std::span<const RecordField<PoolRecord>, AddedCount> Catalogue() const { return fields_; }

private:
    std::array<RecordField<PoolRecord>, AddedCount> fields_;
};

TEST_F(AddedPoolField, IsReadFromItsColumns) {
    const PoolRecord written = test::TestPool("BP7");
    const std::string line = samplegen::PoolLine(written, true) + "      1234";
    const std::array<ColumnDef, AddedCount> columns = ColumnsOf(Catalogue());
    EXPECT_EQ(columns.back(), (ColumnDef{471, 10, FieldKind::L}));

    PoolRecord read;
    std::int32_t fieldNo = 0;
    EXPECT_FALSE(ConvertLine(line, std::span<const ColumnDef, AddedCount>(columns), TargetsOf(read, Catalogue()), true,
                             fieldNo));
    EXPECT_EQ(fieldNo, static_cast<std::int32_t>(AddedCount));
    EXPECT_EQ(read.FirstObject, 1234);
    EXPECT_EQ(*std::get<const Long*>(FieldsOf(read, Catalogue()).back()), 1234);
    // The fields before it read as the real catalogue reads them.
    test::ExpectSameFields(FieldsOf(read, PoolCatalogue()), FieldsOf(written, PoolCatalogue()));
}

TEST_F(AddedPoolField, IsAColumnOfTheHistoryAndReadsBack) {
    const std::string schema = FirstSchema(SqlDialect::Sqlite, {.pools = Catalogue()});
    EXPECT_NE(schema.find("    vwth DOUBLE PRECISION NOT NULL,\n    addedfield BIGINT NOT NULL,\n    PRIMARY KEY "
                          "(report_id, pool_number)"),
              std::string::npos)
        << schema;
    EXPECT_EQ(FirstSchema(SqlDialect::Sqlite).find("addedfield"), std::string::npos);

    const test::TempDir dir;
    const auto db = OpenSqliteDatabase((dir.Path() / "history.db").string());
    db->ExecuteScript(schema);
    db->ExecuteScript("PRAGMA foreign_keys = OFF"); // the pools' table alone, without its report
    PoolRecord pool = test::TestPool("BP7");
    pool.FirstObject = 1234;
    pool.LastObject = 1240;
    SqlParams row{std::int64_t{1}, std::int64_t{1}, std::int64_t{1234}, std::int64_t{1240}};
    AppendFieldValues(row, pool, Catalogue());
    ASSERT_EQ(row.size(), 4 + AddedCount);
    db->ExecuteMany(InsertSql("pools", {"report_id", "pool_number", "first_object", "last_object"}, Catalogue()),
                    {row});

    EXPECT_EQ(db->Query("SELECT addedfield FROM pools").at(0).at(0), SqlValue(std::int64_t{1234}));
    const auto rows = db->Query("SELECT first_object, last_object, " + ColumnList(Catalogue(), "") + " FROM pools");
    const PoolRecord back = PoolFromRow(rows.at(0), 0, "pool 1", Catalogue());
    test::ExpectSameFields(FieldsOf(back, Catalogue()), FieldsOf(pool, Catalogue()));
    EXPECT_EQ(back.LastObject, 1240);

    // A row of the real catalogue lacks the column: it is refused, not read shifted.
    SqlRow shorter(row.begin(), row.end() - 1);
    EXPECT_THROW((void)PoolFromRow(shorter, 2, "pool 1", Catalogue()), SqlError);
}

TEST_F(AddedPoolField, LeadsTheListsRowsBesideThePoolsName) {
    Report report;
    test::AddPool(report, test::TestPool("BP1"), {test::TestObject("BP1", "DB.A"), test::TestObject("BP1", "DB.B")});
    test::AddPool(report, test::TestPool("BP2"), {test::TestObject("BP2", "DB.C")});

    const TextTable objects = cli::ObjectListTable(report, {1, 2}, {.pools = Catalogue()});
    EXPECT_EQ(objects.header, (std::vector<std::string>{"Pool", "Added", "Object"}));
    EXPECT_EQ(objects.rows, (std::vector<std::vector<std::string>>{
                                {"BP1", "1", "DB.A"}, {"BP1", "1", "DB.B"}, {"BP2", "3", "DB.C"}}));
    const TextTable rules = cli::RuleListTable(report, {1, 2}, PoolUsage::Random, {.pools = Catalogue()});
    EXPECT_EQ(rules.header, (std::vector<std::string>{"Pool", "Added", "Rule"}));
    for (const auto& rule : rules.rows) {
        EXPECT_EQ(rule.at(1), rule.at(0) == "BP1" ? "1" : "3");
    }
    // With one pool the rows name no pool, whatever its fields.
    EXPECT_EQ(cli::ObjectListTable(report, {2}, {.pools = Catalogue()}).header, (std::vector<std::string>{"Object"}));
}

TEST_F(AddedPoolField, IsAMemberOfThePoolsInTheJsonDocument) {
    PoolRecord pool = test::TestPool("BP7");
    pool.FirstObject = 1234;
    EXPECT_EQ(cli::RecordMembers(pool, Catalogue()).dump(), R"({"name":"BP7","added":1234})");
    EXPECT_EQ(cli::RecordMembers(pool).dump(), R"({"name":"BP7"})");
}

// Every field of the real catalogues has its own name and history column, and the history columns
// stay what existing histories hold.
TEST(RecordCatalogue, NamesEachFieldOnce) {
    const auto expectUnique = [](auto catalogue) {
        std::vector<std::string_view> names;
        std::vector<std::string_view> columns;
        for (const auto& field : catalogue) {
            names.push_back(field.name);
            columns.push_back(field.history);
            EXPECT_NE(field.access.read, nullptr) << field.name;
            EXPECT_NE(field.access.write, nullptr) << field.name;
        }
        std::sort(names.begin(), names.end());
        std::sort(columns.begin(), columns.end());
        EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
        EXPECT_EQ(std::adjacent_find(columns.begin(), columns.end()), columns.end());
    };
    expectUnique(HeaderCatalogue());
    expectUnique(PoolCatalogue());
    expectUnique(ObjectCatalogue());
    EXPECT_EQ(FieldIndex<ObjectRecord>(ObjectCatalogue(), "ObjName"), 3U);
    EXPECT_EQ(PoolCatalogue()[FieldIndex<PoolRecord>(PoolCatalogue(), "PoolGetPagesByAccess(2)")].history,
              "poolgetpagesrandom");
    EXPECT_THROW((void)FieldIndex<PoolRecord>(PoolCatalogue(), "NoSuchField"), std::out_of_range);
}

// A record's fields read and written through the catalogue reach the record's own members.
TEST(RecordCatalogue, ReachesTheRecordsMembers) {
    PoolRecord pool;
    const auto targets = TargetsOf(pool, PoolCatalogue());
    *std::get<Long*>(targets[FieldIndex<PoolRecord>(PoolCatalogue(), "PoolReadIOsByType(3)")]) = 77;
    *std::get<double*>(targets[FieldIndex<PoolRecord>(PoolCatalogue(), "VWTH")]) = 2.5;
    EXPECT_EQ(pool.PoolReadIOsByType(3), 77);
    EXPECT_EQ(pool.VWTH, 2.5);
    ObjectRecord object = test::TestObject("BP1", "DB.TS");
    EXPECT_EQ(FieldText(ObjectCatalogue()[3].access.read(object)), "DB.TS");
    object.SysHitRatio = 12.5;
    EXPECT_EQ(FieldText(ObjectCatalogue()[13].access.read(object)), "12.5");
}

} // namespace
} // namespace ornexa
