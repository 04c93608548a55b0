#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/change_check.h"
#include "history/history_store.h"
#include "history/report_compare.h"
#include "history/trend_charts.h"
#include "session/recent_reports.h"

namespace ornexa {

// The History window's decisions: the reports held, the trend of a pool and of an object, and the
// comparison of two reports. Every action answers with what went wrong, as a text (empty when
// nothing did); what was shown before stays shown then.
class HistoryPage {
public:
    // `currentPool` is the pool the analysis window shows: the trend starts with it.
    HistoryPage(std::shared_ptr<HistoryStore> store, std::string_view currentPool = {});

    [[nodiscard]] const HistoryStore& Store() const { return *store_; }
    [[nodiscard]] std::uint64_t Version() const { return version_; }

    // Reads the reports, the pool names and the trends again (after an import or a removal).
    std::string Refresh();
    [[nodiscard]] const std::vector<HistoryReportInfo>& Reports() const { return reports_; }
    // The report held under `id`, if it is in the list.
    [[nodiscard]] const HistoryReportInfo* Find(std::int64_t id) const;

    // Removes a report; the trend and the comparison follow.
    std::string Remove(std::int64_t id);
    // The files to read for "Open": the Statistics report imported, and the Simulation report read
    // with it when the recent reports remember one that is still there. A text when the file is gone.
    using OpenFiles = Result<RecentReport>;
    [[nodiscard]] OpenFiles FilesToOpen(std::int64_t id, const RecentReports& recent) const;

    // Trend: the pool names held, the pool chosen and its figures report by report.
    [[nodiscard]] const std::vector<std::string>& PoolNames() const { return poolNames_; }
    [[nodiscard]] const std::string& CurrentPool() const { return pool_; }
    std::string ChoosePool(std::string_view name);
    [[nodiscard]] const std::vector<PoolTrendPoint>& PoolPoints() const { return poolPoints_; }
    [[nodiscard]] const std::array<ChartModel, PoolTrendChartCount>& PoolCharts() const { return poolCharts_; }
    // Each change of the pool's settings in the trend, judged by the intervals around it.
    [[nodiscard]] const std::vector<ChangeCheck>& PoolChangeChecks() const { return poolChecks_; }

    // The object names held that contain the filter text (at most ObjectNameLimit of them).
    static constexpr int ObjectNameLimit = 500;
    std::string FilterObjects(std::string_view part);
    [[nodiscard]] const std::vector<std::string>& ObjectNames() const { return objectNames_; }
    [[nodiscard]] const std::string& CurrentObject() const { return object_; }
    std::string ChooseObject(std::string_view name);
    [[nodiscard]] const std::vector<ObjectTrendPoint>& ObjectPoints() const { return objectPoints_; }
    [[nodiscard]] const std::array<ChartModel, ObjectTrendChartCount>& ObjectCharts() const { return objectCharts_; }

    // Compare: two reports by id, the older one first whichever way they are chosen. Without a
    // choice, the two newest reports of the newest report's system and subsystem.
    std::string ChooseComparison(std::int64_t first, std::int64_t second);
    [[nodiscard]] std::optional<std::int64_t> CompareBefore() const { return before_; }
    [[nodiscard]] std::optional<std::int64_t> CompareAfter() const { return after_; }
    [[nodiscard]] const std::optional<ReportComparison>& Comparison() const { return comparison_; }
    // The setting changes of the pools that the two reports compared lie on either side of.
    [[nodiscard]] const std::vector<ChangeCheck>& ComparisonChangeChecks() const { return comparisonChecks_; }

private:
    std::string LoadPoolTrend();
    std::string LoadObjectTrend();
    std::string LoadComparison();
    void DefaultComparison();

    std::shared_ptr<HistoryStore> store_;
    std::uint64_t version_ = 1;
    std::vector<HistoryReportInfo> reports_;
    std::vector<std::string> poolNames_;
    std::string pool_;
    std::vector<PoolTrendPoint> poolPoints_;
    std::array<ChartModel, PoolTrendChartCount> poolCharts_;
    std::vector<ChangeCheck> poolChecks_;
    std::string objectFilter_;
    std::vector<std::string> objectNames_;
    std::string object_;
    std::vector<ObjectTrendPoint> objectPoints_;
    std::array<ChartModel, ObjectTrendChartCount> objectCharts_;
    std::optional<std::int64_t> before_;
    std::optional<std::int64_t> after_;
    std::optional<ReportComparison> comparison_;
    std::vector<ChangeCheck> comparisonChecks_;
};

// The files to read to open a report held: see HistoryPage::FilesToOpen.
Result<RecentReport> FilesOfReport(const HistoryReportInfo& info, const RecentReports& recent);

// What the status bar says of a report kept in the history as it was read.
std::string HistoryImportText(const ImportOutcome& outcome);

} // namespace ornexa
