#pragma once

#include <cstdint>

#include "history/history_store.h"

namespace ornexa {

// What tells, at the cost of one small query, that the reports held have changed: a report stored,
// removed, or given a simulation since the signature was read.
struct HistorySignature {
    std::int64_t reports = 0;
    std::int64_t newestId = 0;
    std::int64_t simulations = 0;
    friend bool operator==(const HistorySignature&, const HistorySignature&) = default;
};

HistoryResult<HistorySignature> ReadSignature(HistoryStore& store);

// The signature of a list of the reports held, as HistoryStore::Reports gives it.
HistorySignature SignatureOf(const std::vector<HistoryReportInfo>& reports);

} // namespace ornexa
