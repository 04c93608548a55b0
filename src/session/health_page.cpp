#include "session/health_page.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <utility>

#include "report/collection_date.h"
#include "report/number_format.h"

namespace ornexa {

namespace {

// "2026-11-30" as a day, read as a header's date is; nothing for a text that is not such a date.
std::optional<std::chrono::sys_days> DayOf(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    const std::optional<CollectionMoment> moment = ParseCollectionMoment(text, "00:00");
    if (!moment) {
        return std::nullopt;
    }
    return std::chrono::sys_days(std::chrono::year_month_day{std::chrono::year(moment->year),
                                                             std::chrono::month(static_cast<unsigned>(moment->month)),
                                                             std::chrono::day(static_cast<unsigned>(moment->day))});
}

std::string DayText(std::chrono::sys_days day) {
    const std::chrono::year_month_day date(day);
    char text[16]{};
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return text;
}

// A rating's value or bound with its unit: "95.3 s", "87.5 %", "1,200.0/s", "3".
std::string ValueText(double value, std::string_view unit, NumberStyle style) {
    return WithUnit(FormatPicture(value, unit.empty() ? "#,##0" : "#,##0.0", style), unit);
}

std::string BoundsText(const RatingDefinition& definition, const RatingThreshold& threshold, NumberStyle style) {
    const char* side = definition.worseWhen == WorseWhen::Below ? " below " : " above ";
    std::string text;
    if (threshold.warning) {
        text += std::string("warning") + side + ValueText(*threshold.warning, definition.unit, style);
    }
    if (threshold.exception) {
        text += (text.empty() ? std::string("exception") : std::string(", exception")) + side +
                ValueText(*threshold.exception, definition.unit, style);
    }
    return text.empty() ? std::string("no bounds") : text;
}

} // namespace

HistoryResult<HealthHoldings> ReadHealthHoldings(HistoryStore& store) {
    auto reports = store.Reports();
    if (!reports.Ok()) {
        return {std::nullopt, reports.messages};
    }
    HealthHoldings holdings;
    std::map<std::pair<std::string, std::string>, std::string> newest;
    for (const HistoryReportInfo& info : *reports.value) {
        std::string& time = newest[{info.system, info.subsystem}];
        time = std::max(time, info.collectedAt);
    }
    for (auto& [key, time] : newest) {
        holdings.systems.push_back({key.first, key.second, std::move(time)});
    }
    holdings.reports = std::move(*reports.value);
    std::sort(holdings.reports.begin(), holdings.reports.end(),
              [](const HistoryReportInfo& a, const HistoryReportInfo& b) { return a.id < b.id; });
    return {std::move(holdings), {}};
}

HealthPage::HealthPage(const Report& report, const HealthColumn& column, NumberStyle style, RatingSettings settings)
    : style_(style), settings_(std::move(settings)) {
    shownRatings_ = RateReport(report, settings_);
    SetOverview(BuildHealthOverview({RatedReportOf(column, shownRatings_)}));
}

HealthPage::HealthPage(NumberStyle style, RatingSettings settings, HistoryFilter preferred)
    : fromHistory_(true), style_(style), settings_(std::move(settings)), preferred_(std::move(preferred)) {}

void HealthPage::SetHoldings(HealthHoldings holdings) {
    ++version_;
    holdings_ = std::move(holdings);
    const auto& systems = holdings_.systems;
    auto chosen = std::find_if(systems.begin(), systems.end(), [&](const HealthSystem& held) {
        return held.system == preferred_.system && held.subsystem == preferred_.subsystem;
    });
    if (chosen == systems.end()) {
        chosen = std::max_element(systems.begin(), systems.end(),
                                  [](const HealthSystem& a, const HealthSystem& b) { return a.newest < b.newest; });
    }
    SpanOf(chosen == systems.end() ? -1 : static_cast<int>(chosen - systems.begin()));
}

void HealthPage::ChooseSystem(int index) {
    if (index >= 0 && index < static_cast<int>(holdings_.systems.size()) && index != system_) {
        ++version_;
        SpanOf(index);
    }
}

void HealthPage::SpanOf(int system) {
    system_ = system;
    from_.clear();
    to_.clear();
    if (system < 0) {
        return;
    }
    const std::string& newest = holdings_.systems[static_cast<std::size_t>(system)].newest;
    if (const auto last = DayOf(std::string_view(newest).substr(0, 10))) {
        to_ = DayText(*last);
        from_ = DayText(*last - std::chrono::days(DefaultDays - 1));
    }
}

std::string HealthPage::SetSpan(std::string_view from, std::string_view to) {
    const auto first = DayOf(from);
    const auto last = DayOf(to);
    if (!first || !last) {
        return "A day is written as YYYY-MM-DD.";
    }
    if (*first > *last) {
        return "The first day is after the last.";
    }
    ++version_;
    from_ = DayText(*first);
    to_ = DayText(*last);
    return {};
}

HealthQuery HealthPage::Query() const {
    HealthQuery query;
    if (system_ >= 0) {
        const HealthSystem& held = holdings_.systems[static_cast<std::size_t>(system_)];
        query.filter = {held.system, held.subsystem};
    }
    if (!from_.empty()) {
        query.since = from_ + "T00:00:00";
        query.until = to_ + "T23:59:59";
    }
    return query;
}

void HealthPage::SetOverview(HealthOverview overview) {
    ++version_;
    std::optional<std::pair<std::string, std::int64_t>> kept;
    if (current_ && current_->row < overview_.rows.size() && current_->column < overview_.columns.size()) {
        kept = {overview_.rows[current_->row].poolName, overview_.columns[current_->column].reportId};
    }
    overview_ = std::move(overview);
    current_.reset();
    if (overview_.rows.empty() || overview_.columns.empty()) {
        return;
    }
    current_ = HealthPlace{};
    if (kept) {
        const auto& rows = overview_.rows;
        const auto& columns = overview_.columns;
        const auto row =
            std::find_if(rows.begin(), rows.end(), [&](const HealthRow& r) { return r.poolName == kept->first; });
        const auto column = std::find_if(columns.begin(), columns.end(),
                                         [&](const HealthColumn& c) { return c.reportId == kept->second; });
        current_->row = row == rows.end() ? 0 : static_cast<std::size_t>(row - rows.begin());
        current_->column = column == columns.end() ? 0 : static_cast<std::size_t>(column - columns.begin());
    }
}

std::optional<HealthPlace> HealthPage::Current() const {
    return current_;
}

void HealthPage::SetCurrent(std::ptrdiff_t row, std::ptrdiff_t column) {
    if (!current_) {
        return;
    }
    ++version_;
    current_->row = static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(row, 0, std::ptrdiff_t(RowCount()) - 1));
    current_->column =
        static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(column, 0, std::ptrdiff_t(ColumnCount()) - 1));
}

void HealthPage::MoveCurrent(std::ptrdiff_t rows, std::ptrdiff_t columns) {
    if (current_) {
        SetCurrent(std::ptrdiff_t(current_->row) + rows, std::ptrdiff_t(current_->column) + columns);
    }
}

std::string HealthPage::ColumnTime(const HealthColumn& column) {
    std::string time = column.collectedAt;
    if (time.size() >= 16 && time[10] == 'T') {
        time = time.substr(0, 10) + ' ' + time.substr(11, 5);
    }
    return time;
}

std::string HealthPage::CellText(HealthPlace place, const RatingsSource& ratings) const {
    if (place.row >= RowCount() || place.column >= ColumnCount()) {
        return {};
    }
    const HealthRow& row = overview_.rows[place.row];
    const HealthColumn& column = overview_.columns[place.column];
    std::string text = row.poolName + ", " + ColumnTime(column);
    if (!column.system.empty() || !column.subsystem.empty()) {
        text += " (" + column.system + "/" + column.subsystem + ")";
    }
    text += '\n';
    if (overview_.Cell(place.row, place.column) == HealthCell::Absent) {
        return text + "The report does not have this pool.";
    }
    const std::vector<PoolRating>* pools = &shownRatings_;
    if (fromHistory_) {
        if (!lastRatings_ || lastRatings_->first != column.reportId) {
            auto read = ratings ? ratings(column.reportId) : HistoryResult<std::vector<PoolRating>>{};
            if (!read.Ok()) {
                return text + read.FaultText();
            }
            lastRatings_.emplace(column.reportId, std::move(*read.value));
        }
        pools = &lastRatings_->second;
    }
    // A pool named twice shows the ratings of each.
    std::string lines;
    for (const PoolRating& pool : *pools) {
        if (pool.poolName == row.poolName) {
            lines += RatingLines(pool, style_);
        }
    }
    return text + lines;
}

std::optional<HealthTarget> HealthPage::TargetAt(HealthPlace place) const {
    if (place.row >= RowCount() || place.column >= ColumnCount() ||
        overview_.Cell(place.row, place.column) == HealthCell::Absent) {
        return std::nullopt;
    }
    return HealthTarget{overview_.columns[place.column].reportId,
                        {overview_.rows[place.row].poolName, PoolStatAnalysisTab, {}}};
}

const HistoryReportInfo* HealthPage::Find(std::int64_t id) const {
    const auto& reports = holdings_.reports;
    const auto found =
        std::lower_bound(reports.begin(), reports.end(), id,
                         [](const HistoryReportInfo& info, std::int64_t wanted) { return info.id < wanted; });
    return found != reports.end() && found->id == id ? &*found : nullptr;
}

std::string RatingLines(const PoolRating& rating, NumberStyle style) {
    std::string text;
    for (const Rating& one : rating.ratings) {
        const RatingDefinition& definition = DefinitionOf(one.kind);
        text += std::string(definition.caption) + ": ";
        if (one.verdict == RatingVerdict::NotApplicable || !one.value) {
            text += "not applicable: " + (one.reason.empty() ? std::string("no value") : one.reason);
        } else {
            text += ValueText(*one.value, definition.unit, style) + ", " + std::string(RatingVerdictText(one.verdict)) +
                    " (" + BoundsText(definition, one.threshold, style) + ")";
        }
        text += '\n';
    }
    return text;
}

} // namespace ornexa
