#pragma once

#include <string>
#include <vector>

#include "report/numbers.h"
#include "stats/chart_model.h"

namespace ornexa {

// The ticks of a value axis at a round step (1, 2, 2.5 or 5 times a power of ten): `count`
// values from `first`, the first and last being the axis ends.
struct AxisTicks {
    double first = 0;
    double step = 1;
    int count = 2;
    int decimals = 0; // the fewest that tell the ticks apart

    [[nodiscard]] double Value(int i) const;
    [[nodiscard]] double Min() const { return first; }
    [[nodiscard]] double Max() const { return Value(count - 1); }
    [[nodiscard]] std::vector<double> Values() const;
    friend bool operator==(const AxisTicks&, const AxisTicks&) = default;
};

inline constexpr int MostTicks = 8;

// Ticks at the smallest round step that covers min..max with at most `mostTicks` (2 to 8): four
// to eight when eight may be drawn. A range of one value is drawn against zero; one of zero, or
// one that is not finite, runs 0 to 1.
AxisTicks NiceTicks(double min, double max, int mostTicks = MostTicks);

// A percent axis: 0 to 100 exactly, reaching past either end in round steps only for a value
// outside it. Values that all lie below 25 would hide in the bottom quarter: their axis reaches out
// from them as any other.
AxisTicks PercentTicks(double min, double max, int mostTicks = MostTicks);
// The same for ratios written as fractions: 0 to 1.
AxisTicks FractionTicks(double min, double max, int mostTicks = MostTicks);

// The value axis of `chart` (ranked bars, curves) for its axis limits, or its values without them.
AxisTicks ValueAxisTicks(const ChartModel& chart, int mostTicks = MostTicks);
// The X axis of a curve.
AxisTicks XAxisTicks(const ChartModel& chart, int mostTicks = MostTicks);

// The tick texts in `style`: grouped whole numbers when every tick is whole, else the ticks'
// decimals; an exponent for magnitudes beyond grouping.
std::vector<std::string> TickLabels(const AxisTicks& ticks, NumberStyle style = {});

// The text beside a bar: at most three decimals, trailing zeros dropped, grouped like the ticks
// (12.4569 reads 12.457, 14.5 stays 14.5, 3459800 reads 3,459,800).
std::string BarValueText(double value, NumberStyle style = {});

} // namespace ornexa
