#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "advice/pool_ratings.h"

namespace ornexa {

// What one cell of the overview holds: the pool's worst rating in that report, or that the report
// does not have the pool.
enum class HealthCell : std::uint8_t { Absent, NotApplicable, Good, Warning, Exception };
HealthCell CellOf(RatingVerdict worst);

// A column of the overview: one report (interval).
struct HealthColumn {
    std::int64_t reportId = 0; // in the history; 0 for a report not held
    std::string collectedAt;   // ISO 8601 "2026-11-30T10:15:00", or the header's text
    std::string system;
    std::string subsystem;
    friend bool operator==(const HealthColumn&, const HealthColumn&) = default;
};

// A row: one pool, with how many of its intervals reached a warning (and no worse) or an exception.
struct HealthRow {
    std::string poolName;
    int warnings = 0;
    int exceptions = 0;
    int intervals = 0; // columns that have the pool
    friend bool operator==(const HealthRow&, const HealthRow&) = default;
};

// Pools as rows, ranked (most exception intervals first, then most warning intervals, then by name);
// reports as columns, by collection time; each cell the pool's worst rating in that report.
struct HealthOverview {
    std::vector<HealthColumn> columns;
    std::vector<HealthRow> rows;
    std::vector<HealthCell> cells; // row-major: rows.size() x columns.size()

    [[nodiscard]] HealthCell Cell(std::size_t row, std::size_t column) const {
        return cells[row * columns.size() + column];
    }
    // The worst cell of the whole overview; NotApplicable when empty.
    [[nodiscard]] HealthCell Worst() const;
};

// One report's part of an overview: its column and each pool's worst rating.
struct RatedReport {
    HealthColumn column;
    struct Pool {
        std::string name;
        RatingVerdict worst = RatingVerdict::NotApplicable;
    };
    std::vector<Pool> pools;
};

// Builds the overview of `reports` (in the order given: callers pass them by collection time). A pool
// named twice in one report takes its worse verdict.
HealthOverview BuildHealthOverview(const std::vector<RatedReport>& reports);

// The overview of `columns` whose cells are given for the pools `names` (each once), row by row in the
// order of `names`: names.size() x columns.size() cells. The rows are counted and ranked.
HealthOverview RankedHealthOverview(std::vector<HealthColumn> columns, const std::vector<std::string>& names,
                                    const std::vector<HealthCell>& filled);

// A report's part of an overview: each pool's worst of its ratings.
RatedReport RatedReportOf(const HealthColumn& column, const std::vector<PoolRating>& ratings);
// A report's part of an overview, rated with `settings`.
RatedReport RateForOverview(const Report& report, const HealthColumn& column, const RatingSettings& settings = {});

// "absent", "not_applicable", "good", "warning", "exception".
std::string_view HealthCellKey(HealthCell cell);

} // namespace ornexa
