// A history is a file anyone can edit: rows that no import wrote are read back as a fault that names
// the row and the column, never as some other figure.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "history/history_store.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

class StoredRowsTest : public testing::Test {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open((tempDir.Path() / "history.db").string());
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        history = *opened.value;
        const auto path = tempDir.Write("day1.sta", samplegen::StatisticsText(samplegen::BuildSampleReport()));
        const ImportOutcome outcome = ImportReportFile(*history, path.string());
        ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
        reportId = outcome.reportId;
    }

    test::TempDir tempDir;
    std::shared_ptr<HistoryStore> history;
    std::int64_t reportId = 0;
};

TEST_F(StoredRowsTest, ATamperedRowIsAFaultNamingItsRowAndColumn) {
    struct Case {
        const char* what;
        std::string sql;
        std::string said;
    };
    const std::vector<Case> cases{
        {"text in a number", "UPDATE pools SET vpsize = 'lots' WHERE pool_number = 2",
         "pool 2, column vpsize holds the text \"lots\" where a number belongs"},
        {"beyond a 32-bit field", "UPDATE pools SET poolgetpages = 5000000000 WHERE pool_number = 1",
         "pool 1, column poolgetpages holds 5000000000, beyond its field (-2147483648 to 2147483647)"},
        {"a fraction in a whole number", "UPDATE objects SET objgetpages = 2.5 WHERE object_number = 3",
         "object 3, column objgetpages holds 2.5 where a whole number belongs"},
        {"a huge real in a whole number", "UPDATE objects SET objgetpages = 1e300 WHERE object_number = 3",
         "object 3, column objgetpages holds "},
        {"a name longer than its field", "UPDATE pools SET poolname = 'BUFFERPOOL1' WHERE pool_number = 1",
         "pool 1, column poolname holds 11 characters where its field has 8"},
        {"a negative elapsed time", "UPDATE reports SET elapsed_seconds = -832281",
         "column elapsed_seconds holds a negative time"},
        {"an object row gone", "DELETE FROM objects WHERE object_number = 5",
         "the report is listed with 270 objects but holds 269"},
        {"a range beyond the objects", "UPDATE pools SET last_object = 100000 WHERE pool_number = 1",
         "pool 1 (BP0) names objects 1 to 100000"},
        {"a simulated size of no pool", "INSERT INTO simulated_sizes VALUES (1, 99, 1, 1000, 90.0, 1.0)",
         "simulated size 1, column pool_number names pool 99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        history->Database().Begin();
        history->Database().Query(c.sql);
        const auto loaded = history->Load(reportId);
        history->Database().Rollback();
        ASSERT_FALSE(loaded.Ok()) << "read back as if nothing were wrong";
        EXPECT_NE(loaded.FaultText().find("Report " + std::to_string(reportId) + " could not be read"),
                  std::string::npos)
            << loaded.FaultText();
        EXPECT_NE(loaded.FaultText().find(c.said), std::string::npos) << loaded.FaultText();
    }
    EXPECT_TRUE(history->Load(reportId).Ok()) << "each case was rolled back";
}

TEST_F(StoredRowsTest, ATrendOfATamperedPoolSaysSoInsteadOfShowingAFigure) {
    history->Database().Query("UPDATE pools SET poolgetpages = 'x' WHERE poolname = 'BP1'");
    const auto trend = history->PoolTrend("BP1");
    ASSERT_FALSE(trend.Ok());
    EXPECT_NE(trend.FaultText().find("column poolgetpages holds the text \"x\""), std::string::npos)
        << trend.FaultText();
}

TEST(StoredRows, AReportReadUnderALargeSitesLimitsComesBackWhole) {
    const test::TempDir dir;
    auto opened = HistoryStore::Open((dir.Path() / "history.db").string());
    ASSERT_TRUE(opened.Ok()) << opened.FaultText();
    Report large = samplegen::BuildSampleReport();
    large.SetLimits(ReportLimits::LargeSite());
    samplegen::Rng rng(7);
    samplegen::AddPool(large, {"BP40", samplegen::PoolMix::Large, 100000, 0, 80, 0, 30, 5, 6000}, rng);
    ASSERT_GT(large.ObjectCount(), ReportLimits::Monitor().objects);
    const auto path = dir.Write("large.sta", samplegen::StatisticsText(large));

    const ImportOutcome outcome = ImportReportFile(**opened.value, path.string(), {}, ReportLimits::LargeSite());
    ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
    const auto loaded = (*opened.value)->Load(outcome.reportId);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
    EXPECT_EQ(loaded.value->report.ObjectCount(), large.ObjectCount());
    EXPECT_EQ(loaded.value->report.Pools(loaded.value->report.PoolCount()).LastObject, large.ObjectCount());
}

} // namespace
} // namespace ornexa
