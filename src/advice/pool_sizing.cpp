#include "advice/pool_sizing.h"

#include <algorithm>
#include <cmath>

namespace ornexa {

std::string_view SizingEvidenceKey(SizingEvidence evidence) {
    switch (evidence) {
    case SizingEvidence::Measured:
        return "measured";
    case SizingEvidence::Simulation:
        return "simulation";
    case SizingEvidence::Db2Simulated:
        return "db2_simulated";
    case SizingEvidence::History:
        return "history";
    case SizingEvidence::Estimate:
        break;
    }
    return "estimate";
}

std::string_view SizingEvidenceText(SizingEvidence evidence) {
    switch (evidence) {
    case SizingEvidence::Measured:
        return "measured";
    case SizingEvidence::Simulation:
        return "simulated";
    case SizingEvidence::Db2Simulated:
        return "Db2 simulated";
    case SizingEvidence::History:
        return "history";
    case SizingEvidence::Estimate:
        break;
    }
    return "estimated";
}

std::string_view SizingConfidenceKey(SizingConfidence confidence) {
    switch (confidence) {
    case SizingConfidence::High:
        return "high";
    case SizingConfidence::Medium:
        return "medium";
    case SizingConfidence::Low:
        return "low";
    case SizingConfidence::None:
        break;
    }
    return "none";
}

std::array<int, SizingEvidenceCount> EvidenceCounts(const SizingCurve& curve) {
    std::array<int, SizingEvidenceCount> counts{};
    for (const SizingPoint& point : curve.points) {
        ++counts[static_cast<std::size_t>(point.evidence)];
    }
    return counts;
}

SizingConfidence ConfidenceOf(const SizingCurve& curve) {
    const std::array<int, SizingEvidenceCount> counts = EvidenceCounts(curve);
    const auto has = [&counts](SizingEvidence evidence) { return counts[static_cast<std::size_t>(evidence)] > 0; };
    if (has(SizingEvidence::Simulation) || has(SizingEvidence::Db2Simulated)) {
        return SizingConfidence::High;
    }
    if (has(SizingEvidence::History)) {
        return SizingConfidence::Medium;
    }
    if (has(SizingEvidence::Estimate)) {
        return SizingConfidence::Low;
    }
    // A measurement alone tells the reads at one size, nothing of another.
    return SizingConfidence::None;
}

std::string EvidenceSummary(const SizingCurve& curve) {
    const std::array<int, SizingEvidenceCount> counts = EvidenceCounts(curve);
    std::string text;
    for (std::size_t kind = 0; kind < SizingEvidenceCount; ++kind) {
        if (counts[kind] == 0) {
            continue;
        }
        if (!text.empty()) {
            text += ", ";
        }
        text += std::to_string(counts[kind]) + ' ' + std::string(SizingEvidenceText(static_cast<SizingEvidence>(kind)));
    }
    return text.empty() ? "no evidence" : text;
}

void OrderPoints(SizingCurve& curve) {
    std::stable_sort(curve.points.begin(), curve.points.end(),
                     [](const SizingPoint& a, const SizingPoint& b) { return a.buffers < b.buffers; });
    double lowest = 0;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        SizingPoint& point = curve.points[i];
        point.rises = i > 0 && point.syncReadsPerSecond > lowest;
        lowest = i == 0 ? point.syncReadsPerSecond : std::min(lowest, point.syncReadsPerSecond);
    }
}

std::optional<double> ReadsAt(const SizingCurve& curve, std::int64_t buffers) {
    const std::vector<SizingPoint>& points = curve.points;
    if (points.empty()) {
        return std::nullopt;
    }
    // The curve the allocation reads: each point no higher than any before it.
    double lowest = points.front().syncReadsPerSecond;
    if (buffers <= points.front().buffers) {
        return lowest;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const SizingPoint& left = points[i - 1];
        const SizingPoint& right = points[i];
        const double rightReads = std::min(lowest, right.syncReadsPerSecond);
        if (buffers <= right.buffers) {
            if (right.buffers == left.buffers) {
                return rightReads;
            }
            const double share =
                static_cast<double>(buffers - left.buffers) / static_cast<double>(right.buffers - left.buffers);
            return lowest + (rightReads - lowest) * share;
        }
        lowest = rightReads;
    }
    return lowest;
}

namespace {

struct Pool {
    SizingCurve curve;
    std::int64_t proposed = 0;
    std::int64_t step = 0;
    std::int64_t floor = 0;
};

// The next move of a pool and what it saves (adding) or costs (giving back) per byte.
struct Move {
    std::int64_t buffers = 0; // the size after the move
    std::int64_t bytes = 0;   // moved, always positive
    double readsPerByte = 0;
};

std::optional<Move> NextMove(const Pool& pool, bool adding) {
    if (pool.curve.points.empty()) {
        return std::nullopt;
    }
    std::int64_t next = adding ? pool.proposed + pool.step : pool.proposed - pool.step;
    if (adding && pool.curve.maxBuffers) {
        next = std::min(next, *pool.curve.maxBuffers);
    }
    if (!adding) {
        next = std::max(next, pool.floor);
    }
    if (next == pool.proposed || (adding && next < pool.proposed) || (!adding && next > pool.proposed)) {
        return std::nullopt;
    }
    const double before = *ReadsAt(pool.curve, pool.proposed);
    const double after = *ReadsAt(pool.curve, next);
    const std::int64_t bytes = std::llabs(next - pool.proposed) * pool.curve.BytesPerBuffer();
    const double reads = adding ? before - after : after - before;
    return Move{next, bytes, reads / static_cast<double>(bytes)};
}

} // namespace

SizingPlan AllocateBudget(std::vector<SizingCurve> curves, const SizingRequest& request) {
    std::vector<Pool> pools;
    pools.reserve(curves.size());
    for (SizingCurve& curve : curves) {
        OrderPoints(curve);
        Pool pool;
        pool.proposed = curve.currentBuffers;
        pool.step = std::max(
            request.minStepBuffers,
            static_cast<std::int64_t>(std::llround(request.stepShare * static_cast<double>(curve.currentBuffers))));
        pool.step = std::max<std::int64_t>(pool.step, 1);
        // No pool is given back below its smallest point (there is no evidence there), nor a kept one
        // below its current size.
        pool.floor =
            curve.points.empty() ? curve.currentBuffers : std::min(curve.currentBuffers, curve.points.front().buffers);
        if (curve.keep) {
            pool.floor = curve.currentBuffers;
        }
        pool.curve = std::move(curve);
        pools.push_back(std::move(pool));
    }

    const bool adding = request.budgetBytes >= 0;
    const std::int64_t budget = std::llabs(request.budgetBytes);
    std::int64_t placed = 0;
    // Each pool's next move, worked out again only for the pool that moved.
    std::vector<std::optional<Move>> moves(pools.size());
    for (std::size_t i = 0; i < pools.size(); ++i) {
        moves[i] = NextMove(pools[i], adding);
    }
    while (placed < budget) {
        std::optional<std::size_t> best;
        Move bestMove;
        for (std::size_t i = 0; i < pools.size(); ++i) {
            const std::optional<Move>& move = moves[i];
            // Adding never passes the budget, and a step that saves nothing is not worth its storage.
            if (!move || (adding && (placed + move->bytes > budget || move->readsPerByte <= 0))) {
                continue;
            }
            const bool better =
                !best ||
                (adding ? move->readsPerByte > bestMove.readsPerByte : move->readsPerByte < bestMove.readsPerByte) ||
                (move->readsPerByte == bestMove.readsPerByte && pools[i].curve.poolName < pools[*best].curve.poolName);
            if (better) {
                best = i;
                bestMove = *move;
            }
        }
        if (!best) {
            break;
        }
        pools[*best].proposed = bestMove.buffers;
        placed += bestMove.bytes;
        moves[*best] = NextMove(pools[*best], adding);
    }

    SizingPlan plan;
    for (const Pool& pool : pools) {
        SizingResult result;
        result.poolName = pool.curve.poolName;
        result.currentBuffers = pool.curve.currentBuffers;
        result.proposedBuffers = pool.proposed;
        result.bytes = (pool.proposed - pool.curve.currentBuffers) * pool.curve.BytesPerBuffer();
        result.evidence = !pool.curve.points.empty();
        if (result.evidence) {
            result.readsNow = ReadsAt(pool.curve, pool.curve.currentBuffers);
            result.readsProposed = ReadsAt(pool.curve, pool.proposed);
            result.readsSaved = *result.readsNow - *result.readsProposed;
            plan.readsSaved += *result.readsSaved;
        }
        result.confidence = ConfidenceOf(pool.curve);
        result.leftAlone = pool.curve.leftAlone;
        plan.bytesPlaced += result.bytes;
        plan.pools.push_back(std::move(result));
    }
    return plan;
}

} // namespace ornexa
