#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "advice/health_overview.h"
#include "advice/pool_ratings.h"
#include "display_fixture.h"
#include "report/record_catalogue.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

constexpr std::optional<double> None = std::nullopt;

// The figures the ratings of a monitor's report read; over an interval of 100 s, so that a residency
// time is VPSIZE / 10 and a rate a hundredth of its count.
struct Figures {
    Long elapsed = 100;
    Long vpSize = 10000;
    Long vpSeqt = 100;
    Long syncPages = 500;
    Long prefetchPages = 500; // all sequential prefetch
    Long randomGetpages = 5000;
    Long syncReadIos = 500;
};

Report MonitorReport(const Figures& f, std::string_view name = "BP1") {
    PoolRecord p = test::TestPool(name);
    p.VPSize = f.vpSize;
    p.VPSeqThreshold = f.vpSeqt;
    p.PoolPagesReadByType(1) = f.syncPages;
    p.PoolPagesReadByType(2) = f.prefetchPages;
    p.PoolPagesReadByType(3) = 0;
    p.PoolPagesReadByType(4) = 0;
    p.PoolPagesRead = f.syncPages + f.prefetchPages;
    p.PoolGetPagesByAccess(2) = f.randomGetpages;
    p.PoolReadIOsByType(1) = f.syncReadIos;
    Report report;
    test::AddPool(report, p);
    report.ElapsedSeconds = f.elapsed;
    return report;
}

// The last of two displays a quarter of an hour apart: an interval with Db2's own counts.
Report TwoDisplaysReport() {
    samplegen::DisplaySampleOptions options;
    options.series = 2;
    return test::DisplayReport(options);
}

Rating RateOne(const Figures& f, RatingKind kind) {
    return RatePool(MonitorReport(f), 1, DefaultRatingThresholds()).Of(kind);
}

struct BoundCase {
    const char* name;
    RatingKind kind;
    Figures figures;
    double value;
    RatingVerdict verdict;
};

TEST(PoolRatings, EachRatingAtAndBeyondItsDefaultBounds) {
    using K = RatingKind;
    using V = RatingVerdict;
    // 1000 pages read in 100 s: the system residency is VPSIZE / 10 seconds. With VPSEQT 100 and every
    // read a prefetch, the sequential residency is as long.
    const Figures allPrefetch{.syncPages = 0, .prefetchPages = 1000};
    const BoundCase cases[] = {
        {"system residency well above", K::SystemResidency, {.vpSize = 2000}, 200, V::Good},
        {"system residency at the warning bound", K::SystemResidency, {.vpSize = 900}, 90, V::Good},
        {"system residency just below it", K::SystemResidency, {.vpSize = 899}, 89.9, V::Warning},
        {"system residency at the exception bound", K::SystemResidency, {.vpSize = 600}, 60, V::Warning},
        {"system residency just below it", K::SystemResidency, {.vpSize = 599}, 59.9, V::Exception},
        {"sequential residency at its exception bound",
         K::SequentialResidency,
         {.vpSize = 100, .syncPages = 0, .prefetchPages = 1000},
         10,
         V::Good},
        {"sequential residency just below it",
         K::SequentialResidency,
         {.vpSize = 99, .syncPages = 0, .prefetchPages = 1000},
         9.9,
         V::Exception},
        {"sequential residency far from any warning (none by default)", K::SequentialResidency, allPrefetch, 1000,
         V::Good},
        {"sequential residency by VPSEQT, below the system's",
         K::SequentialResidency,
         {.vpSize = 1000, .vpSeqt = 5, .syncPages = 500, .prefetchPages = 500},
         10,
         V::Good},
        {"random hit ratio at the warning bound",
         K::RandomHitRatio,
         {.syncPages = 200, .randomGetpages = 1000},
         80,
         V::Good},
        {"random hit ratio just below it",
         K::RandomHitRatio,
         {.syncPages = 201, .randomGetpages = 1000},
         79.9,
         V::Warning},
        {"random hit ratio at the exception bound",
         K::RandomHitRatio,
         {.syncPages = 500, .randomGetpages = 1000},
         50,
         V::Warning},
        {"random hit ratio just below it",
         K::RandomHitRatio,
         {.syncPages = 501, .randomGetpages = 1000},
         49.9,
         V::Exception},
        {"random hit ratio of more reads than getpages stays at 0",
         K::RandomHitRatio,
         {.syncPages = 500, .randomGetpages = 100},
         0,
         V::Exception},
        {"sync read rate at the warning bound", K::SyncReadRate, {.syncReadIos = 100000}, 1000, V::Good},
        {"sync read rate just above it", K::SyncReadRate, {.syncReadIos = 100001}, 1000.01, V::Warning},
        {"sync read rate at the exception bound", K::SyncReadRate, {.syncReadIos = 300000}, 3000, V::Warning},
        {"sync read rate just above it", K::SyncReadRate, {.syncReadIos = 300001}, 3000.01, V::Exception},
        {"no sync reads at all", K::SyncReadRate, {.syncReadIos = 0}, 0, V::Good},
    };
    for (const BoundCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Rating r = RateOne(c.figures, c.kind);
        ASSERT_TRUE(r.value.has_value()) << r.reason;
        EXPECT_NEAR(*r.value, c.value, 1e-9);
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(r.threshold, DefinitionOf(c.kind).defaults);
        EXPECT_TRUE(r.reason.empty());
    }
}

TEST(PoolRatings, JudgeOnBothSidesAndWithAbsentBounds) {
    using V = RatingVerdict;
    struct Case {
        double value;
        WorseWhen worse;
        RatingThreshold threshold;
        RatingVerdict verdict;
    };
    const Case cases[] = {
        {10, WorseWhen::Below, {10, 5}, V::Good},
        {9.999, WorseWhen::Below, {10, 5}, V::Warning},
        {5, WorseWhen::Below, {10, 5}, V::Warning},
        {4.999, WorseWhen::Below, {10, 5}, V::Exception},
        {10, WorseWhen::Above, {10, 20}, V::Good},
        {10.001, WorseWhen::Above, {10, 20}, V::Warning},
        {20, WorseWhen::Above, {10, 20}, V::Warning},
        {20.001, WorseWhen::Above, {10, 20}, V::Exception},
        // A count rated against 0: the first event is beyond it.
        {0, WorseWhen::Above, {None, 0}, V::Good},
        {1, WorseWhen::Above, {None, 0}, V::Exception},
        {1, WorseWhen::Above, {0, None}, V::Warning},
        // Without an exception bound the worst is a warning, without either always good.
        {-1e9, WorseWhen::Below, {10, None}, V::Warning},
        {-1e9, WorseWhen::Below, {None, None}, V::Good},
        {1e9, WorseWhen::Above, {None, None}, V::Good},
        // The exception bound decides first, also where it lies inside the warning bound.
        {15, WorseWhen::Above, {20, 10}, V::Exception},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << (c.worse == WorseWhen::Below ? " below" : " above"));
        EXPECT_EQ(Judge(c.value, c.worse, c.threshold), c.verdict);
    }
}

TEST(PoolRatings, AMonitorsReportSaysWhyARatingDoesNotApply) {
    using K = RatingKind;
    struct Case {
        const char* name;
        Figures figures;
        K kind;
        std::string reason;
    };
    const std::string noInterval = "the report has no interval length";
    const std::string onlyDb2 = "only Db2's display output gives it";
    const Case cases[] = {
        {"no interval: system residency", {.elapsed = 0}, K::SystemResidency, noInterval},
        {"no interval: sequential residency", {.elapsed = 0}, K::SequentialResidency, noInterval},
        {"no interval: sync read rate", {.elapsed = 0}, K::SyncReadRate, noInterval},
        {"no VPSIZE: system residency", {.vpSize = 0}, K::SystemResidency, "the pool has no virtual pool size"},
        {"no VPSIZE: sequential residency", {.vpSize = 0}, K::SequentialResidency, "the pool has no virtual pool size"},
        {"no pages read", {.syncPages = 0, .prefetchPages = 0}, K::SystemResidency, "the pool read no pages"},
        {"no pages read: sequential",
         {.syncPages = 0, .prefetchPages = 0},
         K::SequentialResidency,
         "the pool read no pages"},
        {"no prefetch pages",
         {.syncPages = 1000, .prefetchPages = 0},
         K::SequentialResidency,
         "the pool read no pages by prefetch"},
        {"no random getpages", {.randomGetpages = 0}, K::RandomHitRatio, "the pool had no random getpages"},
        {"prefetch disabled", {}, K::PrefetchDisabled, onlyDb2},
        {"DMTH", {}, K::DmthHits, onlyDb2},
        {"write engine", {}, K::NoWriteEngine, onlyDb2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rating r = RateOne(c.figures, c.kind);
        EXPECT_FALSE(r.value.has_value());
        EXPECT_EQ(r.verdict, RatingVerdict::NotApplicable);
        EXPECT_EQ(r.reason, c.reason);
    }
    // The interval is what a residency time lacks first, before the pool size.
    EXPECT_EQ(RateOne({.elapsed = 0, .vpSize = 0}, K::SystemResidency).reason, noInterval);
}

TEST(PoolRatings, APoolOutsideTheReportHasNoRating) {
    const PoolRating rating = RatePool(MonitorReport({}), 2, DefaultRatingThresholds());
    EXPECT_EQ(rating.pool, 2);
    EXPECT_EQ(rating.Worst(), RatingVerdict::NotApplicable);
    for (const Rating& r : rating.ratings) {
        EXPECT_EQ(r.reason, "the report has no such pool");
    }
}

TEST(PoolRatings, DisplayGivesTheFixedThresholdCounts) {
    Report report = TwoDisplaysReport();
    ASSERT_TRUE(report.Db2Display.has_value());
    ASSERT_GE(report.PoolCount(), 3);
    // Counts of either kind on known pools: none, some.
    auto& facts = report.Db2Display->pools;
    facts[0].figures.Set(PoolFigure::DmthHits, 0);
    facts[0].figures.Set(PoolFigure::PrefetchNoBuffer, 0);
    facts[0].figures.Set(PoolFigure::NoWriteEngine, 0);
    facts[1].figures.Set(PoolFigure::DmthHits, 3);
    facts[1].figures.Set(PoolFigure::PrefetchNoBuffer, 7);
    facts[1].figures.Set(PoolFigure::NoWriteEngine, 1);
    const std::vector<PoolRating> ratings = RateReport(report);
    ASSERT_EQ(ratings.size(), static_cast<std::size_t>(report.PoolCount()));
    struct Count {
        RatingKind kind;
        PoolFigure figure;
        RatingVerdict whenSome;
    };
    const Count counts[] = {
        {RatingKind::PrefetchDisabled, PoolFigure::PrefetchNoBuffer, RatingVerdict::Warning},
        {RatingKind::DmthHits, PoolFigure::DmthHits, RatingVerdict::Exception},
        {RatingKind::NoWriteEngine, PoolFigure::NoWriteEngine, RatingVerdict::Warning},
    };
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        SCOPED_TRACE(ratings[i].poolName);
        EXPECT_EQ(ratings[i].poolName, report.Pools(static_cast<int>(i) + 1).PoolName.Str());
        for (const Count& c : counts) {
            const Rating& r = ratings[i].Of(c.kind);
            const std::optional<std::int64_t> shown = facts[i].figures.Get(c.figure);
            ASSERT_TRUE(shown.has_value());
            ASSERT_TRUE(r.value.has_value()) << r.reason;
            EXPECT_EQ(*r.value, static_cast<double>(*shown));
            EXPECT_EQ(r.verdict, *shown > 0 ? c.whenSome : RatingVerdict::Good);
        }
        // The random hit ratio takes the display's own split of synchronous reads.
        const double getpages = static_cast<double>(*facts[i].figures.Get(PoolFigure::RandomGetpages));
        const double reads = static_cast<double>(*facts[i].figures.Get(PoolFigure::SyncReadIosRandom));
        const Rating& hit = ratings[i].Of(RatingKind::RandomHitRatio);
        if (getpages > 0) {
            ASSERT_TRUE(hit.value.has_value()) << hit.reason;
            EXPECT_NEAR(*hit.value, std::max(0.0, (getpages - reads) / getpages * 100), 1e-9);
        }
        // A display between two intervals has the rates and residency times a monitor's report has.
        EXPECT_TRUE(ratings[i].Of(RatingKind::SyncReadRate).value.has_value())
            << ratings[i].Of(RatingKind::SyncReadRate).reason;
    }
    EXPECT_EQ(ratings[1].Of(RatingKind::DmthHits).verdict, RatingVerdict::Exception);
    EXPECT_EQ(ratings[1].Worst(), RatingVerdict::Exception);
}

TEST(PoolRatings, ADisplayWithoutAFigureSaysItIsNotInThisInput) {
    Report report = TwoDisplaysReport();
    ASSERT_TRUE(report.Db2Display.has_value());
    Db2PoolFacts& facts = report.Db2Display->pools[0];
    facts.figures.values[static_cast<std::size_t>(PoolFigure::DmthHits)].reset();
    facts.figures.values[static_cast<std::size_t>(PoolFigure::SyncReadIosRandom)].reset();
    facts.given.reset(FieldIndex<PoolRecord>(PoolCatalogue(), "VPSize"));
    facts.given.reset(FieldIndex<PoolRecord>(PoolCatalogue(), "PoolReadIOsByType(1)"));
    const PoolRating rating = RatePool(report, 1, DefaultRatingThresholds());
    for (const RatingKind kind : {RatingKind::SystemResidency, RatingKind::SequentialResidency,
                                  RatingKind::RandomHitRatio, RatingKind::SyncReadRate, RatingKind::DmthHits}) {
        SCOPED_TRACE(DefinitionOf(kind).key);
        EXPECT_EQ(rating.Of(kind).verdict, RatingVerdict::NotApplicable);
        EXPECT_EQ(rating.Of(kind).reason, "not in this input");
    }
    EXPECT_TRUE(rating.Of(RatingKind::NoWriteEngine).value.has_value());

    // A pool the display's facts do not reach has none of Db2's own figures either.
    report.Db2Display->pools.pop_back();
    const PoolRating cut = RatePool(report, report.PoolCount(), DefaultRatingThresholds());
    EXPECT_EQ(cut.Of(RatingKind::DmthHits).reason, "not in this input");
    EXPECT_EQ(cut.Of(RatingKind::SystemResidency).reason, "not in this input");
}

TEST(PoolRatings, TheWorstVerdictOfAPool) {
    PoolRating rating;
    EXPECT_EQ(rating.Worst(), RatingVerdict::NotApplicable);
    rating.ratings[3].verdict = RatingVerdict::Good;
    EXPECT_EQ(rating.Worst(), RatingVerdict::Good);
    rating.ratings[6].verdict = RatingVerdict::Warning;
    EXPECT_EQ(rating.Worst(), RatingVerdict::Warning);
    rating.ratings[0].verdict = RatingVerdict::Exception;
    EXPECT_EQ(rating.Worst(), RatingVerdict::Exception);
}

TEST(PoolRatings, PoolNamePatterns) {
    struct Case {
        const char* pattern;
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"BP8K*", "BP8K0", true}, {"bp8k*", "BP8K0", true},
        {"BP8K*", "BP8K", true},  {"BP8K*", "BP16K0", false},
        {"BP?", "BP1", true},     {"BP?", "BP10", false},
        {"BP?", "BP", false},     {"BP1", "BP10", false},
        {"*", "", true},          {"", "", true},
        {"", "BP1", false},       {"*K*", "BP32K", true},
        {"B*P*1", "BP1", true},   {"B*P*1", "BXPY12", false},
        {"**1", "BP1", true},     {"BP1  ", "BP1", true},
        {"BP1", "BP1   ", true},  {"?P*", "BP0", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PoolNameMatches(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
    }
}

TEST(PoolRatings, SettingsTakeTheFirstMatchingRuleForEachBound) {
    using K = RatingKind;
    const auto at = [](const RatingThresholds& t, K kind) { return t[static_cast<std::size_t>(kind)]; };
    RatingSettings settings;
    settings.rules = {
        {"BP8K*", K::SyncReadRate, {2000, None}},
        {"bp8k0", K::SyncReadRate, {1500, 9000}}, // its warning comes too late, its exception not
        {"BP8K?", K::SyncReadRate, {None, 4000}},
        {"BP?", K::SystemResidency, {None, None}, 0, true, false}, // warning switched off
        {"*", K::SystemResidency, {120, 100}},
        {"BP32K", K::DmthHits, {None, None}, 0, false, true},
    };
    const RatingThresholds bp8k0 = settings.For("BP8K0");
    EXPECT_EQ(at(bp8k0, K::SyncReadRate), (RatingThreshold{2000, 9000}));
    EXPECT_EQ(at(settings.For("BP8K1"), K::SyncReadRate), (RatingThreshold{2000, 4000}));
    EXPECT_EQ(at(settings.For("BP8K10"), K::SyncReadRate), (RatingThreshold{2000, 3000}));
    EXPECT_EQ(at(settings.For("BP1"), K::SystemResidency), (RatingThreshold{None, 100}));
    EXPECT_EQ(at(settings.For("BP16K0"), K::SystemResidency), (RatingThreshold{120, 100}));
    EXPECT_EQ(at(settings.For("bp32k"), K::DmthHits), (RatingThreshold{None, None}));
    // What no rule touches stays the default.
    RatingThresholds expected = DefaultRatingThresholds();
    expected[static_cast<std::size_t>(K::SystemResidency)] = {120, 100};
    EXPECT_EQ(settings.For("BP16K0"), expected);
    EXPECT_EQ(RatingSettings{}.For("BP0"), DefaultRatingThresholds());
}

TEST(PoolRatings, AReportIsRatedWithEachPoolsOwnBounds) {
    Report report = MonitorReport({.syncReadIos = 150000}, "BP8K0");
    PoolRecord second = report.Pools(1);
    second.PoolName = "BP1";
    test::AddPool(report, second);
    RatingSettings settings;
    settings.rules = {{"bp8k*", RatingKind::SyncReadRate, {2000, None}}};
    const std::vector<PoolRating> ratings = RateReport(report, settings);
    ASSERT_EQ(ratings.size(), 2U);
    EXPECT_EQ(ratings[0].poolName, "BP8K0");
    EXPECT_EQ(ratings[0].pool, 1);
    EXPECT_EQ(ratings[0].Of(RatingKind::SyncReadRate).verdict, RatingVerdict::Good);
    EXPECT_EQ(ratings[0].Of(RatingKind::SyncReadRate).threshold, (RatingThreshold{2000, 3000}));
    EXPECT_EQ(ratings[1].Of(RatingKind::SyncReadRate).verdict, RatingVerdict::Warning);
    EXPECT_EQ(ratings[1].Of(RatingKind::SyncReadRate).threshold, (RatingThreshold{1000, 3000}));
}

TEST(PoolRatings, KeysAndTextsGoBothWays) {
    for (const RatingDefinition& d : RatingDefinitions()) {
        EXPECT_EQ(RatingKindOfKey(d.key), d.kind);
        EXPECT_EQ(&DefinitionOf(d.kind), &d);
        EXPECT_FALSE(d.source.empty());
    }
    EXPECT_EQ(RatingKindOfKey("system"), std::nullopt);
    for (const RatingVerdict v :
         {RatingVerdict::NotApplicable, RatingVerdict::Good, RatingVerdict::Warning, RatingVerdict::Exception}) {
        EXPECT_EQ(RatingVerdictOfKey(RatingVerdictKey(v)), v);
    }
    EXPECT_EQ(RatingVerdictOfKey("bad"), std::nullopt);
}

// The overview -----------------------------------------------------------------------------------------

RatedReport Rated(std::string collectedAt, std::vector<RatedReport::Pool> pools) {
    RatedReport report;
    report.column.collectedAt = std::move(collectedAt);
    report.pools = std::move(pools);
    return report;
}

TEST(HealthOverview, RanksPoolsByExceptionsThenWarningsThenName) {
    using V = RatingVerdict;
    using C = HealthCell;
    const std::vector<RatedReport> reports = {
        Rated("t1", {{"BP0", V::Good}, {"BP1", V::Exception}, {"BP2", V::Warning}, {"BP4", V::NotApplicable}}),
        Rated("t2", {{"BP0", V::Warning}, {"BP1", V::Exception}, {"BP3", V::Good}}),
        Rated("t3", {{"BP0", V::Exception}, {"BP2", V::Good}, {"BP3", V::Good}}),
    };
    const HealthOverview overview = BuildHealthOverview(reports);
    ASSERT_EQ(overview.columns.size(), 3U);
    EXPECT_EQ(overview.columns[2].collectedAt, "t3");
    const std::vector<HealthRow> rows = {
        {"BP1", 0, 2, 2}, {"BP0", 1, 1, 3}, {"BP2", 1, 0, 2}, {"BP3", 0, 0, 2}, {"BP4", 0, 0, 1},
    };
    EXPECT_EQ(overview.rows, rows);
    const std::vector<std::vector<C>> cells = {
        {C::Exception, C::Exception, C::Absent},  {C::Good, C::Warning, C::Exception},
        {C::Warning, C::Absent, C::Good},         {C::Absent, C::Good, C::Good},
        {C::NotApplicable, C::Absent, C::Absent},
    };
    ASSERT_EQ(overview.cells.size(), 15U);
    for (std::size_t r = 0; r < cells.size(); ++r) {
        for (std::size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(overview.Cell(r, c), cells[r][c]) << r << ", " << c;
        }
    }
    EXPECT_EQ(overview.Worst(), C::Exception);
}

TEST(HealthOverview, APoolTwiceInOneReportTakesItsWorseVerdictOnce) {
    using V = RatingVerdict;
    const HealthOverview overview = BuildHealthOverview({
        Rated("t1", {{"BP1", V::Warning}, {"BP1", V::Good}}),
        Rated("t2", {{"BP1", V::Good}, {"BP1", V::Exception}, {"BP1", V::NotApplicable}}),
    });
    ASSERT_EQ(overview.rows.size(), 1U);
    EXPECT_EQ(overview.rows[0], (HealthRow{"BP1", 1, 1, 2}));
    EXPECT_EQ(overview.Cell(0, 0), HealthCell::Warning);
    EXPECT_EQ(overview.Cell(0, 1), HealthCell::Exception);
}

TEST(HealthOverview, EmptyAndQuietOverviews) {
    const HealthOverview empty = BuildHealthOverview({});
    EXPECT_TRUE(empty.rows.empty());
    EXPECT_TRUE(empty.cells.empty());
    EXPECT_EQ(empty.Worst(), HealthCell::NotApplicable);

    // A report without pools is a column of absent cells.
    const HealthOverview quiet = BuildHealthOverview({Rated("t1", {}), Rated("t2", {{"BP0", RatingVerdict::Good}})});
    ASSERT_EQ(quiet.rows.size(), 1U);
    EXPECT_EQ(quiet.Cell(0, 0), HealthCell::Absent);
    EXPECT_EQ(quiet.Cell(0, 1), HealthCell::Good);
    EXPECT_EQ(quiet.rows[0].intervals, 1);
    EXPECT_EQ(quiet.Worst(), HealthCell::Good);
}

TEST(HealthOverview, AReportIsRatedForItsColumn) {
    Report report = MonitorReport({.vpSize = 500}, "BP8K0"); // 50 s: an exception
    PoolRecord second = report.Pools(1);
    second.PoolName = "BP1";
    second.VPSize = 100000;
    test::AddPool(report, second);
    HealthColumn column;
    column.reportId = 7;
    column.collectedAt = "2026-11-30T10:15:00";
    RatingSettings lenient;
    lenient.rules = {{"BP8K*", RatingKind::SystemResidency, {None, None}, 0, true, true}};

    const RatedReport strict = RateForOverview(report, column);
    EXPECT_EQ(strict.column, column);
    ASSERT_EQ(strict.pools.size(), 2U);
    EXPECT_EQ(strict.pools[0].name, "BP8K0");
    EXPECT_EQ(strict.pools[0].worst, RatingVerdict::Exception);
    EXPECT_EQ(strict.pools[1].worst, RatingVerdict::Good);
    EXPECT_EQ(RateForOverview(report, column, lenient).pools[0].worst, RatingVerdict::Good);

    const HealthOverview overview = BuildHealthOverview({strict});
    EXPECT_EQ(overview.rows[0].poolName, "BP8K0");
    EXPECT_EQ(HealthCellKey(overview.Cell(0, 0)), "exception");
    EXPECT_EQ(HealthCellKey(HealthCell::Absent), "absent");
}

} // namespace
} // namespace ornexa
