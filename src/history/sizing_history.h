#pragma once

#include <map>
#include <string>
#include <vector>

#include "advice/sizing_curves.h"
#include "history/history_store.h"

namespace ornexa {

// Which reports of the history tell of other sizes of a report's pools: those of its system and
// subsystem, collected up to `until` (ISO 8601 text, compared as text; empty for every one).
struct SizingHistoryQuery {
    HistoryFilter filter;
    std::string until;
};
// The query for a report: its own system and subsystem, every report held.
SizingHistoryQuery SizingHistoryQueryOf(const Report& report);

// Per pool name, what each report of the query measured: its VPSIZE, getpages and synchronous read
// I/Os per second; a report that does not give all three for the pool is passed over.
HistoryResult<std::map<std::string, std::vector<SizeObservation>>>
SizingObservations(HistoryStore& store, const std::vector<std::string>& poolNames, const SizingHistoryQuery& query);

// The observations of one pool's trend (`until` as above).
std::vector<SizeObservation> ObservationsOf(const std::vector<PoolTrendPoint>& trend, const std::string& until = {});

} // namespace ornexa
