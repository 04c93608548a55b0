#include "session/pool_sizing_page.h"

#include <algorithm>

namespace ornexa {

PoolSizingPage::PoolSizingPage(const Report& report, const SimulationData& sim,
                               std::map<std::string, std::vector<SizeObservation>> history)
    : report_(report), sim_(sim) {
    SetHistory(std::move(history));
    if (!curves_.empty()) {
        selected_ = curves_.front().poolName;
    }
}

void PoolSizingPage::SetHistory(std::map<std::string, std::vector<SizeObservation>> history) {
    historyPools_ = static_cast<std::size_t>(
        std::count_if(history.begin(), history.end(), [](const auto& pool) { return !pool.second.empty(); }));
    history_ = std::move(history);
    curves_ = BuildSizingCurves(report_, sim_, history_, options_);
    Plan();
}

void PoolSizingPage::SetEstimate(bool estimate) {
    if (options_.estimate == estimate) {
        return;
    }
    options_.estimate = estimate;
    curves_ = BuildSizingCurves(report_, sim_, history_, options_);
    Plan();
}

std::vector<std::string> PoolSizingPage::PoolNames() const {
    std::vector<std::string> names;
    names.reserve(curves_.size());
    for (const SizingCurve& curve : curves_) {
        names.push_back(curve.poolName);
    }
    return names;
}

void PoolSizingPage::SetBudgetText(const std::string& text) {
    budgetText_ = text;
    if (text.find_first_not_of(" \t") == std::string::npos) {
        budget_ = {0, {}}; // nothing typed: every pool keeps its size
    } else {
        Result<std::int64_t> parsed = ParseBudget(text);
        budget_ = parsed.Ok() ? BudgetState{parsed.value, {}} : BudgetState{std::nullopt, parsed.FaultText()};
    }
    if (budget_.Ok()) {
        Plan();
    }
}

std::string PoolSizingPage::NameOf(int index) const {
    return index >= 0 && index < PoolCount() ? curves_[static_cast<std::size_t>(index)].poolName : std::string();
}

void PoolSizingPage::SetProtected(int index, bool keep) {
    const std::string name = NameOf(index);
    if (name.empty() || Protected(index) == keep) {
        return;
    }
    auto& names = bounds_.keep;
    if (keep) {
        names.push_back(name);
    } else {
        names.erase(std::remove(names.begin(), names.end(), name), names.end());
    }
    Plan();
}

bool PoolSizingPage::Protected(int index) const {
    const std::string name = NameOf(index);
    return !name.empty() && std::find(bounds_.keep.begin(), bounds_.keep.end(), name) != bounds_.keep.end();
}

void PoolSizingPage::SetLargestSize(int index, std::optional<std::int64_t> buffers) {
    const std::string name = NameOf(index);
    if (name.empty() || LargestSize(index) == buffers) {
        return;
    }
    if (buffers) {
        bounds_.maxBuffers[name] = *buffers;
    } else {
        bounds_.maxBuffers.erase(name);
    }
    Plan();
}

std::optional<std::int64_t> PoolSizingPage::LargestSize(int index) const {
    const auto found = bounds_.maxBuffers.find(NameOf(index));
    return found == bounds_.maxBuffers.end() ? std::nullopt : std::optional<std::int64_t>(found->second);
}

void PoolSizingPage::Plan() {
    if (!budget_.Ok()) {
        return; // the last good plan stays until the budget is one again
    }
    SizingRequest request;
    request.budgetBytes = *budget_.bytes;
    run_ = PlanSizing(curves_, bounds_, request);
    rows_.clear();
    rows_.reserve(run_.plan.pools.size());
    for (std::size_t i = 0; i < run_.plan.pools.size() && i < run_.curves.size(); ++i) {
        const SizingResult& result = run_.plan.pools[i];
        const SizingCurve& curve = run_.curves[i];
        SizingRow row;
        row.poolName = result.poolName;
        row.pageSizeKb = curve.pageSizeKb;
        row.currentBuffers = result.currentBuffers;
        row.proposedBuffers = result.proposedBuffers;
        row.bytes = result.bytes;
        row.readsNow = result.readsNow;
        row.readsAtProposed = result.readsProposed;
        row.readsSaved = result.readsSaved;
        row.confidence = result.confidence;
        row.evidence = EvidenceSummary(curve);
        row.leftAlone = result.leftAlone.empty() ? curve.leftAlone : result.leftAlone;
        rows_.push_back(std::move(row));
    }
}

SizingTotals PoolSizingPage::Totals() const {
    SizingTotals totals;
    totals.budgetBytes = run_.budgetBytes;
    totals.bytesPlaced = run_.plan.bytesPlaced;
    totals.readsSaved = run_.plan.readsSaved;
    totals.poolsMoved = static_cast<int>(std::count_if(
        rows_.begin(), rows_.end(), [](const SizingRow& row) { return row.proposedBuffers != row.currentBuffers; }));
    return totals;
}

std::vector<std::string> PoolSizingPage::Problems() const {
    std::vector<std::string> problems;
    for (const Message& message : run_.messages) {
        problems.push_back(message.text);
    }
    return problems;
}

void PoolSizingPage::SelectPool(const std::string& poolName) {
    const bool known = std::any_of(curves_.begin(), curves_.end(),
                                   [&](const SizingCurve& curve) { return curve.poolName == poolName; });
    if (known) {
        selected_ = poolName;
    }
}

SizingChartData PoolSizingPage::Chart() const {
    SizingChartData chart;
    const auto curve = std::find_if(run_.curves.begin(), run_.curves.end(),
                                    [&](const SizingCurve& c) { return c.poolName == selected_; });
    if (curve == run_.curves.end()) {
        return chart;
    }
    chart.poolName = curve->poolName;
    chart.pageSizeKb = curve->pageSizeKb;
    chart.points = curve->points;
    chart.currentBuffers = curve->currentBuffers;
    chart.leftAlone = curve->leftAlone;
    const auto row =
        std::find_if(rows_.begin(), rows_.end(), [&](const SizingRow& r) { return r.poolName == selected_; });
    if (row != rows_.end() && row->proposedBuffers != row->currentBuffers) {
        chart.proposedBuffers = row->proposedBuffers;
    }
    return chart;
}

} // namespace ornexa
