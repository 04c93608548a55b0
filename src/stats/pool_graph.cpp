#include "stats/pool_graph.h"

#include <array>
#include <stdexcept>
#include <string>

#include "report/latin1.h"
#include "stats/rankings.h"
#include "stats/share_figures.h"

namespace ornexa {

std::string_view PoolGraphName(int type) {
    static constexpr std::array<std::string_view, Db2PoolGraphTypeCount> names{
        "Access Type",
        "Pages Read",
        "Read I/Os by Type",
        "Pool Get Pages",
        "Pool Pages Read",
        "Pool Read I/O by Object Type",
        "Top Get Pages",
        "Top Seq. Access",
        "Top Random I/O",
        "Lowest App. Hit Ratio",
        "Lowest Sys. Hit Ratio",
        "Indexes < 95 SHR-%",
        "Top Indexes-Pages Read",
        "Indexes > 10% Seq Pref",
        "Top I/O Rates/Sec",
        "Top Updates",
        "Worst Avg Sync I/O",
        "Worst Max Sync I/O",
        "Worst Write I/Os (ms)",
        "Top  Write I/Os",
        "Top  Pages/Write",
        "Lowest Pages/Write",
        "Top Sync I/O Pages",
        "Largest Cached Pages",
    };
    if (type < 1 || type > Db2PoolGraphTypeCount) {
        throw std::out_of_range("pool graph types are 1 to 24");
    }
    return names[static_cast<std::size_t>(type - 1)];
}

int PoolGraphTypes(const Report& report) {
    return report.Db2Display ? Db2PoolGraphTypeCount : PoolGraphTypeCount;
}

namespace {

std::string_view ShareSubtitle(int type) {
    static constexpr std::array<std::string_view, 6> subtitles{
        "Access Type",
        "Pages Read",
        "Read I/Os",
        "Pool Activity by Object Type Get-Pages",
        "Pool Activity by Object Type Pages-Read",
        "Pool Activity by Object Type Start-IO's",
    };
    return subtitles[static_cast<std::size_t>(type - 1)];
}

void SetLegend(Legend& legend, std::initializer_list<std::string_view> captions, int visibleRows) {
    int row = 0;
    for (const std::string_view caption : captions) {
        legend[static_cast<std::size_t>(row++)].caption = std::string(caption);
    }
    for (int r = 0; r < LegendRows; ++r) {
        legend[static_cast<std::size_t>(r)].visible = r < visibleRows;
    }
}

// The chart of a graph whose figures the input does not give: its titles and why it stands empty.
bool DrawAbsent(GraphView& view, const PoolRecord& pool, ChartKind kind, std::string_view subtitle,
                std::string_view absent) {
    SetLegend(view.legend, {}, 0);
    ChartModel& chart = view.chart;
    chart.OpenData(kind, kind == ChartKind::Ranked ? 2 : 1, 0);
    chart.title = "Buffer Pool - " + Latin1ToUtf8(pool.PoolName.Padded());
    chart.subtitle = std::string(subtitle);
    chart.absentText = std::string(absent);
    chart.visible = true;
    return false;
}

} // namespace

bool DrawPoolGraph(GraphView& view, const Report& report, int p, int type, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    std::vector<std::string>& noData = view.chart.noData;
    noData.clear();
    view.chart.absentText.clear();
    Legend& legend = view.legend;
    ShareData share;
    RankedList ranked;

    // Data step.
    if (type >= 1 && type <= 6) {
        const ShareResult result = PoolShare(report, p, type, style);
        if (!result.absent.empty()) {
            return DrawAbsent(view, pool, ChartKind::Share, ShareSubtitle(type), result.absent);
        }
        share = result.data;
        for (int i = 0; i < result.sources; ++i) {
            legend[static_cast<std::size_t>(i)].value = result.values[static_cast<std::size_t>(i)];
        }
        if (type >= 4) {
            legend[3].caption = "Total";
            legend[3].value = result.total;
        }
        if (result.noData) {
            noData.push_back(*result.noData);
        }
    } else {
        if (const std::string_view absent = RankedAbsent(report, p, type); !absent.empty()) {
            return DrawAbsent(view, pool, ChartKind::Ranked, RankedSubtitle(type), absent);
        }
        ranked = RankPoolObjects(report, p, type);
        if (type <= 9) {
            legend[3].caption = "Total";
            legend[3].value = FormatPicture(static_cast<double>(share.ShareTotal), "  ###,###,###", style);
        }
    }
    const std::string total = FormatPicture(static_cast<double>(share.ShareTotal), "  ###,###,###", style);

    // Legend step: a share without data keeps the captions it had.
    if (type >= 7) {
        SetLegend(legend, {}, 0);
    } else if (share.ShareTotal != 0) {
        if (type == 1) {
            SetLegend(legend, {"Seq. Access", "Rnd. Access", "RID List", "Total"}, 4);
            legend[3].value = total;
        } else if (type <= 3) {
            const bool pages = type == 2;
            SetLegend(legend,
                      {pages ? "Sync. Pages" : "Sync. I/Os", pages ? "SPref. Pages" : "SPref. I/Os",
                       pages ? "LPref. Pages" : "LPref. I/Os", pages ? "DPref. Pages" : "DPref. I/Os", "Total"},
                      5);
            legend[4].value = total;
        } else {
            SetLegend(legend, {"Index", "Table Space", "Unknown"}, 3);
        }
    }

    // Chart step.
    ChartModel& chart = view.chart;
    chart.title = "Buffer Pool - " + Latin1ToUtf8(pool.PoolName.Padded());
    chart.subtitle.clear();
    chart.visible = true;
    if (type >= 7) {
        DrawRankedChart(chart, type, ranked);
        return true;
    }
    if (share.ShareTotal == 0) {
        chart.visible = false;
        noData.emplace_back(ChartZeroText);
        return false;
    }
    chart.OpenData(ChartKind::Share, 1, share.ShareCount);
    for (int i = 1; i <= share.ShareCount; ++i) {
        chart.series[0][static_cast<std::size_t>(i - 1)] = static_cast<double>(share.ShareValues(i));
        chart.labels[static_cast<std::size_t>(i - 1)] = ShareLabelWithPercent(share, i, style);
    }
    chart.subtitle = std::string(ShareSubtitle(type));
    return true;
}

} // namespace ornexa
