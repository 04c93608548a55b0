#include "advice/sizing_curves.h"

#include <algorithm>
#include <cmath>

#include "advice/pool_commands.h"
#include "advice/pool_ratings.h"
#include "report/db2_figures.h"
#include "report/field_presence.h"
#include "report/pool_choice.h"
#include "simulation/db2_simulation.h"

namespace ornexa {

namespace {

// Adds `point` unless a point of more trusted evidence stands at its size; a less trusted one there
// gives way.
void Place(std::vector<SizingPoint>& points, const SizingPoint& point) {
    const auto same = std::find_if(points.begin(), points.end(),
                                   [&point](const SizingPoint& p) { return p.buffers == point.buffers; });
    if (same == points.end()) {
        points.push_back(point);
    } else if (point.evidence < same->evidence) {
        *same = point;
    }
}

void SimulationPoints(const Report& report, const SimulationData& sim, int p, std::vector<SizingPoint>& points) {
    if (sim.ShownPool() != p) {
        return;
    }
    const PoolSimulation& simulated = sim.Pools(p);
    const PoolRecord& pool = report.Pools(p);
    for (int k = 1; k <= sim.SizeCount(); ++k) {
        // A simulated size is VPSIZE (and a hiperpool of old); a size with a hiperpool other than the
        // pool's own is no VPSIZE the pool can be given.
        if (sim.Sim.SimVPSize(k) <= 0 || sim.Sim.SimHPSize(k) != pool.HPSize) {
            continue;
        }
        Place(points, {sim.Sim.SimVPSize(k), simulated.SimReadIORate(k), SizingEvidence::Simulation});
    }
}

void Db2SimulatedPoint(const Report& report, int p, std::vector<SizingPoint>& points) {
    const std::optional<Db2SizeCurve> curve = Db2SizeCurveOf(report, p);
    if (curve && curve->simulated.syncReadsPerSecond) {
        Place(points, {curve->simulated.size, *curve->simulated.syncReadsPerSecond, SizingEvidence::Db2Simulated});
    }
}

} // namespace

std::vector<SizingPoint> HistoryPoints(const std::vector<SizeObservation>& history, std::int64_t currentBuffers,
                                       double currentGetPagesPerSecond, double loadBand) {
    std::map<std::int64_t, std::pair<double, int>> sums; // by size: reads, reports
    const double band = std::abs(currentGetPagesPerSecond) * std::max(loadBand, 0.0);
    for (const SizeObservation& seen : history) {
        if (seen.buffers <= 0 || seen.buffers == currentBuffers ||
            std::abs(seen.getPagesPerSecond - currentGetPagesPerSecond) > band) {
            continue;
        }
        auto& [reads, reports] = sums[seen.buffers];
        reads += seen.syncReadsPerSecond;
        ++reports;
    }
    std::vector<SizingPoint> points;
    points.reserve(sums.size());
    for (const auto& [buffers, sum] : sums) {
        SizingPoint point{buffers, sum.first / sum.second, SizingEvidence::History};
        point.reports = sum.second;
        points.push_back(point);
    }
    return points;
}

std::vector<SizingPoint> EstimatedPoints(std::int64_t buffers, double syncReadsPerSecond) {
    std::vector<SizingPoint> points;
    for (const double factor : EstimateSizeFactors) {
        const auto size = static_cast<std::int64_t>(std::llround(factor * static_cast<double>(buffers)));
        if (size <= 0 || size == buffers) {
            continue;
        }
        const double reads =
            syncReadsPerSecond * std::pow(static_cast<double>(buffers) / static_cast<double>(size), EstimateExponent);
        points.push_back({size, reads, SizingEvidence::Estimate});
    }
    return points;
}

SizingCurve BuildSizingCurve(const Report& report, const SimulationData& sim, int p,
                             const std::vector<SizeObservation>& history, const CurveOptions& options) {
    SizingCurve curve;
    if (!report.HasPool(p)) {
        curve.leftAlone = "no such pool";
        return curve;
    }
    const PoolRecord& pool = report.Pools(p);
    curve.poolName = ShownPoolName(report, p);
    curve.currentBuffers = pool.VPSize;
    if (report.Db2Display && static_cast<std::size_t>(p) <= report.Db2Display->pools.size()) {
        const Db2PoolFacts& facts = report.Db2Display->pools[static_cast<std::size_t>(p - 1)];
        curve.autosize = facts.autosize == "YES";
        curve.vpSizeMin = facts.figures.Get(PoolFigure::VpSizeMin);
        curve.vpSizeMax = facts.figures.Get(PoolFigure::VpSizeMax);
    }

    const std::optional<int> pageSize = PageSizeKB(curve.poolName);
    if (!pageSize) {
        curve.pageSizeKb = 0; // not known
        curve.leftAlone = "not a buffer-pool name, so its page size is not known";
        return curve;
    }
    curve.pageSizeKb = *pageSize;
    if (!PoolFieldGiven(report, p, "VPSize") || pool.VPSize <= 0) {
        curve.leftAlone = "the pool has no VPSIZE";
        return curve;
    }
    if (report.ElapsedSeconds <= 0) {
        curve.leftAlone = "the report has no interval length";
        return curve;
    }
    if (!PoolFieldGiven(report, p, "PoolReadIOsByType(1)")) {
        curve.leftAlone = std::string(NotInThisInput) + ": synchronous read I/Os";
        return curve;
    }
    const auto seconds = static_cast<double>(report.ElapsedSeconds);
    const double reads = static_cast<double>(pool.PoolReadIOsByType(1)) / seconds;

    std::vector<SizingPoint> points{{pool.VPSize, reads, SizingEvidence::Measured}};
    SimulationPoints(report, sim, p, points);
    Db2SimulatedPoint(report, p, points);
    if (PoolFieldGiven(report, p, "PoolGetPages")) {
        const double getPages = static_cast<double>(pool.PoolGetPages) / seconds;
        for (const SizingPoint& point : HistoryPoints(history, pool.VPSize, getPages, options.loadBand)) {
            Place(points, point);
        }
    }
    if (points.size() == 1) {
        if (!options.estimate) {
            curve.leftAlone = "nothing tells its reads at another size";
            return curve;
        }
        for (const SizingPoint& point : EstimatedPoints(pool.VPSize, reads)) {
            Place(points, point);
        }
    }
    curve.points = std::move(points);
    OrderPoints(curve);
    return curve;
}

std::vector<SizingCurve> BuildSizingCurves(const Report& report, const SimulationData& sim,
                                           const std::map<std::string, std::vector<SizeObservation>>& history,
                                           const CurveOptions& options) {
    static const std::vector<SizeObservation> none;
    std::vector<SizingCurve> curves;
    curves.reserve(static_cast<std::size_t>(report.PoolCount()));
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const auto seen = history.find(ShownPoolName(report, p));
        curves.push_back(BuildSizingCurve(report, sim, p, seen == history.end() ? none : seen->second, options));
    }
    return curves;
}

} // namespace ornexa
