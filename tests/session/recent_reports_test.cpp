#include <gtest/gtest.h>

#include "load/report_kind.h"
#include "session/recent_reports.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

TEST(RecentReports, NewestFirstEachReportOnceAtMostEight) {
    RecentReports recent;
    for (int i = 0; i < 10; ++i) {
        recent.ReadStatistics("r" + std::to_string(i) + ".sta");
    }
    recent.ReadSimulation("r5.sta", "r5.sim");
    recent.ReadStatistics("r9.sta");
    ASSERT_EQ(recent.Entries().size(), RecentReports::MaxEntries);
    const auto here = std::filesystem::current_path();
    EXPECT_EQ(recent.Entries()[0], (RecentReport{here / "r9.sta", {}}));
    EXPECT_EQ(recent.Entries()[1], (RecentReport{here / "r5.sta", here / "r5.sim"}));
    EXPECT_EQ(recent.Entries()[2], (RecentReport{here / "r8.sta", {}}));
    EXPECT_EQ(recent.Entries().back(), (RecentReport{here / "r2.sta", {}}));
    recent.ReadStatistics("r5.sta"); // read again alone: the Simulation report is no longer its companion
    EXPECT_EQ(recent.Entries()[0], (RecentReport{here / "r5.sta", {}}));
}

// A report named relatively (from the command line) is kept by its full path, so it opens again from
// any folder; the same report named both ways is one entry.
TEST(RecentReports, KeepsFullPathsOfReportsNamedRelatively) {
    const test::TempDir dir;
    const auto stat = dir.Write("a.sta", "x");
    const auto sim = dir.Write("a.sim", "x");
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    RecentReports recent;
    recent.ReadStatistics("a.sta");
    recent.ReadSimulation("./a.sta", "sub/../a.sim");
    std::filesystem::current_path(before);
    EXPECT_EQ(recent.Entries(), (std::vector<RecentReport>{{stat, sim}}));
    EXPECT_TRUE(Available(recent.Entries()[0]));
}

TEST(RecentReports, KeptEntriesWithoutAReportOrRepeatedAreLeftOut) {
    const RecentReports recent({{"", "x.sim"}, {"a.sta", ""}, {"b.sta", "b.sim"}, {"a.sta", "a.sim"}});
    EXPECT_EQ(recent.Entries(), (std::vector<RecentReport>{{"a.sta", ""}, {"b.sta", "b.sim"}}));
    std::vector<RecentReport> many(20, RecentReport{});
    for (std::size_t i = 0; i < many.size(); ++i) {
        many[i].statistics = std::to_string(i);
    }
    EXPECT_EQ(RecentReports(many).Entries().size(), RecentReports::MaxEntries);
}

TEST(RecentReports, EntriesWhoseFilesAreGoneAreForgotten) {
    const test::TempDir dir;
    const auto stat = dir.Write("a.sta", "x");
    const auto sim = dir.Write("a.sim", "x");
    RecentReports recent({{stat, sim}, {stat.string() + ".gone", ""}, {dir.Write("b.sta", "x"), dir.Path() / "b.sim"}});
    EXPECT_TRUE(Available(recent.Entries()[0]));
    EXPECT_FALSE(Available({dir.Path(), ""})); // a folder is not a report
    const auto gone = recent.ForgetGone();
    ASSERT_EQ(gone.size(), 2U);
    EXPECT_EQ(gone[1].simulation, dir.Path() / "b.sim");
    EXPECT_EQ(recent.Entries(), (std::vector<RecentReport>{{stat, sim}}));
}

TEST(ReportKind, TheFirstLineTellsTheReportsApart) {
    const test::TempDir dir;
    EXPECT_EQ(ReaderKindOf(Samples / "statistics-usa.sta"), ReportKind::Statistics);
    EXPECT_EQ(ReaderKindOf(Samples / "simulation-bp1.sim"), ReportKind::Simulation);
    const std::string environment = "ENV DB2 BUFFER POOL STATISTICS   FLAT FILE     USA\r\n";
    EXPECT_EQ(ReaderKindOf(dir.Write("renamed.sim", environment + "HDR STATISTICS\r\nBPS x\r\n")),
              ReportKind::Statistics);
    EXPECT_EQ(ReaderKindOf(dir.Write("renamed.sta", environment + "  BUFFER POOL SIMULATION\n\n*BPPSIMULATION\n")),
              ReportKind::Simulation);
    EXPECT_EQ(ReaderKindOf(dir.Write("header.sim", environment)), ReportKind::Statistics); // its read tells why
    EXPECT_EQ(ReaderKindOf(dir.Path() / "missing.sim"), ReportKind::Statistics);           // its read tells why
    EXPECT_EQ(ReaderKindOf(dir.Path()), ReportKind::Statistics);
}

} // namespace
} // namespace ornexa
