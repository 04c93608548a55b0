// --trend and --compare show what the size curve of the report before a VPSIZE change expected, with
// what the expectation rests on, beside the measured synchronous reads.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "run_report.h"
#include "sizing_series.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::RunReport;

TEST(OrnexaReportSizingCheck, TheTrendGivesTheExpectedReadsWithTheirEvidence) {
    const test::TempDir dir;
    const std::string db = (dir.Path() / "history.db").string();
    test::WriteSizingSeries(dir.Path() / "reports");
    ASSERT_EQ(RunReport("--history " + db + " --import " + (dir.Path() / "reports").string()).exitCode, 0);

    const auto run = RunReport("--history " + db + " --trend --pool BP1 --json");
    ASSERT_EQ(run.exitCode, 0);
    const auto changes = nlohmann::json::parse(run.out)["setting_changes"];
    ASSERT_EQ(changes.size(), 3U);
    const auto& history = changes[1]["prediction"];
    EXPECT_EQ(history["source"], "size_curve");
    EXPECT_EQ(history["report"], changes[1]["last_before"]["report"]);
    EXPECT_EQ(history["size"], 30000);
    EXPECT_TRUE(history["hit_ratio"].is_null());
    EXPECT_EQ(history["read_rate"], 60.0);
    EXPECT_EQ(history["measured_read_rate"], 58.0);
    EXPECT_EQ(history["met"], true);
    EXPECT_EQ(history["confidence"], "medium");
    EXPECT_EQ(history["evidence"], nlohmann::json::parse(R"({"measured": 1, "history": 1})"));
    EXPECT_EQ(history["evidence_text"], "1 measured, 1 history");
    EXPECT_EQ(changes[0]["prediction"]["confidence"], "low");
    EXPECT_TRUE(changes[2]["prediction"].is_null()) << "40000 lies beyond the curve";

    const auto text = RunReport("--history " + db + " --trend --pool BP2");
    const std::string expected = "  prediction (size curve of report 4, low confidence: 1 measured, 5 estimated) at "
                                 "15000 buffers: sync read I/Os per second 9.80 expected, 9.00 measured: met\n";
    EXPECT_NE(text.out.find(expected), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find("predicted"), std::string::npos) << "a size curve predicts no hit ratio";
}

} // namespace
} // namespace ornexa
