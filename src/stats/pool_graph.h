#pragma once

#include <string_view>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "stats/graph_view.h"

namespace ornexa {

inline constexpr int PoolGraphTypeCount = 22;
// A report of Db2's display has two graphs more, of Db2's own data set figures (23, 24).
inline constexpr int Db2PoolGraphTypeCount = 24;
// The graphs of the report's pools: 1..22, or 1..24 for a report of Db2's display.
int PoolGraphTypes(const Report& report);

// The list text of pool graph type 1..24.
std::string_view PoolGraphName(int type);

inline constexpr std::string_view ChartZeroText = "Number Of Pages Read Is ZERO. Can not Graph";

// Draws graph type 1..24 of pool p into `view`: share charts of the pool's activity (1 to 6) or a
// ranking of its objects (7 to 24), with the legend. Returns whether a chart was drawn; when not, the
// chart's noData says why, or its absentText that the input does not give the graph's figures (the
// legend then shows no rows).
bool DrawPoolGraph(GraphView& view, const Report& report, int p, int type, NumberStyle style = {});

} // namespace ornexa
