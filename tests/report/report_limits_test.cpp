#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "large_site.h"
#include "record_compare.h"
#include "report/messages.h"
#include "report/record_fields.h"
#include "report/stat_reader.h"
#include "sim_writer.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

std::string PlainText(const Report& report) {
    samplegen::StatFileOptions options;
    options.decorate = false;
    return samplegen::StatisticsText(report, options);
}

struct LimitCase {
    const char* name;
    ReportLimits limits;
    int pools;               // of the generated report
    int objects;             // of the generated report
    bool extraPool;          // one pool line more at the end, else one object line more
    const char* description; // of the line that does not fit
};

TEST(ReportLimits, ALineBeyondTheLimitsStopsTheReadAndSaysWhichLimit) {
    const std::vector<LimitCase> cases{
        {"the monitor's pools", ReportLimits::Monitor(), 60, 300, true, "Subscript out of range"},
        {"the monitor's objects", ReportLimits::Monitor(), 10, 5000, false, "Subscript out of range"},
        {"a large site's pools", ReportLimits::LargeSite(), 80, 400, true,
         "Subscript out of range (the limit in force is 80 pools)"},
        {"objects of a command line",
         {70, 6000},
         70,
         6000,
         false,
         "Subscript out of range (the limit in force is 6000 objects)"},
        {"grouped figures",
         {80, 20000},
         12,
         20000,
         false,
         "Subscript out of range (the limit in force is 20,000 objects)"},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Report generated = samplegen::BuildLargeReport(c.pools, c.objects);
        const std::string text = PlainText(generated);
        const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
        const std::string extra = c.extraPool ? samplegen::PoolLine(test::TestPool("BPX"), true)
                                              : samplegen::ObjectLine(test::TestObject("BPX", "X.T1"), true);
        const test::TempDir dir;
        const auto fits = dir.Write("fits.sta", text);
        const auto beyond = dir.Write("beyond.sta", text + extra + "\r\n");

        Report report;
        ASSERT_TRUE(ReadStatisticsFile(report, fits, {}, FileKinds::Any, c.limits).Loaded());
        EXPECT_EQ(report.PoolCount(), c.pools);
        EXPECT_EQ(report.ObjectCount(), c.objects);
        EXPECT_EQ(report.Limits(), c.limits);

        ResetReport(report);
        const StatReadResult stopped = ReadStatisticsFile(report, beyond, {}, FileKinds::Any, c.limits);
        EXPECT_EQ(stopped.outcome, StatReadOutcome::FieldError);
        const Messages told = MessagesOf(stopped);
        ASSERT_EQ(told.size(), 1U);
        EXPECT_EQ(told[0].title, c.extraPool ? StatPoolErrorTitle : StatObjectErrorTitle);
        EXPECT_EQ(told[0].text, ReadErrorReport(c.description, lines + 1, 1, 5));
        // What did fit stays, the last pool's objects closed.
        EXPECT_EQ(report.PoolCount(), c.pools);
        EXPECT_EQ(report.ObjectCount(), c.objects);
        EXPECT_EQ(PoolObjects(report, c.pools).last, c.objects);
    }
}

TEST(ReportLimits, TheirTextsGroupOnlyFiguresOfFiveDigitsAndMore) {
    EXPECT_EQ(LimitsText(ReportLimits::Monitor()), "60 pools, 5000 objects");
    EXPECT_EQ(LimitsText(ReportLimits::LargeSite()), "80 pools, 1,000,000 objects");
    EXPECT_EQ(LimitsText({9999, 10000}), "9999 pools, 10,000 objects");
}

// A large site's report, generated pool by pool, read back whole: counts, object ranges beyond
// what a 16-bit number holds, and the figures of a sample of records.
TEST(ReportLimits, ALargeSitesReportReadsWhole) {
    constexpr int pools = 80;
    constexpr int objects = 200'000;
    const test::TempDir dir;
    const auto path = dir.Path() / "large.sta";
    samplegen::WriteLargeReport(path, pools, objects);
    Report expected = samplegen::BuildLargeReport(pools, objects);

    Report report;
    const StatReadResult read = ReadStatisticsFile(report, path, {}, FileKinds::Any, ReportLimits::LargeSite());
    ASSERT_TRUE(read.Loaded());
    EXPECT_FALSE(read.cutShort.has_value());
    ASSERT_EQ(report.PoolCount(), pools);
    ASSERT_EQ(report.ObjectCount(), objects);
    EXPECT_EQ(report.Header.ReportPoolCount, pools);
    int largest = 0;
    for (int p = 1; p <= pools; ++p) {
        SCOPED_TRACE("pool " + std::to_string(p));
        EXPECT_EQ(report.Pools(p).FirstObject, expected.Pools(p).FirstObject);
        EXPECT_EQ(report.Pools(p).LastObject, expected.Pools(p).LastObject);
        test::ExpectSameFields(PoolFields(report.Pools(p)), PoolFields(expected.Pools(p)));
        largest = std::max(largest, PoolObjects(report, p).Count());
    }
    EXPECT_EQ(PoolObjects(report, pools).last, objects);
    EXPECT_GT(largest, 32767) << "a pool holds more objects than a 16-bit number counts";
    EXPECT_LT(PoolObjects(report, pools).Count(), largest) << "the objects are spread unevenly";
    for (int o = 1; o <= objects; o += 9973) {
        SCOPED_TRACE("object " + std::to_string(o));
        test::ExpectSameFields(ObjectFields(report.Objects(o)), ObjectFields(expected.Objects(o)));
    }
    test::ExpectSameFields(ObjectFields(report.Objects(objects)), ObjectFields(expected.Objects(objects)));
}

TEST(ReportLimits, TheLargeReportWrittenPoolByPoolIsTheReportWrittenWhole) {
    const test::TempDir dir;
    const auto path = dir.Path() / "large.sta";
    samplegen::WriteLargeReport(path, 80, 3000, 7);
    std::ifstream in(path, std::ios::binary);
    const std::string written{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(written, PlainText(samplegen::BuildLargeReport(80, 3000, 7)));
}

// In a pool of many objects, each object line finds its object by name at once; a name that is
// only part of an object's name still finds the first object that holds it.
TEST(ReportLimits, ASimulationOfALargePoolFindsEveryObject) {
    const Report generated = samplegen::BuildLargeReport(3, 40'000);
    const test::TempDir dir;
    const auto statPath = dir.Write("large.sta", PlainText(generated));
    Report report;
    ASSERT_TRUE(ReadStatisticsFile(report, statPath, {}, FileKinds::Any, ReportLimits::LargeSite()).Loaded());
    int biggest = 1;
    for (int p = 2; p <= report.PoolCount(); ++p) {
        biggest = PoolObjects(report, p).Count() > PoolObjects(report, biggest).Count() ? p : biggest;
    }
    const samplegen::SimSample sample =
        samplegen::BuildSimulation(report, std::string(report.Pools(biggest).PoolName.Trimmed()), 3);
    const auto simPath =
        dir.Write("large.sim", samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
    SimulationData sim;
    const SimReadResult read = ReadSimulationFile(report, sim, simPath);
    ASSERT_TRUE(read.Loaded());
    EXPECT_EQ(read.skippedLines, 0);
    EXPECT_EQ(read.objectLines, static_cast<int>(sample.objects.size()));
    for (const int o : sample.objects) {
        EXPECT_EQ(sim.Objects(o).SimGetPages(1), sample.sim.Objects(o).SimGetPages(1)) << o;
    }
}

} // namespace
} // namespace ornexa
