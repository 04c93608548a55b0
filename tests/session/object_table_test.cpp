#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "display_fixture.h"
#include "report/field_presence.h"
#include "session/analysis_session.h"
#include "session/object_table.h"
#include "stat_fixture.h"
#include "stats/share_figures.h"

namespace ornexa {
namespace {

using test::ObjectWith;

// The figure column captioned `caption`, 1-based as the table's columns count (0 is the name).
int ColumnOf(const ObjectTable& table, std::string_view caption) {
    const auto at = std::find_if(table.columns.begin(), table.columns.end(),
                                 [&](const ObjectTableColumn& c) { return c.caption == caption; });
    return at == table.columns.end() ? -1 : static_cast<int>(at - table.columns.begin()) + 1;
}

std::vector<std::string> Names(const ObjectTable& table, const std::vector<int>& order) {
    std::vector<std::string> names;
    for (const int r : order) {
        names.push_back(table.rows[static_cast<std::size_t>(r)].name);
    }
    return names;
}

class ObjectTables : public ::testing::Test {
protected:
    ObjectTables() {
        report.ElapsedSeconds = 100;
        report.Header.ReportPoolCount = 2;
        test::AddPool(report, test::TestPool("BP0"), {test::TestObject("BP0", "DB0.T1")});
        test::AddPool(report, test::TestPool("BP1"),
                      {ObjectWith("BP1", "A", 'T',
                                  [](ObjectRecord& o) {
                                      o.ObjGetPages = 9;
                                      o.ObjReadIOs = 250;
                                      o.ObjPagesWritten = 30;
                                      o.ObjWriteIOs = 4;
                                      o.AppHitRatio = 12.5;
                                  }),
                       ObjectWith("BP1", "B", 'I',
                                  [](ObjectRecord& o) {
                                      o.ObjGetPages = 10;
                                      o.ObjReadIOs = 7;
                                      o.AppHitRatio = 99.25;
                                  }),
                       ObjectWith("BP1", "C", 'T', [](ObjectRecord& o) { o.ObjGetPages = 100; })});
        report.StatFileLoaded = true;
    }

    Report report;
    SimulationData sim;
};

TEST_F(ObjectTables, EveryRowHoldsTheFiguresTheDetailsPanelShowsForItsObject) {
    const ObjectTable table = BuildObjectTable(report, sim, 2);
    ASSERT_EQ(table.rows.size(), 3U);
    for (const ObjectTableRow& row : table.rows) {
        const std::array<std::string, 12> panel = ObjectDetailFigures(report, row.object);
        for (std::size_t i = 0; i < panel.size(); ++i) {
            const int column = ColumnOf(table, ObjectDetailCaptions[i]);
            ASSERT_GT(column, 0) << ObjectDetailCaptions[i];
            const std::optional<double>& value = row.values[static_cast<std::size_t>(column - 1)];
            ASSERT_TRUE(value.has_value()) << ObjectDetailCaptions[i];
            EXPECT_NEAR(*value, std::stod(panel[i]), 0.005) << row.name << " " << ObjectDetailCaptions[i];
        }
        EXPECT_EQ(row.values[static_cast<std::size_t>(ColumnOf(table, "Pages Written") - 1)],
                  report.Objects(row.object).ObjPagesWritten);
    }
    EXPECT_EQ(table.rows[0].values[static_cast<std::size_t>(ColumnOf(table, "Read I/O / sec") - 1)], 2.5);
    EXPECT_EQ(table.rows[0].values[static_cast<std::size_t>(ColumnOf(table, "Pages / Write") - 1)], 7.5);
    // A monitor's report has no data set figures of Db2's and, unsimulated, no working sets.
    EXPECT_EQ(table.columns.size(), 13U);
    EXPECT_EQ(ColumnOf(table, "Max Work Set"), -1);
}

TEST_F(ObjectTables, FiguresSortByValueNotByTextAndNamesByText) {
    const ObjectTable table = BuildObjectTable(report, sim, 2);
    const int getPages = ColumnOf(table, "Get Pages");
    EXPECT_EQ(Names(table, ObjectTableOrder(table, getPages, false)), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(Names(table, ObjectTableOrder(table, getPages, true)), (std::vector<std::string>{"C", "B", "A"}));
    EXPECT_EQ(Names(table, ObjectTableOrder(table, 0, true)), (std::vector<std::string>{"C", "B", "A"}));
    // Equal figures keep the pool's order in either direction.
    const int rid = ColumnOf(table, "RID List");
    EXPECT_EQ(Names(table, ObjectTableOrder(table, rid, true)), (std::vector<std::string>{"A", "B", "C"}));
}

TEST(ObjectTableOrder, FiguresTheInputDoesNotGiveComeLastEitherWay) {
    ObjectTable table;
    table.columns = {{"x", "X", 0}};
    const std::vector<std::optional<double>> values{std::nullopt, 10.0, 9.0, std::nullopt, 100.0};
    for (std::size_t r = 0; r < values.size(); ++r) {
        table.rows.push_back(
            {static_cast<int>(r) + 1, std::string(1, static_cast<char>('a' + r)), ObjectIcon::Other, {values[r]}});
    }
    EXPECT_EQ(Names(table, ObjectTableOrder(table, 1, false)), (std::vector<std::string>{"c", "b", "e", "a", "d"}));
    EXPECT_EQ(Names(table, ObjectTableOrder(table, 1, true)), (std::vector<std::string>{"e", "b", "c", "a", "d"}));
}

TEST_F(ObjectTables, TheSimulatedPoolShowsItsObjectsWorkingSetsAtTheLargestSizeWithGetpages) {
    sim.SimFileLoaded = true;
    sim.simulatedPool = 2;
    sim.Sim.SimSizeCount = 3;
    const std::array<Long, 3> sizes{500, 2000, 1000};
    const std::array<Long, 3> getPages{5, 0, 7}; // the largest size had none: 1000 is taken
    for (int k = 1; k <= 3; ++k) {
        sim.Pools(2).SimPoolSize(k) = sizes[static_cast<std::size_t>(k - 1)];
        sim.Pools(2).SimGetPages(k) = getPages[static_cast<std::size_t>(k - 1)];
        sim.Objects(3).SimAvgWorkSet(k) = 10 * k;
        sim.Objects(3).SimMaxWorkSet(k) = 100 * k;
    }
    const ObjectTable table = BuildObjectTable(report, sim, 2);
    const int avg = ColumnOf(table, "Avg Work Set");
    const int max = ColumnOf(table, "Max Work Set");
    ASSERT_GT(avg, 0);
    ASSERT_GT(max, 0);
    EXPECT_EQ(table.rows[1].values[static_cast<std::size_t>(avg - 1)], 30.0); // object 3 is the pool's second
    EXPECT_EQ(table.rows[1].values[static_cast<std::size_t>(max - 1)], 300.0);
    // Another pool is not simulated.
    EXPECT_EQ(ColumnOf(BuildObjectTable(report, sim, 1), "Max Work Set"), -1);
}

TEST(ObjectTableOfDisplay, FiguresTheDisplayDoesNotGiveAreAbsentAndTheDataSetsOwnAreThere) {
    samplegen::DisplaySampleOptions options;
    options.series = 2;
    options.pools = 2;
    options.dataSetsPerPool = 4;
    const Report display = test::DisplayReport(options);
    int p = 1;
    while (p <= display.PoolCount() && PoolObjects(display, p).Count() == 0) {
        ++p;
    }
    ASSERT_LE(p, display.PoolCount());
    const ObjectTable table = BuildObjectTable(display, SimulationData{}, p);
    EXPECT_EQ(table.absentText, NotInThisInput);
    ASSERT_FALSE(table.rows.empty());
    for (const ObjectTableRow& row : table.rows) {
        // Each cell is absent exactly where the details panel says the input does not give it.
        const std::vector<FigureRow> panel = ObjectDetailRows(display, row.object);
        std::size_t given = 0;
        for (const FigureRow& figure : panel) {
            const int column = ColumnOf(table, figure.caption);
            ASSERT_GT(column, 0) << figure.caption;
            const std::optional<double>& value = row.values[static_cast<std::size_t>(column - 1)];
            EXPECT_EQ(value.has_value(), figure.value != NotInThisInput) << figure.caption;
            given += value.has_value() ? 1 : 0;
        }
        EXPECT_GT(given, 0U); // the data set's own figures
    }
}

TEST_F(ObjectTables, ARowChosenOrABarClickedMakesItsObjectTheOneTheObjectTabShows) {
    const test::TempDir dir;
    AnalysisSession s(report, sim, dir.Path());
    s.Load();
    (void)s.Activate();
    (void)s.SelectPoolFromList(1);
    ASSERT_EQ(s.ObjectTableOfPool()->pool, 2);
    EXPECT_EQ(s.ObjectTableOfPool(), s.ObjectTableOfPool()); // one snapshot while the pool stays
    (void)s.ChooseObject(4);
    EXPECT_EQ(s.CurrentObject(), 4);
    EXPECT_EQ(s.ObjectInfo().SelectedRow(), 2);
    EXPECT_EQ(s.ObjectInfo().GraphType(), 1);
    (void)s.SelectPoolGraphType(7); // Top Get Pages: C is rank 1, the last bar
    s.ClickPoolChart(ChartHit{0, s.PoolInfo().Graph().chart.PointCount() - 1});
    EXPECT_EQ(s.CurrentObject(), 4);
    s.ClickPoolChart(ChartHit{0, s.PoolInfo().Graph().chart.PointCount() - 3}); // rank 3: A
    EXPECT_EQ(s.CurrentObject(), 2);
    EXPECT_EQ(s.ObjectInfo().SelectedRow(), 0);
    (void)s.ChooseObject(1); // not of this pool
    EXPECT_NE(s.CurrentObject(), 1);
}

} // namespace
} // namespace ornexa
