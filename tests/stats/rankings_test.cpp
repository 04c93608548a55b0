#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "stat_fixture.h"
#include "stats/rankings.h"

namespace ornexa {
namespace {

using test::ObjectWith;

// A pool of objects named A, B, C ... holding one figure each.
Report PoolOf(const std::vector<std::pair<char, std::function<void(ObjectRecord&)>>>& objects) {
    Report report;
    std::vector<ObjectRecord> records;
    records.reserve(objects.size());
    char name = 'A';
    for (const auto& [type, set] : objects) {
        records.push_back(ObjectWith("BP1", std::string(1, name++), type, set));
    }
    report.ElapsedSeconds = 100;
    test::AddPool(report, test::TestPool("BP1"), records);
    return report;
}

std::function<void(ObjectRecord&)> GetPages(Long v) {
    return [v](ObjectRecord& o) { o.ObjGetPages = v; };
}
std::function<void(ObjectRecord&)> SysHit(double v) {
    return [v](ObjectRecord& o) { o.SysHitRatio = v; };
}
std::function<void(ObjectRecord&)> AppHit(double v) {
    return [v](ObjectRecord& o) { o.AppHitRatio = v; };
}
std::function<void(ObjectRecord&)> Writes(Long pages, Long ios) {
    return [pages, ios](ObjectRecord& o) {
        o.ObjPagesWritten = pages;
        o.ObjWriteIOs = ios;
    };
}
std::function<void(ObjectRecord&)> PagesRead(Long v) {
    return [v](ObjectRecord& o) { o.ObjPagesRead = v; };
}
std::function<void(ObjectRecord&)> SeqAccess(Long seq, Long total) {
    return [seq, total](ObjectRecord& o) {
        o.GetPagesByAccess(1) = seq;
        o.ObjGetPages = total;
    };
}

std::vector<std::string> Names(const RankedList& list) {
    std::vector<std::string> names;
    for (int i = 0; i < list.RankCount; ++i) {
        const std::string& n = list.RankNames[static_cast<std::size_t>(i)];
        names.push_back(n.substr(0, n.find_last_not_of(' ') + 1));
    }
    return names;
}

struct RankCase {
    const char* name;
    int type;
    Report report;
    std::vector<std::string> expected; // rank 1 first, RankCount entries ("" for an empty rank)
    bool scaled = false;
};

TEST(RankPoolObjects, RanksByTheCataloguesMeasureNAndOrder) {
    const RankCase cases[] = {
        {"highest first, the later of equal values ranks higher",
         7,
         PoolOf({{'T', GetPages(5)}, {'T', GetPages(9)}, {'T', GetPages(5)}}),
         {"B", "C", "A"}},
        {"all objects count, zeros too", 7, PoolOf({{'T', GetPages(0)}, {'T', GetPages(3)}}), {"B", "A"}},
        {"one value above 99999 scales to thousands",
         7,
         PoolOf({{'T', GetPages(100000)}, {'T', GetPages(5)}}),
         {"A", "B"},
         true},
        {"99999 does not", 7, PoolOf({{'T', GetPages(99999)}, {'T', GetPages(5)}}), {"A", "B"}, false},
        {"counted: only values above 0",
         16,
         PoolOf({{'T', [](ObjectRecord& o) { o.ObjUpdates = 0; }},
                 {'T', [](ObjectRecord& o) { o.ObjUpdates = 4; }},
                 {'T', [](ObjectRecord& o) { o.ObjUpdates = 0; }}}),
         {"B", ""}},
        {"lowest first, the earlier of equal values ranks higher",
         11,
         PoolOf({{'T', SysHit(90)}, {'T', SysHit(80)}, {'T', SysHit(80)}}),
         {"B", "C", "A"}},
        {"a value beyond the old sentinel still ranks",
         11,
         PoolOf({{'T', SysHit(1e8)}, {'T', SysHit(50)}}),
         {"B", "A"}},
        {"lowest app hit ratio leaves out zeros",
         10,
         PoolOf({{'T', AppHit(0)}, {'T', AppHit(70)}, {'T', AppHit(60)}}),
         {"C", "B"}},
        {"indexes below 95 percent",
         12,
         PoolOf({{'I', SysHit(96)}, {'T', SysHit(10)}, {'I', SysHit(90)}, {'I', SysHit(0)}, {'I', SysHit(50)}}),
         {"E", "C"}},
        {"index pages read leaves table spaces out",
         13,
         PoolOf({{'T', PagesRead(500)}, {'I', PagesRead(200000)}, {'I', PagesRead(0)}, {'I', PagesRead(7)}}),
         {"B", "D"},
         true},
        {"only indexes with 10 percent sequential access, no table space at 0",
         14,
         PoolOf({{'I', SeqAccess(5, 100)}, {'T', SeqAccess(0, 0)}, {'I', SeqAccess(10, 100)}, {'I', SeqAccess(0, 0)}}),
         {"C", "D"}},
        {"I/O rate per second",
         15,
         PoolOf({{'T',
                  [](ObjectRecord& o) {
                      o.ObjReadIOs = 100;
                      o.ObjWriteIOs = 0;
                  }},
                 {'T',
                  [](ObjectRecord& o) {
                      o.ObjReadIOs = 300;
                      o.ObjWriteIOs = 100;
                  }}}),
         {"B", "A"}},
        {"pages per write counts no writes as one in one",
         21,
         PoolOf({{'T', Writes(0, 0)}, {'T', Writes(30, 10)}, {'T', Writes(8, 2)}}),
         {"C", "B", "A"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Report report = c.report;
        const RankedList list = RankPoolObjects(report, 1, c.type);
        EXPECT_EQ(Names(list), c.expected);
        EXPECT_EQ(list.ScaleBy1K, c.scaled);
    }
}

TEST(RankPoolObjects, EachCountedTypeRanksItsOwnFigure) {
    using Setter = void (*)(ObjectRecord&, Long);
    const std::pair<int, Setter> types[] = {
        {8, [](ObjectRecord& o, Long v) { o.GetPagesByAccess(1) = v; }},
        {9, [](ObjectRecord& o, Long v) { o.ReadIOsByType(1) = v; }},
        {17, [](ObjectRecord& o, Long v) { o.ObjAvgSyncIOTime = v; }},
        {18, [](ObjectRecord& o, Long v) { o.ObjMaxSyncIOTime = v; }},
        {19, [](ObjectRecord& o, Long v) { o.ObjWriteIOTime = v; }},
        {20, [](ObjectRecord& o, Long v) { o.ObjWriteIOs = v; }},
    };
    for (const auto& [type, set] : types) {
        SCOPED_TRACE(type);
        // Every figure of the catalogue zero but this type's: 1, 3, 0, 2.
        std::vector<std::pair<char, std::function<void(ObjectRecord&)>>> objects;
        for (const Long value : {1, 3, 0, 2}) {
            objects.emplace_back('T', [value, set = set](ObjectRecord& o) {
                o = ObjectRecord{};
                o.ObjName = "X";
                set(o, value);
            });
        }
        Report report = PoolOf(objects);
        EXPECT_EQ(RankPoolObjects(report, 1, type).RankObjects, (std::vector<int>{2, 4, 1, 0, 0, 0, 0, 0, 0, 0}));
    }
}

TEST(RankPoolObjects, NeverMoreThanTenAndAtLeastTwoBars) {
    std::vector<std::pair<char, std::function<void(ObjectRecord&)>>> objects;
    for (int i = 1; i <= 14; ++i) {
        objects.emplace_back('T', GetPages(i * 10));
    }
    Report big = PoolOf(objects);
    const RankedList ten = RankPoolObjects(big, 1, 7);
    EXPECT_EQ(ten.RankCount, 10);
    EXPECT_EQ(Names(ten).front(), "N"); // 140
    EXPECT_FLOAT_EQ(ten.RankValues[9], 50);

    Report none = PoolOf({{'T', [](ObjectRecord& o) { o.ObjUpdates = 0; }}});
    const RankedList empty = RankPoolObjects(none, 1, 16);
    EXPECT_EQ(empty.RankCount, 2);
    EXPECT_EQ(empty.RankObjects[0], 0);
    ChartModel chart;
    DrawRankedChart(chart, 16, empty);
    EXPECT_EQ(chart.ObjectAt(0), 0); // a click on an empty bar opens nothing
    EXPECT_EQ(chart.ObjectAt(1), 0);
}

TEST(RankPoolObjects, LowestPagesPerWriteRanksTheObjectsThatWroteAndMergesEqualValues) {
    Report report = PoolOf({{'T', Writes(0, 0)},   // no writes: left out
                            {'T', Writes(6, 2)},   // 3
                            {'T', Writes(5, 5)},   // 1: the worst ratio, ranked like any other
                            {'T', Writes(2, 1)},   // 2
                            {'T', Writes(4, 2)},   // 2
                            {'T', Writes(9, 3)}}); // 3
    const RankedList before = RankPoolObjects(report, 1, 22);
    EXPECT_EQ(Names(before), (std::vector<std::string>{"C", "Duplicate Values", "Duplicate Values"}));
    EXPECT_EQ(before.RankObjects[0], 3);
    EXPECT_FLOAT_EQ(before.RankValues[1], 2);
    EXPECT_FLOAT_EQ(before.RankValues[2], 3);

    // Drawing pages per write (type 21) first changes nothing in the report.
    RankPoolObjects(report, 1, 21);
    EXPECT_EQ(report.Objects(1).ObjPagesWritten, 0);
    EXPECT_EQ(report.Objects(1).ObjWriteIOs, 0);
    EXPECT_EQ(Names(RankPoolObjects(report, 1, 22)), Names(before));
}

// A pool of more objects than a monitor's report holds ranks the same way: the lowest ratios in
// order, equal values merged, the first object of a value in table order.
TEST(RankPoolObjects, LowestPagesPerWriteOfAPoolTooLargeToExchange) {
    Report report;
    report.SetLimits(ReportLimits::LargeSite());
    std::vector<ObjectRecord> records;
    for (int i = 0; i < 12000; ++i) {
        const Long ios = 1 + i % 10; // ratios 20, 10, 6.67 ... 2, every one 1200 times
        records.push_back(ObjectWith("BP1", "O" + std::to_string(i + 1), 'T', Writes(20, ios)));
    }
    records[7000] = ObjectWith("BP1", "LOW", 'T', Writes(3, 2)); // 1.5: the one lowest value
    test::AddPool(report, test::TestPool("BP1"), records);
    const RankedList list = RankPoolObjects(report, 1, 22);
    ASSERT_EQ(list.RankCount, 10);
    EXPECT_EQ(Names(list)[0], "LOW");
    EXPECT_EQ(list.RankObjects[0], 7001);
    EXPECT_EQ(Names(list)[1], "Duplicate Values");
    EXPECT_EQ(list.RankObjects[1], 10); // the first object of ratio 2 (20 pages in 10 writes)
    EXPECT_FLOAT_EQ(list.RankValues[1], 2.0F);
    for (int r = 2; r < 10; ++r) {
        EXPECT_LT(list.RankValues[static_cast<std::size_t>(r - 1)], list.RankValues[static_cast<std::size_t>(r)]);
    }
    EXPECT_FLOAT_EQ(list.RankValues[9], 10.0F); // 20 pages in 2 writes: 20 in 1 write ranks eleventh
}

TEST(DrawRankedChart, PutsRankOneLastAndKeepsEveryBarInView) {
    Report report = PoolOf({{'T', GetPages(250000)}, {'T', GetPages(1000)}, {'T', GetPages(-500)}});
    const RankedList list = RankPoolObjects(report, 1, 7);
    ChartModel chart;
    DrawRankedChart(chart, 7, list);
    EXPECT_EQ(chart.kind, ChartKind::Ranked);
    EXPECT_EQ(chart.subtitle, "Top Get Page Requests * 1K");
    EXPECT_EQ(chart.labels, (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(chart.series[0], (std::vector<double>{-0.5, 1, 250}));
    EXPECT_EQ(chart.ObjectAt(2), 1);
    EXPECT_TRUE(chart.hiddenSeries[1]);
    EXPECT_EQ(chart.axisMax, 250);
    EXPECT_EQ(chart.axisMin, -0.5);
}

} // namespace
} // namespace ornexa
