// --trend and --compare tell whether a setting change helped.
#include <gtest/gtest.h>

#include <string>

#include <nlohmann/json.hpp>

#include "change_series.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::RunReport;

struct ChangeHistory {
    test::TempDir dir;
    std::string db = (dir.Path() / "history.db").string();
    test::ChangeSeries series = test::WriteChangeSeries(dir.Path() / "reports");
    ChangeHistory() {
        EXPECT_EQ(RunReport("--history " + db + " --import " + (dir.Path() / "reports").string()).exitCode, 0);
    }
    // The report id of a collection time, from --list.
    [[nodiscard]] std::string Id(const std::string& collected) const {
        const auto list = nlohmann::json::parse(RunReport("--history " + db + " --list --json").out);
        for (const auto& report : list["reports"]) {
            if (report["collected"] == collected) {
                return std::to_string(report["id"].get<std::int64_t>());
            }
        }
        return "0";
    }
};

TEST(OrnexaReportChangeCheck, TheTrendJudgesTheChangeAndItsPrediction) {
    const ChangeHistory h;
    const auto run = RunReport("--history " + h.db + " --trend --pool BP1 --json");
    ASSERT_EQ(run.exitCode, 0);
    const auto trend = nlohmann::json::parse(run.out);
    ASSERT_EQ(trend["points"].size(), h.series.files.size()) << "the points stay as they were";
    ASSERT_EQ(trend["setting_changes"].size(), 1U);
    const auto& check = trend["setting_changes"][0];
    EXPECT_EQ(check["pool"], "BP1");
    EXPECT_EQ(check["changes"][0]["setting"], "VPSIZE");
    EXPECT_EQ(check["changes"][0]["after"].get<double>(), static_cast<double>(h.series.sizeAfter));
    EXPECT_EQ(check["last_before"]["collected"], h.series.lastBefore);
    EXPECT_EQ(check["first_after"]["collected"], h.series.firstAfter);
    EXPECT_EQ(check["intervals"], "same_hours");
    EXPECT_EQ(check["before_reports"].size(), 3U);
    EXPECT_EQ(check["after_reports"][0].dump(), h.Id(h.series.firstAfter));
    EXPECT_EQ(check["figures"]["hit_ratio"]["before"], 70.0);
    EXPECT_EQ(check["figures"]["hit_ratio"]["after"], 90.0);
    EXPECT_EQ(check["figures"]["hit_ratio"]["verdict"], "better");
    EXPECT_EQ(check["figures"]["sync_read_rate"]["good"], "lower");
    EXPECT_EQ(check["figures"]["getpages_per_second"]["verdict"], "unrated");
    EXPECT_EQ(check["figures"]["dmth_hits"]["verdict"], "unrated");
    const auto& prediction = check["prediction"];
    EXPECT_EQ(prediction["source"], "simulation");
    EXPECT_EQ(prediction["report"].dump(), h.Id(h.series.lastBefore));
    EXPECT_EQ(prediction["size"], h.series.sizeAfter);
    EXPECT_TRUE(prediction["hit_ratio"].is_number());
    EXPECT_EQ(prediction["measured_hit_ratio"], 90.0);
    EXPECT_TRUE(prediction["met"].is_boolean());
    EXPECT_EQ(prediction["hit_ratio_tolerance_points"], 5.0);

    const auto text = RunReport("--history " + h.db + " --trend --pool BP1");
    const std::string change =
        "BP1: VPSIZE " + std::to_string(h.series.sizeBefore) + " -> " + std::to_string(h.series.sizeAfter);
    EXPECT_NE(text.out.find("\nSetting changes:\n  " + change + ", between report"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("compared at the same hours"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Hit Ratio"), std::string::npos);
    EXPECT_NE(text.out.find("prediction (simulation of report " + h.Id(h.series.lastBefore) + ")"), std::string::npos);
    const auto csv = RunReport("--history " + h.db + " --trend --pool BP1 --csv");
    EXPECT_EQ(csv.out.find("Setting changes"), std::string::npos) << "CSV is the table alone";
}

TEST(OrnexaReportChangeCheck, ACompareThatStraddlesTheChangeChecksIt) {
    const ChangeHistory h;
    const std::string first = h.Id(h.series.files.front().collectedAt);
    const std::string last = h.Id(h.series.files.back().collectedAt);
    const auto straddling =
        nlohmann::json::parse(RunReport("--history " + h.db + " --compare " + first + " " + last + " --json").out);
    ASSERT_EQ(straddling["setting_changes"].size(), 1U);
    EXPECT_EQ(straddling["setting_changes"][0]["intervals"], "same_hours");
    EXPECT_FALSE(straddling["pools"].empty()) << "the comparison stays";

    const auto oneSide = nlohmann::json::parse(
        RunReport("--history " + h.db + " --compare " + first + " " + h.Id(h.series.lastBefore) + " --json").out);
    EXPECT_TRUE(oneSide["setting_changes"].is_array());
    EXPECT_TRUE(oneSide["setting_changes"].empty());

    const auto files = nlohmann::json::parse(RunReport("--compare " + h.series.files.front().statistics.string() + " " +
                                                       h.series.files.back().statistics.string() + " --json")
                                                 .out);
    EXPECT_TRUE(files["setting_changes"].is_null()) << "two files have no history to check";

    const auto text = RunReport("--history " + h.db + " --compare " + first + " " + last);
    EXPECT_NE(text.out.find("\nSetting changes:\n  BP1: VPSIZE"), std::string::npos) << text.out;
    const auto noChange = RunReport("--history " + h.db + " --compare " + first + " " + h.Id(h.series.lastBefore));
    EXPECT_EQ(noChange.out.find("Setting changes"), std::string::npos);
}

} // namespace
} // namespace ornexa
