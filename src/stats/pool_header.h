#pragma once

#include <array>
#include <string>
#include <vector>

#include "report/numbers.h"
#include "report/report_model.h"
#include "stats/share_figures.h"

namespace ornexa {

// The pool header of the Pool Info tab: name, objects, VP size, HP size, cast-out; VPSEQT, HPSEQT,
// DWTH, VWTH; and the window caption. A figure the input does not give is "not in this input".
struct PoolHeader {
    std::array<std::string, 5> poolInfo;
    std::array<std::string, 4> thresholdInfo;
    std::string caption;
};
PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style = {});

// What the report of Db2's display tells of pool p beyond its header: the pool's record figures the
// display does not give ("not in this input"), then Db2's settings and counters of the pool that the
// record does not hold, captioned with Db2's own labels, and Db2's simulated pool when it has one.
// None for a monitor's report.
std::vector<FigureRow> PoolDb2Rows(const Report& report, int p, NumberStyle style = {});

} // namespace ornexa
