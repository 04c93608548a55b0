// ornexa-report's history commands over intervals of Db2's display output: what the display does not
// give is null in the documents, never a zero.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "display_writer.h"
#include "history/history_store.h"
#include "report/record_catalogue.h"
#include "report/shown_text.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::RunReport;

// A history holding the intervals of a series, the second with BP1 cut short before its getpages and
// pool size, as an import of the display file stores them.
struct DisplayHistory {
    DisplayHistory() {
        samplegen::DisplaySampleOptions series;
        series.series = 4;
        std::vector<Report> reports = test::DisplayReports(series);
        Db2PoolFacts& cut = reports[1].Db2Display->pools[1];
        cut.complete = false;
        cut.given.reset(FieldIndex<PoolRecord>(PoolCatalogue(), "PoolGetPages"));
        cut.given.reset(FieldIndex<PoolRecord>(PoolCatalogue(), "VPSize"));
        pool = ShownText(reports[1].Pools(2).PoolName);
        auto opened = HistoryStore::Open(db);
        EXPECT_TRUE(opened.Ok()) << opened.FaultText();
        StatReadResult read;
        read.outcome = StatReadOutcome::Loaded;
        const SimulationData none;
        for (const Report& report : reports) {
            EXPECT_EQ((*opened.value)->Import({report, read, none, "", "series.txt"}).status, ImportStatus::Imported);
        }
    }
    test::TempDir dir;
    std::string db = (dir.Path() / "history.db").string();
    std::string pool;
};

TEST(OrnexaReportDisplayHistory, TheListNamesTheKindAndLeavesOutWhatADisplayDoesNotGive) {
    const DisplayHistory h;
    const auto list = nlohmann::json::parse(RunReport("--history " + h.db + " --list --json").out);
    ASSERT_EQ(list["reports"].size(), 4U);
    for (const auto& report : list["reports"]) {
        EXPECT_EQ(report["kind"], "db2-display");
        EXPECT_TRUE(report["db2_version"].is_null());
        EXPECT_EQ(report["elapsed_seconds"], 900);
    }
    const std::string text = RunReport("--history " + h.db + " --list").out;
    EXPECT_NE(text.find("Db2 display"), std::string::npos) << text;
}

TEST(OrnexaReportDisplayHistory, ATrendHasAPointPerIntervalWithNullWhereTheDisplayGaveNoFigure) {
    const DisplayHistory h;
    const auto trend =
        nlohmann::json::parse(RunReport("--history " + h.db + " --trend --pool " + h.pool + " --json").out);
    ASSERT_EQ(trend["points"].size(), 4U);
    const auto& cut = trend["points"][1];
    EXPECT_TRUE(cut["getpages_per_second"].is_null());
    EXPECT_TRUE(cut["vpsize"].is_null());
    EXPECT_FALSE(cut["hit_ratio"].is_null());
    for (const std::size_t i : {0U, 2U, 3U}) {
        EXPECT_TRUE(trend["points"][i]["getpages_per_second"].is_number()) << i;
        EXPECT_TRUE(trend["points"][i]["change"].is_null()) << "a size not given is no change: " << i;
    }
    const std::string csv = RunReport("--history " + h.db + " --trend --pool " + h.pool + " --csv").out;
    EXPECT_EQ(csv.find(",0,"), std::string::npos) << csv;
}

TEST(OrnexaReportDisplayHistory, ACompareOfIntervalsSaysTheObjectsActivityIsNotInTheInput) {
    const DisplayHistory h;
    const auto compared = nlohmann::json::parse(RunReport("--history " + h.db + " --compare 1 2 --json").out);
    EXPECT_TRUE(compared["getpage_changes"].empty());
    EXPECT_TRUE(compared["sync_read_changes"].empty());
    bool said = false;
    for (const auto& note : compared["notes"]) {
        said = said || note.get<std::string>().find("not in a Db2 display") != std::string::npos;
    }
    EXPECT_TRUE(said) << compared["notes"].dump();
    for (const auto& pool : compared["pools"]) {
        if (pool["name"] == h.pool) {
            EXPECT_TRUE(pool["figures"]["getpages"]["after"].is_null());
            EXPECT_TRUE(pool["figures"]["getpages"]["difference"].is_null());
            EXPECT_TRUE(pool["figures"]["hit_ratio"]["after"].is_number());
        }
    }
}

TEST(OrnexaReportDisplayHistory, ImportsEveryIntervalOfADisplayFileOnceAndListsThem) {
    const test::TempDir dir;
    const std::string db = (dir.Path() / "history.db").string();
    samplegen::DisplaySampleOptions series;
    series.series = 4;
    const std::string display = dir.Write("display.txt", samplegen::WriteDisplaySample(series)).string();

    const test::Outcome first = RunReport("--history " + db + " --import " + display);
    EXPECT_EQ(first.exitCode, 0);
    EXPECT_EQ(first.out, "4 imported, 0 already present, 0 refused\ndisplay: " + display + ": 4 intervals\n");
    const test::Outcome again = RunReport("--history " + db + " --import " + display);
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(again.out, "0 imported, 4 already present, 0 refused\ndisplay: " + display + ": 4 intervals\n");

    const auto list = nlohmann::json::parse(RunReport("--history " + db + " --list --json").out);
    ASSERT_EQ(list["reports"].size(), 4U);
    const std::vector<std::string> times{"2026-12-08T08:00:00", "2026-12-08T08:15:00", "2026-12-08T08:30:00",
                                         "2026-12-08T08:45:00"};
    for (std::size_t i = 0; i < times.size(); ++i) {
        EXPECT_EQ(list["reports"][i]["collected"], times[i]);
        EXPECT_EQ(list["reports"][i]["subsystem"], "DB2A");
        EXPECT_EQ(list["reports"][i]["kind"], "db2-display");
    }
    const auto trend = nlohmann::json::parse(RunReport("--history " + db + " --trend --pool BP1 --json").out);
    EXPECT_EQ(trend["points"].size(), 4U);
}

} // namespace
} // namespace ornexa
