#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/health_overview.h"
#include "advice/pool_ratings.h"
#include "history/history_store.h"
#include "report/table_text.h"

namespace ornexa::cli {

// Which end of a period a --since or --until text gives.
enum class BoundEnd { First, Last };

// "2026-11-30" or "2026-11-30T10:15" (seconds may follow) as collection times are held: a date's
// first second ("2026-11-30T00:00:00") or last ("2026-11-30T23:59:59"), a minute's first or last
// second. Nothing for any other text, or a day the calendar does not have.
std::optional<std::string> HealthBound(std::string_view text, BoundEnd end);

// What the health output tells beside the ratings: where they come from and what the run checks.
struct HealthContext {
    std::string file;        // the report read; empty for the history
    std::string history;     // the history's location as shown; empty for a report read
    HealthQuery query;       // the reports of the history covered
    std::string ratingsFile; // the site file of thresholds; empty for the built-in ones
    std::optional<RatingVerdict> failOn;
};

// Whether the ratings reached the level of --fail-on (never without it).
bool Reached(const HealthOverview& overview, std::optional<RatingVerdict> failOn);

// The overview of one report: one column, and each pool's ratings in report order.
struct ReportHealth {
    HealthOverview overview;
    std::vector<PoolRating> pools;
};
ReportHealth RateReportHealth(const Report& report, const HealthColumn& column, const RatingSettings& settings);

// The document "ornexa-health/1" (docs/health-json.md), written as it is worked out. `pools` holds the
// ratings of the one report read, nothing for the history's.
void WriteHealthDocument(std::ostream& out, const HealthOverview& overview, const HealthContext& context,
                         const std::vector<PoolRating>* pools);

// The text of one report: the overview, then every rating of every pool.
void WriteReportHealthText(std::ostream& out, const ReportHealth& health, const HealthContext& context);

// The text of the history: the ranked pools, the intervals that reached a warning or an exception
// (a day a line), and the worst rating of each pool per interval (a day a line, a mark an interval).
void WriteHistoryHealthText(std::ostream& out, const HealthOverview& overview, const HealthContext& context);

// The CSV rows of a report's ratings: one per rating of each pool, figures unrounded with a `.`.
TextTable HealthCsvTable(const HealthColumn& column, const std::vector<PoolRating>& pools);

} // namespace ornexa::cli
