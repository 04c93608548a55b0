#include <gtest/gtest.h>

#include <filesystem>

#include "report/stat_reader.h"
#include "session/pool_sizing_page.h"
#include "simulation/sim_reader.h"

namespace {

using ornexa::PoolSizingPage;
using ornexa::SizingRow;

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;
constexpr std::int64_t MiB = std::int64_t{1} << 20;

// The sample report with BP1 simulated.
class PoolSizingPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ornexa::ReadStatisticsFile(report, Samples / "statistics-usa.sta").Loaded());
        ASSERT_TRUE(ornexa::ReadSimulationFile(report, sim, Samples / "simulation-bp1.sim").Loaded());
    }

    [[nodiscard]] static const SizingRow& Row(const PoolSizingPage& page, const std::string& name) {
        for (const SizingRow& row : page.Rows()) {
            if (row.poolName == name) {
                return row;
            }
        }
        ADD_FAILURE() << name << " has no row";
        static const SizingRow none;
        return none;
    }
    [[nodiscard]] static int IndexOf(const PoolSizingPage& page, const std::string& name) {
        for (int i = 0; i < page.PoolCount(); ++i) {
            if (page.Curves()[static_cast<std::size_t>(i)].poolName == name) {
                return i;
            }
        }
        return -1;
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
};

TEST_F(PoolSizingPageTest, TheBudgetTextIsABudgetNothingOrAMessageAndABadTextKeepsTheLastPlan) {
    struct Case {
        const char* text;
        std::optional<std::int64_t> bytes;
    };
    const Case cases[] = {
        {"", 0},
        {"  ", 0},
        {"+200M", 200 * MiB},
        {"-1G", -1024 * MiB},
        {"512", 512 * MiB},
        {"+", std::nullopt},
        {"2X", std::nullopt},
        {"G", std::nullopt},
    };
    for (const Case& c : cases) {
        PoolSizingPage page(report, sim);
        page.SetBudgetText("+200M");
        const ornexa::SizingRun good = page.Run();
        page.SetBudgetText(c.text);
        EXPECT_EQ(page.Budget().bytes, c.bytes) << c.text;
        EXPECT_EQ(page.Budget().message.empty(), c.bytes.has_value()) << c.text;
        EXPECT_EQ(page.RunIsCurrent(), c.bytes.has_value()) << c.text;
        if (!c.bytes) {
            EXPECT_EQ(page.Run().budgetBytes, good.budgetBytes) << c.text;
            EXPECT_EQ(page.CommandsText(), ornexa::SizingCommandsText(good)) << c.text;
        } else {
            EXPECT_EQ(page.Run().budgetBytes, *c.bytes) << c.text;
        }
    }
}

TEST_F(PoolSizingPageTest, AGigabyteGrowsTheSimulatedPoolAndTheRowsSayWhatTheyRestOn) {
    PoolSizingPage page(report, sim);
    ASSERT_EQ(page.PoolCount(), report.PoolCount());
    page.SetBudgetText("+1G");
    ASSERT_EQ(page.Rows().size(), static_cast<std::size_t>(report.PoolCount()));
    const SizingRow& bp1 = Row(page, "BP1");
    EXPECT_EQ(bp1.currentBuffers, 20000);
    EXPECT_GT(bp1.proposedBuffers, 20000);
    EXPECT_EQ(bp1.bytes, (bp1.proposedBuffers - bp1.currentBuffers) * 4096);
    EXPECT_EQ(bp1.confidence, ornexa::SizingConfidence::High);
    EXPECT_NE(bp1.evidence.find("simulated"), std::string::npos) << bp1.evidence;
    ASSERT_TRUE(bp1.readsNow && bp1.readsAtProposed && bp1.readsSaved);
    EXPECT_LT(*bp1.readsAtProposed, *bp1.readsNow);
    EXPECT_NEAR(*bp1.readsSaved, *bp1.readsNow - *bp1.readsAtProposed, 1e-6);

    const ornexa::SizingTotals totals = page.Totals();
    EXPECT_EQ(totals.budgetBytes, 1024 * MiB);
    EXPECT_GT(totals.bytesPlaced, 0);
    EXPECT_LE(totals.bytesPlaced, 1024 * MiB);
    EXPECT_GE(totals.poolsMoved, 1);
    EXPECT_NE(page.CommandsText().find("-ALTER BUFFERPOOL(BP1) VPSIZE(" + std::to_string(bp1.proposedBuffers) + ")"),
              std::string::npos)
        << page.CommandsText();
}

TEST_F(PoolSizingPageTest, BoundsHoldAProtectedPoolAtItsSizeAndAPoolBelowItsLargestSize) {
    PoolSizingPage page(report, sim);
    page.SetBudgetText("-200M");
    std::vector<std::string> shrunk;
    for (const SizingRow& row : page.Rows()) {
        if (row.proposedBuffers < row.currentBuffers) {
            shrunk.push_back(row.poolName);
        }
    }
    ASSERT_FALSE(shrunk.empty()) << "giving storage back shrinks a pool";
    for (const std::string& name : shrunk) {
        page.SetProtected(IndexOf(page, name), true);
    }
    for (const std::string& name : shrunk) {
        EXPECT_TRUE(page.Protected(IndexOf(page, name)));
        EXPECT_GE(Row(page, name).proposedBuffers, Row(page, name).currentBuffers) << name;
    }
    page.SetProtected(IndexOf(page, shrunk.front()), false);
    EXPECT_FALSE(page.Protected(IndexOf(page, shrunk.front())));

    page.SetBudgetText("+1G");
    const int bp1 = IndexOf(page, "BP1");
    page.SetLargestSize(bp1, 21000);
    EXPECT_EQ(page.LargestSize(bp1), 21000);
    EXPECT_LE(Row(page, "BP1").proposedBuffers, 21000);
    page.SetLargestSize(bp1, 10000); // below its size: held there, and said
    EXPECT_EQ(Row(page, "BP1").proposedBuffers, 20000);
    EXPECT_FALSE(page.Problems().empty());
    page.SetLargestSize(bp1, std::nullopt);
    EXPECT_GT(Row(page, "BP1").proposedBuffers, 21000);
    EXPECT_TRUE(page.Problems().empty());
}

TEST_F(PoolSizingPageTest, TheChartShowsTheChosenPoolsCurveAndWhereItWouldGo) {
    PoolSizingPage page(report, sim);
    EXPECT_EQ(page.SelectedPool(), page.Curves().front().poolName);
    page.SetBudgetText("+1G");
    page.SelectPool("BP1");
    ornexa::SizingChartData chart = page.Chart();
    EXPECT_EQ(chart.poolName, "BP1");
    EXPECT_EQ(chart.currentBuffers, 20000);
    ASSERT_TRUE(chart.proposedBuffers);
    EXPECT_EQ(*chart.proposedBuffers, Row(page, "BP1").proposedBuffers);
    EXPECT_GT(chart.points.size(), 2U);
    page.SelectPool("NOSUCH");
    EXPECT_EQ(page.SelectedPool(), "BP1");
    page.SetBudgetText("");
    EXPECT_FALSE(page.Chart().proposedBuffers) << "a pool that keeps its size has no second mark";
}

TEST_F(PoolSizingPageTest, HistoryObservationsBecomePointsOfTheirPool) {
    PoolSizingPage page(report, sim);
    EXPECT_FALSE(page.HasHistory());
    const int bp2 = IndexOf(page, "BP2");
    ASSERT_GE(bp2, 0);
    const ornexa::SizingCurve before = page.Curves()[static_cast<std::size_t>(bp2)];
    ASSERT_FALSE(before.points.empty());
    const auto measured = std::find_if(before.points.begin(), before.points.end(), [](const ornexa::SizingPoint& p) {
        return p.evidence == ornexa::SizingEvidence::Measured;
    });
    ASSERT_NE(measured, before.points.end());
    // Another size at the same load (getpages of this report).
    const double getPages =
        static_cast<double>(report.Pools(bp2 + 1).PoolGetPages) / static_cast<double>(report.ElapsedSeconds);
    std::map<std::string, std::vector<ornexa::SizeObservation>> history;
    history["BP2"] = {{before.currentBuffers * 2, getPages, measured->syncReadsPerSecond / 2}};
    page.SetHistory(history);
    EXPECT_TRUE(page.HasHistory());
    const auto& after = page.Curves()[static_cast<std::size_t>(bp2)].points;
    EXPECT_TRUE(std::any_of(after.begin(), after.end(), [&](const ornexa::SizingPoint& p) {
        return p.evidence == ornexa::SizingEvidence::History && p.buffers == before.currentBuffers * 2;
    }));
}

} // namespace
