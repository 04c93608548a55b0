#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>

#include "cli/report_document.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

const std::string Sample = std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta";

TEST(ReportDocument, HasTheDocumentedTopLevel) {
    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome = cli::ReadReport(report, simulation, Sample);
    const auto doc = cli::ReportDocument(report, simulation, outcome);
    EXPECT_EQ(doc["schema"], "ornexa-report/1");
    EXPECT_EQ(doc["statistics"]["loaded"], true);
    EXPECT_TRUE(doc["statistics"]["messages"].empty());
    EXPECT_EQ(doc["header"]["SystemName"], "SYSA");
    EXPECT_EQ(doc["header"]["ElapsedTime"], "01:30:00");
    EXPECT_EQ(doc["header"]["ElapsedSeconds"], 5400);
    EXPECT_EQ(doc["totals"].size(), 6U);
    ASSERT_EQ(doc["pools"].size(), static_cast<std::size_t>(report.PoolCount()));
    const auto& first = doc["pools"][0];
    EXPECT_EQ(first["number"], 1);
    EXPECT_EQ(first["name"], "BP0");
    EXPECT_EQ(first["objects"]["first"], 1);
    EXPECT_EQ(first["row"].size(), 7U);
    EXPECT_EQ(first["row"][0], "BP0");
    EXPECT_TRUE(doc["simulation"].is_null());
    EXPECT_TRUE(doc["analysis"].is_array());
}

TEST(ReportDocument, CarriesTheMessagesOfAStoppedRead) {
    test::StatLines s;
    s.Header().Pool("BP0").Object("BP0", "A.T\xE9");
    s.Pool("BP1").SetLastField(PoolColumns()[3], "x");
    const test::TempDir dir;
    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome = cli::ReadReport(report, simulation, dir.Write("bad.sta", s.Text()));
    const auto doc = cli::ReportDocument(report, simulation, outcome);
    EXPECT_EQ(doc["statistics"]["loaded"], false);
    ASSERT_EQ(doc["statistics"]["messages"].size(), 1U);
    EXPECT_EQ(doc["statistics"]["messages"][0]["title"], "Read Stat Pool Information");
    EXPECT_EQ(doc["statistics"]["messages"][0]["icon"], "exclamation");
    EXPECT_EQ(doc["pools"].size(), 1U);
    EXPECT_EQ(doc["totals"][4], "1.07"); // 640 I/Os in 600 seconds
    EXPECT_NO_THROW((void)doc.dump());   // Latin-1 text fields come out as UTF-8
}

TEST(ReportDocument, HasTheSimulationSectionWithSim) {
    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome =
        cli::ReadReport(report, simulation, Sample, std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim");
    const auto doc = cli::ReportDocument(report, simulation, outcome);
    const auto& sim = doc["simulation"];
    EXPECT_EQ(sim["loaded"], true);
    EXPECT_TRUE(sim["messages"].empty());
    EXPECT_EQ(sim["SimPoolName"], "BP1");
    EXPECT_EQ(sim["SimSizeCount"], 5);
    EXPECT_EQ(sim["CurrentPool"], 2);
    EXPECT_EQ(doc["pools"][sim["CurrentPool"].get<int>() - 1]["name"], "BP1");
}

TEST(ReportDocument, AnalysesEachPoolWithItsGraphsRulesAndObjects) {
    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome = cli::ReadReport(report, simulation, Sample);
    cli::AnalysisOptions options;
    options.pools = {"bp2", " BP7 "}; // as the pool list shows the names, in any case
    options.objects = true;
    const auto doc = cli::ReportDocument(report, simulation, outcome, options);
    const auto& analysis = doc["analysis"];
    ASSERT_EQ(analysis.size(), 2U);
    const auto& pool = analysis[0];
    EXPECT_EQ(pool["name"], "BP2");
    EXPECT_EQ(pool["header"]["caption"], "Quorvel - BP2");
    EXPECT_EQ(pool["header"]["pool_info"].size(), 5U);
    EXPECT_EQ(pool["header"]["threshold_info"].size(), 4U);
    ASSERT_EQ(pool["graphs"].size(), 22U);
    EXPECT_EQ(pool["graphs"][6]["name"], "Top Get Pages");
    EXPECT_EQ(pool["graphs"][6]["chart"]["kind"], "ranked");
    EXPECT_EQ(pool["graphs"][6]["chart"]["points"].size(), 10U);
    EXPECT_TRUE(pool["graphs"][6]["chart"]["points"][9].contains("object"));
    EXPECT_EQ(pool["graphs"][0]["legend"].size(), 5U);
    EXPECT_TRUE(pool["rules"]["R"].is_array());
    EXPECT_TRUE(pool["rules"]["S"].is_array());
    ASSERT_EQ(pool["objects"].size(), 48U);
    EXPECT_EQ(pool["objects"][0]["details"].size(), 12U);
    EXPECT_EQ(pool["objects"][0]["graphs"].size(), 3U);
    EXPECT_EQ(pool["objects"][0]["icon"], 6);
    EXPECT_TRUE(pool["simulation"].is_null());
    // The sort pool: eight DSNDB07 work files that write.
    EXPECT_EQ(analysis[1]["rules"]["S"], nlohmann::ordered_json::array({"  Rule # 26 - Lower the DWTH to :  20%"}));
}

TEST(ReportDocument, AnalysesTheSimulatedPool) {
    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome =
        cli::ReadReport(report, simulation, Sample, std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim");
    cli::AnalysisOptions options;
    options.pools = {"BP1", "BP2"};
    options.simulation.thresholdFolders = {std::string(ORNEXA_SAMPLES_DIR) + "/../data"};
    const auto doc = cli::ReportDocument(report, simulation, outcome, options);
    EXPECT_TRUE(doc["analysis"][1]["simulation"].is_null());
    const auto& sim = doc["analysis"][0]["simulation"];
    EXPECT_EQ(sim["sizes"].size(), 5U);
    EXPECT_EQ(sim["size_list"][0], " 10000");
    EXPECT_EQ(sim["curves"].size(), 2U);
    EXPECT_EQ(sim["curves"][1]["chart"]["kind"], "curve");
    EXPECT_EQ(sim["curves"][1]["chart"]["axis"]["x_min"], 10000);
    EXPECT_EQ(sim["largest_improvement"][0]["chart"]["points"].size(), 10U);
    EXPECT_EQ(sim["largest_work_sets"]["chart"]["title"], "Objects With Largest Max WkSet");
    EXPECT_EQ(sim["work_set_size_index"], 5);
    EXPECT_EQ(sim["object_details"][0]["rows"].size(), 5U);
    ASSERT_EQ(sim["clusters"].size(), 10U);
    EXPECT_EQ(sim["clusters"][0]["usage"], "R");
    EXPECT_EQ(sim["clusters"][0]["threshold"], 60);
    EXPECT_EQ(sim["clusters"][9]["usage"], "S");
    EXPECT_GT(sim["clusters"][0]["result"], 0);
    EXPECT_FALSE(sim["clusters"][0]["clusters"][0]["objects"].empty());
}

int ExitCode(const std::string& arguments) {
    const std::string command = std::string(ORNEXA_REPORT_EXE) + " " + arguments + " >/dev/null 2>&1";
    const int status = std::system(command.c_str()); // NOLINT(cert-env33-c): runs our own program
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// What the program writes on standard output, or with `redirect` "2>&1 >/dev/null" on standard error.
std::string Output(const std::string& arguments, const char* redirect = "2>/dev/null") {
    const std::string command = std::string(ORNEXA_REPORT_EXE) + " " + arguments + " " + redirect;
    std::string told;
    if (FILE* pipe = popen(command.c_str(), "r")) { // NOLINT(cert-env33-c): runs our own program
        std::array<char, 256> buffer{};
        while (std::fgets(buffer.data(), static_cast<int>(buffer.size()), pipe) != nullptr) {
            told += buffer.data();
        }
        pclose(pipe);
    }
    return told;
}

std::string ErrorOutput(const std::string& arguments) {
    return Output(arguments, "2>&1 >/dev/null");
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

const std::string SimSample = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";

TEST(OrnexaReport, WarningsLoadTheReportAndFailOnlyUnderStrict) {
    const test::TempDir dir;
    const std::string whole = ReadFile(Sample);
    std::size_t cut = 0;
    for (int line = 0; line < 150; ++line) {
        cut = whole.find('\n', cut) + 1;
    }
    const std::string cutShort = dir.Write("cut.sta", whole.substr(0, cut)).string();
    std::string simText = ReadFile(SimSample);
    for (const char* name : {"INVENTRY.TS1N1", "INVENTRY.TS1N2", "INVENTRY.TS1N3"}) {
        simText.replace(simText.find(name), 14, "NOSUCHDB.TS999");
    }
    const std::string skipped = dir.Write("skipped.sim", simText).string();

    EXPECT_EQ(ExitCode(cutShort), 0);
    EXPECT_EQ(ExitCode("--strict " + cutShort), 3);
    EXPECT_EQ(ExitCode("--strict " + Sample), 0);
    EXPECT_EQ(ExitCode("--strict " + Sample + " --sim " + SimSample), 0);
    EXPECT_EQ(ExitCode(Sample + " --sim " + skipped), 0);
    EXPECT_EQ(ExitCode("--strict " + Sample + " --sim " + skipped), 3);
    EXPECT_EQ(ExitCode("--strict " + Sample + " --sim " + Sample), 1); // not loaded wins over warned
    EXPECT_EQ(ErrorOutput(Sample + " --sim " + skipped), "3 object lines skipped; see the messages\n");
    EXPECT_EQ(ErrorOutput(Sample + " --sim " + SimSample), "");

    Report report;
    SimulationData simulation;
    const cli::ReadOutcome outcome = cli::ReadReport(report, simulation, cutShort);
    const auto doc = cli::ReportDocument(report, simulation, outcome);
    EXPECT_EQ(doc["statistics"]["loaded"], true);
    ASSERT_EQ(doc["statistics"]["messages"].size(), 1U);
    EXPECT_EQ(doc["statistics"]["messages"][0]["text"],
              "The report names 9 buffer pools but the file holds 4: it may have been cut short.");
    std::ostringstream text;
    cli::WriteTextReport(text, report, simulation, outcome);
    EXPECT_NE(text.str().find("[exclamation] Read Stat File:\nThe report names 9 buffer pools"), std::string::npos);
}

TEST(OrnexaReport, ReadsStandardInputAndFifos) {
    EXPECT_EQ(ExitCode("- < " + Sample), 0);
    EXPECT_EQ(ExitCode("--strict - --sim " + SimSample + " < " + Sample), 0);
    EXPECT_EQ(ExitCode("- < /dev/null"), 1);
    const test::TempDir dir;
    const std::filesystem::path fifo = dir.Path() / "transfer.sta";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string command = "cat " + Sample + " > " + fifo.string() + " & " + std::string(ORNEXA_REPORT_EXE) +
                                " --json " + fifo.string() + " >/dev/null 2>&1";
    const int status = std::system(command.c_str()); // NOLINT(cert-env33-c): runs our own program
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(OrnexaReport, AFileWithoutLineEndsEndsTheRead) {
    EXPECT_EQ(ExitCode("/dev/zero"), 1);
    EXPECT_EQ(ExitCode(Sample + " --sim /dev/zero"), 1);
}

TEST(OrnexaReport, ExitStatusTellsWhetherTheReportLoaded) {
    const test::TempDir dir;
    const auto bad = dir.Write("bad.sta", "not a report\r\n");
    EXPECT_EQ(ExitCode("--json " + Sample), 0);
    EXPECT_EQ(ExitCode(Sample), 0);
    EXPECT_EQ(ExitCode("--json " + bad.string()), 1);
    EXPECT_EQ(ExitCode((dir.Path() / "missing.sta").string()), 1);
    EXPECT_EQ(ExitCode(""), 2);
    EXPECT_EQ(ExitCode("--no-such-option " + Sample), 2);
    EXPECT_EQ(ExitCode("--help"), 0);
    const std::string sim = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";
    EXPECT_EQ(ExitCode("--json " + Sample + " --sim " + sim), 0);
    EXPECT_EQ(ExitCode("--json " + Sample + " --sim " + Sample), 1);                  // not a Simulation report
    EXPECT_EQ(ExitCode("--export-indexes " + dir.Path().string() + " " + Sample), 2); // which pool?
    EXPECT_EQ(ExitCode(Sample + " --sim " + sim + " --export-indexes " + dir.Path().string()), 0);
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "AINDEX.QVL"));
    EXPECT_EQ(ExitCode(Sample + " --sim " + sim + " --export-clusters " + (dir.Path() / "no/c.qvl").string()), 1);
    EXPECT_EQ(ExitCode(Sample + " --cluster 2"), 2); // only with --export-clusters
}

TEST(OrnexaReport, TheClusterFileIsThePathGivenAndNothingElse) {
    const test::TempDir dir;
    const std::string base = Sample + " --sim " + SimSample + " --cluster 1 --usage R --size 2 --export-clusters ";
    for (const char* name : {"c.txt", "my.sta", "clusters"}) {
        EXPECT_EQ(ExitCode(base + (dir.Path() / name).string()), 0) << name;
        EXPECT_FALSE(ReadFile(dir.Path() / name).empty()) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "c.qvl"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "my.qvl"));
    std::filesystem::create_directory(dir.Path() / "exp");
    const std::pair<std::string, const char*> refused[] = {
        {"/dev/full", "--export-clusters: the cluster file \"/dev/full\" is not a regular file\n"},
        {(dir.Path() / "exp").string(), "names a folder, not a file"},
        {(dir.Path() / "exp").string() + "/", "names a folder, not a file"},
        {(dir.Path() / "new").string() + "/", "names a folder, not a file"},
        {"''", "--export-clusters: the cluster file is an empty path\n"},
    };
    for (const auto& [path, told] : refused) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ExitCode(base + path), 2);
        EXPECT_NE(ErrorOutput(base + path).find(told), std::string::npos);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path() / "exp"), {}), 0);
    EXPECT_EQ(ExitCode(Sample + " --sim " + SimSample + " --export-indexes ''"), 2);
    EXPECT_EQ(ExitCode(Sample + " --sim " + SimSample + " --export-indexes " + Sample), 2); // a file, not a folder
}

TEST(OrnexaReport, ExportsTellWhyTheReportDidNotLoad) {
    const test::TempDir dir;
    const std::string to = " --export-indexes " + dir.Path().string();
    struct Case {
        std::string arguments;
        int exitCode;
        const char* told;
    };
    const Case cases[] = {
        {"nope.sta --pool BP1" + to, 1,
         "ornexa-report: nothing exported: the Statistics report nope.sta did not load\n"
         "  Read Stat File: Cannot open file \"nope.sta\": No such file or directory\n"},
        {Sample + " --sim " + Sample + to, 1, "Can not analyse file containing Include Objects"},
        {Sample + " --pool bp2" + to, 0, ""},
        {Sample + to, 2, "the exports need a Simulation report (--sim) or a --pool name"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(ExitCode(c.arguments), c.exitCode);
        const std::string told = ErrorOutput(c.arguments);
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
    }
    EXPECT_NE(Output("--help").find("3  loaded with warnings"), std::string::npos);
}

TEST(OrnexaReport, RefusesRadiiSizesAndClustersOutsideTheirRange) {
    const test::TempDir dir;
    const std::string sim = std::string(ORNEXA_SAMPLES_DIR) + "/simulation-bp1.sim";
    const std::string base = "--json " + Sample + " --sim " + sim;
    for (const char* radius : {"nan", "inf", "-1", "0", "0.3", "1e400", "\"\"", "abc"}) {
        EXPECT_EQ(ExitCode(base + " --radius " + radius), 2) << radius;
    }
    EXPECT_EQ(ExitCode(base + " --radius 0.4"), 0);
    EXPECT_EQ(ExitCode(base + " --radius 7.6"), 0);
    const std::string exportTo = " --export-clusters " + (dir.Path() / "c.qvl").string();
    EXPECT_EQ(ExitCode(base + exportTo + " --size 6"), 2); // the sample simulates five sizes
    EXPECT_EQ(ExitCode(base + exportTo + " --size 5"), 0);
    for (const char* cluster : {"0", "-5"}) {
        EXPECT_EQ(ExitCode(base + exportTo + " --cluster " + cluster), 2) << cluster;
    }
}

TEST(OrnexaReport, APoolTheReportDoesNotHoldIsToldAndFails) {
    EXPECT_EQ(ExitCode("--json " + Sample + " --pool BP2"), 0);
    EXPECT_EQ(ExitCode("--json " + Sample + " --pool bp2"), 0);
    EXPECT_EQ(ExitCode("--json " + Sample + " --pool BP2 --pool NOPE"), 1);
    EXPECT_EQ(ErrorOutput(Sample + " --pool NOPE"), "ornexa-report: no pool named NOPE\n");
}

// The members of every cluster run of the simulated pool, usage and size as one text each.
std::vector<std::string> ClusterMembers(const nlohmann::ordered_json& doc) {
    std::vector<std::string> members;
    for (const auto& pool : doc["analysis"]) {
        if (!pool["simulation"].is_null()) {
            for (const auto& run : pool["simulation"]["clusters"]) {
                members.push_back(run["usage"].get<std::string>() + run["size"].dump() + run["members"].dump());
            }
        }
    }
    return members;
}

TEST(OrnexaReport, AMissingThresholdFileIsToldAndEveryObjectWithGetpagesTakesPart) {
    const test::TempDir dir;
    (void)dir.Write("Seq.acc", "50\r\n");
    const std::string data = std::string(ORNEXA_SAMPLES_DIR) + "/../data";
    const std::string args = Sample + " --sim " + SimSample + " --acc-dir ";

    const auto found = nlohmann::ordered_json::parse(Output("--json " + args + data));
    ASSERT_EQ(found["thresholds"].size(), 2U);
    EXPECT_EQ(found["thresholds"][0]["path"], data + "/Rand.acc");
    EXPECT_TRUE(found["thresholds"][0]["message"].is_null());
    EXPECT_EQ(found["thresholds"][1]["threshold"], 50);
    EXPECT_EQ(ErrorOutput(args + data), "");

    const std::string warning = "Rand.acc was not found in " + dir.Path().string() +
                                ": every object with getpages takes part in the clustering";
    EXPECT_EQ(ExitCode("--json " + args + dir.Path().string()), 0);
    const auto missing = nlohmann::ordered_json::parse(Output("--json " + args + dir.Path().string()));
    const auto& random = missing["thresholds"][0];
    EXPECT_EQ(random["usage"], "R");
    EXPECT_EQ(random["file"], "Rand.acc");
    EXPECT_TRUE(random["path"].is_null());
    EXPECT_EQ(random["searched"], nlohmann::ordered_json::array({dir.Path().string()}));
    EXPECT_EQ(random["threshold"], 0);
    EXPECT_EQ(random["message"],
              (nlohmann::ordered_json{{"title", "Cluster Analysis"}, {"text", warning}, {"icon", "exclamation"}}));
    EXPECT_EQ(missing["thresholds"][1]["path"], (dir.Path() / "Seq.acc").string());
    EXPECT_TRUE(missing["thresholds"][1]["message"].is_null());
    EXPECT_EQ(ErrorOutput(args + dir.Path().string()), "ornexa-report: " + warning + "\n");
    EXPECT_NE(Output(args + dir.Path().string()).find("[exclamation] Cluster Analysis:\n" + warning + "\n"),
              std::string::npos);

    // Random runs take more members without their threshold; sequential ones are the same.
    const auto before = ClusterMembers(found);
    const auto after = ClusterMembers(missing);
    ASSERT_EQ(before.size(), after.size());
    ASSERT_FALSE(before.empty());
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i][0] == 'R') {
            EXPECT_NE(before[i], after[i]) << i;
        } else {
            EXPECT_EQ(before[i], after[i]) << i;
        }
    }
    // Without a Simulation report nothing is clustered and nothing is told.
    EXPECT_TRUE(
        nlohmann::ordered_json::parse(Output("--json " + Sample + " --acc-dir " + dir.Path().string()))["thresholds"]
            .is_null());
}

} // namespace
} // namespace ornexa
