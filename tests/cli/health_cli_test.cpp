// ornexa-report --health: every pool of a report, or of the reports held, rated against the thresholds,
// and --fail-on telling a script by the exit status whether any rating reached its level.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line.h"
#include "cli/health_document.h"
#include "display_writer.h"
#include "history_backends.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

using test::RunReport;
using Json = nlohmann::json;

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";

std::string Quoted(const std::string& text) {
    return "'" + text + "'";
}

// A report of one pool whose system page residency time (120 pages x 600 s / 950 pages read, 75.8 s)
// is a warning and whose other ratings are good: no exception anywhere.
std::filesystem::path WarningOnlyReport(const test::TempDir& dir) {
    PoolRecord pool = test::TestPool("BP2");
    pool.VPSize = 120;
    return dir.Write("warning.sta", test::StatLines().Header().Pool(pool).Object("BP2", "TS1").Text());
}

// Four displays of subsystem DB2A, 08:00 to 08:45 on 2026-12-08.
std::filesystem::path DisplayFile(const test::TempDir& dir) {
    samplegen::DisplaySampleOptions options;
    options.series = 4;
    return dir.Write("display.txt", samplegen::WriteDisplaySample(options));
}

// The thresholds are the built-in ones, whatever site file the user running the tests has.
class OrnexaReportHealth : public testing::Test {
protected:
    void SetUp() override {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): before any program is started
        setenv("XDG_CONFIG_HOME", (std::filesystem::path(testing::TempDir()) / "no-config").c_str(), 1);
    }
};

const Json* RatingOf(const Json& pool, const std::string& key) {
    const auto& ratings = pool["ratings"];
    const auto found =
        std::find_if(ratings.begin(), ratings.end(), [&](const Json& rating) { return rating["key"] == key; });
    return found == ratings.end() ? nullptr : &*found;
}

TEST_F(OrnexaReportHealth, TheSampleRatesEveryPoolWithItsBoundsAndSaysWhyADisplayRatingDoesNotApply) {
    const auto run = RunReport(Sample + " --health --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const Json doc = Json::parse(run.out);
    EXPECT_EQ(doc["schema"], "ornexa-health/1");
    EXPECT_EQ(doc["source"], "report");
    ASSERT_EQ(doc["reports"].size(), 1U);
    EXPECT_TRUE(doc["reports"][0]["id"].is_null());
    EXPECT_EQ(doc["reports"][0]["collected"], "2026-11-30T10:15:00");
    EXPECT_EQ(doc["worst"], "exception");
    EXPECT_FALSE(doc["reached"]);

    // Ranked: the pools with an exception before BP2, whose worst is a warning.
    ASSERT_EQ(doc["pools"].size(), 9U);
    EXPECT_EQ(doc["pools"][8]["name"], "BP2");
    EXPECT_EQ(doc["pools"][8]["worst"], "warning");
    EXPECT_EQ(doc["pools"][8]["warnings"], 1);
    EXPECT_EQ(doc["pools"][8]["cells"], Json::array({"warning"}));
    EXPECT_EQ(doc["pools"][0]["exceptions"], 1);

    ASSERT_EQ(doc["ratings"].size(), 9U);
    const Json& bp2 = doc["ratings"][2];
    EXPECT_EQ(bp2["pool"], "BP2");
    EXPECT_EQ(bp2["number"], 3);
    ASSERT_EQ(bp2["ratings"].size(), 7U);
    const Json* residency = RatingOf(bp2, "system_residency");
    ASSERT_NE(residency, nullptr);
    EXPECT_NEAR((*residency)["value"].get<double>(), 87.43, 0.01);
    EXPECT_EQ((*residency)["verdict"], "warning");
    EXPECT_EQ((*residency)["warning"], 90);
    EXPECT_EQ((*residency)["exception"], 60);
    EXPECT_EQ((*residency)["worse_when"], "below");
    EXPECT_EQ((*residency)["unit"], "s");
    EXPECT_TRUE((*residency)["reason"].is_null());
    const Json* dmth = RatingOf(bp2, "dmth_hits");
    ASSERT_NE(dmth, nullptr);
    EXPECT_EQ((*dmth)["verdict"], "not_applicable");
    EXPECT_TRUE((*dmth)["value"].is_null());
    EXPECT_EQ((*dmth)["reason"], "only Db2's display output gives it");
}

TEST_F(OrnexaReportHealth, TextAndCsvHoldEveryRatingOfEveryPool) {
    const auto text = RunReport(Sample + " --health");
    ASSERT_EQ(text.exitCode, 0);
    EXPECT_NE(text.out.find("Health of " + Sample + " (SYSA DB2P, collected 2026-11-30T10:15:00)\n"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("BP2 (pool 3): Warning\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("87.43 s  Warning"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("only Db2's display output gives it"), std::string::npos);

    const auto csv = RunReport(Sample + " --health --csv");
    ASSERT_EQ(csv.exitCode, 0);
    EXPECT_EQ(csv.out.substr(0, csv.out.find('\n') + 1), "report_id,collected_at,pool,rating,value,verdict\r\n");
    EXPECT_EQ(std::count(csv.out.begin(), csv.out.end(), '\n'), 1 + 9 * 7);
    EXPECT_NE(csv.out.find(",2026-11-30T10:15:00,BP2,system_residency,87.4"), std::string::npos) << csv.out;
    EXPECT_NE(csv.out.find(",BP2,dmth_hits,,not_applicable\r\n"), std::string::npos) << csv.out;
}

TEST_F(OrnexaReportHealth, ADisplayIsRatedOnItsLastIntervalWithTheRatingsOnlyDb2Gives) {
    const test::TempDir dir;
    const auto run = RunReport(DisplayFile(dir).string() + " --health --json");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const Json doc = Json::parse(run.out);
    ASSERT_EQ(doc["reports"].size(), 1U);
    EXPECT_EQ(doc["reports"][0]["subsystem"], "DB2A");
    EXPECT_EQ(doc["reports"][0]["collected"], "2026-12-08T08:45:00");
    ASSERT_FALSE(doc["ratings"].empty());
    for (const Json& pool : doc["ratings"]) {
        for (const char* key : {"prefetch_disabled", "dmth_hits", "no_write_engine"}) {
            const Json* rating = RatingOf(pool, key);
            ASSERT_NE(rating, nullptr) << key;
            EXPECT_TRUE((*rating)["value"].is_number()) << pool["pool"] << " " << key;
            EXPECT_NE((*rating)["verdict"], "not_applicable") << pool["pool"] << " " << key;
        }
    }
}

TEST_F(OrnexaReportHealth, FailOnExitsFourOnlyWhenARatingReachesItsLevel) {
    const test::TempDir dir;
    const std::string warningOnly = WarningOnlyReport(dir).string();
    const struct {
        std::string arguments;
        int exitStatus;
    } cases[] = {
        {warningOnly + " --health", 0},
        {warningOnly + " --health --fail-on exception", 0},
        {warningOnly + " --health --fail-on warning", 4},
        {Sample + " --health --fail-on exception", 4},
        {Sample + " --health --fail-on warning --json", 4},
        {Sample + " --health --fail-on exception --csv", 4},
    };
    for (const auto& c : cases) {
        const auto run = RunReport(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitStatus) << c.arguments << "\n" << run.out;
        EXPECT_FALSE(run.out.empty()) << "the ratings are written whatever the status: " << c.arguments;
    }
    const Json doc = Json::parse(RunReport(warningOnly + " --health --fail-on warning --json").out);
    EXPECT_EQ(doc["fail_on"], "warning");
    EXPECT_TRUE(doc["reached"]);
    EXPECT_EQ(doc["worst"], "warning");
}

TEST_F(OrnexaReportHealth, TheRatingsFileGivenDecidesTheVerdictsAndOneThatCannotBeUsedRatesNothing) {
    const test::TempDir dir;
    const std::string warningOnly = WarningOnlyReport(dir).string();
    // 75.8 s is no longer below the warning bound.
    const std::string site = dir.Write("site.toml", "[default]\nsystem_residency.warning = 60\n").string();
    const auto run = RunReport(warningOnly + " --health --fail-on warning --json --ratings " + site);
    EXPECT_EQ(run.exitCode, 0) << run.out;
    const Json doc = Json::parse(run.out);
    EXPECT_EQ(doc["ratings_file"], site);
    EXPECT_EQ(doc["worst"], "good");
    EXPECT_EQ((*RatingOf(doc["ratings"][0], "system_residency"))["warning"], 60);
    EXPECT_NE(RunReport(warningOnly + " --health --ratings " + site).out.find("Thresholds: " + site + "\n"),
              std::string::npos);

    const std::string wrong = dir.Write("wrong.toml", "[default]\nsystem_residency.warning = fast\n").string();
    const std::string history = "--history " + (dir.Path() / "h.db").string();
    const std::string missing = (dir.Path() / "none.toml").string();
    const std::vector<std::string> refusedRuns{warningOnly + " --health --ratings " + wrong,
                                               history + " --health --ratings " + wrong,
                                               warningOnly + " --health --ratings " + missing};
    for (const std::string& arguments : refusedRuns) {
        const auto refused = RunReport(arguments + " 2>&1 >/dev/null #");
        EXPECT_EQ(refused.exitCode, 1) << arguments;
        EXPECT_EQ(refused.out.rfind("ornexa-report: nothing rated: the thresholds cannot be used\n", 0), 0U)
            << refused.out;
    }
    EXPECT_NE(RunReport(warningOnly + " --health --ratings " + wrong, true).out.find(wrong + ": line 2: "),
              std::string::npos);
}

TEST_F(OrnexaReportHealth, WrongArgumentsExitTwoSayingWhy) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {Sample + " --health --fail-on bogus", "--fail-on: bogus not in {warning,exception}"},
        {"--history h.db --health --since 2026-11-31",
         R"(--since: a date "2026-11-30" or a time "2026-11-30T10:15", not "2026-11-31")"},
        {"--history h.db --health --until 2026-11-30T24:00", "--until: a date"},
        {"--history h.db --health --since 30.11.2026", "--since: a date"},
        {"--history h.db --health --since 2026-12-01 --until 2026-11-30", "--since: is after --until"},
        {Sample + " --fail-on warning", "--fail-on requires --health"},
        {"--history h.db --list --since 2026-11-30", "--since requires --health"},
        {Sample + " --health --since 2026-11-30", "--since requires --history"},
        {Sample + " --health --pool BP1", "--pool: does not go with --health"},
        {Sample + " --health --csv pools", "--csv: takes no LIST with --health"},
        {"--history h.db --health --list", "excludes"},
        {"--history h.db --health --pool BP1", "--pool"},
        {"--history h.db --health " + Sample, "STATFILE"},
        {"--health", "STATFILE is required"},
    };
    for (const auto& [arguments, told] : cases) {
        const auto run = RunReport(arguments, true);
        EXPECT_EQ(run.exitCode, 2) << arguments << ": " << run.out;
        EXPECT_NE(run.out.find(told), std::string::npos) << arguments << ": " << run.out;
    }
    EXPECT_FALSE(std::filesystem::exists("h.db"));
    const auto help = RunReport("--help");
    EXPECT_NE(help.out.find("--fail-on LEVEL"), std::string::npos);
    EXPECT_NE(help.out.find("  4  --health --fail-on LEVEL"), std::string::npos);
}

// What the run is handed: the level, the site file kept for the ratings' reader, and the period as the
// history compares collection times.
TEST_F(OrnexaReportHealth, TheCommandLineKeepsTheLevelTheRatingsFileAndThePeriod) {
    const std::vector<const char*> argv{"ornexa-report", "--history",        "h.db",         "--health", "--fail-on",
                                        "warning",       "--ratings",        "site.ratings", "--since",  "2026-11-30",
                                        "--until",       "2026-12-01T10:15", "--subsystem",  "DB2P"};
    std::ostringstream out;
    std::ostringstream err;
    const cli::ParsedCommandLine parsed =
        cli::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), "9.9", out, err);
    ASSERT_TRUE(parsed.request.has_value()) << err.str();
    const cli::RunRequest& request = *parsed.request;
    EXPECT_EQ(request.mode, cli::Mode::HistoryHealth);
    EXPECT_EQ(request.health.failOn, RatingVerdict::Warning);
    EXPECT_EQ(request.health.ratingsFile, std::filesystem::path("site.ratings"));
    EXPECT_EQ(request.health.since, "2026-11-30T00:00:00");
    EXPECT_EQ(request.health.until, "2026-12-01T10:15:59");
    EXPECT_EQ(request.history.filter.subsystem, "DB2P");

    EXPECT_EQ(cli::HealthBound("2026-11-30", cli::BoundEnd::Last), "2026-11-30T23:59:59");
    EXPECT_EQ(cli::HealthBound("2026-11-30T10:15:30", cli::BoundEnd::Last), "2026-11-30T10:15:30");
    for (const char* wrong : {"2026-02-29", "2026-11-30T", "2026-11-30T9:15", "2026-11-30 10:15", "11/30/2026", ""}) {
        EXPECT_FALSE(cli::HealthBound(wrong, cli::BoundEnd::First)) << wrong;
    }
}

// Over the reports held: on SQLite, and on PostgreSQL when OrnexaReport.OnPostgreSQL runs it.
class OrnexaReportHealthHistory : public testing::TestWithParam<test::TestBackend> {
protected:
    void SetUp() override {
        // NOLINTNEXTLINE(concurrency-mt-unsafe): before any program is started
        setenv("XDG_CONFIG_HOME", (std::filesystem::path(testing::TempDir()) / "no-config").c_str(), 1);
        location = Quoted(test::FreshLocation(GetParam(), dir.Path()));
        const auto imported =
            RunReport("--history " + location + " --import " + DisplayFile(dir).string() + " " + Sample, true);
        ASSERT_EQ(imported.exitCode, 0) << imported.out;
    }
    [[nodiscard]] Json Document(const std::string& arguments) const {
        const auto run = RunReport("--history " + location + " --health --json " + arguments);
        EXPECT_EQ(run.exitCode, 0) << arguments;
        return Json::parse(run.out);
    }
    test::TempDir dir;
    std::string location;
};

TEST_P(OrnexaReportHealthHistory, ColumnsAreTheReportsHeldByTimeAndTheFilterNarrowsThem) {
    const Json all = Document("");
    EXPECT_EQ(all["source"], "history");
    EXPECT_TRUE(all["ratings"].is_null());
    ASSERT_EQ(all["reports"].size(), 5U);
    EXPECT_EQ(all["reports"][0]["collected"], "2026-11-30T10:15:00");
    EXPECT_EQ(all["reports"][4]["collected"], "2026-12-08T08:45:00");
    for (const Json& pool : all["pools"]) {
        EXPECT_EQ(pool["cells"].size(), 5U);
    }
    // BP10 is only in the monitor's report: absent from the displays' columns.
    const auto bp10 =
        std::find_if(all["pools"].begin(), all["pools"].end(), [](const Json& pool) { return pool["name"] == "BP10"; });
    ASSERT_NE(bp10, all["pools"].end());
    EXPECT_EQ((*bp10)["intervals"], 1);
    EXPECT_EQ((*bp10)["cells"][1], "absent");

    // A date takes its whole day; a time its whole minute.
    EXPECT_EQ(Document("--until 2026-11-30")["reports"].size(), 1U);
    const Json narrowed = Document("--subsystem DB2A --since 2026-12-08T08:15 --until 2026-12-08T08:30");
    ASSERT_EQ(narrowed["reports"].size(), 2U);
    EXPECT_EQ(narrowed["reports"][0]["collected"], "2026-12-08T08:15:00");
    EXPECT_EQ(narrowed["filter"]["since"], "2026-12-08T08:15:00");
    EXPECT_EQ(narrowed["filter"]["until"], "2026-12-08T08:30:59");
    EXPECT_EQ(Document("--since 2027-01-01")["reports"].size(), 0U);
}

TEST_P(OrnexaReportHealthHistory, TextCsvAndFailOnCoverEveryReportHeld) {
    const auto text = RunReport("--history " + location + " --health");
    ASSERT_EQ(text.exitCode, 0) << text.out;
    EXPECT_NE(text.out.find(": 5 reports, 2026-11-30T10:15:00 to 2026-12-08T08:45:00\n"), std::string::npos)
        << text.out;
    EXPECT_NE(text.out.find("Intervals that reached a warning or an exception"), std::string::npos);
    EXPECT_NE(text.out.find("10:15 exception (report "), std::string::npos) << text.out;
    // A mark per interval of the day: the four displays of 2026-12-08.
    EXPECT_TRUE(std::regex_search(text.out, std::regex("\n  2026-12-08  BP0 +[.wX-]{4}\n"))) << text.out;
    EXPECT_TRUE(std::regex_search(text.out, std::regex("\n  2026-11-30  BP10 +X\n"))) << text.out;

    const auto csv = RunReport("--history " + location + " --health --csv");
    ASSERT_EQ(csv.exitCode, 0);
    const Json all = Document("");
    std::size_t cells = 0;
    for (const Json& pool : all["pools"]) {
        cells += static_cast<std::size_t>(pool["intervals"].get<int>());
    }
    EXPECT_EQ(static_cast<std::size_t>(std::count(csv.out.begin(), csv.out.end(), '\n')), 1 + cells * 7);
    EXPECT_EQ(csv.out.find("report_id", 1), std::string::npos) << "one header line";

    EXPECT_EQ(RunReport("--history " + location + " --health --fail-on exception").exitCode, 4);
    EXPECT_EQ(RunReport("--history " + location + " --health --fail-on warning --json").exitCode, 4);
    EXPECT_EQ(RunReport("--history " + location + " --health --since 2027-01-01 --fail-on warning").exitCode, 0);
}

INSTANTIATE_TEST_SUITE_P(Server, OrnexaReportHealthHistory, testing::ValuesIn(test::BackendsUnderTest()),
                         test::BackendName);

} // namespace
} // namespace ornexa
