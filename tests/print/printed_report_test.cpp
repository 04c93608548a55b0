#include <gtest/gtest.h>

#include "print/printed_report.h"
#include "stat_fixture.h"
#include "stats/pool_graph.h"

namespace ornexa {
namespace {

// Pools BP1, BP2, BP3 with one object each, with figures for every column of the summary.
Report ThreePools() {
    Report report;
    report.Header.SystemName = "SYA";
    report.Header.SubSystemName = "DB2P";
    report.Header.CollectionDate = "12/07/26";
    report.Header.CollectionTime = "10:30";
    for (const char* name : {"BP1", "BP2", "BP3"}) {
        PoolRecord pool = test::TestPool(name);
        pool.PoolGetPages = 50000;
        pool.PoolUpdates = 700;
        pool.PoolReadIOs = 1000;
        pool.PoolWriteIOs = 200;
        pool.PoolPagesWritten = 1000;
        pool.PoolHitRatio = 90.0;
        test::AddPool(report, pool, {test::TestObject(name, std::string("DB.") + name)});
    }
    report.ElapsedSeconds = 100;
    report.StatFileLoaded = true;
    return report;
}

TEST(PrintedReport, HeaderFactsCarryTheTrimmedValues) {
    const Report report = ThreePools();
    EXPECT_EQ(HeaderFacts(report.Header),
              (std::vector<PrintedLabel>{
                  {"System: ", "SYA"}, {"Sub System: ", "DB2P"}, {"Date: ", "12/07/26"}, {"Time: ", "10:30"}}));
}

TEST(PrintedReport, TheSummaryPrintsTotalsAndEveryPoolOnceOverAsManyPagesAsItNeeds) {
    const Report report = ThreePools();
    const PrintedReport one = SummaryReport(report);
    ASSERT_EQ(one.pages.size(), 1U);
    const PrintedPage& page = one.pages[0];
    EXPECT_EQ(page.subtitle, "Report Summary ");
    std::vector<std::string> captions;
    for (const PrintedLabel& label : page.labels) {
        captions.push_back(label.caption);
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Total Read/Write IO", "Overall Sys Hit Ratio", "Total Get Pages",
                                                  "Total Updates", "Total I/Os per second", "Pages per write"}));
    EXPECT_EQ(page.labels[0].value, "3,600"); // 3 x (1000 + 200)
    EXPECT_EQ(page.labels[2].value, "150,000");
    ASSERT_TRUE(page.table.has_value());
    EXPECT_EQ(page.table->captions,
              (std::vector<std::string>{"Pools", "Get Pages", "Updates", "Hit Ratio", "I/O Sec", "Pages/Write"}));
    EXPECT_EQ(page.table->rows.at(1), (std::vector<std::string>{"BP2", "50000", "700", "90", "12", "5"}));

    struct Case {
        int perPage;
        std::vector<std::size_t> rowsPerPage;
    };
    for (const Case& c : {Case{2, {2, 1}}, Case{1, {1, 1, 1}}, Case{3, {3}}, Case{0, {1, 1, 1}}}) {
        SCOPED_TRACE(c.perPage);
        const PrintedReport split = SummaryReport(report, {}, c.perPage);
        std::vector<std::size_t> sizes;
        std::vector<std::string> pools;
        for (const PrintedPage& p : split.pages) {
            sizes.push_back(p.table->rows.size());
            for (const auto& row : p.table->rows) {
                pools.push_back(row[0]);
            }
            EXPECT_EQ(p.labels, page.labels); // every page carries the totals
            EXPECT_EQ(p.subtitle1.empty(), &p == &split.pages.front()) << "later pages say they continue";
        }
        EXPECT_EQ(sizes, c.rowsPerPage);
        EXPECT_EQ(pools, (std::vector<std::string>{"BP1", "BP2", "BP3"}));
    }

    const PrintedReport empty = SummaryReport(Report{});
    ASSERT_EQ(empty.pages.size(), 1U); // no pools: the totals' page, its table empty
    EXPECT_TRUE(empty.pages[0].table->rows.empty());
}

TEST(PrintedReport, GraphPagesTitleThePoolAndPrintTheLegendShown) {
    const Report report = ThreePools();
    GraphView graph;
    ASSERT_TRUE(DrawPoolGraph(graph, report, 2, 1));
    graph.legend[0].value = "  525368";
    graph.legend[1].value = "  1,234.5";
    graph.legend[2].visible = false;
    const PrintedReport pool = PoolGraphReport(report, 2, graph);
    ASSERT_EQ(pool.pages.size(), 1U);
    const PrintedPage& page = pool.pages[0];
    EXPECT_EQ(page.title, "Buffer Pool BP2");
    EXPECT_EQ(page.subtitle, graph.chart.title);
    EXPECT_EQ(page.subtitle1, "Access Type");
    EXPECT_EQ(page.facts, HeaderFacts(report.Header));
    ASSERT_TRUE(page.chart.has_value());
    EXPECT_EQ(page.chart->series, graph.chart.series);
    EXPECT_EQ(page.labels.at(0), (PrintedLabel{graph.legend[0].caption, "525,368.00"}));
    EXPECT_EQ(page.labels.at(1).value, "1,234.50");
    for (const PrintedLabel& label : page.labels) {
        EXPECT_NE(label.caption, graph.legend[2].caption); // a hidden legend row is not printed
    }

    const PrintedReport objects = ObjectGraphReport(report, 3, graph);
    EXPECT_EQ(objects.pages.at(0).title, "BP3 Pool Objects");
    EXPECT_EQ(objects.pages[0].labels.at(0).value, "525368"); // as the tab shows it
    EXPECT_THROW(PoolGraphReport(report, 4, graph), std::out_of_range);
}

TEST(PrintedReport, TheSimulationPageListsEveryPointRankOneFirst) {
    const Report report = ThreePools();
    ChartModel ranked;
    ranked.title = "Objects With Largest Max WkSet";
    ranked.OpenData(ChartKind::Ranked, 2, 3);
    ranked.labels = {"DB.C  ", "DB.B", "DB.A"}; // drawn bottom up: rank 1 is the last point
    ranked.series[0] = {10, 20, 30};
    const PrintedReport printed = SimGraphReport(report, 1, ranked, "Largest Max WorkSet");
    ASSERT_EQ(printed.pages.size(), 1U);
    const PrintedPage& page = printed.pages[0];
    EXPECT_EQ(page.title, "Buffer Pool BP1");
    EXPECT_EQ(page.subtitle, "Largest Max WorkSet");
    EXPECT_EQ(page.subtitle1, "Objects With Largest Max WkSet");
    EXPECT_EQ(page.labels, (std::vector<PrintedLabel>{{"DB.A", "30"}, {"DB.B", "20"}, {"DB.C", "10"}}));

    ChartModel curve;
    curve.OpenData(ChartKind::Curve, 1, 2);
    curve.xValues = {500, 1000};
    curve.series[0] = {80.5, 90};
    EXPECT_EQ(SimGraphReport(report, 1, curve, "Optimal Pool Sizes").pages[0].labels,
              (std::vector<PrintedLabel>{{"500", "80.5"}, {"1000", "90"}}));
    EXPECT_TRUE(SimGraphReport(report, 1, ChartModel{}, "Optimal Pool Sizes").pages[0].labels.empty());
}

TEST(PrintedReport, TheCollectionStampIsMonthDayYearAndTwelveHours) {
    struct Case {
        const char* date;
        const char* time;
        const char* stamp;
    };
    for (const Case& c :
         {Case{"2026-11-30", "10.15.00", "11-30-2026   10:15 AM"},
          Case{"2026-01-02", "00.05.00", "01-02-2026   12:05 AM"}, Case{"12/07/26", "12:30", "12-07-2026   12:30 PM"},
          Case{"12/07/2026", "23:59:59", "12-07-2026   11:59 PM"},
          Case{"30.11.2026", "10.15.00", "11-30-2026   10:15 AM"}, Case{"12/07/26", "x", "12/07/26   x"},
          Case{"2026-11-30", "25.00.00", "2026-11-30   25.00.00"},
          Case{"2026-13-30", "10.15.00", "2026-13-30   10.15.00"}}) {
        ReportHeader header;
        header.CollectionDate = c.date;
        header.CollectionTime = c.time;
        EXPECT_EQ(CollectionStamp(header), c.stamp) << c.date << ' ' << c.time;
    }
}

TEST(PrintedReport, TheClusterReportPrintsEveryMemberOnceInListOrder) {
    Report report = ThreePools();
    report.Header.CollectionDate = "2026-11-30";
    report.Header.CollectionTime = "14.05.00";
    SimulationData sim;
    // Pool 1 with 7 objects of which 5 are members: 3 in cluster 1, 2 in cluster 2.
    std::vector<ObjectRecord> objects;
    for (int i = 1; i <= 7; ++i) {
        objects.push_back(test::TestObject("BPX", "DB.T" + std::to_string(i)));
    }
    const int p = test::AddPool(report, test::TestPool("BPX"), objects);
    const int first = report.ObjectCount() - 6;
    report.Pools(p).VPSize = 2000;
    sim.Pools(p).SimPoolSize(1) = 4000;
    ClusterRun run;
    run.size = 1;
    run.result = 2;
    for (const int offset : {0, 2, 3, 5, 6}) {
        run.ClusterMembers.push_back(first + offset);
        sim.Objects(first + offset).SimMaxWorkSet(1) = 100 + offset;
    }
    run.ClusterOfMember = {2, 1, 1, 2, 1};
    const std::vector<ClusterListRow> list{{2, {"2", "100", "105"}}, {1, {"1", "102", "106"}}}; // sorted by the user

    const PrintedReport printed = ClusterReport(report, sim, p, run, list, PoolUsage::Sequential, 2);
    std::vector<std::string> subtitles;
    std::vector<std::string> members;
    for (const PrintedPage& page : printed.pages) {
        subtitles.push_back(page.subtitle + (page.subtitle1.empty() ? "" : " " + page.subtitle1));
        EXPECT_EQ(page.title, "Buffer Pool BPX");
        EXPECT_EQ(page.labels, (std::vector<PrintedLabel>{{"Collection Date", "11-30-2026   02:05 PM"},
                                                          {"Original Pool Size", "2000"},
                                                          {"Pool Size Simulated", "4000"}}));
        for (const auto& row : page.table->rows) {
            members.push_back(row.at(0));
        }
    }
    EXPECT_EQ(subtitles, (std::vector<std::string>{" Cluster # = 2  -- Sequential objects",
                                                   " Cluster # = 1  -- Sequential objects",
                                                   " Cluster # = 1  -- Sequential objects (continued)"}));
    const auto shown = [&](int q) {
        std::vector<std::string> names;
        const auto objectsOf = ShowClusterObjects(report, sim, run, q);
        for (const ClusterObjectRow& row : objectsOf.value().rows) {
            names.push_back(row.cells[0]);
        }
        return names;
    };
    std::vector<std::string> expected = shown(2);
    const std::vector<std::string> second = shown(1);
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(members, expected);
    EXPECT_EQ(members.size(), 5U);
    EXPECT_EQ(ClusterReport(report, sim, p, run, list, PoolUsage::Random).pages.at(0).subtitle,
              " Cluster # = 2  -- Random objects");
    EXPECT_TRUE(ClusterReport(report, sim, p, run, {}, PoolUsage::Random).pages.empty());
}

} // namespace
} // namespace ornexa
