#include "history/history_signature.h"

#include <algorithm>
#include <exception>

namespace ornexa {

namespace {

std::int64_t Whole(const SqlValue& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* number = std::get_if<double>(&value)) {
        return static_cast<std::int64_t>(*number);
    }
    return 0;
}

} // namespace

HistoryResult<HistorySignature> ReadSignature(HistoryStore& store) {
    try {
        const auto rows = store.Database().Query("SELECT COUNT(*), COALESCE(MAX(id), 0), "
                                                 "CAST(COALESCE(SUM(has_simulation), 0) AS BIGINT) FROM reports");
        if (rows.empty() || rows.front().size() < 3) {
            return {HistorySignature{}, {}};
        }
        const SqlRow& row = rows.front();
        return {HistorySignature{Whole(row[0]), Whole(row[1]), Whole(row[2])}, {}};
    } catch (const std::exception& e) {
        return {std::nullopt, FaultMessages(std::string("The reports held could not be counted: ") + e.what())};
    }
}

HistorySignature SignatureOf(const std::vector<HistoryReportInfo>& reports) {
    HistorySignature signature;
    signature.reports = static_cast<std::int64_t>(reports.size());
    for (const HistoryReportInfo& info : reports) {
        signature.newestId = std::max(signature.newestId, info.id);
        signature.simulations += info.hasSimulation ? 1 : 0;
    }
    return signature;
}

} // namespace ornexa
