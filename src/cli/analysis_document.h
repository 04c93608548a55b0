#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/json_stream_writer.h"
#include "cli/sim_document.h"
#include "report/messages.h"
#include "report/pool_choice.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "stats/chart_model.h"
#include "stats/graph_view.h"

namespace ornexa::cli {

struct AnalysisOptions {
    std::vector<std::string> pools; // trimmed names; empty for every pool
    bool objects = false;
    SimOptions simulation;
    PoolUsage commandUsage = PoolUsage::Random; // of each pool's "commands"
};

// The pools are chosen by name as the printed pages choose them.
using ornexa::ChosenPools;
using ornexa::NamesPool;
using ornexa::UnknownPools;

// One pool analysis per analysed pool, in table order.
nlohmann::ordered_json AnalysisDocument(const Report& report, const SimulationData& sim,
                                        const AnalysisOptions& options);

// Statements that follow one pool's own "commands" (those of a regrouping).
struct AddedCommands {
    int pool = 0;
    nlohmann::ordered_json statements = nlohmann::ordered_json::array();
};
// The same list written to `out` a pool at a time, each pool's objects one at a time.
void WriteAnalysisDocument(JsonStreamWriter& out, const Report& report, const SimulationData& sim,
                           const AnalysisOptions& options, const std::optional<AddedCommands>& added = std::nullopt);

// Pool p's analysis without its per-object lists (objects, simulation object details, cluster
// members and objects), as the text report shows it.
nlohmann::ordered_json PoolSummaryDocument(const Report& report, const SimulationData& sim, int p,
                                           const AnalysisOptions& options);

// The group buffer pools of a report of Db2's display, in display order: `{name, figures, findings}`,
// each figure null where the display did not show it, each finding with its commands and notes.
nlohmann::ordered_json GroupPoolsDocument(const Report& report);

// A chart as the document writes it; null when hidden or not drawn.
nlohmann::ordered_json ChartDocument(const ChartModel& chart, bool drawn);
nlohmann::ordered_json LegendDocument(const Legend& legend);
// Message boxes as `{title, text, icon}`.
nlohmann::ordered_json MessagesDocument(const std::vector<Message>& messages);

} // namespace ornexa::cli
