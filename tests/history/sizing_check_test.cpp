// A VPSIZE change whose report before holds no simulation of the pool is checked against the report's
// own sizing curve: the history's sizes at comparable load up to that report, else the estimate.
#include <gtest/gtest.h>

#include <cmath>

#include "change_series.h"
#include "history/change_check.h"
#include "history/history_store.h"
#include "history/sizing_history.h"
#include "history_backends.h"
#include "sizing_series.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::TestBackend;

std::array<int, SizingEvidenceCount> Counts(int measured, int history, int estimate) {
    std::array<int, SizingEvidenceCount> counts{};
    counts[static_cast<std::size_t>(SizingEvidence::Measured)] = measured;
    counts[static_cast<std::size_t>(SizingEvidence::History)] = history;
    counts[static_cast<std::size_t>(SizingEvidence::Estimate)] = estimate;
    return counts;
}

class SizingCheckTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path()));
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store = *opened.value;
        for (const auto& file : series.files) {
            const ImportOutcome outcome = ImportReportFile(*store, file.string(), {});
            ASSERT_EQ(outcome.status, ImportStatus::Imported) << file << ": " << outcome.message;
            ids.push_back(outcome.reportId);
        }
    }

    std::vector<PoolTrendPoint> Trend(const std::string& pool) {
        const auto trend = store->PoolTrend(pool);
        EXPECT_TRUE(trend.Ok()) << trend.FaultText();
        return trend.value.value_or(std::vector<PoolTrendPoint>{});
    }

    std::vector<ChangeCheck> Checks(const std::string& pool) {
        const auto checks = CheckSettingChanges(*store, Trend(pool));
        EXPECT_TRUE(checks.Ok()) << checks.FaultText();
        return checks.value.value_or(std::vector<ChangeCheck>{});
    }

    test::TempDir dir;
    test::SizingSeries series = test::WriteSizingSeries(dir.Path() / "reports");
    std::shared_ptr<HistoryStore> store;
    std::vector<std::int64_t> ids;
};

TEST_P(SizingCheckTest, AChangeWithoutSimulationIsCheckedAgainstTheSizeCurveOfTheReportBefore) {
    struct Expected {
        const char* pool;
        std::size_t change;             // which change of the pool's trend
        std::size_t reportBefore;       // index in the series
        std::optional<double> readRate; // absent: no prediction
        SizingConfidence confidence;
        std::array<int, SizingEvidenceCount> evidence;
        double measured;
    };
    const std::vector<Expected> cases{
        // 30000 -> 20000: only the 30000 reports came before, so the estimate (5 points around it).
        {"BP1", 0, 1, std::nullopt, SizingConfidence::Low, Counts(1, 0, 5), 80},
        // 20000 -> 30000: the history's two reports at 30000 and comparable load, their mean, and
        // never the later ones at 30000 (58 each, which would make it 59).
        {"BP1", 1, 3, 60.0, SizingConfidence::Medium, Counts(1, 1, 0), 58},
        // 30000 -> 40000: the curve ends at 30000 and nothing is extrapolated.
        {"BP1", 2, 5, std::nullopt, SizingConfidence::None, {}, 50},
        // Only its own measurement: the square-root rule, reads x sqrt(old / new).
        {"BP2", 0, 3, 12.0 * std::sqrt(10000.0 / 15000.0), SizingConfidence::Low, Counts(1, 0, 5), 9},
    };
    for (const Expected& e : cases) {
        SCOPED_TRACE(std::string(e.pool) + " change " + std::to_string(e.change));
        const std::vector<ChangeCheck> checks = Checks(e.pool);
        ASSERT_GT(checks.size(), e.change);
        const ChangeCheck& check = checks[e.change];
        EXPECT_EQ(check.lastBefore.id, ids[e.reportBefore]);
        if (e.change == 2) {
            EXPECT_FALSE(check.prediction) << "40000 lies beyond the curve of the report before";
            continue;
        }
        ASSERT_TRUE(check.prediction);
        const SizePrediction& p = *check.prediction;
        EXPECT_EQ(p.source, PredictionSource::SizeCurve);
        EXPECT_STREQ(PredictionSourceKey(p.source), "size_curve");
        EXPECT_EQ(p.reportId, ids[e.reportBefore]);
        EXPECT_FALSE(p.hitRatio) << "a size curve knows no hit ratio";
        if (e.readRate) {
            EXPECT_NEAR(*p.readRate, *e.readRate, 1e-9);
        } else {
            // Between the estimated points at 15000 and 22500 around the new size.
            EXPECT_GT(*p.readRate, 60.0);
            EXPECT_LT(*p.readRate, 60.0 * std::sqrt(2.0));
        }
        EXPECT_EQ(p.confidence, e.confidence);
        EXPECT_EQ(p.evidence, e.evidence);
        EXPECT_EQ(p.measuredReadRate, e.measured);
        EXPECT_EQ(p.met, *p.measuredReadRate <= *p.readRate * (1 + ReadRateTolerance));
    }
    EXPECT_EQ(Checks("BP1")[1].prediction->evidenceText, "1 measured, 1 history");
}

TEST_P(SizingCheckTest, LaterReportsWouldHaveAnsweredTheSizeBeyondTheCurve) {
    // The report before the change to 40000 with every report of the history: the later one at 40000
    // would be a point of the curve. The check passes it over, as the case above shows.
    const auto before = store->Load(ids[5]);
    ASSERT_TRUE(before.Ok()) << before.FaultText();
    const std::vector<PoolTrendPoint> trend = Trend("BP1");
    const auto all = SizeCurvePrediction(*before.value, "bp1", 40000, ObservationsOf(trend));
    ASSERT_TRUE(all);
    EXPECT_DOUBLE_EQ(*all->readRate, 50.0);
    EXPECT_FALSE(SizeCurvePrediction(*before.value, "BP1", 40000, ObservationsOf(trend, series.collected[5])));
    EXPECT_FALSE(SizeCurvePrediction(*before.value, "NOSUCH", 40000, ObservationsOf(trend)));
}

TEST_P(SizingCheckTest, TheComparisonAcrossTheChangesGivesTheSamePredictions) {
    const auto load = [this](std::size_t day) { return *store->Load(ids[day]).value; };
    const auto between = CheckChangesBetween(*store, load(3), load(4));
    ASSERT_TRUE(between.Ok()) << between.FaultText();
    ASSERT_EQ(between.value->size(), 2U);
    for (const ChangeCheck& check : *between.value) {
        ASSERT_TRUE(check.prediction) << check.poolName;
        EXPECT_EQ(check.prediction->source, PredictionSource::SizeCurve);
        EXPECT_EQ(check.prediction->reportId, ids[3]);
    }
}

TEST_P(SizingCheckTest, ASimulationHeldStillPredicts) {
    const test::ChangeSeries changes = test::WriteChangeSeries(dir.Path() / "simulated");
    const auto fresh = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path() / "simulated"));
    ASSERT_TRUE(fresh.Ok()) << fresh.FaultText();
    for (const auto& file : changes.files) {
        ImportReportFile(**fresh.value, file.statistics.string(), file.simulation.string());
    }
    const auto trend = (*fresh.value)->PoolTrend("BP1");
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    const auto checks = CheckSettingChanges(**fresh.value, *trend.value);
    ASSERT_TRUE(checks.Ok()) << checks.FaultText();
    ASSERT_EQ(checks.value->size(), 1U);
    const SizePrediction& p = *checks.value->front().prediction;
    EXPECT_EQ(p.source, PredictionSource::Simulation);
    EXPECT_TRUE(p.hitRatio);
    EXPECT_EQ(p.confidence, SizingConfidence::None);
    EXPECT_EQ(p.evidence, (std::array<int, SizingEvidenceCount>{}));
    EXPECT_TRUE(p.evidenceText.empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, SizingCheckTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

} // namespace
} // namespace ornexa
