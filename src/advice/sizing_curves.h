#pragma once

#include <map>
#include <string>
#include <vector>

#include "advice/pool_sizing.h"
#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {

// What a pool measured in another report of the same system: its size and its load.
struct SizeObservation {
    std::int64_t buffers = 0;
    double getPagesPerSecond = 0;
    double syncReadsPerSecond = 0;
};

// How curves are built. The history counts only reports whose getpages per second lie within
// `loadBand` (a share) of this report's, so that a size is not credited with a quieter day.
inline constexpr double DefaultLoadBand = 0.25;
struct CurveOptions {
    double loadBand = DefaultLoadBand;
    bool estimate = true; // estimate the curve of a pool nothing else describes
};

// The estimate for a pool without other evidence: the square-root rule of cache misses (Hartstein,
// Srinivasan, Puzak and Emma, "Cache miss behavior: is it sqrt(2)?", ACM Computing Frontiers 2006): the
// misses at size S' are those at size S times (S / S')^(1/2). For a buffer pool, whose page residency
// time is its size over its read rate, that is a residency time growing as (S' / S)^(3/2). It is drawn
// from half to twice the current size, never beyond.
inline constexpr double EstimateExponent = 0.5;
inline constexpr std::array<double, 5> EstimateSizeFactors{0.5, 0.75, 1.25, 1.5, 2.0};

// The curve of pool p: the report's own synchronous read I/Os per second at its VPSIZE, then the
// Simulation report's sizes (when it simulated p), Db2's simulated pool (VPSIZE + SPSIZE, the reads less
// the avoidable ones), the history's means per other VPSIZE at comparable load and, when none of these
// gives a second size, the estimate. At one size the most trusted point stands. A pool without a page
// size (not a buffer-pool name), a size, an interval or a read count has no points and says why.
SizingCurve BuildSizingCurve(const Report& report, const SimulationData& sim, int p,
                             const std::vector<SizeObservation>& history, const CurveOptions& options = {});

// Every pool's curve in pool order; `history` by trimmed pool name.
std::vector<SizingCurve> BuildSizingCurves(const Report& report, const SimulationData& sim,
                                           const std::map<std::string, std::vector<SizeObservation>>& history,
                                           const CurveOptions& options = {});

// The history points of a pool: per VPSIZE other than `currentBuffers`, the mean synchronous reads of the
// observations within the load band of `currentGetPagesPerSecond`, with how many they are.
std::vector<SizingPoint> HistoryPoints(const std::vector<SizeObservation>& history, std::int64_t currentBuffers,
                                       double currentGetPagesPerSecond, double loadBand);

// The estimated points around a measured point (buffers, reads), by the rule above.
std::vector<SizingPoint> EstimatedPoints(std::int64_t buffers, double syncReadsPerSecond);

} // namespace ornexa
