#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "display_fixture.h"
#include "report/field_presence.h"
#include "report/stat_reader.h"
#include "session/analysis_session.h"
#include "stat_fixture.h"
#include "stats/pool_graph.h"
#include "stats/rankings.h"
#include "stats/share_figures.h"

namespace ornexa {
namespace {

// The analysis window's pages over a report made of Db2's display output: what they show, and where
// they say that the display does not give a figure rather than showing a zero.
class DisplayViews : public ::testing::Test {
protected:
    static samplegen::DisplaySampleOptions Options() {
        samplegen::DisplaySampleOptions o;
        o.series = 2; // an interval with a start and an end
        o.pools = 3;
        o.dataSetsPerPool = 6;
        o.simulate = true;
        return o;
    }

    AnalysisSession Start(const Report& shown, NumberStyle style = {}) {
        AnalysisSession session(shown, sim, dir.Path(), style);
        session.Load();
        (void)session.Activate();
        return session;
    }

    static std::string Value(const std::vector<FigureRow>& rows, std::string_view caption) {
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const FigureRow& r) { return r.caption == caption; });
        return row == rows.end() ? "(no row " + std::string(caption) + ")" : row->value;
    }

    // The first pool with objects.
    static int PoolWithObjects(const Report& r) {
        for (int p = 1; p <= r.PoolCount(); ++p) {
            if (PoolObjects(r, p).Count() >= 2) {
                return p;
            }
        }
        return 0;
    }

    test::TempDir dir;
    SimulationData sim;
    Report display = test::DisplayReport(Options());
};

TEST_F(DisplayViews, ReportInfoSaysTheKindOfInputAndWhichHeaderFactsItLacks) {
    const AnalysisSession s = Start(display);
    const ReportInfoPage& page = s.ReportInfo();
    const Db2Facts& facts = *display.Db2Display;
    EXPECT_EQ(page.InputKind(), "Db2 display, from " + facts.from + " to " + facts.to);
    // Date, Time, Elapsed Time, System, Sub System, Db2 Version
    const std::array<bool, ReportDataCount> given{true, true, true, true, true, false};
    for (std::size_t i = 0; i < given.size(); ++i) {
        EXPECT_EQ(page.Data()[i] == NotInThisInput, !given[i]) << ReportDataCaptions()[i] << ": " << page.Data()[i];
    }
    EXPECT_EQ(page.Data()[3], "SYSA");
    EXPECT_NE(page.Totals()[4], NotKnown); // the interval has a length: rates are known
    for (const PoolListEntry& row : page.PoolList()) {
        // Worked out from Db2's counters, the hit ratio shows to two decimals, as a monitor's does.
        const std::string& ratio = *row.cells[4];
        const auto point = ratio.find('.');
        EXPECT_TRUE(point == std::string::npos || ratio.size() - point <= 3) << ratio;
        EXPECT_NE(*row.cells[5], NotKnown);
    }
}

TEST_F(DisplayViews, ReportInfoOfAnIntervalWithoutEndKnowsNoRates) {
    samplegen::DisplaySampleOptions o = Options();
    o.series = 1;
    o.cumulative = true;
    o.form = samplegen::DisplayForm::Screen; // copied from a screen: no time a display was taken
    const Report cumulative = test::DisplayReport(o);
    ASSERT_TRUE(cumulative.Db2Display->to.empty());
    ASSERT_EQ(cumulative.ElapsedSeconds, 0);
    const AnalysisSession s = Start(cumulative);
    const ReportInfoPage& page = s.ReportInfo();
    EXPECT_EQ(page.InputKind(), "Db2 display, cumulative since " + cumulative.Db2Display->from);
    EXPECT_EQ(page.Data()[2], NotKnown);
    EXPECT_EQ(page.Totals()[4], NotKnown);
    for (const PoolListEntry& row : page.PoolList()) {
        EXPECT_EQ(row.cells[5], std::string(NotKnown));
        EXPECT_TRUE(row.cells[2].has_value());
    }
}

TEST_F(DisplayViews, PoolInfoHeaderAndRowsSayWhatTheDisplayDoesNotGiveAndShowDb2sOwnFigures) {
    AnalysisSession s = Start(display, {',', '.'});
    (void)s.SelectPoolFromList(0);
    const PoolInfoPage& page = s.PoolInfo();
    const PoolHeader& header = page.Header();
    // Pool, Objects, V P Size, H P Size, Cast Out; VPSEQT, HPSEQT, DWTH, VWTH
    const std::array<bool, 5> infoGiven{true, true, true, false, false};
    const std::array<bool, 4> thresholdGiven{true, false, true, true};
    for (std::size_t i = 0; i < infoGiven.size(); ++i) {
        EXPECT_EQ(header.poolInfo[i] == NotInThisInput, !infoGiven[i]) << i;
    }
    for (std::size_t i = 0; i < thresholdGiven.size(); ++i) {
        EXPECT_EQ(header.thresholdInfo[i] == NotInThisInput, !thresholdGiven[i]) << i;
    }

    const std::vector<FigureRow>& rows = page.PoolRows();
    const Db2PoolFacts& facts = display.Db2Display->pools[0];
    for (const char* timeRow : {"Avg Sync I/O Time", "Avg Seq Prefetch I/O Time", "Avg List Prefetch I/O Time",
                                "Avg Dyn Prefetch I/O Time", "RID List Get Pages"}) {
        EXPECT_EQ(Value(rows, timeRow), NotInThisInput);
    }
    EXPECT_EQ(Value(rows, "PGFIX"), facts.pgfix.empty() ? std::string(NotInThisInput) : facts.pgfix);
    EXPECT_EQ(Value(rows, "PGSTEAL"), facts.pgsteal.empty() ? std::string(NotInThisInput) : facts.pgsteal);
    for (const PoolFigure f : {PoolFigure::DwtHits, PoolFigure::SeqPrefetchRequests, PoolFigure::AsyncWriteIos,
                               PoolFigure::VdwqtBuffers, PoolFigure::PrefetchNoBuffer, PoolFigure::DmthHits}) {
        const auto value = facts.figures.Get(f);
        EXPECT_EQ(Value(rows, NameOf(f).label), value ? CountText(*value, {',', '.'}) : std::string(NotInThisInput))
            << NameOf(f).label;
    }

    // Db2's simulated pool shows with the pool that has one, and no other.
    for (int p = 1; p <= display.PoolCount(); ++p) {
        (void)s.SelectPoolFromList(p - 1);
        const bool simulated = display.Db2Display->pools[static_cast<std::size_t>(p - 1)].simulated.has_value();
        EXPECT_EQ(Value(page.PoolRows(), "SIMULATED BUFFER POOL SIZE").starts_with("(no row"), !simulated) << p;
    }
}

TEST_F(DisplayViews, APoolGraphDrawsWhatTheDisplayGivesAndSaysWhatItDoesNot) {
    const int pool = PoolWithObjects(display);
    ASSERT_NE(pool, 0);
    AnalysisSession s = Start(display);
    (void)s.SelectPoolFromList(pool - 1);
    ASSERT_EQ(s.PoolInfo().GraphTypeCount(), Db2PoolGraphTypeCount);
    struct Case {
        int type;
        std::string_view absent; // empty: the graph draws
    };
    const std::vector<Case> cases{
        {1, ""},
        {2, ""},
        {3, ""},
        {4, NotInDb2Display},
        {5, NotInDb2Display},
        {6, NotInDb2Display},
        {7, NotInDb2Display},
        {8, NotInDb2Display},
        {9, NotInDb2Display},
        {10, NotInDb2Display},
        {11, NotInDb2Display},
        {12, NotInDb2Display},
        {13, NotInDb2Display},
        {14, NotInDb2Display},
        {15, NotInDb2Display},
        {16, NotInDb2Display},
        {17, ""},
        {18, ""},
        {19, NotInDb2Display},
        {20, NotInDb2Display},
        {21, NotInDb2Display},
        {22, NotInDb2Display},
        {23, ""},
        {24, ""},
    };
    for (const Case& c : cases) {
        const Messages told = s.SelectPoolGraphType(c.type);
        const ChartModel& chart = s.PoolInfo().Graph().chart;
        EXPECT_TRUE(told.empty()) << c.type; // no box: the chart says it
        EXPECT_EQ(chart.absentText, c.absent) << c.type;
        EXPECT_EQ(chart.HasData(), c.absent.empty()) << c.type;
        EXPECT_FALSE(chart.title.empty()) << c.type;
        if (!c.absent.empty()) {
            for (const LegendRow& row : s.PoolInfo().Graph().legend) {
                EXPECT_FALSE(row.visible) << c.type;
            }
        }
    }

    // Access Type: sequential and random draw; the RID list getpages the display lacks are said, not
    // drawn as a zero slice.
    (void)s.SelectPoolGraphType(1);
    EXPECT_EQ(s.PoolInfo().Graph().chart.PointCount(), 2);
    EXPECT_EQ(s.PoolInfo().Graph().legend[2].value, NotInThisInput);
}

TEST_F(DisplayViews, TheRankingsADisplayCanMakeRankItsDataSetsByTheirFigures) {
    const int pool = PoolWithObjects(display);
    const ObjectRange range = PoolObjects(display, pool);
    const auto db2 = [&](int o, DataSetFigure f) {
        return static_cast<double>(
            display.Db2Display->objects[static_cast<std::size_t>(o - 1)].figures.Get(f).value_or(0));
    };
    struct Case {
        int type;
        std::function<double(int)> measure;
    };
    const std::vector<Case> cases{
        {17, [&](int o) { return static_cast<double>(display.Objects(o).ObjAvgSyncIOTime); }},
        {18, [&](int o) { return static_cast<double>(display.Objects(o).ObjMaxSyncIOTime); }},
        {23, [&](int o) { return db2(o, DataSetFigure::SyncPages); }},
        {24, [&](int o) { return db2(o, DataSetFigure::CachedPagesMax); }},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RankedAbsent(display, pool, c.type).empty()) << c.type;
        const RankedList list = RankPoolObjects(display, pool, c.type);
        double highest = 0;
        for (const int o : range) {
            highest = std::max(highest, c.measure(o));
        }
        ASSERT_GT(highest, 0) << c.type;
        ASSERT_NE(list.RankObjects[0], 0) << c.type;
        EXPECT_EQ(c.measure(list.RankObjects[0]), highest) << c.type;
        for (int rank = 1; rank < list.RankCount && list.RankObjects[static_cast<std::size_t>(rank)] != 0; ++rank) {
            EXPECT_LE(list.RankValues[static_cast<std::size_t>(rank)],
                      list.RankValues[static_cast<std::size_t>(rank - 1)]);
        }
    }
}

TEST_F(DisplayViews, TheObjectDetailsShowTheDataSetsFiguresAndSayTheRestIsNotInTheInput) {
    const int pool = PoolWithObjects(display);
    AnalysisSession s = Start(display);
    (void)s.SelectPoolFromList(pool - 1);
    (void)s.SelectPoolGraphType(24);
    const ChartModel& chart = s.PoolInfo().Graph().chart;
    s.ClickPoolChart(ChartHit{0, chart.PointCount() - 1}); // rank 1
    ASSERT_TRUE(s.PoolInfo().DetailsVisible());
    const int object = chart.ObjectAt(chart.PointCount() - 1);
    const std::vector<DetailRow> rows = s.PoolInfo().DetailRows();
    ASSERT_EQ(rows.size(), ObjectDetailCaptions.size() + DataSetFigureCount);
    for (std::size_t i = 0; i < ObjectDetailCaptions.size(); ++i) {
        EXPECT_EQ(rows[i].value, NotInThisInput) << rows[i].caption;
    }
    const Db2ObjectFacts& facts = display.Db2Display->objects[static_cast<std::size_t>(object - 1)];
    for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
        const auto figure = static_cast<DataSetFigure>(f);
        const DetailRow& row = rows[ObjectDetailCaptions.size() + f];
        EXPECT_EQ(row.caption, NameOf(figure).label);
        const auto value = facts.figures.Get(figure);
        EXPECT_EQ(row.value, value ? CountText(*value, {}) : std::string(NotInThisInput)) << row.caption;
    }
    EXPECT_NE(Value(rows, "VP CACHED PAGES MAX"), NotInThisInput);

    // The Object Info tab has no activity to draw for a data set, and shows the same figures.
    (void)s.SelectTab(ObjectInfoTab);
    for (int type = 1; type <= ObjectGraphTypeCount; ++type) {
        EXPECT_TRUE(s.SelectObjectGraphType(type).empty()) << type;
        EXPECT_EQ(s.ObjectInfo().Graph().chart.absentText, NotInDb2Display) << type;
        EXPECT_FALSE(s.ObjectInfo().Graph().chart.HasData()) << type;
    }
    EXPECT_EQ(s.ObjectInfo().DetailRows(), ObjectDetailRows(display, s.CurrentObject()));
}

TEST_F(DisplayViews, AMonitorsReportOffersNoneOfIt) {
    Report monitor;
    ASSERT_TRUE(ReadStatisticsFile(monitor, std::filesystem::path(ORNEXA_SAMPLES_DIR) / "statistics-usa.sta").Loaded());
    AnalysisSession s = Start(monitor);
    EXPECT_TRUE(s.ReportInfo().InputKind().empty());
    EXPECT_TRUE(s.PoolInfo().PoolRows().empty());
    EXPECT_TRUE(s.ObjectInfo().DetailRows().empty());
    EXPECT_EQ(s.PoolInfo().GraphTypeCount(), PoolGraphTypeCount);
    EXPECT_TRUE(s.SelectPoolGraphType(23).empty());
    EXPECT_EQ(s.PoolInfo().GraphType(), 1); // the type before stays
    EXPECT_EQ(RankedAbsent(monitor, 1, 23), NotInThisInput);
    for (int type = 1; type <= PoolGraphTypeCount; ++type) {
        (void)s.SelectPoolGraphType(type);
        EXPECT_TRUE(s.PoolInfo().Graph().chart.absentText.empty()) << type;
    }
    EXPECT_EQ(s.PoolInfo().DetailRows().size(), ObjectDetailCaptions.size());
}

} // namespace
} // namespace ornexa
