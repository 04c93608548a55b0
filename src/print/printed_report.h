#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "simulation/sim_data.h"
#include "stats/chart_model.h"
#include "stats/graph_view.h"

namespace ornexa {

// A caption and its value, as a printed page lays them side by side.
struct PrintedLabel {
    std::string caption;
    std::string value;
    friend bool operator==(const PrintedLabel&, const PrintedLabel&) = default;
};

// A table of a printed page: a caption per column, then its rows of text.
struct PrintedTable {
    std::vector<std::string> captions;
    std::vector<std::vector<std::string>> rows;
};

// One printed page: the title, up to two sub-titles, the report's header facts, the labels of the
// tab, and the chart or table it shows. A renderer lays it out; nothing here knows about paper.
struct PrintedPage {
    std::string title;
    std::string subtitle;
    std::string subtitle1;
    std::vector<PrintedLabel> facts;
    std::vector<PrintedLabel> labels;
    std::optional<ChartModel> chart;
    std::optional<PrintedTable> table;
};

// What a tab prints: one page or more.
struct PrintedReport {
    std::vector<PrintedPage> pages;
};

// "System: ", "Sub System: ", "Date: ", "Time: " with the header's trimmed values.
std::vector<PrintedLabel> HeaderFacts(const ReportHeader& header);

// The pools of the summary page's table that fit on one page.
inline constexpr int SummaryPoolsPerPage = 30;

// Tab 0: "Report Summary ", the six totals and one line per pool, continued on further pages.
PrintedReport SummaryReport(const Report& report, NumberStyle style = {}, int poolsPerPage = SummaryPoolsPerPage);

// Tab 1: "Buffer Pool " + name, the pool graph shown and its legend, figures as "#,###,###.00".
PrintedReport PoolGraphReport(const Report& report, int p, const GraphView& graph, NumberStyle style = {});

// Tab 2: name + " Pool Objects", the object graph shown and its legend.
PrintedReport ObjectGraphReport(const Report& report, int p, const GraphView& graph);

// Tab 4: "Buffer Pool " + name, the chart of the sub-tab shown under its caption, and each point's
// label and value (rank 1 first on the ranked charts).
PrintedReport SimGraphReport(const Report& report, int p, const ChartModel& chart, std::string_view subTabCaption);

// "mm-dd-yyyy   hh:mm AM/PM" from the header's collection date and time (the forms
// ParseCollectionMoment reads); as written, when they are not of those forms.
std::string CollectionStamp(const ReportHeader& header);

// The members of one cluster that fit on one page.
inline constexpr int ClusterMembersPerPage = 35;

// Tab 5: for every cluster of the list, in list order, "Buffer Pool " + name, " Cluster # = " + number
// + "  -- Random objects" or "  -- Sequential objects", the collection stamp, the original and the
// simulated pool size, and its members with their maximum working sets, continued on as many pages
// as they need.
PrintedReport ClusterReport(const Report& report, const SimulationData& sim, int p, const ClusterRun& run,
                            const std::vector<ClusterListRow>& clusters, PoolUsage usage,
                            int membersPerPage = ClusterMembersPerPage);

} // namespace ornexa
