#include "stats/chart_model.h"

#include <array>
#include <charconv>
#include <cmath>

#include "report/numbers.h"

namespace ornexa {

void ChartModel::OpenData(ChartKind chartKind, int seriesCount, int pointCount) {
    kind = chartKind;
    const auto points = static_cast<std::size_t>(pointCount);
    series.assign(static_cast<std::size_t>(seriesCount), std::vector<double>(points, 0.0));
    labels.assign(points, std::string{});
    const bool overX = chartKind == ChartKind::Curve || chartKind == ChartKind::TimeLine;
    xValues.assign(overX ? points : 0, 0.0);
    hiddenSeries.assign(static_cast<std::size_t>(seriesCount), false);
    stepSeries.assign(static_cast<std::size_t>(seriesCount), false);
    toolTips.assign(chartKind == ChartKind::TimeLine ? points : 0, std::string{});
    markers.clear();
    absentText.clear();
    axisMin.reset();
    axisMax.reset();
    xMin.reset();
    xMax.reset();
    axisEnds = AxisEnds::Extend;
}

std::vector<Message> NoDataMessages(const ChartModel& chart) {
    std::vector<Message> messages;
    for (const std::string& text : chart.noData) {
        messages.push_back({"", text, MessageIcon::None});
    }
    return messages;
}

double ShownValue(float value) {
    std::array<char, 32> buf{};
    const auto written = std::to_chars(buf.data(), buf.data() + buf.size(), value);
    double shown = 0;
    std::from_chars(buf.data(), written.ptr, shown);
    return shown;
}

int ChartModel::ObjectAt(int point) const {
    if (kind != ChartKind::Ranked || series.size() < 2 || point < 0 || point >= PointCount()) {
        return 0;
    }
    const Converted<std::int16_t> number = DoubleToInteger(series[1][static_cast<std::size_t>(point)]);
    return number ? number.Value() : 0;
}

} // namespace ornexa
