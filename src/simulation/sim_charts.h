#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_data.h"
#include "stats/chart_model.h"

namespace ornexa {

// The measure of the curve and largest-improvement charts: 0 system hit ratio, 1 read I/O rate.
enum ImprovementMeasure : int { SysHitRatioMeasure = 0, IORateMeasure = 1 };
// Each measure's name as the window's options and ornexa-report's documents show it.
inline constexpr std::array<std::string_view, 2> MeasureNames{"Sys Hit Ratio", "I/O Rate"};

inline constexpr std::string_view CurveHitRatioFailureText =
    "An Fatal error has occured while poltting the graph using System Hit Ratio";
inline constexpr std::string_view ZeroIORatesText = "Encountered ZERO IO Rates in data. Can not plot Graph";

// The measure of pool p against its simulated sizes, in file order. Returns false when the I/O
// rate curve stopped on a failure (every rate zero); the chart is then hidden.
bool DrawPoolSizeCurve(ChartModel& chart, const SimulationData& sim, int p, int measure);

// Db2's simulated pool of one pool: the measure at the current and at the simulated size, the
// caption as subtitle. The read I/O rate is the synchronous one. Returns false, with the chart
// hidden and the reason in its `noData`, when the measure is not known at both sizes or every rate
// is zero.
inline constexpr std::string_view Db2RateNotKnownText =
    "The display gives no end of its interval: the synchronous read I/O rates are not known";
inline constexpr std::string_view Db2HitRatioNotKnownText = "The pool had no getpages: its hit ratio is not known";
bool DrawDb2SizeCurve(ChartModel& chart, const Db2SizeCurve& curve, int measure);

// Objects whose measure changes most across the simulated sizes (sizes with a working set only),
// at most ten bars, rank 1 last.
void DrawLargestImprovement(ChartModel& chart, const Report& report, const SimulationData& sim, int p, int measure);

// The largest simulated size at which pool p still had getpages; 0 when none had.
int WorkSetSizeIndex(const SimulationData& sim, int p);

// The ten largest and smallest maximum working sets at WorkSetSizeIndex, in thousands above 9999.
void DrawLargestWorkSets(ChartModel& chart, const Report& report, const SimulationData& sim, int p);
void DrawSmallestWorkSets(ChartModel& chart, const Report& report, const SimulationData& sim, int p);

// The simulation details panel: rows "Get Pages", "Avg Work Set", "Max Work Set",
// "Sytem Hit Ratio", "I/O per second"; one cell per simulated size.
inline constexpr int SimDetailRowCount = 5;
const std::array<std::string, SimDetailRowCount>& SimDetailsRows();
std::array<std::vector<std::string>, SimDetailRowCount> SimObjectDetailCells(const SimulationData& sim, int o,
                                                                             NumberStyle style = {});

} // namespace ornexa
