#include <gtest/gtest.h>

#include "session/analysis_session.h"
#include "stat_fixture.h"
#include "stats/list_sort.h"
#include "stats/share_figures.h"

namespace ornexa {
namespace {

using test::ObjectWith;

class Analysis : public ::testing::Test {
protected:
    // BP0 (2 objects), BP1 (3 objects, two named alike), BP10 (1 object); a simulation of BP1.
    Analysis() {
        report.Header.ElapsedTime = "00:01:40";
        report.ElapsedSeconds = 100;
        report.Header.ReportPoolCount = 3;
        test::AddPool(report, test::TestPool("BP0"),
                      {test::TestObject("BP0", "DB0.T1"), test::TestObject("BP0", "DB0.I1", 'I')});
        test::AddPool(report, test::TestPool("BP1"),
                      {ObjectWith("BP1", "DB1.TS", 'T', [](ObjectRecord& o) { o.ObjGetPages = 10; }),
                       ObjectWith("BP1", "DB1.TS", 'D', [](ObjectRecord& o) { o.ObjGetPages = 900; }),
                       test::TestObject("BP1", "DB1.IX", '*')});
        test::AddPool(report, test::TestPool("BP10"), {test::TestObject("BP10", "DB10.T1")});
        report.StatFileLoaded = true;
    }

    void Simulate() {
        sim.SimFileLoaded = true;
        sim.simulatedPool = 2;
        sim.Sim.SimPoolName = "BP1";
        sim.Sim.SimSizeCount = 2;
        sim.Pools(2).SimPoolSize(1) = 500;
        sim.Pools(2).SimPoolSize(2) = 1000;
    }

    AnalysisSession Start() {
        AnalysisSession session(report, sim, dir.Path());
        session.Load();
        activated = session.Activate();
        return session;
    }

    test::TempDir dir;
    Report report;
    SimulationData sim;
    Messages activated; // what the start-up told
};

TEST_F(Analysis, StartsOnPoolOneWithOnlyReportInfoEnabled) {
    AnalysisSession s = Start();
    EXPECT_EQ(s.CurrentPool(), 1);
    EXPECT_EQ(s.SelectedTab(), ReportInfoTab);
    EXPECT_EQ(s.StatusText(), "General Buffer Pool Report Information");
    EXPECT_TRUE(s.Tabs()[ReportInfoTab].enabled);
    for (const int t : {PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab}) {
        EXPECT_FALSE(s.Tabs()[static_cast<std::size_t>(t)].enabled) << t;
    }
    EXPECT_FALSE(s.Tabs()[SimGraphTab].visible); // no simulation
    EXPECT_EQ(s.PoolInfo().GraphType(), 1);
    EXPECT_EQ(s.PoolInfo().Graph().chart.subtitle, "Access Type");
    EXPECT_TRUE(s.PoolInfo().Header().caption.empty()); // the header waits for a pool to be chosen
    EXPECT_EQ(s.CurrentObject(), 1);
    EXPECT_EQ(s.ObjectInfo().SelectedRow(), 0);
    EXPECT_EQ(s.ObjectInfo().Graph().chart.title, "DB0.T1");
    EXPECT_EQ(s.Usage(), PoolUsage::Random);
    EXPECT_FALSE(s.Rules().Analysis().rules.empty());
    EXPECT_EQ(s.ReportInfo().PoolList().size(), 3U);
    EXPECT_EQ(s.ReportInfo().SelectedRow(), 0);
    EXPECT_TRUE(activated.empty());
}

TEST_F(Analysis, ChartsWithoutDataTellWhyThroughTheAction) {
    // BP0's first object read no pages: its pages-read chart has nothing to draw.
    report.Objects(1).PagesReadByType = {};
    AnalysisSession s = Start();
    const Messages why = s.SelectObjectGraphType(2);
    ASSERT_EQ(why.size(), 1U);
    EXPECT_EQ(why, NoDataMessages(s.ObjectInfo().Graph().chart));
    EXPECT_TRUE(why[0].title.empty());
    EXPECT_TRUE(s.SelectObjectGraphType(9).empty()); // no such graph: nothing drawn, nothing told
    EXPECT_TRUE(s.SelectObjectRow(0).empty());       // a row chosen shows graph 1 again
    EXPECT_EQ(s.ObjectInfo().GraphType(), 1);
}

TEST_F(Analysis, TabsSetTheStatusTextAndCloseTheDetails) {
    AnalysisSession s = Start();
    s.SelectPoolFromList(0);
    s.SelectPoolGraphType(7);
    s.ClickPoolChart(ChartHit{0, 0});
    ASSERT_TRUE(s.PoolInfo().DetailsVisible());
    s.SelectTab(PoolStatAnalysisTab);
    EXPECT_FALSE(s.PoolInfo().DetailsVisible());
    EXPECT_EQ(s.StatusText(), "Buffer Pool Statistical Analysis");
    s.SelectTab(SimGraphTab);
    EXPECT_EQ(s.StatusText(), "Simulation Graphs");
    EXPECT_EQ(s.Tabs()[SimClusterTab].caption, "Sim Cluster Analysis");
}

TEST_F(Analysis, APageChangesVersionOnlyWhenWhatItShowsChanges) {
    AnalysisSession s = Start();
    const auto reportVersion = s.ReportInfo().Version();
    const auto rules = s.Rules().Version();
    const auto objects = s.ObjectInfo().Version();
    auto pool = s.PoolInfo().Version();
    s.SelectPoolGraphType(2);
    EXPECT_GT(s.PoolInfo().Version(), pool);
    pool = s.PoolInfo().Version();
    s.SelectTab(PoolInfoTab);
    s.SelectPoolGraphType(0); // no such graph
    EXPECT_EQ(s.PoolInfo().Version(), pool);
    EXPECT_EQ(s.ObjectInfo().Version(), objects);
    s.SelectObjectGraphType(2);
    EXPECT_GT(s.ObjectInfo().Version(), objects);
    EXPECT_EQ(s.PoolInfo().Version(), pool);
    EXPECT_EQ(s.ReportInfo().Version(), reportVersion);
    EXPECT_EQ(s.Rules().Version(), rules);
    s.SelectPoolFromList(0); // the pool already shown: its row stays selected
    EXPECT_EQ(s.ReportInfo().Version(), reportVersion);
    EXPECT_GT(s.Rules().Version(), rules);
    const auto rulesOfPool = s.Rules().Version();
    s.SetUsage(PoolUsage::Sequential);
    EXPECT_GT(s.Rules().Version(), rulesOfPool);
    s.ShowNextPool();
    EXPECT_GT(s.ReportInfo().Version(), reportVersion);
    EXPECT_EQ(s.ReportInfo().SelectedRow(), 1);
}

TEST_F(Analysis, NextAndPreviousStopAtTheEnds) {
    AnalysisSession s = Start();
    s.ShowPreviousPool();
    EXPECT_EQ(s.CurrentPool(), 1);
    s.ShowNextPool();
    EXPECT_EQ(s.CurrentPool(), 2);
    EXPECT_EQ(s.CurrentObject(), 3); // the pool's first object
    EXPECT_EQ(s.PoolInfo().Header().caption, "Quorvel - BP1");
    EXPECT_EQ(s.ReportInfo().SelectedRow(), 1);
    s.ShowNextPool();
    s.ShowNextPool();
    EXPECT_EQ(s.CurrentPool(), 3);
    EXPECT_EQ(s.ObjectInfo().Graph().chart.title, "DB10.T1");
}

TEST_F(Analysis, SimulationTabsOpenForTheSimulatedPoolOnly) {
    Simulate();
    AnalysisSession s = Start();
    EXPECT_TRUE(s.Tabs()[SimGraphTab].visible);
    EXPECT_FALSE(s.Tabs()[SimGraphTab].enabled);
    s.SelectPoolFromList(1); // BP1
    EXPECT_TRUE(s.Tabs()[SimGraphTab].enabled);
    EXPECT_TRUE(s.Tabs()[SimClusterTab].enabled);
    EXPECT_EQ(s.Clusters().PoolSizes(), (std::vector<std::string>{" 500", " 1000"}));
    EXPECT_EQ(s.PoolInfo().SimDetailsColumns(), (std::vector<std::string>{"Pool Size", "500", "1000"}));
    s.SelectPoolFromList(2); // BP10 contains "BP1" but was not simulated
    EXPECT_FALSE(s.Tabs()[SimGraphTab].enabled);
    EXPECT_TRUE(s.Tabs()[PoolInfoTab].enabled);
}

TEST_F(Analysis, RowsKeepTheirObjectEvenWithTheSameName) {
    AnalysisSession s = Start();
    s.SelectPoolFromList(1);
    EXPECT_EQ(s.CurrentObject(), 1); // choosing a pool keeps the object shown
    const auto& list = s.ObjectInfo().List();
    ASSERT_EQ(list.size(), 3U);
    EXPECT_EQ(list[1].icon, ObjectIcon::TypeD);
    EXPECT_EQ(list[2].icon, ObjectIcon::Other);
    s.SelectObjectRow(0);
    EXPECT_EQ(s.CurrentObject(), 3);
    s.SelectObjectRow(1);
    EXPECT_EQ(s.CurrentObject(), 4);
    EXPECT_EQ(s.ObjectInfo().GraphType(), 1);

    // Sorting by name keeps the selected object selected, and the two alike rows apart.
    s.SortObjectList(0);
    s.SortObjectList(0); // descending: DB1.TS, DB1.TS, DB1.IX
    ASSERT_TRUE(s.ObjectInfo().SelectedRow().has_value());
    EXPECT_EQ(list[static_cast<std::size_t>(*s.ObjectInfo().SelectedRow())].object, 4);
    EXPECT_EQ(list[2].object, 5);
    EXPECT_EQ(s.ObjectInfo().Captions()[0], "Object (D)");
}

TEST_F(Analysis, AClickOnABarOpensItsObject) {
    AnalysisSession s = Start();
    s.SelectPoolFromList(1);
    s.SelectPoolGraphType(7); // Top Get Pages: DB1.IX (1000) is rank 1, the last bar
    const int last = s.PoolInfo().Graph().chart.PointCount() - 1;
    s.ClickPoolChart(ChartHit{0, last});
    // The status bar and the panel say in words which object the bar stands for.
    EXPECT_EQ(s.StatusText(), "Rank 1 of " + std::to_string(last + 1) + ": DB1.IX");
    EXPECT_TRUE(s.PoolInfo().DetailsVisible());
    EXPECT_EQ(s.PoolInfo().DetailsTitle(), "Object - DB1.IX");
    EXPECT_EQ(s.PoolInfo().Details(), ObjectDetailFigures(report, 5));
    // Another drawing of the chart, another graph or pool, takes the figures of its bar away.
    s.SelectPoolGraphType(8);
    EXPECT_FALSE(s.PoolInfo().DetailsVisible());
    s.SelectPoolGraphType(7);
    s.ClickPoolChart(ChartHit{0, last});
    EXPECT_TRUE(s.PoolInfo().DetailsVisible());
    s.ShowNextPool();
    EXPECT_FALSE(s.PoolInfo().DetailsVisible());
    s.ShowPreviousPool();
    s.ClickPoolChart(ChartHit{0, last});
    s.ClosePoolDetails();
    s.ClickPoolChart(std::nullopt);
    EXPECT_FALSE(s.PoolInfo().DetailsVisible());

    s.SelectPoolGraphType(1); // a share chart opens nothing
    s.ClickPoolChart(ChartHit{0, 0});
    EXPECT_FALSE(s.PoolInfo().DetailsVisible());
}

TEST_F(Analysis, UsageStartsRandomForEveryPoolShown) {
    AnalysisSession s = Start();
    s.SetUsage(PoolUsage::Sequential);
    EXPECT_EQ(s.Rules().UsageOption(), 0); // the option shown is the usage the rules were drawn for
    EXPECT_EQ(s.Usage(), PoolUsage::Sequential);
    s.ShowNextPool();
    EXPECT_EQ(s.Usage(), PoolUsage::Random);
    EXPECT_EQ(s.Rules().UsageOption(), 1);
}

TEST_F(Analysis, BackAndFinishSayHowTheWindowWasLeft) {
    Simulate();
    AnalysisSession s = Start();
    EXPECT_EQ(s.Exit(), AnalysisExit::Open);
    s.Back();
    EXPECT_TRUE(s.Closed());
    EXPECT_EQ(s.Exit(), AnalysisExit::Back);
    EXPECT_EQ(s.CurrentPool(), 0);
    AnalysisSession again = Start();
    EXPECT_EQ(again.CurrentPool(), 1);
    again.Finish();
    EXPECT_EQ(again.Exit(), AnalysisExit::Finish);
}

TEST_F(Analysis, TheClusterPageRunsOnEveryChangeAndClampsTheSpinner) {
    Simulate();
    for (int o = 3; o <= 5; ++o) { // BP1's objects: random getpages only, working sets 10, 20, 300
        sim.Objects(o).SimMaxWorkSet(1) = o == 5 ? 300 : 10 * (o - 2);
        ObjectRecord& object = report.Objects(o);
        object.GetPagesByAccess = {};
        object.GetPagesByAccess(2) = object.ObjGetPages;
    }
    (void)dir.Write("Seq.acc", "50\r\n");
    AnalysisSession s = Start();
    s.SelectPoolFromList(1);
    EXPECT_TRUE(s.SelectTab(SimClusterTab).empty());
    EXPECT_EQ(s.Clusters().SelectedPoolSize(), 0);
    EXPECT_EQ(s.Clusters().LastRun().result, 2);
    ASSERT_EQ(s.Clusters().Clusters().size(), 2U);
    s.Clusters().ClickClusterRow(1);
    EXPECT_EQ(s.Clusters().Status(), "2 Objects in Cluster 2");

    const std::vector<std::tuple<const char*, bool, const char*>> spins{
        {"1.2", true, "1.3"}, {"7.6", true, "7.6"},  {"0.4", false, "0.4"}, {"0.3", true, "0.4"},
        {"abc", true, "0.4"}, {"8.0", false, "7.6"}, {"-5", false, "0.4"}};
    for (const auto& [text, up, expected] : spins) {
        s.SetRadiusText(text);
        s.StepRadius(up ? Direction::Up : Direction::Down);
        EXPECT_EQ(s.Clusters().RadiusText(), expected) << text;
    }
    s.Clusters().StartRepeat(Direction::Down);
    EXPECT_TRUE(s.Clusters().TimerEnabled());
    s.RepeatTick();
    EXPECT_EQ(s.Clusters().RadiusText(), "0.4");
    s.Clusters().StopRepeat();
    EXPECT_FALSE(s.Clusters().TimerEnabled());

    // From the usage buttons a pool where nothing takes part says so.
    const Messages told = s.SetClusterUsage(PoolUsage::Sequential);
    EXPECT_EQ(s.Usage(), PoolUsage::Sequential);
    EXPECT_EQ(told, (Messages{{"Cluster Analysis",
                               "The WkSet Size for all objects in the pool is zero. Cluster Analysis not applicable",
                               MessageIcon::Critical}}));
    // The same run from the size list is not the buttons' question: it tells nothing.
    EXPECT_TRUE(s.SelectPoolSize(0).empty());
}

TEST_F(Analysis, TheClusterTabTellsWhichThresholdFileIsMissing) {
    Simulate();
    for (int o = 3; o <= 5; ++o) { // BP1's objects: random getpages only
        sim.Objects(o).SimMaxWorkSet(1) = 10 * o;
        ObjectRecord& object = report.Objects(o);
        object.GetPagesByAccess = {};
        object.GetPagesByAccess(2) = object.ObjGetPages;
    }
    AnalysisSession s = Start(); // the program's folder holds no threshold file
    s.SelectPoolFromList(1);
    (void)s.SelectTab(SimClusterTab);
    const std::string searched =
        dir.Path().string() + ", " + (dir.Path() / "../share/ornexa").lexically_normal().string();
    const std::string missing =
        "Rand.acc was not found in " + searched + ": every object with getpages takes part in the clustering";
    EXPECT_EQ(s.Clusters().ThresholdWarning(), missing);
    EXPECT_EQ(s.Clusters().Status(), missing);
    EXPECT_EQ(s.StatusText(), missing);
    EXPECT_EQ(s.Clusters().LastRun().ClusterMembers.size(), 3U);

    // With the file its threshold counts, and the warning goes.
    (void)dir.Write("Rand.acc", "101\r\n");
    (void)s.SetClusterUsage(PoolUsage::Random);
    EXPECT_FALSE(s.Clusters().ThresholdWarning().has_value());
    EXPECT_TRUE(s.Clusters().Status().empty());
    EXPECT_EQ(s.StatusText(), "Cluster Analysis details");
    EXPECT_TRUE(s.Clusters().LastRun().ClusterMembers.empty());

    // Each usage has its own file.
    (void)s.SetClusterUsage(PoolUsage::Sequential);
    EXPECT_EQ(s.StatusText(),
              "Seq.acc was not found in " + searched + ": every object with getpages takes part in the clustering");
    (void)dir.Write("Seq.acc", "0\r\n");
    (void)s.SetClusterUsage(PoolUsage::Sequential);
    EXPECT_EQ(s.StatusText(), "Cluster Analysis details");
}

TEST_F(Analysis, TheSimulationTabDrawsItsChartsAndOpensDetailsFromABar) {
    Simulate();
    sim.Pools(2).SimGetPages(1) = sim.Pools(2).SimGetPages(2) = 100;
    sim.Pools(2).SimSysHitRatio(1) = 80;
    sim.Pools(2).SimSysHitRatio(2) = 90;
    sim.Objects(4).SimMaxWorkSet(2) = 77;
    AnalysisSession s = Start();
    s.SelectPoolFromList(1);
    s.SelectTab(SimGraphTab);
    const SimGraphPage& page = s.SimGraphs();
    EXPECT_EQ(page.SubTab(), OptimalPoolSizeTab);
    EXPECT_EQ(page.Chart(OptimalPoolSizeTab).title, "Pool Size Versus System Hit Ratio");
    const ChartModel& largest = page.Chart(LargestWorkSetTab);
    ASSERT_EQ(largest.PointCount(), 3);
    s.SimGraphs().ClickChart(LargestWorkSetTab, 2);
    EXPECT_TRUE(page.DetailsVisible());
    EXPECT_EQ(page.DetailsTitle(), "Object - DB1.TS");
    EXPECT_EQ(page.DetailsCells()[2], (std::vector<std::string>{"0", "77"}));

    // Another sub-tab shows another chart: the object of this one goes, and the panel says how
    // to choose one there; an empty rank changes nothing.
    EXPECT_TRUE(page.DetailsHoldObject());
    s.SimGraphs().SelectSubTab(SmallestWorkSetTab);
    EXPECT_TRUE(page.DetailsVisible());
    EXPECT_FALSE(page.DetailsHoldObject());
    EXPECT_TRUE(page.DetailsCells()[2].empty());
    EXPECT_NE(page.DetailsHint().find("Click a bar"), std::string_view::npos);
    s.SimGraphs().ClickChart(SmallestWorkSetTab, 2);
    EXPECT_TRUE(page.DetailsHoldObject());
    s.SimGraphs().SelectSubTab(SmallestWorkSetTab); // the same chart: the object stays
    EXPECT_TRUE(page.DetailsHoldObject());
    s.SimGraphs().SelectMeasure(IORateMeasure); // redraws another chart only
    EXPECT_TRUE(page.DetailsHoldObject());
    s.SimGraphs().SelectSubTab(OptimalPoolSizeTab);
    EXPECT_FALSE(page.DetailsHoldObject());
    EXPECT_NE(page.DetailsHint().find("Largest Improvement Objects"), std::string_view::npos);
}

TEST_F(Analysis, EachTabPrintsWhatItShows) {
    Simulate();
    AnalysisSession s = Start();
    ASSERT_TRUE(s.PrintedTab().has_value());
    EXPECT_EQ(s.PrintedTab()->pages.at(0).subtitle, "Report Summary ");
    s.SelectPoolFromList(1);
    s.SelectPoolGraphType(7);
    s.SelectTab(PoolInfoTab);
    auto printed = s.PrintedTab();
    ASSERT_TRUE(printed.has_value());
    EXPECT_EQ(printed->pages.at(0).title, "Buffer Pool BP1");
    EXPECT_EQ(printed->pages[0].chart->labels, s.PoolInfo().Graph().chart.labels); // the graph shown
    s.SelectTab(ObjectInfoTab);
    EXPECT_EQ(s.PrintedTab()->pages.at(0).title, "BP1 Pool Objects");
    s.SelectTab(PoolStatAnalysisTab);
    EXPECT_FALSE(s.PrintedTab().has_value());
    s.SelectTab(SimGraphTab);
    EXPECT_EQ(s.PrintedTab()->pages.at(0).subtitle, "Optimal Pool Sizes");
    s.SimGraphs().SelectSubTab(LargestWorkSetTab);
    EXPECT_EQ(s.PrintedTab()->pages.at(0).subtitle, "Largest Max WorkSet");
    s.SelectTab(SimClusterTab);
    EXPECT_TRUE(s.PrintedTab().has_value()); // no cluster here: no page
    EXPECT_TRUE(s.PrintedTab()->pages.empty());
}

TEST_F(Analysis, ACancelledSaveDialogWritesNothing) {
    struct Cancel final : FileChooser {
        std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest&) override { return {}; }
        std::optional<std::filesystem::path> ChooseFileToSave(const FileDialogRequest& request) override {
            asked = request;
            return {};
        }
        FileDialogRequest asked;
    } cancel;
    AnalysisSession s = Start();
    SaveFolders folders;
    EXPECT_TRUE(s.Clusters().CreateClusterFile(cancel, folders).empty());
    EXPECT_EQ(cancel.asked.fileName, "Cluster.qvl");
    EXPECT_EQ(cancel.asked.filters.at(0), (FileFilter{"Cluster Files (*.qvl)", "*.qvl"}));
    EXPECT_TRUE(s.Clusters().Status().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 0);
}

TEST(SaveFolders, StartWhereTheirKindWentLastElseBesideTheReport) {
    const test::TempDir dir;
    const std::filesystem::path reports = dir.Path() / "reports";
    const std::filesystem::path charts = dir.Path() / "charts";
    std::filesystem::create_directories(reports);
    std::filesystem::create_directories(charts);
    SaveFolders folders;
    EXPECT_TRUE(folders.StartFolder(SaveKind::Chart).empty()); // no report: the dialog's own choice
    folders.SetReportFile(reports / "stat.sta");
    folders.Keep(SaveKind::Table, dir.Path() / "gone"); // kept, but no longer there
    folders.Chosen(SaveKind::Chart, charts / "pool.png");
    struct Case {
        SaveKind kind;
        std::filesystem::path start;
    };
    const std::vector<Case> cases = {
        {SaveKind::Chart, charts},
        {SaveKind::Table, reports},
        {SaveKind::ClusterFile, reports},
        {SaveKind::Regroup, reports},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(folders.StartFolder(c.kind), c.start) << static_cast<int>(c.kind);
    }
    folders.Keep(SaveKind::Regroup, charts);
    EXPECT_EQ(folders.StartFolder(SaveKind::Regroup), charts);
    // A report named from the current folder is found from there.
    const std::filesystem::path here = std::filesystem::current_path();
    std::filesystem::current_path(reports);
    folders.SetReportFile("stat.sta");
    std::filesystem::current_path(here);
    EXPECT_EQ(folders.StartFolder(SaveKind::Table), reports);
}

TEST(SortListByColumn, AlternatesOrderAndMarksTheHeader) {
    std::vector<std::string> captions{"Name", "Size"};
    ListSort sort = SortListByColumn(captions, 1);
    EXPECT_FALSE(sort.descending);
    EXPECT_EQ(captions, (std::vector<std::string>{"Name", "Size (A)"}));
    sort = SortListByColumn(captions, 1);
    EXPECT_TRUE(sort.descending);
    EXPECT_EQ(captions[1], "Size (D)");
    sort = SortListByColumn(captions, 0);
    EXPECT_FALSE(sort.descending);
    EXPECT_EQ(captions, (std::vector<std::string>{"Name (A)", "Size"}));

    std::vector<std::string> numbers{"10", "9", "100", "1,000"};
    SortRows(numbers, {0, false}, [](const std::string& s) -> const std::string& { return s; });
    EXPECT_EQ(numbers, (std::vector<std::string>{"9", "10", "100", "1,000"}));
    std::vector<std::string> names{"b", "10", "a"};
    SortRows(names, {0, true}, [](const std::string& s) -> const std::string& { return s; });
    EXPECT_EQ(names, (std::vector<std::string>{"b", "a", "10"}));
}

// A long list goes by radix: the same order as a stable comparison sort, both ways, with ties,
// negative numbers, fractions, -0 beside 0 and values of every size.
TEST(ListSort, ALongNumberColumnSortsAsAStableComparisonWould) {
    const std::vector<double> values{0.0, -0.0, 1.5, -1.5, 42, -42, 1e300, -1e300, 5e-324, 2.5, 2.5000000000000004, 7};
    std::vector<std::pair<double, std::size_t>> keys;
    std::uint64_t state = 12345;
    for (std::size_t i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        keys.emplace_back(values[(state >> 33) % values.size()], i);
    }
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        auto expected = keys;
        std::stable_sort(expected.begin(), expected.end(), [descending](const auto& a, const auto& b) {
            return descending ? b.first < a.first : a.first < b.first;
        });
        auto sorted = keys;
        SortNumberKeys(sorted, descending);
        ASSERT_EQ(sorted.size(), expected.size());
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            ASSERT_EQ(sorted[i].second, expected[i].second) << "at " << i;
        }
    }
}

// Rows are (key, tag): equal keys keep their order whichever way the list is sorted; a blank cell
// among numbers counts as 0; one word among numbers sorts the whole column as text.
TEST(ListSort, SortsByValueOrTextAndKeepsTheOrderOfEqualKeys) {
    using Row = std::pair<std::string, int>;
    struct Case {
        const char* name;
        std::vector<Row> rows;
        bool descending;
        std::vector<int> tags;
    };
    const std::vector<Case> cases{
        {"numbers", {{"10", 1}, {"9", 2}, {"10", 3}, {"-1.5", 4}}, false, {4, 2, 1, 3}},
        {"numbers, descending", {{"10", 1}, {"9", 2}, {"10", 3}, {"-1.5", 4}}, true, {1, 3, 2, 4}},
        {"a blank is 0", {{"5", 1}, {"", 2}, {"-2", 3}, {"  ", 4}}, false, {3, 2, 4, 1}},
        {"a word among numbers", {{"10", 1}, {"x", 2}, {"9", 3}}, false, {1, 3, 2}},
        {"blanks only, as text", {{"  ", 1}, {"", 2}, {" ", 3}}, false, {2, 3, 1}},
        {"text, descending", {{"b", 1}, {"a", 2}, {"b", 3}}, true, {1, 3, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Row> rows = c.rows;
        SortRows(rows, {0, c.descending}, [](const Row& row) -> const std::string& { return row.first; });
        std::vector<int> tags;
        tags.reserve(rows.size());
        for (const Row& row : rows) {
            tags.push_back(row.second);
        }
        EXPECT_EQ(tags, c.tags);
    }
}

} // namespace
} // namespace ornexa
