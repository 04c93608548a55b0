#include <gtest/gtest.h>

#include <sstream>

#include "cli/analysis_document.h"
#include "cli/report_document.h"
#include "display_fixture.h"
#include "stat_fixture.h"

namespace ornexa::cli {
namespace {

Report WithFindings() {
    samplegen::DisplaySampleOptions options;
    options.groupPools = true;
    Report report = test::DisplayReport(options);
    Db2GroupPoolFacts& gbp = report.Db2Display->groupPools.at(0);
    gbp.figures = {};
    gbp.figures.Set(GroupPoolFigure::StructureSize, 40960);
    gbp.figures.Set(GroupPoolFigure::DirectoryEntries, 1000);
    gbp.figures.Set(GroupPoolFigure::RatioTenths, 50);
    gbp.figures.Set(GroupPoolFigure::DirectoryReclaims, 100);
    return report;
}

TEST(GroupPoolsJson, FiguresWithNullsAndFindingsWithTheirCommands) {
    const Report report = WithFindings();
    const nlohmann::ordered_json pools = GroupPoolsDocument(report);
    ASSERT_EQ(pools.size(), report.Db2Display->groupPools.size());
    const auto& first = pools.at(0);
    EXPECT_EQ(first["name"], report.Db2Display->groupPools[0].name);
    EXPECT_EQ(first["figures"]["directoryReclaims"], 100);
    EXPECT_TRUE(first["figures"]["dataEntries"].is_null()); // not shown, not zero
    ASSERT_EQ(first["findings"].size(), 1U);
    const auto& finding = first["findings"][0];
    EXPECT_EQ(finding["rule"], "directoryReclaims");
    EXPECT_EQ(finding["figure"], "directoryReclaims");
    EXPECT_EQ(finding["value"], 100);
    EXPECT_EQ(finding["threshold"], 0);
    EXPECT_TRUE(finding["source"].get<std::string>().starts_with("https://"));
    ASSERT_EQ(finding["commands"].size(), 2U);
    EXPECT_EQ(finding["commands"][0]["text"], "-ALTER "
                                              "GROUPBUFFERPOOL(" +
                                                  first["name"].get<std::string>() + ") RATIO(5.5)");
    EXPECT_EQ(finding["commands"][0]["kind"], "command");
    EXPECT_TRUE(finding["commands"][1]["text"].get<std::string>().starts_with("SETXCF START,ALTER,STRNAME=groupname_"));

    // The document carries them after the analysis, for a display only.
    const SimulationData sim;
    const nlohmann::ordered_json doc = ReportDocument(report, sim, ReadOutcome{}, AnalysisOptions{});
    ASSERT_TRUE(doc.contains("groupPools"));
    EXPECT_EQ(doc["groupPools"], pools);
    Report monitor;
    test::AddPool(monitor, test::TestPool("BP1"));
    EXPECT_FALSE(ReportDocument(monitor, sim, ReadOutcome{}, AnalysisOptions{}).contains("groupPools"));
    EXPECT_TRUE(GroupPoolsDocument(monitor).empty());
}

} // namespace
} // namespace ornexa::cli
