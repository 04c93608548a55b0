#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "advice/regroup.h"
#include "cli/report_document.h"
#include "cluster/clustering.h"
#include "run_report.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using Json = nlohmann::ordered_json;

const std::string Samples = ORNEXA_SAMPLES_DIR;
const std::string UsaSample = Samples + "/statistics-usa.sta";
const std::string SimSample = Samples + "/simulation-bp1.sim";

std::string Dumped(const Json& doc) {
    return doc.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
}

// The document held whole, with the exports and the regrouping added to it: the bytes the stream
// must give.
std::string WholeDocument(const Report& report, const SimulationData& sim, const cli::ReadOutcome& outcome,
                          const cli::AnalysisOptions& options, const cli::DocumentAdditions& additions = {}) {
    Json doc = cli::ReportDocument(report, sim, outcome, options);
    if (additions.exports != nullptr) {
        doc["exports"] = *additions.exports;
    }
    if (const cli::RegroupOutcome* regroup = additions.regroup) {
        doc["regroup"] = regroup->document.value_or(nullptr);
        for (auto& pool : doc["analysis"]) {
            if (regroup->document && pool["pool"] == (*regroup->document)["pool"]) {
                for (const auto& statement : cli::AdviceDocument(regroup->advice)) {
                    pool["commands"].push_back(statement);
                }
            }
        }
    }
    return Dumped(doc);
}

// Equal, or where the two first differ (a whole document is too long to print).
testing::AssertionResult SameBytes(const std::string& streamed, const std::string& whole) {
    if (streamed == whole) {
        return testing::AssertionSuccess();
    }
    const auto [at, _] = std::mismatch(streamed.begin(), streamed.end(), whole.begin(), whole.end());
    const auto offset = static_cast<std::size_t>(at - streamed.begin());
    const std::size_t line = static_cast<std::size_t>(std::count(streamed.begin(), at, '\n')) + 1;
    const std::size_t from = offset < 80 ? 0 : offset - 80;
    return testing::AssertionFailure() << "the streamed document (" << streamed.size() << " bytes) and the whole one ("
                                       << whole.size() << " bytes) differ at byte " << offset << ", line " << line
                                       << ":\nstreamed: ..." << streamed.substr(from, 160) << "\nwhole:    ..."
                                       << whole.substr(from, 160);
}

std::string StreamedDocument(const Report& report, const SimulationData& sim, const cli::ReadOutcome& outcome,
                             const cli::AnalysisOptions& options, const cli::DocumentAdditions& additions = {}) {
    std::ostringstream text;
    cli::WriteReportDocument(text, report, sim, outcome, options, additions);
    return text.str();
}

struct ReportRun {
    std::string name;
    std::filesystem::path stat;
    std::optional<std::filesystem::path> sim{};
    bool objects = false;
    std::vector<std::string> pools{};
    double radius = 1.2;
};

void ExpectSameBytes(const ReportRun& run) {
    Report report;
    SimulationData sim;
    const cli::ReadOutcome outcome = cli::ReadReport(report, sim, run.stat, run.sim);
    cli::AnalysisOptions options;
    options.objects = run.objects;
    options.pools = run.pools;
    options.simulation.radius = run.radius;
    options.simulation.thresholdFolders = {Samples + "/../data"};
    const std::string whole = WholeDocument(report, sim, outcome, options);
    EXPECT_TRUE(SameBytes(StreamedDocument(report, sim, outcome, options), whole)) << run.name;
    EXPECT_FALSE(whole.empty()) << run.name;
}

TEST(ReportStream, TheBundledSamplesComeOutInTheBytesOfTheWholeDocument) {
    const test::TempDir dir;
    // A path that is no UTF-8 is written with its bad byte replaced, as the whole dump does.
    const auto oddName = dir.Write("r\xE9port.sta", samplegen::StatisticsText(samplegen::BuildSampleReport()));
    const ReportRun runs[] = {
        {.name = "usa", .stat = UsaSample},
        {.name = "usa, objects", .stat = UsaSample, .objects = true},
        {.name = "deu, objects", .stat = Samples + "/statistics-deu.sta", .objects = true},
        {.name = "usa with its simulation", .stat = UsaSample, .sim = SimSample},
        {.name = "usa with its simulation, objects", .stat = UsaSample, .sim = SimSample, .objects = true},
        {.name = "two pools, objects, another radius",
         .stat = UsaSample,
         .sim = SimSample,
         .objects = true,
         .pools = {"bp2", " BP1 "},
         .radius = 2.5},
        {.name = "a pool not simulated", .stat = UsaSample, .sim = SimSample, .objects = true, .pools = {"BP7"}},
        {.name = "no pool of that name", .stat = UsaSample, .objects = true, .pools = {"BP99"}},
        {.name = "a file name that is no UTF-8", .stat = oddName, .objects = true},
        {.name = "not a Simulation report", .stat = UsaSample, .sim = UsaSample, .objects = true},
        {.name = "not a report", .stat = dir.Write("bad.sta", "not a report\r\n"), .sim = SimSample, .objects = true},
        {.name = "no such file", .stat = dir.Path() / "missing.sta", .objects = true},
    };
    for (const ReportRun& run : runs) {
        ExpectSameBytes(run);
    }
}

TEST(ReportStream, GeneratedReportsComeOutInTheBytesOfTheWholeDocument) {
    const test::TempDir dir;
    const samplegen::SimSample other = samplegen::BuildSimulation(samplegen::BuildSampleReport(7), "BP2", 9);
    const auto otherStat = dir.Write("other.sta", samplegen::StatisticsText(other.report));
    const auto otherSim =
        dir.Write("other.sim", samplegen::SimulationText(other.report, other.sim, other.pool, other.objects));
    samplegen::StatFileOptions comma;
    comma.country = "DEU";
    const auto otherDeu = dir.Write("other-deu.sta", samplegen::StatisticsText(other.report, comma));
    const samplegen::SimSample largest = samplegen::BuildSimulation(samplegen::BuildLargestReport(), "BP1", 5);
    const auto largestStat = dir.Write("largest.sta", samplegen::StatisticsText(largest.report));
    const auto largestSim =
        dir.Write("largest.sim", samplegen::SimulationText(largest.report, largest.sim, largest.pool, largest.objects));
    const ReportRun runs[] = {
        {.name = "another seed, simulated BP2, objects", .stat = otherStat, .sim = otherSim, .objects = true},
        {.name = "another seed with decimal commas, objects", .stat = otherDeu, .objects = true},
        {.name = "largest", .stat = largestStat, .sim = largestSim},
        {.name = "largest, objects of the simulated pool and another",
         .stat = largestStat,
         .sim = largestSim,
         .objects = true,
         .pools = {"BP1", "BP32K"}},
    };
    for (const ReportRun& run : runs) {
        ExpectSameBytes(run);
    }
}

TEST(ReportStream, ExportsAndTheRegroupingFollowTheAnalysisAsTheyDidInTheWholeDocument) {
    Report report;
    SimulationData sim;
    const cli::ReadOutcome outcome = cli::ReadReport(report, sim, UsaSample, SimSample);
    cli::AnalysisOptions options;
    options.simulation.thresholdFolders = {Samples + "/../data"};
    const int p = sim.ShownPool();
    const double threshold = LookUpThreshold(options.simulation.thresholdFolders, PoolUsage::Random).threshold;
    const ClusterRun run = RunClusterAnalysis(report, sim, p, 2, PoolUsage::Random, threshold, 1.2);
    const cli::RegroupOutcome regroup =
        cli::RunRegroup(report, sim, p, PoolUsage::Random, 2, DefaultTargets(report, p, run), options.simulation);
    ASSERT_FALSE(regroup.advice.empty());
    const Json exports = {{"indexes", {{"path", "/tmp/AINDEX.QVL"}, {"written", true}, {"messages", Json::array()}}}};
    cli::RegroupOutcome noDocument = regroup;
    noDocument.document.reset();

    const std::pair<const char*, cli::DocumentAdditions> additions[] = {
        {"exports", {&exports, nullptr}},
        {"regrouping", {nullptr, &regroup}},
        {"both", {&exports, &regroup}},
        {"a regrouping without its document", {nullptr, &noDocument}},
    };
    for (const auto& [name, added] : additions) {
        EXPECT_TRUE(SameBytes(StreamedDocument(report, sim, outcome, options, added),
                              WholeDocument(report, sim, outcome, options, added)))
            << name;
    }
    // The statements follow the simulated pool's own commands, and only its.
    const Json doc = Json::parse(StreamedDocument(report, sim, outcome, options, {nullptr, &regroup}));
    const Json plain = Json::parse(StreamedDocument(report, sim, outcome, options));
    for (std::size_t i = 0; i < doc["analysis"].size(); ++i) {
        const std::size_t added = doc["analysis"][i]["pool"] == p ? regroup.advice.size() : 0;
        EXPECT_EQ(doc["analysis"][i]["commands"].size(), plain["analysis"][i]["commands"].size() + added) << i;
    }
}

TEST(ReportStream, OrnexaReportWritesTheWholeDocumentsBytes) {
    Report report;
    SimulationData sim;
    const cli::ReadOutcome outcome = cli::ReadReport(report, sim, UsaSample, SimSample);
    cli::AnalysisOptions options;
    options.objects = true;
    // The program looks for its threshold files beside itself.
    options.simulation.thresholdFolders = ThresholdFolders(std::filesystem::canonical(ORNEXA_REPORT_EXE).parent_path());
    const test::Outcome run = test::RunReport("--json --objects " + UsaSample + " --sim " + SimSample);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(SameBytes(run.out, WholeDocument(report, sim, outcome, options)));
}

TEST(ReportStream, OutputThatCannotBeWrittenFailsTheRun) {
    for (const char* options : {"--json --objects", "--objects", "--csv pools"}) {
        const std::string command =
            std::string(ORNEXA_REPORT_EXE) + " " + options + " " + UsaSample + " >/dev/full 2>/dev/null";
        const int status = std::system(command.c_str()); // NOLINT(cert-env33-c): runs our own program
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << options;
    }
}

TEST(ReportStream, TheTextReportCountsEachClusterRunsMembers) {
    Report report;
    SimulationData sim;
    const cli::ReadOutcome outcome = cli::ReadReport(report, sim, UsaSample, SimSample);
    cli::AnalysisOptions options;
    options.objects = true; // the text shows no objects, with or without
    options.simulation.thresholdFolders = {Samples + "/../data"};
    std::ostringstream text;
    cli::WriteTextReport(text, report, sim, outcome, options);
    const Json whole = cli::ReportDocument(report, sim, outcome, options);
    const Json& runs = whole["analysis"][sim.ShownPool() - 1]["simulation"]["clusters"];
    ASSERT_FALSE(runs.empty());
    std::string expected = "  Clusters (usage, size: clusters of members):\n";
    for (const Json& run : runs) {
        expected += "    " + run["usage"].get<std::string>() + ", " + run["size"].dump() + ": " + run["result"].dump() +
                    " of " + std::to_string(run["members"].size()) + '\n';
    }
    EXPECT_NE(text.str().find(expected), std::string::npos) << text.str();
    // Every analysed pool is written, in table order.
    std::size_t at = 0;
    for (const Json& pool : whole["analysis"]) {
        at = text.str().find("\n" + pool["header"]["caption"].get<std::string>() + "\n", at);
        EXPECT_NE(at, std::string::npos) << pool["name"];
    }
}

} // namespace
} // namespace ornexa
