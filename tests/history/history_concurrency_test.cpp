// Two programs on one history: both open a new history at once, both import the same file at once, a
// reader runs while an import writes, and a history that may not be written is read. On a server: a
// connection lost between two imports, a server that cannot be reached again, a statement longer than
// the timeout and a server that stops answering.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "history/history_import.h"
#include "history/history_store.h"
#include "history/postgres_database.h"
#include "history_backends.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::TestBackend;

// Rounds of each race: every round starts both sides together on a new history.
constexpr int Rounds = 3;

Report Generated(std::string_view date, std::uint64_t seed) {
    Report report = samplegen::BuildSampleReport(seed);
    report.Header.CollectionDate = date;
    report.Header.CollectionTime = "10.15.00";
    return report;
}

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs `work(0)` and `work(1)` on two threads released together.
template <class Work> void AtOnce(Work work) {
    std::latch start(2);
    const auto side = [&](int which) {
        start.arrive_and_wait();
        work(which);
    };
    std::thread first(side, 0);
    std::thread second(side, 1);
    first.join();
    second.join();
}

class HistoryConcurrencyTest : public testing::TestWithParam<TestBackend> {
protected:
    std::filesystem::path Write(const std::string& name, const Report& report) {
        return tempDir.Write(name, samplegen::StatisticsText(report));
    }
    test::TempDir tempDir;
};

TEST_P(HistoryConcurrencyTest, TwoProgramsMakingOneNewHistoryAtOnceBothImport) {
    const std::vector<std::filesystem::path> files{Write("a.sta", Generated("2026-12-01", 11)),
                                                   Write("b.sta", Generated("2026-12-02", 12))};
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string location = test::FreshLocation(GetParam(), tempDir.Path());
        std::vector<std::string> outcomes(2);
        AtOnce([&](int side) {
            const auto opened = HistoryStore::Open(location);
            auto& told = outcomes[static_cast<std::size_t>(side)];
            if (!opened.Ok()) {
                told = opened.FaultText();
                return;
            }
            const ImportOutcome outcome = ImportReportFile(**opened.value, files[static_cast<std::size_t>(side)]);
            told = outcome.status == ImportStatus::Imported ? "imported" : outcome.message;
        });
        EXPECT_EQ(outcomes, (std::vector<std::string>{"imported", "imported"}));
        EXPECT_EQ((*HistoryStore::Open(location).value)->Reports().value->size(), 2U);
    }
}

TEST_P(HistoryConcurrencyTest, TheSameFileImportedTwiceAtOnceIsKeptOnceAndTheOtherIsAlreadyPresent) {
    const std::filesystem::path file = Write("a.sta", Generated("2026-12-01", 11));
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string location = test::FreshLocation(GetParam(), tempDir.Path());
        ASSERT_TRUE(HistoryStore::Open(location).Ok());
        std::vector<ImportOutcome> outcomes(2);
        AtOnce([&](int side) {
            const auto opened = HistoryStore::Open(location);
            auto& outcome = outcomes[static_cast<std::size_t>(side)];
            if (opened.Ok()) {
                outcome = ImportReportFile(**opened.value, file);
            } else {
                outcome.message = opened.FaultText();
            }
        });
        std::vector<ImportStatus> statuses{outcomes[0].status, outcomes[1].status};
        std::sort(statuses.begin(), statuses.end());
        EXPECT_EQ(statuses, (std::vector<ImportStatus>{ImportStatus::Imported, ImportStatus::AlreadyPresent}))
            << outcomes[0].message << " / " << outcomes[1].message;
        EXPECT_EQ(outcomes[0].reportId, outcomes[1].reportId);
        const auto reports = (*HistoryStore::Open(location).value)->Reports();
        ASSERT_TRUE(reports.Ok()) << reports.FaultText();
        ASSERT_EQ(reports.value->size(), 1U);
        EXPECT_EQ(reports.value->front().id, outcomes[0].reportId);
    }
}

// One program imports the report alone, the other with its Simulation report: whichever stores the
// report, the simulation is kept with it.
TEST_P(HistoryConcurrencyTest, TheSameReportImportedAtOnceAloneAndWithItsSimulationKeepsTheSimulation) {
    const samplegen::SimSample sample = samplegen::BuildSimulation(samplegen::BuildSampleReport(), "BP1", 31);
    const auto statistics = tempDir.Write("day1.sta", samplegen::StatisticsText(sample.report));
    const auto simulation =
        tempDir.Write("day1.sim", samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
    for (int round = 0; round < Rounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::string location = test::FreshLocation(GetParam(), tempDir.Path());
        ASSERT_TRUE(HistoryStore::Open(location).Ok());
        std::vector<ImportOutcome> outcomes(2);
        AtOnce([&](int side) {
            const auto opened = HistoryStore::Open(location);
            auto& outcome = outcomes[static_cast<std::size_t>(side)];
            if (opened.Ok()) {
                outcome = ImportReportFile(**opened.value, statistics, side == 1 ? simulation.string() : "");
            } else {
                outcome.message = opened.FaultText();
            }
        });
        EXPECT_NE(outcomes[0].status, ImportStatus::Refused) << outcomes[0].message;
        EXPECT_NE(outcomes[1].status, ImportStatus::Refused) << outcomes[1].message;
        EXPECT_EQ(outcomes[0].reportId, outcomes[1].reportId);
        const auto reports = (*HistoryStore::Open(location).value)->Reports();
        ASSERT_TRUE(reports.Ok()) << reports.FaultText();
        ASSERT_EQ(reports.value->size(), 1U);
        EXPECT_TRUE(reports.value->front().hasSimulation);
    }
}

// The writer holds its transaction open, as an import does while it writes: the reader opens the
// history, lists, loads and follows a pool meanwhile. Waiting for the writer would end in "database is
// locked" after the busy timeout.
TEST_P(HistoryConcurrencyTest, AReaderReadsWhileAnImportHoldsItsWrite) {
    const std::string location = test::FreshLocation(GetParam(), tempDir.Path());
    std::int64_t id = 0;
    {
        auto store = *HistoryStore::Open(location).value;
        const ImportOutcome outcome = ImportReportFile(*store, Write("a.sta", Generated("2026-12-01", 11)));
        ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
        id = outcome.reportId;
    }
    const std::unique_ptr<SqlDatabase> writer = OpenSqlDatabase(location);
    writer->Begin();
    writer->Query("INSERT INTO object_names (name) VALUES (?)", {std::string("BEING.WRITTEN")});

    const auto opened = HistoryStore::Open(location);
    ASSERT_TRUE(opened.Ok()) << opened.FaultText();
    const auto& reader = *opened.value;
    const auto reports = reader->Reports();
    ASSERT_TRUE(reports.Ok()) << reports.FaultText();
    EXPECT_EQ(reports.value->size(), 1U);
    const auto loaded = reader->Load(id);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
    EXPECT_GT(loaded.value->report.ObjectCount(), 0);
    const auto trend = reader->PoolTrend("BP1");
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    // What the writer has not committed is not seen.
    EXPECT_TRUE(reader->ObjectNames("BEING.WRITTEN", 10).value->empty());
    writer->Rollback();
}

INSTANTIATE_TEST_SUITE_P(Backends, HistoryConcurrencyTest, testing::ValuesIn(test::BackendsUnderTest()),
                         test::BackendName);

// A history the user may not write: a file of mode 444 in a folder of mode 555.
class ReadOnlyHistoryTest : public testing::Test {
protected:
    void SetUp() override {
        // Another user must reach the folder; the history's own folder is the read-only one.
        std::filesystem::permissions(tempDir.Path(), std::filesystem::perms(0755));
        shelfDir = tempDir.Path() / "shelf";
        std::filesystem::create_directory(shelfDir);
        historyPath = (shelfDir / "history.db").string();
        reportPath = tempDir.Write("a.sta", samplegen::StatisticsText(Generated("2026-12-01", 11)));
        auto store = *HistoryStore::Open(historyPath).value;
        const ImportOutcome outcome = ImportReportFile(*store, reportPath.string());
        ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
        store.reset();
        ASSERT_FALSE(std::filesystem::exists(historyPath + "-wal"));
        std::filesystem::permissions(historyPath, std::filesystem::perms(0444));
        std::filesystem::permissions(shelfDir, std::filesystem::perms(0555));
    }
    void TearDown() override { std::filesystem::permissions(shelfDir, std::filesystem::perms(0755)); }

    // What a program that reads the history finds: the number of reports, or the fault.
    [[nodiscard]] std::string Listed() const {
        const auto opened = HistoryStore::Open(historyPath);
        if (!opened.Ok()) {
            return opened.FaultText();
        }
        const auto reports = (*opened.value)->Reports();
        return reports.Ok() ? std::to_string(reports.value->size()) + " held" : reports.FaultText();
    }

    test::TempDir tempDir;
    std::filesystem::path shelfDir;
    std::string historyPath;
    std::filesystem::path reportPath;
};

// Run by a user the modes stop (the superuser runs it as "nobody"), in a process of its own: it cannot
// make the journal files a reader otherwise makes beside a history.
TEST_F(ReadOnlyHistoryTest, IsListedByAUserWhoMayNotWriteIt) {
    const std::string before = ReadWhole(historyPath);
    std::array<int, 2> pipe{};
    ASSERT_EQ(::pipe(pipe.data()), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipe[0]);
        constexpr uid_t nobody = 65534;
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            std::_Exit(3);
        }
        const std::string found = Listed();
        const bool written = ::write(pipe[1], found.data(), found.size()) == static_cast<ssize_t>(found.size());
        std::_Exit(written ? 0 : 4);
    }
    ::close(pipe[1]);
    std::string found;
    std::array<char, 512> buffer{};
    for (ssize_t n = 0; (n = ::read(pipe[0], buffer.data(), buffer.size())) > 0;) {
        found.append(buffer.data(), static_cast<std::size_t>(n));
    }
    ::close(pipe[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(found, "1 held");
    EXPECT_TRUE(ReadWhole(historyPath) == before) << "the history's bytes changed";
    EXPECT_FALSE(std::filesystem::exists(historyPath + "-wal"));
}

// The superuser may write any file; the modes say the history is not to be written, and it is not.
TEST_F(ReadOnlyHistoryTest, IsReadAndAWriteIsRefusedNamingTheFile) {
    const std::string before = ReadWhole(historyPath);
    EXPECT_EQ(Listed(), "1 held");
    auto store = *HistoryStore::Open(historyPath).value;
    const auto loaded = store->Load(store->Reports().value->front().id);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();

    const auto other = tempDir.Write("b.sta", samplegen::StatisticsText(Generated("2026-12-02", 12)));
    const ImportOutcome outcome = ImportReportFile(*store, other.string());
    EXPECT_EQ(outcome.status, ImportStatus::Refused);
    EXPECT_NE(outcome.message.find("\"" + historyPath + "\" is read-only"), std::string::npos) << outcome.message;
    const auto removed = store->Remove(1);
    EXPECT_NE(removed.FaultText().find("is read-only"), std::string::npos) << removed.FaultText();
    store.reset();
    EXPECT_TRUE(ReadWhole(historyPath) == before) << "the history's bytes changed";

    // A history that is read-only only by its folder is read-only too.
    std::filesystem::permissions(shelfDir, std::filesystem::perms(0755));
    std::filesystem::permissions(historyPath, std::filesystem::perms(0644));
    std::filesystem::permissions(shelfDir, std::filesystem::perms(0555));
    EXPECT_EQ(ImportReportFile(**HistoryStore::Open(historyPath).value, other.string()).status, ImportStatus::Refused);
}

// The server's own failures: a second connection ends the store's connection, closes the database or
// stops the process that serves it.
class HistoryServerTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        serverLocation = test::FreshLocation(GetParam(), tempDir.Path());
        adminDb = OpenPostgresDatabase(std::getenv("ORNEXA_TEST_POSTGRES_URI")); // NOLINT(concurrency-mt-unsafe)
    }
    std::shared_ptr<HistoryStore> Opened(std::chrono::seconds timeout = DefaultHistoryTimeout) {
        auto opened = HistoryStore::Open(serverLocation, timeout);
        if (!opened.Ok()) {
            ADD_FAILURE() << opened.FaultText();
            return nullptr;
        }
        databaseName =
            std::get<std::string>((*opened.value)->Database().Query("SELECT current_database()").at(0).at(0));
        return *opened.value;
    }
    // Ends every connection to the history's database, as a restarted server or a cut network would.
    void EndConnections() {
        adminDb->Query("SELECT pg_terminate_backend(pid, 10000) FROM pg_stat_activity WHERE datname = ?",
                       {databaseName});
    }
    std::filesystem::path Write(const std::string& name, const Report& report) {
        return tempDir.Write(name, samplegen::StatisticsText(report));
    }

    test::TempDir tempDir;
    std::string serverLocation;
    std::string databaseName;
    std::unique_ptr<SqlDatabase> adminDb;
};

TEST_P(HistoryServerTest, AConnectionLostBetweenImportsIsMadeAgain) {
    const auto store = Opened();
    ASSERT_NE(store, nullptr);
    std::vector<std::filesystem::path> files;
    for (int i = 1; i <= 3; ++i) {
        files.push_back(Write("r" + std::to_string(i) + ".sta", Generated("2026-12-0" + std::to_string(i), 20 + i)));
    }
    const ImportSummary summary = RunImport(*store, PlanImport(files), [&](int number, int, const auto&) {
        if (number > 1) {
            EndConnections();
        }
    });
    EXPECT_EQ(ImportSummaryText(summary), "3 imported, 0 already present, 0 refused\n");
}

TEST_P(HistoryServerTest, AServerThatCannotBeReachedAgainIsSaidToBeLost) {
    const auto store = Opened();
    ASSERT_NE(store, nullptr);
    const auto file = Write("a.sta", Generated("2026-12-01", 11));
    adminDb->ExecuteScript("ALTER DATABASE " + databaseName + " ALLOW_CONNECTIONS false");
    EndConnections();
    const ImportOutcome lost = ImportReportFile(*store, file);
    adminDb->ExecuteScript("ALTER DATABASE " + databaseName + " ALLOW_CONNECTIONS true");
    EXPECT_EQ(lost.status, ImportStatus::Refused);
    EXPECT_NE(lost.message.find("was lost and could not be made again"), std::string::npos) << lost.message;
    // Once the server takes connections again, so does the store.
    const ImportOutcome again = ImportReportFile(*store, file);
    EXPECT_EQ(again.status, ImportStatus::Imported) << again.message;
}

TEST_P(HistoryServerTest, AStatementLongerThanTheTimeoutIsEndedAndTheConnectionGoesOn) {
    const auto store = Opened(std::chrono::seconds(1));
    ASSERT_NE(store, nullptr);
    const auto backend = store->Database().Query("SELECT pg_backend_pid()");
    try {
        store->Database().Query("SELECT pg_sleep(30)");
        ADD_FAILURE() << "the statement was not ended";
    } catch (const SqlError& error) {
        EXPECT_NE(std::string(error.what()).find("timeout of 1 s"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(store->Reports().Ok());
    EXPECT_EQ(store->Database().Query("SELECT pg_backend_pid()"), backend);
}

TEST_P(HistoryServerTest, AServerThatStopsAnsweringIsGivenUpAfterTheTimeout) {
    const auto store = Opened(std::chrono::seconds(1));
    ASSERT_NE(store, nullptr);
    const auto backend =
        static_cast<pid_t>(std::get<std::int64_t>(store->Database().Query("SELECT pg_backend_pid()").at(0).at(0)));
    // The process that serves the store stops; it goes on whatever this test ends in.
    ASSERT_EQ(::kill(backend, SIGSTOP), 0);
    struct Continued {
        explicit Continued(pid_t stopped) : pid(stopped) {}
        pid_t pid;
        Continued(const Continued&) = delete;
        Continued& operator=(const Continued&) = delete;
        Continued(Continued&&) = delete;
        Continued& operator=(Continued&&) = delete;
        ~Continued() { ::kill(pid, SIGCONT); }
    } continued{backend};
    const auto stopped = store->Reports();
    ASSERT_FALSE(stopped.Ok());
    EXPECT_NE(stopped.FaultText().find("did not answer within 1 s"), std::string::npos) << stopped.FaultText();
    ::kill(backend, SIGCONT);
    // The next statement goes through a new connection.
    const auto again = store->Reports();
    EXPECT_TRUE(again.Ok()) << again.FaultText();
}

std::vector<TestBackend> ServerBackends() {
    const auto backends = test::BackendsUnderTest();
    return std::find(backends.begin(), backends.end(), TestBackend::Postgres) != backends.end()
               ? std::vector<TestBackend>{TestBackend::Postgres}
               : std::vector<TestBackend>{};
}

// Run by History.OnPostgreSQL, on the server it starts.
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(HistoryServerTest);
INSTANTIATE_TEST_SUITE_P(Server, HistoryServerTest, testing::ValuesIn(ServerBackends()), test::BackendName);

} // namespace
} // namespace ornexa
