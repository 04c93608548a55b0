#include "history/trend_charts.h"

#include <charconv>
#include <cstdint>
#include <utility>

namespace ornexa {

namespace {

struct TimedValue {
    double seconds;
    double value;
    std::string origin;
};

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + count, value);
    if (error != std::errc() || end != first + count) {
        return std::nullopt;
    }
    return value;
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

ChartModel TimeLine(std::string title, std::string subtitle, const std::vector<TimedValue>& values,
                    std::string noData) {
    ChartModel chart;
    chart.title = std::move(title);
    chart.subtitle = std::move(subtitle);
    chart.OpenData(ChartKind::TimeLine, 1, static_cast<int>(values.size()));
    for (std::size_t p = 0; p < values.size(); ++p) {
        chart.xValues[p] = values[p].seconds;
        chart.series[0][p] = values[p].value;
        chart.labels[p] = values[p].origin;
        chart.toolTips[p] = values[p].origin;
    }
    if (values.empty()) {
        chart.noData = {std::move(noData)};
    }
    return chart;
}

template <class Point, class Figure> std::vector<TimedValue> Timed(const std::vector<Point>& points, Figure figure) {
    std::vector<TimedValue> values;
    for (const Point& point : points) {
        const std::optional<double> seconds = CollectionSeconds(point.report.collectedAt);
        const std::optional<double> value = figure(point);
        if (seconds && value) {
            values.push_back({*seconds, *value, TrendPointOrigin(point.report)});
        }
    }
    return values;
}

} // namespace

std::optional<double> CollectionSeconds(std::string_view collectedAt) {
    if (collectedAt.size() < 19 || collectedAt[4] != '-' || collectedAt[7] != '-' || collectedAt[10] != 'T' ||
        collectedAt[13] != ':' || collectedAt[16] != ':') {
        return std::nullopt;
    }
    const auto year = Digits(collectedAt, 0, 4);
    const auto month = Digits(collectedAt, 5, 2);
    const auto day = Digits(collectedAt, 8, 2);
    const auto hour = Digits(collectedAt, 11, 2);
    const auto minute = Digits(collectedAt, 14, 2);
    const auto second = Digits(collectedAt, 17, 2);
    if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 || *day < 1 || *day > 31 ||
        *hour > 23 || *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    const std::int64_t days = DaysFromCivil(*year, *month, *day);
    return static_cast<double>(days * 86400 + std::int64_t{*hour} * 3600 + std::int64_t{*minute} * 60 + *second);
}

std::string TrendPointOrigin(const HistoryReportInfo& report) {
    const std::size_t slash = report.fileName.find_last_of("/\\");
    const std::string file = slash == std::string::npos ? report.fileName : report.fileName.substr(slash + 1);
    std::string when = report.collectedAt;
    if (when.size() > 10 && when[10] == 'T') {
        when[10] = ' ';
    }
    return file + ", " + when;
}

std::vector<ChartMarker> PoolSettingMarkers(const std::vector<PoolTrendPoint>& points) {
    std::vector<ChartMarker> markers;
    for (std::size_t i = 1; i < points.size(); ++i) {
        // A setting the input did not give is no change.
        const auto vpSize = std::pair(points[i - 1].VPSize(), points[i].VPSize());
        const auto vpSeqt = std::pair(points[i - 1].VPSeqThreshold(), points[i].VPSeqThreshold());
        std::string text;
        if (vpSize.first && vpSize.second && *vpSize.first != *vpSize.second) {
            text = "VPSIZE " + std::to_string(*vpSize.first) + " -> " + std::to_string(*vpSize.second);
        }
        if (vpSeqt.first && vpSeqt.second && *vpSeqt.first != *vpSeqt.second) {
            text += (text.empty() ? "" : "; ") + std::string("VPSEQT ") + std::to_string(*vpSeqt.first) + " -> " +
                    std::to_string(*vpSeqt.second);
        }
        const std::optional<double> seconds = CollectionSeconds(points[i].report.collectedAt);
        if (!text.empty() && seconds) {
            markers.push_back({*seconds, std::move(text)});
        }
    }
    return markers;
}

std::array<ChartModel, PoolTrendChartCount> PoolTrendCharts(std::string_view poolName,
                                                            const std::vector<PoolTrendPoint>& points) {
    const std::string pool(poolName);
    const std::string none = "No report in the history holds pool " + pool + " with this figure.";
    std::array<ChartModel, PoolTrendChartCount> charts{
        TimeLine(pool, "Hit Ratio", Timed(points, [](const PoolTrendPoint& p) { return p.hitRatio; }), none),
        TimeLine(pool, "Get Pages / sec", Timed(points, [](const PoolTrendPoint& p) { return p.getPagesPerSecond; }),
                 none),
        TimeLine(pool, "Sync Read I/O / sec",
                 Timed(points, [](const PoolTrendPoint& p) { return p.syncReadIOsPerSecond; }), none),
        TimeLine(pool, "Pages Written / sec",
                 Timed(points, [](const PoolTrendPoint& p) { return p.pagesWrittenPerSecond; }), none),
        TimeLine(pool, "VPSIZE",
                 Timed(points,
                       [](const PoolTrendPoint& p) {
                           const std::optional<std::int64_t> size = p.VPSize();
                           return size ? std::optional<double>(static_cast<double>(*size)) : std::nullopt;
                       }),
                 none),
    };
    charts[HitRatioTrend].axisMin = 0;
    charts[HitRatioTrend].axisMax = 100;
    charts[HitRatioTrend].axisEnds = AxisEnds::Percent;
    charts[VPSizeTrend].stepSeries.assign(1, true);
    const std::vector<ChartMarker> markers = PoolSettingMarkers(points);
    for (ChartModel& chart : charts) {
        chart.markers = markers;
    }
    return charts;
}

std::array<ChartModel, ObjectTrendChartCount> ObjectTrendCharts(std::string_view objectName,
                                                                const std::vector<ObjectTrendPoint>& points) {
    const std::string object(objectName);
    const std::string none = "No report in the history holds object " + object + " with this figure.";
    std::array<ChartModel, ObjectTrendChartCount> charts{
        TimeLine(object, "Get Pages / sec",
                 Timed(points, [](const ObjectTrendPoint& p) { return p.getPagesPerSecond; }), none),
        TimeLine(object, "Sys Hit Ratio", Timed(points, [](const ObjectTrendPoint& p) { return p.sysHitRatio; }), none),
    };
    charts[ObjectHitRatioTrend].axisMin = 0;
    charts[ObjectHitRatioTrend].axisMax = 100;
    charts[ObjectHitRatioTrend].axisEnds = AxisEnds::Percent;
    return charts;
}

} // namespace ornexa
