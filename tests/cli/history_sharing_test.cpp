// Two programs on one history, as users run them: a list while another program holds an import's
// write, two imports of one file into a new server history at once, and a statement that waits longer
// than --history-timeout.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <latch>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "history/sql_database.h"
#include "history_backends.h"
#include "run_report.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::RunReport;

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

std::filesystem::path WriteReport(const test::TempDir& dir) {
    return dir.Write("a.sta", samplegen::StatisticsText(samplegen::BuildSampleReport(samplegen::SampleSeed)));
}

TEST(OrnexaReportSharedHistory, ListsAndTrendsRunWhileAnotherProgramHoldsAnImportsWrite) {
    const test::TempDir dir;
    const auto sta = WriteReport(dir);
    const std::string history = (dir.Path() / "h.db").string();
    ASSERT_EQ(RunReport("--history " + Quoted(history) + " --import " + sta.string()).exitCode, 0);

    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(history.c_str(), &raw), SQLITE_OK);
    const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> writer(raw, sqlite3_close);
    ASSERT_EQ(sqlite3_exec(writer.get(), "BEGIN IMMEDIATE; INSERT INTO object_names (name) VALUES ('BEING.WRITTEN')",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    const auto list = RunReport("--history " + Quoted(history) + " --list", true);
    EXPECT_EQ(list.exitCode, 0) << list.out;
    EXPECT_NE(list.out.find(sta.filename().string()), std::string::npos) << list.out;
    const auto trend = RunReport("--history " + Quoted(history) + " --trend --pool BP1", true);
    EXPECT_EQ(trend.exitCode, 0) << trend.out;
    EXPECT_EQ(trend.out.find("locked"), std::string::npos) << trend.out;
    sqlite3_exec(writer.get(), "ROLLBACK", nullptr, nullptr, nullptr);
}

TEST(OrnexaReportSharedHistory, TheTimeoutGoesWithAServerHistory) {
    const test::TempDir dir;
    const std::string file = Quoted((dir.Path() / "h.db").string());
    const std::vector<std::pair<std::string, std::string>> cases{
        {"--history " + file + " --history-timeout 5 --list", "goes with a PostgreSQL history"},
        {"--history-timeout 5 --list", "requires --history"},
        {"--history postgresql://db1/h --history-timeout 0 --list", "--history-timeout"},
        {"--history postgresql://db1/h --history-timeout soon --list", "--history-timeout"},
    };
    for (const auto& [arguments, reason] : cases) {
        const auto run = RunReport(arguments, true);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.out;
        EXPECT_NE(run.out.find(reason), std::string::npos) << arguments << ": " << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "h.db"));
    const auto help = RunReport("--help");
    EXPECT_NE(help.out.find("--history-timeout S"), std::string::npos) << help.out;
}

// On the server History.OnPostgreSQL starts (OrnexaReport.OnPostgreSQL runs them).
class OrnexaReportOnServer : public testing::TestWithParam<test::TestBackend> {
protected:
    test::TempDir tempDir;
};

TEST_P(OrnexaReportOnServer, TwoImportsOfOneFileIntoANewHistoryAtOnceBothSucceed) {
    const auto sta = WriteReport(tempDir);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string arguments =
            "--history " + Quoted(test::FreshLocation(GetParam(), tempDir.Path())) + " --import " + sta.string();
        std::vector<test::Outcome> runs(2);
        std::latch start(2);
        const auto import = [&](std::size_t which) {
            start.arrive_and_wait();
            runs[which] = RunReport(arguments, true);
        };
        std::thread first(import, 0);
        std::thread second(import, 1);
        first.join();
        second.join();
        std::vector<std::string> outputs{runs[0].out, runs[1].out};
        std::sort(outputs.begin(), outputs.end());
        EXPECT_EQ(outputs, (std::vector<std::string>{"0 imported, 1 already present, 0 refused\n",
                                                     "1 imported, 0 already present, 0 refused\n"}));
        EXPECT_EQ(runs[0].exitCode, 0);
        EXPECT_EQ(runs[1].exitCode, 0);
    }
}

TEST_P(OrnexaReportOnServer, AStatementWaitingLongerThanTheTimeoutEndsNamingIt) {
    const auto sta = WriteReport(tempDir);
    const std::string location = test::FreshLocation(GetParam(), tempDir.Path());
    ASSERT_EQ(RunReport("--history " + Quoted(location) + " --import " + sta.string()).exitCode, 0);
    // Another program holds the reports' table: a list waits for it, up to the timeout.
    const auto holder = OpenSqlDatabase(location);
    holder->Begin();
    holder->ExecuteScript("LOCK TABLE reports IN ACCESS EXCLUSIVE MODE");
    const auto list = RunReport("--history " + Quoted(location) + " --history-timeout 1 --list", true);
    holder->Rollback();
    EXPECT_EQ(list.exitCode, 1) << list.out;
    EXPECT_NE(list.out.find("timeout of 1 s"), std::string::npos) << list.out;
}

std::vector<test::TestBackend> ServerBackends() {
    const auto backends = test::BackendsUnderTest();
    return std::find(backends.begin(), backends.end(), test::TestBackend::Postgres) != backends.end()
               ? std::vector<test::TestBackend>{test::TestBackend::Postgres}
               : std::vector<test::TestBackend>{};
}

GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(OrnexaReportOnServer);
INSTANTIATE_TEST_SUITE_P(Server, OrnexaReportOnServer, testing::ValuesIn(ServerBackends()), test::BackendName);

} // namespace
} // namespace ornexa
