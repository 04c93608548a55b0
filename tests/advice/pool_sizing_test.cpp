#include "advice/pool_sizing.h"

#include <gtest/gtest.h>

#include <array>

namespace ornexa {
namespace {

constexpr std::int64_t K4 = 4096;

// A curve of straight lines through (buffers, reads) points, all of one kind of evidence.
SizingCurve Curve(std::string name, std::int64_t current, const std::vector<std::pair<std::int64_t, double>>& points,
                  int pageSizeKb = 4, SizingEvidence evidence = SizingEvidence::Simulation) {
    SizingCurve curve;
    curve.poolName = std::move(name);
    curve.pageSizeKb = pageSizeKb;
    curve.currentBuffers = current;
    for (const auto& [buffers, reads] : points) {
        curve.points.push_back({buffers, reads, evidence, false});
    }
    return curve;
}

const SizingResult& Of(const SizingPlan& plan, std::string_view name) {
    for (const SizingResult& pool : plan.pools) {
        if (pool.poolName == name) {
            return pool;
        }
    }
    throw std::logic_error("no such pool");
}

TEST(SizingCurve, ReadsLieOnTheLinesBetweenPointsAndNeverRiseWithSize) {
    SizingCurve curve = Curve("BP1", 10000, {{20000, 50}, {10000, 100}, {30000, 60}, {40000, 20}});
    OrderPoints(curve);
    ASSERT_EQ(curve.points.front().buffers, 10000);
    EXPECT_TRUE(curve.points[2].rises) << "30000 reads more than 20000: kept, flagged";
    EXPECT_FALSE(curve.points[3].rises);
    const std::vector<std::pair<std::int64_t, double>> expected{
        {5000, 100},                                         // below the smallest point: its reads
        {10000, 100}, {15000, 75}, {20000, 50}, {25000, 50}, // towards the rising point the curve stays level
        {30000, 50},  {35000, 35}, {40000, 20}, {90000, 20}, // beyond the largest point: no extrapolation
    };
    for (const auto& [buffers, reads] : expected) {
        EXPECT_DOUBLE_EQ(*ReadsAt(curve, buffers), reads) << buffers;
    }
    EXPECT_FALSE(ReadsAt(Curve("BP2", 1000, {}), 1000));
}

TEST(AllocateBudget, EachStepGoesWhereItSavesMostPerByte) {
    // BP1 saves 10 reads per 1000 buffers, BP2 2: BP1 takes the budget until its curve flattens.
    const std::vector<SizingCurve> curves{Curve("BP1", 10000, {{10000, 100}, {13000, 70}, {30000, 70}}),
                                          Curve("BP2", 10000, {{10000, 100}, {20000, 80}})};
    const SizingPlan plan = AllocateBudget(curves, {5000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(plan, "BP1").proposedBuffers, 13000);
    EXPECT_EQ(Of(plan, "BP2").proposedBuffers, 12000);
    EXPECT_EQ(plan.bytesPlaced, 5000 * K4);
    EXPECT_DOUBLE_EQ(*Of(plan, "BP1").readsSaved, 30);
    EXPECT_DOUBLE_EQ(*Of(plan, "BP2").readsSaved, 4);
    EXPECT_DOUBLE_EQ(plan.readsSaved, 34);
}

TEST(AllocateBudget, EqualGainsGoByPoolNameTheSameOnEveryRun) {
    const std::vector<SizingCurve> curves{Curve("BP9", 10000, {{10000, 100}, {50000, 60}}),
                                          Curve("BP10", 10000, {{10000, 100}, {50000, 60}})};
    const SizingPlan plan = AllocateBudget(curves, {3000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(plan, "BP10").proposedBuffers, 13000) << "BP10 sorts before BP9: it takes each tie";
    EXPECT_EQ(Of(plan, "BP9").proposedBuffers, 10000);
}

TEST(AllocateBudget, BoundsKeepPoolsInsideThem) {
    std::vector<SizingCurve> curves{Curve("BP1", 10000, {{10000, 100}, {40000, 10}}),
                                    Curve("BP2", 10000, {{5000, 120}, {10000, 100}, {40000, 90}})};
    curves[0].maxBuffers = 11500;
    const SizingPlan up = AllocateBudget(curves, {4000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(up, "BP1").proposedBuffers, 11500) << "the last step stops at the maximum";
    EXPECT_EQ(Of(up, "BP2").proposedBuffers, 12000) << "only whole steps: 1500 + 2000 of 4000 buffers";

    // Giving back: the cheaper pool gives first, a kept pool never goes below its current size.
    curves[0].maxBuffers.reset();
    curves[1].keep = true;
    const SizingPlan down = AllocateBudget(curves, {-2000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(down, "BP2").proposedBuffers, 10000);
    EXPECT_EQ(Of(down, "BP1").proposedBuffers, 10000) << "BP1 has no evidence below 10000 buffers";
    EXPECT_EQ(down.bytesPlaced, 0);
    curves[1].keep = false;
    const SizingPlan freed = AllocateBudget(curves, {-2000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(freed, "BP2").proposedBuffers, 8000);
    EXPECT_EQ(freed.bytesPlaced, -2000 * K4);
    EXPECT_DOUBLE_EQ(*Of(freed, "BP2").readsSaved, -8) << "giving back adds reads";
}

TEST(AllocateBudget, ABudgetBeyondWhatTheCurvesUseIsLeftUnplaced) {
    const std::vector<SizingCurve> curves{Curve("BP1", 10000, {{10000, 100}, {12000, 50}}),
                                          Curve("BP2", 10000, {}) /* no evidence */};
    const SizingPlan plan = AllocateBudget(curves, {1'000'000 * K4, 0.05, 1000});
    EXPECT_EQ(Of(plan, "BP1").proposedBuffers, 12000);
    EXPECT_EQ(plan.bytesPlaced, 2000 * K4);
    EXPECT_FALSE(Of(plan, "BP2").evidence);
    EXPECT_EQ(Of(plan, "BP2").proposedBuffers, 10000);
    EXPECT_FALSE(Of(plan, "BP2").readsSaved);
}

TEST(AllocateBudget, StorageIsBuffersTimesEachPoolsOwnPageSize) {
    // The same reads saved per buffer: the smallest pages save the most per byte and go first.
    std::vector<SizingCurve> curves;
    for (const int kb : {32, 16, 8, 4}) {
        curves.push_back(Curve("BP" + std::to_string(kb) + "K", 10000, {{10000, 100}, {11000, 90}}, kb));
    }
    const SizingPlan plan = AllocateBudget(curves, {1000LL * (4 + 8) * 1024, 0.05, 1000});
    EXPECT_EQ(Of(plan, "BP4K").bytes, 1000 * K4);
    EXPECT_EQ(Of(plan, "BP8K").bytes, 1000 * 8 * 1024);
    EXPECT_EQ(Of(plan, "BP16K").bytes, 0);
    EXPECT_EQ(Of(plan, "BP32K").bytes, 0);
}

TEST(AllocateBudget, ACurveSaysWhatItRestsOn) {
    SizingCurve curve = Curve("BP1", 10000, {{10000, 100}}, 4, SizingEvidence::History);
    curve.points.push_back({20000, 40, SizingEvidence::Estimate, false});
    curve.points.push_back({15000, 60, SizingEvidence::History, false});
    const SizingPlan plan = AllocateBudget({curve}, {0, 0.05, 1000});
    // What it rests on: two history points and an estimate, so the history's confidence.
    EXPECT_EQ(EvidenceCounts(curve), (std::array<int, SizingEvidenceCount>{0, 0, 0, 2, 1}));
    EXPECT_EQ(Of(plan, "BP1").confidence, SizingConfidence::Medium);
    EXPECT_EQ(Of(plan, "BP1").proposedBuffers, 10000);
    EXPECT_EQ(SizingEvidenceKey(SizingEvidence::Db2Simulated), "db2_simulated");
}

} // namespace
} // namespace ornexa
