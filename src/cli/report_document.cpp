#include "cli/report_document.h"

#include <algorithm>
#include <iomanip>
#include <ostream>
#include <sstream>

#include "advice/pool_metrics.h"
#include "cli/aligned_columns.h"
#include "cli/json_stream_writer.h"
#include "load/report_load.h"
#include "report/field_presence.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "report/number_format.h"
#include "report/shown_text.h"
#include "stats/pool_list_figures.h"
#include "stats/share_figures.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

ReadOutcome ReadReport(Report& report, SimulationData& sim, const std::filesystem::path& statPath,
                       const std::optional<std::filesystem::path>& simPath, const ReportLimits& limits) {
    LoadRequest request;
    // "-" is standard input: a pipe from a transfer job. Both files are read whatever the first gave.
    request.statistics = statPath == "-" ? StatisticsSource(StandardInput{}) : StatisticsSource(statPath);
    request.simulation = simPath;
    request.limits = limits;
    request.onSimulationFailure = SimulationFailure::FailsTheLoadReadAnyway;
    LoadOutcome loaded = LoadInto(report, sim, request);
    ReadOutcome outcome;
    outcome.statPath = statPath;
    outcome.stat = loaded.statRead;
    outcome.statMessages = std::move(loaded.statMessages);
    outcome.simPath = simPath;
    outcome.sim = loaded.simRead.value_or(SimReadResult{});
    outcome.simMessages = std::move(loaded.simMessages);
    return outcome;
}

std::string SkippedLinesSummary(int skippedLines) {
    return std::to_string(skippedLines) + (skippedLines == 1 ? " object line" : " object lines") +
           " skipped; see the messages";
}

namespace {

Json Figure(const FigureText& text) {
    return text ? Json(*text) : Json(nullptr);
}

// A field as the document holds it: a text as shown, a number as a JSON number.
Json FieldJson(const ConstFieldRef& field) {
    return std::visit(
        [&field](const auto& value) -> Json {
            if constexpr (std::is_pointer_v<std::decay_t<decltype(value)>>) {
                return *value;
            } else {
                return FieldText(field);
            }
        },
        field);
}

// The fields of a record that the document holds; a field the input does not give (`given` says) is null.
template <class Record, class Given>
Json FieldMembers(const Record& record, RecordCatalogue<Record> catalogue, const Given& given) {
    Json members = Json::object();
    for (std::size_t f = 0; f < catalogue.size(); ++f) {
        const RecordField<Record>& field = catalogue[f];
        if (!field.jsonKey.empty()) {
            members[std::string(field.jsonKey)] = given(f) ? FieldJson(field.access.read(record)) : Json(nullptr);
        }
    }
    return members;
}

bool EveryField(std::size_t /*field*/) {
    return true;
}

template <class Figure, std::size_t N> Json FigureMembers(const FigureSet<Figure, N>& figures) {
    Json members = Json::object();
    for (std::size_t f = 0; f < N; ++f) {
        const auto value = figures.values[f];
        members[std::string(NameOf(static_cast<Figure>(f)).key)] = value ? Json(*value) : Json(nullptr);
    }
    return members;
}

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

// What Db2's display tells of a pool beyond its record.
Json Db2PoolJson(const Db2PoolFacts& facts) {
    Json pool = FigureMembers(facts.figures);
    pool["autosize"] = TextOrNull(facts.autosize);
    pool["pgfix"] = TextOrNull(facts.pgfix);
    pool["pgsteal"] = TextOrNull(facts.pgsteal);
    pool["frameSize"] = TextOrNull(facts.frameSize);
    pool["complete"] = facts.complete;
    if (facts.simulated) {
        const auto number = [](const std::optional<std::int64_t>& v) { return v ? Json(*v) : Json(nullptr); };
        const SimulatedPoolFigures& sim = *facts.simulated;
        pool["simulated"] = {{"size", number(sim.size)},
                             {"seqThreshold", number(sim.seqThreshold)},
                             {"avoidableSyncRandom", number(sim.avoidableSyncRandom)},
                             {"avoidableSyncSeq", number(sim.avoidableSyncSeq)},
                             {"avoidableAsync", number(sim.avoidableAsync)},
                             {"avoidableSyncDelayMs", number(sim.avoidableSyncDelayMs)},
                             {"pagesMovedIn", number(sim.pagesMovedIn)}};
    } else {
        pool["simulated"] = nullptr;
    }
    return pool;
}

// The interval and the group buffer pools of a report of Db2's display; null for a monitor's report.
Json Db2Json(const Report& report) {
    if (!report.Db2Display) {
        return nullptr;
    }
    const Db2Facts& facts = *report.Db2Display;
    Json groups = Json::array();
    for (const Db2GroupPoolFacts& group : facts.groupPools) {
        Json g = {{"name", group.name}};
        // Held here: a loop over the items of a temporary would outlive it.
        Json figures = FigureMembers(group.figures);
        for (auto& [key, value] : figures.items()) {
            g[key] = std::move(value);
        }
        groups.push_back(std::move(g));
    }
    return {{"from", TextOrNull(facts.from)},
            {"to", TextOrNull(facts.to)},
            {"cumulative", facts.cumulative},
            {"groupPools", std::move(groups)}};
}

// Every member before the analysis.
Json ReportHead(const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                const AnalysisOptions& options) {
    Json doc;
    doc["schema"] = "ornexa-report/1";
    doc["statistics"] = {{"path", outcome.statPath.string()},
                         {"loaded", report.StatFileLoaded},
                         {"messages", MessagesDocument(outcome.statMessages)},
                         {"kind", report.Db2Display ? "db2-display" : "statistics"}};
    doc["header"] = FieldMembers(report.Header, RecordCatalogue<ReportHeader>(HeaderCatalogue()),
                                 [&report](std::size_t f) { return HeaderFieldGiven(report, f); });
    doc["header"]["ElapsedSeconds"] = report.ElapsedSeconds;
    Json totals = Json::array();
    for (const FigureText& figure : OverallFigures(report)) {
        totals.push_back(Figure(figure));
    }
    doc["totals"] = totals;
    Json pools = Json::array();
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const ObjectRange range = PoolObjects(report, p);
        Json row = Json::array();
        for (const FigureText& cell : PoolListRow(report, p)) {
            row.push_back(Figure(cell));
        }
        Json pool = {{"number", p}};
        Json fields = FieldMembers(report.Pools(p), RecordCatalogue<PoolRecord>(PoolCatalogue()),
                                   [&report, p](std::size_t f) { return PoolFieldGiven(report, p, f); });
        for (auto& [key, value] : fields.items()) {
            pool[key] = std::move(value);
        }
        if (report.Db2Display) {
            pool["db2"] = Db2PoolJson(report.Db2Display->pools.at(static_cast<std::size_t>(p - 1)));
        }
        pool["objects"] = {{"first", range.empty() ? 0 : range.first},
                           {"last", range.empty() ? 0 : range.last},
                           {"count", range.Count()}};
        pool["row"] = std::move(row);
        pools.push_back(std::move(pool));
    }
    doc["pools"] = pools;
    doc["db2"] = Db2Json(report);
    if (outcome.simPath) {
        doc["simulation"] = {{"path", outcome.simPath->string()},
                             {"loaded", sim.SimFileLoaded},
                             {"messages", MessagesDocument(outcome.simMessages)},
                             {"SimPoolName", ShownText(sim.Sim.SimPoolName)},
                             {"SimSizeCount", sim.Sim.SimSizeCount},
                             {"CurrentPool", sim.simulatedPool}};
    } else {
        doc["simulation"] = nullptr;
    }
    // The cluster runs take their thresholds from these files.
    doc["thresholds"] = sim.SimFileLoaded ? ThresholdsDocument(LookUpThresholds(options.simulation)) : Json(nullptr);
    return doc;
}

} // namespace

Json RecordMembers(const ReportHeader& header, RecordCatalogue<ReportHeader> catalogue) {
    return FieldMembers(header, catalogue, EveryField);
}

Json RecordMembers(const PoolRecord& pool, RecordCatalogue<PoolRecord> catalogue) {
    return FieldMembers(pool, catalogue, EveryField);
}

Json ReportDocument(const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                    const AnalysisOptions& options) {
    Json doc = ReportHead(report, sim, outcome, options);
    doc["analysis"] = AnalysisDocument(report, sim, options);
    if (report.Db2Display) {
        doc["groupPools"] = GroupPoolsDocument(report);
    }
    return doc;
}

void WriteReportDocument(std::ostream& out, const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                         const AnalysisOptions& options, const DocumentAdditions& additions) {
    std::optional<AddedCommands> added;
    if (additions.regroup && additions.regroup->document) {
        const Json& regrouped = *additions.regroup->document;
        if (regrouped.contains("pool") && regrouped["pool"].is_number_integer()) {
            added = AddedCommands{regrouped["pool"].get<int>(), AdviceDocument(additions.regroup->advice)};
        }
    }
    JsonStreamWriter writer(out);
    writer.BeginObject();
    writer.Members(ReportHead(report, sim, outcome, options));
    writer.Key("analysis");
    WriteAnalysisDocument(writer, report, sim, options, added);
    if (report.Db2Display) {
        writer.Member("groupPools", GroupPoolsDocument(report));
    }
    if (additions.exports) {
        writer.Member("exports", *additions.exports);
    }
    if (additions.regroup) {
        writer.Member("regroup", additions.regroup->document.value_or(nullptr));
    }
    writer.EndObject();
    out << '\n';
}

namespace {

std::string Shown(const FigureText& text) {
    return text ? *text : "-";
}

void WriteMessages(std::ostream& out, const std::vector<Message>& messages) {
    for (const Message& m : messages) {
        std::string text = m.text;
        std::replace(text.begin(), text.end(), '\t', '\n');
        out << "[" << IconName(m.icon) << "] " << (m.title.empty() ? "ORNEXA" : m.title) << ":\n" << text << '\n';
        if (!m.hint.empty()) {
            out << m.hint << '\n';
        }
        out << '\n';
    }
}

} // namespace

namespace {

std::string Str(const Json& value) {
    if (value.is_string()) {
        return value.get<std::string>();
    }
    return value.is_number_float() ? PlainText(value.get<double>()) : value.dump();
}

// A chart in one line per point, bars from top to bottom as the window draws them.
void WriteChart(std::ostream& out, const Json& graph) {
    out << "    " << Str(graph["name"]);
    for (const auto& m : graph["messages"]) {
        out << "  [" << Str(m["text"]) << "]";
    }
    const Json& chart = graph["chart"];
    if (chart.is_null()) {
        out << ": " << (graph.contains("absent") ? Str(graph["absent"]) : std::string("no chart")) << '\n';
        return;
    }
    out << ": " << Str(chart["title"]) << (Str(chart["subtitle"]).empty() ? "" : " / " + Str(chart["subtitle"]))
        << '\n';
    std::vector<Json> points(chart["points"].begin(), chart["points"].end());
    if (Str(chart["kind"]) == "ranked") {
        std::reverse(points.begin(), points.end());
    }
    for (const Json& point : points) {
        out << "      " << std::left << std::setw(30) << (point.contains("x") ? Str(point["x"]) : Str(point["label"]))
            << ' ' << Str(point["value"]) << '\n';
    }
}

// The metrics table (captions with their units, as the window shows them) and the pool's commands.
void WriteMetricsAndCommands(std::ostream& out, const Json& pool) {
    const Json& metrics = pool["metrics"];
    out << "  Pool metrics:\n";
    for (const MetricRow& row : MetricRows(PoolMetrics{})) {
        const Json& value = metrics[row.key];
        out << "    " << std::left << std::setw(36) << row.caption << (value.is_null() ? "-" : Str(value));
        if (row.key == "system_residency_seconds" && metrics["verdict"].is_string()) {
            out << "  (" << Str(metrics["verdict"]) << ")";
        }
        out << '\n';
    }
    for (const auto& note : metrics["notes"]) {
        out << "    Note: " << Str(note) << '\n';
    }
    out << "  Commands, " << (Str(pool["command_usage"]) == "S" ? "sequential" : "random") << " usage:\n";
    for (const Json& command : pool["commands"]) {
        out << "    " << Str(command["text"]) << "  [" << Str(command["source"]) << "]\n";
    }
    for (const auto& note : pool["command_notes"]) {
        out << "    Note: " << Str(note) << '\n';
    }
}

void WritePoolText(std::ostream& out, const Json& pool) {
    out << "\n" << Str(pool["header"]["caption"]) << "\n";
    for (const auto& text : pool["header"]["pool_info"]) {
        out << "  " << Str(text);
    }
    out << "  |";
    for (const auto& text : pool["header"]["threshold_info"]) {
        out << "  " << Str(text);
    }
    out << "\n  Rules, random usage:\n";
    for (const auto& rule : pool["rules"]["R"]) {
        out << "  " << Str(rule) << '\n';
    }
    out << "  Rules, sequential usage:\n";
    for (const auto& rule : pool["rules"]["S"]) {
        out << "  " << Str(rule) << '\n';
    }
    WriteMetricsAndCommands(out, pool);
    out << "  Graphs:\n";
    for (const Json& graph : pool["graphs"]) {
        WriteChart(out, graph);
    }
    const Json& sim = pool["simulation"];
    if (sim.is_null()) {
        return;
    }
    out << "  Simulation at sizes " << sim["sizes"].dump() << ", working sets at size "
        << Str(sim["work_set_size_index"]) << ":\n";
    for (const char* key : {"curves", "largest_improvement"}) {
        for (const Json& graph : sim[key]) {
            WriteChart(out, graph);
        }
    }
    WriteChart(out, sim["largest_work_sets"]);
    WriteChart(out, sim["smallest_work_sets"]);
    out << "  Clusters (usage, size: clusters of members):\n";
    for (const Json& run : sim["clusters"]) {
        out << "    " << Str(run["usage"]) << ", " << Str(run["size"]) << ": " << Str(run["result"]) << " of "
            << Str(run["member_count"]) << '\n';
    }
}

} // namespace

namespace {

void WriteTextReportLines(std::ostream& out, const Report& report, const SimulationData& sim,
                          const ReadOutcome& outcome, const AnalysisOptions& options) {
    const Json thresholds =
        sim.SimFileLoaded ? ThresholdsDocument(LookUpThresholds(options.simulation)) : Json(nullptr);
    out << (report.Db2Display ? "Db2 display " : "Statistics report ") << outcome.statPath.string() << ": "
        << (report.StatFileLoaded ? "loaded" : "not loaded") << "\n\n";
    WriteMessages(out, outcome.statMessages);
    if (report.Db2Display) {
        const Db2Facts& facts = *report.Db2Display;
        out << (facts.cumulative ? "Counted since " : "Interval from ") << (facts.from.empty() ? "?" : facts.from)
            << " to " << (facts.to.empty() ? "an end not known (no rates)" : facts.to) << "\n\n";
    }

    const auto data = ReportData(report.Header);
    for (std::size_t i = 0; i < data.size(); ++i) {
        out << std::left << std::setw(24) << ReportDataCaptions()[i] << data[i] << '\n';
    }
    out << '\n';
    const auto totals = OverallFigures(report);
    for (std::size_t i = 0; i < totals.size(); ++i) {
        out << std::left << std::setw(24) << OverallFigureCaptions()[i] << Shown(totals[i]) << '\n';
    }
    if (outcome.simPath) {
        out << "\nSimulation report " << outcome.simPath->string() << ": "
            << (sim.SimFileLoaded ? "loaded" : "not loaded") << '\n';
        WriteMessages(out, outcome.simMessages);
        if (sim.simulatedPool > 0) {
            out << "Simulated pool " << ShownText(report.Pools(sim.simulatedPool).PoolName) << " at sizes";
            for (const int k : sim.Sizes()) {
                out << ' ' << sim.Pools(sim.simulatedPool).SimPoolSize(k);
            }
            out << '\n';
        }
        for (const Json& lookup : thresholds.is_array() ? thresholds : Json::array()) {
            if (const Json& m = lookup["message"]; !m.is_null()) {
                out << "[" << Str(m["icon"]) << "] " << Str(m["title"]) << ":\n" << Str(m["text"]) << "\n\n";
            }
        }
    }
    out << "\nPools: " << report.PoolCount() << ", objects: " << report.ObjectCount() << "\n\n";

    std::array<std::size_t, PoolListColumnCount> widths{};
    std::vector<std::array<std::string, PoolListColumnCount>> rows;
    rows.push_back(PoolListCaptions());
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const PoolListCells row = PoolListRow(report, p);
        std::array<std::string, PoolListColumnCount> cells;
        std::transform(row.begin(), row.end(), cells.begin(), Shown);
        rows.push_back(cells);
    }
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            widths[c] = std::max(widths[c], row[c].size());
        }
    }
    for (const auto& row : rows) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c == 0) {
                out << std::left << std::setw(static_cast<int>(widths[c])) << row[c];
            } else {
                out << "  " << std::right << std::setw(static_cast<int>(widths[c])) << row[c];
            }
        }
        out << '\n';
    }
}

// --objects: a pool's objects as the document lists them, a row each with the figures of the object
// details, measured first and then written a row at a time, since a pool may hold many thousands.
// The group buffer pools: each with its figures ("-" where the display did not show one), then its
// findings, their sources and commands.
void WriteGroupPoolsText(std::ostream& out, const Json& pools) {
    out << "\nGroup buffer pools:" << (pools.empty() ? " none\n" : "\n");
    for (const Json& pool : pools) {
        out << "  " << Str(pool["name"]) << '\n';
        for (const auto& [key, value] : pool["figures"].items()) {
            out << "    " << std::left << std::setw(30) << key << (value.is_null() ? "-" : Str(value)) << '\n';
        }
        for (const Json& finding : pool["findings"]) {
            out << "    finding: " << Str(finding["text"]) << '\n';
            out << "      source: " << Str(finding["source"]) << '\n';
            for (const Json& command : finding["commands"]) {
                out << "      " << Str(command["text"]) << '\n';
            }
            for (const Json& note : finding["notes"]) {
                out << "      -- " << Str(note) << '\n';
            }
        }
    }
}

void WriteObjectsText(std::ostream& out, const Report& report, int p) {
    const ObjectRange objects = PoolObjects(report, p);
    out << "  Objects: " << objects.Count() << '\n';
    if (objects.empty()) {
        return;
    }
    std::vector<std::string> header{"Number", "Object", "Type"};
    header.insert(header.end(), ObjectDetailCaptions.begin(), ObjectDetailCaptions.end());
    std::vector<bool> rightAligned(header.size(), true);
    rightAligned[1] = false;
    rightAligned[2] = false;
    const auto row = [&report](int o) {
        const ObjectRecord& object = report.Objects(o);
        std::vector<std::string> cells{std::to_string(o), EscapeControls(Latin1ToUtf8(object.ObjName.Trimmed())),
                                       EscapeControls(Latin1ToUtf8(object.ObjType.Trimmed()))};
        for (const std::string& figure : ObjectDetailFigures(report, o)) {
            cells.emplace_back(TrimBlanks(figure));
        }
        return cells;
    };
    AlignedColumns columns(rightAligned);
    columns.Measure(header);
    for (const int o : objects) {
        columns.Measure(row(o));
    }
    out << "    " << columns.Line(header);
    for (const int o : objects) {
        out << "    " << columns.Line(row(o));
    }
}

} // namespace

void WriteTextReport(std::ostream& out, const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                     const AnalysisOptions& options) {
    // Shown with the control characters of names escaped, since a terminal would run them; made and
    // escaped a part at a time, so that the object lists are never held whole.
    std::ostringstream head;
    WriteTextReportLines(head, report, sim, outcome, options);
    out << EscapeControls(head.str(), "\n");
    for (const int p : ChosenPools(report, options.pools)) {
        std::ostringstream pool;
        WritePoolText(pool, PoolSummaryDocument(report, sim, p, options));
        out << EscapeControls(pool.str(), "\n");
        if (options.objects) {
            WriteObjectsText(out, report, p);
        }
    }
    if (report.Db2Display) {
        std::ostringstream groups;
        WriteGroupPoolsText(groups, GroupPoolsDocument(report));
        out << EscapeControls(groups.str(), "\n");
    }
}

} // namespace ornexa::cli
