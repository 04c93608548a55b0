#include <gtest/gtest.h>

#include "stat_fixture.h"
#include "stats/pool_graph.h"
#include "stats/share_figures.h"

namespace ornexa {
namespace {

using test::ObjectWith;

Report IndexPool() {
    Report report;
    test::AddPool(report, test::TestPool("BP2"),
                  {test::TestObject("BP2", "X.I1", 'I'), test::TestObject("BP2", "X.I2", 'I')});
    report.ElapsedSeconds = 100;
    return report;
}

TEST(PoolShare, ObjectTypeSharesKeepEmptyBucketsWithoutLabels) {
    const Report report = IndexPool();
    const ShareResult share = PoolShare(report, 1, 4);
    EXPECT_EQ(share.data.ShareCount, 3);
    EXPECT_EQ(share.data.ShareTotal, 2000);
    EXPECT_EQ(share.values[0], "2000");
    EXPECT_EQ(share.values[1], "0");
    EXPECT_EQ(share.total, "  2,000");
    EXPECT_EQ(ShareLabelWithPercent(share.data, 1), "Index (100.0%)");
    EXPECT_EQ(ShareLabelWithPercent(share.data, 2), "(0.0%)");
    EXPECT_FALSE(share.noData);
}

TEST(PoolShare, ZeroTotalsOfReadTypesAreReported) {
    Report report;
    PoolRecord pool = test::TestPool("BP9");
    pool.PoolGetPagesByAccess = {};
    pool.PoolPagesReadByType = {};
    pool.PoolReadIOsByType = {};
    test::AddPool(report, pool);
    const ShareResult access = PoolShare(report, 1, 1);
    EXPECT_EQ(access.data.ShareCount, 3); // whatever the total
    EXPECT_EQ(access.data.ShareTotal, 0);
    EXPECT_FALSE(access.noData);
    EXPECT_EQ(PoolShare(report, 1, 2).noData, "Number Of Pages Read Is ZERO. Can not Graph ...");
    EXPECT_EQ(PoolShare(report, 1, 3).noData, "Number Of Start IOs Is ZERO. Can not Graph ...");
    EXPECT_EQ(PoolShare(report, 1, 3).data.ShareCount, 0);
    EXPECT_EQ(PoolShare(report, 1, 5).data.ShareCount, 0); // no objects

    GraphView view;
    EXPECT_FALSE(DrawPoolGraph(view, report, 1, 2));
    const Messages told = NoDataMessages(view.chart);
    ASSERT_EQ(told.size(), 2U); // the share's reason, then the chart's
    EXPECT_EQ(told[1], (Message{"", "Number Of Pages Read Is ZERO. Can not Graph", MessageIcon::None}));
    EXPECT_FALSE(view.chart.visible);
    EXPECT_TRUE(DrawPoolGraph(view, report, 1, 7)); // the next drawing that draws tells nothing
    EXPECT_TRUE(view.chart.noData.empty());
}

TEST(ShareLabelWithPercent, NamesTheSliceWithItsShare) {
    ShareData data;
    data.ShareValues(1) = 25;
    data.ShareValues(2) = 75;
    data.ShareLabels(1) = "Seq ";
    data.ShareTotal = 100;
    EXPECT_EQ(ShareLabelWithPercent(data, 1), "Seq (25.0%)");
    EXPECT_EQ(ShareLabelWithPercent(data, 1, {',', '.'}), "Seq (25,0%)");
}

TEST(ObjectTypeBucket, CodesOtherThanIndexAndTableAreUnknown) {
    for (const char type : {'D', 'U', '*'}) {
        EXPECT_EQ(ObjectTypeBucket(test::TestObject("BP0", "X", type)), 3) << type;
    }
    EXPECT_EQ(ObjectTypeBucket(test::TestObject("BP0", "X", 'I')), 1);
    EXPECT_EQ(ObjectTypeBucket(test::TestObject("BP0", "X", 'T')), 2);
}

TEST(ObjectDetailFigures, ShowsTheObjectsFiguresInPanelOrder) {
    Report report = IndexPool();
    report.Objects(2).ObjPagesWritten = 0;
    EXPECT_EQ(ObjectDetailFigures(report, 1),
              (std::array<std::string, 12>{"   1000", "   500", "   400", "   100", "   50", "   45", "   0", "   0",
                                           "   95.5", "   90.5", "  0.60", "  3.00"}));
    EXPECT_EQ(ObjectDetailFigures(report, 2)[11], "  0.00"); // no pages written
    EXPECT_EQ(ObjectShare(report, 1, 1).total, "  1,000");
}

TEST(ObjectShare, ReadTypesWithoutReadsReportAndDrawNothing) {
    Report report;
    test::AddPool(report, test::TestPool("BP1"),
                  {ObjectWith("BP1", "A", 'T', [](ObjectRecord& o) { o.ReadIOsByType = {}; })});
    const ShareResult share = ObjectShare(report, 1, 3);
    EXPECT_EQ(share.noData, "Number Of Pages Read Is ZERO. Can not Graph ...");
    EXPECT_EQ(share.data.ShareCount, 0);
}

} // namespace
} // namespace ornexa
