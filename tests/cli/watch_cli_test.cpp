// ornexa-report --watch as a user runs it: a process on a folder, ended by a signal; and the lines it writes.
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

#include "cli/watch_run.h"
#include "history/history_store.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa::cli {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";
// Generous: the machine may be busy; a passing run never waits this long.
constexpr auto Patience = 90s;

std::string ReadWhole(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// ornexa-report --watch in a process of its own, its output in a file.
class WatchProcess {
public:
    WatchProcess(const std::vector<std::string>& arguments, fs::path output) : output_(std::move(output)) {
        pid_ = fork();
        if (pid_ == 0) {
            const int fd = ::open(output_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
            // The site file of rating bounds is the test's own, or none.
            ::setenv("XDG_CONFIG_HOME", output_.parent_path().c_str(), 1); // NOLINT(concurrency-mt-unsafe)
            std::vector<char*> argv{
                const_cast<char*>(ORNEXA_REPORT_EXE)}; // NOLINT(cppcoreguidelines-pro-type-const-cast)
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str())); // NOLINT(cppcoreguidelines-pro-type-const-cast)
            }
            argv.push_back(nullptr);
            ::execv(ORNEXA_REPORT_EXE, argv.data());
            ::_exit(127);
        }
    }
    WatchProcess(const WatchProcess&) = delete;
    WatchProcess& operator=(const WatchProcess&) = delete;
    ~WatchProcess() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }

    // Waits for `part` in the output, as long as the process runs; whether it came.
    [[nodiscard]] bool Await(const std::string& part) const {
        const auto end = std::chrono::steady_clock::now() + Patience;
        while (std::chrono::steady_clock::now() < end) {
            if (Output().find(part) != std::string::npos) {
                return true;
            }
            if (::waitpid(pid_, nullptr, WNOHANG) != 0) {
                return Output().find(part) != std::string::npos;
            }
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    // Sends `signal` and waits for the end: the exit status, or -1 when a signal ended it.
    int Stop(int signal = SIGTERM) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    [[nodiscard]] std::string Output() const { return ReadWhole(output_); }
    // Whether the process holds `file` open.
    [[nodiscard]] bool Holds(const fs::path& file) const {
        std::error_code ec;
        for (fs::directory_iterator it("/proc/" + std::to_string(pid_) + "/fd", ec);
             !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code linkEc;
            if (fs::read_symlink(it->path(), linkEc) == file) {
                return true;
            }
        }
        return false;
    }

private:
    fs::path output_;
    pid_t pid_ = -1;
};

// Makes an empty file: a marker.
void Touch(const fs::path& path) {
    std::ofstream made(path);
}

std::vector<HistoryReportInfo> HeldReports(const fs::path& db) {
    auto store = HistoryStore::Open(db.string());
    EXPECT_TRUE(store.Ok()) << store.FaultText();
    auto reports = (*store.value)->Reports();
    EXPECT_TRUE(reports.Ok()) << reports.FaultText();
    return reports.Ok() ? *reports.value : std::vector<HistoryReportInfo>{};
}

TEST(WatchCli, AReportWrittenSlowlyIsImportedOnceCompleteAndSigtermEndsTheRunWithStatusZero) {
    const test::TempDir dir;
    const fs::path folder = dir.Path() / "in";
    fs::create_directory(folder);
    const fs::path db = dir.Path() / "h.db";
    WatchProcess watch({"--history", db.string(), "--watch", folder.string(), "--settle", "1s"}, dir.Path() / "out");
    ASSERT_TRUE(watch.Await("watching ")) << watch.Output();

    fs::copy_file(SimSample, folder / "mon.sim");
    const std::string text = ReadWhole(Sample);
    {
        std::ofstream out(folder / "mon.sta", std::ios::binary);
        const std::size_t piece = text.size() / 5 + 1;
        for (std::size_t at = 0; at < text.size(); at += piece) {
            out << text.substr(at, piece) << std::flush;
            std::this_thread::sleep_for(50ms); // the writer's pace, not an assertion
        }
    }
    ASSERT_TRUE(watch.Await("imported mon.sta: report ")) << watch.Output();
    ASSERT_TRUE(watch.Await("BP0 exception: System page residency time")) << watch.Output();
    EXPECT_EQ(watch.Stop(SIGTERM), 0) << watch.Output();
    EXPECT_NE(watch.Output().find("stopped\n"), std::string::npos);

    const auto reports = HeldReports(db);
    ASSERT_EQ(reports.size(), 1U);
    EXPECT_EQ(reports[0].pools, 9);
    EXPECT_EQ(reports[0].objects, 270);
    EXPECT_TRUE(reports[0].hasSimulation);
}

TEST(WatchCli, FilesPresentAtStartMarkersNoReportsAndCopiesEachTakeOneLine) {
    const test::TempDir dir;
    const fs::path folder = dir.Path() / "in";
    fs::create_directory(folder);
    const fs::path db = dir.Path() / "h.db";
    fs::copy_file(Sample, folder / "first.sta");
    std::ofstream(folder / "notes.txt") << "no report\n";
    // A long settle time: only the markers make these ready while the test waits.
    WatchProcess watch({"--history", db.string(), "--watch", folder.string(), "--settle", "3600s"}, dir.Path() / "out");
    ASSERT_TRUE(watch.Await("watching ")) << watch.Output();
    Touch(folder / "first.sta.done");
    ASSERT_TRUE(watch.Await("imported first.sta: report 1, SYSA DB2P collected 2026-11-30T10:15:00, 9 pools\n"))
        << watch.Output();
    Touch(folder / "notes.txt.done");
    ASSERT_TRUE(watch.Await("refused notes.txt: ")) << watch.Output();
    fs::copy_file(Sample, folder / "copy.sta");
    Touch(folder / "copy.sta.done");
    ASSERT_TRUE(watch.Await("copy.sta: already in the history (report 1)\n")) << watch.Output();
    EXPECT_EQ(watch.Stop(SIGINT), 0) << watch.Output();

    const std::string output = watch.Output();
    for (const char* once : {"refused notes.txt", "imported first.sta", "copy.sta: already"}) {
        EXPECT_EQ(output.find(once), output.rfind(once)) << once << " told more than once:\n" << output;
    }
    EXPECT_EQ(HeldReports(db).size(), 1U);
}

// A report large enough that the signal may well come while it is stored: the history then holds it
// whole, or not at all.
TEST(WatchCli, SigtermDuringAnImportLeavesTheReportWholeOrAbsent) {
    const test::TempDir dir;
    const fs::path folder = dir.Path() / "in";
    fs::create_directory(folder);
    const fs::path db = dir.Path() / "h.db";
    test::StatLines lines;
    lines.Header();
    constexpr int pools = 20;
    constexpr int objectsPerPool = 1000;
    for (int p = 0; p < pools; ++p) {
        lines.Pool("BP" + std::to_string(p));
    }
    for (int p = 0; p < pools; ++p) {
        for (int o = 0; o < objectsPerPool; ++o) {
            lines.Object("BP" + std::to_string(p), "DB" + std::to_string(p) + ".TS" + std::to_string(o));
        }
    }
    const fs::path written = dir.Write("big.sta", lines.Text());
    WatchProcess watch(
        {"--history", db.string(), "--watch", folder.string(), "--settle", "0s", "--max-objects", "100000"},
        dir.Path() / "out");
    ASSERT_TRUE(watch.Await("watching ")) << watch.Output();
    fs::rename(written, folder / "big.sta");
    // The signal as soon as the import is seen under way (the report open), or once it has ended.
    const fs::path big = fs::canonical(folder) / "big.sta";
    const auto end = std::chrono::steady_clock::now() + Patience;
    while (std::chrono::steady_clock::now() < end && !watch.Holds(big) &&
           watch.Output().find("big.sta") == std::string::npos) {
        std::this_thread::yield();
    }
    EXPECT_EQ(watch.Stop(SIGTERM), 0) << watch.Output();

    const auto reports = HeldReports(db);
    const bool told = watch.Output().find("imported big.sta") != std::string::npos;
    ASSERT_EQ(reports.size(), told ? 1U : 0U) << watch.Output();
    if (told) {
        EXPECT_EQ(reports[0].pools, pools);
        EXPECT_EQ(reports[0].objects, pools * objectsPerPool);
    }
}

TEST(WatchCli, PoolsAreRatedByTheSiteFileAndOneWithAFaultStopsTheRun) {
    const test::TempDir dir;
    const fs::path folder = dir.Path() / "in";
    fs::create_directories(dir.Path() / "ornexa");
    fs::create_directory(folder);
    const fs::path site = dir.Write("ornexa/ratings.toml", "[default]\nsystem_residency.exception = 5\n"
                                                           "system_residency.warning = 7\n");
    fs::copy_file(Sample, folder / "mon.sta");
    std::optional<WatchProcess> watch;
    watch.emplace(std::vector<std::string>{"--history", (dir.Path() / "h.db").string(), "--watch", folder.string(),
                                           "--settle", "0s"},
                  dir.Path() / "out");
    ASSERT_TRUE(watch->Await(", rated by " + site.string() + "\n")) << watch->Output();
    ASSERT_TRUE(watch->Await("BP32K exception: System page residency time 3.2 s < 5 s; Sequential page residency "
                             "time 3.2 s < 10 s\n"))
        << watch->Output();
    EXPECT_EQ(watch->Stop(), 0);
    EXPECT_EQ(watch->Output().find("BP1 "), std::string::npos) << watch->Output(); // 57.5 s: good by the file

    // The file --ratings names is read alone, in place of the user's good one.
    const fs::path given = dir.Write("given.toml", "[default]\nsystem_residency.warning = soon\n");
    watch.emplace(std::vector<std::string>{"--history", (dir.Path() / "h.db").string(), "--watch", folder.string(),
                                           "--ratings", given.string()},
                  dir.Path() / "out");
    EXPECT_TRUE(watch->Await(given.string() + ": line 2")) << watch->Output();
    EXPECT_EQ(watch->Stop(0), 1) << watch->Output();

    std::ofstream(site) << "[default]\nsystem_residency.warning = soon\n";
    watch.emplace(std::vector<std::string>{"--history", (dir.Path() / "h.db").string(), "--watch", folder.string()},
                  dir.Path() / "out");
    EXPECT_TRUE(watch->Await(site.string() + ": line 2")) << watch->Output();
    EXPECT_EQ(watch->Stop(0), 1) << watch->Output();
}

TEST(WatchRun, SettleTimesAsWritten) {
    const std::vector<std::pair<std::string, std::optional<std::chrono::milliseconds>>> cases{
        {"2s", 2000ms},       {"500ms", 500ms},   {"1.5s", 1500ms},        {"3", 3000ms},
        {"0s", 0ms},          {"3600s", 3600s},   {"3601s", std::nullopt}, {"-1s", std::nullopt},
        {"2h", std::nullopt}, {"", std::nullopt}, {"s", std::nullopt},     {"1,5s", std::nullopt}};
    for (const auto& [text, settle] : cases) {
        EXPECT_EQ(SettleOf(text), settle) << text;
    }
}

TEST(WatchRun, RatingLineNamesThePoolsWorstRatingsWithTheirBounds) {
    PoolRating pool;
    pool.poolName = "BP1";
    for (std::size_t k = 0; k < RatingKindCount; ++k) {
        pool.ratings[k].kind = static_cast<RatingKind>(k);
    }
    EXPECT_EQ(RatingLine(pool), std::nullopt); // nothing applies
    auto& system = pool.ratings[static_cast<std::size_t>(RatingKind::SystemResidency)];
    system = {RatingKind::SystemResidency, 42, {90, 60}, RatingVerdict::Exception, {}};
    auto& sync = pool.ratings[static_cast<std::size_t>(RatingKind::SyncReadRate)];
    sync = {RatingKind::SyncReadRate, 1234.56, {1000, 3000}, RatingVerdict::Warning, {}};
    EXPECT_EQ(RatingLine(pool), "BP1 exception: System page residency time 42 s < 60 s");
    system.verdict = RatingVerdict::Good;
    auto& hit = pool.ratings[static_cast<std::size_t>(RatingKind::RandomHitRatio)];
    hit = {RatingKind::RandomHitRatio, 75.25, {80, 50}, RatingVerdict::Warning, {}};
    EXPECT_EQ(RatingLine(pool), "BP1 warning: Random hit ratio 75.3 % < 80 %; Synchronous read I/O per second "
                                "1234.6/s > 1000/s");
    hit.verdict = sync.verdict = RatingVerdict::Good;
    EXPECT_EQ(RatingLine(pool), std::nullopt);
}

struct RefusedWatch {
    const char* arguments;
    const char* told;
};

TEST(WatchRun, CommandLinesRefused) {
    const test::TempDir dir;
    const std::string folder = dir.Path().string();
    const std::vector<RefusedWatch> cases{
        {"--watch DIR", "--watch requires --history"},
        {"--history h.db --watch DIR --import x.sta", "--import excludes --watch"},
        {"--history h.db --watch DIR --list", "--watch excludes --list"},
        {"--history h.db --watch DIR --json", "--watch: writes its lines as text; no --json or --csv"},
        {"--history h.db --import x.sta --settle 1s", "--settle requires --watch"},
        {"--history h.db --watch DIR --settle soon", "the settle time is 0 to 3600 seconds"},
        {"--history h.db --watch DIR/none", "--watch: Directory does not exist"},
        {"--history h.db --watch DIR --health", "--watch excludes --health"},
        {"--history h.db --list --ratings r.toml", "--ratings requires --health or --watch"},
    };
    for (const RefusedWatch& refused : cases) {
        std::string arguments = refused.arguments;
        for (std::size_t at; (at = arguments.find("DIR")) != std::string::npos;) {
            arguments.replace(at, 3, folder);
        }
        // As a user runs it: the exit status of wrong arguments and the reason on standard error.
        const test::Outcome run = test::RunReport(arguments, true);
        EXPECT_EQ(run.exitCode, 2) << arguments;
        EXPECT_NE(run.out.find(refused.told), std::string::npos) << arguments << ": " << run.out;
    }
}

} // namespace
} // namespace ornexa::cli
