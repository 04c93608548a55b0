#include "session/history_page.h"

#include <algorithm>
#include <filesystem>

#include "report/fixed_text.h"

namespace ornexa {

namespace {

bool SameName(std::string_view a, std::string_view b) {
    return TrimBlanks(a) == TrimBlanks(b);
}

// Takes the value of a store's answer, or hands back its fault.
template <class T> std::string Take(HistoryResult<T>&& result, T& into) {
    if (!result.Ok()) {
        return result.FaultText();
    }
    into = std::move(*result.value);
    return {};
}

} // namespace

HistoryPage::HistoryPage(std::shared_ptr<HistoryStore> store, std::string_view currentPool)
    : store_(std::move(store)), pool_(TrimBlanks(currentPool)) {}

std::string HistoryPage::Refresh() {
    ++version_;
    if (std::string fault = Take(store_->Reports(), reports_); !fault.empty()) {
        return fault;
    }
    if (std::string fault = Take(store_->PoolNames(), poolNames_); !fault.empty()) {
        return fault;
    }
    // The pool shown stays when the history still holds it; else the first one held.
    const auto held = std::find_if(poolNames_.begin(), poolNames_.end(),
                                   [&](const std::string& name) { return SameName(name, pool_); });
    pool_ = held != poolNames_.end() ? *held : poolNames_.empty() ? std::string() : poolNames_.front();
    std::string fault = LoadPoolTrend();
    if (fault.empty()) {
        fault = FilterObjects(objectFilter_);
    }
    if (fault.empty()) {
        const bool kept = before_ && after_ && Find(*before_) != nullptr && Find(*after_) != nullptr;
        if (!kept) {
            DefaultComparison();
        }
        fault = LoadComparison();
    }
    return fault;
}

const HistoryReportInfo* HistoryPage::Find(std::int64_t id) const {
    const auto it =
        std::find_if(reports_.begin(), reports_.end(), [id](const HistoryReportInfo& info) { return info.id == id; });
    return it == reports_.end() ? nullptr : &*it;
}

std::string HistoryPage::Remove(std::int64_t id) {
    if (const auto removed = store_->Remove(id); !removed.Ok()) {
        return removed.FaultText();
    }
    return Refresh();
}

HistoryPage::OpenFiles HistoryPage::FilesToOpen(std::int64_t id, const RecentReports& recent) const {
    const HistoryReportInfo* info = Find(id);
    if (info == nullptr) {
        return {std::nullopt, FaultMessages("The history holds no report " + std::to_string(id) + ".")};
    }
    return FilesOfReport(*info, recent);
}

Result<RecentReport> FilesOfReport(const HistoryReportInfo& info, const RecentReports& recent) {
    RecentReport files{info.fileName, {}};
    std::error_code error;
    if (!std::filesystem::is_regular_file(files.statistics, error)) {
        return {std::nullopt, FaultMessages("The report's file \"" + info.fileName + "\" is no longer there.")};
    }
    for (const RecentReport& entry : recent.Entries()) {
        if (std::filesystem::equivalent(entry.statistics, files.statistics, error) && !entry.simulation.empty() &&
            std::filesystem::is_regular_file(entry.simulation, error)) {
            files.simulation = entry.simulation;
            break;
        }
    }
    return {files, {}};
}

std::string HistoryPage::ChoosePool(std::string_view name) {
    ++version_;
    pool_ = TrimBlanks(name);
    return LoadPoolTrend();
}

std::string HistoryPage::LoadPoolTrend() {
    poolPoints_.clear();
    std::string fault;
    if (!pool_.empty()) {
        fault = Take(store_->PoolTrend(pool_), poolPoints_);
    }
    poolCharts_ = PoolTrendCharts(pool_, poolPoints_);
    poolChecks_.clear();
    if (fault.empty()) {
        fault = Take(CheckSettingChanges(*store_, poolPoints_), poolChecks_);
    }
    return fault;
}

std::string HistoryPage::FilterObjects(std::string_view part) {
    ++version_;
    objectFilter_ = std::string(part);
    objectNames_.clear();
    std::string fault = Take(store_->ObjectNames(TrimBlanks(part), ObjectNameLimit), objectNames_);
    // The object shown stays while the filter lists it; else the first one listed.
    if (std::find(objectNames_.begin(), objectNames_.end(), object_) == objectNames_.end()) {
        object_ = objectNames_.empty() ? std::string() : objectNames_.front();
    }
    const std::string trend = LoadObjectTrend();
    return fault.empty() ? trend : fault;
}

std::string HistoryPage::ChooseObject(std::string_view name) {
    ++version_;
    object_ = std::string(name);
    return LoadObjectTrend();
}

std::string HistoryPage::LoadObjectTrend() {
    objectPoints_.clear();
    std::string fault;
    if (!object_.empty()) {
        fault = Take(store_->ObjectTrend(object_), objectPoints_);
    }
    objectCharts_ = ObjectTrendCharts(object_, objectPoints_);
    return fault;
}

void HistoryPage::DefaultComparison() {
    before_.reset();
    after_.reset();
    if (reports_.empty()) {
        return;
    }
    // The list is in collection order: the newest is last.
    const HistoryReportInfo& newest = reports_.back();
    after_ = newest.id;
    for (auto it = reports_.rbegin() + 1; it != reports_.rend(); ++it) {
        if (it->system == newest.system && it->subsystem == newest.subsystem) {
            before_ = it->id;
            return;
        }
    }
    after_.reset();
}

std::string HistoryPage::ChooseComparison(std::int64_t first, std::int64_t second) {
    ++version_;
    const HistoryReportInfo* a = Find(first);
    const HistoryReportInfo* b = Find(second);
    if (a == nullptr || b == nullptr) {
        return "The history holds no report " + std::to_string(a == nullptr ? first : second) + ".";
    }
    // The list's order is the collection order: the one listed first is the older.
    const bool firstIsOlder = a - reports_.data() <= b - reports_.data();
    before_ = firstIsOlder ? first : second;
    after_ = firstIsOlder ? second : first;
    return LoadComparison();
}

std::string HistoryPage::LoadComparison() {
    comparison_.reset();
    comparisonChecks_.clear();
    if (!before_ || !after_) {
        return {};
    }
    StoredReport before;
    StoredReport after;
    if (std::string fault = Take(store_->Load(*before_), before); !fault.empty()) {
        return fault;
    }
    if (std::string fault = Take(store_->Load(*after_), after); !fault.empty()) {
        return fault;
    }
    comparison_ = CompareReports(before.report, after.report);
    return Take(CheckChangesBetween(*store_, before, after), comparisonChecks_);
}

std::string HistoryImportText(const ImportOutcome& outcome) {
    switch (outcome.status) {
    case ImportStatus::Imported:
        return "Kept in the history as report " + std::to_string(outcome.reportId) +
               (outcome.message.empty() ? std::string() : " (" + outcome.message + ")") + ".";
    case ImportStatus::AlreadyPresent:
        return "Already in the history as report " + std::to_string(outcome.reportId) +
               (outcome.otherSimulation ? "; it holds another simulation, which it keeps." : ".");
    case ImportStatus::SimulationAdded:
        return "Simulation added to report " + std::to_string(outcome.reportId) + " in the history.";
    case ImportStatus::Refused:
        break;
    }
    return "Not kept in the history: " + outcome.message;
}

} // namespace ornexa
