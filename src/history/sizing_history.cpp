#include "history/sizing_history.h"

#include "history/stored_text.h"

namespace ornexa {

SizingHistoryQuery SizingHistoryQueryOf(const Report& report) {
    SizingHistoryQuery query;
    query.filter.system = StoredText(report.Header.SystemName.Trimmed());
    query.filter.subsystem = StoredText(report.Header.SubSystemName.Trimmed());
    return query;
}

std::vector<SizeObservation> ObservationsOf(const std::vector<PoolTrendPoint>& trend, const std::string& until) {
    std::vector<SizeObservation> observations;
    for (const PoolTrendPoint& point : trend) {
        if (!until.empty() && point.report.collectedAt > until) {
            continue;
        }
        const std::optional<std::int64_t> buffers = point.VPSize();
        if (!buffers || !point.getPagesPerSecond || !point.syncReadIOsPerSecond) {
            continue;
        }
        observations.push_back({*buffers, *point.getPagesPerSecond, *point.syncReadIOsPerSecond});
    }
    return observations;
}

HistoryResult<std::map<std::string, std::vector<SizeObservation>>>
SizingObservations(HistoryStore& store, const std::vector<std::string>& poolNames, const SizingHistoryQuery& query) {
    std::map<std::string, std::vector<SizeObservation>> observations;
    for (const std::string& name : poolNames) {
        HistoryResult<std::vector<PoolTrendPoint>> trend = store.PoolTrend(name, query.filter);
        if (!trend.Ok()) {
            return {std::nullopt, std::move(trend.messages)};
        }
        observations[name] = ObservationsOf(*trend.value, query.until);
    }
    return {std::move(observations), {}};
}

} // namespace ornexa
