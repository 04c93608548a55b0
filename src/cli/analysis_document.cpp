#include "cli/analysis_document.h"

#include <algorithm>

#include "advice/pool_commands.h"
#include "advice/pool_metrics.h"
#include "cli/advice_document.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "rules/config_rules.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_reader.h"
#include "stats/object_graph.h"
#include "stats/pool_graph.h"
#include "stats/pool_header.h"
#include "stats/share_figures.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

Json Limit(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

Json Texts(const auto& texts) {
    Json list = Json::array();
    for (const auto& text : texts) {
        list.push_back(text);
    }
    return list;
}

Json Graph(int type, std::string_view name, const GraphView& view, bool drawn, bool withLegend = true) {
    Json graph = {{"type", type},
                  {"name", name},
                  {"messages", MessagesDocument(NoDataMessages(view.chart))},
                  {"legend", withLegend ? LegendDocument(view.legend) : Json::array()},
                  {"chart", ChartDocument(view.chart, drawn)}};
    if (!view.chart.absentText.empty()) {
        graph["absent"] = view.chart.absentText; // what the input lacks to draw it ("not in a Db2 display")
    }
    return graph;
}

Json ObjectDocument(const Report& report, int o) {
    const ObjectRecord& object = report.Objects(o);
    GraphView view;
    Json graphs = Json::array();
    const std::string name = Latin1ToUtf8(object.ObjName.Trimmed()); // as the object list shows it
    for (int type = 1; type <= ObjectGraphTypeCount; ++type) {
        const bool drawn = ShowObjectGraph(view, report, o, type, name);
        graphs.push_back(Graph(type, ObjectGraphName(type), view, drawn));
    }
    return {{"number", o},
            {"name", name},
            {"type", Latin1ToUtf8(object.ObjType.Trimmed())},
            {"icon", IconNumber(IconOf(object))},
            {"details", Texts(ObjectDetailFigures(report, o))},
            {"graphs", graphs}};
}

// The members before the objects: the pool's header, graphs and rules.
Json PoolHead(const Report& report, int p) {
    const PoolHeader header = MakePoolHeader(report, p);
    Json graphs = Json::array();
    GraphView view; // one fresh view for the 22 drawings, as the tab shows them in turn
    for (int type = 1; type <= PoolGraphTypes(report); ++type) {
        const bool drawn = DrawPoolGraph(view, report, p, type);
        graphs.push_back(Graph(type, PoolGraphName(type), view, drawn));
    }
    return {{"pool", p},
            {"name", Latin1ToUtf8(report.Pools(p).PoolName.Trimmed())},
            {"header",
             {{"pool_info", Texts(header.poolInfo)},
              {"threshold_info", Texts(header.thresholdInfo)},
              {"caption", header.caption}}},
            {"graphs", graphs},
            {"rules",
             {{"R", Texts(RulesFor(report, p, PoolUsage::Random))},
              {"S", Texts(RulesFor(report, p, PoolUsage::Sequential))}}}};
}

// Db2's simulated pool as two points of the pool's size curve; null without one.
Json Db2SizeCurveDocument(const std::optional<Db2SizeCurve>& curve) {
    if (!curve) {
        return nullptr;
    }
    Json points = Json::array();
    for (const SizeCurvePoint& point : curve->Points()) {
        points.push_back({{"kind", SizePointKindKey(point.kind)},
                          {"size", point.size},
                          {"syncReadsPerSecond", Limit(point.syncReadsPerSecond)},
                          {"hitRatio", Limit(point.hitRatio)}});
    }
    return {{"points", points},
            {"syncReads", curve->syncReads},
            {"avoidableSyncReads", curve->avoidableSyncReads},
            {"avoidableSyncReadsPerSecond", Limit(curve->avoidableSyncReadsPerSecond)},
            {"seqThreshold", curve->seqThreshold ? Json(*curve->seqThreshold) : Json(nullptr)}};
}

// The members after the simulation: metrics, commands and the size proposal.
Json PoolTail(const Report& report, const SimulationData& sim, int p, const AnalysisOptions& options) {
    const PoolAdvice advice = PoolCommands(report, sim, p, options.commandUsage);
    Json tail = {{"metrics", MetricsDocument(ComputePoolMetrics(report, p))},
                 {"command_usage", std::string(1, UsageLetter(options.commandUsage))},
                 {"commands", AdviceDocument(advice.commands)},
                 {"command_notes", advice.notes},
                 {"size_proposal", SizeProposalDocument(advice.size)}};
    if (report.Db2Display) {
        tail["db2SizeCurve"] = Db2SizeCurveDocument(Db2SizeCurveOf(report, p));
    }
    return tail;
}

void AddMembers(Json& doc, const Json& members) {
    for (auto it = members.begin(); it != members.end(); ++it) {
        doc[it.key()] = it.value();
    }
}

Json PoolDocument(const Report& report, const SimulationData& sim, int p, const AnalysisOptions& options) {
    Json doc = PoolHead(report, p);
    if (options.objects) {
        Json objects = Json::array();
        for (const int o : PoolObjects(report, p)) {
            objects.push_back(ObjectDocument(report, o));
        }
        doc["objects"] = std::move(objects);
    }
    doc["simulation"] = sim.ShownPool() == p ? SimAnalysisDocument(report, sim, p, options.simulation) : Json(nullptr);
    AddMembers(doc, PoolTail(report, sim, p, options));
    return doc;
}

void WritePool(JsonStreamWriter& out, const Report& report, const SimulationData& sim, int p,
               const AnalysisOptions& options, const std::optional<AddedCommands>& added) {
    out.BeginObject();
    out.Members(PoolHead(report, p));
    if (options.objects) {
        out.MemberArray("objects", [&] {
            for (const int o : PoolObjects(report, p)) {
                out.Value(ObjectDocument(report, o));
            }
        });
    }
    out.Key("simulation");
    if (sim.ShownPool() == p) {
        WriteSimAnalysis(out, report, sim, p, options.simulation);
    } else {
        out.Value(nullptr);
    }
    Json tail = PoolTail(report, sim, p, options);
    if (added && added->pool == p) {
        for (const Json& statement : added->statements) {
            tail["commands"].push_back(statement);
        }
    }
    out.Members(tail);
    out.EndObject();
}

} // namespace

Json ChartDocument(const ChartModel& chart, bool drawn) {
    if (!drawn || !chart.visible || !chart.HasData()) {
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
        case ChartKind::TimeLine:
            return "time_line";
        }
        return "share";
    };
    Json points = Json::array();
    for (int i = 0; i < chart.PointCount(); ++i) {
        const auto at = static_cast<std::size_t>(i);
        Json point = {{"label", chart.labels[at]}, {"value", chart.series[0][at]}};
        if (chart.kind == ChartKind::Ranked) {
            point["object"] = chart.ObjectAt(i);
        }
        if (chart.kind == ChartKind::Curve || chart.kind == ChartKind::TimeLine) {
            point["x"] = chart.xValues[at];
        }
        points.push_back(point);
    }
    return {{"kind", kindName(chart.kind)},
            {"title", chart.title},
            {"subtitle", chart.subtitle},
            {"points", points},
            {"axis",
             {{"min", Limit(chart.axisMin)},
              {"max", Limit(chart.axisMax)},
              {"x_min", Limit(chart.xMin)},
              {"x_max", Limit(chart.xMax)}}}};
}

Json MessagesDocument(const std::vector<Message>& messages) {
    Json list = Json::array();
    for (const Message& m : messages) {
        Json message = {{"title", m.title}, {"text", m.text}, {"icon", IconName(m.icon)}};
        if (!m.hint.empty()) {
            message["hint"] = m.hint; // the messages of a read: which file and what to do
        }
        list.push_back(std::move(message));
    }
    return list;
}

Json LegendDocument(const Legend& legend) {
    Json rows = Json::array();
    for (const LegendRow& row : legend) {
        rows.push_back({{"caption", row.caption}, {"value", row.value}, {"visible", row.visible}});
    }
    return rows;
}

Json AnalysisDocument(const Report& report, const SimulationData& sim, const AnalysisOptions& options) {
    Json analysis = Json::array();
    for (const int p : ChosenPools(report, options.pools)) {
        analysis.push_back(PoolDocument(report, sim, p, options));
    }
    return analysis;
}

void WriteAnalysisDocument(JsonStreamWriter& out, const Report& report, const SimulationData& sim,
                           const AnalysisOptions& options, const std::optional<AddedCommands>& added) {
    out.Array([&] {
        for (const int p : ChosenPools(report, options.pools)) {
            WritePool(out, report, sim, p, options, added);
        }
    });
}

Json PoolSummaryDocument(const Report& report, const SimulationData& sim, int p, const AnalysisOptions& options) {
    Json doc = PoolHead(report, p);
    doc["simulation"] = sim.ShownPool() == p ? SimAnalysisSummary(report, sim, p, options.simulation) : Json(nullptr);
    AddMembers(doc, PoolTail(report, sim, p, options));
    return doc;
}

nlohmann::ordered_json GroupPoolsDocument(const Report& report) {
    Json pools = Json::array();
    if (!report.Db2Display) {
        return pools;
    }
    const std::vector<GroupPoolAdvice> advice = GroupPoolsAdvice(report);
    for (std::size_t g = 0; g < advice.size(); ++g) {
        const Db2GroupPoolFacts& facts = report.Db2Display->groupPools[g];
        Json figures = Json::object();
        for (std::size_t f = 0; f < GroupPoolFigureCount; ++f) {
            const auto figure = static_cast<GroupPoolFigure>(f);
            const auto value = facts.figures.Get(figure);
            figures[std::string(NameOf(figure).key)] = value ? Json(*value) : Json(nullptr);
        }
        Json findings = Json::array();
        for (const GroupPoolFindingAdvice& item : advice[g].findings) {
            findings.push_back({{"rule", GroupPoolRuleKey(item.finding.rule)},
                                {"figure", NameOf(item.finding.figure).key},
                                {"value", item.finding.value},
                                {"threshold", item.finding.threshold},
                                {"source", item.finding.source},
                                {"text", item.finding.text},
                                {"commands", AdviceDocument(item.commands)},
                                {"notes", item.notes}});
        }
        pools.push_back({{"name", facts.name}, {"figures", std::move(figures)}, {"findings", std::move(findings)}});
    }
    return pools;
}

} // namespace ornexa::cli
