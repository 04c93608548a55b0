#include "print/printed_report.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "report/collection_date.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "report/number_format.h"
#include "report/pool_choice.h"
#include "report/shown_text.h"
#include "stats/pool_list_figures.h"

namespace ornexa {

namespace {

std::string PoolName(const Report& report, int p) {
    if (!report.HasPool(p)) {
        throw std::out_of_range("no pool " + std::to_string(p) + " in the report");
    }
    return ShownPoolName(report, p);
}

// The legend rows shown, each value as the page prints it.
template <class Format> std::vector<PrintedLabel> LegendLabels(const Legend& legend, Format format) {
    std::vector<PrintedLabel> labels;
    for (const LegendRow& row : legend) {
        if (row.visible && !row.caption.empty()) {
            labels.push_back({row.caption, format(row.value)});
        }
    }
    return labels;
}

std::string Trimmed(std::string_view text) {
    return std::string(TrimBlanks(text));
}

} // namespace

std::vector<PrintedLabel> HeaderFacts(const ReportHeader& header) {
    return {{"System: ", ShownText(header.SystemName)},
            {"Sub System: ", ShownText(header.SubSystemName)},
            {"Date: ", ShownText(header.CollectionDate)},
            {"Time: ", ShownText(header.CollectionTime)}};
}

PrintedReport SummaryReport(const Report& report, NumberStyle style, int poolsPerPage) {
    // The totals in the page's order, each found by its caption among the tab's figures.
    static const std::array<std::string, OverallFigureCount> printedOrder{
        "Total Read/Write IO", "Overall Sys Hit Ratio", "Total Get Pages",
        "Total Updates",       "Total I/Os per second", "Pages per write"};
    const OverallFigureTexts totals = OverallFigures(report, style);
    const auto& captions = OverallFigureCaptions();
    std::vector<PrintedLabel> labels;
    for (const std::string& caption : printedOrder) {
        const auto at =
            static_cast<std::size_t>(std::find(captions.begin(), captions.end(), caption) - captions.begin());
        labels.push_back({caption, totals.at(at).value_or(std::string{})});
    }
    // Pool, then every column of the list but its I/O count.
    std::vector<std::vector<std::string>> rows;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolListCells cells = PoolListRow(report, p, style);
        std::vector<std::string> row;
        for (const std::size_t column : {0U, 2U, 3U, 4U, 5U, 6U}) {
            row.push_back(Trimmed(cells.at(column).value_or(std::string{})));
        }
        rows.push_back(std::move(row));
    }
    const auto perPage = static_cast<std::size_t>(std::max(poolsPerPage, 1));
    PrintedReport printed;
    std::size_t next = 0;
    do { // a report without pools still prints its totals
        PrintedPage page;
        page.title = "Buffer Pool Statistics";
        page.subtitle = "Report Summary ";
        if (next > 0) {
            page.subtitle1 = "(continued)";
        }
        page.facts = HeaderFacts(report.Header);
        page.labels = labels;
        PrintedTable table{{"Pools", "Get Pages", "Updates", "Hit Ratio", "I/O Sec", "Pages/Write"}, {}};
        const std::size_t end = std::min(rows.size(), next + perPage);
        table.rows.assign(rows.begin() + static_cast<std::ptrdiff_t>(next),
                          rows.begin() + static_cast<std::ptrdiff_t>(end));
        page.table = std::move(table);
        printed.pages.push_back(std::move(page));
        next = end;
    } while (next < rows.size());
    return printed;
}

PrintedReport PoolGraphReport(const Report& report, int p, const GraphView& graph, NumberStyle style) {
    PrintedPage page;
    page.title = "Buffer Pool " + PoolName(report, p);
    page.subtitle = graph.chart.title;
    page.subtitle1 = graph.chart.subtitle;
    page.facts = HeaderFacts(report.Header);
    page.labels = LegendLabels(graph.legend, [style](const std::string& value) {
        const Converted<double> number = TextToDouble(Trimmed(value), style);
        return number ? FormatPicture(number.Value(), "#,###,###.00", style) : Trimmed(value);
    });
    page.chart = graph.chart;
    return {{std::move(page)}};
}

PrintedReport ObjectGraphReport(const Report& report, int p, const GraphView& graph) {
    PrintedPage page;
    page.title = PoolName(report, p) + " Pool Objects";
    page.subtitle = graph.chart.title;
    page.subtitle1 = graph.chart.subtitle;
    page.facts = HeaderFacts(report.Header);
    page.labels = LegendLabels(graph.legend, [](const std::string& value) { return Trimmed(value); });
    page.chart = graph.chart;
    return {{std::move(page)}};
}

PrintedReport SimGraphReport(const Report& report, int p, const ChartModel& chart, std::string_view subTabCaption) {
    PrintedPage page;
    page.title = "Buffer Pool " + PoolName(report, p);
    page.subtitle = std::string(subTabCaption);
    page.subtitle1 = chart.title;
    page.facts = HeaderFacts(report.Header);
    const int points = chart.SeriesCount() > 0 ? chart.PointCount() : 0;
    for (int i = 0; i < points; ++i) {
        // A ranked chart draws rank 1 as its last point, at the top.
        const int at = chart.kind == ChartKind::Ranked ? points - 1 - i : i;
        const auto index = static_cast<std::size_t>(at);
        std::string caption = chart.labels[index];
        if (caption.empty() && index < chart.xValues.size()) {
            caption = PlainText(chart.xValues[index]);
        }
        page.labels.push_back({Trimmed(caption), PlainText(chart.series[0][index])});
    }
    page.chart = chart;
    return {{std::move(page)}};
}

std::string CollectionStamp(const ReportHeader& header) {
    const std::string dateText(header.CollectionDate.Trimmed());
    const std::string timeText(header.CollectionTime.Trimmed());
    const auto moment = ParseCollectionMoment(dateText, timeText);
    if (!moment) {
        return Latin1ToUtf8(dateText + "   " + timeText);
    }
    const int hour = moment->hour;
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02d-%02d-%04d   %02d:%02d %s", moment->month, moment->day, moment->year,
                  hour % 12 == 0 ? 12 : hour % 12, moment->minute, hour < 12 ? "AM" : "PM");
    return text.data();
}

PrintedReport ClusterReport(const Report& report, const SimulationData& sim, int p, const ClusterRun& run,
                            const std::vector<ClusterListRow>& clusters, PoolUsage usage, int membersPerPage) {
    const std::string title = "Buffer Pool " + PoolName(report, p);
    const std::vector<PrintedLabel> facts = HeaderFacts(report.Header);
    const std::vector<PrintedLabel> sizes{
        {"Collection Date", CollectionStamp(report.Header)},
        {"Original Pool Size", PlainText(static_cast<std::int64_t>(report.Pools(p).VPSize))},
        {"Pool Size Simulated", run.size >= 1 && run.size <= MaxSimSizes
                                    ? PlainText(static_cast<std::int64_t>(sim.Pools(p).SimPoolSize(run.size)))
                                    : std::string{}}};
    const auto perPage = static_cast<std::size_t>(std::max(membersPerPage, 1));
    PrintedReport printed;
    // Every cluster's members in one pass: a run of many objects has many clusters.
    std::vector<ClusterObjects> all = AllClusterObjects(report, sim, run);
    for (const ClusterListRow& cluster : clusters) {
        std::vector<std::vector<std::string>> members;
        if (cluster.cluster >= 1 && cluster.cluster <= static_cast<int>(all.size())) {
            for (ClusterObjectRow& row : all[static_cast<std::size_t>(cluster.cluster - 1)].rows) {
                members.push_back({std::move(row.cells[0]), std::move(row.cells[1]), std::move(row.cells[2])});
            }
        }
        std::size_t next = 0;
        do {
            PrintedPage page;
            page.title = title;
            page.subtitle = " Cluster # = " + std::to_string(cluster.cluster) +
                            (usage == PoolUsage::Random ? "  -- Random objects" : "  -- Sequential objects");
            if (next > 0) {
                page.subtitle1 = "(continued)";
            }
            page.facts = facts;
            page.labels = sizes;
            const std::size_t end = std::min(members.size(), next + perPage);
            page.table = PrintedTable{{"Object", "Max. WkSet", "Type"},
                                      {members.begin() + static_cast<std::ptrdiff_t>(next),
                                       members.begin() + static_cast<std::ptrdiff_t>(end)}};
            printed.pages.push_back(std::move(page));
            next = end;
        } while (next < members.size());
    }
    return printed;
}

} // namespace ornexa
