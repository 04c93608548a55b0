#include "simulation/sim_charts.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "report/latin1.h"
#include "report/number_format.h"

namespace ornexa {

namespace {

double Measure(const PoolSimulation& pool, int measure, int k) {
    return measure == SysHitRatioMeasure ? pool.SimSysHitRatio(k) : pool.SimReadIORate(k);
}

// Nearest whole number, ties to even; kept a Double, as an improvement may be any size.
double RoundEven(double value) {
    return std::nearbyint(value);
}

struct TopEntry {
    float value;
    int object;
};

// Takes the largest remaining value n times (the last of equal values wins) or the smallest (the
// first of equal values wins). Taken objects are flagged, so every value ranks by its real size.
std::vector<TopEntry> Top(const std::vector<double>& values, int first, int n, bool largest) {
    std::vector<TopEntry> top;
    std::vector<bool> taken(values.size(), false);
    for (int r = 0; r < n; ++r) {
        int choice = -1;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (taken[i]) {
                continue;
            }
            const auto value = static_cast<float>(values[i]);
            const float best = choice < 0 ? 0.0F : static_cast<float>(values[static_cast<std::size_t>(choice)]);
            if (choice < 0 || (largest ? value >= best : value < best)) {
                choice = static_cast<int>(i);
            }
        }
        if (choice < 0) {
            break;
        }
        taken[static_cast<std::size_t>(choice)] = true;
        top.push_back({static_cast<float>(values[static_cast<std::size_t>(choice)]), first + choice});
    }
    return top;
}

// Bars of a top list: entry r at point `at(r)`; series 1 the object numbers, hidden.
template <class At>
void FillBars(ChartModel& chart, const Report& report, const std::vector<TopEntry>& top, float divisor, At at) {
    const int n = static_cast<int>(top.size());
    chart.OpenData(ChartKind::Ranked, 2, n);
    for (int r = 1; r <= n; ++r) {
        const TopEntry& entry = top[static_cast<std::size_t>(r - 1)];
        const auto point = static_cast<std::size_t>(at(r, n));
        chart.series[0][point] = ShownValue(entry.value / divisor);
        chart.series[1][point] = entry.object;
        chart.labels[point] = Latin1ToUtf8(report.Objects(entry.object).ObjName.Trimmed());
    }
    chart.hiddenSeries[1] = true;
    chart.visible = true;
}

// The axis maximum: the largest entry rounded to a whole number.
double WholeMaximum(const std::vector<TopEntry>& top) {
    double m = top.empty() ? 0 : RoundEven(top.front().value);
    for (const TopEntry& entry : top) {
        if (static_cast<double>(entry.value) > m) {
            m = RoundEven(entry.value);
        }
    }
    return m;
}

// The axes of a size curve span its sizes and its values; hit ratios on a percent axis.
void SetCurveRanges(ChartModel& chart, std::pair<double, double> x, std::pair<double, double> y, int measure) {
    chart.xMin = x.first;
    chart.axisMin = y.first;
    chart.xMax = x.second;
    chart.axisMax = y.second;
    chart.axisEnds = measure == SysHitRatioMeasure ? AxisEnds::Percent : AxisEnds::Extend;
}

// A curve with nothing to draw on: hidden, with the reason told.
bool HideCurve(ChartModel& chart, std::string_view why) {
    chart.noData.emplace_back(why);
    chart.visible = false;
    return false;
}

int BarsOf(const Report& report, int p) {
    return std::min(PoolObjects(report, p).Count(), 10);
}

} // namespace

bool DrawPoolSizeCurve(ChartModel& chart, const SimulationData& sim, int p, int measure) {
    const PoolSimulation& pool = sim.Pools(p);
    const int n = sim.SizeCount();
    chart.OpenData(ChartKind::Curve, 1, n);
    chart.noData.clear();
    chart.visible = true;
    chart.title = measure == SysHitRatioMeasure ? "Pool Size Versus System Hit Ratio" : "Pool Size Versus Read IO Rate";
    chart.subtitle.clear(); // the chart may have shown Db2's simulated pool of another pool
    if (n == 0) {
        return true;
    }
    double xMin = pool.SimPoolSize(1);
    double xMax = xMin;
    double yMin = Measure(pool, measure, 1);
    double yMax = yMin;
    bool anyRate = false;
    for (int k = 1; k <= n; ++k) {
        const double x = pool.SimPoolSize(k);
        const double y = Measure(pool, measure, k);
        chart.xValues[static_cast<std::size_t>(k - 1)] = x;
        chart.series[0][static_cast<std::size_t>(k - 1)] = y;
        chart.labels[static_cast<std::size_t>(k - 1)] = PlainText(static_cast<std::int64_t>(pool.SimPoolSize(k)));
        xMin = std::min(xMin, x);
        xMax = std::max(xMax, x);
        yMin = std::min(yMin, y);
        yMax = std::max(yMax, y);
        anyRate = anyRate || y != 0;
    }
    // A curve of zero read I/O rates has no scale to draw on.
    if (measure == IORateMeasure && !anyRate) {
        return HideCurve(chart, ZeroIORatesText);
    }
    SetCurveRanges(chart, {xMin, xMax}, {yMin, yMax}, measure);
    return true;
}

bool DrawDb2SizeCurve(ChartModel& chart, const Db2SizeCurve& curve, int measure) {
    const auto points = curve.Points();
    chart.OpenData(ChartKind::Curve, 1, static_cast<int>(points.size()));
    chart.noData.clear();
    chart.visible = true;
    chart.title = measure == SysHitRatioMeasure ? "Pool Size Versus System Hit Ratio"
                                                : "Pool Size Versus Synchronous Read IO Rate";
    chart.subtitle = Db2SizeCurveCaption;
    const auto value = [measure](const SizeCurvePoint& point) {
        return measure == SysHitRatioMeasure ? point.hitRatio : point.syncReadsPerSecond;
    };
    bool anyRate = false;
    for (std::size_t k = 0; k < points.size(); ++k) {
        const std::optional<double> y = value(points[k]);
        if (!y) {
            return HideCurve(chart, measure == SysHitRatioMeasure ? Db2HitRatioNotKnownText : Db2RateNotKnownText);
        }
        chart.xValues[k] = static_cast<double>(points[k].size);
        chart.series[0][k] = *y;
        chart.labels[k] = PlainText(points[k].size);
        anyRate = anyRate || *y != 0;
    }
    if (measure == IORateMeasure && !anyRate) {
        return HideCurve(chart, ZeroIORatesText);
    }
    SetCurveRanges(chart, std::minmax(chart.xValues[0], chart.xValues[1]),
                   std::minmax(chart.series[0][0], chart.series[0][1]), measure);
    return true;
}

void DrawLargestImprovement(ChartModel& chart, const Report& report, const SimulationData& sim, int p, int measure) {
    const ObjectRange range = PoolObjects(report, p);
    const int sizes = sim.SizeCount();
    std::vector<double> improvement(static_cast<std::size_t>(range.Count()), 0.0);
    for (int i = 0; i < range.Count(); ++i) {
        const ObjectSimulation& o = sim.Objects(range.first + i);
        const auto value = [&](int k) {
            return measure == SysHitRatioMeasure ? o.SimSysHitRatio(k) : o.SimReadIORate(k);
        };
        double hi = sizes > 0 ? value(1) : 0.0;
        double lo = hi;
        for (int k = 2; k <= sizes; ++k) {
            if (o.SimMaxWorkSet(k) > 0) {
                hi = std::max(hi, value(k));
                lo = std::min(lo, value(k));
            }
        }
        improvement[static_cast<std::size_t>(i)] = hi - lo;
    }
    const std::vector<TopEntry> top = Top(improvement, range.first, BarsOf(report, p), true);
    chart.title = measure == SysHitRatioMeasure ? "Objects With Largest Percentage Improvement"
                                                : "Objects With Largest I/O Rate Reduction";
    FillBars(chart, report, top, 1.0F, [](int r, int n) { return n - r; });
    chart.axisMax = WholeMaximum(top) * 1.25;
}

int WorkSetSizeIndex(const SimulationData& sim, int p) {
    const PoolSimulation& pool = sim.Pools(p);
    int k0 = 0;
    for (const int k : sim.Sizes()) {
        if (pool.SimGetPages(k) >= 1 && (k0 == 0 || pool.SimPoolSize(k) > pool.SimPoolSize(k0))) {
            k0 = k;
        }
    }
    return k0;
}

namespace {

void DrawWorkSets(ChartModel& chart, const Report& report, const SimulationData& sim, int p, bool largest) {
    const int k0 = WorkSetSizeIndex(sim, p);
    const ObjectRange range = PoolObjects(report, p);
    std::vector<double> workSets(static_cast<std::size_t>(range.Count()), 0.0);
    for (int i = 0; i < range.Count(); ++i) {
        workSets[static_cast<std::size_t>(i)] = k0 == 0 ? 0.0 : sim.Objects(range.first + i).SimMaxWorkSet(k0);
    }
    const std::vector<TopEntry> top = Top(workSets, range.first, BarsOf(report, p), largest);
    const bool scaled = std::any_of(top.begin(), top.end(), [](const TopEntry& e) { return e.value > 9999.0F; });
    double m = WholeMaximum(top);
    if (largest) {
        FillBars(chart, report, top, scaled ? 1000.0F : 1.0F, [](int r, int n) { return n - r; });
    } else {
        FillBars(chart, report, top, scaled ? 1000.0F : 1.0F, [](int r, int) { return r - 1; });
    }
    if (scaled) {
        m = RoundEven(m / 1000);
    }
    chart.title = std::string(largest ? "Objects With Largest Max WkSet" : "Objects With Smallest Max WkSet") +
                  (scaled ? " * 1K" : "");
    chart.axisMax = m * 1.25;
}

} // namespace

void DrawLargestWorkSets(ChartModel& chart, const Report& report, const SimulationData& sim, int p) {
    DrawWorkSets(chart, report, sim, p, true);
}
void DrawSmallestWorkSets(ChartModel& chart, const Report& report, const SimulationData& sim, int p) {
    DrawWorkSets(chart, report, sim, p, false);
}

const std::array<std::string, SimDetailRowCount>& SimDetailsRows() {
    static const std::array<std::string, SimDetailRowCount> rows{"Get Pages", "Avg Work Set", "Max Work Set",
                                                                 "Sytem Hit Ratio", "I/O per second"};
    return rows;
}

std::array<std::vector<std::string>, SimDetailRowCount> SimObjectDetailCells(const SimulationData& sim, int o,
                                                                             NumberStyle style) {
    const ObjectSimulation& object = sim.Objects(o);
    std::array<std::vector<std::string>, SimDetailRowCount> cells;
    for (const int k : sim.Sizes()) {
        cells[0].push_back(PlainText(static_cast<std::int64_t>(object.SimGetPages(k))));
        cells[1].push_back(PlainText(static_cast<std::int64_t>(object.SimAvgWorkSet(k))));
        cells[2].push_back(PlainText(static_cast<std::int64_t>(object.SimMaxWorkSet(k))));
        cells[3].push_back(PlainText(object.SimSysHitRatio(k), style));
        cells[4].push_back(PlainText(object.SimReadIORate(k), style));
    }
    return cells;
}

} // namespace ornexa
