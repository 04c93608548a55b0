#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "advice/sizing_curves.h"
#include "advice/sizing_plan.h"
#include "history/sizing_history.h"
#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {

// The budget as typed: its bytes, or why the text is none. Nothing typed is no change (0 bytes).
struct BudgetState {
    std::optional<std::int64_t> bytes;
    std::string message;
    [[nodiscard]] bool Ok() const { return bytes.has_value(); }
};

// A pool's line of the result: its sizes, the storage it takes or gives, the reads expected now and at
// the proposed size, and what they rest on.
struct SizingRow {
    std::string poolName;
    int pageSizeKb = 4;
    std::int64_t currentBuffers = 0;
    std::int64_t proposedBuffers = 0;
    std::int64_t bytes = 0;
    std::optional<double> readsNow;
    std::optional<double> readsAtProposed;
    std::optional<double> readsSaved;
    SizingConfidence confidence = SizingConfidence::None;
    std::string evidence;  // "1 measured, 7 simulated"
    std::string leftAlone; // why a pool without evidence keeps its size
};

// The totals line: the budget, what of it was placed, the reads it saves.
struct SizingTotals {
    std::int64_t budgetBytes = 0;
    std::int64_t bytesPlaced = 0;
    double readsSaved = 0;
    int poolsMoved = 0;
};

// What the chart of one pool shows: its curve, and where it is and would be.
struct SizingChartData {
    std::string poolName;
    int pageSizeKb = 4;
    std::vector<SizingPoint> points;
    std::int64_t currentBuffers = 0;
    std::optional<std::int64_t> proposedBuffers; // when the plan moves the pool
    std::string leftAlone;
};

// "Pool Sizing": how a budget of storage is split over the pools of a report. The curves are built once
// (and once more when the history arrives); every change of the budget or the bounds only plans again.
// While the budget text is no budget, the last plan stays, marked as not current.
class PoolSizingPage {
public:
    PoolSizingPage(const Report& report, const SimulationData& sim,
                   std::map<std::string, std::vector<SizeObservation>> history = {});

    // The history's observations, once they are read: the curves are built again with them.
    void SetHistory(std::map<std::string, std::vector<SizeObservation>> history);
    [[nodiscard]] bool HasHistory() const { return historyPools_ > 0; }
    // Whether a pool nothing else describes gets the stated estimate (on by default); without it such a
    // pool is left alone, and the budget goes only where a simulation or the history speaks.
    void SetEstimate(bool estimate);
    [[nodiscard]] bool Estimate() const { return options_.estimate; }
    // Which reports of the history describe this report's pools, and the names to ask for.
    [[nodiscard]] SizingHistoryQuery HistoryQuery() const { return SizingHistoryQueryOf(report_); }
    [[nodiscard]] std::vector<std::string> PoolNames() const;

    // The curves as built, without bounds, in pool order: the pools of the bounds list.
    [[nodiscard]] const std::vector<SizingCurve>& Curves() const { return curves_; }
    [[nodiscard]] int PoolCount() const { return static_cast<int>(curves_.size()); }

    void SetBudgetText(const std::string& text);
    [[nodiscard]] const std::string& BudgetText() const { return budgetText_; }
    [[nodiscard]] const BudgetState& Budget() const { return budget_; }
    // False while the budget text is no budget: the run shown is the last good one.
    [[nodiscard]] bool RunIsCurrent() const { return budget_.Ok(); }

    // Pool `index` (0-based, in curve order) is never made smaller than it is.
    void SetProtected(int index, bool keep);
    [[nodiscard]] bool Protected(int index) const;
    // The largest size of pool `index` in buffers; nothing for none.
    void SetLargestSize(int index, std::optional<std::int64_t> buffers);
    [[nodiscard]] std::optional<std::int64_t> LargestSize(int index) const;
    [[nodiscard]] const SizingBounds& Bounds() const { return bounds_; }

    [[nodiscard]] const SizingRun& Run() const { return run_; }
    [[nodiscard]] const std::vector<SizingRow>& Rows() const { return rows_; }
    [[nodiscard]] SizingTotals Totals() const;
    // The bounds' messages of the run, one line each.
    [[nodiscard]] std::vector<std::string> Problems() const;
    // The commands file, as "Copy Commands" and "Save..." take it.
    [[nodiscard]] std::string CommandsText() const { return SizingCommandsText(run_); }
    [[nodiscard]] static std::string DefaultFileName() { return "pool-sizing.txt"; }

    // The pool whose curve the chart shows (by name; the first pool until one is chosen).
    void SelectPool(const std::string& poolName);
    [[nodiscard]] const std::string& SelectedPool() const { return selected_; }
    [[nodiscard]] SizingChartData Chart() const;

private:
    void Plan();
    [[nodiscard]] std::string NameOf(int index) const;

    const Report& report_;
    const SimulationData& sim_;
    std::map<std::string, std::vector<SizeObservation>> history_;
    CurveOptions options_;
    std::vector<SizingCurve> curves_;
    std::size_t historyPools_ = 0;
    std::string budgetText_;
    BudgetState budget_{0, {}};
    SizingBounds bounds_;
    SizingRun run_;
    std::vector<SizingRow> rows_;
    std::string selected_;
};

} // namespace ornexa
