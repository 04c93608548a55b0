#include "advice/sizing_curves.h"

#include <gtest/gtest.h>

#include <cmath>

#include "display_fixture.h"
#include "simulation/db2_simulation.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

// A pool over 100 s: 2000 synchronous read I/Os are 20 a second, 100000 getpages 1000 a second.
PoolRecord Pool(std::string_view name, Long vpSize, Long syncReadIos = 2000, Long getPages = 100000) {
    PoolRecord pool = test::TestPool(name);
    pool.VPSize = vpSize;
    pool.HPSize = 0;
    pool.PoolReadIOsByType(1) = syncReadIos;
    pool.PoolGetPages = getPages;
    return pool;
}

Report ReportOf(const std::vector<PoolRecord>& pools, Long seconds = 100) {
    Report report;
    for (const PoolRecord& pool : pools) {
        test::AddPool(report, pool);
    }
    report.ElapsedSeconds = seconds;
    return report;
}

// Pool 1 simulated at the sizes and read I/O rates given.
SimulationData Simulation(const std::vector<std::pair<std::int32_t, double>>& sizes) {
    SimulationData sim;
    sim.Sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int k = static_cast<int>(i) + 1;
        sim.Sim.SimVPSize(k) = sizes[i].first;
        sim.Pools(1).SimPoolSize(k) = sizes[i].first;
        sim.Pools(1).SimReadIORate(k) = sizes[i].second;
    }
    sim.SimFileLoaded = true;
    sim.simulatedPool = 1;
    return sim;
}

std::vector<std::pair<std::int64_t, SizingEvidence>> Kinds(const SizingCurve& curve) {
    std::vector<std::pair<std::int64_t, SizingEvidence>> kinds;
    for (const SizingPoint& point : curve.points) {
        kinds.emplace_back(point.buffers, point.evidence);
    }
    return kinds;
}

using E = SizingEvidence;

TEST(SizingCurves, TheSimulationReportGivesItsPoolsSizesBesideItsOwnMeasurement) {
    const Report report = ReportOf({Pool("BP1", 20000), Pool("BP8K0", 5000)});
    // The simulation at the pool's own size reads 21/s: the measurement (20/s) stands there.
    const SimulationData sim = Simulation({{10000, 40}, {20000, 21}, {40000, 12}, {80000, 11}});
    const std::vector<SizingCurve> curves = BuildSizingCurves(report, sim, {});
    ASSERT_EQ(curves.size(), 2U);
    const SizingCurve& bp1 = curves[0];
    EXPECT_EQ(Kinds(bp1),
              (std::vector<std::pair<std::int64_t, E>>{
                  {10000, E::Simulation}, {20000, E::Measured}, {40000, E::Simulation}, {80000, E::Simulation}}));
    EXPECT_DOUBLE_EQ(bp1.points[1].syncReadsPerSecond, 20);
    EXPECT_EQ(ConfidenceOf(bp1), SizingConfidence::High);
    EXPECT_EQ(EvidenceSummary(bp1), "1 measured, 3 simulated");
    EXPECT_EQ(bp1.pageSizeKb, 4);

    // The other pool is described by nothing but itself: the estimate, and it says so.
    const SizingCurve& bp8k = curves[1];
    EXPECT_EQ(bp8k.pageSizeKb, 8);
    EXPECT_EQ(ConfidenceOf(bp8k), SizingConfidence::Low);
    EXPECT_EQ(EvidenceSummary(bp8k), "1 measured, 5 estimated");
}

TEST(SizingCurves, TheEstimateIsTheSquareRootRuleFromHalfToTwiceTheSize) {
    const std::vector<SizingPoint> points = EstimatedPoints(20000, 20);
    ASSERT_EQ(points.size(), 5U);
    const std::int64_t sizes[] = {10000, 15000, 25000, 30000, 40000};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_EQ(points[i].buffers, sizes[i]);
        EXPECT_EQ(points[i].evidence, E::Estimate);
        EXPECT_NEAR(points[i].syncReadsPerSecond, 20 * std::sqrt(20000.0 / static_cast<double>(sizes[i])), 1e-9);
    }
    EXPECT_NEAR(points.back().syncReadsPerSecond, 20 / std::sqrt(2.0), 1e-9) << "twice the pool: a factor of sqrt(2)";

    // Estimating can be switched off: the pool is then left alone, with the reason.
    const SizingCurve alone =
        BuildSizingCurve(ReportOf({Pool("BP2", 20000)}), SimulationData{}, 1, {}, {.estimate = false});
    EXPECT_TRUE(alone.points.empty());
    EXPECT_EQ(alone.leftAlone, "nothing tells its reads at another size");
    EXPECT_EQ(ConfidenceOf(alone), SizingConfidence::None);
}

TEST(SizingCurves, TheHistoryCountsOtherSizesAtComparableLoadOnly) {
    const Report report = ReportOf({Pool("BP3", 20000)}); // 1000 getpages/s, 20 reads/s
    const std::vector<SizeObservation> history{
        {30000, 1100, 14}, {30000, 900, 16}, // within 25 % of the load: their mean, of two reports
        {30000, 1300, 1},                    // busier by 30 %: not comparable
        {20000, 1000, 50},                   // the report's own size: its measurement stands
        {40000, 1000, 18},                   // reads more than at 30000: kept, flagged
        {0, 1000, 5},                        // no size
    };
    const SizingCurve curve = BuildSizingCurve(report, SimulationData{}, 1, history);
    EXPECT_EQ(Kinds(curve), (std::vector<std::pair<std::int64_t, E>>{
                                {20000, E::Measured}, {30000, E::History}, {40000, E::History}}));
    EXPECT_DOUBLE_EQ(curve.points[0].syncReadsPerSecond, 20);
    EXPECT_DOUBLE_EQ(curve.points[1].syncReadsPerSecond, 15);
    EXPECT_EQ(curve.points[1].reports, 2);
    EXPECT_TRUE(curve.points[2].rises);
    EXPECT_EQ(ConfidenceOf(curve), SizingConfidence::Medium);
    EXPECT_EQ(EvidenceSummary(curve), "1 measured, 2 history");

    // A wider band takes the busier report in too.
    const SizingCurve wide = BuildSizingCurve(report, SimulationData{}, 1, history, {.loadBand = 0.5});
    EXPECT_EQ(wide.points[1].reports, 3);
    EXPECT_DOUBLE_EQ(wide.points[1].syncReadsPerSecond, 31.0 / 3);
}

TEST(SizingCurves, AtOneSizeTheMostTrustedEvidenceStands) {
    const Report report = ReportOf({Pool("BP1", 20000)});
    const SimulationData sim = Simulation({{20000, 22}, {40000, 12}});
    const SizingCurve curve = BuildSizingCurve(report, sim, 1, {{40000, 1000, 30}, {60000, 1000, 9}});
    EXPECT_EQ(Kinds(curve), (std::vector<std::pair<std::int64_t, E>>{
                                {20000, E::Measured}, {40000, E::Simulation}, {60000, E::History}}));
    EXPECT_EQ(ConfidenceOf(curve), SizingConfidence::High);
    EXPECT_EQ(EvidenceSummary(curve), "1 measured, 1 simulated, 1 history") << "no estimate beside evidence";
}

TEST(SizingCurves, DbTwosSimulatedPoolGivesTheReadsAtVpsizePlusSpsize) {
    samplegen::DisplaySampleOptions options;
    options.series = 2;
    options.simulate = true;
    const Report report = test::DisplayReport(options);
    int simulated = 0;
    for (int p = 1; p <= report.PoolCount() && simulated == 0; ++p) {
        if (Db2SizeCurveOf(report, p) && Db2SizeCurveOf(report, p)->simulated.syncReadsPerSecond) {
            simulated = p;
        }
    }
    ASSERT_NE(simulated, 0) << "the display series simulates some pool";
    const Db2SizeCurve db2 = *Db2SizeCurveOf(report, simulated);
    const SizingCurve curve = BuildSizingCurve(report, SimulationData{}, simulated, {});
    ASSERT_EQ(curve.points.size(), 2U);
    EXPECT_EQ(curve.points[1].evidence, E::Db2Simulated);
    EXPECT_EQ(curve.points[1].buffers, db2.simulated.size);
    EXPECT_DOUBLE_EQ(curve.points[1].syncReadsPerSecond, *db2.simulated.syncReadsPerSecond);
    EXPECT_EQ(ConfidenceOf(curve), SizingConfidence::High);
    const Db2PoolFacts& facts = report.Db2Display->pools[static_cast<std::size_t>(simulated - 1)];
    EXPECT_EQ(curve.autosize, facts.autosize == "YES");
    EXPECT_EQ(curve.vpSizeMax, facts.figures.Get(PoolFigure::VpSizeMax));
}

TEST(SizingCurves, APoolWithoutTheFiguresIsLeftAloneWithItsReason) {
    struct Case {
        const char* name;
        Report report;
        const char* reason;
    };
    const Case cases[] = {
        {"no buffer-pool name", ReportOf({Pool("POOLX", 20000)}),
         "not a buffer-pool name, so its page size is not known"},
        {"no size", ReportOf({Pool("BP1", 0)}), "the pool has no VPSIZE"},
        {"no interval", ReportOf({Pool("BP1", 20000)}, 0), "the report has no interval length"},
    };
    for (const Case& c : cases) {
        const SizingCurve curve = BuildSizingCurve(c.report, SimulationData{}, 1, {});
        EXPECT_TRUE(curve.points.empty()) << c.name;
        EXPECT_EQ(curve.leftAlone, c.reason) << c.name;
    }
    EXPECT_EQ(BuildSizingCurve(cases[0].report, SimulationData{}, 1, {}).pageSizeKb, 0) << "no page size is known";
}

} // namespace
} // namespace ornexa
