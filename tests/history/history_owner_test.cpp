// A SQLite history file is this program's when it carries the history's application id, or (made
// before the id was set) when it holds exactly a history's tables. Another program's database is
// refused without a byte or its journal mode changed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foreign_database.h"
#include "history/history_schema.h"
#include "history/history_store.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::FileBytes;
using test::RunSqlite;
using test::WriteForeignDatabase;

const std::string MarkText = std::to_string(HistoryApplicationId);

std::string HistoryTablesSql() {
    std::string sql;
    for (const std::string_view table : HistoryTableNames()) {
        sql += "CREATE TABLE " + std::string(table) + " (x);";
    }
    return sql;
}

TEST(HistoryOwner, AnotherProgramsDatabaseIsRefusedUntouched) {
    struct Case {
        const char* what;
        std::int32_t applicationId;
        std::string tables;
    };
    const std::vector<Case> cases{
        {"a notes application's tables", 0, "CREATE TABLE notes (body TEXT); INSERT INTO notes VALUES ('x');"},
        {"its own application id and no table yet", 0x12345678, ""},
        {"one table of a history's name", 0, "CREATE TABLE reports (id INTEGER PRIMARY KEY, title TEXT);"},
        {"a history's tables and one more", 0, HistoryTablesSql() + "CREATE TABLE notes (body TEXT);"},
        {"a history's tables under another application id", 0x12345678, HistoryTablesSql()},
        {"a view only", 0, "CREATE VIEW v AS SELECT 1;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const test::TempDir dir;
        const auto path = WriteForeignDatabase(dir.Path() / "app.db", c.applicationId, c.tables);
        const std::string before = FileBytes(path);

        const auto opened = HistoryStore::Open(path.string());
        ASSERT_FALSE(opened.Ok());
        EXPECT_NE(opened.FaultText().find("\"" + path.string() + "\" is not an ORNEXA history"), std::string::npos)
            << opened.FaultText();
        EXPECT_NE(opened.FaultText().find("Choose a new file for the history"), std::string::npos)
            << opened.FaultText();

        EXPECT_EQ(FileBytes(path), before);
        EXPECT_EQ(RunSqlite(path, "PRAGMA journal_mode"), "delete");
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / "app.db-wal"));
    }
}

TEST(HistoryOwner, ANewOrEmptyFileIsMarkedAsAHistory) {
    const test::TempDir dir;
    const auto empty = dir.Write("empty.db", "");
    const auto emptyDatabase = WriteForeignDatabase(dir.Path() / "no-tables.db", 0, "");
    for (const auto& path : {dir.Path() / "new.db", empty, emptyDatabase}) {
        SCOPED_TRACE(path.string());
        ASSERT_TRUE(HistoryStore::Open(path.string()).Ok());
        EXPECT_EQ(RunSqlite(path, "PRAGMA application_id"), MarkText);
        EXPECT_EQ(RunSqlite(path, "PRAGMA journal_mode"), "wal");
    }
}

TEST(HistoryOwner, AnOlderHistoryIsKnownByItsTablesAndMarkedOnce) {
    const test::TempDir dir;
    const auto path = dir.Path() / "history.db";
    {
        auto store = *HistoryStore::Open(path.string()).value;
        const Report report = samplegen::BuildSampleReport(samplegen::SampleSeed);
        EXPECT_EQ(ImportReportFile(*store, dir.Write("a.sta", samplegen::StatisticsText(report)).string()).status,
                  ImportStatus::Imported);
    }
    // The tables the history made are the ones it tells a history by.
    EXPECT_EQ(RunSqlite(path, "SELECT group_concat(name, ',') FROM (SELECT name FROM sqlite_master WHERE type = "
                              "'table' ORDER BY name)"),
              "object_names,objects,pool_ratings,pools,rated_pool_names,report_health,reports,simulated_sizes");

    RunSqlite(path, "PRAGMA application_id = 0"); // as a history made before the mark was set
    const auto reopened = HistoryStore::Open(path.string());
    ASSERT_TRUE(reopened.Ok()) << reopened.FaultText();
    EXPECT_EQ((*reopened.value)->Reports().value->size(), 1U);
    EXPECT_EQ(RunSqlite(path, "PRAGMA application_id"), MarkText);
}

} // namespace
} // namespace ornexa
