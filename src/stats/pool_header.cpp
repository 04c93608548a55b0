#include "stats/pool_header.h"

#include "report/number_format.h"
#include "report/latin1.h"

namespace ornexa {

namespace {
std::string Figure(std::int64_t value) {
    return "  " + StrText(value);
}
} // namespace

PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    PoolHeader h;
    h.poolInfo[0] = Latin1ToUtf8(pool.PoolName.Trimmed());
    h.poolInfo[1] = Figure(PoolObjects(report, p).Count());
    h.poolInfo[2] = Figure(pool.VPSize);
    h.poolInfo[3] = Figure(pool.HPSize);
    h.poolInfo[4] = "  " + Latin1ToUtf8(pool.CastOut.Padded());
    h.thresholdInfo[0] = Figure(pool.VPSeqThreshold);
    h.thresholdInfo[1] = Figure(pool.HPSeqThreshold);
    h.thresholdInfo[2] = "  " + StrText(pool.DWTH, style);
    h.thresholdInfo[3] = "  " + StrText(pool.VWTH, style);
    h.caption = "Quorvel - " + Latin1ToUtf8(pool.PoolName.Trimmed());
    return h;
}

} // namespace ornexa
