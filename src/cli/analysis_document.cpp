#include "cli/analysis_document.h"

#include <algorithm>

#include "report/latin1.h"
#include "rules/config_rules.h"
#include "session/analysis_session.h"
#include "simulation/sim_reader.h"
#include "stats/object_graph.h"
#include "stats/pool_graph.h"
#include "stats/share_figures.h"

namespace ornexa::cli {

using json = nlohmann::ordered_json;

namespace {

json Limit(const std::optional<double>& value) {
    return value ? json(*value) : json(nullptr);
}

json Texts(const auto& texts) {
    json list = json::array();
    for (const auto& text : texts) {
        list.push_back(Latin1ToUtf8(text));
    }
    return list;
}

json Graph(int type, std::string_view name, const GraphView& view, bool drawn, bool withLegend = true) {
    return {{"type", type},
            {"name", name},
            {"messages", MessagesDocument(NoDataMessages(view.chart))},
            {"legend", withLegend ? LegendDocument(view.legend) : json::array()},
            {"chart", ChartDocument(view.chart, drawn)}};
}

json ObjectDocument(const Report& report, int o) {
    const ObjectRecord& object = report.Objects(o);
    GraphView view;
    json graphs = json::array();
    const std::string name(object.ObjName.trimmed());
    for (int type = 1; type <= ObjectGraphTypeCount; ++type) {
        const bool drawn = ShowObjectGraph(view, report, o, type, name);
        graphs.push_back(Graph(type, ObjectGraphName(type), view, drawn));
    }
    return {{"number", o},
            {"name", Latin1ToUtf8(name)},
            {"type", Latin1ToUtf8(object.ObjType.trimmed())},
            {"icon", IconNumber(IconOf(object))},
            {"details", Texts(ObjectDetailFigures(report, o))},
            {"graphs", graphs}};
}

json PoolDocument(const Report& report, const SimulationData& sim, int p, const AnalysisOptions& options) {
    const PoolHeader header = MakePoolHeader(report, p);
    json graphs = json::array();
    GraphView view; // one fresh view for the 22 drawings, as the tab shows them in turn
    for (int type = 1; type <= PoolGraphTypeCount; ++type) {
        const bool drawn = DrawPoolGraph(view, report, p, type);
        graphs.push_back(Graph(type, PoolGraphName(type), view, drawn));
    }
    json doc = {{"pool", p},
                {"name", Latin1ToUtf8(report.Pools(p).PoolName.trimmed())},
                {"header",
                 {{"pool_info", Texts(header.poolInfo)},
                  {"threshold_info", Texts(header.thresholdInfo)},
                  {"caption", Latin1ToUtf8(header.caption)}}},
                {"graphs", graphs},
                {"rules",
                 {{"R", Texts(RulesFor(report, p, PoolUsage::Random))},
                  {"S", Texts(RulesFor(report, p, PoolUsage::Sequential))}}}};
    if (options.objects) {
        json objects = json::array();
        const ObjectRange range = PoolObjects(report, p);
        for (const int o : range) {
            objects.push_back(ObjectDocument(report, o));
        }
        doc["objects"] = objects;
    }
    const int simulated = sim.ShownPool();
    doc["simulation"] = simulated == p ? SimAnalysisDocument(report, sim, p, options.simulation) : json(nullptr);
    return doc;
}

} // namespace

json ChartDocument(const ChartModel& chart, bool drawn) {
    if (!drawn || !chart.visible || !chart.hasData()) {
        return nullptr;
    }
    static constexpr auto kindName = [](ChartKind kind) {
        switch (kind) {
        case ChartKind::Share:
            return "share";
        case ChartKind::Ranked:
            return "ranked";
        case ChartKind::Curve:
            return "curve";
        }
        return "share";
    };
    json points = json::array();
    for (int i = 0; i < chart.pointCount(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        json point = {{"label", Latin1ToUtf8(chart.labels[at])}, {"value", chart.series[0][at]}};
        if (chart.kind == ChartKind::Ranked) {
            point["object"] = chart.ObjectAt(i);
        }
        if (chart.kind == ChartKind::Curve) {
            point["x"] = chart.xValues[at];
        }
        points.push_back(point);
    }
    return {{"kind", kindName(chart.kind)},
            {"title", Latin1ToUtf8(chart.title)},
            {"subtitle", Latin1ToUtf8(chart.subtitle)},
            {"points", points},
            {"axis",
             {{"min", Limit(chart.axisMin)},
              {"max", Limit(chart.axisMax)},
              {"x_min", Limit(chart.xMin)},
              {"x_max", Limit(chart.xMax)}}}};
}

json MessagesDocument(const std::vector<Message>& messages) {
    json list = json::array();
    for (const Message& m : messages) {
        list.push_back({{"title", m.title}, {"text", m.text}, {"icon", IconName(m.icon)}});
    }
    return list;
}

json LegendDocument(const Legend& legend) {
    json rows = json::array();
    for (const LegendRow& row : legend) {
        rows.push_back({{"caption", row.caption}, {"value", row.value}, {"visible", row.visible}});
    }
    return rows;
}

json AnalysisDocument(const Report& report, const SimulationData& sim, const AnalysisOptions& options) {
    json analysis = json::array();
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const std::string name(report.Pools(p).PoolName.trimmed());
        if (options.pools.empty() ||
            std::find(options.pools.begin(), options.pools.end(), name) != options.pools.end()) {
            analysis.push_back(PoolDocument(report, sim, p, options));
        }
    }
    return analysis;
}

} // namespace ornexa::cli
