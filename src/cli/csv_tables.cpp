#include "cli/csv_tables.h"

#include <algorithm>

#include "cli/analysis_document.h"
#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "report/latin1.h"
#include "rules/config_rules.h"
#include "stats/pool_list_figures.h"

namespace ornexa::cli {

namespace {

constexpr std::string_view ObjectCaption = "Object"; // the object list's one column
constexpr std::string_view RuleCaption = "Rule";

// One column per pool, or the pool's name in front of each row when there are several.
TextTable PerPool(const Report& report, const std::vector<int>& pools, std::string_view caption, const auto& cellsOf) {
    const bool named = pools.size() > 1;
    TextTable table;
    if (named) {
        table.header.push_back(PoolListCaptions()[0]);
    }
    table.header.emplace_back(caption);
    for (const int p : pools) {
        for (std::string& cell : cellsOf(p)) {
            std::vector<std::string> row;
            if (named) {
                row.push_back(ShownPoolName(report, p));
            }
            row.push_back(std::move(cell));
            table.rows.push_back(std::move(row));
        }
    }
    return table;
}

} // namespace

std::optional<CsvList> CsvListNamed(std::string_view name) {
    const auto* found = std::find(CsvListNames.begin(), CsvListNames.end(), name);
    if (found == CsvListNames.end()) {
        return std::nullopt;
    }
    return static_cast<CsvList>(found - CsvListNames.begin());
}

TextTable PoolListTable(const Report& report) {
    TextTable table;
    table.header.assign(PoolListCaptions().begin(), PoolListCaptions().end());
    for (int p = 1; p <= report.PoolCount(); ++p) {
        std::vector<std::string> row;
        for (const FigureText& cell : PoolListRow(report, p)) {
            row.push_back(cell.value_or(std::string{})); // a figure that cannot be computed is left empty
        }
        table.rows.push_back(std::move(row));
    }
    return table;
}

TextTable ObjectListTable(const Report& report, const std::vector<int>& pools) {
    return PerPool(report, pools, ObjectCaption, [&](int p) {
        std::vector<std::string> names;
        for (const int o : PoolObjects(report, p)) {
            names.push_back(Latin1ToUtf8(report.Objects(o).ObjName.Trimmed()));
        }
        return names;
    });
}

TextTable RuleListTable(const Report& report, const std::vector<int>& pools, PoolUsage usage) {
    return PerPool(report, pools, RuleCaption, [&](int p) { return RulesFor(report, p, usage); });
}

ClusterListOutcome ClusterListTable(const Report& report, const SimulationData& sim, PoolUsage usage, int size,
                                    const SimOptions& options) {
    const ThresholdLookup lookup = LookUpThreshold(options.thresholdFolders, usage);
    const ClusterRun run =
        RunClusterAnalysis(report, sim, sim.ShownPool(), size, usage, lookup.threshold, options.radius);
    TextTable table;
    table.header.assign(ClusterListCaptions().begin(), ClusterListCaptions().end());
    for (const ClusterListRow& row : FillClusterList(sim, run)) {
        table.rows.emplace_back(row.cells.begin(), row.cells.end());
    }
    return {std::move(table), run.messages};
}

} // namespace ornexa::cli
