#include <gtest/gtest.h>

#include "cli/analysis_document.h"
#include "display_fixture.h"
#include "simulation/db2_simulation.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

Report SimulatingDisplay() {
    samplegen::DisplaySampleOptions options;
    options.simulate = true;
    return test::DisplayReport(options);
}

TEST(Db2SizeCurveJson, EachPoolOfADisplayHasItsCurveOrNull) {
    const Report report = SimulatingDisplay();
    const SimulationData sim;
    const auto doc = cli::AnalysisDocument(report, sim, {});
    ASSERT_EQ(doc.size(), static_cast<std::size_t>(report.PoolCount()));
    int curves = 0;
    for (const auto& pool : doc) {
        const int p = pool["pool"];
        const std::optional<Db2SizeCurve> curve = Db2SizeCurveOf(report, p);
        ASSERT_TRUE(pool.contains("db2SizeCurve")) << p;
        const auto& member = pool["db2SizeCurve"];
        if (!curve) {
            EXPECT_TRUE(member.is_null()) << p;
            continue;
        }
        ++curves;
        ASSERT_EQ(member["points"].size(), 2U);
        EXPECT_EQ(member["points"][0]["kind"], "measured");
        EXPECT_EQ(member["points"][0]["size"], curve->current.size);
        EXPECT_EQ(member["points"][0]["syncReadsPerSecond"], *curve->current.syncReadsPerSecond);
        EXPECT_EQ(member["points"][1]["kind"], "db2-simulated");
        EXPECT_EQ(member["points"][1]["size"], curve->simulated.size);
        EXPECT_EQ(member["points"][1]["syncReadsPerSecond"], *curve->simulated.syncReadsPerSecond);
        EXPECT_EQ(member["avoidableSyncReads"], curve->avoidableSyncReads);
        // A proposal of Db2's simulation is the second point, with its command among the pool's.
        if (!pool["size_proposal"].is_null()) {
            EXPECT_EQ(pool["size_proposal"]["proposed_size"], curve->simulated.size);
            EXPECT_EQ(pool["size_proposal"]["proposed_index"], 2);
            EXPECT_EQ(pool["commands"].back()["source"], "db2-simulation");
        }
    }
    EXPECT_GT(curves, 0);
}

TEST(Db2SizeCurveJson, RatesAreNullWithoutAnIntervalEndAndAMonitorsReportHasNoMember) {
    Report report = SimulatingDisplay();
    report.Db2Display->to.clear();
    report.ElapsedSeconds = 0;
    const SimulationData sim;
    const auto doc = cli::AnalysisDocument(report, sim, {});
    bool seen = false;
    for (const auto& pool : doc) {
        if (pool["db2SizeCurve"].is_null()) {
            continue;
        }
        seen = true;
        for (const auto& point : pool["db2SizeCurve"]["points"]) {
            EXPECT_TRUE(point["syncReadsPerSecond"].is_null());
            EXPECT_TRUE(point["size"].is_number_integer());
        }
        EXPECT_TRUE(pool["db2SizeCurve"]["avoidableSyncReadsPerSecond"].is_null());
        EXPECT_TRUE(pool["size_proposal"].is_null());
    }
    EXPECT_TRUE(seen);

    Report monitor;
    test::AddPool(monitor, test::TestPool("BP1"));
    monitor.StatFileLoaded = true;
    EXPECT_FALSE(cli::AnalysisDocument(monitor, sim, {})[0].contains("db2SizeCurve"));
}

} // namespace
} // namespace ornexa
