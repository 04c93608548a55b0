#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/health_overview.h"
#include "advice/pool_ratings.h"
#include "history/history_store.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "session/analysis_session.h"

namespace ornexa {

// A system and subsystem the history holds reports of, and when its newest report was collected.
struct HealthSystem {
    std::string system;
    std::string subsystem;
    std::string newest; // ISO 8601
    friend bool operator==(const HealthSystem&, const HealthSystem&) = default;
};

// What the history holds for the Health window to choose from: each system and subsystem, and the
// reports (a click opens the file one was imported from).
struct HealthHoldings {
    std::vector<HealthSystem> systems; // by system, then subsystem
    std::vector<HistoryReportInfo> reports;
};
// Read off the window's thread, with a store of that thread's own.
HistoryResult<HealthHoldings> ReadHealthHoldings(HistoryStore& store);

// What a click on a cell opens: that report (0: the report shown) at that pool on the Pool Stat
// Analysis tab.
struct HealthTarget {
    std::int64_t reportId = 0;
    AnalysisPlace place;
    friend bool operator==(const HealthTarget&, const HealthTarget&) = default;
};

// A cell of the overview: row (pool) and column (report), from 0.
struct HealthPlace {
    std::size_t row = 0;
    std::size_t column = 0;
    friend bool operator==(const HealthPlace&, const HealthPlace&) = default;
};

// The Health window's decisions: which reports it covers (a system and subsystem of the history and
// a span of days, or the report shown alone), the overview they make, the cell the keyboard is on,
// the text of a cell's ratings and what a click on a cell opens.
class HealthPage {
public:
    // The days shown when the window opens: the last ones held.
    static constexpr int DefaultDays = 7;

    // The report shown, alone: one column, nothing to choose.
    HealthPage(const Report& report, const HealthColumn& column, NumberStyle style, RatingSettings settings = {});
    // A history: empty until its holdings are given. `preferred`: the system and subsystem chosen
    // first when the history holds them (the report shown).
    explicit HealthPage(NumberStyle style = {}, RatingSettings settings = {}, HistoryFilter preferred = {});

    [[nodiscard]] bool FromHistory() const { return fromHistory_; }
    [[nodiscard]] const RatingSettings& Settings() const { return settings_; }
    [[nodiscard]] std::uint64_t Version() const { return version_; }

    // The history's holdings: the preferred system (else the one with the newest report) and its
    // last DefaultDays days held are chosen.
    void SetHoldings(HealthHoldings holdings);
    [[nodiscard]] const std::vector<HealthSystem>& Systems() const { return holdings_.systems; }
    // Index in Systems(); -1 for none.
    [[nodiscard]] int ChosenSystem() const { return system_; }
    // Another system and subsystem: the span becomes its last DefaultDays days held.
    void ChooseSystem(int index);
    // The first and the last day covered, "2026-11-30"; empty when nothing is held.
    [[nodiscard]] const std::string& From() const { return from_; }
    [[nodiscard]] const std::string& To() const { return to_; }
    // Other days, "YYYY-MM-DD" each; a text saying what is wrong (the span stays) when they are not
    // dates or the first is after the last.
    std::string SetSpan(std::string_view from, std::string_view to);
    // What the history is asked for the overview.
    [[nodiscard]] HealthQuery Query() const;

    // The overview the history answered (or the report shown made): the current cell stays on its
    // pool and report when they are still there.
    void SetOverview(HealthOverview overview);
    [[nodiscard]] const HealthOverview& Overview() const { return overview_; }
    [[nodiscard]] std::size_t RowCount() const { return overview_.rows.size(); }
    [[nodiscard]] std::size_t ColumnCount() const { return overview_.columns.size(); }

    // The cell the keyboard is on; nothing for an empty overview.
    [[nodiscard]] std::optional<HealthPlace> Current() const;
    // A cell, kept inside the overview.
    void SetCurrent(std::ptrdiff_t row, std::ptrdiff_t column);
    // The current cell moved by rows and columns, stopping at the edges.
    void MoveCurrent(std::ptrdiff_t rows, std::ptrdiff_t columns);

    // A report's ratings, for the report shown or from the history.
    using RatingsSource = std::function<HistoryResult<std::vector<PoolRating>>(std::int64_t id)>;
    // What a cell holds, a line each: the pool and the report, then each rating with its value,
    // verdict and bounds, or why it does not apply. The last report asked is kept.
    [[nodiscard]] std::string CellText(HealthPlace place, const RatingsSource& ratings) const;
    // The report and pool a click on the cell opens; nothing for a pool the report does not have.
    [[nodiscard]] std::optional<HealthTarget> TargetAt(HealthPlace place) const;
    // The report held under `id`, if the holdings have it.
    [[nodiscard]] const HistoryReportInfo* Find(std::int64_t id) const;

    // "2026-11-30 10:15" of a column: its collection time as the header and the tooltip show it.
    [[nodiscard]] static std::string ColumnTime(const HealthColumn& column);

private:
    void SpanOf(int system);

    bool fromHistory_ = false;
    NumberStyle style_;
    RatingSettings settings_;
    HistoryFilter preferred_;
    std::uint64_t version_ = 1;
    HealthHoldings holdings_;
    int system_ = -1;
    std::string from_;
    std::string to_;
    HealthOverview overview_;
    std::optional<HealthPlace> current_;
    std::vector<PoolRating> shownRatings_; // of the report shown alone
    mutable std::optional<std::pair<std::int64_t, std::vector<PoolRating>>> lastRatings_;
};

// The lines of one pool's ratings: caption, value with unit, verdict and bounds; "not applicable:"
// and the reason for a rating that does not apply.
std::string RatingLines(const PoolRating& rating, NumberStyle style);

} // namespace ornexa
