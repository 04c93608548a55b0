#pragma once

#include <string_view>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "stats/graph_view.h"

namespace ornexa {

inline constexpr int PoolGraphTypeCount = 22;

// The list text of pool graph type 1..22.
std::string_view PoolGraphName(int type);

inline constexpr std::string_view ChartZeroText = "Number Of Pages Read Is ZERO. Can not Graph";

// Draws graph type 1..22 of pool p into `view`: share charts of the pool's activity (1 to 6) or a
// ranking of its objects (7 to 22), with the legend. Returns whether a chart was drawn; when not, the
// chart's noData says why.
bool DrawPoolGraph(GraphView& view, const Report& report, int p, int type, NumberStyle style = {});

} // namespace ornexa
