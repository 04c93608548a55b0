#include "simulation/db2_simulation.h"

#include <algorithm>

#include "report/db2_figures.h"

namespace ornexa {

namespace {

// The sum of the parts shown; absent when none was.
std::optional<std::int64_t> SumShown(std::optional<std::int64_t> a, std::optional<std::int64_t> b) {
    if (!a && !b) {
        return std::nullopt;
    }
    return a.value_or(0) + b.value_or(0);
}

std::optional<double> PerSecond(std::optional<std::int64_t> count, Long seconds) {
    if (!count || seconds <= 0) {
        return std::nullopt;
    }
    return static_cast<double>(*count) / static_cast<double>(seconds);
}

// The system hit ratio with `pagesRead` pages read: the share of getpages that found their page.
std::optional<double> HitRatio(Long getPages, std::int64_t pagesRead) {
    if (getPages <= 0) {
        return std::nullopt;
    }
    return 100.0 * static_cast<double>(getPages - pagesRead) / static_cast<double>(getPages);
}

} // namespace

std::string_view SizePointKindKey(SizePointKind kind) {
    return kind == SizePointKind::Db2Simulated ? "db2-simulated" : "measured";
}

std::optional<Db2SizeCurve> Db2SizeCurveOf(const Report& report, int p) {
    if (!report.Db2Display || !report.HasPool(p) || static_cast<std::size_t>(p) > report.Db2Display->pools.size()) {
        return std::nullopt;
    }
    const Db2PoolFacts& facts = report.Db2Display->pools[static_cast<std::size_t>(p - 1)];
    const PoolRecord& pool = report.Pools(p);
    if (!facts.simulated || facts.simulated->size.value_or(0) <= 0 || pool.VPSize <= 0) {
        return std::nullopt;
    }
    const SimulatedPoolFigures& simulated = *facts.simulated;
    const auto avoidable = SumShown(simulated.avoidableSyncRandom, simulated.avoidableSyncSeq);
    if (!avoidable) {
        return std::nullopt; // a simulated pool without its counters says nothing of the larger size
    }
    const auto syncReads =
        SumShown(facts.figures.Get(PoolFigure::SyncReadIosRandom), facts.figures.Get(PoolFigure::SyncReadIosSeq));
    // Db2 cannot avoid more reads than were made; a display that says so is held to the reads made.
    const std::int64_t avoided = syncReads ? std::clamp<std::int64_t>(*avoidable, 0, *syncReads) : *avoidable;
    const Long seconds = report.ElapsedSeconds;

    Db2SizeCurve curve;
    curve.pool = p;
    curve.syncReads = syncReads.value_or(0);
    curve.avoidableSyncReads = avoided;
    curve.avoidableSyncReadsPerSecond = PerSecond(avoided, seconds);
    curve.seqThreshold = simulated.seqThreshold;
    curve.current = {SizePointKind::Measured, pool.VPSize, PerSecond(syncReads, seconds),
                     HitRatio(pool.PoolGetPages, pool.PoolPagesRead)};
    const std::optional<std::int64_t> simulatedReads = syncReads ? std::optional(*syncReads - avoided) : std::nullopt;
    curve.simulated = {SizePointKind::Db2Simulated, static_cast<std::int64_t>(pool.VPSize) + *simulated.size,
                       PerSecond(simulatedReads, seconds),
                       HitRatio(pool.PoolGetPages, std::max<std::int64_t>(0, pool.PoolPagesRead - avoided))};
    return curve;
}

bool HasDb2SizeCurve(const Report& report) {
    if (!report.Db2Display) {
        return false;
    }
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (Db2SizeCurveOf(report, p)) {
            return true;
        }
    }
    return false;
}

} // namespace ornexa
