#include "print/printed_report.h"

#include <algorithm>
#include <stdexcept>

#include "report/number_format.h"
#include "stats/pool_list_figures.h"

namespace ornexa {

namespace {

std::string PoolName(const Report& report, int p) {
    if (!report.HasPool(p)) {
        throw std::out_of_range("no pool " + std::to_string(p) + " in the report");
    }
    return std::string(report.Pools(p).PoolName.Trimmed());
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

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::vector<PrintedLabel> HeaderFacts(const ReportHeader& header) {
    return {{"System: ", std::string(header.SystemName.Trimmed())},
            {"Sub System: ", std::string(header.SubSystemName.Trimmed())},
            {"Date: ", std::string(header.CollectionDate.Trimmed())},
            {"Time: ", std::string(header.CollectionTime.Trimmed())}};
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

} // namespace ornexa
