#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "cli/csv_tables.h"
#include "cli/report_document.h"
#include "csv_reader.h"
#include "report/latin1.h"
#include "rules/config_rules.h"
#include "stat_fixture.h"
#include "stats/pool_list_figures.h"

namespace ornexa {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";
const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";
const std::string Thresholds = std::string(ORNEXA_SAMPLES_DIR) + "/../data";

using Records = std::vector<std::vector<std::string>>;

struct Outcome {
    std::string out;
    int exitCode = -1;
};

// ornexa-report as a script runs it; `environment` goes in front of the command, `redirect` after it.
Outcome RunReport(const std::string& arguments, const std::string& redirect = "2>/dev/null",
                  const std::string& environment = "") {
    const std::string command = environment + " " + std::string(ORNEXA_REPORT_EXE) + " " + arguments + " " + redirect;
    Outcome run;
    if (FILE* pipe = popen(command.c_str(), "r")) { // NOLINT(cert-env33-c): runs our own program
        std::array<char, 4096> buffer{};
        std::size_t got = 0;
        while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
            run.out.append(buffer.data(), got);
        }
        const int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    return run;
}

// The CSV a run wrote, read back; a run that failed or wrote broken CSV fails the test.
Records Csv(const std::string& arguments) {
    const Outcome run = RunReport(arguments);
    EXPECT_EQ(run.exitCode, 0) << arguments;
    const auto records = test::ReadCsv(run.out);
    EXPECT_TRUE(records.has_value()) << run.out;
    return records.value_or(Records{});
}

class CsvLists : public ::testing::Test {
protected:
    CsvLists() { outcome = cli::ReadReport(report, sim, Sample, SimSample); }
    [[nodiscard]] int PoolNamed(const std::string& name) const {
        for (int p = 1; p <= report.PoolCount(); ++p) {
            if (cli::NamesPool(report, p, name)) {
                return p;
            }
        }
        return 0;
    }
    Report report;
    SimulationData sim;
    cli::ReadOutcome outcome;
};

TEST_F(CsvLists, ThePoolListHoldsTheDocumentsFiguresWithoutSeparators) {
    const Records csv = Csv(Sample + " --csv pools");
    ASSERT_EQ(csv.size(), static_cast<std::size_t>(report.PoolCount()) + 1);
    EXPECT_EQ(csv[0], std::vector<std::string>(PoolListCaptions().begin(), PoolListCaptions().end()));
    const auto doc = cli::ReportDocument(report, sim, outcome);
    for (int p = 1; p <= report.PoolCount(); ++p) {
        SCOPED_TRACE(p);
        const auto& row = csv[static_cast<std::size_t>(p)];
        ASSERT_EQ(row.size(), 7U);
        const auto& figures = doc["pools"][static_cast<std::size_t>(p - 1)]["row"];
        for (std::size_t c = 0; c < row.size(); ++c) {
            EXPECT_EQ(row[c], figures[c].is_null() ? std::string{} : figures[c].template get<std::string>());
        }
        const PoolRecord& pool = report.Pools(p);
        EXPECT_EQ(row[2], std::to_string(pool.PoolGetPages));
        EXPECT_EQ(row[1], std::to_string(static_cast<long long>(pool.PoolReadIOs) + pool.PoolWriteIOs));
        for (std::size_t c = 1; c < row.size(); ++c) { // a plain number a spreadsheet reads as one
            std::size_t used = 0;
            (void)std::stod(row[c], &used);
            EXPECT_EQ(used, row[c].size()) << row[c];
        }
    }
    // The machine's regional settings change nothing.
    EXPECT_EQ(RunReport(Sample + " --csv pools", "2>/dev/null", "LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8").out,
              RunReport(Sample + " --csv pools").out);
}

TEST_F(CsvLists, ObjectsAndRulesAreListedPerPoolNamedWithAPoolColumnForSeveral) {
    const int bp1 = PoolNamed("BP1");
    const int bp2 = PoolNamed("BP2");
    ASSERT_NE(bp1, 0);
    ASSERT_NE(bp2, 0);
    std::vector<std::string> names;
    for (const int o : PoolObjects(report, bp1)) {
        names.push_back(Latin1ToUtf8(report.Objects(o).ObjName.Trimmed()));
    }
    Records expected{{"Object"}};
    for (const std::string& name : names) {
        expected.push_back({name});
    }
    EXPECT_EQ(Csv(Sample + " --csv objects --pool bp1"), expected);

    const Records all = Csv(Sample + " --csv objects");
    ASSERT_EQ(all.size(), 1 + static_cast<std::size_t>(report.ObjectCount()));
    EXPECT_EQ(all[0], (std::vector<std::string>{"Pool", "Object"}));
    std::size_t row = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        for (const int o : PoolObjects(report, p)) {
            EXPECT_EQ(all[row++], (std::vector<std::string>{Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()),
                                                            Latin1ToUtf8(report.Objects(o).ObjName.Trimmed())}));
        }
    }

    for (const PoolUsage usage : {PoolUsage::Random, PoolUsage::Sequential}) {
        const std::string letter(1, UsageLetter(usage));
        Records rules{{"Pool", "Rule"}};
        for (const int p : {bp1, bp2}) {
            for (const std::string& rule : RulesFor(report, p, usage)) {
                rules.push_back({Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()), rule});
            }
        }
        ASSERT_GT(rules.size(), 2U);
        std::string arguments = Sample + " --csv rules --pool BP2 --pool BP1 --usage ";
        arguments += letter;
        EXPECT_EQ(Csv(arguments), rules) << letter;
    }
}

TEST_F(CsvLists, TheClusterListIsTheSimulatedPoolsAtTheUsageSizeAndRadiusAsked) {
    cli::AnalysisOptions options;
    options.simulation.thresholdFolders = {Thresholds};
    options.simulation.radius = 2;
    const auto doc = cli::ReportDocument(report, sim, outcome, options);
    const auto& simulated = doc["analysis"][static_cast<std::size_t>(sim.ShownPool() - 1)]["simulation"];
    std::size_t listed = 0;
    const std::string base = Sample + " --sim " + SimSample + " --acc-dir " + Thresholds + " --csv clusters --radius 2";
    for (const auto& run : simulated["clusters"]) {
        const std::string usage = run["usage"];
        const int size = run["size"];
        SCOPED_TRACE(usage + std::to_string(size));
        Records expected{{"Cluster", "Smallest Max WS", "Largest Max WS"}};
        for (const auto& cluster : run["clusters"]) {
            expected.push_back({std::to_string(cluster["number"].get<int>()),
                                std::to_string(cluster["smallest"].get<long long>()),
                                std::to_string(cluster["largest"].get<long long>())});
        }
        std::string arguments = base;
        arguments += " --usage ";
        arguments += usage;
        arguments += " --size ";
        arguments += std::to_string(size);
        EXPECT_EQ(Csv(arguments), expected);
        listed += expected.size() - 1;
    }
    EXPECT_GT(listed, 0U);
}

TEST(CsvList, AWrongCombinationIsAUsageErrorThatSaysWhy) {
    const struct {
        std::string arguments;
        std::string told;
    } cases[] = {
        {"--csv clusters", "--csv clusters requires --sim"},
        {"--csv pools --usage S", "--usage requires"},
        {"--csv rules --size 2", "--size requires"},
        {"--csv objects --json", "excludes"},
        {"--csv pools --export-indexes /tmp", "excludes"},
        {"--csv tables", "tables not in {pools,objects,rules,clusters}"},
        {"--sim " + SimSample + " --csv clusters --size 6", "--size is 1 to 5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Outcome run = RunReport(Sample + " " + c.arguments, "2>&1 >/dev/null");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_NE(run.out.find(c.told), std::string::npos) << run.out;
        EXPECT_EQ(RunReport(Sample + " " + c.arguments).out, ""); // no partial list on standard output
    }
    EXPECT_NE(RunReport("--help").out.find("--csv"), std::string::npos);
}

TEST_F(CsvLists, APoolNameNotInTheReportFailsTheRunAfterTheList) {
    const Outcome unknown = RunReport(Sample + " --csv objects --pool BP1 --pool NOSUCH");
    EXPECT_EQ(unknown.exitCode, 1); // told, as for the report
    EXPECT_EQ(test::ReadCsv(unknown.out).value_or(Records{}).size(),
              1 + static_cast<std::size_t>(PoolObjects(report, PoolNamed("BP1")).Count()));
}

TEST(CsvList, NamesWithCommasAndQuotesComeBackWhole) {
    const test::TempDir dir;
    test::StatLines lines;
    lines.Header().Pool("BP0").Object("BP0", "DB\"1,A.TS1").Object("BP0", "DB1.TS2");
    const std::string path = dir.Write("quoted.sta", lines.Text()).string();
    EXPECT_EQ(Csv(path + " --csv objects"), (Records{{"Object"}, {"DB\"1,A.TS1"}, {"DB1.TS2"}}));
    const Outcome bad = RunReport(dir.Path().string() + "/missing.sta --csv pools");
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.out, "");
}

TEST(CsvList, ANameASpreadsheetWouldRunIsQuotedUnlessRawBytesAreAsked) {
    const test::TempDir dir;
    test::StatLines lines;
    lines.Header()
        .Pool("BP0")
        .Object("BP0", "=HYPERLINK(X)")
        .Object("BP0", "-1+2")
        .Object("BP0", "@SUM(A1)")
        .Object("BP0", "DB1.TS2");
    const std::string path = dir.Write("formulas.sta", lines.Text()).string();
    EXPECT_EQ(Csv(path + " --csv objects"),
              (Records{{"Object"}, {"'=HYPERLINK(X)"}, {"'-1+2"}, {"'@SUM(A1)"}, {"DB1.TS2"}}));
    EXPECT_EQ(Csv(path + " --csv objects --csv-raw"),
              (Records{{"Object"}, {"=HYPERLINK(X)"}, {"-1+2"}, {"@SUM(A1)"}, {"DB1.TS2"}}));
    // Figures stay figures, a negative one too.
    const auto pools = Csv(path + " --csv pools");
    ASSERT_GE(pools.size(), 2U);
    for (const std::string& cell : pools[1]) {
        EXPECT_NE(cell.front(), '\'') << cell;
    }
    EXPECT_EQ(RunReport(path + " --csv-raw").exitCode, 2) << "--csv-raw without --csv";
}

} // namespace
} // namespace ornexa
