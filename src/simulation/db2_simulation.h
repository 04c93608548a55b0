#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "report/report_model.h"

namespace ornexa {

// Where a point of a pool's size curve comes from: what the pool measured at the size it runs at, or
// what Db2's own simulated pool (ALTER BUFFERPOOL ... SPSIZE) says a larger pool would have done.
enum class SizePointKind { Measured, Db2Simulated };
std::string_view SizePointKindKey(SizePointKind kind); // "measured", "db2-simulated"

struct SizeCurvePoint {
    SizePointKind kind = SizePointKind::Measured;
    std::int64_t size = 0;                    // buffers
    std::optional<double> syncReadsPerSecond; // synchronous read I/Os; not known without an interval end
    std::optional<double> hitRatio;           // system hit ratio, percent; not known without getpages
    friend bool operator==(const SizeCurvePoint&, const SizeCurvePoint&) = default;
};

// Db2's simulated pool of one pool as a curve of two points: the current size (VPSIZE) and the
// simulated size (VPSIZE + SPSIZE), whose synchronous reads are the measured ones less those Db2
// counted as avoidable (DSNB432I).
struct Db2SizeCurve {
    int pool = 0;
    SizeCurvePoint current;
    SizeCurvePoint simulated;
    std::int64_t syncReads = 0;          // measured in the interval, random and sequential
    std::int64_t avoidableSyncReads = 0; // random and sequential, at most the reads made
    std::optional<double> avoidableSyncReadsPerSecond;
    std::optional<std::int64_t> seqThreshold; // SPSEQT, percent

    [[nodiscard]] std::array<SizeCurvePoint, 2> Points() const { return {current, simulated}; }
    friend bool operator==(const Db2SizeCurve&, const Db2SizeCurve&) = default;
};

inline constexpr std::string_view Db2SizeCurveCaption = "Db2's simulated pool: two points, current and simulated size";

// The curve of pool p of a report made from Db2's display; absent for a monitor's report, a pool
// without a simulated pool (no DSNB431I, SPSIZE 0) or one whose display gave no avoidable reads.
std::optional<Db2SizeCurve> Db2SizeCurveOf(const Report& report, int p);

// Whether any pool of the report has such a curve.
bool HasDb2SizeCurve(const Report& report);

} // namespace ornexa
