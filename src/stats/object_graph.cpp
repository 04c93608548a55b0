#include "stats/object_graph.h"

#include <array>
#include <stdexcept>

#include "stats/share_figures.h"

namespace ornexa {

std::string_view ObjectGraphName(int type) {
    static constexpr std::array<std::string_view, ObjectGraphTypeCount> names{"Access Type", "Pages Read", "Read I/Os"};
    if (type < 1 || type > ObjectGraphTypeCount) {
        throw std::out_of_range("object graph types are 1 to 3");
    }
    return names[static_cast<std::size_t>(type - 1)];
}

ObjectIcon IconOf(const ObjectRecord& object) {
    const std::string_view type = object.ObjType.Padded();
    if (type == "T") {
        return ObjectIcon::TableSpace;
    }
    if (type == "I") {
        return ObjectIcon::Index;
    }
    return type == "D" ? ObjectIcon::TypeD : ObjectIcon::Other;
}

bool ShowObjectGraph(GraphView& view, const Report& report, int o, int type,
                     const std::optional<std::string>& selectedRowText, NumberStyle style) {
    if (type < 1 || type > ObjectGraphTypeCount || o < 1 || o > report.ObjectCount()) {
        return false;
    }
    const ShareResult share = ObjectShare(report, o, type, style);
    view.chart.noData.clear();
    Legend& legend = view.legend;
    static constexpr std::array<std::array<std::string_view, 5>, 3> captions{{
        {"Seq. Access", "Rnd. Access", "RID List", "Total", ""},
        {"Sync. Pages", "SPref. Pages", "LPref. Pages", "DPref. Pages", "Total"},
        {"Sync. I/Os", "SPref. I/Os", "LPref. I/Os", "DPref. I/Os", "Total"},
    }};
    const auto& typeCaptions = captions[static_cast<std::size_t>(type - 1)];
    const int rows = type == 1 ? 4 : 5;
    for (int r = 0; r < rows; ++r) {
        legend[static_cast<std::size_t>(r)].caption = std::string(typeCaptions[static_cast<std::size_t>(r)]);
    }
    legend[4].visible = type != 1;
    for (int i = 0; i < share.sources; ++i) {
        legend[static_cast<std::size_t>(i)].value = share.values[static_cast<std::size_t>(i)];
    }
    if (!share.absent.empty()) { // the chart says what the legend's figures would say each
        for (LegendRow& row : legend) {
            row.visible = false;
        }
        ChartModel& chart = view.chart;
        chart.OpenData(ChartKind::Share, 1, 0);
        chart.absentText = share.absent;
        chart.visible = true;
        if (selectedRowText) {
            chart.title = *selectedRowText;
            chart.subtitle = std::string(ObjectGraphName(type));
        }
        return false;
    }
    if (share.noData) {
        view.chart.noData.push_back(*share.noData);
        return false;
    }
    legend[static_cast<std::size_t>(share.sources)].value = share.total;
    if (share.data.ShareTotal == 0) {
        return false; // an object without getpages keeps the chart it had
    }
    ChartModel& chart = view.chart;
    chart.OpenData(ChartKind::Share, 1, share.sources);
    for (int i = 1; i <= share.sources; ++i) {
        chart.series[0][static_cast<std::size_t>(i - 1)] = static_cast<double>(share.data.ShareValues(i));
        chart.labels[static_cast<std::size_t>(i - 1)] = ShareLabelWithPercent(share.data, i, style);
    }
    chart.visible = true;
    if (selectedRowText) {
        chart.title = *selectedRowText;
        chart.subtitle = std::string(ObjectGraphName(type));
    }
    return true;
}

} // namespace ornexa
