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

} // namespace
} // namespace ornexa
