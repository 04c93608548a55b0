#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/json_stream_writer.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "rules/threshold_files.h"
#include "simulation/sim_data.h"

namespace ornexa::cli {

struct SimOptions {
    double radius = 1.2;
    std::vector<std::filesystem::path> thresholdFolders; // where Rand.acc and Seq.acc are looked for, in order
};

// The threshold files of both usages, Random then Sequential, as looked up in the options' folders.
std::array<ThresholdLookup, 2> LookUpThresholds(const SimOptions& options);
// `{usage, file, path, searched, threshold, message}` per usage: `path` null and `message` the warning
// when the file was not found.
nlohmann::ordered_json ThresholdsDocument(const std::array<ThresholdLookup, 2>& lookups);
// The warnings of the files not found, as messages.
Messages ThresholdMessages(const std::array<ThresholdLookup, 2>& lookups);

// The simulation analysis of pool p: curves, improvements, working sets, object details and a
// cluster run per usage and simulated size.
nlohmann::ordered_json SimAnalysisDocument(const Report& report, const SimulationData& sim, int p,
                                           const SimOptions& options);
// The same analysis written to `out` as it is worked out: the object details and the members and
// objects of each cluster run one object at a time, each run in turn.
void WriteSimAnalysis(JsonStreamWriter& out, const Report& report, const SimulationData& sim, int p,
                      const SimOptions& options);
// The analysis without its per-object lists (object details, members, cluster objects), as the text
// report shows it: each cluster run with its "member_count".
nlohmann::ordered_json SimAnalysisSummary(const Report& report, const SimulationData& sim, int p,
                                          const SimOptions& options);

// Why a path given for --export-clusters cannot be the file written, or nothing when it can: the
// file written is the path given, exactly, so it must name a regular file or a new one.
std::optional<std::string> ExportFileProblem(const std::string& path);

// The exports of the simulated (or named) pool, written as the window's buttons write them.
struct ExportOptions {
    std::optional<std::filesystem::path> clusterFile;
    int cluster = 1;
    PoolUsage usage = PoolUsage::Random;
    int size = 1;
    std::optional<std::filesystem::path> indexFolder;
};
struct ExportOutcome {
    std::optional<nlohmann::ordered_json> document; // nothing when nothing was exported
    bool ok = true;
};
ExportOutcome RunExports(const Report& report, const SimulationData& sim, int p, const ExportOptions& exports,
                         const SimOptions& options);

} // namespace ornexa::cli
