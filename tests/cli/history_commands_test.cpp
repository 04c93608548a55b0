#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

#include <nlohmann/json.hpp>

#include "run_report.h"

#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::Outcome;
using test::RunReport;

// Three reports of one system a day apart; the second grows BP1 and moves an object of BP1 to BP2.
struct Samples {
    test::TempDir dir;
    std::string db = (dir.Path() / "history.db").string();
    std::filesystem::path folder = dir.Path() / "reports";
    std::array<Report, 3> reports;

    Samples() {
        std::filesystem::create_directories(folder / "later");
        const std::array<const char*, 3> dates{"2026-11-28", "2026-11-29", "2026-11-30"};
        for (std::size_t i = 0; i < reports.size(); ++i) {
            // The first two of one seed, so that the object planted in another pool is the one moved.
            reports[i] = samplegen::BuildSampleReport(samplegen::SampleSeed + (i == 2 ? 2 : 0));
            reports[i].Header.CollectionDate = dates[i];
        }
        reports[1].Pools(2).VPSize = 30000;
        reports[1].Objects(reports[1].Pools(2).FirstObject).ObjPoolName = "BP2";
        samplegen::WriteTextFile(folder / "a.sta", samplegen::StatisticsText(reports[0]));
        samplegen::WriteTextFile(folder / "b.sta", samplegen::StatisticsText(reports[1]));
        samplegen::WriteTextFile(folder / "later" / "c.sta", samplegen::StatisticsText(reports[2]));
        samplegen::WriteTextFile(folder / "notes.txt", "not a report\n");
    }
};

TEST(OrnexaReportHistory, ImportsAFolderOnceAndRefusesWhatIsNoReport) {
    const Samples s;
    const Outcome first = RunReport("--history " + s.db + " --import " + s.folder.string());
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, "3 imported, 0 already present, 0 refused, 1 skipped\n");
    const Outcome again = RunReport("--history " + s.db + " --import " + s.folder.string());
    EXPECT_EQ(again.out, "0 imported, 3 already present, 0 refused, 1 skipped\n");
    const Outcome named = RunReport("--history " + s.db + " --import " + (s.folder / "notes.txt").string());
    EXPECT_EQ(named.exitCode, 1);
    EXPECT_EQ(named.out.rfind(
                  "0 imported, 0 already present, 1 refused\nrefused: " + (s.folder / "notes.txt").string() + ": ", 0),
              0U)
        << named.out;
    EXPECT_NE(RunReport("--history " + s.dir.Path().string() + " --list", true).out.find("cannot open the history"),
              std::string::npos);
}

TEST(OrnexaReportHistory, ListsAndFollowsAPoolWithItsSizeChange) {
    const Samples s;
    ASSERT_EQ(RunReport("--history " + s.db + " --import " + s.folder.string()).exitCode, 0);
    const auto list = nlohmann::json::parse(RunReport("--history " + s.db + " --list --json").out);
    EXPECT_EQ(list["schema"], "ornexa-history/1");
    ASSERT_EQ(list["reports"].size(), 3U);
    EXPECT_EQ(list["reports"][0]["collected"], "2026-11-28T10:15:00");
    EXPECT_EQ(RunReport("--history " + s.db + " --list --system NONE --json").out.find("\"id\""), std::string::npos);

    const auto trend = nlohmann::json::parse(RunReport("--history " + s.db + " --trend --pool BP1 --json").out);
    EXPECT_EQ(trend["schema"], "ornexa-trend/1");
    ASSERT_EQ(trend["points"].size(), 3U);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(trend["points"][i]["vpsize"], s.reports[i].Pools(2).VPSize);
    }
    EXPECT_TRUE(trend["points"][0]["change"].is_null());
    EXPECT_EQ(trend["points"][1]["change"], "VPSIZE 20000 -> 30000");
    EXPECT_EQ(trend["points"][2]["change"], "VPSIZE 30000 -> 20000");
    const double seconds = static_cast<double>(s.reports[0].ElapsedSeconds);
    if (seconds > 0) {
        EXPECT_DOUBLE_EQ(trend["points"][0]["getpages_per_second"].get<double>(),
                         static_cast<double>(s.reports[0].Pools(2).PoolGetPages) / seconds);
    }
}

TEST(OrnexaReportHistory, ComparesFilesAndIdsAlike) {
    const Samples s;
    ASSERT_EQ(RunReport("--history " + s.db + " --import " + s.folder.string()).exitCode, 0);
    const auto files = nlohmann::json::parse(
        RunReport("--compare " + (s.folder / "a.sta").string() + " " + (s.folder / "b.sta").string() + " --json").out);
    const auto ids = nlohmann::json::parse(RunReport("--history " + s.db + " --compare 1 2 --json").out);
    EXPECT_EQ(files["schema"], "ornexa-compare/1");
    for (const char* key : {"pools", "object_moves", "getpage_changes", "sync_read_changes", "notes"}) {
        EXPECT_EQ(files[key], ids[key]) << key;
    }
    EXPECT_EQ(ids["before"]["id"], 1);
    EXPECT_TRUE(files["before"]["id"].is_null());
    bool moved = false;
    for (const auto& move : files["object_moves"]) {
        moved = moved || (move["kind"] == "moved" && move["pool_before"] == "BP1" && move["pool_after"] == "BP2");
    }
    EXPECT_TRUE(moved);
    EXPECT_EQ(
        RunReport("--compare " + (s.folder / "notes.txt").string() + " " + (s.folder / "a.sta").string()).exitCode, 1);
}

TEST(OrnexaReportHistory, WrongCombinationsAreUsageErrors) {
    const Samples s;
    const std::string sta = (s.folder / "a.sta").string();
    const std::vector<std::string> wrong{
        "--import " + sta,                                     // no history
        "--list",                                              // no history
        "--history " + s.db,                                   // no command
        "--history " + s.db + " --trend",                      // no pool
        "--history " + s.db + " --list --import " + sta,       // two commands
        "--history " + s.db + " --list " + sta,                // a report file too
        "--compare 1 2",                                       // ids without a history
        "--history " + s.db + " --compare " + sta + " " + sta, // files with a history
        "--history " + s.db + " --import " + sta + " --json",  // the summary is text
        "--history " + s.db + " --list --csv pools",           // no list name here
        "--history " + s.db + " --list --sim x.sim",           // an analysis option
        "",                                                    // no STATFILE at all
    };
    for (const std::string& arguments : wrong) {
        EXPECT_EQ(RunReport(arguments).exitCode, 2) << arguments;
    }
}

} // namespace
} // namespace ornexa
