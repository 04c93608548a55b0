#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "advice/pool_commands.h"
#include "advice/pool_metrics.h"
#include "cli/sim_document.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "simulation/sim_data.h"

namespace ornexa::cli {

// `{key: value or null, ..., verdict, notes}` of a pool's metrics, numbers unrounded.
nlohmann::ordered_json MetricsDocument(const PoolMetrics& metrics);
// `[{source, kind, text}]`
nlohmann::ordered_json AdviceDocument(const std::vector<Advice>& advice);
// The size proposal of the simulation, or null.
nlohmann::ordered_json SizeProposalDocument(const std::optional<SizeProposal>& proposal);

// The file --commands writes: the commands of the pools (1-based numbers) under `usage`.
std::string CommandsText(const Report& report, const SimulationData& sim, const std::vector<int>& pools,
                         PoolUsage usage);

// --regroup: the cluster run of pool p at `size` under `usage`, and what moving its clusters to
// `targets` writes.
struct RegroupOutcome {
    std::string text;                               // the .sql file
    std::optional<nlohmann::ordered_json> document; // {pool, usage, size, radius, targets, clusters}
    std::vector<Advice> advice;                     // source "cluster q"
    Messages messages;                              // of the cluster run
    bool ok = true;                                 // the run gave clusters and every target was taken
    // Why the run is not ok, a line each: "cluster 2 is not moved: BP8K1 has pages of 8 KB, ...".
    std::vector<std::string> refusals;
};
RegroupOutcome RunRegroup(const Report& report, const SimulationData& sim, int p, PoolUsage usage, int size,
                          const std::vector<std::string>& targets, const SimOptions& options);

} // namespace ornexa::cli
