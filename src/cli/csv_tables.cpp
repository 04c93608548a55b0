#include "cli/csv_tables.h"

#include <algorithm>
#include <iterator>
#include <type_traits>

#include "cli/analysis_document.h"
#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "rules/config_rules.h"
#include "stats/pool_list_figures.h"

namespace ornexa::cli {

namespace {

constexpr std::string_view RuleCaption = "Rule";

// The captions of the fields a list shows, and their cells for one record.
template <class Record> std::vector<std::string> Captions(RecordCatalogue<Record> catalogue) {
    std::vector<std::string> captions;
    for (const RecordField<Record>& field : catalogue) {
        if (!field.csvCaption.empty()) {
            captions.emplace_back(field.csvCaption);
        }
    }
    return captions;
}

template <class Record>
std::vector<std::string> Cells(const Record& record, std::type_identity_t<RecordCatalogue<Record>> catalogue) {
    std::vector<std::string> cells;
    for (const RecordField<Record>& field : catalogue) {
        if (!field.csvCaption.empty()) {
            cells.push_back(FieldText(field.access.read(record)));
        }
    }
    return cells;
}

// The rows of each pool, led by the pool's own fields when there are several.
TextTable PerPool(const Report& report, const std::vector<int>& pools, RecordCatalogue<PoolRecord> poolFields,
                  const std::vector<std::string>& captions, const auto& rowsOf) {
    const bool named = pools.size() > 1;
    TextTable table;
    if (named) {
        table.header = Captions(poolFields);
    }
    table.header.insert(table.header.end(), captions.begin(), captions.end());
    for (const int p : pools) {
        for (std::vector<std::string>& cells : rowsOf(p)) {
            std::vector<std::string> row;
            if (named) {
                row = Cells(report.Pools(p), poolFields);
            }
            row.insert(row.end(), std::make_move_iterator(cells.begin()), std::make_move_iterator(cells.end()));
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

TextTable ObjectListTable(const Report& report, const std::vector<int>& pools, const CsvFields& fields) {
    return PerPool(report, pools, fields.pools, Captions(fields.objects), [&](int p) {
        std::vector<std::vector<std::string>> rows;
        for (const int o : PoolObjects(report, p)) {
            rows.push_back(Cells(report.Objects(o), fields.objects));
        }
        return rows;
    });
}

TextTable RuleListTable(const Report& report, const std::vector<int>& pools, PoolUsage usage, const CsvFields& fields) {
    return PerPool(report, pools, fields.pools, {std::string(RuleCaption)}, [&](int p) {
        std::vector<std::vector<std::string>> rows;
        for (std::string& rule : RulesFor(report, p, usage)) {
            rows.push_back({std::move(rule)});
        }
        return rows;
    });
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
