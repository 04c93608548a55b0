#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "simulation/sim_data.h"

namespace ornexa::cli {

struct SimOptions {
    double radius = 1.2;
    std::filesystem::path thresholdFolder; // Rand.acc and Seq.acc
};

// The simulation analysis of pool p: curves, improvements, working sets, object details and a
// cluster run per usage and simulated size.
nlohmann::ordered_json SimAnalysisDocument(const Report& report, const SimulationData& sim, int p,
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
