// Whether a setting change helped: the changes a trend holds, the intervals around each, the figures
// before and after, and what the simulation before a VPSIZE change expected.
#include "history/change_check.h"

#include <gtest/gtest.h>

#include "change_series.h"
#include "display_fixture.h"
#include "history/history_store.h"
#include "history_backends.h"
#include "simulation/db2_simulation.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::TestBackend;

PoolTrendPoint At(const std::string& collectedAt, Long vpSize, double dwth = 30) {
    PoolTrendPoint point;
    point.report.collectedAt = collectedAt;
    point.pool.PoolName = "BP1";
    point.pool.VPSize = vpSize;
    point.pool.VPSeqThreshold = 80;
    point.pool.DWTH = dwth;
    point.pool.VWTH = 5;
    return point;
}

std::vector<std::string> Times(const std::vector<PoolTrendPoint>& points, const std::vector<std::size_t>& indexes) {
    std::vector<std::string> times;
    times.reserve(indexes.size());
    for (const std::size_t i : indexes) {
        times.push_back(points[i].report.collectedAt.substr(5, 11));
    }
    return times;
}

TEST(ChangeCheck, EachChangedSettingIsNamedWithItsValues) {
    std::vector<PoolTrendPoint> points{At("2026-11-02T10:00:00", 20000), At("2026-11-03T10:00:00", 20000),
                                       At("2026-11-04T10:00:00", 30000, 20.5), At("2026-11-05T10:00:00", 30000, 20.5)};
    points[3].pool.VPSeqThreshold = 50;
    points[3].pool.VWTH = 3;
    const auto changes = FindSettingChanges(points);
    ASSERT_EQ(changes.size(), 2U);
    EXPECT_EQ(changes[0].index, 2U);
    EXPECT_EQ(SettingStepsText(changes[0].steps), "VPSIZE 20000 -> 30000, DWQT 30 -> 20.5");
    EXPECT_EQ(changes[1].index, 3U);
    EXPECT_EQ(SettingStepsText(changes[1].steps), "VPSEQT 80 -> 50, VDWQT 5 -> 3");

    // A display that did not give the size changes nothing.
    points[2].fieldsGiven.emplace();
    EXPECT_TRUE(FindSettingChanges({points[1], points[2]}).empty());
}

TEST(ChangeCheck, IntervalsAreTheSameHoursOfTheNearestDaysOrElseTheNeighbours) {
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, Long>> points; // collection time, VPSIZE
        IntervalChoice choice;
        std::vector<std::string> before;
        std::vector<std::string> after;
    };
    const std::vector<Case> cases{
        {"three days each side, two reports a day",
         {{"2026-11-01T10:00:00", 1},
          {"2026-11-01T14:00:00", 1},
          {"2026-11-02T10:00:00", 1},
          {"2026-11-02T14:00:00", 1},
          {"2026-11-03T10:00:00", 1},
          {"2026-11-03T14:00:00", 1},
          {"2026-11-04T10:00:00", 2},
          {"2026-11-04T14:00:00", 2},
          {"2026-11-05T10:00:00", 2},
          {"2026-11-05T14:00:00", 2},
          {"2026-11-06T10:00:00", 2}},
         IntervalChoice::SameHours,
         {"11-03T10:00", "11-02T10:00", "11-01T10:00"},
         {"11-04T10:00", "11-05T10:00", "11-06T10:00"}},
        {"within half an hour, the nearest on a day; older days beyond three left out",
         {{"2026-10-31T10:00:00", 1},
          {"2026-11-01T10:29:00", 1},
          {"2026-11-02T09:40:00", 1},
          {"2026-11-02T10:10:00", 1},
          {"2026-11-03T09:30:00", 1},
          {"2026-11-04T10:00:00", 2},
          {"2026-11-05T10:30:00", 2},
          {"2026-11-06T09:45:00", 2}},
         IntervalChoice::SameHours,
         {"11-03T09:30", "11-02T10:10", "11-01T10:29"},
         {"11-04T10:00", "11-05T10:30", "11-06T09:45"}},
        {"a day whose report is 31 minutes off is missing: the neighbours",
         {{"2026-11-01T10:00:00", 1},
          {"2026-11-02T10:31:00", 1},
          {"2026-11-03T10:00:00", 1},
          {"2026-11-03T14:00:00", 1},
          {"2026-11-04T10:00:00", 2},
          {"2026-11-05T10:00:00", 2},
          {"2026-11-06T10:00:00", 2}},
         IntervalChoice::Neighbours,
         {"11-03T14:00"},
         {"11-04T10:00"}},
        {"an earlier change bounds the side before",
         {{"2026-11-01T10:00:00", 0},
          {"2026-11-02T10:00:00", 1},
          {"2026-11-03T10:00:00", 1},
          {"2026-11-04T10:00:00", 2},
          {"2026-11-05T10:00:00", 2},
          {"2026-11-06T10:00:00", 2}},
         IntervalChoice::Neighbours,
         {"11-03T10:00"},
         {"11-04T10:00"}},
        {"an interval without a time: the neighbours",
         {{"2026-11-01T10:00:00", 1}, {"01.11.2026", 2}},
         IntervalChoice::Neighbours,
         {"11-01T10:00"},
         {".2026"}},
    };
    for (const Case& c : cases) {
        std::vector<PoolTrendPoint> points;
        for (const auto& [at, size] : c.points) {
            points.push_back(At(at, size));
        }
        const auto changes = FindSettingChanges(points);
        ASSERT_FALSE(changes.empty()) << c.what;
        const ChosenIntervals chosen = ChooseIntervals(points, changes.back());
        EXPECT_EQ(chosen.choice, c.choice) << c.what;
        EXPECT_EQ(Times(points, chosen.before), c.before) << c.what;
        EXPECT_EQ(Times(points, chosen.after), c.after) << c.what;
    }
}

TEST(ChangeCheck, MeansMoveTheGoodWayOfEachFigure) {
    std::vector<PoolTrendPoint> points{At("2026-11-01T10:00:00", 1), At("2026-11-02T10:00:00", 1),
                                       At("2026-11-03T10:00:00", 2), At("2026-11-04T10:00:00", 2)};
    const std::array<double, 4> hit{60, 70, 90, 90};
    const std::array<double, 4> sync{40, 60, 60, 50};
    for (std::size_t i = 0; i < points.size(); ++i) {
        points[i].hitRatio = hit[i];
        points[i].getPagesPerSecond = 100.0 * static_cast<double>(i);
    }
    points[1].hitRatio.reset(); // a side's mean is of the intervals that have the figure
    std::vector<RatedPoint> ratings;
    for (std::size_t i = 0; i < points.size(); ++i) {
        RatedPoint rated{i, {}};
        auto& residency = rated.rating.ratings[static_cast<std::size_t>(RatingKind::SystemResidency)];
        residency.value = i < 2 ? 120.0 : 80.0;
        residency.verdict = RatingVerdict::Good;
        auto& syncReads = rated.rating.ratings[CheckedSyncReads];
        syncReads.value = sync[i];
        syncReads.verdict = RatingVerdict::Good;
        ratings.push_back(rated); // every other rating stays not applicable
    }
    const ChosenIntervals chosen{IntervalChoice::SameHours, {1, 0}, {2, 3}};
    const auto figures = CompareMeans(points, chosen, ratings);
    EXPECT_EQ(figures[CheckedHitRatio].before, 60.0);
    EXPECT_EQ(figures[CheckedHitRatio].after, 90.0);
    EXPECT_EQ(figures[CheckedHitRatio].verdict, ChangeVerdict::Better);
    EXPECT_EQ(figures[CheckedSyncReads].difference, 5.0);
    EXPECT_EQ(figures[CheckedSyncReads].verdict, ChangeVerdict::Worse);
    EXPECT_EQ(figures[CheckedGetPages].verdict, ChangeVerdict::Unrated) << "more work is neither better nor worse";
    const auto residency = static_cast<std::size_t>(RatingKind::SystemResidency);
    EXPECT_EQ(figures[residency].verdict, ChangeVerdict::Worse) << "a shorter residency is worse";
    const auto dmth = static_cast<std::size_t>(RatingKind::DmthHits);
    EXPECT_FALSE(figures[dmth].before.has_value());
    EXPECT_EQ(figures[dmth].verdict, ChangeVerdict::Unrated);
}

TEST(ChangeCheck, ASimulatedCurveIsReadBetweenItsSizesAndTheMeasurementJudgedWithTolerance) {
    const std::vector<CurvePoint> curve{{30000, 95.0, 10.0}, {10000, 80.0, 50.0}, {20000, 90.0, std::nullopt}};
    const auto between = CurveAt(curve, 15000);
    ASSERT_TRUE(between);
    EXPECT_DOUBLE_EQ(*between->hitRatio, 85.0);
    EXPECT_FALSE(between->readRate) << "a figure missing at one end is not read";
    EXPECT_DOUBLE_EQ(*CurveAt(curve, 25000)->hitRatio, 92.5);
    EXPECT_EQ(CurveAt(curve, 10000)->readRate, 50.0);
    EXPECT_FALSE(CurveAt(curve, 9999));
    EXPECT_FALSE(CurveAt(curve, 30001));

    struct Case {
        std::optional<double> measuredHit;
        std::optional<double> measuredRate;
        std::optional<bool> met;
    };
    for (const Case& c : std::vector<Case>{{90, 10, true},
                                           {85, 12, true},    // 5 points below, 20 % above: still met
                                           {84.9, 10, false}, // more than 5 points below
                                           {95, 12.1, false}, // more than 20 % above
                                           {std::nullopt, 11, true},
                                           {std::nullopt, std::nullopt, std::nullopt}}) {
        SizePrediction prediction;
        prediction.hitRatio = 90;
        prediction.readRate = 10;
        prediction.measuredHitRatio = c.measuredHit;
        prediction.measuredReadRate = c.measuredRate;
        EXPECT_EQ(PredictionMet(prediction), c.met) << c.measuredHit.value_or(-1) << " " << c.measuredRate.value_or(-1);
    }
}

TEST(ChangeCheck, ADisplaysSimulatedPoolPredictsUnlessASimulationReportIsHeld) {
    samplegen::DisplaySampleOptions options;
    options.simulate = true;
    StoredReport stored;
    stored.report = test::DisplayReport(options);
    int simulated = 0;
    for (int p = 1; p <= stored.report.PoolCount() && simulated == 0; ++p) {
        simulated = Db2SizeCurveOf(stored.report, p) ? p : 0;
    }
    ASSERT_NE(simulated, 0);
    const Db2SizeCurve db2 = *Db2SizeCurveOf(stored.report, simulated);
    // Named in any case, as every command names a pool.
    std::string name(stored.report.Pools(simulated).PoolName.Trimmed());
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    const auto curve = PredictionCurveOf(stored, name);
    ASSERT_TRUE(curve);
    EXPECT_EQ(curve->source, PredictionSource::Db2SimulatedPool);
    ASSERT_EQ(curve->points.size(), 2U);
    EXPECT_EQ(curve->points[1].buffers, db2.simulated.size);
    EXPECT_EQ(curve->points[1].readRate, db2.simulated.syncReadsPerSecond);
    const std::int64_t middle = (db2.current.size + db2.simulated.size) / 2;
    const auto at = CurveAt(curve->points, middle);
    ASSERT_TRUE(at);
    EXPECT_LT(*at->readRate, *db2.current.syncReadsPerSecond) << "fewer reads in a larger pool";

    // A Simulation report held with the report goes first.
    stored.simulatedSizes = {{simulated, 1, 1000, 50.0, 9.0}, {simulated, 2, 2000, 60.0, 8.0}};
    EXPECT_EQ(PredictionCurveOf(stored, name)->source, PredictionSource::Simulation);
    EXPECT_FALSE(PredictionCurveOf(stored, "NOSUCH"));
}

class ChangeCheckStoreTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path()));
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store = *opened.value;
    }

    // Imports the series; the ids by collection time.
    std::map<std::string, std::int64_t> Import(const test::ChangeSeries& series) {
        std::map<std::string, std::int64_t> ids;
        for (const test::ChangeSeriesFile& file : series.files) {
            const ImportOutcome outcome = ImportReportFile(*store, file.statistics.string(), file.simulation.string());
            EXPECT_EQ(outcome.status, ImportStatus::Imported) << file.statistics << ": " << outcome.message;
            ids[file.collectedAt] = outcome.reportId;
        }
        return ids;
    }

    std::vector<ChangeCheck> Checks() {
        const auto trend = store->PoolTrend("BP1");
        EXPECT_TRUE(trend.Ok()) << trend.FaultText();
        const auto checks = CheckSettingChanges(*store, *trend.value);
        EXPECT_TRUE(checks.Ok()) << checks.FaultText();
        return checks.value.value_or(std::vector<ChangeCheck>{});
    }

    test::TempDir dir;
    std::shared_ptr<HistoryStore> store;
};

std::vector<std::string> Collected(const std::vector<HistoryReportInfo>& reports) {
    std::vector<std::string> times;
    times.reserve(reports.size());
    for (const HistoryReportInfo& info : reports) {
        times.push_back(info.collectedAt);
    }
    return times;
}

TEST_P(ChangeCheckStoreTest, AVPSizeChangeIsJudgedOnTheSameHoursAndAgainstItsSimulation) {
    const test::ChangeSeries series = test::WriteChangeSeries(dir.Path() / "reports");
    const auto ids = Import(series);
    const std::vector<ChangeCheck> checks = Checks();
    ASSERT_EQ(checks.size(), 1U);
    const ChangeCheck& check = checks[0];
    EXPECT_EQ(check.poolName, "BP1");
    EXPECT_EQ(SettingStepsText(check.steps),
              "VPSIZE " + std::to_string(series.sizeBefore) + " -> " + std::to_string(series.sizeAfter));
    EXPECT_EQ(check.lastBefore.collectedAt, series.lastBefore);
    EXPECT_EQ(check.firstAfter.collectedAt, series.firstAfter);
    EXPECT_EQ(check.choice, IntervalChoice::SameHours);
    EXPECT_EQ(Collected(check.before),
              (std::vector<std::string>{"2026-11-04T10:00:00", "2026-11-03T10:00:00", "2026-11-02T10:00:00"}));
    EXPECT_EQ(Collected(check.after),
              (std::vector<std::string>{"2026-11-05T10:00:00", "2026-11-06T10:00:00", "2026-11-07T10:00:00"}));
    const FigureChange& hit = check.figures[CheckedHitRatio];
    EXPECT_DOUBLE_EQ(*hit.before, 70.0);
    EXPECT_DOUBLE_EQ(*hit.after, 90.0);
    EXPECT_EQ(hit.verdict, ChangeVerdict::Better);
    EXPECT_DOUBLE_EQ(*check.figures[CheckedSyncReads].after, 20.0);
    EXPECT_EQ(check.figures[CheckedSyncReads].verdict, ChangeVerdict::Better);
    const FigureChange& syncRating = check.figures[static_cast<std::size_t>(RatingKind::SyncReadRate)];
    EXPECT_DOUBLE_EQ(*syncRating.before, 50.0);
    EXPECT_EQ(syncRating.verdict, ChangeVerdict::Better);
    EXPECT_EQ(check.figures[static_cast<std::size_t>(RatingKind::DmthHits)].verdict, ChangeVerdict::Unrated)
        << "a monitor's report does not give it";

    // The prediction is the Simulation report held with the report before, read at the new size.
    ASSERT_TRUE(check.prediction);
    const SizePrediction& prediction = *check.prediction;
    EXPECT_EQ(prediction.source, PredictionSource::Simulation);
    EXPECT_EQ(prediction.reportId, ids.at(series.lastBefore));
    EXPECT_EQ(prediction.size, series.sizeAfter);
    std::vector<CurvePoint> curve;
    const auto held = store->Load(prediction.reportId);
    ASSERT_TRUE(held.Ok()) << held.FaultText();
    for (const SimulatedSize& size : held.value->simulatedSizes) {
        curve.push_back({size.buffers, size.sysHitRatio, size.readIORate});
    }
    const auto expected = CurveAt(curve, series.sizeAfter);
    ASSERT_TRUE(expected);
    EXPECT_NE(*expected->hitRatio, curve.front().hitRatio) << "the new size lies between two simulated sizes";
    EXPECT_DOUBLE_EQ(*prediction.hitRatio, *expected->hitRatio);
    EXPECT_DOUBLE_EQ(*prediction.readRate, *expected->readRate);
    EXPECT_EQ(prediction.measuredHitRatio, 90.0);
    EXPECT_EQ(prediction.measuredReadRate, 20.0);
    EXPECT_EQ(prediction.met, PredictionMet(prediction));
    EXPECT_TRUE(prediction.met.has_value());

    // Between two reports that straddle the change, the same check; between two on one side, none.
    const auto load = [this](std::int64_t id) { return *store->Load(id).value; };
    const StoredReport first = load(ids.at("2026-11-02T10:00:00"));
    const auto between = CheckChangesBetween(*store, first, load(ids.at("2026-11-07T14:00:00")));
    ASSERT_TRUE(between.Ok()) << between.FaultText();
    ASSERT_EQ(between.value->size(), 1U);
    EXPECT_EQ(Collected(between.value->front().after), Collected(check.after));
    const auto oneSide = CheckChangesBetween(*store, first, load(ids.at("2026-11-04T14:00:00")));
    ASSERT_TRUE(oneSide.Ok()) << oneSide.FaultText();
    EXPECT_TRUE(oneSide.value->empty());
}

TEST_P(ChangeCheckStoreTest, FewerDaysThanThreeCompareTheNeighbours) {
    const test::ChangeSeries series = test::WriteChangeSeries(dir.Path() / "reports", 2);
    Import(series);
    const std::vector<ChangeCheck> checks = Checks();
    ASSERT_EQ(checks.size(), 1U);
    EXPECT_EQ(checks[0].choice, IntervalChoice::Neighbours);
    EXPECT_EQ(Collected(checks[0].before), std::vector<std::string>{series.lastBefore});
    EXPECT_EQ(Collected(checks[0].after), std::vector<std::string>{series.firstAfter});
    EXPECT_EQ(checks[0].figures[CheckedHitRatio].verdict, ChangeVerdict::Better);
    EXPECT_TRUE(checks[0].prediction);
}

INSTANTIATE_TEST_SUITE_P(Backends, ChangeCheckStoreTest, testing::ValuesIn(test::BackendsUnderTest()),
                         test::BackendName);

} // namespace
} // namespace ornexa
