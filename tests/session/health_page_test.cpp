#include <gtest/gtest.h>

#include "sample_report.h"
#include "session/health_page.h"

namespace {

using ornexa::HealthCell;
using ornexa::HealthColumn;
using ornexa::HealthHoldings;
using ornexa::HealthOverview;
using ornexa::HealthPage;
using ornexa::HealthPlace;

HealthHoldings Holdings() {
    HealthHoldings holdings;
    holdings.systems = {{"SYSA", "DB2P", "2026-03-02T10:00:00"}, {"SYSB", "DB2T", "2026-11-30T23:45:00"}};
    for (const auto& [id, file] : {std::pair{1, "a.sta"}, std::pair{5, "b.sta"}}) {
        ornexa::HistoryReportInfo info;
        info.id = id;
        info.fileName = file;
        holdings.reports.push_back(info);
    }
    return holdings;
}

// Two pools by three reports; the second pool is not in the last report.
HealthOverview Overview(std::int64_t firstId = 1) {
    HealthOverview overview;
    overview.columns = {{firstId, "2026-11-28T10:00:00", "SYSB", "DB2T"},
                        {firstId + 1, "2026-11-29T10:00:00", "SYSB", "DB2T"},
                        {firstId + 2, "2026-11-30T10:00:00", "SYSB", "DB2T"}};
    overview.rows = {{"BP1", 1, 1, 3}, {"BP2", 0, 0, 2}};
    overview.cells = {HealthCell::Good, HealthCell::Warning, HealthCell::Exception,
                      HealthCell::Good, HealthCell::Good,    HealthCell::Absent};
    return overview;
}

TEST(HealthPage, TheSpanIsTheLastSevenDaysHeldOfThePreferredOrNewestSystem) {
    struct Case {
        ornexa::HistoryFilter preferred;
        int system;
        std::string from, to;
    };
    for (const Case& c :
         {Case{{"SYSA", "DB2P"}, 0, "2026-02-24", "2026-03-02"}, // across the end of February
          Case{{}, 1, "2026-11-24", "2026-11-30"}, Case{{"SYSC", "DB2X"}, 1, "2026-11-24", "2026-11-30"}}) {
        HealthPage page({}, {}, c.preferred);
        EXPECT_TRUE(page.FromHistory());
        page.SetHoldings(Holdings());
        EXPECT_EQ(page.ChosenSystem(), c.system) << c.preferred.system;
        EXPECT_EQ(page.From(), c.from);
        EXPECT_EQ(page.To(), c.to);
        const ornexa::HealthQuery query = page.Query();
        EXPECT_EQ(query.filter.system, page.Systems()[static_cast<std::size_t>(c.system)].system);
        EXPECT_EQ(query.since, c.from + "T00:00:00");
        EXPECT_EQ(query.until, c.to + "T23:59:59"); // the last day's reports are all in
    }
    HealthPage page;
    page.SetHoldings(Holdings());
    page.ChooseSystem(0);
    EXPECT_EQ(page.From(), "2026-02-24");
    page.ChooseSystem(7); // none such: the choice stays
    EXPECT_EQ(page.ChosenSystem(), 0);
    // An empty history asks for nothing in particular.
    HealthPage empty;
    empty.SetHoldings({});
    EXPECT_EQ(empty.ChosenSystem(), -1);
    EXPECT_TRUE(empty.Query().since.empty());
}

TEST(HealthPage, ASpanMustBeTwoDaysInOrder) {
    HealthPage page;
    page.SetHoldings(Holdings());
    EXPECT_EQ(page.SetSpan("2026-11-01", "2026-11-30"), "");
    EXPECT_EQ(page.Query().since, "2026-11-01T00:00:00");
    EXPECT_EQ(page.SetSpan("2026-11-30", "2026-11-01"), "The first day is after the last.");
    EXPECT_EQ(page.SetSpan("2026-02-30", "2026-03-01"), "A day is written as YYYY-MM-DD.");
    EXPECT_EQ(page.SetSpan("30.11.2026", "2026-12-01"), "A day is written as YYYY-MM-DD.");
    EXPECT_EQ(page.From(), "2026-11-01"); // a wrong span leaves the one before
    EXPECT_EQ(page.To(), "2026-11-30");
}

TEST(HealthPage, TheCurrentCellStaysInsideAndFollowsItsPoolAndReport) {
    HealthPage page;
    EXPECT_FALSE(page.Current());
    page.SetOverview(Overview());
    ASSERT_EQ(page.Current(), (HealthPlace{0, 0}));
    page.MoveCurrent(-1, -1);
    EXPECT_EQ(page.Current(), (HealthPlace{0, 0}));
    page.MoveCurrent(10, 1);
    EXPECT_EQ(page.Current(), (HealthPlace{1, 1}));
    page.SetCurrent(0, 99);
    EXPECT_EQ(page.Current(), (HealthPlace{0, 2}));
    // Read again with one report more in front: the cell stays on BP1 and report 3.
    HealthOverview later = Overview(0);
    later.columns.push_back({3, "2026-12-01T10:00:00", "SYSB", "DB2T"});
    later.cells = std::vector<HealthCell>(8, HealthCell::Good);
    page.SetOverview(later);
    EXPECT_EQ(page.Current(), (HealthPlace{0, 3}));
    page.SetOverview({});
    EXPECT_FALSE(page.Current());
}

TEST(HealthPage, AClickOpensThatReportAtThatPoolOnPoolStatAnalysis) {
    HealthPage page;
    page.SetHoldings(Holdings());
    page.SetOverview(Overview());
    const auto target = page.TargetAt({1, 1});
    ASSERT_TRUE(target);
    EXPECT_EQ(target->reportId, 2);
    EXPECT_EQ(target->place, (ornexa::AnalysisPlace{"BP2", ornexa::PoolStatAnalysisTab, {}}));
    EXPECT_FALSE(page.TargetAt({1, 2})); // the report does not have the pool
    EXPECT_FALSE(page.TargetAt({2, 0}));
    ASSERT_NE(page.Find(5), nullptr);
    EXPECT_EQ(page.Find(5)->fileName, "b.sta");
    EXPECT_EQ(page.Find(2), nullptr);
}

TEST(HealthPage, ACellsTextGivesEachRatingInTheUsersNumbersAndReadsEachReportOnce) {
    HealthPage page(ornexa::NumberStyle{',', '.'});
    page.SetHoldings(Holdings());
    page.SetOverview(Overview());
    ornexa::PoolRating bp1;
    bp1.poolName = "BP1";
    for (std::size_t k = 0; k < ornexa::RatingKindCount; ++k) {
        bp1.ratings[k].kind = static_cast<ornexa::RatingKind>(k);
        bp1.ratings[k].reason = "only Db2's display output gives it";
    }
    bp1.ratings[0] = {ornexa::RatingKind::SystemResidency, 1234.56, {90, 60}, ornexa::RatingVerdict::Good, {}};
    bp1.ratings[3] = {ornexa::RatingKind::SyncReadRate, 1500.0, {1000, 3000}, ornexa::RatingVerdict::Warning, {}};
    int reads = 0;
    const HealthPage::RatingsSource source = [&](std::int64_t id) {
        ++reads;
        EXPECT_EQ(id, 2);
        return ornexa::HistoryResult<std::vector<ornexa::PoolRating>>{std::vector{bp1}, {}};
    };
    const std::string text = page.CellText({0, 1}, source);
    EXPECT_EQ(text.substr(0, text.find('\n')), "BP1, 2026-11-29 10:00 (SYSB/DB2T)");
    EXPECT_NE(text.find("System page residency time: 1.234,6 s, Good (warning below 90,0 s, exception below 60,0 s)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(": 1.500,0/s, Warning (warning above 1.000,0/s, exception above 3.000,0/s)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(std::string(ornexa::DefinitionOf(ornexa::RatingKind::DmthHits).caption) +
                        ": not applicable: only Db2's display output gives it\n"),
              std::string::npos);
    static_cast<void>(page.CellText({0, 1}, source));
    EXPECT_EQ(reads, 1);
    EXPECT_EQ(page.CellText({1, 2}, source), "BP2, 2026-11-30 10:00 (SYSB/DB2T)\nThe report does not have this pool.");
    // A history that cannot answer says why.
    const HealthPage::RatingsSource failing = [](std::int64_t) {
        return ornexa::HistoryResult<std::vector<ornexa::PoolRating>>{std::nullopt,
                                                                      ornexa::FaultMessages("the server is gone")};
    };
    EXPECT_NE(page.CellText({0, 0}, failing).find("the server is gone"), std::string::npos);
}

TEST(HealthPage, TheReportShownAloneIsOneColumnRatedAsTheRatingsRateIt) {
    const ornexa::Report report = ornexa::samplegen::BuildSampleReport(21);
    const HealthPage page(report, {0, "2026-11-30T10:15:00", "SYSA", "DB2P"}, {});
    EXPECT_FALSE(page.FromHistory());
    ASSERT_EQ(page.ColumnCount(), 1U);
    ASSERT_EQ(page.RowCount(), static_cast<std::size_t>(report.PoolCount()));
    const auto ratings = ornexa::RateReport(report);
    for (std::size_t r = 0; r < page.RowCount(); ++r) {
        const std::string& name = page.Overview().rows[r].poolName;
        const auto rating = std::find_if(ratings.begin(), ratings.end(),
                                         [&](const ornexa::PoolRating& pool) { return pool.poolName == name; });
        ASSERT_NE(rating, ratings.end());
        EXPECT_EQ(page.Overview().Cell(r, 0), ornexa::CellOf(rating->Worst())) << name;
        EXPECT_NE(page.CellText({r, 0}, {}).find(ornexa::RatingLines(*rating, {})), std::string::npos) << name;
        EXPECT_EQ(page.TargetAt({r, 0})->reportId, 0);
    }
}

} // namespace
