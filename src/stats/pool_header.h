#pragma once

#include <array>
#include <string>

#include "report/numbers.h"
#include "report/report_model.h"

namespace ornexa {

// The pool header of the Pool Info tab: name, objects, VP size, HP size, cast-out; VPSEQT, HPSEQT,
// DWTH, VWTH; and the window caption.
struct PoolHeader {
    std::array<std::string, 5> poolInfo;
    std::array<std::string, 4> thresholdInfo;
    std::string caption;
};
PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style = {});

} // namespace ornexa
