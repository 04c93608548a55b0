#pragma once

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/sim_document.h"
#include "report/messages.h"
#include "report/pool_choice.h"
#include "report/record_catalogue.h"
#include "report/report_model.h"
#include "report/result.h"
#include "report/table_text.h"
#include "rules/pool_usage.h"
#include "simulation/sim_data.h"

namespace ornexa::cli {

// The lists of the window that `--csv` writes, with the figures the JSON document holds.
enum class CsvList { Pools, Objects, Rules, Clusters };
inline constexpr std::array<std::string_view, 4> CsvListNames{"pools", "objects", "rules", "clusters"};
std::optional<CsvList> CsvListNamed(std::string_view name);

using ornexa::ChosenPools; // the pools `names` ask for, as the analysis picks them

// The pool list of the Report Info tab.
TextTable PoolListTable(const Report& report);
// The record fields the lists show: those of the catalogues with a CSV caption.
struct CsvFields {
    RecordCatalogue<PoolRecord> pools = PoolCatalogue();
    RecordCatalogue<ObjectRecord> objects = ObjectCatalogue();
};

// The object list of each pool, a column per object field; the pool's fields ("Pool", its name) lead
// each row when there are several pools.
TextTable ObjectListTable(const Report& report, const std::vector<int>& pools, const CsvFields& fields = {});
// The rule list of each pool under `usage`, led by the pool's fields as for the objects.
TextTable RuleListTable(const Report& report, const std::vector<int>& pools, PoolUsage usage,
                        const CsvFields& fields = {});

// The cluster list of the simulated pool for one usage and simulated size, and what the cluster
// analysis told.
using ClusterListOutcome = Result<TextTable>; // the table always, with what the clustering told
ClusterListOutcome ClusterListTable(const Report& report, const SimulationData& sim, PoolUsage usage, int size,
                                    const SimOptions& options);

} // namespace ornexa::cli
