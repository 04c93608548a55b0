#include <gtest/gtest.h>

#include "history/report_compare.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::AddPool;
using test::ObjectWith;
using test::TestObject;
using test::TestPool;

Report WithInterval(Long seconds) {
    Report report;
    report.ElapsedSeconds = seconds;
    report.StatFileLoaded = true;
    return report;
}

ObjectRecord Busy(std::string_view pool, std::string_view name, Long getPages, Long syncReads = 0) {
    return ObjectWith(pool, name, 'T', [&](ObjectRecord& o) {
        o.ObjGetPages = getPages;
        o.ReadIOsByType(1) = syncReads;
    });
}

TEST(CompareReports, PoolFiguresMoveTheWayThatIsGoodForThem) {
    Report before = WithInterval(100);
    Report after = WithInterval(100);
    PoolRecord old = TestPool("BP1");
    old.PoolHitRatio = 80;
    old.PoolReadIOs = 1000;
    old.PoolWriteIOs = 0;
    old.PoolGetPages = 5000;
    PoolRecord now = old;
    now.PoolHitRatio = 90;
    now.PoolReadIOs = 1500;
    AddPool(before, old);
    AddPool(before, TestPool("BP2"));
    AddPool(after, now);
    AddPool(after, TestPool("BP3"));

    const ReportComparison comparison = CompareReports(before, after);
    ASSERT_EQ(comparison.pools.size(), 3U);
    EXPECT_EQ(comparison.pools[0].poolName, "BP1");
    EXPECT_EQ(comparison.pools[1].poolName, "BP2");
    EXPECT_EQ(comparison.pools[2].poolName, "BP3");
    EXPECT_FALSE(comparison.pools[1].inAfter);
    EXPECT_FALSE(comparison.pools[2].inBefore);

    const auto& figures = comparison.pools[0].figures;
    struct Case {
        int figure;
        double difference;
        std::optional<double> percent;
        ChangeVerdict verdict;
    };
    const std::vector<Case> cases{
        {0, 500, 50.0, ChangeVerdict::Worse}, // more I/O
        {1, 0, 0.0, ChangeVerdict::Same},     // the same getpages
        {3, 10, 12.5, ChangeVerdict::Better}, // a higher hit ratio
        {4, 5, 50.0, ChangeVerdict::Worse},   // more I/O per second
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(ComparedPoolFigures()[static_cast<std::size_t>(c.figure)].caption);
        const FigureChange& change = figures[static_cast<std::size_t>(c.figure)];
        ASSERT_TRUE(change.difference.has_value());
        EXPECT_DOUBLE_EQ(*change.difference, c.difference);
        EXPECT_EQ(change.percent, c.percent);
        EXPECT_EQ(change.verdict, c.verdict);
    }
    // A pool only one report has gets no difference and no verdict.
    EXPECT_FALSE(comparison.pools[1].figures[3].difference.has_value());
    EXPECT_EQ(comparison.pools[1].figures[3].verdict, ChangeVerdict::Unrated);
}

TEST(CompareReports, ObjectsThatAppearDisappearOrMoveAreListed) {
    Report before = WithInterval(100);
    Report after = WithInterval(100);
    AddPool(before, TestPool("BP1"),
            {TestObject("BP1", "STAYS"), TestObject("BP1", "GOES"), TestObject("BP1", "MOVES")});
    AddPool(after, TestPool("BP1"), {TestObject("BP1", "STAYS"), TestObject("BP1", "COMES")});
    AddPool(after, TestPool("BP2"), {TestObject("BP2", "MOVES")});

    const ReportComparison comparison = CompareReports(before, after);
    ASSERT_EQ(comparison.objectMoves.size(), 3U);
    EXPECT_EQ(comparison.objectMoves[0].kind, ObjectMoveKind::Appeared);
    EXPECT_EQ(comparison.objectMoves[0].objectName, "COMES");
    EXPECT_EQ(comparison.objectMoves[1].kind, ObjectMoveKind::Disappeared);
    EXPECT_EQ(comparison.objectMoves[1].objectName, "GOES");
    EXPECT_EQ(comparison.objectMoves[2].kind, ObjectMoveKind::Moved);
    EXPECT_EQ(comparison.objectMoves[2].poolBefore, "BP1");
    EXPECT_EQ(comparison.objectMoves[2].poolAfter, "BP2");
}

TEST(CompareReports, TheTenLargestChangesEitherWayComeFirst) {
    Report before = WithInterval(10);
    Report after = WithInterval(10);
    std::vector<ObjectRecord> old;
    std::vector<ObjectRecord> now;
    for (int i = 1; i <= 14; ++i) {
        const std::string name = "OBJ" + std::to_string(100 + i);
        old.push_back(Busy("BP1", name, 1000, 100));
        // Object i changes by i x 10 getpages, down for the even ones; OBJ114 does not change.
        const Long change = i == 14 ? 0 : (i % 2 == 0 ? -10 : 10) * i;
        now.push_back(Busy("BP1", name, 1000 + change, 100 + change / 10));
    }
    AddPool(before, TestPool("BP1"), old);
    AddPool(after, TestPool("BP1"), now);

    const ReportComparison comparison = CompareReports(before, after);
    ASSERT_EQ(comparison.getPageChanges.size(), 10U);
    EXPECT_EQ(comparison.getPageChanges.front().objectName, "OBJ113");
    EXPECT_DOUBLE_EQ(comparison.getPageChanges.front().Change(), 13.0);
    EXPECT_EQ(comparison.getPageChanges[1].objectName, "OBJ112");
    EXPECT_DOUBLE_EQ(comparison.getPageChanges[1].Change(), -12.0);
    EXPECT_EQ(comparison.getPageChanges.back().objectName, "OBJ104");
    EXPECT_EQ(comparison.syncReadChanges.front().objectName, "OBJ113");
    EXPECT_TRUE(comparison.notes.empty());
}

TEST(CompareReports, AReportWithoutIntervalSaysSoAndHasNoRate) {
    Report before = WithInterval(0);
    Report after = WithInterval(100);
    AddPool(before, TestPool("BP1"));
    AddPool(after, TestPool("BP1"));
    const ReportComparison comparison = CompareReports(before, after);
    ASSERT_EQ(comparison.notes.size(), 1U);
    EXPECT_NE(comparison.notes.front().find("older"), std::string::npos);
    EXPECT_FALSE(comparison.pools.front().figures[4].before.has_value());
    EXPECT_EQ(comparison.pools.front().figures[4].verdict, ChangeVerdict::Unrated);
}

} // namespace
} // namespace ornexa
