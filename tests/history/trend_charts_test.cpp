#include "history/trend_charts.h"

#include <gtest/gtest.h>

namespace {

using ornexa::PoolTrendPoint;

PoolTrendPoint Point(const char* file, const char* at, int vpSize, int vpSeqt, std::optional<double> getPages) {
    PoolTrendPoint point;
    point.report.fileName = std::string("/data/") + file;
    point.report.collectedAt = at;
    point.pool.VPSize = vpSize;
    point.pool.VPSeqThreshold = vpSeqt;
    point.hitRatio = 80.5;
    point.getPagesPerSecond = getPages;
    point.syncReadIOsPerSecond = 12;
    point.pagesWrittenPerSecond = 3;
    return point;
}

TEST(TrendCharts, CollectionTimesReadAsSecondsSince1970) {
    EXPECT_EQ(ornexa::CollectionSeconds("1970-01-01T00:00:00"), 0.0);
    EXPECT_EQ(ornexa::CollectionSeconds("2026-11-30T10:15:00"), 1796033700.0);
    EXPECT_EQ(ornexa::CollectionSeconds("2000-03-01T00:00:01"), 951868801.0); // past a leap day
    for (const char* text :
         {"", "30.11.2026 10.15.00", "2026-13-30T10:15:00", "2026-11-30T25:15:00", "2026-11-3xT10:15:00"}) {
        EXPECT_EQ(ornexa::CollectionSeconds(text), std::nullopt) << text;
    }
}

TEST(TrendCharts, PoolChartsHoldEveryReportsFigureAtItsTimeWithItsOrigin) {
    const std::vector<PoolTrendPoint> points{Point("mon.sta", "2026-11-02T10:00:00", 20000, 80, 150.5),
                                             Point("tue.sta", "2026-11-03T10:00:00", 20000, 80, std::nullopt),
                                             Point("thu.sta", "2026-11-05T10:00:00", 30000, 80, 90),
                                             Point("bad.sta", "11/06/2026", 30000, 80, 95)};
    const auto charts = ornexa::PoolTrendCharts("BP2", points);
    const ornexa::ChartModel& size = charts[ornexa::VPSizeTrend];
    EXPECT_EQ(size.kind, ornexa::ChartKind::TimeLine);
    EXPECT_EQ(size.series[0], (std::vector<double>{20000, 20000, 30000})) << "a report without a time has no point";
    EXPECT_EQ(size.xValues.front(), *ornexa::CollectionSeconds("2026-11-02T10:00:00"));
    EXPECT_EQ(size.stepSeries, std::vector<bool>{true});
    EXPECT_EQ(size.toolTips.front(), "mon.sta, 2026-11-02 10:00:00");
    // A report without an interval length has no rate: the chart leaves it out.
    EXPECT_EQ(charts[ornexa::GetPagesTrend].series[0], (std::vector<double>{150.5, 90}));
    EXPECT_EQ(charts[ornexa::GetPagesTrend].toolTips.back(), "thu.sta, 2026-11-05 10:00:00");
    EXPECT_FALSE(charts[ornexa::GetPagesTrend].stepSeries[0]);
    EXPECT_EQ(charts[ornexa::HitRatioTrend].axisEnds, ornexa::AxisEnds::Percent);
    EXPECT_EQ(charts[ornexa::HitRatioTrend].axisMax, 100.0);
    for (const auto& chart : charts) {
        ASSERT_EQ(chart.markers.size(), 1U) << chart.subtitle;
        EXPECT_EQ(chart.markers[0].text, "VPSIZE 20000 -> 30000");
        EXPECT_EQ(chart.markers[0].x, *ornexa::CollectionSeconds("2026-11-05T10:00:00"));
    }
    const auto empty = ornexa::PoolTrendCharts("BP9", {});
    EXPECT_FALSE(empty[0].HasData());
    EXPECT_FALSE(empty[0].noData.empty());
}

TEST(TrendCharts, MarkersTellEachSettingThatChangedBetweenTwoReports) {
    struct Case {
        int vpSize;
        int vpSeqt;
        const char* text; // nullptr: no marker
    };
    const std::vector<Case> cases{{20000, 80, nullptr},
                                  {30000, 80, "VPSIZE 20000 -> 30000"},
                                  {20000, 50, "VPSEQT 80 -> 50"},
                                  {30000, 50, "VPSIZE 20000 -> 30000; VPSEQT 80 -> 50"}};
    for (const Case& c : cases) {
        const auto markers = ornexa::PoolSettingMarkers({Point("a.sta", "2026-11-02T10:00:00", 20000, 80, 1),
                                                         Point("b.sta", "2026-11-03T10:00:00", c.vpSize, c.vpSeqt, 1)});
        if (c.text == nullptr) {
            EXPECT_TRUE(markers.empty());
        } else {
            ASSERT_EQ(markers.size(), 1U);
            EXPECT_EQ(markers[0].text, c.text);
        }
    }
}

TEST(TrendCharts, ObjectChartsHoldGetPagesAndSystemHitRatio) {
    ornexa::ObjectTrendPoint a;
    a.report.fileName = "a.sta";
    a.report.collectedAt = "2026-11-02T10:00:00";
    a.getPagesPerSecond = 42;
    a.sysHitRatio = 97.5;
    ornexa::ObjectTrendPoint b = a;
    b.report.collectedAt = "2026-11-03T10:00:00";
    b.getPagesPerSecond.reset();
    b.sysHitRatio = 91;
    const auto charts = ornexa::ObjectTrendCharts("DB1.TS1", {a, b});
    EXPECT_EQ(charts[ornexa::ObjectGetPagesTrend].series[0], std::vector<double>{42});
    EXPECT_EQ(charts[ornexa::ObjectHitRatioTrend].series[0], (std::vector<double>{97.5, 91}));
    EXPECT_EQ(charts[ornexa::ObjectHitRatioTrend].axisEnds, ornexa::AxisEnds::Percent);
    EXPECT_EQ(charts[ornexa::ObjectHitRatioTrend].title, "DB1.TS1");
}

} // namespace
