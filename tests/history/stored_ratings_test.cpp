// The ratings a history keeps of each report at import: they are the report's own ratings, the overview
// made of them is the one the reports themselves make, a history of the second schema gains them, and
// they go with their report.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "history/history_schema.h"
#include "history/history_store.h"
#include "history/stored_ratings.h"
#include "history_backends.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"
#include "year_series.h"

namespace ornexa {
namespace {

using test::TestBackend;

StatReadResult LoadedRead() {
    StatReadResult read;
    read.outcome = StatReadOutcome::Loaded;
    return read;
}

// A monitor's report of `subsystem` collected on 2026-11-30 at `time` ("10.15.00").
Report MonitorReport(std::uint64_t seed, const std::string& subsystem, const std::string& time) {
    Report report = samplegen::BuildSampleReport(seed);
    report.Header.SubSystemName = subsystem;
    report.Header.CollectionTime = time;
    report.ElapsedSeconds = 5400;
    report.StatFileLoaded = true;
    return report;
}

// Thresholds under which BP1 is an exception in every report and other pools keep the built-in bounds.
RatingSettings Bp1Exceptional() {
    RatingSettings settings;
    PoolThresholdRule rule;
    rule.pattern = "bp1";
    rule.kind = RatingKind::SyncReadRate;
    rule.threshold.exception = -1;
    settings.rules.push_back(rule);
    return settings;
}

// No bounds but BP1's: BP1 an exception in every report, every other pool good.
RatingSettings OnlyBp1Exceptional() {
    RatingSettings settings = Bp1Exceptional();
    settings.defaults.fill(RatingThreshold{});
    return settings;
}

RatingSettings Strict() {
    RatingSettings settings;
    settings.defaults[static_cast<std::size_t>(RatingKind::SystemResidency)] = {1e9, 1e3};
    return settings;
}

class StoredRatingsTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        location = test::FreshLocation(GetParam(), dir.Path());
        store = Open();
        ASSERT_NE(store, nullptr);
    }

    std::shared_ptr<HistoryStore> Open() {
        auto opened = HistoryStore::Open(location);
        EXPECT_TRUE(opened.Ok()) << opened.FaultText();
        return opened.Ok() ? *opened.value : nullptr;
    }

    std::int64_t Import(const Report& report, const RatingSettings* settings = nullptr) {
        const StatReadResult read = LoadedRead();
        const SimulationData none;
        const std::string content = samplegen::StatisticsText(report);
        const ImportOutcome outcome = store->Import({report, read, none, content, "r.sta", settings});
        EXPECT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
        return outcome.reportId;
    }

    std::int64_t Count(const std::string& sql, std::int64_t id) {
        return std::get<std::int64_t>(store->Database().Query(sql, {id}).at(0).at(0));
    }

    test::TempDir dir;
    std::string location;
    std::shared_ptr<HistoryStore> store;
};

// Three monitor's reports of two subsystems; in collection order DB2P 10.15, DB2T 10.30, DB2P 10.45.
struct Held {
    std::vector<Report> reports;
    std::vector<std::int64_t> ids;
};

TEST_P(StoredRatingsTest, TheRatingsKeptAreTheReportsOwnWithTheThresholdsGivenOrOthers) {
    const std::vector<Report> reports{MonitorReport(1, "DB2P", "10.15.00"), test::DisplayReport()};
    const RatingSettings builtIn;
    const RatingSettings bp1 = Bp1Exceptional();
    const RatingSettings strict = Strict();
    struct Case {
        const char* what;
        const RatingSettings* atImport;
        const RatingSettings& asked;
    };
    const std::vector<Case> cases{{"built-in, asked the same", nullptr, builtIn},
                                  {"a rule at import, asked the same", &bp1, bp1},
                                  {"a rule at import, asked the built-in ones", &bp1, builtIn},
                                  {"built-in at import, asked stricter ones", nullptr, strict}};
    int round = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (Report report : reports) {
            report.Header.CollectionTime = "11.0" + std::to_string(round++) + ".00";
            if (report.Db2Display) {
                report.Db2Display->pools.front().figures.Set(PoolFigure::DmthHits, round);
            }
            const std::int64_t id = Import(report, c.atImport);
            const auto ratings = store->Ratings(id, c.asked);
            ASSERT_TRUE(ratings.Ok()) << ratings.FaultText();
            EXPECT_EQ(*ratings.value, RateReport(report, c.asked));
        }
    }
}

TEST_P(StoredRatingsTest, TheOverviewIsTheOneTheReportsMake) {
    Held held;
    held.reports = {MonitorReport(1, "DB2P", "10.45.00"), MonitorReport(2, "DB2T", "10.30.00"),
                    MonitorReport(3, "DB2P", "10.15.00")};
    held.reports[1].Pools(2).PoolName = "BP99"; // a pool only one report has, in the place of BP1
    for (const Report& report : held.reports) {
        held.ids.push_back(Import(report));
    }
    const auto expected = [&held](const std::vector<std::size_t>& order, const RatingSettings& settings) {
        std::vector<RatedReport> rated;
        for (const std::size_t i : order) {
            const Report& report = held.reports[i];
            rated.push_back(
                RateForOverview(report,
                                {held.ids[i], "2026-11-30T" + std::string(report.Header.CollectionTime.Trimmed()),
                                 "SYSA", std::string(report.Header.SubSystemName.Trimmed())},
                                settings));
        }
        for (RatedReport& r : rated) { // collection times are stored with colons
            std::replace(r.column.collectedAt.begin(), r.column.collectedAt.end(), '.', ':');
        }
        return BuildHealthOverview(rated);
    };
    struct Case {
        const char* what;
        HealthQuery query;
        std::vector<std::size_t> reports; // in column order
    };
    const std::vector<Case> cases{
        {"every report", {}, {2, 1, 0}},
        {"since", {{}, "2026-11-30T10:30:00", ""}, {1, 0}},
        {"until", {{}, "", "2026-11-30T10:30:00"}, {2, 1}},
        {"since and until", {{}, "2026-11-30T10:20:00", "2026-11-30T10:40:00"}, {1}},
        {"a subsystem", {{"", "DB2P"}, "", ""}, {2, 0}},
        {"a system none has", {{"SYSB", ""}, "", ""}, {}},
    };
    const RatingSettings bp1 = OnlyBp1Exceptional();
    for (const RatingSettings* settings : {static_cast<const RatingSettings*>(nullptr), &bp1}) {
        const RatingSettings asked = settings != nullptr ? *settings : RatingSettings{};
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (settings != nullptr ? ", other thresholds" : ""));
            const auto health = store->Health(c.query, asked);
            ASSERT_TRUE(health.Ok()) << health.FaultText();
            const HealthOverview want = expected(c.reports, asked);
            EXPECT_EQ(health.value->columns, want.columns);
            EXPECT_EQ(health.value->rows, want.rows);
            EXPECT_EQ(health.value->cells, want.cells);
        }
    }
    // The ranking puts first the pool that is an exception in both reports that have it.
    const auto ranked = store->Health({}, bp1);
    ASSERT_TRUE(ranked.Ok()) << ranked.FaultText();
    ASSERT_FALSE(ranked.value->rows.empty());
    EXPECT_EQ(ranked.value->rows.front().poolName, "BP1");
    EXPECT_EQ(ranked.value->rows.front().exceptions, 2);
    EXPECT_EQ(ranked.value->rows.front().intervals, 2);
    EXPECT_EQ(ranked.value->rows.at(1).exceptions + ranked.value->rows.at(1).warnings, 0);
}

TEST_P(StoredRatingsTest, AHistoryOfTheSecondSchemaIsRatedWhenOpened) {
    const Report monitor = MonitorReport(4, "DB2P", "10.15.00");
    const Report display = test::DisplayReport();
    const std::int64_t monitorId = Import(monitor, nullptr);
    const RatingSettings bp1 = Bp1Exceptional();
    const std::int64_t displayId = Import(display, &bp1);
    // The second schema: no ratings kept.
    store->Database().ExecuteScript("DROP TABLE pool_ratings; DROP TABLE report_health; DROP TABLE rated_pool_names;");
    store->Database().SetSchemaVersion(2);
    store.reset();

    store = Open();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Database().SchemaVersion(), HistorySchemaVersion);
    for (const auto& [id, report] : {std::pair{monitorId, &monitor}, std::pair{displayId, &display}}) {
        const auto ratings = store->Ratings(id);
        ASSERT_TRUE(ratings.Ok()) << ratings.FaultText();
        EXPECT_EQ(*ratings.value, RateReport(*report));
    }
    const auto health = store->Health({});
    ASSERT_TRUE(health.Ok()) << health.FaultText();
    EXPECT_EQ(health.value->columns.size(), 2U);
}

TEST_P(StoredRatingsTest, RemovingAReportRemovesItsRatings) {
    const std::int64_t kept = Import(MonitorReport(5, "DB2P", "10.15.00"));
    const std::int64_t removed = Import(MonitorReport(6, "DB2P", "10.30.00"));
    ASSERT_TRUE(store->Remove(removed).Ok());

    EXPECT_EQ(Count("SELECT COUNT(*) FROM report_health WHERE report_id = ?", removed), 0);
    EXPECT_EQ(Count("SELECT COUNT(*) FROM pool_ratings WHERE report_id = ?", removed), 0);
    EXPECT_GT(Count("SELECT COUNT(*) FROM pool_ratings WHERE report_id = ?", kept), 0);
    EXPECT_FALSE(store->Ratings(removed).Ok());
    const auto health = store->Health({});
    ASSERT_TRUE(health.Ok()) << health.FaultText();
    ASSERT_EQ(health.value->columns.size(), 1U);
    EXPECT_EQ(health.value->columns.front().reportId, kept);
}

TEST_P(StoredRatingsTest, ADayOfTheYearSeriesHasItsBusyPoolsInTroubleAndTheRestGood) {
    samplegen::YearSeriesOptions options;
    options.pools = 16;
    options.intervals = 96; // Thursday, 2026-01-01
    samplegen::WriteYearSeries(dir.Path() / "series", options);
    for (int t = 0; t < options.intervals; ++t) {
        const auto file = dir.Path() / "series" / samplegen::SeriesFileName(options, t);
        ASSERT_EQ(ImportReportFile(*store, file.string()).status, ImportStatus::Imported) << file;
    }
    const auto health = store->Health({{"SYSA", "DB2P"}, "2026-01-01T00:00:00", "2026-01-01T23:45:00"});
    ASSERT_TRUE(health.Ok()) << health.FaultText();
    ASSERT_EQ(health.value->columns.size(), 96U);
    ASSERT_EQ(health.value->rows.size(), 16U);
    for (const HealthRow& row : health.value->rows) {
        SCOPED_TRACE(row.poolName);
        EXPECT_EQ(row.intervals, 96);
        if (row.poolName == "BP3" || row.poolName == "BP11") { // busy in the working day
            EXPECT_GT(row.exceptions, 0);
            EXPECT_LT(row.exceptions + row.warnings, 48);
        } else if (row.poolName == "BP5" || row.poolName == "BP13") { // busy in the nightly batch
            EXPECT_EQ(row.exceptions, 0);
            EXPECT_EQ(row.warnings, 8);
        } else {
            EXPECT_EQ(row.exceptions + row.warnings, 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, StoredRatingsTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

TEST(StoredPoolRatings, ReadBackTheSameValuesVerdictsAndReasons) {
    PoolRating rating;
    const std::vector<std::optional<double>> values{0.1 + 0.2,    1e-300, 123456789.123456789, std::nullopt, 0.0,
                                                    std::nullopt, -2.5};
    const RatingThresholds thresholds = DefaultRatingThresholds();
    for (std::size_t k = 0; k < RatingKindCount; ++k) {
        Rating& r = rating.ratings[k];
        r.kind = static_cast<RatingKind>(k);
        r.threshold = thresholds[k];
        r.value = values[k];
        r.verdict = r.value ? RatingVerdict::Warning : RatingVerdict::NotApplicable; // as stored, not as judged
        r.reason = r.value ? "" : "a reason without tabs";
    }
    const std::string stored = StoredPoolRatings(rating);
    EXPECT_EQ(PoolRatingFromStored(stored, thresholds, true, "here"), rating);

    // Every known reason comes back as itself, from its short form.
    for (const std::string_view reason : RatingReasons()) {
        rating.ratings[3].reason = reason;
        const std::string known = StoredPoolRatings(rating);
        EXPECT_LT(known.size(), stored.size()) << reason;
        EXPECT_EQ(PoolRatingFromStored(known, thresholds, true, "here"), rating) << reason;
    }
    rating.ratings[3].reason = "a reason without tabs";

    // Judged again, every verdict follows from the value.
    const PoolRating judged = PoolRatingFromStored(stored, thresholds, false, "here");
    for (std::size_t k = 0; k < RatingKindCount; ++k) {
        const Rating& r = judged.ratings[k];
        EXPECT_EQ(r.value, values[k]);
        EXPECT_EQ(r.verdict, r.value ? Judge(*r.value, DefinitionOf(r.kind).worseWhen, thresholds[k])
                                     : RatingVerdict::NotApplicable);
    }
}

TEST(StoredPoolRatings, ATextThatIsNoPoolsRatingsIsRefusedAndAShortOneLeavesTheRestUnrated) {
    const RatingThresholds thresholds = DefaultRatingThresholds();
    for (const std::string bad : {"x12", "g", "g12x", "\tg1", "g1\t\tg2", "n#99", "n#x", "g1\tn#"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(PoolRatingFromStored(bad, thresholds, true, "here"), SqlError);
    }
    const PoolRating shortText = PoolRatingFromStored("e12.5", thresholds, true, "here");
    EXPECT_EQ(shortText.ratings[0].value, 12.5);
    EXPECT_EQ(shortText.ratings[0].verdict, RatingVerdict::Exception);
    EXPECT_FALSE(shortText.ratings[1].value.has_value());
    EXPECT_FALSE(shortText.ratings[1].reason.empty());
}

TEST(RatingSettingsKey, ChangesWithEveryBoundAndRuleButNotWithWhereTheyWereRead) {
    const RatingSettings builtIn;
    RatingSettings named = builtIn;
    named.origin = "/etc/site.ratings";
    EXPECT_EQ(RatingSettingsKey(named), RatingSettingsKey(builtIn));

    RatingSettings bound = builtIn;
    bound.defaults[0].warning = 91;
    RatingSettings dropped = builtIn;
    dropped.defaults[1].exception.reset();
    const RatingSettings rule = Bp1Exceptional();
    RatingSettings otherPattern = rule;
    otherPattern.rules.front().pattern = "bp2";
    RatingSettings switchedOff = rule;
    switchedOff.rules.front().warningOff = true;
    RatingSettings lined = rule;
    lined.rules.front().line = 12;
    EXPECT_EQ(RatingSettingsKey(lined), RatingSettingsKey(rule));
    const std::vector<std::string> keys{RatingSettingsKey(builtIn),      RatingSettingsKey(bound),
                                        RatingSettingsKey(dropped),      RatingSettingsKey(rule),
                                        RatingSettingsKey(otherPattern), RatingSettingsKey(switchedOff)};
    for (std::size_t a = 0; a < keys.size(); ++a) {
        for (std::size_t b = a + 1; b < keys.size(); ++b) {
            EXPECT_NE(keys[a], keys[b]) << a << " and " << b;
        }
    }
}

} // namespace
} // namespace ornexa
