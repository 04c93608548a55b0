#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/history_store.h"
#include "stats/chart_model.h"

namespace ornexa {

// The charts of a pool's trend, in the order the Trend tab shows them.
enum PoolTrendChart : int { HitRatioTrend, GetPagesTrend, SyncReadsTrend, PagesWrittenTrend, VPSizeTrend };
inline constexpr int PoolTrendChartCount = 5;
enum ObjectTrendChart : int { ObjectGetPagesTrend, ObjectHitRatioTrend };
inline constexpr int ObjectTrendChartCount = 2;

// A collection time "2026-11-30T10:15:00" as seconds since 1970-01-01, read as UTC; nothing for a
// text that is not such a time.
std::optional<double> CollectionSeconds(std::string_view collectedAt);

// What a point's tooltip says of its report: "mon.sta, 2026-11-30 10:15:00".
std::string TrendPointOrigin(const HistoryReportInfo& report);

// Where the pool's settings changed between two reports that follow each other: "VPSIZE 20000 ->
// 30000", "VPSEQT 80 -> 50", both in one text when both changed.
std::vector<ChartMarker> PoolSettingMarkers(const std::vector<PoolTrendPoint>& points);

// Hit ratio (0 to 100), getpages, synchronous read I/Os and pages written per second, and the
// virtual pool size as steps; every chart carries the markers. A report without a collection time,
// or without the figure (no interval length), has no point on that chart.
std::array<ChartModel, PoolTrendChartCount> PoolTrendCharts(std::string_view poolName,
                                                            const std::vector<PoolTrendPoint>& points);

// An object's getpages per second and system hit ratio over time.
std::array<ChartModel, ObjectTrendChartCount> ObjectTrendCharts(std::string_view objectName,
                                                                const std::vector<ObjectTrendPoint>& points);

} // namespace ornexa
