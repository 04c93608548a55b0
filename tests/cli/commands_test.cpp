#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <set>
#include <string>
#include <sys/wait.h>

#include <nlohmann/json.hpp>

#include "run_report.h"

namespace ornexa {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";

using test::Outcome;
Outcome Report(const std::string& arguments) {
    return test::RunReport(arguments);
}

TEST(OrnexaReportCommands, WritesTheSamplesCommandsForTheHost) {
    const Outcome run = Report(Sample + " --sim " + SimSample + " --commands --pool BP1");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "-- Buffer pool changes written by ornexa.\n"
                       "\n-- Db2 commands\n-- BP1\n"
                       "-ALTER BUFFERPOOL(BP1) VPSEQT(25)\n"
                       "-ALTER BUFFERPOOL(BP1) VDWQT(0,0)\n"
                       "-ALTER BUFFERPOOL(BP1) VPSIZE(40000)\n"
                       "--   at 40000 buffers the system hit ratio goes from 85.9 % to 91.3 % and the read I/O rate "
                       "from 141.36/s to 87.05/s; it adds 80000 KB of real storage\n"
                       "--   rule 3: moving objects needs a choice of pools (see the cluster analysis); no command\n"
                       "\n-- SQL statements\n-- none\n");
    // Every pool without --pool; sequential usage changes the rules' commands.
    const Outcome all = Report(Sample + " --commands");
    EXPECT_NE(all.out.find("-- BP32K\n"), std::string::npos);
    EXPECT_EQ(all.out.find("VPSIZE"), std::string::npos); // no simulation, no size
    EXPECT_NE(Report(Sample + " --commands --usage S").out, all.out);
}

TEST(OrnexaReportCommands, RegroupWritesTheSqlAndRefusesAnotherPageSize) {
    const Outcome run = Report(Sample + " --sim " + SimSample + " --regroup BP20,BP8K1");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out.rfind("-- Moves the clusters of BP1", 0), 0U);
    EXPECT_NE(run.out.find("-- Cluster 1 to BP20\n"), std::string::npos);
    EXPECT_NE(run.out.find("-- Cluster 2: not moved: BP8K1 has pages of 8 KB"), std::string::npos);
    EXPECT_NE(run.out.find("FROM SYSIBM.SYSINDEXES WHERE DBNAME = "), std::string::npos);
    EXPECT_EQ(Report(Sample + " --sim " + SimSample + " --regroup ,").exitCode, 0); // the default targets
    EXPECT_EQ(Report(Sample + " --regroup BP20").exitCode, 2);                      // no simulation
    EXPECT_EQ(Report(Sample + " --commands --json").exitCode, 2);

    // In the JSON: the run under "regroup", its statements among the pool's commands.
    const auto doc = nlohmann::json::parse(Report(Sample + " --sim " + SimSample + " --regroup , --json").out);
    ASSERT_TRUE(doc.contains("regroup"));
    EXPECT_EQ(doc["regroup"]["name"], "BP1");
    bool cluster = false;
    for (const auto& pool : doc["analysis"]) {
        for (const auto& command : pool["commands"]) {
            cluster = cluster || (command["source"] == "cluster 1" && command["kind"] == "sql");
        }
    }
    EXPECT_TRUE(cluster);
}

TEST(OrnexaReportCommands, TheJsonHoldsMetricsAndCommandsOfEachPool) {
    const auto doc = nlohmann::json::parse(Report(Sample + " --sim " + SimSample + " --json").out);
    const std::set<std::string> kinds{"command", "sql"};
    for (const auto& pool : doc["analysis"]) {
        SCOPED_TRACE(pool["name"].get<std::string>());
        const auto& metrics = pool["metrics"];
        for (const char* key : {"getpages_per_second", "system_residency_seconds", "random_residency_seconds",
                                "sequential_residency_seconds", "updates_per_page_written", "verdict", "notes"}) {
            EXPECT_TRUE(metrics.contains(key)) << key;
        }
        EXPECT_TRUE(metrics["verdict"].is_null() || metrics["verdict"].is_string());
        EXPECT_EQ(pool["command_usage"], "R");
        for (const auto& command : pool["commands"]) {
            EXPECT_TRUE(kinds.contains(command["kind"].get<std::string>()));
            EXPECT_EQ(command["text"].get<std::string>().find("VPSIZE(0)"), std::string::npos);
        }
        EXPECT_EQ(pool["size_proposal"].is_null(), pool["name"] != "BP1");
    }
    const auto& bp1 = doc["analysis"][1];
    ASSERT_EQ(bp1["name"], "BP1");
    EXPECT_DOUBLE_EQ(bp1["metrics"]["system_residency_seconds"].get<double>(), 20000.0 * 5400 / 1877239);
    EXPECT_EQ(bp1["metrics"]["verdict"], "short");
    EXPECT_EQ(bp1["size_proposal"]["storage_kb"], 80000);
}

} // namespace
} // namespace ornexa
