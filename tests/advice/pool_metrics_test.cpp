#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "advice/pool_metrics.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

// A pool whose figures all start at zero; the reads by type 1 sync, 2..4 prefetch.
struct PoolFigures {
    Long vpSize = 1000;
    Long vpSeqt = 50;
    Long getPages = 12000;
    Long sync = 100;
    Long seqPrefetch = 900;
    Long listPrefetch = 0;
    Long dynPrefetch = 0;
};

Report OnePool(Long elapsed, const PoolFigures& f) {
    PoolRecord p{};
    p.PoolName = "BP1";
    p.VPSize = f.vpSize;
    p.VPSeqThreshold = f.vpSeqt;
    p.PoolGetPages = f.getPages;
    p.PoolPagesReadByType(1) = f.sync;
    p.PoolPagesReadByType(2) = f.seqPrefetch;
    p.PoolPagesReadByType(3) = f.listPrefetch;
    p.PoolPagesReadByType(4) = f.dynPrefetch;
    p.PoolPagesRead = f.sync + f.seqPrefetch + f.listPrefetch + f.dynPrefetch;
    p.PoolReadIOsByType(1) = 50;
    p.PoolReadIOsByType(2) = 30;
    p.PoolReadIOsByType(3) = 0;
    p.PoolReadIOsByType(4) = 4;
    p.PoolPagesWritten = 400;
    p.PoolWriteIOs = 50;
    p.PoolUpdates = 1000;
    Report report;
    test::AddPool(report, p);
    report.ElapsedSeconds = elapsed;
    return report;
}

struct TimeCase {
    const char* name;
    Long elapsed;
    PoolFigures figures;
    std::optional<double> system, random, sequential;
    std::optional<ResidencyVerdict> verdict;
};

TEST(PoolMetrics, ResidencyTimesByHand) {
    // E 600 s, 1000 buffers, 1000 pages read: system 600 s. Random 1000 x (1 - VPSEQT) x 600 / sync
    // reads, at least the system time; sequential 1000 x VPSEQT x 600 / prefetch reads, at most it.
    const TimeCase cases[] = {
        {"half sequential", 600, {}, 600.0, 3000.0, 1000.0 / 3, ResidencyVerdict::Usual},
        {"VPSEQT 0", 600, {.vpSeqt = 0}, 600.0, 6000.0, 0.0, ResidencyVerdict::Usual},
        {"VPSEQT 100", 600, {.vpSeqt = 100}, 600.0, 600.0, 600.0, ResidencyVerdict::Usual},
        {"no synchronous reads", 600, {.sync = 0, .seqPrefetch = 1000}, 600.0, 600.0, 300.0, ResidencyVerdict::Usual},
        {"no prefetch reads", 600, {.sync = 1000, .seqPrefetch = 0}, 600.0, 600.0, 600.0, ResidencyVerdict::Usual},
        {"all three prefetch kinds",
         600,
         {.sync = 400, .seqPrefetch = 200, .listPrefetch = 300, .dynPrefetch = 100},
         600.0,
         750.0,
         500.0,
         ResidencyVerdict::Usual},
        {"a short time", 60, {}, 60.0, 300.0, 100.0 / 3, ResidencyVerdict::Short},
        {"stolen pages", 6, {}, 6.0, 30.0, 10.0 / 3, ResidencyVerdict::Stolen},
        {"a long time", 6000, {}, 6000.0, 30000.0, 10000.0 / 3, ResidencyVerdict::Lengthy},
        {"no interval length", 0, {}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"no reads", 600, {.sync = 0, .seqPrefetch = 0}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
        {"no pool size", 600, {.vpSize = 0}, std::nullopt, std::nullopt, std::nullopt, std::nullopt},
    };
    for (const TimeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const PoolMetrics m = ComputePoolMetrics(OnePool(c.elapsed, c.figures), 1);
        ASSERT_EQ(m.systemResidencySeconds.has_value(), c.system.has_value());
        ASSERT_EQ(m.randomResidencySeconds.has_value(), c.random.has_value());
        ASSERT_EQ(m.sequentialResidencySeconds.has_value(), c.sequential.has_value());
        if (c.system) {
            EXPECT_DOUBLE_EQ(*m.systemResidencySeconds, *c.system);
            EXPECT_DOUBLE_EQ(*m.randomResidencySeconds, *c.random);
            EXPECT_DOUBLE_EQ(*m.sequentialResidencySeconds, *c.sequential);
        }
        EXPECT_EQ(m.verdict, c.verdict);
    }
}

TEST(PoolMetrics, RatesAndRatiosByHand) {
    const PoolMetrics m =
        ComputePoolMetrics(OnePool(600, {.sync = 300, .seqPrefetch = 600, .listPrefetch = 0, .dynPrefetch = 300}), 1);
    EXPECT_DOUBLE_EQ(*m.getPagesPerSecond, 20);
    EXPECT_DOUBLE_EQ(*m.pagesReadPerSecond, 2);
    EXPECT_DOUBLE_EQ(*m.syncPagesReadPerSecond, 0.5);
    EXPECT_DOUBLE_EQ(*m.prefetchPagesReadPerSecond, 1.5);
    EXPECT_DOUBLE_EQ(*m.getPagesPerSyncReadIO, 240);
    EXPECT_DOUBLE_EQ(*m.pagesPerSeqPrefetchIO, 20);
    EXPECT_FALSE(m.pagesPerListPrefetchIO.has_value()); // no list prefetch I/O
    EXPECT_DOUBLE_EQ(*m.pagesPerDynPrefetchIO, 75);
    EXPECT_DOUBLE_EQ(*m.pagesPerWriteIO, 8);
    EXPECT_DOUBLE_EQ(*m.updatesPerPageWritten, 2.5);
    EXPECT_EQ(m.notes, std::vector<std::string>{"no list prefetch I/O"});
}

TEST(PoolMetrics, WithoutAnIntervalOnlyTheRatiosAreLeft) {
    const PoolMetrics m = ComputePoolMetrics(OnePool(0, {}), 1);
    EXPECT_FALSE(m.getPagesPerSecond || m.pagesReadPerSecond || m.syncPagesReadPerSecond ||
                 m.prefetchPagesReadPerSecond);
    EXPECT_TRUE(m.getPagesPerSyncReadIO && m.pagesPerWriteIO && m.updatesPerPageWritten);
    ASSERT_FALSE(m.notes.empty());
    EXPECT_NE(m.notes.front().find("no interval length"), std::string::npos);
    for (const MetricRow& row : MetricRows(m)) {
        EXPECT_EQ(row.value.has_value(), row.note.empty()) << row.caption; // an absent value says why
    }
}

TEST(PoolMetrics, VerdictBoundsAndTheirWords) {
    const std::pair<double, ResidencyVerdict> bounds[] = {
        {0, ResidencyVerdict::Stolen},       {9.99, ResidencyVerdict::Stolen}, {10, ResidencyVerdict::Short},
        {299.9, ResidencyVerdict::Short},    {300, ResidencyVerdict::Usual},   {900, ResidencyVerdict::Usual},
        {900.01, ResidencyVerdict::Lengthy},
    };
    for (const auto& [seconds, verdict] : bounds) {
        EXPECT_EQ(VerdictFor(seconds), verdict) << seconds;
    }
    EXPECT_EQ(VerdictKey(ResidencyVerdict::Stolen), "stolen");
    EXPECT_EQ(VerdictKey(ResidencyVerdict::Lengthy), "long");
    EXPECT_EQ(VerdictText(ResidencyVerdict::Short), "short: a larger pool would cut reads");
}

TEST(PoolMetrics, RowsHoldEveryFigureWithItsVerdictAndUnits) {
    const PoolMetrics m = ComputePoolMetrics(OnePool(60, {}), 1);
    const std::vector<MetricRow> rows = MetricRows(m);
    ASSERT_EQ(rows.size(), 13U);
    EXPECT_EQ(rows[0].caption, "Getpages (/s)");
    EXPECT_EQ(rows[4].key, "system_residency_seconds");
    EXPECT_EQ(rows[4].caption, "System page residency (s)");
    EXPECT_EQ(rows[4].note, "short: a larger pool would cut reads");
    EXPECT_DOUBLE_EQ(*rows[4].value, 60);
    EXPECT_TRUE(ComputePoolMetrics(OnePool(60, {}), 2).notes.empty()); // no such pool: nothing at all
}

} // namespace
} // namespace ornexa
