#include "advice/sizing_plan.h"

#include <gtest/gtest.h>

namespace ornexa {
namespace {

constexpr std::int64_t MB = std::int64_t{1} << 20;
constexpr std::int64_t GB = std::int64_t{1} << 30;

TEST(SizingPlanText, BudgetsAreSignedMegabytesOrGigabytes) {
    const std::pair<const char*, std::int64_t> good[] = {
        {"+2G", 2 * GB},     {"-1G", -GB},      {"200M", 200 * MB}, {" 1.5 GB ", 3 * GB / 2},
        {"512mb", 512 * MB}, {"200", 200 * MB}, {"-0.5g", -GB / 2}, {"0", 0},
    };
    for (const auto& [text, bytes] : good) {
        const Result<std::int64_t> budget = ParseBudget(text);
        ASSERT_TRUE(budget.Ok()) << text << ": " << budget.FaultText();
        EXPECT_EQ(*budget.value, bytes) << text;
    }
    const std::pair<const char*, const char*> bad[] = {
        {"", "no budget given"},
        {"abc", "is no budget"},
        {"+", "is no budget"},
        {"2T", "has the unit \"T\""},
        {"--1G", "is no budget"},
        {"1.2.3G", "is no budget"},
        {"99999999999G", "more storage than any system has"},
    };
    for (const auto& [text, message] : bad) {
        const Result<std::int64_t> budget = ParseBudget(text);
        EXPECT_FALSE(budget.Ok()) << text;
        EXPECT_NE(budget.FaultText().find(message), std::string::npos) << text << ": " << budget.FaultText();
        EXPECT_NE(budget.FaultText().find("+2G"), std::string::npos) << "says how to write one: " << text;
    }
}

TEST(SizingPlanText, PoolListsAndLargestSizes) {
    EXPECT_EQ(*ParsePoolNames(" bp0, BP8K0 ,bp0").value, (std::vector<std::string>{"BP0", "BP8K0"}));
    EXPECT_FALSE(ParsePoolNames("BP0,,BP1").Ok());
    EXPECT_EQ(*ParseMaxBuffers("bp1=200000, BP2 = 5000").value,
              (std::map<std::string, std::int64_t>{{"BP1", 200000}, {"BP2", 5000}}));
    for (const char* bad : {"BP1", "BP1=", "=5", "BP1=-5", "BP1=0", "BP1=5x", "BP1=5,"}) {
        const auto bounds = ParseMaxBuffers(bad);
        EXPECT_FALSE(bounds.Ok()) << bad;
        EXPECT_NE(bounds.FaultText().find("BP1=200000"), std::string::npos) << bad;
    }
}

TEST(SizingPlanText, StorageReadsInMegabytesUpToAGigabyte) {
    EXPECT_EQ(StorageText(80 * MB), "+80 MB");
    EXPECT_EQ(StorageText(-3 * GB / 2), "-1.5 GB");
    EXPECT_EQ(StorageText(0), "0 MB");
    EXPECT_EQ(StorageText(std::int64_t{1000} * 4096), "+3.91 MB");
    EXPECT_EQ(StorageText(GB), "+1 GB");
}

SizingCurve Curve(std::string name, std::int64_t current, int pageSizeKb = 4) {
    SizingCurve curve;
    curve.poolName = std::move(name);
    curve.pageSizeKb = pageSizeKb;
    curve.currentBuffers = current;
    curve.points = {{current, 100, SizingEvidence::Measured},
                    {current * 2, 50, SizingEvidence::Simulation},
                    {current / 2, 150, SizingEvidence::Simulation}};
    return curve;
}

TEST(SizingPlanRun, BoundsNamePoolsOfTheReportAndKeepThemInside) {
    std::vector<SizingCurve> curves{Curve("BP1", 10000), Curve("BP2", 10000)};
    const SizingBounds bounds{{"bp2", "BP7"}, {{"BP1", 12000}, {"BP9", 1}}};
    const SizingRun up = PlanSizing(curves, bounds, {100 * MB, 0.05, 1000});
    ASSERT_EQ(up.messages.size(), 2U);
    EXPECT_EQ(up.messages[0].text, "The report has no pool BP7 to protect.");
    EXPECT_EQ(up.messages[1].text, "The report has no pool BP9 to give a largest size.");
    EXPECT_EQ(up.plan.pools[0].proposedBuffers, 12000);
    EXPECT_EQ(up.plan.pools[1].proposedBuffers, 20000);

    // Giving back 10 MB takes whole steps of 1000 buffers until at least the budget is freed.
    const SizingRun down = PlanSizing(curves, bounds, {-10 * MB, 0.05, 1000});
    EXPECT_EQ(down.plan.pools[1].proposedBuffers, 10000) << "protected";
    EXPECT_EQ(down.plan.pools[0].proposedBuffers, 7000);
    EXPECT_EQ(down.plan.bytesPlaced, std::int64_t{-3000} * 4096);

    // A largest size below the pool's size holds the pool where it is, and says so.
    const SizingRun held = PlanSizing(curves, {{}, {{"BP1", 5000}}}, {-20 * MB, 0.05, 1000});
    EXPECT_EQ(held.plan.pools[0].proposedBuffers, 10000);
    ASSERT_EQ(held.messages.size(), 1U);
    EXPECT_NE(held.messages[0].text.find("is below its size of 10000 buffers"), std::string::npos);
}

TEST(SizingPlanRun, CommandsSetVpsizeOrTheBoundsOfAPoolDbTwoSizesItself) {
    SizingCurve plain = Curve("bp1", 20000);
    SizingResult grow;
    grow.poolName = "BP1";
    grow.currentBuffers = 20000;
    grow.proposedBuffers = 40000;
    EXPECT_EQ(SizingCommand(plain, grow)->text, "-ALTER BUFFERPOOL(BP1) VPSIZE(40000)");
    EXPECT_EQ(SizingCommand(plain, grow)->source, SizingSource);
    SizingResult same = grow;
    same.proposedBuffers = 20000;
    EXPECT_FALSE(SizingCommand(plain, same)) << "nothing to do";

    SizingCurve autosized = plain;
    autosized.autosize = true;
    autosized.vpSizeMin = 15000;
    autosized.vpSizeMax = 25000;
    EXPECT_EQ(SizingCommand(autosized, grow)->text, "-ALTER BUFFERPOOL(BP1) VPSIZEMAX(40000)");
    SizingResult shrink = grow;
    shrink.proposedBuffers = 10000;
    EXPECT_EQ(SizingCommand(autosized, shrink)->text, "-ALTER BUFFERPOOL(BP1) VPSIZEMIN(10000) VPSIZEMAX(10000)")
        << "the minimum may not stay above the new largest size";

    SizingCurve unnamed = plain;
    unnamed.poolName = "POOLX";
    EXPECT_FALSE(SizingCommand(unnamed, grow)) << "no command for a name Db2 does not know";
}

TEST(SizingPlanRun, TheCommandsFileSaysWhatEachCommandIsExpectedToGive) {
    std::vector<SizingCurve> curves{Curve("BP1", 10000), Curve("BP2", 10000, 8)};
    curves[1].points.clear();
    curves[1].leftAlone = "the pool has no VPSIZE";
    const SizingRun run = PlanSizing(curves, {}, {std::int64_t{10000} * 4096, 0.05, 1000});
    EXPECT_EQ(SizingCommandsText(run),
              "-- Pool sizing for a budget of +39.06 MB: +39.06 MB placed, 50 synchronous read I/Os per second saved\n"
              "-- BP1: 10000 -> 20000 buffers, +39.06 MB, 50 synchronous read I/Os per second saved (high confidence: "
              "1 measured, 2 simulated)\n"
              "-ALTER BUFFERPOOL(BP1) VPSIZE(20000)\n"
              "-- Left alone, without evidence:\n"
              "--   BP2: the pool has no VPSIZE\n");
}

} // namespace
} // namespace ornexa
