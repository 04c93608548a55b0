#include "cli/health_document.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <ostream>

#include "cli/aligned_columns.h"
#include "cli/history_document.h"
#include "cli/json_stream_writer.h"
#include "report/collection_date.h"
#include "report/number_format.h"
#include "report/shown_text.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

// Intervals listed per pool and day before the rest are only counted.
constexpr std::size_t ListedIntervalsPerDay = 12;

constexpr std::size_t DateLength = 10;  // "2026-11-30"
constexpr std::size_t MinuteLength = 5; // "10:15"
constexpr std::size_t SecondLength = 8; // "10:15:00"
constexpr std::size_t ClockStart = DateLength + 1;

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

Json NumberOrNull(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

std::string_view VerdictKeyOrNull(const std::optional<RatingVerdict>& verdict) {
    return verdict ? RatingVerdictKey(*verdict) : std::string_view{};
}

RatingVerdict VerdictOf(HealthCell cell) {
    switch (cell) {
    case HealthCell::Good:
        return RatingVerdict::Good;
    case HealthCell::Warning:
        return RatingVerdict::Warning;
    case HealthCell::Exception:
        return RatingVerdict::Exception;
    case HealthCell::Absent:
    case HealthCell::NotApplicable:
        break;
    }
    return RatingVerdict::NotApplicable;
}

HealthCell RowWorst(const HealthOverview& overview, std::size_t row) {
    HealthCell worst = HealthCell::Absent;
    for (std::size_t c = 0; c < overview.columns.size(); ++c) {
        worst = std::max(worst, overview.Cell(row, c));
    }
    return worst;
}

// A pool name as a terminal shows it.
std::string ShownName(std::string_view name) {
    return EscapeControls(ShownText(name));
}

bool IsIsoDay(std::string_view collectedAt) {
    return collectedAt.size() >= DateLength && collectedAt[4] == '-' && collectedAt[7] == '-';
}

// The day a collection time is on; a time held as the header's own text is a day of its own.
std::string_view DayOf(std::string_view collectedAt) {
    return IsIsoDay(collectedAt) ? collectedAt.substr(0, DateLength) : collectedAt;
}

// "10:15" of "2026-11-30T10:15:00"; the whole text when it is not of that form.
std::string_view ClockOf(std::string_view collectedAt) {
    return IsIsoDay(collectedAt) && collectedAt.size() >= ClockStart + MinuteLength
               ? collectedAt.substr(ClockStart, MinuteLength)
               : collectedAt;
}

// The runs of columns of one day each, as [first, end).
std::vector<std::pair<std::size_t, std::size_t>> Days(const std::vector<HealthColumn>& columns) {
    std::vector<std::pair<std::size_t, std::size_t>> days;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (days.empty() || DayOf(columns[c].collectedAt) != DayOf(columns[days.back().first].collectedAt)) {
            days.emplace_back(c, c);
        }
        days.back().second = c + 1;
    }
    return days;
}

// "45.20 s", "3" for a count; "-" for no value.
std::string ValueText(const std::optional<double>& value, std::string_view unit) {
    if (!value || !std::isfinite(*value)) {
        return "-";
    }
    return WithUnit(unit.empty() ? PlainText(*value) : FigureCell(value, FigureStyle::TwoDecimals), unit);
}

// "< 90 s", "> 0"; "-" for a bound not set.
std::string BoundText(const std::optional<double>& bound, const RatingDefinition& definition) {
    if (!bound) {
        return "-";
    }
    return std::string(definition.worseWhen == WorseWhen::Below ? "< " : "> ") +
           WithUnit(PlainText(*bound), definition.unit);
}

std::string Plural(int count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

Json ColumnDocument(const HealthColumn& column) {
    return {{"id", column.reportId == 0 ? Json(nullptr) : Json(column.reportId)},
            {"system", column.system},
            {"subsystem", column.subsystem},
            {"collected", column.collectedAt}};
}

Json RatingDocument(const Rating& rating) {
    const RatingDefinition& definition = DefinitionOf(rating.kind);
    return {{"key", definition.key},
            {"caption", definition.caption},
            {"unit", definition.unit},
            {"value", NumberOrNull(rating.value)},
            {"verdict", RatingVerdictKey(rating.verdict)},
            {"warning", NumberOrNull(rating.threshold.warning)},
            {"exception", NumberOrNull(rating.threshold.exception)},
            {"worse_when", definition.worseWhen == WorseWhen::Below ? "below" : "above"},
            {"formula", definition.formula},
            {"reason", rating.verdict == RatingVerdict::NotApplicable ? Json(rating.reason) : Json(nullptr)}};
}

Json PoolRatingDocument(const PoolRating& pool) {
    Json ratings = Json::array();
    for (const Rating& rating : pool.ratings) {
        ratings.push_back(RatingDocument(rating));
    }
    return {{"pool", ShownText(pool.poolName)},
            {"number", pool.pool},
            {"worst", RatingVerdictKey(pool.Worst())},
            {"ratings", std::move(ratings)}};
}

Json OverviewRowDocument(const HealthOverview& overview, std::size_t r) {
    const HealthRow& row = overview.rows[r];
    Json cells = Json::array();
    for (std::size_t c = 0; c < overview.columns.size(); ++c) {
        cells.push_back(HealthCellKey(overview.Cell(r, c)));
    }
    return {{"name", ShownText(row.poolName)}, {"worst", HealthCellKey(RowWorst(overview, r))},
            {"warnings", row.warnings},        {"exceptions", row.exceptions},
            {"intervals", row.intervals},      {"cells", std::move(cells)}};
}

Json FilterDocument(const HealthQuery& query) {
    return {{"system", TextOrNull(query.filter.system)},
            {"subsystem", TextOrNull(query.filter.subsystem)},
            {"since", TextOrNull(query.since)},
            {"until", TextOrNull(query.until)}};
}

void WriteLines(std::ostream& out, const AlignedColumns& columns, const std::vector<std::vector<std::string>>& rows,
                std::string_view indent) {
    for (const auto& row : rows) {
        out << indent << columns.Line(row);
    }
}

// The ranked pools: their worst rating and how many intervals reached a warning or an exception.
void WriteOverviewTable(std::ostream& out, const HealthOverview& overview) {
    std::vector<std::vector<std::string>> rows{{"Pool", "Worst", "Warnings", "Exceptions", "Intervals"}};
    for (std::size_t r = 0; r < overview.rows.size(); ++r) {
        const HealthRow& row = overview.rows[r];
        rows.push_back({ShownName(row.poolName), std::string(RatingVerdictText(VerdictOf(RowWorst(overview, r)))),
                        std::to_string(row.warnings), std::to_string(row.exceptions), std::to_string(row.intervals)});
    }
    AlignedColumns columns({false, false, true, true, true});
    for (const auto& row : rows) {
        columns.Measure(row);
    }
    WriteLines(out, columns, rows, "");
}

void WriteThresholdsLine(std::ostream& out, const HealthContext& context) {
    out << "Thresholds: " << (context.ratingsFile.empty() ? "built in" : context.ratingsFile) << '\n';
    if (context.failOn) {
        out << "Fails on: " << RatingVerdictKey(*context.failOn) << '\n';
    }
}

std::vector<std::string> RatingRow(const Rating& rating) {
    const RatingDefinition& definition = DefinitionOf(rating.kind);
    return {std::string(definition.caption),
            ValueText(rating.value, definition.unit),
            std::string(RatingVerdictText(rating.verdict)),
            BoundText(rating.threshold.warning, definition),
            BoundText(rating.threshold.exception, definition),
            std::string(definition.formula),
            rating.verdict == RatingVerdict::NotApplicable ? rating.reason : ""};
}

// Per pool with warnings or exceptions, a line per day: how many, and the first intervals with their reports.
void WriteReachedIntervals(std::ostream& out, const HealthOverview& overview) {
    out << "\nIntervals that reached a warning or an exception, a day a line:\n";
    const auto days = Days(overview.columns);
    std::vector<std::vector<std::string>> rows;
    for (std::size_t r = 0; r < overview.rows.size(); ++r) {
        if (overview.rows[r].warnings + overview.rows[r].exceptions == 0) {
            continue;
        }
        for (const auto& [first, end] : days) {
            int warnings = 0;
            int exceptions = 0;
            std::string listed;
            std::size_t count = 0;
            for (std::size_t c = first; c < end; ++c) {
                const HealthCell cell = overview.Cell(r, c);
                if (cell != HealthCell::Warning && cell != HealthCell::Exception) {
                    continue;
                }
                (cell == HealthCell::Warning ? warnings : exceptions) += 1;
                if (++count <= ListedIntervalsPerDay) {
                    const HealthColumn& column = overview.columns[c];
                    listed += std::string(count > 1 ? ", " : "") + std::string(ClockOf(column.collectedAt)) + " " +
                              std::string(HealthCellKey(cell)) +
                              (column.reportId != 0 ? " (report " + std::to_string(column.reportId) + ")" : "");
                }
            }
            if (count == 0) {
                continue;
            }
            if (count > ListedIntervalsPerDay) {
                listed += ", and " + std::to_string(count - ListedIntervalsPerDay) + " more";
            }
            rows.push_back({ShownName(overview.rows[r].poolName),
                            std::string(DayOf(overview.columns[first].collectedAt)),
                            Plural(exceptions, "exception", "exceptions") + ", " +
                                Plural(warnings, "warning", "warnings") + ": " + listed});
        }
    }
    if (rows.empty()) {
        out << "  none\n";
        return;
    }
    AlignedColumns columns({false, false, false});
    for (const auto& row : rows) {
        columns.Measure(row);
    }
    WriteLines(out, columns, rows, "  ");
}

char Mark(HealthCell cell) {
    switch (cell) {
    case HealthCell::Good:
        return '.';
    case HealthCell::Warning:
        return 'w';
    case HealthCell::Exception:
        return 'X';
    case HealthCell::NotApplicable:
        return '-';
    case HealthCell::Absent:
        break;
    }
    return ' ';
}

// A line per day and pool, a mark per interval of the day by collection time.
void WriteDayMarks(std::ostream& out, const HealthOverview& overview) {
    out << "\nWorst rating per interval, a day a line (. good, w warning, X exception, - not applicable, blank: "
           "the pool not in the report):\n";
    std::vector<std::vector<std::string>> rows;
    for (const auto& [first, end] : Days(overview.columns)) {
        for (std::size_t r = 0; r < overview.rows.size(); ++r) {
            std::string marks;
            for (std::size_t c = first; c < end; ++c) {
                marks += Mark(overview.Cell(r, c));
            }
            if (marks.find_first_not_of(' ') == std::string::npos) {
                continue;
            }
            rows.push_back(
                {std::string(DayOf(overview.columns[first].collectedAt)), ShownName(overview.rows[r].poolName), marks});
        }
    }
    AlignedColumns columns({false, false, false});
    for (const auto& row : rows) {
        columns.Measure(row);
    }
    WriteLines(out, columns, rows, "  ");
}

} // namespace

std::optional<std::string> HealthBound(std::string_view text, BoundEnd end) {
    const std::size_t t = text.find('T');
    const std::string_view date = text.substr(0, t);
    const std::string_view clock = t == std::string_view::npos ? std::string_view{} : text.substr(t + 1);
    if (date.size() != DateLength || !IsIsoDay(date) ||
        (t != std::string_view::npos && clock.size() != MinuteLength && clock.size() != SecondLength) ||
        clock.find_first_not_of("0123456789:") != std::string_view::npos) {
        return std::nullopt;
    }
    const auto moment = ParseCollectionMoment(date, clock.empty() ? "00:00" : clock);
    if (!moment) {
        return std::nullopt;
    }
    const bool last = end == BoundEnd::Last;
    const int hour = clock.empty() ? (last ? 23 : 0) : moment->hour;
    const int minute = clock.empty() ? (last ? 59 : 0) : moment->minute;
    const int second = clock.size() == SecondLength ? moment->second : (last ? 59 : 0);
    std::array<char, 32> shown{};
    std::snprintf(shown.data(), shown.size(), "%04d-%02d-%02dT%02d:%02d:%02d", moment->year, moment->month, moment->day,
                  hour, minute, second);
    return std::string(shown.data());
}

bool Reached(const HealthOverview& overview, std::optional<RatingVerdict> failOn) {
    return failOn && overview.Worst() >= CellOf(*failOn);
}

ReportHealth RateReportHealth(const Report& report, const HealthColumn& column, const RatingSettings& settings) {
    ReportHealth health;
    health.pools = RateReport(report, settings);
    health.overview = BuildHealthOverview({RatedReportOf(column, health.pools)});
    return health;
}

void WriteHealthDocument(std::ostream& out, const HealthOverview& overview, const HealthContext& context,
                         const std::vector<PoolRating>* pools) {
    JsonStreamWriter json(out);
    json.BeginObject();
    json.Member("schema", "ornexa-health/1");
    json.Member("source", pools != nullptr ? "report" : "history");
    json.Member("file", TextOrNull(context.file));
    json.Member("history", TextOrNull(context.history));
    json.Member("filter", pools != nullptr ? Json(nullptr) : FilterDocument(context.query));
    json.Member("ratings_file", TextOrNull(context.ratingsFile));
    json.Member("fail_on", TextOrNull(std::string(VerdictKeyOrNull(context.failOn))));
    json.Member("reached", Reached(overview, context.failOn));
    json.Member("worst", HealthCellKey(overview.Worst()));
    json.MemberArray("reports", [&] {
        for (const HealthColumn& column : overview.columns) {
            json.Value(ColumnDocument(column));
        }
    });
    json.MemberArray("pools", [&] {
        for (std::size_t r = 0; r < overview.rows.size(); ++r) {
            json.Value(OverviewRowDocument(overview, r));
        }
    });
    if (pools == nullptr) {
        json.Member("ratings", nullptr);
    } else {
        json.MemberArray("ratings", [&] {
            for (const PoolRating& pool : *pools) {
                json.Value(PoolRatingDocument(pool));
            }
        });
    }
    json.EndObject();
    out << '\n';
}

void WriteReportHealthText(std::ostream& out, const ReportHealth& health, const HealthContext& context) {
    out << "Health of " << context.file;
    if (!health.overview.columns.empty()) {
        const HealthColumn& column = health.overview.columns.front();
        out << " (" << EscapeControls(column.system) << " " << EscapeControls(column.subsystem) << ", collected "
            << EscapeControls(column.collectedAt) << ")";
    }
    out << '\n';
    WriteThresholdsLine(out, context);
    out << '\n';
    WriteOverviewTable(out, health.overview);

    const std::vector<std::string> header{"Rating", "Value", "Verdict", "Warning", "Exception", "Formula", "Reason"};
    AlignedColumns columns({false, true, false, false, false, false, false});
    columns.Measure(header);
    for (const PoolRating& pool : health.pools) {
        for (const Rating& rating : pool.ratings) {
            columns.Measure(RatingRow(rating));
        }
    }
    for (const PoolRating& pool : health.pools) {
        out << '\n'
            << ShownName(pool.poolName) << " (pool " << pool.pool << "): " << RatingVerdictText(pool.Worst()) << '\n';
        out << "  " << columns.Line(header);
        for (const Rating& rating : pool.ratings) {
            out << "  " << columns.Line(RatingRow(rating));
        }
    }
}

void WriteHistoryHealthText(std::ostream& out, const HealthOverview& overview, const HealthContext& context) {
    out << "Health of the history " << context.history << ": "
        << Plural(static_cast<int>(overview.columns.size()), "report", "reports");
    if (!overview.columns.empty()) {
        out << ", " << EscapeControls(overview.columns.front().collectedAt) << " to "
            << EscapeControls(overview.columns.back().collectedAt);
    }
    out << '\n';
    const HealthQuery& query = context.query;
    std::string only;
    const auto add = [&only](std::string_view what, const std::string& value) {
        if (!value.empty()) {
            only += (only.empty() ? "" : ", ") + std::string(what) + " " + EscapeControls(value);
        }
    };
    add("system", query.filter.system);
    add("subsystem", query.filter.subsystem);
    add("since", query.since);
    add("until", query.until);
    if (!only.empty()) {
        out << "Only: " << only << '\n';
    }
    WriteThresholdsLine(out, context);
    if (overview.columns.empty()) {
        out << "\nNo report held is covered.\n";
        return;
    }
    out << '\n';
    WriteOverviewTable(out, overview);
    WriteReachedIntervals(out, overview);
    WriteDayMarks(out, overview);
}

TextTable HealthCsvTable(const HealthColumn& column, const std::vector<PoolRating>& pools) {
    TextTable table;
    table.header = {"report_id", "collected_at", "pool", "rating", "value", "verdict"};
    const std::string id = column.reportId == 0 ? "" : std::to_string(column.reportId);
    for (const PoolRating& pool : pools) {
        for (const Rating& rating : pool.ratings) {
            table.rows.push_back(
                {id, column.collectedAt, ShownText(pool.poolName), std::string(DefinitionOf(rating.kind).key),
                 FigureCell(rating.value, FigureStyle::Plain), std::string(RatingVerdictKey(rating.verdict))});
        }
    }
    return table;
}

} // namespace ornexa::cli
