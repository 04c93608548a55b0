// ornexa-report's command line: the mode each command line asks for, and every refused combination told
// with the text and exit status the program has always given it.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/option_rules.h"
#include "run_report.h"

namespace ornexa::cli {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";

struct Parsed {
    ParsedCommandLine line;
    std::string out;
    std::string err;
};

// The arguments split at blanks, as a shell would split them.
Parsed Parse(const std::string& arguments) {
    std::vector<std::string> words{"ornexa-report"};
    std::istringstream split(arguments);
    for (std::string word; split >> word;) {
        words.push_back(word);
    }
    std::vector<const char*> argv;
    argv.reserve(words.size());
    for (const std::string& word : words) {
        argv.push_back(word.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    ParsedCommandLine line = ParseCommandLine(static_cast<int>(argv.size()), argv.data(), "9.9", out, err);
    return {std::move(line), out.str(), err.str()};
}

struct RefusedCase {
    const char* arguments;
    int exitStatus;
    const char* told; // on standard error, before the hint that follows every usage error
};

std::string Told(const RefusedCase& refused) {
    return std::string(refused.told) + "Run with --help for more information.\n";
}

// Each refused combination as the program told it before its command line became a request: the pairs
// refused while parsing, then the table's rows; where several apply, the one told first.
const RefusedCase RefusedCases[] = {
    {"s.sta --json --commands", 2, "--json excludes --commands\n"},
    {"s.sta --commands --csv pools", 2, "--commands excludes --csv\n"},
    {"s.sta --json --csv pools", 2, "--json excludes --csv\n"},
    {"s.sta --sim b.sim --regroup BP2 --export-clusters /tmp/o.clu", 2, "--export-clusters excludes --regroup\n"},
    {"s.sta --sim b.sim --regroup BP2 --export-indexes /tmp", 2, "--export-indexes excludes --regroup\n"},
    {"s.sta --csv pools --export-clusters /tmp/o.clu", 2, "--export-clusters excludes --csv\n"},
    {"s.sta --csv pools --export-indexes /tmp", 2, "--export-indexes excludes --csv\n"},
    {"s.sta --sim b.sim --csv clusters --regroup BP2", 2, "--regroup excludes --csv\n"},
    {"--history h.db --list --import s.sta", 2, "--import excludes --list\n"},
    {"--history h.db --trend --import s.sta", 2, "--import excludes --trend\n"},
    {"--history h.db --trend --list", 2, "--list excludes --trend\n"},
    {"--compare a b --import s.sta", 2, "--import excludes --compare\n"},
    {"--history h.db --compare 1 2 --list", 2, "--list excludes --compare\n"},
    {"--history h.db --compare 1 2 --trend", 2, "--trend excludes --compare\n"},
    {"s.sta --cluster 2", 2, "--cluster requires --export-clusters\n"},
    {"s.sta --csv-raw", 2, "--csv-raw requires --csv\n"},
    {"s.sta --json --commands --csv pools", 2, "--json excludes --commands\n"},
    {"s.sta --csv pools --csv-raw --json --cluster 2", 2, "--cluster requires --export-clusters\n"},
    {"", 2, "STATFILE is required\n"},
    {"--sim b.sim --json", 2, "STATFILE is required\n"},
    {"s.sta --csv", 2, "Expected exactly 1 arguments to --csv, got 0\n"},
    {"s.sta --usage S --csv pools", 2, "--usage requires --export-clusters, --csv clusters or --csv rules\n"},
    {"s.sta --usage S --csv objects", 2, "--usage requires --export-clusters, --csv clusters or --csv rules\n"},
    {"s.sta --size 2", 2, "--size requires --export-clusters, --regroup or --csv clusters\n"},
    {"s.sta --size 2 --json", 2, "--size requires --export-clusters, --regroup or --csv clusters\n"},
    {"s.sta --size 2 --csv rules", 2, "--size requires --export-clusters, --regroup or --csv clusters\n"},
    {"s.sta --regroup BP2", 2, "--regroup requires --sim (the clusters are of the simulated pool)\n"},
    {"s.sta --regroup BP2 --json", 2, "--regroup requires --sim (the clusters are of the simulated pool)\n"},
    {"s.sta --csv clusters", 2, "--csv clusters requires --sim (the cluster list is of the simulated pool)\n"},
    {"s.sta --usage S --size 2 --csv pools", 2, "--usage requires --export-clusters, --csv clusters or --csv rules\n"},
    {"s.sta --size 2 --regroup BP2", 2, "--regroup requires --sim (the clusters are of the simulated pool)\n"},
    {"--csv --usage S", 2, "STATFILE is required\n"},
    {"s.sta --list --history h.db", 2,
     "STATFILE: a Statistics report is not read with --history, --import, --list, --trend or --compare (compare files "
     "with --compare OLD NEW)\n"},
    {"--history :memory: --list", 2,
     "--history: \":memory:\" is a database in memory: the history would keep nothing once the program ends\n"},
    {"--history h.db --list --history-password-file pw", 2,
     "--history-password-file: goes with a PostgreSQL history (a postgresql:// URI or a keyword connection string), "
     "not with a SQLite file\n"},
    {"--history h.db --list --history-timeout 5", 2,
     "--history-timeout: goes with a PostgreSQL history (a postgresql:// URI or a keyword connection string), not with "
     "a SQLite file\n"},
    {"--import s.sta", 2, "--import requires --history\n"},
    {"--list", 2, "--list requires --history\n"},
    {"--trend --pool BP1", 2, "--trend requires --history\n"},
    {"--history-password-file pw --list", 2, "--list requires --history\n"},
    {"--history-timeout 5 --trend", 2, "--trend requires --history\n"},
    {"--history h.db", 2, "--history: needs --import, --list, --trend or --compare\n"},
    {"--history h.db --trend", 2, "--trend: needs one --pool NAME\n"},
    {"--history h.db --trend --pool A --pool B", 2, "--trend: needs one --pool NAME\n"},
    {"--history h.db --list --pool BP1", 2, "--pool: goes with --trend among the history's commands\n"},
    {"--history h.db --import s.sta --pool BP1", 2, "--pool: goes with --trend among the history's commands\n"},
    {"--history h.db --import s.sta --system X", 2, "--system/--subsystem: go with --list or --trend\n"},
    {"--history h.db --compare 1 2 --subsystem Y", 2, "--system/--subsystem: go with --list or --trend\n"},
    {"--history h.db --import s.sta --json", 2, "--import: writes its summary as text; no --json or --csv\n"},
    {"--history h.db --import s.sta --csv", 2, "--import: writes its summary as text; no --json or --csv\n"},
    {"--compare a.sta b.sta --csv", 2, "--csv: does not go with --compare (use --json)\n"},
    {"--history h.db --list --csv pools", 2, "--csv: takes no LIST with --list or --trend\n"},
    {"--history h.db --trend --pool BP1 --csv objects", 2, "--csv: takes no LIST with --list or --trend\n"},
    {"--history h.db --list --sim b.sim", 2, "--sim: does not go with the history's commands\n"},
    {"--history h.db --list --objects", 2, "--objects: does not go with the history's commands\n"},
    {"--history h.db --list --radius 2", 2, "--radius: does not go with the history's commands\n"},
    {"--history h.db --list --acc-dir .", 2, "--acc-dir: does not go with the history's commands\n"},
    {"--history h.db --list --export-clusters /tmp/o.clu", 2,
     "--export-clusters: does not go with the history's commands\n"},
    {"--history h.db --list --usage S", 2, "--usage: does not go with the history's commands\n"},
    {"--history h.db --list --size 2", 2, "--size: does not go with the history's commands\n"},
    {"--history h.db --list --export-indexes /tmp", 2, "--export-indexes: does not go with the history's commands\n"},
    {"--history h.db --list --commands", 2, "--commands: does not go with the history's commands\n"},
    {"--history h.db --list --regroup BP2", 2, "--regroup: does not go with the history's commands\n"},
    {"--history h.db --list --strict", 2, "--strict: does not go with the history's commands\n"},
    {"--compare a.sta b.sta --export-clusters /tmp/o.clu", 2,
     "--export-clusters: does not go with the history's commands\n"},
    {"--history h.db --compare a.sta b.sta", 2, "--compare: with --history takes two report ids (see --list)\n"},
    {"--compare 11 12", 2, "--compare with report ids requires --history\n"},
    {"--history postgresql://127.0.0.1:1/y --list --history-password-file /nonexistent/pw", 2,
     "--history-password-file: the password file \"/nonexistent/pw\" cannot be read: it is not there\n"},
    {"s.sta --history :memory: --list --sim b.sim", 2,
     "STATFILE: a Statistics report is not read with --history, --import, --list, --trend or --compare (compare files "
     "with --compare OLD NEW)\n"},
    {"--history :memory: --list --pool BP1 --history-timeout 5", 2,
     "--history: \":memory:\" is a database in memory: the history would keep nothing once the program ends\n"},
    {"--history h.db --history-timeout 5 --import s.sta", 2,
     "--history-timeout: goes with a PostgreSQL history (a postgresql:// URI or a keyword connection string), not with "
     "a SQLite file\n"},
    {"--list --history-timeout 5", 2, "--list requires --history\n"},
    {"--history h.db --trend --system X --strict", 2, "--trend: needs one --pool NAME\n"},
    {"--history h.db --trend --pool A --pool B --json --sim b.sim", 2, "--trend: needs one --pool NAME\n"},
    {"--history h.db --list --pool BP1 --system X", 2, "--pool: goes with --trend among the history's commands\n"},
    {"--history h.db --import s.sta --json --sim b.sim", 2,
     "--import: writes its summary as text; no --json or --csv\n"},
    {"--history h.db --compare a.sta b.sta --csv --strict", 2, "--csv: does not go with --compare (use --json)\n"},
    {"--history h.db --list --csv pools --strict", 2, "--csv: takes no LIST with --list or --trend\n"},
    {"--history h.db --list --strict --sim b.sim", 2, "--sim: does not go with the history's commands\n"},
    {"--history h.db --compare a.sta b.sta --objects", 2, "--objects: does not go with the history's commands\n"},
    {"--import s.sta --pool BP1", 2, "--import requires --history\n"},
    {"--history h.db --list=false --pool X", 2, "--pool: goes with --trend among the history's commands\n"},
    {"--history h.db --trend=false --csv objects", 2, "--csv: takes no LIST with --list or --trend\n"},
    {"--history h.db --list=false --json --import s.sta", 2, "--import excludes --list\n"},
    // --list=false and --trend=false choose no command (they once ended in a crash).
    {"--history h.db --list=false", 2, "--history: needs --import, --list, --trend or --compare\n"},
    {"--history h.db --trend=false --json", 2, "--history: needs --import, --list, --trend or --compare\n"},
};

TEST(CommandLine, RefusesEachCombinationAsBefore) {
    for (const RefusedCase& refused : RefusedCases) {
        SCOPED_TRACE(refused.arguments);
        const Parsed parsed = Parse(refused.arguments);
        EXPECT_FALSE(parsed.line.request.has_value());
        EXPECT_EQ(parsed.err, Told(refused));
        EXPECT_EQ(parsed.out, "");
        EXPECT_EQ(ExitStatus(parsed.line.end), refused.exitStatus);
    }
}

TEST(CommandLine, ProgramTellsRefusalsWithTheirExitStatus) {
    for (const RefusedCase& refused : RefusedCases) {
        SCOPED_TRACE(refused.arguments);
        const test::Outcome run = test::RunReport(refused.arguments, true);
        EXPECT_EQ(run.out, Told(refused));
        EXPECT_EQ(run.exitCode, refused.exitStatus);
    }
}

// What the reports read show wrong: arguments refused once the reports are read.
TEST(CommandLine, ArgumentsTheReportsShowWrongExitTwo) {
    const struct {
        std::string arguments;
        int exitStatus;
        std::string told;
    } cases[] = {
        {Sample + " --sim " + SimSample + " --csv clusters --size 8", 2,
         "ornexa-report: --size is 1 to 5, the simulated sizes of the Simulation report, not 8\n"},
        {Sample + " --export-indexes " + testing::TempDir(), 2,
         "ornexa-report: the exports need a Simulation report (--sim) or a --pool name\n"},
        {Sample + " --export-indexes " + testing::TempDir() + " --pool NOPE", 1,
         "ornexa-report: nothing exported: the report holds no pool of the names given with --pool\n"
         "ornexa-report: no pool named NOPE\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        // Standard error alone: the redirection RunReport adds is left as a comment.
        const test::Outcome run = test::RunReport(c.arguments + " 2>&1 >/dev/null #");
        EXPECT_EQ(run.out, c.told);
        EXPECT_EQ(run.exitCode, c.exitStatus);
    }
}

TEST(CommandLine, ChoosesOneModePerCommandLine) {
    const struct {
        const char* arguments;
        Mode mode;
    } cases[] = {
        {"s.sta", Mode::TextReport},
        {"- --objects --pool BP1", Mode::TextReport},
        {"s.sta --sim b.sim --export-clusters /tmp/o.clu --cluster 2", Mode::TextReport},
        {"s.sta --json", Mode::JsonReport},
        {"s.sta --sim b.sim --regroup BP2 --json", Mode::JsonReport},
        {"s.sta --csv rules --usage S", Mode::CsvList},
        {"s.sta --commands", Mode::Commands},
        {"s.sta --sim b.sim --regroup BP2 --commands", Mode::Commands},
        {"s.sta --sim b.sim --regroup BP2", Mode::Regroup},
        {"--history h.db --import a.sta b", Mode::HistoryImport},
        {"--history h.db --list --csv", Mode::HistoryList},
        {"--history h.db --trend --pool BP1", Mode::HistoryTrend},
        {"--compare a.sta b.sta", Mode::CompareFiles},
        {"--history h.db --compare 1 2 --json", Mode::CompareStored},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Parsed parsed = Parse(c.arguments);
        ASSERT_TRUE(parsed.line.request.has_value()) << parsed.err;
        EXPECT_EQ(parsed.line.request->mode, c.mode);
        EXPECT_EQ(parsed.err, "");
    }
}

TEST(CommandLine, RequestHoldsWhatTheModeTakes) {
    const Parsed regroup = Parse("s.sta --sim b.sim --regroup BP2,,BP7 --usage S --size 3 --radius 2.5");
    ASSERT_TRUE(regroup.line.request.has_value());
    const RunRequest& request = *regroup.line.request;
    EXPECT_EQ(request.regroupTargets, (std::vector<std::string>{"BP2", "", "BP7"}));
    EXPECT_EQ(request.exports.usage, PoolUsage::Sequential);
    EXPECT_EQ(request.analysis.commandUsage, PoolUsage::Sequential);
    EXPECT_EQ(request.exports.size, 3);
    EXPECT_DOUBLE_EQ(request.analysis.simulation.radius, 2.5);
    EXPECT_EQ(request.simFile, std::filesystem::path("b.sim"));
    EXPECT_FALSE(request.exports.clusterFile.has_value());

    const Parsed csv = Parse("s.sta --csv clusters --sim b.sim --csv-raw");
    ASSERT_TRUE(csv.line.request.has_value());
    EXPECT_EQ(csv.line.request->csvList, CsvList::Clusters);
    EXPECT_EQ(csv.line.request->csvCells, CsvCells::Raw);

    const Parsed trend = Parse("--history h.db --trend --pool BP1 --json --system S1");
    ASSERT_TRUE(trend.line.request.has_value());
    EXPECT_EQ(trend.line.request->history.format, HistoryFormat::Json);
    EXPECT_EQ(trend.line.request->history.filter.system, "S1");
    EXPECT_EQ(trend.line.request->analysis.pools, std::vector<std::string>{"BP1"});

    // An empty --regroup takes every default.
    EXPECT_EQ(SplitTargets(""), std::vector<std::string>{});
    EXPECT_EQ(SplitTargets("BP1,"), (std::vector<std::string>{"BP1", ""}));
    // `--sim=` names no file at all: a wrong argument, as it always was.
    const Parsed noSim = Parse("s.sta --sim=");
    EXPECT_FALSE(noSim.line.request.has_value());
    EXPECT_NE(noSim.err.find("--sim: 1 required TEXT missing"), std::string::npos) << noSim.err;
    EXPECT_EQ(ExitStatus(noSim.line.end), 2);
}

TEST(CommandLine, HelpListsEveryPairRefusedWhileParsing) {
    const Parsed help = Parse("--help");
    EXPECT_FALSE(help.line.request.has_value());
    EXPECT_EQ(ExitStatus(help.line.end), 0);
    EXPECT_NE(help.out.find(ExitStatusHelp), std::string::npos);
    const auto lineOf = [&help](std::string_view option) {
        const std::size_t start = help.out.find("\n  " + std::string(option) + ' ');
        return start == std::string::npos ? std::string{}
                                          : help.out.substr(start, help.out.find('\n', start + 1) - start);
    };
    for (const Exclusion& pair : Exclusions) {
        SCOPED_TRACE(std::string(pair.option) + " " + std::string(pair.other));
        for (const auto& [one, other] : {std::pair{pair.option, pair.other}, std::pair{pair.other, pair.option}}) {
            const std::string line = lineOf(one);
            EXPECT_NE(line.find("Excludes:"), std::string::npos) << line;
            EXPECT_NE(line.find(' ' + std::string(other)), std::string::npos) << line;
        }
    }
    for (const Need& need : Needs) {
        EXPECT_NE(lineOf(need.option).find("Needs: " + std::string(need.needed)), std::string::npos);
    }
    const Parsed version = Parse("--version");
    EXPECT_EQ(version.out, "9.9\n");
    EXPECT_EQ(ExitStatus(version.line.end), 0);
}

TEST(ExitCodes, OneStatusPerEnd) {
    EXPECT_EQ(ExitStatus(RunEnd::Done), 0);
    EXPECT_EQ(ExitStatus(RunEnd::Done, true), 0);
    EXPECT_EQ(ExitStatus(RunEnd::DoneWithWarnings), 0);
    EXPECT_EQ(ExitStatus(RunEnd::DoneWithWarnings, true), 3);
    EXPECT_EQ(ExitStatus(RunEnd::Failed, true), 1);
    EXPECT_EQ(ExitStatus(RunEnd::WrongArguments), 2);
    EXPECT_EQ(EndOfStatus(0), RunEnd::Done);
    EXPECT_EQ(EndOfStatus(1), RunEnd::Failed);
}

} // namespace
} // namespace ornexa::cli
