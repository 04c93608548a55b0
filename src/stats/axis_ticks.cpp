#include "stats/axis_ticks.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "report/number_format.h"

namespace ornexa {

namespace {

// Ends that land on a tick within rounding stay on it: 0.3 / 0.1 is 2.9999999999999996.
constexpr double Slack = 1e-9;
// Grouped whole numbers are written out up to here; beyond it an exponent is shorter.
constexpr double LargestWritten = 1e15;
// Steps finer than this are written with an exponent, and their ticks are left unrounded.
constexpr int MostDecimalsWritten = 6;
constexpr int MostDecimalsRounded = 15;

double PowerOfTen(int exponent) {
    return std::pow(10.0, exponent);
}

// mantissa * 10^exponent times i, computed so that decimal steps give the Double nearest their
// decimal text (3 * 0.1 is 0.30000000000000004, 3 / 10 is 0.3).
double Multiple(double mantissa, int exponent, double i) {
    const double scaled = i * mantissa;
    return exponent >= 0 ? scaled * PowerOfTen(exponent) : scaled / PowerOfTen(-exponent);
}

struct Step {
    double mantissa;
    int exponent;
};

AxisTicks TicksAt(Step step, double min, double max) {
    const double size = Multiple(step.mantissa, step.exponent, 1);
    const double low = std::floor(min / size + Slack);
    const double high = std::ceil(max / size - Slack);
    AxisTicks ticks;
    ticks.first = Multiple(step.mantissa, step.exponent, low);
    ticks.step = size;
    ticks.count = static_cast<int>(high - low) + 1;
    // 2.5 has one decimal more than its power of ten.
    ticks.decimals = std::max(0, -step.exponent + (step.mantissa == 2.5 ? 1 : 0));
    ticks.count = std::max(ticks.count, 2);
    return ticks;
}

} // namespace

double AxisTicks::Value(int i) const {
    // Computed from the step's own decimals, as TicksAt placed them.
    const double exact = first + step * i;
    if (decimals > MostDecimalsRounded) {
        return exact;
    }
    const double scale = PowerOfTen(decimals);
    return std::round(exact * scale) / scale;
}

std::vector<double> AxisTicks::Values() const {
    std::vector<double> values;
    values.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        values.push_back(Value(i));
    }
    return values;
}

AxisTicks NiceTicks(double min, double max, int mostTicks) {
    mostTicks = std::clamp(mostTicks, 2, MostTicks);
    if (!std::isfinite(min) || !std::isfinite(max)) {
        min = 0;
        max = 1;
    }
    if (min > max) {
        std::swap(min, max);
    }
    if (min == max) {
        min = std::min(min, 0.0);
        max = std::max(max, 0.0);
        if (min == max) {
            max = 1;
        }
    }
    // The smallest round step that needs no more than mostTicks ticks; the one below it needed
    // more, so this one, at most twice as large, still leaves half as many. Divided first, so
    // that the widest ranges do not overflow.
    const double perTick = max / (mostTicks - 1) - min / (mostTicks - 1);
    const int exponent = static_cast<int>(std::floor(std::log10(perTick))) - 1;
    static constexpr std::array<double, 4> mantissas{1, 2, 2.5, 5};
    for (int e = exponent; e <= exponent + 3; ++e) {
        for (const double mantissa : mantissas) {
            const AxisTicks ticks = TicksAt({mantissa, e}, min, max);
            if (ticks.count <= mostTicks) {
                return ticks;
            }
        }
    }
    return TicksAt({1, exponent + 4}, min, max);
}

namespace {

// 0 to `whole`, unless the values would fill less than a quarter of it.
AxisTicks WholeTicks(double min, double max, double whole, int mostTicks) {
    if (!std::isfinite(min) || !std::isfinite(max)) {
        return NiceTicks(0, whole, mostTicks);
    }
    const double low = std::min({min, max, 0.0});
    const double high = std::max(min, max);
    if (high > 0 && high < whole / 4 && low > -whole / 4) { // nothing to show leaves the whole axis
        return NiceTicks(low, high, mostTicks);
    }
    return NiceTicks(low, std::max(high, whole), mostTicks);
}

} // namespace

AxisTicks PercentTicks(double min, double max, int mostTicks) {
    return WholeTicks(min, max, 100, mostTicks);
}

AxisTicks FractionTicks(double min, double max, int mostTicks) {
    return WholeTicks(min, max, 1, mostTicks);
}

namespace {

struct Range {
    double min;
    double max;
};

Range ValueRange(const ChartModel& chart) {
    Range range{0, 0};
    if (!chart.series.empty()) {
        const std::vector<double>& values = chart.series.front();
        if (!values.empty()) {
            const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
            range = {*lo, *hi};
        }
    }
    if (chart.kind == ChartKind::Ranked) { // bars grow from zero
        range = {std::min(range.min, 0.0), std::max(range.max, 0.0)};
    }
    return {chart.axisMin.value_or(range.min), chart.axisMax.value_or(range.max)};
}

} // namespace

AxisTicks ValueAxisTicks(const ChartModel& chart, int mostTicks) {
    const Range range = ValueRange(chart);
    switch (chart.axisEnds) {
    case AxisEnds::Percent:
        return PercentTicks(range.min, range.max, mostTicks);
    case AxisEnds::Fraction:
        return FractionTicks(range.min, range.max, mostTicks);
    case AxisEnds::Extend:
        break;
    }
    return NiceTicks(range.min, range.max, mostTicks);
}

AxisTicks XAxisTicks(const ChartModel& chart, int mostTicks) {
    double lo = 0;
    double hi = 0;
    if (!chart.xValues.empty()) {
        const auto [first, last] = std::minmax_element(chart.xValues.begin(), chart.xValues.end());
        lo = *first;
        hi = *last;
    }
    return NiceTicks(chart.xMin.value_or(lo), chart.xMax.value_or(hi), mostTicks);
}

std::vector<std::string> TickLabels(const AxisTicks& ticks, NumberStyle style) {
    const double largest = std::max(std::fabs(ticks.Min()), std::fabs(ticks.Max()));
    const std::string picture = "#,##0" + (ticks.decimals > 0 ? "." + std::string(ticks.decimals, '0') : "");
    std::vector<std::string> labels;
    for (const double value : ticks.Values()) {
        const bool exponent = largest >= LargestWritten || ticks.decimals > MostDecimalsWritten;
        labels.push_back(exponent ? PlainText(value, style) : FormatPicture(value, picture, style));
    }
    return labels;
}

std::string BarValueText(double value, NumberStyle style) {
    if (!std::isfinite(value) || std::fabs(value) >= LargestWritten) {
        return PlainText(value, style);
    }
    return FormatPicture(value, "#,##0.###", style);
}

} // namespace ornexa
