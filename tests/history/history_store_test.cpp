#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "history/history_store.h"
#include "history/sqlite_database.h"
#include "history_backends.h"
#include "record_compare.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::TestBackend;

// A generated report collected at `date`/`time`; `seed` gives other figures for the same pools.
Report Generated(std::string_view date, std::string_view time, std::uint64_t seed = samplegen::SampleSeed) {
    Report report = samplegen::BuildSampleReport(seed);
    report.Header.CollectionDate = date;
    report.Header.CollectionTime = time;
    return report;
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class HistoryStoreTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        location_ = test::FreshLocation(GetParam(), dir_.Path());
        auto opened = HistoryStore::Open(location_);
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store_ = *opened.value;
    }

    std::filesystem::path Write(const std::string& name, const Report& report) {
        return dir_.Write(name, samplegen::StatisticsText(report));
    }
    ImportOutcome ImportFile(const std::string& name, const Report& report) {
        return ImportReportFile(*store_, Write(name, report).string());
    }
    std::int64_t Count(const std::string& table) {
        return std::get<std::int64_t>(store_->Database().Query("SELECT COUNT(*) FROM " + table).at(0).at(0));
    }

    test::TempDir dir_;
    std::string location_;
    std::shared_ptr<HistoryStore> store_;
};

TEST_P(HistoryStoreTest, AnImportedReportReadsBackFieldForField) {
    const std::filesystem::path path = Write("day1.sta", Generated("2026-11-30", "10.15.00"));
    Report read;
    ASSERT_TRUE(ReadStatisticsFile(read, path).Loaded());

    const ImportOutcome outcome = ImportReportFile(*store_, path.string());
    ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;

    const auto reports = store_->Reports();
    ASSERT_TRUE(reports.Ok()) << reports.FaultText();
    ASSERT_EQ(reports.value->size(), 1U);
    const HistoryReportInfo& info = reports.value->front();
    EXPECT_EQ(info.system, "SYSA");
    EXPECT_EQ(info.subsystem, "DB2P");
    EXPECT_EQ(info.collectedAt, "2026-11-30T10:15:00");
    EXPECT_EQ(info.elapsedSeconds, 5400);
    EXPECT_EQ(info.pools, read.PoolCount());
    EXPECT_EQ(info.objects, read.ObjectCount());
    EXPECT_EQ(info.fileName, std::filesystem::absolute(path).lexically_normal().string());

    auto loaded = store_->Load(outcome.reportId);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
    Report& back = loaded.value->report;
    ASSERT_EQ(back.PoolCount(), read.PoolCount());
    ASSERT_EQ(back.ObjectCount(), read.ObjectCount());
    test::ExpectSameFields(HeaderFields(back.Header), HeaderFields(read.Header));
    for (int p = 1; p <= read.PoolCount(); ++p) {
        SCOPED_TRACE("pool " + std::to_string(p));
        test::ExpectSameFields(PoolFields(back.Pools(p)), PoolFields(read.Pools(p)));
        EXPECT_EQ(back.Pools(p).FirstObject, read.Pools(p).FirstObject);
        EXPECT_EQ(back.Pools(p).LastObject, read.Pools(p).LastObject);
    }
    for (int o = 1; o <= read.ObjectCount(); ++o) {
        SCOPED_TRACE("object " + std::to_string(o));
        test::ExpectSameFields(ObjectFields(back.Objects(o)), ObjectFields(read.Objects(o)));
    }
    EXPECT_EQ(back.ElapsedSeconds, read.ElapsedSeconds);
}

TEST_P(HistoryStoreTest, TheSameContentIsKeptOnceAndTheSameTimeWithOtherContentIsFlagged) {
    const Report report = Generated("2026-11-30", "10.15.00");
    const ImportOutcome first = ImportFile("a.sta", report);
    ASSERT_EQ(first.status, ImportStatus::Imported) << first.message;

    const ImportOutcome again = ImportFile("copy-of-a.sta", report);
    EXPECT_EQ(again.status, ImportStatus::AlreadyPresent);
    EXPECT_EQ(again.reportId, first.reportId);
    EXPECT_EQ(again.message, "already in the history");

    const ImportOutcome other = ImportFile("b.sta", Generated("2026-11-30", "10.15.00", 7));
    ASSERT_EQ(other.status, ImportStatus::Imported) << other.message;
    ASSERT_TRUE(other.sameTimeAs.has_value());
    EXPECT_EQ(*other.sameTimeAs, first.reportId);
    EXPECT_NE(other.message.find("other content"), std::string::npos) << other.message;

    const auto reports = store_->Reports();
    ASSERT_TRUE(reports.Ok());
    ASSERT_EQ(reports.value->size(), 2U);
    EXPECT_FALSE(reports.value->at(0).sameTimeAs.has_value());
    EXPECT_EQ(reports.value->at(1).sameTimeAs, first.reportId);
}

TEST_P(HistoryStoreTest, OnlyReportsThatLoadedWholeGoIn) {
    Report cut = Generated("2026-11-30", "10.15.00");
    cut.Header.ReportPoolCount = static_cast<Integer>(cut.PoolCount() + 3);
    struct Case {
        const char* name;
        std::string text;
        const char* reason;
    };
    const std::vector<Case> cases{
        {"not-a-report.sta", "hello\n", "did not load"},
        {"cut-short.sta", samplegen::StatisticsText(cut), "cut short"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportOutcome outcome = ImportReportFile(*store_, dir_.Write(c.name, c.text).string());
        EXPECT_EQ(outcome.status, ImportStatus::Refused);
        EXPECT_NE(outcome.message.find(c.reason), std::string::npos) << outcome.message;
    }
    const ImportOutcome missing = ImportReportFile(*store_, (dir_.Path() / "gone.sta").string());
    EXPECT_EQ(missing.status, ImportStatus::Refused);
    EXPECT_EQ(Count("reports"), 0);
    EXPECT_EQ(Count("pools"), 0);
    EXPECT_EQ(Count("objects"), 0);
}

TEST_P(HistoryStoreTest, APoolsTrendFollowsCollectionTimeWithItsFigures) {
    Report later = Generated("2026-12-02", "10.15.00", 3);
    later.Pools(2).VPSize = 30000;
    Report other = Generated("2026-12-01", "10.15.00", 4);
    other.Header.SystemName = "SYSB";
    ASSERT_EQ(ImportFile("later.sta", later).status, ImportStatus::Imported);
    ASSERT_EQ(ImportFile("first.sta", Generated("2026-11-30", "10.15.00")).status, ImportStatus::Imported);
    ASSERT_EQ(ImportFile("other.sta", other).status, ImportStatus::Imported);

    const std::string pool = later.Pools(2).PoolName.Str();
    const auto all = store_->PoolTrend(pool);
    ASSERT_TRUE(all.Ok()) << all.FaultText();
    ASSERT_EQ(all.value->size(), 3U);
    EXPECT_EQ(all.value->at(0).report.collectedAt, "2026-11-30T10:15:00");
    EXPECT_EQ(all.value->at(1).report.system, "SYSB");

    const auto trend = store_->PoolTrend(pool, {"SYSA", "DB2P"});
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    ASSERT_EQ(trend.value->size(), 2U);
    const PoolTrendPoint& last = trend.value->back();
    const PoolRecord& expected = later.Pools(2);
    EXPECT_EQ(last.pool.VPSize, 30000);
    EXPECT_EQ(last.hitRatio, expected.PoolHitRatio);
    EXPECT_DOUBLE_EQ(*last.getPagesPerSecond, expected.PoolGetPages / 5400.0);
    EXPECT_DOUBLE_EQ(*last.syncReadIOsPerSecond, expected.PoolReadIOsByType(1) / 5400.0);
    EXPECT_DOUBLE_EQ(*last.pagesWrittenPerSecond, expected.PoolPagesWritten / 5400.0);

    const auto names = store_->PoolNames();
    ASSERT_TRUE(names.Ok());
    EXPECT_EQ(names.value->size(), static_cast<std::size_t>(later.PoolCount()));
    EXPECT_TRUE(store_->PoolTrend("NOSUCH").value->empty());
}

TEST_P(HistoryStoreTest, ObjectsAreFoundByPartOfTheirNameAndFollowedOverTime) {
    Report report = Generated("2026-11-30", "10.15.00");
    report.Objects(1).ObjName = "PAY_ROLL%X";
    Report next = Generated("2026-12-01", "10.15.00", 5);
    next.Objects(1).ObjName = "PAY_ROLL%X";
    ASSERT_EQ(ImportFile("a.sta", report).status, ImportStatus::Imported);
    ASSERT_EQ(ImportFile("b.sta", next).status, ImportStatus::Imported);

    const auto found = store_->ObjectNames("roll%", 10);
    ASSERT_TRUE(found.Ok()) << found.FaultText();
    ASSERT_EQ(*found.value, std::vector<std::string>{"PAY_ROLL%X"});
    EXPECT_TRUE(store_->ObjectNames("PAYXROLL", 10).value->empty()); // '_' is no wildcard
    EXPECT_EQ(store_->ObjectNames("", 3).value->size(), 3U);

    const auto trend = store_->ObjectTrend("PAY_ROLL%X");
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    ASSERT_EQ(trend.value->size(), 2U);
    EXPECT_EQ(trend.value->at(1).poolName, next.Objects(1).ObjPoolName.Str());
    EXPECT_DOUBLE_EQ(*trend.value->at(1).getPagesPerSecond, next.Objects(1).ObjGetPages / 5400.0);
    EXPECT_EQ(trend.value->at(1).sysHitRatio, next.Objects(1).SysHitRatio);
}

TEST_P(HistoryStoreTest, RemovingAReportTakesItsRecordsWithIt) {
    const ImportOutcome a = ImportFile("a.sta", Generated("2026-11-30", "10.15.00"));
    const ImportOutcome b = ImportFile("b.sta", Generated("2026-11-30", "10.15.00", 9));
    ASSERT_EQ(b.sameTimeAs, a.reportId);
    const std::int64_t objects = Count("objects");

    ASSERT_TRUE(store_->Remove(a.reportId).Ok());
    EXPECT_EQ(Count("reports"), 1);
    EXPECT_EQ(Count("objects"), objects / 2);
    EXPECT_FALSE(store_->Info(b.reportId).value->sameTimeAs.has_value());
    const auto again = store_->Remove(a.reportId);
    EXPECT_FALSE(again.Ok());
    EXPECT_NE(again.FaultText().find("no report"), std::string::npos) << again.FaultText();
}

TEST_P(HistoryStoreTest, AFailedImportLeavesTheHistoryAsItWas) {
    ASSERT_EQ(ImportFile("a.sta", Generated("2026-11-30", "10.15.00")).status, ImportStatus::Imported);
    // The objects go in after the report and its pools: a refused object row must take them back.
    store_->Database().ExecuteScript("DROP TABLE object_names");
    const ImportOutcome outcome = ImportFile("b.sta", Generated("2026-12-01", "10.15.00", 2));
    EXPECT_EQ(outcome.status, ImportStatus::Refused);
    EXPECT_NE(outcome.message.find("not kept"), std::string::npos) << outcome.message;
    EXPECT_EQ(Count("reports"), 1);
    EXPECT_EQ(Count("pools"), samplegen::BuildSampleReport().PoolCount());
}

TEST_P(HistoryStoreTest, ReopeningKeepsTheReportsAndTheSchemaVersion) {
    ASSERT_EQ(ImportFile("a.sta", Generated("2026-11-30", "10.15.00")).status, ImportStatus::Imported);
    EXPECT_EQ(store_->Database().SchemaVersion(), HistoryStore::CurrentSchemaVersion());
    store_.reset();
    auto reopened = HistoryStore::Open(location_);
    ASSERT_TRUE(reopened.Ok()) << reopened.FaultText();
    EXPECT_EQ((*reopened.value)->Reports().value->size(), 1U);

    (*reopened.value)->Database().SetSchemaVersion(HistoryStore::CurrentSchemaVersion() + 1);
    reopened.value->reset();
    const auto newer = HistoryStore::Open(location_);
    EXPECT_FALSE(newer.Ok());
    EXPECT_NE(newer.FaultText().find("newer version"), std::string::npos) << newer.FaultText();
}

INSTANTIATE_TEST_SUITE_P(Backends, HistoryStoreTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

// What only a file can show: the file itself, a second program, a crash.
class HistoryFileTest : public testing::Test {
protected:
    test::TempDir dir_;
};

TEST_F(HistoryFileTest, AnEmptyFileBecomesAHistoryAndAForeignFileIsLeftAlone) {
    const auto empty = dir_.Write("empty.db", "");
    EXPECT_TRUE(HistoryStore::Open(empty.string()).Ok());

    const auto foreign = dir_.Write("notes.db", "these are my notes, not a database\n");
    const auto opened = HistoryStore::Open(foreign.string());
    ASSERT_FALSE(opened.Ok());
    EXPECT_NE(opened.FaultText().find("is not a history database"), std::string::npos) << opened.FaultText();
    EXPECT_EQ(ReadWhole(foreign), "these are my notes, not a database\n");
}

TEST_F(HistoryFileTest, AReadOnlyHistoryRefusesTheImportWithItsReason) {
    const auto path = (dir_.Path() / "history.db").string();
    auto store = *HistoryStore::Open(path).value;
    // The superuser writes whatever the file's mode says; SQLite's own switch refuses writes for all.
    ::chmod(path.c_str(), 0444);
    store->Database().ExecuteScript("PRAGMA query_only = ON");
    const ImportOutcome outcome = ImportReportFile(
        *store, dir_.Write("a.sta", samplegen::StatisticsText(Generated("2026-11-30", "10.15.00"))).string());
    EXPECT_EQ(outcome.status, ImportStatus::Refused);
    EXPECT_NE(outcome.message.find("readonly"), std::string::npos) << outcome.message;
    store->Database().ExecuteScript("PRAGMA query_only = OFF");
    EXPECT_TRUE(store->Reports().value->empty());
}

TEST_F(HistoryFileTest, AnImportKilledMidwayLeavesNothingBehind) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const auto path = (dir_.Path() / "history.db").string();
    const auto report = dir_.Write("a.sta", samplegen::StatisticsText(Generated("2026-11-30", "10.15.00")));
    ASSERT_TRUE(HistoryStore::Open(path).Ok());

    // A database that dies like a killed program the moment the objects go in.
    class DyingDatabase final : public SqlDatabase {
    public:
        explicit DyingDatabase(std::unique_ptr<SqlDatabase> db) : db_(std::move(db)) {}
        [[nodiscard]] SqlDialect Dialect() const override { return db_->Dialect(); }
        [[nodiscard]] std::string Location() const override { return db_->Location(); }
        std::vector<SqlRow> Query(const std::string& sql, const SqlParams& params) override {
            return db_->Query(sql, params);
        }
        void ExecuteMany(const std::string& sql, const std::vector<SqlParams>& rows) override {
            if (sql.find("INTO objects") != std::string::npos) {
                std::_Exit(9);
            }
            db_->ExecuteMany(sql, rows);
        }
        void ExecuteScript(const std::string& sql) override { db_->ExecuteScript(sql); }
        void Begin() override { db_->Begin(); }
        void Commit() override { db_->Commit(); }
        void Rollback() override { db_->Rollback(); }
        int SchemaVersion() override { return db_->SchemaVersion(); }
        void SetSchemaVersion(int version) override { db_->SetSchemaVersion(version); }

    private:
        std::unique_ptr<SqlDatabase> db_;
    };
    EXPECT_EXIT(
        {
            HistoryStore dying(std::make_unique<DyingDatabase>(OpenSqliteDatabase(path)));
            ImportReportFile(dying, report.string());
        },
        testing::ExitedWithCode(9), "");

    auto store = *HistoryStore::Open(path).value;
    EXPECT_TRUE(store->Reports().value->empty());
    EXPECT_EQ(std::get<std::int64_t>(store->Database().Query("SELECT COUNT(*) FROM pools").at(0).at(0)), 0);
    EXPECT_EQ(std::get<std::string>(store->Database().Query("PRAGMA integrity_check").at(0).at(0)), "ok");
    EXPECT_EQ(ImportReportFile(*store, report.string()).status, ImportStatus::Imported);
}

TEST_F(HistoryFileTest, TwoProgramsImportIntoOneFileAtOnce) {
    const auto path = (dir_.Path() / "history.db").string();
    std::vector<std::filesystem::path> files;
    for (int i = 0; i < 8; ++i) {
        Report report = Generated("2026-12-0" + std::to_string(i + 1), "10.15.00", 100 + i);
        files.push_back(dir_.Write("r" + std::to_string(i) + ".sta", samplegen::StatisticsText(report)));
    }
    std::vector<std::string> faults(2);
    auto worker = [&](int half) {
        auto opened = HistoryStore::Open(path);
        if (!opened.Ok()) {
            faults[static_cast<std::size_t>(half)] = opened.FaultText();
            return;
        }
        for (std::size_t i = static_cast<std::size_t>(half); i < files.size(); i += 2) {
            const ImportOutcome outcome = ImportReportFile(**opened.value, files[i].string());
            if (outcome.status != ImportStatus::Imported) {
                faults[static_cast<std::size_t>(half)] += outcome.message;
            }
        }
    };
    std::thread first(worker, 0);
    std::thread second(worker, 1);
    first.join();
    second.join();
    EXPECT_EQ(faults, std::vector<std::string>(2));
    EXPECT_EQ((*HistoryStore::Open(path).value)->Reports().value->size(), files.size());
}

TEST(CollectionTimestamp, ReadsTheDateFormsOfTheMonitor) {
    struct Case {
        const char* date;
        const char* time;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases{
        {"2026-11-30", "10.15.00", "2026-11-30T10:15:00"},
        {"11/30/2026", "10:15:00", "2026-11-30T10:15:00"},
        {"30.11.2026", "23.59.59", "2026-11-30T23:59:59"},
        {"2026-02-30", "10.15.00", std::nullopt},
        {"2026-11-30", "24.00.00", std::nullopt},
        {"", "10.15.00", std::nullopt},
        {"2026-11", "10.15.00", std::nullopt},
        {"2026-11-3x", "10.15.00", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CollectionTimestamp(c.date, c.time), c.expected) << c.date << " " << c.time;
    }
}

TEST(ContentHash, TellsContentApartAndIsStable) {
    EXPECT_EQ(ContentHash("abc"), ContentHash("abc"));
    EXPECT_NE(ContentHash("abc"), ContentHash("abd"));
    EXPECT_EQ(ContentHash("").size(), 32U);
}

} // namespace
} // namespace ornexa
