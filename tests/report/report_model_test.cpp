#include <gtest/gtest.h>

#include <stdexcept>
#include <utility>

#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {
namespace {

TEST(FixedText, StoresTrimmedBlankFilledAndCut) {
    FixedText<8> name("  BP1 ");
    EXPECT_EQ(name.Padded(), "BP1     ");
    EXPECT_EQ(name.Trimmed(), "BP1");
    name = "BP32K-TOO-LONG";
    EXPECT_EQ(name.Padded(), "BP32K-TO");
    name = "   ";
    EXPECT_TRUE(name.empty());
    EXPECT_EQ(name.Padded(), "        ");
    EXPECT_EQ(FixedText<27>("DSNDB06.SYSDBASE").Trimmed(), "DSNDB06.SYSDBASE");
}

TEST(ElapsedToSeconds, ConvertsHoursMinutesAndSeconds) {
    const std::pair<const char*, Long> cases[] = {
        {"01:02:03", 3723}, {"00:00:00", 0}, {"24:00:00", 86400},  {"99:59:59", 359999},
        {"xx:10:05", 605},  {"", 0},         {"01:30:00  ", 5400},
    };
    for (const auto& [text, seconds] : cases) {
        EXPECT_EQ(ElapsedToSeconds(text), seconds) << text;
    }
}

TEST(Report, TablesStopAtTheirLimits) {
    Report report;
    for (int p = 0; p < Report::MaxPools; ++p) {
        ASSERT_TRUE(report.AddPool({}));
    }
    EXPECT_FALSE(report.AddPool({}));
    EXPECT_EQ(report.PoolCount(), 60);
    for (int o = 0; o < Report::MaxObjects; ++o) {
        ASSERT_TRUE(report.AddObject({}));
    }
    EXPECT_FALSE(report.AddObject({}));
    EXPECT_EQ(report.ObjectCount(), 5000);
    EXPECT_THROW(report.Pools(0), std::out_of_range);
    EXPECT_THROW(report.Objects(5001), std::out_of_range);
}

TEST(Report, ResetEmptiesEverything) {
    Report report;
    PoolRecord pool;
    pool.PoolName = "BP1";
    pool.FirstObject = 1;
    pool.LastObject = 1;
    report.AddPool(pool);
    report.AddObject({});
    report.StatFileLoaded = true;
    report.ElapsedSeconds = 60;
    EXPECT_TRUE(report.HasPool(1));
    EXPECT_FALSE(report.HasPool(2));
    EXPECT_FALSE(report.HasObject(0));

    ResetReport(report);
    EXPECT_EQ(report.PoolCount(), 0);
    EXPECT_EQ(report.ObjectCount(), 0);
    EXPECT_FALSE(report.StatFileLoaded);
    EXPECT_EQ(report.ElapsedSeconds, 0);
    EXPECT_FALSE(report.HasPool(1));
    EXPECT_TRUE(report.Header.SystemName.empty());
}

TEST(SimulationData, UnsimulatedEntriesReadAsZeroAndClearingKeepsTheValues) {
    SimulationData sim;
    EXPECT_EQ(sim.Objects(4000).SimMaxWorkSet(1), 0); // never read: zero, nothing made
    EXPECT_THROW((void)std::as_const(sim).Pools(0), std::out_of_range);
    sim.Sim.SimSizeCount = 12; // more than a read can hold
    EXPECT_EQ(sim.SizeCount(), 8);
    EXPECT_EQ(sim.Sizes().Count(), 8);
    sim.Sim.SimSizeCount = 0;
    EXPECT_TRUE(sim.Sizes().empty());

    sim.Objects(3).SimMaxWorkSet(2) = 77;
    sim.SimFileLoaded = true;
    sim.simulatedPool = 2;
    EXPECT_EQ(sim.ShownPool(), 2);
    ClearSimulationState(sim);
    EXPECT_EQ(sim.ShownPool(), 0);
    EXPECT_EQ(std::as_const(sim).Objects(3).SimMaxWorkSet(2), 77);
    sim.Reset();
    EXPECT_EQ(std::as_const(sim).Objects(3).SimMaxWorkSet(2), 0);
}

TEST(ObjectRange, APoolWithoutObjectsHasNone) {
    EXPECT_EQ((ObjectRange{0, 0}).Count(), 0);
    EXPECT_TRUE((ObjectRange{0, 0}).empty());
    EXPECT_EQ((ObjectRange{4, 6}).Count(), 3);
    EXPECT_EQ((ObjectRange{4, 4}).Count(), 1);
    const auto visited = [](ObjectRange range) {
        std::vector<int> objects;
        for (const int o : range) {
            objects.push_back(o);
        }
        return objects;
    };
    EXPECT_EQ(visited({4, 6}), (std::vector<int>{4, 5, 6}));
    EXPECT_TRUE(visited({0, 0}).empty());
    EXPECT_TRUE(visited({0, 5}).empty()); // a range without its first object is empty
}

} // namespace
} // namespace ornexa
