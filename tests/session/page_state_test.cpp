#include <gtest/gtest.h>

#include <sstream>

#include "session/analysis_session.h"
#include "session/report_pages.h"
#include "stat_fixture.h"
#include "stats/share_figures.h"

namespace ornexa {
namespace {

// Pools whose object names sort differently from their table order; a simulation of BP1 with two
// sizes.
class PageState : public ::testing::Test {
protected:
    PageState() {
        const auto object = [](const char* pool, const char* name, char type, Long getPages) {
            return test::ObjectWith(pool, name, type, [getPages](ObjectRecord& o) { o.ObjGetPages = getPages; });
        };
        test::AddPool(
            report, test::TestPool("BP0"),
            {object("BP0", "DB0.T2", 'T', 5), object("BP0", "DB0.A1", 'I', 7), object("BP0", "DB0.M3", 'T', 3)});
        test::AddPool(report, test::TestPool("BP1"),
                      {object("BP1", "DB1.TS", 'T', 10), object("BP1", "DB1.AX", 'I', 900)});
        report.Header.ReportPoolCount = 2;
        report.ElapsedSeconds = 100;
        report.StatFileLoaded = true;
        sim.SimFileLoaded = true;
        sim.simulatedPool = 2;
        sim.Sim.SimPoolName = "BP1";
        sim.Sim.SimSizeCount = 2;
        for (const int k : {1, 2}) {
            sim.Pools(2).SimPoolSize(k) = 500 * k;
        }
    }

    AnalysisSession Start(const Report& shown) {
        AnalysisSession session(shown, sim, dir.Path());
        session.Load();
        (void)session.Activate();
        return session;
    }

    static std::vector<std::string> Names(const AnalysisSession& s) {
        std::vector<std::string> names;
        for (const ObjectListEntry& entry : s.ObjectInfo().List()) {
            names.push_back(entry.text);
        }
        return names;
    }

    test::TempDir dir;
    Report report;
    SimulationData sim;
};

TEST_F(PageState, TheObjectListsOrderIsAValueBesideItsCaptions) {
    struct Case {
        std::vector<int> clicks;
        std::optional<ListSort> order;
        std::string caption;
    };
    const Case cases[] = {
        {{}, std::nullopt, "Object"},
        {{0}, ListSort{0, false}, "Object (A)"},
        {{0, 0}, ListSort{0, true}, "Object (D)"},
        {{0, 0, 0}, ListSort{0, false}, "Object (A)"},
        {{0, 4}, ListSort{4, false}, "Object"}, // a column the list does not have marks nothing
    };
    for (const Case& c : cases) {
        AnalysisSession s = Start(report);
        for (const int column : c.clicks) {
            s.SortObjectList(column);
        }
        const auto order = s.ObjectInfo().SortOrder();
        ASSERT_EQ(order.has_value(), c.order.has_value()) << c.caption;
        if (order) {
            EXPECT_EQ(order->column, c.order->column);
            EXPECT_EQ(order->descending, c.order->descending);
        }
        EXPECT_EQ(s.ObjectInfo().Captions(), std::vector<std::string>{c.caption});
    }
}

TEST_F(PageState, ARestoredOrderShowsWhatTheClicksShowed) {
    for (const bool descending : {false, true}) {
        AnalysisSession clicked = Start(report);
        (void)clicked.SelectObjectRow(2); // DB0.M3
        clicked.SortObjectList(0);
        if (descending) {
            clicked.SortObjectList(0);
        }
        AnalysisSession restored = Start(report);
        (void)restored.SelectObjectRow(2);
        restored.RestoreObjectSort(*clicked.ObjectInfo().SortOrder());
        EXPECT_EQ(Names(restored), Names(clicked)) << descending;
        EXPECT_EQ(restored.ObjectInfo().Captions(), clicked.ObjectInfo().Captions());
        EXPECT_EQ(restored.ObjectInfo().SelectedRow(), clicked.ObjectInfo().SelectedRow()); // the row followed
        EXPECT_EQ(restored.CurrentObject(), 3);
    }
}

TEST_F(PageState, AnOrderKeptFromOneReportSortsTheNextOnesLists) {
    AnalysisSession before = Start(report);
    before.SortObjectList(0);
    before.SortObjectList(0);
    const ListSort kept = *before.ObjectInfo().SortOrder();

    // A new report, read after the last one: other objects, the same order.
    Report next;
    next.Header.ReportPoolCount = 2;
    test::AddPool(
        next, test::TestPool("BP0"),
        {test::TestObject("BP0", "DB0.B"), test::TestObject("BP0", "DB0.Z"), test::TestObject("BP0", "DB0.K")});
    test::AddPool(next, test::TestPool("BP1"), {test::TestObject("BP1", "DB1.C"), test::TestObject("BP1", "DB1.D")});
    next.StatFileLoaded = true;
    AnalysisSession after = Start(next);
    after.RestoreObjectSort(kept);
    EXPECT_EQ(Names(after), (std::vector<std::string>{"DB0.Z", "DB0.K", "DB0.B"}));
    EXPECT_EQ(after.ObjectInfo().Captions(), std::vector<std::string>{"Object (D)"});
    (void)after.SelectPoolFromList(1); // the order holds for the next pool's list
    EXPECT_EQ(Names(after), (std::vector<std::string>{"DB1.D", "DB1.C"}));
    ASSERT_TRUE(after.ObjectInfo().SortOrder().has_value());
    EXPECT_TRUE(after.ObjectInfo().SortOrder()->descending);
}

TEST_F(PageState, TheDetailsPanelRowsCarryTheirCaptions) {
    AnalysisSession s = Start(report);
    const auto captionsOf = [](const std::vector<DetailRow>& rows) {
        std::vector<std::string> captions;
        captions.reserve(rows.size());
        for (const DetailRow& row : rows) {
            captions.push_back(row.caption);
        }
        return captions;
    };
    const std::vector<std::string> expected(ObjectDetailCaptions.begin(), ObjectDetailCaptions.end());
    const std::vector<DetailRow> empty = s.PoolInfo().DetailRows();
    EXPECT_EQ(captionsOf(empty), expected);
    EXPECT_TRUE(std::all_of(empty.begin(), empty.end(), [](const DetailRow& row) { return row.value.empty(); }));

    (void)s.SelectPoolFromList(1);
    (void)s.SelectPoolGraphType(7); // Top Get Pages: DB1.AX is rank 1, the last bar
    s.ClickPoolChart(ChartHit{0, s.PoolInfo().Graph().chart.PointCount() - 1});
    const std::vector<DetailRow> shown = s.PoolInfo().DetailRows();
    EXPECT_EQ(captionsOf(shown), expected);
    const auto figures = ObjectDetailFigures(report, 5);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        EXPECT_EQ(shown[i].value, figures[i]) << shown[i].caption;
    }
}

// A page as text: every field a renderer prints or draws.
std::string PageText(const PrintedPage& page) {
    std::ostringstream out;
    out << page.title << '|' << page.subtitle << '|' << page.subtitle1 << '\n';
    for (const auto& labels : {page.facts, page.labels}) {
        for (const PrintedLabel& label : labels) {
            out << label.caption << '=' << label.value << ';';
        }
        out << '\n';
    }
    if (page.chart) {
        out << page.chart->title << '|' << page.chart->subtitle << '\n';
        for (const std::string& label : page.chart->labels) {
            out << label << ';';
        }
        for (const auto& series : page.chart->series) {
            for (const double value : series) {
                out << value << ';';
            }
        }
        for (const std::string& note : page.chart->noData) {
            out << note << ';';
        }
        out << '\n';
    }
    if (page.table) {
        for (const std::string& caption : page.table->captions) {
            out << caption << ';';
        }
        for (const auto& row : page.table->rows) {
            for (const std::string& cell : row) {
                out << cell << ';';
            }
        }
    }
    return out.str();
}

std::vector<std::string> Texts(const PrintedReport& printed) {
    std::vector<std::string> texts;
    for (const PrintedPage& page : printed.pages) {
        texts.push_back(PageText(page));
    }
    return texts;
}

TEST_F(PageState, ThePrintedPagesAreThoseOfTheTabsAPersonWouldPrint) {
    for (const int graphType : {1, 7, 22}) {
        ReportPagesRequest request;
        request.graphType = graphType;
        request.thresholdFolder = dir.Path();
        // What the window prints, tab by tab: the summary, then each pool's pool and object pages
        // and, for the simulated pool, the four simulation charts and the cluster report.
        AnalysisSession s = Start(report);
        std::vector<std::string> expected = Texts(*s.PrintedTab());
        for (int row = 0; row < 2; ++row) {
            (void)s.SelectPoolFromList(row);
            (void)s.SelectPoolGraphType(graphType);
            for (const int tab : {PoolInfoTab, ObjectInfoTab}) {
                (void)s.SelectTab(tab);
                for (std::string& text : Texts(*s.PrintedTab())) {
                    expected.push_back(std::move(text));
                }
            }
        }
        (void)s.SelectTab(SimGraphTab);
        for (int subTab = 0; subTab < SimSubTabCount; ++subTab) {
            s.SimGraphs().SelectSubTab(subTab);
            expected.push_back(Texts(*s.PrintedTab()).at(0));
        }
        (void)s.SelectTab(SimClusterTab);
        for (std::string& text : Texts(*s.PrintedTab())) {
            expected.push_back(std::move(text));
        }
        EXPECT_EQ(Texts(AllReportPages(report, sim, request).printed), expected) << graphType;
    }
}

TEST_F(PageState, OnlyThePoolsNamedArePrintedAndUnknownNamesAreReturned) {
    ReportPagesRequest request;
    request.pools = {"bp1", "BP9"};
    request.thresholdFolder = dir.Path();
    const ReportPages pages = AllReportPages(report, sim, request);
    EXPECT_EQ(pages.unknown, std::vector<std::string>{"BP9"});
    std::vector<std::string> titles;
    for (const PrintedPage& page : pages.printed.pages) {
        titles.push_back(page.title);
    }
    ASSERT_GE(titles.size(), 3U);
    EXPECT_EQ(titles[1], "Buffer Pool BP1");
    EXPECT_EQ(titles[2], "BP1 Pool Objects");
    EXPECT_EQ(std::count(titles.begin(), titles.end(), "Buffer Pool BP0"), 0);
}

TEST_F(PageState, APoolWithoutObjectsPrintsNoOtherPoolsObjectChart) {
    test::AddPool(report, test::TestPool("BP2"));
    report.Header.ReportPoolCount = 3;
    ReportPagesRequest request;
    request.pools = {"BP0", "BP2"};
    request.thresholdFolder = dir.Path();
    const PrintedReport printed = AllReportPages(report, sim, request).printed;
    const auto page = std::find_if(printed.pages.begin(), printed.pages.end(),
                                   [](const PrintedPage& p) { return p.title == "BP2 Pool Objects"; });
    ASSERT_NE(page, printed.pages.end());
    ASSERT_TRUE(page->chart.has_value());
    EXPECT_EQ(page->chart->title, "");
    EXPECT_EQ(page->chart->SeriesCount(), 0);
    for (const PrintedLabel& label : page->labels) {
        EXPECT_EQ(label.value, "") << label.caption;
    }
}

} // namespace
} // namespace ornexa
