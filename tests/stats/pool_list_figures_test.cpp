#include <gtest/gtest.h>

#include "stat_fixture.h"
#include "stats/pool_list_figures.h"

namespace ornexa {
namespace {

Report TwoPools() {
    Report report;
    PoolRecord a = test::TestPool("BP1");
    a.PoolReadIOs = 1000;
    a.PoolWriteIOs = 234;
    a.PoolGetPages = 50000;
    a.PoolPagesRead = 5000;
    a.PoolUpdates = 700;
    a.PoolPagesWritten = 1000;
    a.PoolHitRatio = 90.0;
    PoolRecord b = test::TestPool("BP2");
    b.PoolReadIOs = 500;
    b.PoolWriteIOs = 0;
    b.PoolGetPages = 150000;
    b.PoolPagesRead = 15000;
    b.PoolUpdates = 1200300;
    b.PoolPagesWritten = 0;
    b.PoolHitRatio = 98.5;
    report.AddPool(a);
    report.AddPool(b);
    report.ElapsedSeconds = 100;
    return report;
}

TEST(PoolListCells, ShowsTheFiguresOfOnePool) {
    const Report report = TwoPools();
    EXPECT_EQ(PoolListRow(report, 1), (PoolListCells{"BP1", "1234", "50000", "700", "90", "12.34", "4.27"}));
    // no write I/Os: pages per write reads 0
    EXPECT_EQ(PoolListRow(report, 2), (PoolListCells{"BP2", "500", "150000", "1200300", "98.5", "5", "0"}));
}

TEST(PoolListCells, RatesAreReadBackWithoutSeparatorsOrTrailingZeros) {
    Report report = TwoPools();
    report.Pools(1).PoolReadIOs = 123450 - 234;
    EXPECT_EQ(PoolListRow(report, 1)[5], "1234.5");
    report.ElapsedSeconds = 61725 * 2; // exactly 1
    EXPECT_EQ(PoolListRow(report, 1)[5], "1");
    report.ElapsedSeconds = 49386; // 2.5
    EXPECT_EQ(PoolListRow(report, 1)[5], "2.5");
    report.ElapsedSeconds = 0;
    EXPECT_EQ(PoolListRow(report, 1)[5], std::nullopt);
    EXPECT_EQ(PoolListRow(report, 1)[4], "90");
}

TEST(PoolListCells, IOsOfTwoLargeCountersDoNotOverflow) {
    Report report = TwoPools();
    report.Pools(1).PoolReadIOs = 2000000000;
    report.Pools(1).PoolWriteIOs = 2000000000;
    EXPECT_EQ(PoolListRow(report, 1)[1], "4000000000");
    EXPECT_EQ(OverallFigures(report)[0], "4,000,000,500");
}

TEST(OverallFigures, SumsAllPools) {
    const Report report = TwoPools();
    EXPECT_EQ(OverallFigures(report), (OverallFigureTexts{"1,734", "90.00", "1,201,000", "200,000", "17.34", "4.27"}));
    EXPECT_EQ(OverallFigures(report, {',', '.'})[3], "200.000");
}

TEST(OverallFigures, LeavesOutWhatDividesByZero) {
    Report report;
    report.ElapsedSeconds = 0;
    const OverallFigureTexts empty = OverallFigures(report);
    EXPECT_EQ(empty, (OverallFigureTexts{"", std::nullopt, "", "", std::nullopt, std::nullopt}));
}

} // namespace
} // namespace ornexa
