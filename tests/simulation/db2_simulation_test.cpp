#include <gtest/gtest.h>

#include "advice/pool_commands.h"
#include "display_fixture.h"
#include "session/analysis_session.h"
#include "session/sim_graph_page.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_charts.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

// Db2's figures of a pool running 20000 buffers for 600 seconds: 100000 getpages, 10000 pages read,
// of them 7200 by synchronous read I/Os (6000 random, 1200 sequential); 12 synchronous reads a second.
struct Db2Pool {
    std::string name = "BP1";
    Long vpSize = 20000;
    std::optional<SimulatedPoolFigures> simulated;
};

Db2Pool Pool(std::string name, std::optional<SimulatedPoolFigures> simulated, Long vpSize = 20000) {
    return Db2Pool{std::move(name), vpSize, simulated};
}

SimulatedPoolFigures Simulated(std::int64_t size, std::optional<std::int64_t> random, std::optional<std::int64_t> seq) {
    SimulatedPoolFigures figures;
    figures.size = size;
    figures.seqThreshold = 80;
    figures.avoidableSyncRandom = random;
    figures.avoidableSyncSeq = seq;
    return figures;
}

Report Db2Report(const std::vector<Db2Pool>& pools, Long seconds = 600) {
    Report report;
    report.Db2Display = Db2Facts{};
    report.Db2Display->from = "2026-12-08 10:00:00";
    report.Db2Display->to = seconds > 0 ? "2026-12-08 10:10:00" : "";
    report.ElapsedSeconds = seconds;
    for (const Db2Pool& p : pools) {
        PoolRecord pool = test::TestPool(p.name);
        pool.VPSize = p.vpSize;
        pool.HPSize = 0;
        pool.PoolGetPages = 100000;
        pool.PoolPagesRead = 10000;
        test::AddPool(report, pool);
        Db2PoolFacts facts;
        facts.figures.Set(PoolFigure::SyncReadIosRandom, 6000);
        facts.figures.Set(PoolFigure::SyncReadIosSeq, 1200);
        facts.simulated = p.simulated;
        report.Db2Display->pools.push_back(facts);
    }
    report.StatFileLoaded = true;
    return report;
}

TEST(Db2SizeCurve, IsTheCurrentAndTheSimulatedSizeWithTheReadsDb2CouldAvoid) {
    const Report report = Db2Report({Pool("BP1", Simulated(10000, 3000, 600))});
    const std::optional<Db2SizeCurve> curve = Db2SizeCurveOf(report, 1);
    ASSERT_TRUE(curve.has_value());
    EXPECT_EQ(curve->current, (SizeCurvePoint{SizePointKind::Measured, 20000, 12.0, 90.0}));
    EXPECT_EQ(curve->simulated.kind, SizePointKind::Db2Simulated);
    EXPECT_EQ(curve->simulated.size, 30000);
    EXPECT_DOUBLE_EQ(*curve->simulated.syncReadsPerSecond, 6.0);
    EXPECT_DOUBLE_EQ(*curve->simulated.hitRatio, 93.6);
    EXPECT_EQ(curve->avoidableSyncReads, 3600);
    EXPECT_DOUBLE_EQ(*curve->avoidableSyncReadsPerSecond, 6.0);
    EXPECT_EQ(curve->seqThreshold, 80);
    EXPECT_EQ(SizePointKindKey(curve->current.kind), "measured");
    EXPECT_EQ(SizePointKindKey(curve->simulated.kind), "db2-simulated");
}

TEST(Db2SizeCurve, WithoutAnIntervalEndHasSizesAndHitRatiosButNoRates) {
    const Report report = Db2Report({Pool("BP1", Simulated(10000, 3000, std::nullopt))}, 0);
    const std::optional<Db2SizeCurve> curve = Db2SizeCurveOf(report, 1);
    ASSERT_TRUE(curve.has_value());
    EXPECT_EQ(curve->simulated.size, 30000);
    EXPECT_FALSE(curve->current.syncReadsPerSecond.has_value());
    EXPECT_FALSE(curve->simulated.syncReadsPerSecond.has_value());
    EXPECT_FALSE(curve->avoidableSyncReadsPerSecond.has_value());
    EXPECT_DOUBLE_EQ(*curve->simulated.hitRatio, 93.0); // a sequential count not shown adds nothing
}

TEST(Db2SizeCurve, NeedsASimulatedPoolWithItsCounters) {
    struct Case {
        const char* what;
        std::optional<SimulatedPoolFigures> simulated;
        Long vpSize;
    };
    const std::vector<Case> cases{
        {"no simulated pool", std::nullopt, 20000},
        {"SPSIZE 0", Simulated(0, 10, 10), 20000},
        {"no DSNB432I counters", Simulated(10000, std::nullopt, std::nullopt), 20000},
        {"a deleted pool", Simulated(10000, 10, 10), 0},
    };
    for (const Case& c : cases) {
        const Report report = Db2Report({Pool("BP1", c.simulated, c.vpSize)});
        EXPECT_FALSE(Db2SizeCurveOf(report, 1).has_value()) << c.what;
        EXPECT_FALSE(HasDb2SizeCurve(report)) << c.what;
    }
    // A monitor's report never has one, whatever its pools.
    Report monitor;
    test::AddPool(monitor, test::TestPool("BP1"));
    EXPECT_FALSE(Db2SizeCurveOf(monitor, 1).has_value());
    EXPECT_FALSE(Db2SizeCurveOf(Db2Report({Pool("BP1", Simulated(10000, 1, 1))}), 2).has_value());
}

TEST(Db2SizeCurve, ZeroAvoidableReadsIsAFlatCurveAndMoreThanWereMadeIsHeldToThem) {
    const Report flat = Db2Report({Pool("BP1", Simulated(10000, 0, 0))});
    const Db2SizeCurve curve = *Db2SizeCurveOf(flat, 1);
    EXPECT_EQ(curve.current.syncReadsPerSecond, curve.simulated.syncReadsPerSecond);
    EXPECT_EQ(curve.current.hitRatio, curve.simulated.hitRatio);

    const Db2SizeCurve over = *Db2SizeCurveOf(Db2Report({Pool("BP1", Simulated(10000, 9000, 0))}), 1);
    EXPECT_EQ(over.avoidableSyncReads, 7200);
    EXPECT_DOUBLE_EQ(*over.simulated.syncReadsPerSecond, 0.0);
}

TEST(DrawDb2SizeCurve, DrawsTwoPointsUnderItsCaption) {
    const Db2SizeCurve curve = *Db2SizeCurveOf(Db2Report({Pool("BP1", Simulated(10000, 3000, 600))}), 1);
    ChartModel chart;
    EXPECT_TRUE(DrawDb2SizeCurve(chart, curve, IORateMeasure));
    EXPECT_EQ(chart.kind, ChartKind::Curve);
    EXPECT_EQ(chart.title, "Pool Size Versus Synchronous Read IO Rate");
    EXPECT_EQ(chart.subtitle, "Db2's simulated pool: two points, current and simulated size");
    EXPECT_EQ(chart.xValues, (std::vector<double>{20000, 30000}));
    EXPECT_EQ(chart.series[0], (std::vector<double>{12, 6}));
    EXPECT_EQ(chart.labels, (std::vector<std::string>{"20000", "30000"}));
    EXPECT_EQ(chart.xMin, 20000);
    EXPECT_EQ(chart.xMax, 30000);
    EXPECT_EQ(chart.axisMin, 6);
    EXPECT_EQ(chart.axisMax, 12);

    EXPECT_TRUE(DrawDb2SizeCurve(chart, curve, SysHitRatioMeasure));
    EXPECT_EQ(chart.title, "Pool Size Versus System Hit Ratio");
    EXPECT_EQ(chart.axisEnds, AxisEnds::Percent);
    EXPECT_TRUE(chart.noData.empty());

    // The monitor's curve drawn next on the same chart has no caption of Db2's.
    SimulationData sim;
    sim.Sim.SimSizeCount = 2;
    sim.Pools(1).SimReadIORate(1) = 1;
    EXPECT_TRUE(DrawPoolSizeCurve(chart, sim, 1, IORateMeasure));
    EXPECT_TRUE(chart.subtitle.empty());
}

TEST(DrawDb2SizeCurve, SaysWhyWhenTheMeasureIsNotKnown) {
    ChartModel chart;
    const Db2SizeCurve noEnd = *Db2SizeCurveOf(Db2Report({Pool("BP1", Simulated(10000, 3000, 600))}, 0), 1);
    EXPECT_FALSE(DrawDb2SizeCurve(chart, noEnd, IORateMeasure));
    EXPECT_FALSE(chart.visible);
    EXPECT_EQ(chart.noData, std::vector<std::string>{std::string(Db2RateNotKnownText)});
    EXPECT_TRUE(DrawDb2SizeCurve(chart, noEnd, SysHitRatioMeasure)); // the hit ratio needs no interval end
    EXPECT_TRUE(chart.visible);

    Report idle = Db2Report({Pool("BP1", Simulated(10000, 0, 0))});
    idle.Pools(1).PoolGetPages = 0;
    const Db2SizeCurve noGetpages = *Db2SizeCurveOf(idle, 1);
    EXPECT_FALSE(DrawDb2SizeCurve(chart, noGetpages, SysHitRatioMeasure));
    EXPECT_EQ(chart.noData, std::vector<std::string>{std::string(Db2HitRatioNotKnownText)});
}

TEST(ProposeDb2PoolSize, ProposesTheSimulatedSizeWhenTheAvoidedReadsAreWorthIt) {
    const Report report = Db2Report({Pool("BP1", Simulated(10000, 3000, 600))});
    const SizeAdvice advice = ProposeDb2PoolSize(report, 1);
    ASSERT_TRUE(advice.proposal.has_value());
    EXPECT_TRUE(advice.notes.empty());
    EXPECT_EQ(advice.command, (Advice{"db2-simulation", AdviceKind::Command, "-ALTER BUFFERPOOL(BP1) VPSIZE(30000)"}));
    const SizeProposal& proposal = *advice.proposal;
    EXPECT_TRUE(proposal.fromDb2);
    EXPECT_EQ(proposal.currentSize, 20000);
    EXPECT_EQ(proposal.proposedSize, 30000);
    EXPECT_EQ(proposal.proposedIndex, 2);
    EXPECT_EQ(proposal.storageKB, 40000);
    EXPECT_EQ(SizeExpectation(proposal), "at 30000 buffers the system hit ratio goes from 90.0 % to 93.6 % and the "
                                         "synchronous read I/O rate from 12.00/s to 6.00/s; it adds 40000 KB of real "
                                         "storage");

    // Among the pool's commands, after the rules', with what it gives in the file for the host.
    const PoolAdvice all = PoolCommands(report, SimulationData{}, 1, PoolUsage::None);
    ASSERT_FALSE(all.commands.empty());
    EXPECT_EQ(all.commands.back().text, "-ALTER BUFFERPOOL(BP1) VPSIZE(30000)");
    ASSERT_TRUE(all.size.has_value());
    const std::string file = CommandsFileText({{"BP1", all}});
    EXPECT_NE(file.find("-ALTER BUFFERPOOL(BP1) VPSIZE(30000)\n--   at 30000 buffers"), std::string::npos) << file;
}

TEST(ProposeDb2PoolSize, SaysWhenDb2sSimulationShowsNoGain) {
    struct Case {
        const char* what;
        SimulatedPoolFigures simulated;
        Long seconds;
        std::string note;
    };
    const std::vector<Case> cases{
        {"nothing avoided", Simulated(10000, 0, 0), 600,
         "Db2 simulation: a pool of 30000 buffers would have avoided no synchronous read; no size proposed"},
        // 0.9 a second avoided: under the floor of one a second, though 7.5 % of the reads.
        {"too few a second", Simulated(10000, 540, 0), 600,
         "Db2 simulation: a pool of 30000 buffers would have avoided 0.90 synchronous reads per second (7.5 % of "
         "them), too few to be worth the storage; no size proposed"},
        {"no interval end", Simulated(10000, 3000, 600), 0,
         "Db2 simulation: the display gives no end of its interval, so the synchronous reads per second that the "
         "simulated pool avoids are not known; no size proposed"},
    };
    for (const Case& c : cases) {
        const SizeAdvice advice = ProposeDb2PoolSize(Db2Report({Pool("BP1", c.simulated)}, c.seconds), 1);
        EXPECT_FALSE(advice.proposal.has_value()) << c.what;
        EXPECT_FALSE(advice.command.has_value()) << c.what;
        EXPECT_EQ(advice.notes, std::vector<std::string>{c.note}) << c.what;
    }
    // Five a second avoided, but the reads made come within 5 % of them: 300 of 7200 in 60 s.
    const SizeAdvice near = ProposeDb2PoolSize(Db2Report({Pool("BP1", Simulated(10000, 300, 0))}, 60), 1);
    EXPECT_FALSE(near.command.has_value());
    EXPECT_EQ(near.notes.at(0), "Db2 simulation: a pool of 30000 buffers would have avoided 5.00 synchronous reads "
                                "per second (4.2 % of them), too few to be worth the storage; no size proposed");
}

TEST(ProposeDb2PoolSize, NamesOnlyBufferPoolsAndYieldsToTheMonitorsSimulation) {
    const Report odd = Db2Report({Pool("XP1", Simulated(10000, 3000, 600))});
    const SizeAdvice advice = ProposeDb2PoolSize(odd, 1);
    EXPECT_TRUE(advice.proposal.has_value());
    EXPECT_FALSE(advice.proposal->storageKB.has_value());
    EXPECT_FALSE(advice.command.has_value());
    EXPECT_EQ(advice.notes,
              std::vector<std::string>{"\"XP1\" is not a buffer-pool name; no command is written for it"});

    // The monitor's Simulation report of the pool is the one that proposes.
    const Report report = Db2Report({Pool("BP1", Simulated(10000, 3000, 600))});
    SimulationData sim;
    sim.SimFileLoaded = true;
    sim.simulatedPool = 1;
    sim.Sim.SimSizeCount = 2;
    const PoolAdvice monitor = PoolCommands(report, sim, 1, PoolUsage::None);
    EXPECT_TRUE(std::none_of(monitor.commands.begin(), monitor.commands.end(),
                             [](const Advice& a) { return a.source == Db2SimulationSource; }));
    EXPECT_FALSE(monitor.size.has_value());
}

TEST(SimGraphPageOfDb2, ShowsTheTwoPointCurveAndLeavesTheObjectChartsToTheMonitor) {
    const Report report = Db2Report({Pool("BP0", std::nullopt), Pool("BP1", Simulated(10000, 3000, 600))});
    const SimulationData sim;
    EXPECT_FALSE(SimGraphAvailable(report, sim, 1));
    EXPECT_TRUE(SimGraphAvailable(report, sim, 2));

    SimGraphPage page(report, sim, NumberStyle{});
    page.SetPool(2);
    EXPECT_TRUE(page.Enter().empty());
    EXPECT_TRUE(page.ShowsDb2Simulation());
    EXPECT_EQ(page.Caption(), Db2SizeCurveCaption);
    EXPECT_EQ(page.SubTab(), OptimalPoolSizeTab);
    EXPECT_EQ(page.Chart(OptimalPoolSizeTab).xValues, (std::vector<double>{20000, 30000}));
    for (const int t : {LargestWorkSetTab, SmallestWorkSetTab, LargestImprovementTab}) {
        EXPECT_FALSE(page.SubTabAvailable(t));
        EXPECT_FALSE(page.Chart(t).visible);
        EXPECT_EQ(page.Chart(t).noData, std::vector<std::string>{std::string(NeedsMonitorSimulationText)});
    }
    page.SelectSubTab(LargestWorkSetTab);
    EXPECT_EQ(page.SubTab(), OptimalPoolSizeTab);
    EXPECT_FALSE(page.DetailsVisible());
    EXPECT_EQ(page.DetailsHint(), NeedsMonitorSimulationText);

    EXPECT_TRUE(page.SelectMeasure(IORateMeasure).empty());
    EXPECT_EQ(page.Chart(OptimalPoolSizeTab).series[0], (std::vector<double>{12, 6}));
}

TEST(SimGraphPageOfDb2, TheSessionOffersTheTabForTheSimulatedPoolsOnly) {
    const test::TempDir dir;
    samplegen::DisplaySampleOptions options;
    options.simulate = true;
    const Report report = test::DisplayReport(options);
    ASSERT_TRUE(HasDb2SizeCurve(report));
    const SimulationData sim;
    AnalysisSession session(report, sim, dir.Path());
    session.Load();
    (void)session.Activate();
    EXPECT_TRUE(session.Tabs()[SimGraphTab].visible);
    EXPECT_FALSE(session.Tabs()[SimClusterTab].visible);
    for (int row = 0; row < static_cast<int>(session.ReportInfo().PoolList().size()); ++row) {
        (void)session.SelectPoolFromList(row);
        const int p = session.CurrentPool();
        EXPECT_EQ(session.Tabs()[SimGraphTab].enabled, Db2SizeCurveOf(report, p).has_value()) << p;
        EXPECT_FALSE(session.Tabs()[SimClusterTab].enabled);
    }
    // A display without Db2's simulation has no simulation tab.
    const Report plain = test::DisplayReport();
    AnalysisSession without(plain, sim, dir.Path());
    without.Load();
    EXPECT_FALSE(without.Tabs()[SimGraphTab].visible);
}

} // namespace
} // namespace ornexa
