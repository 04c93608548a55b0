#pragma once

#include <cstdint>

#include "report/fixed_text.h"
#include "report/one_based.h"

namespace ornexa {

inline constexpr int MaxSimSizes = 8;
template <class T> using PerSize = OneBased<T, MaxSimSizes>;

// The "*BPP" line of a Simulation report: which pool was simulated at which sizes.
struct SimParameters {
    FixedText<16> SimHeaderField01;
    FixedText<4> SimHeaderField02;
    FixedText<4> SimHeaderField03;
    FixedText<10> SimHeaderField04;
    FixedText<8> SimHeaderField05;
    FixedText<4> SimHeaderField06;
    FixedText<6> SimPoolName;
    std::int16_t SimSizeCount = 0; // 2..8 in a report that loaded
    double SimHeaderValue09 = 0;
    double SimHeaderValue10 = 0;
    PerSize<std::int32_t> SimVPSize;
    PerSize<std::int32_t> SimHPSize;
    PerSize<FixedText<8>> SimSizeLabel; // kept as written, blanks included
};

} // namespace ornexa
