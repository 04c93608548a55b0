#include "advice/health_overview.h"

#include <algorithm>
#include <unordered_map>

namespace ornexa {

HealthCell CellOf(RatingVerdict worst) {
    switch (worst) {
    case RatingVerdict::Good:
        return HealthCell::Good;
    case RatingVerdict::Warning:
        return HealthCell::Warning;
    case RatingVerdict::Exception:
        return HealthCell::Exception;
    case RatingVerdict::NotApplicable:
        break;
    }
    return HealthCell::NotApplicable;
}

std::string_view HealthCellKey(HealthCell cell) {
    switch (cell) {
    case HealthCell::Absent:
        return "absent";
    case HealthCell::Good:
        return "good";
    case HealthCell::Warning:
        return "warning";
    case HealthCell::Exception:
        return "exception";
    case HealthCell::NotApplicable:
        break;
    }
    return "not_applicable";
}

HealthCell HealthOverview::Worst() const {
    HealthCell worst = HealthCell::NotApplicable;
    for (const HealthCell cell : cells) {
        worst = std::max(worst, cell);
    }
    return worst;
}

HealthOverview BuildHealthOverview(const std::vector<RatedReport>& reports) {
    // Rows in order of first appearance while filling; ranked at the end.
    std::unordered_map<std::string, std::size_t> rowOf;
    std::vector<std::string> names;
    for (const RatedReport& report : reports) {
        for (const RatedReport::Pool& pool : report.pools) {
            if (rowOf.try_emplace(pool.name, names.size()).second) {
                names.push_back(pool.name);
            }
        }
    }
    const std::size_t width = reports.size();
    std::vector<HealthColumn> columns;
    columns.reserve(width);
    std::vector<HealthCell> filled(names.size() * width, HealthCell::Absent);
    for (std::size_t c = 0; c < width; ++c) {
        columns.push_back(reports[c].column);
        for (const RatedReport::Pool& pool : reports[c].pools) {
            HealthCell& cell = filled[rowOf.at(pool.name) * width + c];
            cell = std::max(cell, CellOf(pool.worst));
        }
    }
    return RankedHealthOverview(std::move(columns), names, filled);
}

HealthOverview RankedHealthOverview(std::vector<HealthColumn> columns, const std::vector<std::string>& names,
                                    const std::vector<HealthCell>& filled) {
    HealthOverview overview;
    overview.columns = std::move(columns);
    const std::size_t width = overview.columns.size();
    std::vector<HealthRow> rows(names.size());
    for (std::size_t r = 0; r < names.size(); ++r) {
        rows[r].poolName = names[r];
        for (std::size_t c = 0; c < width; ++c) {
            const HealthCell cell = filled[r * width + c];
            rows[r].intervals += cell == HealthCell::Absent ? 0 : 1;
            rows[r].warnings += cell == HealthCell::Warning ? 1 : 0;
            rows[r].exceptions += cell == HealthCell::Exception ? 1 : 0;
        }
    }
    std::vector<std::size_t> order(names.size());
    for (std::size_t r = 0; r < order.size(); ++r) {
        order[r] = r;
    }
    std::sort(order.begin(), order.end(), [&rows](std::size_t a, std::size_t b) {
        if (rows[a].exceptions != rows[b].exceptions) {
            return rows[a].exceptions > rows[b].exceptions;
        }
        if (rows[a].warnings != rows[b].warnings) {
            return rows[a].warnings > rows[b].warnings;
        }
        return rows[a].poolName < rows[b].poolName;
    });
    overview.rows.reserve(order.size());
    overview.cells.reserve(filled.size());
    for (const std::size_t r : order) {
        overview.rows.push_back(rows[r]);
        overview.cells.insert(overview.cells.end(), filled.begin() + static_cast<std::ptrdiff_t>(r * width),
                              filled.begin() + static_cast<std::ptrdiff_t>((r + 1) * width));
    }
    return overview;
}

RatedReport RatedReportOf(const HealthColumn& column, const std::vector<PoolRating>& ratings) {
    RatedReport rated;
    rated.column = column;
    rated.pools.reserve(ratings.size());
    for (const PoolRating& rating : ratings) {
        rated.pools.push_back({rating.poolName, rating.Worst()});
    }
    return rated;
}

RatedReport RateForOverview(const Report& report, const HealthColumn& column, const RatingSettings& settings) {
    return RatedReportOf(column, RateReport(report, settings));
}

} // namespace ornexa
