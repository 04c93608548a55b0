#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include <cmath>

#include "cluster/cluster_model.h"
#include "cluster/clustering.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

clsCluster ClusterOf(PointArena& points, std::initializer_list<std::pair<double, double>> coordinates) {
    for (const auto& [x, y] : coordinates) {
        clsPoint p;
        p.xz = x;
        p.yz = y;
        p.ion = static_cast<long>(points.size());
        if (!points.empty()) {
            points.back().NextPoint = static_cast<int>(points.size());
        }
        points.push_back(p);
    }
    clsCluster c;
    c.fst_pt = points.empty() ? -1 : 0;
    return c;
}

TEST(ClusterStatistics, WorkedExamples) {
    Messages log;
    PointArena points;
    clsCluster c = ClusterOf(points, {{1, 5}, {3, 5}});
    ASSERT_TRUE(c.CalculateMeanStandardDeviation(points, log));
    EXPECT_DOUBLE_EQ(c.x_mean, 2);
    EXPECT_DOUBLE_EQ(c.x_variance, 1);
    EXPECT_DOUBLE_EQ(c.x_std_dev, 1);
    EXPECT_DOUBLE_EQ(c.y_mean, 5);
    EXPECT_DOUBLE_EQ(c.y_variance, 0);
    EXPECT_DOUBLE_EQ(c.y_std_dev, 1); // a zero deviation is taken as 1
    ASSERT_TRUE(c.Z_Stat(points, log));
    EXPECT_DOUBLE_EQ(points[0].xz, -1);
    EXPECT_DOUBLE_EQ(points[1].xz, 1);
    EXPECT_DOUBLE_EQ(points[1].yz, 0);
    EXPECT_DOUBLE_EQ(points[1].X, 3);
    EXPECT_DOUBLE_EQ(points[0].Y, 5);

    PointArena three;
    clsCluster d = ClusterOf(three, {{0, 0}, {4, 0}, {4, 0}});
    ASSERT_TRUE(d.CalculateMeanStandardDeviation(three, log));
    ASSERT_TRUE(d.CalculateMaximumRadius(three, log));
    EXPECT_DOUBLE_EQ(d.x_mean, 8.0 / 3);
    EXPECT_DOUBLE_EQ(d.x_variance, 32.0 / 9);
    EXPECT_DOUBLE_EQ(d.radius, 8.0 / 3);

    PointArena none;
    clsCluster empty = ClusterOf(none, {});
    empty.x_mean = 7;
    ASSERT_TRUE(empty.CalculateMeanStandardDeviation(none, log));
    ASSERT_TRUE(empty.CalculateMaximumRadius(none, log));
    EXPECT_DOUBLE_EQ(empty.x_mean, 7);
    EXPECT_DOUBLE_EQ(empty.radius, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_DOUBLE_EQ(PointDistance(0, 0, 3, 4), 5);
}

TEST(ClusterStatistics, AnOverflowIsReportedAndChangesNothing) {
    Messages log;
    PointArena points;
    clsCluster c = ClusterOf(points, {{1e308, 0}, {1e308, 0}});
    EXPECT_FALSE(c.CalculateMeanStandardDeviation(points, log));
    EXPECT_DOUBLE_EQ(c.x_mean, 0);
    EXPECT_EQ(log, (Messages{{"Std Dev for Cluster Node", "Overflow", MessageIcon::Information}}));
}

struct BuildCase {
    const char* name;
    std::vector<Long> workSets;
    double radius;
    std::vector<Long> clusters; // per member
};

TEST(BuildClusters, SplitsAtTheMeanUntilClustersAreNarrowEnough) {
    const BuildCase cases[] = {
        {"equal working sets", {10, 10, 10}, 1.2, {1, 1, 1}},
        {"one far above", {1, 2, 100}, 1.2, {2, 2, 1}},
        {"a wider radius", {1, 2, 100}, 1.5, {1, 1, 1}},
        {"ranges numbered from the largest", {5, 1000, 6, 500, 7, 510}, 0.4, {3, 1, 3, 2, 3, 2}},
        {"radius 0 still ends", {1, 1, 2, 2}, 0, {2, 2, 1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Long> x = c.workSets;
        std::vector<Long> y(x.size(), 4000);
        Messages log;
        const int count = BuildClusters(c.radius, static_cast<int>(x.size()), x, y, log);
        EXPECT_EQ(x, c.clusters);
        EXPECT_EQ(count, *std::max_element(c.clusters.begin(), c.clusters.end()));
        EXPECT_EQ(y, std::vector<Long>(x.size(), -1));
    }
}

struct Pool {
    Report report;
    SimulationData sim;
};

// Pool 1 with objects of the given random getpages (of 100) and working sets at size 1.
Pool PoolOfWorkingSets(const std::vector<std::pair<Long, Long>>& randomAndWorkSet) {
    Pool pool;
    Report& report = pool.report;
    std::vector<ObjectRecord> objects;
    for (const auto& [random, workSet] : randomAndWorkSet) {
        ObjectRecord o = test::TestObject("BP1", "X", 'T');
        o.ObjGetPages = 100;
        o.GetPagesByAccess(1) = 100 - random;
        o.GetPagesByAccess(2) = random;
        o.GetPagesByAccess(3) = 0;
        objects.push_back(o);
        pool.sim.Objects(static_cast<int>(objects.size())).SimMaxWorkSet(1) = workSet;
    }
    test::AddPool(report, test::TestPool("BP1"), objects);
    pool.sim.Pools(1).SimPoolSize(1) = 1000;
    return pool;
}

TEST(RunClusterAnalysis, TakesPartByUsageShareAndWorkingSet) {
    const auto [report, sim] = PoolOfWorkingSets({{40, 10}, {50, 20}, {90, 30}, {100, 0}, {60, 40}});
    const ClusterRun random = RunClusterAnalysis(report, sim, 1, 1, PoolUsage::Random, 50, 1.2);
    EXPECT_EQ(random.ClusterMembers, (std::vector<int>{2, 3, 5})); // 40 % random and no working set stay out
    EXPECT_GT(random.result, 0);

    const ClusterRun sequential = RunClusterAnalysis(report, sim, 1, 1, PoolUsage::Sequential, 50, 1.2);
    EXPECT_EQ(sequential.ClusterMembers, (std::vector<int>{1, 2}));
    EXPECT_EQ(sequential.result, -1); // fewer than three take part

    EXPECT_EQ(RunClusterAnalysis(report, sim, 1, 1, PoolUsage::None, 0, 1.2).result, -1);
    EXPECT_TRUE(random.messages.empty());
}

TEST(RunClusterAnalysis, ARadiusBelowTheSpinnersLeastCountsAsIt) {
    const auto [report, sim] = PoolOfWorkingSets({{100, 100}, {100, 101}, {100, 102}, {100, 900}});
    const ClusterRun least = RunClusterAnalysis(report, sim, 1, 1, PoolUsage::Random, 0, 0.4);
    for (const double radius :
         {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(radius);
        const ClusterRun run = RunClusterAnalysis(report, sim, 1, 1, PoolUsage::Random, 0, radius);
        EXPECT_EQ(run.result, least.result);
        EXPECT_EQ(run.ClusterOfMember, least.ClusterOfMember);
    }
}

TEST(RadiusText, InTenths) {
    EXPECT_EQ(RadiusTenths(1.2), 12);
    EXPECT_EQ(RadiusText(13), "1.3");
    EXPECT_EQ(RadiusText(20), "2");
    EXPECT_EQ(RadiusText(4), "0.4");
}

} // namespace
} // namespace ornexa
