#pragma once

#include <array>
#include <string>

#include "stats/chart_model.h"

namespace ornexa {

// One row of a chart's legend: caption label, value label and whether the row is shown.
struct LegendRow {
    std::string caption;
    std::string value;
    bool visible = true;
    friend bool operator==(const LegendRow&, const LegendRow&) = default;
};
inline constexpr int LegendRows = 5;
using Legend = std::array<LegendRow, LegendRows>;

// A chart with its legend, as the pool and object tabs show them. Both keep their content from
// one drawing to the next unless a drawing changes them.
struct GraphView {
    ChartModel chart;
    Legend legend;
};

} // namespace ornexa
