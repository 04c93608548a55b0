#include <gtest/gtest.h>

#include <filesystem>

#include "report/fixed_text.h"
#include "sample_report.h"
#include "session/history_page.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

// A history of generated reports: three of SYSA/DB2P a day apart, one of another subsystem.
class HistoryPageTest : public testing::Test {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open((dir.Path() / "history.db").string());
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store = *opened.value;
        ids.push_back(Import("day1.sta", "2026-11-28", "DB2P", 11));
        ids.push_back(Import("day2.sta", "2026-11-29", "DB2P", 12));
        ids.push_back(Import("day3.sta", "2026-11-30", "DB2P", 13));
        ids.push_back(Import("other.sta", "2026-11-27", "DB2T", 14));
    }

    std::int64_t Import(const std::string& name, std::string_view date, std::string_view subsystem,
                        std::uint64_t seed) {
        Report report = samplegen::BuildSampleReport(seed);
        report.Header.CollectionDate = date;
        report.Header.CollectionTime = "10.00.00";
        report.Header.SubSystemName = subsystem;
        const auto path = dir.Write(name, samplegen::StatisticsText(report));
        const ImportOutcome outcome = ImportReportFile(*store, path.string());
        EXPECT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
        return outcome.reportId;
    }

    [[nodiscard]] static std::string SecondPoolName() {
        return std::string(TrimBlanks(samplegen::BuildSampleReport(11).Pools(2).PoolName.Padded()));
    }

    test::TempDir dir;
    std::shared_ptr<HistoryStore> store;
    std::vector<std::int64_t> ids; // day1, day2, day3, other
};

TEST_F(HistoryPageTest, StartsWithTheAnalysedPoolAndShowsTheStoredFigures) {
    const std::string pool = SecondPoolName();
    HistoryPage page(store, pool + "   ");
    ASSERT_EQ(page.Refresh(), "");
    EXPECT_EQ(page.Reports().size(), 4U);
    EXPECT_EQ(page.CurrentPool(), pool);

    const auto stored = store->PoolTrend(pool);
    ASSERT_TRUE(stored.Ok());
    ASSERT_EQ(page.PoolPoints().size(), stored.value->size());
    const ChartModel& getPages = page.PoolCharts()[GetPagesTrend];
    ASSERT_EQ(getPages.series.size(), 1U);
    ASSERT_EQ(getPages.series[0].size(), stored.value->size());
    for (std::size_t i = 0; i < stored.value->size(); ++i) {
        EXPECT_DOUBLE_EQ(getPages.series[0][i], *(*stored.value)[i].getPagesPerSecond) << i;
    }

    // A pool the history does not hold: the first one held instead.
    HistoryPage unknown(store, "NOPOOL");
    ASSERT_EQ(unknown.Refresh(), "");
    EXPECT_EQ(unknown.CurrentPool(), unknown.PoolNames().front());
}

TEST_F(HistoryPageTest, ComparesTheTwoNewestOfOneSubsystemOlderFirst) {
    HistoryPage page(store);
    ASSERT_EQ(page.Refresh(), "");
    EXPECT_EQ(page.CompareBefore(), ids[1]);
    EXPECT_EQ(page.CompareAfter(), ids[2]);
    ASSERT_TRUE(page.Comparison().has_value());
    EXPECT_FALSE(page.Comparison()->pools.empty());

    // Chosen newer first, compared older first.
    ASSERT_EQ(page.ChooseComparison(ids[2], ids[0]), "");
    EXPECT_EQ(page.CompareBefore(), ids[0]);
    EXPECT_EQ(page.CompareAfter(), ids[2]);
    EXPECT_NE(page.ChooseComparison(ids[0], 9999), "");
    EXPECT_EQ(page.CompareBefore(), ids[0]); // a bad choice leaves the last one

    // The compared report removed: the list, the trend and the comparison follow.
    const std::size_t points = page.PoolPoints().size();
    ASSERT_EQ(page.Remove(ids[2]), "");
    EXPECT_EQ(page.Reports().size(), 3U);
    EXPECT_EQ(page.Find(ids[2]), nullptr);
    EXPECT_EQ(page.PoolPoints().size(), points - 1);
    EXPECT_EQ(page.CompareBefore(), ids[0]);
    EXPECT_EQ(page.CompareAfter(), ids[1]);
    EXPECT_NE(page.Remove(ids[2]), "");
}

TEST_F(HistoryPageTest, NoComparisonWithoutTwoReportsOfOneSubsystem) {
    for (const std::int64_t id : {ids[0], ids[1]}) {
        ASSERT_TRUE(store->Remove(id).Ok());
    }
    HistoryPage page(store);
    ASSERT_EQ(page.Refresh(), "");
    EXPECT_FALSE(page.CompareBefore().has_value());
    EXPECT_FALSE(page.Comparison().has_value());
}

TEST_F(HistoryPageTest, TheObjectFilterChoosesTheObjectShown) {
    HistoryPage page(store);
    ASSERT_EQ(page.Refresh(), "");
    ASSERT_FALSE(page.ObjectNames().empty());
    const std::string second = page.ObjectNames().at(1);
    ASSERT_EQ(page.ChooseObject(second), "");
    EXPECT_EQ(page.ObjectPoints().size(), store->ObjectTrend(second).value->size());
    EXPECT_FALSE(page.ObjectCharts()[ObjectGetPagesTrend].series.empty());

    // A filter that still lists it keeps it; one that does not takes the first listed.
    ASSERT_EQ(page.FilterObjects(second), "");
    EXPECT_EQ(page.CurrentObject(), second);
    ASSERT_EQ(page.FilterObjects("no object is called this"), "");
    EXPECT_TRUE(page.ObjectNames().empty());
    EXPECT_EQ(page.CurrentObject(), "");
    EXPECT_TRUE(page.ObjectPoints().empty());
}

TEST_F(HistoryPageTest, OpensTheFileWithTheSimulationReadWithIt) {
    HistoryPage page(store);
    ASSERT_EQ(page.Refresh(), "");
    const HistoryReportInfo* day1 = page.Find(ids[0]);
    ASSERT_NE(day1, nullptr);
    const auto sim = dir.Write("day1.sim", "simulation");
    RecentReports recent;
    recent.ReadSimulation(day1->fileName, sim);

    const auto open = page.FilesToOpen(ids[0], recent);
    ASSERT_TRUE(open.value.has_value()) << open.FaultText();
    EXPECT_EQ(open.value->statistics, day1->fileName);
    EXPECT_EQ(open.value->simulation, sim);
    EXPECT_TRUE(page.FilesToOpen(ids[1], recent).value->simulation.empty());

    std::filesystem::remove(day1->fileName);
    const auto gone = page.FilesToOpen(ids[0], recent);
    EXPECT_FALSE(gone.value.has_value());
    EXPECT_NE(gone.FaultText().find("is no longer there"), std::string::npos) << gone.FaultText();
}

TEST(HistoryImportText, SaysWhatBecameOfTheReport) {
    const struct {
        ImportOutcome outcome;
        std::string text;
    } cases[] = {
        {{ImportStatus::Imported, 7, "", std::nullopt}, "Kept in the history as report 7."},
        {{ImportStatus::AlreadyPresent, 3, "already in the history", std::nullopt},
         "Already in the history as report 3."},
        {{ImportStatus::Refused, 0, "the report did not load whole", std::nullopt},
         "Not kept in the history: the report did not load whole"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HistoryImportText(c.outcome), c.text);
    }
}

} // namespace
} // namespace ornexa
