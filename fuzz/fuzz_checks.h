#pragma once

#include <stdexcept>

#include "report/report_model.h"

namespace fuzz {

// A property every input must keep: libFuzzer reports the uncaught exception with its input.
inline void Check(bool condition, const char* what) {
    if (!condition) {
        throw std::logic_error(what);
    }
}

// The pools' object ranges as a read leaves them: each pool's objects follow the last pool's, from
// the first object on, none beyond the objects held.
inline void CheckObjectRanges(const ornexa::Report& report) {
    int next = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const ornexa::ObjectRange range = ornexa::PoolObjects(report, p);
        if (!range.empty()) {
            Check(range.first == next && range.last <= report.ObjectCount(), "object ranges are contiguous");
            next = range.last + 1;
        }
    }
}

} // namespace fuzz
