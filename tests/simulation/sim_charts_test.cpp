#include <gtest/gtest.h>

#include "simulation/sim_charts.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

struct Simulated {
    Report report;
    SimulationData sim;
};

// One simulated pool at the given sizes with objects whose values each test sets.
Simulated SimulatedPool(const std::vector<Long>& sizes, int objects) {
    Simulated t;
    Report& report = t.report;
    SimulationData& sim = t.sim;
    std::vector<ObjectRecord> records;
    records.reserve(static_cast<std::size_t>(objects));
    for (int i = 0; i < objects; ++i) {
        records.push_back(test::TestObject("BP1", "OBJ" + std::to_string(i + 1)));
    }
    test::AddPool(report, test::TestPool("BP1"), records);
    sim.Sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
    for (int k = 1; k <= static_cast<int>(sizes.size()); ++k) {
        sim.Pools(1).SimPoolSize(k) = sizes[static_cast<std::size_t>(k - 1)];
        sim.Pools(1).SimGetPages(k) = 100;
    }
    return t;
}

TEST(DrawPoolSizeCurve, PlotsSizesInFileOrderWithTheirRanges) {
    Simulated reportT = SimulatedPool({400, 100, 200}, 1);
    SimulationData& sim = reportT.sim;
    for (int k = 1; k <= 3; ++k) {
        sim.Pools(1).SimSysHitRatio(k) = 90 - k;
        sim.Pools(1).SimReadIORate(k) = 0;
    }
    ChartModel chart;
    EXPECT_TRUE(DrawPoolSizeCurve(chart, sim, 1, SysHitRatioMeasure));
    EXPECT_EQ(chart.kind, ChartKind::Curve);
    EXPECT_EQ(chart.title, "Pool Size Versus System Hit Ratio");
    EXPECT_EQ(chart.xValues, (std::vector<double>{400, 100, 200}));
    EXPECT_EQ(chart.series[0], (std::vector<double>{89, 88, 87}));
    EXPECT_EQ(chart.xMin, 100);
    EXPECT_EQ(chart.xMax, 400);
    EXPECT_EQ(chart.axisMin, 87);
    EXPECT_EQ(chart.axisMax, 89);
    EXPECT_TRUE(chart.noData.empty());

    EXPECT_FALSE(DrawPoolSizeCurve(chart, sim, 1, IORateMeasure));
    EXPECT_EQ(NoDataMessages(chart).at(0),
              (Message{"", "Encountered ZERO IO Rates in data. Can not plot Graph", MessageIcon::None}));
    EXPECT_FALSE(chart.visible);
}

TEST(DrawLargestImprovement, CountsOnlySizesWithAWorkingSet) {
    Simulated reportT = SimulatedPool({100, 200, 300}, 4);
    Report& report = reportT.report;
    SimulationData& sim = reportT.sim;
    const auto set = [&](int o, std::array<double, 3> hit, std::array<Long, 3> workSet) {
        for (int k = 1; k <= 3; ++k) {
            sim.Objects(o).SimSysHitRatio(k) = hit[static_cast<std::size_t>(k - 1)];
            sim.Objects(o).SimMaxWorkSet(k) = workSet[static_cast<std::size_t>(k - 1)];
        }
    };
    set(1, {80, 95, 90}, {5, 0, 12});  // 10: size 2 has no working set
    set(2, {50, 62.4, 50}, {1, 1, 1}); // 12.4
    set(3, {70, 60, 60}, {0, 1, 1});   // 10, the same as object 1 and later in the pool
    set(4, {10, 10, 10}, {0, 0, 0});   // 0: only size 1 counts
    ChartModel chart;
    DrawLargestImprovement(chart, report, sim, 1, SysHitRatioMeasure);
    EXPECT_EQ(chart.title, "Objects With Largest Percentage Improvement");
    EXPECT_EQ(chart.labels, (std::vector<std::string>{"OBJ4", "OBJ1", "OBJ3", "OBJ2"}));
    EXPECT_EQ(chart.ObjectAt(3), 2);
    EXPECT_DOUBLE_EQ(chart.series[0][3], 12.4);
    EXPECT_EQ(chart.axisMax, 15); // 12.4 rounds to 12
    EXPECT_TRUE(chart.hiddenSeries[1]);

    const std::pair<double, double> maxima[] = {{12.5, 15}, {13.5, 17.5}};
    for (const auto& [largest, axis] : maxima) {
        sim.Objects(2).SimSysHitRatio(2) = 50 + largest;
        DrawLargestImprovement(chart, report, sim, 1, SysHitRatioMeasure);
        EXPECT_EQ(chart.axisMax, axis) << largest;
    }
}

TEST(DrawLargestImprovement, ScalesItsAxisToAnyImprovement) {
    Simulated reportT = SimulatedPool({100, 200}, 1);
    Report& report = reportT.report;
    SimulationData& sim = reportT.sim;
    sim.Objects(1).SimReadIORate(1) = 5.8e26;
    sim.Objects(1).SimMaxWorkSet(2) = 1;
    ChartModel chart;
    DrawLargestImprovement(chart, report, sim, 1, IORateMeasure);
    EXPECT_EQ(chart.title, "Objects With Largest I/O Rate Reduction");
    EXPECT_NEAR(*chart.axisMax / 1.25, 5.8e26, 1e20);
}

TEST(WorkSetSizeIndex, TakesTheLargestSizeThatHadGetpages) {
    Simulated reportT = SimulatedPool({200, 400, 800}, 1);
    SimulationData& sim = reportT.sim;
    sim.Pools(1).SimGetPages(1) = 500;
    sim.Pools(1).SimGetPages(2) = 300;
    sim.Pools(1).SimGetPages(3) = 0;
    EXPECT_EQ(WorkSetSizeIndex(sim, 1), 2);
    Simulated equalT = SimulatedPool({400, 400}, 1);
    EXPECT_EQ(WorkSetSizeIndex(equalT.sim, 1), 1);
    Simulated noneT = SimulatedPool({400}, 1);
    noneT.sim.Pools(1).SimGetPages(1) = 0;
    EXPECT_EQ(WorkSetSizeIndex(noneT.sim, 1), 0);
}

TEST(WorkSetCharts, RankBothWaysAndScaleAbove9999) {
    Simulated reportT = SimulatedPool({100}, 3);
    Report& report = reportT.report;
    SimulationData& sim = reportT.sim;
    const auto workSets = [&](Long a, Long b, Long c) {
        sim.Objects(1).SimMaxWorkSet(1) = a;
        sim.Objects(2).SimMaxWorkSet(1) = b;
        sim.Objects(3).SimMaxWorkSet(1) = c;
    };
    ChartModel largest;
    ChartModel smallest;
    workSets(9999, 20, 20);
    DrawLargestWorkSets(largest, report, sim, 1);
    DrawSmallestWorkSets(smallest, report, sim, 1);
    EXPECT_EQ(largest.title, "Objects With Largest Max WkSet");
    // The same order in both: smallest first, equal values with the earlier object lower.
    EXPECT_EQ(largest.labels, (std::vector<std::string>{"OBJ2", "OBJ3", "OBJ1"}));
    EXPECT_EQ(smallest.labels, largest.labels);
    EXPECT_EQ(largest.axisMax, 9999 * 1.25);

    workSets(12345, 10000, 5);
    DrawLargestWorkSets(largest, report, sim, 1);
    EXPECT_EQ(largest.title, "Objects With Largest Max WkSet * 1K");
    EXPECT_DOUBLE_EQ(largest.series[0][2], 12.345);
    EXPECT_EQ(largest.axisMax, 15);
    DrawSmallestWorkSets(smallest, report, sim, 1);
    EXPECT_EQ(smallest.title, "Objects With Smallest Max WkSet * 1K");

    // Values beyond any sentinel still rank once each.
    workSets(99999999, 99999999, 1);
    DrawSmallestWorkSets(smallest, report, sim, 1);
    EXPECT_EQ(smallest.labels, (std::vector<std::string>{"OBJ3", "OBJ1", "OBJ2"}));
}

TEST(SimObjectDetailCells, WritesEachSizesFigures) {
    Simulated reportT = SimulatedPool({100, 200}, 1);
    SimulationData& sim = reportT.sim;
    sim.Objects(1).SimSysHitRatio(1) = 95;
    sim.Objects(1).SimSysHitRatio(2) = 95.25;
    sim.Objects(1).SimMaxWorkSet(2) = 12;
    const auto cells = SimObjectDetailCells(sim, 1, {',', '.'});
    EXPECT_EQ(cells[3], (std::vector<std::string>{"95", "95,25"}));
    EXPECT_EQ(cells[2], (std::vector<std::string>{"0", "12"}));
    EXPECT_EQ(SimDetailsRows()[3], "Sytem Hit Ratio");
}

} // namespace
} // namespace ornexa
