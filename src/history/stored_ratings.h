#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "advice/health_overview.h"
#include "advice/pool_ratings.h"
#include "history/history_store.h"
#include "history/sql_database.h"

namespace ornexa {

// The ratings a history keeps of each report, made when it is imported with the thresholds then in
// force:
// - report_health: one row per report, all the overview reads of it: its system, subsystem and
//   collection time, the thresholds' key, the set of its pool names (rated_pool_names, shared by every
//   report of the same pools) and each pool's worst verdict, one character per pool.
// - pool_ratings: one row per pool, each rating's verdict and value (or why it does not apply), so that
//   the verdicts can be judged again from the values with other thresholds.

// A key that tells apart thresholds that judge differently: the bounds of the defaults and of every
// rule, in order, with the bounds a rule switches off (not the site file's name or lines). 16 hex digits.
std::string RatingSettingsKey(const RatingSettings& settings);

// A pool's ratings as pool_ratings keeps them: one field per rating in rating order, separated by tabs;
// an applicable rating is its verdict's letter ("g", "w", "e") and the value, shortest text that reads
// back the same double ("g412.5"), one that does not apply "n" and the reason.
std::string StoredPoolRatings(const PoolRating& rating);

// The ratings back, judged against `thresholds`: with the verdicts stored when `storedVerdicts` (the
// thresholds are those they were stored with), else judged again from the values. A rating the text
// does not hold (added to the program after the report was rated) does not apply. Throws SqlError
// naming `where` for a text that is not a pool's ratings.
PoolRating PoolRatingFromStored(std::string_view stored, const RatingThresholds& thresholds, bool storedVerdicts,
                                const std::string& where);

// The worst verdicts of a report's pools as report_health keeps them: a letter per pool, in pool order.
std::string StoredVerdicts(const std::vector<PoolRating>& ratings);

// What a report's health row copies of the report, for the overview's index.
struct HealthRowKeys {
    std::string system;
    std::string subsystem;
    std::string collectedAt;
};

// Inside an import's (or a migration's) transaction: keeps the ratings of report `id`, rated with the
// thresholds of `settingsKey`.
void StoreRatings(SqlDatabase& db, std::int64_t id, const HealthRowKeys& keys, const std::vector<PoolRating>& ratings,
                  const std::string& settingsKey);

// Rates every report held that has no ratings yet with the built-in thresholds and keeps the ratings: the step that
// brings a history of the second schema to the third. Every report is loaded whole, objects and all, so a large history
// takes a while (minutes for a year of intervals); it is done once, in the migration's transaction.
void RateHeldReports(SqlDatabase& db);

// The overview of the reports `query` takes, from the stored ratings. Reports rated with other
// thresholds than `settings` are judged again from their stored values, which reads every pool's row
// of them (seconds for a year of intervals, against milliseconds when the thresholds are those stored).
HealthOverview StoredHealth(SqlDatabase& db, const HealthQuery& query, const RatingSettings& settings);

// Every pool of report `id`, rated, from the stored ratings; throws SqlError when the history holds no
// such report.
std::vector<PoolRating> StoredRatings(SqlDatabase& db, std::int64_t id, const RatingSettings& settings);

} // namespace ornexa
