#include "cli/sim_document.h"

#include "cli/analysis_document.h"
#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "report/latin1.h"
#include "report/number_format.h"
#include "simulation/sim_charts.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

Json Graph(int type, std::string_view name, const ChartModel& chart, bool drawn) {
    return {{"type", type},
            {"name", name},
            {"messages", MessagesDocument(NoDataMessages(chart))},
            {"legend", Json::array()},
            {"chart", ChartDocument(chart, drawn)}};
}

// The figures of a cluster run before its member list.
Json ClusterRunHead(const ClusterRun& run, PoolUsage usage, double radius, double threshold) {
    return {{"usage", std::string(1, UsageLetter(usage))},
            {"size", run.size},
            {"radius", radius},
            {"threshold", threshold},
            {"result", run.result}};
}

Json ClusterHead(const SimulationData& sim, const ClusterRun& run, int q, const std::vector<std::size_t>& members) {
    const auto [smallest, largest] = MaxWorkSetRange(sim, run, members);
    return {{"number", q}, {"smallest", smallest}, {"largest", largest}};
}

Json ClusterObject(const SimulationData& sim, const ClusterRun& run, const ClusterObjectRow& row) {
    return {{"number", row.object},
            {"name", row.cells[0]},
            {"max_work_set", sim.Objects(row.object).SimMaxWorkSet(run.size)},
            {"type", row.cells[2]}};
}

// The objects of a cluster (its members' places in ClusterMembers), one at a time.
template <class Visit>
void ForEachClusterObject(const Report& report, const SimulationData& sim, const ClusterRun& run,
                          const std::vector<std::size_t>& members, Visit visit) {
    for (const std::size_t j : members) {
        visit(ClusterObject(sim, run, ClusterMemberRow(report, sim, run, run.ClusterMembers[j])));
    }
}

Json ClusterRunDocument(const Report& report, const SimulationData& sim, const ClusterRun& run, PoolUsage usage,
                        double radius, double threshold) {
    Json doc = ClusterRunHead(run, usage, radius, threshold);
    Json members = Json::array();
    for (const int o : run.ClusterMembers) {
        members.push_back(o);
    }
    Json clusters = Json::array();
    const std::vector<std::vector<std::size_t>> byCluster = MembersByCluster(run);
    for (int q = 1; q <= run.result; ++q) {
        const auto& ofCluster = byCluster[static_cast<std::size_t>(q - 1)];
        Json objects = Json::array();
        ForEachClusterObject(report, sim, run, ofCluster, [&](Json object) { objects.push_back(std::move(object)); });
        Json cluster = ClusterHead(sim, run, q, ofCluster);
        cluster["objects"] = std::move(objects);
        clusters.push_back(std::move(cluster));
    }
    doc["members"] = std::move(members);
    doc["clusters"] = std::move(clusters);
    return doc;
}

// A cluster run per usage (Random, then Sequential) and simulated size, one at a time.
template <class Visit>
void ForEachClusterRun(const Report& report, const SimulationData& sim, int p, const SimOptions& options, Visit visit) {
    for (const PoolUsage usage : {PoolUsage::Random, PoolUsage::Sequential}) {
        const double threshold = LookUpThreshold(options.thresholdFolders, usage).threshold;
        for (const int k : sim.Sizes()) {
            visit(RunClusterAnalysis(report, sim, p, k, usage, threshold, options.radius), usage, threshold);
        }
    }
}

Json ObjectDetail(const Report& report, const SimulationData& sim, int o) {
    Json rows = Json::array();
    for (const auto& row : SimObjectDetailCells(sim, o)) {
        rows.push_back(row);
    }
    return {{"number", o}, {"name", Latin1ToUtf8(report.Objects(o).ObjName.Trimmed())}, {"rows", rows}};
}

// The members before the per-object lists: sizes, curves, improvements and working sets.
Json SimAnalysisHead(const Report& report, const SimulationData& sim, int p) {
    const PoolSimulation& pool = sim.Pools(p);
    Json sizes = Json::array();
    Json sizeList = Json::array();
    for (const int k : sim.Sizes()) {
        sizes.push_back(pool.SimPoolSize(k));
        sizeList.push_back(StrText(static_cast<std::int64_t>(pool.SimPoolSize(k))));
    }
    Json curves = Json::array();
    Json improvements = Json::array();
    for (int m = SysHitRatioMeasure; m <= IORateMeasure; ++m) {
        ChartModel curve;
        const bool drawn = DrawPoolSizeCurve(curve, sim, p, m);
        curves.push_back(Graph(m, MeasureNames[static_cast<std::size_t>(m)], curve, drawn));
        ChartModel improvement;
        DrawLargestImprovement(improvement, report, sim, p, m);
        improvements.push_back(Graph(m, MeasureNames[static_cast<std::size_t>(m)], improvement, improvement.HasData()));
    }
    ChartModel largest;
    ChartModel smallest;
    DrawLargestWorkSets(largest, report, sim, p);
    DrawSmallestWorkSets(smallest, report, sim, p);
    return {{"sizes", sizes},
            {"size_list", sizeList},
            {"curves", curves},
            {"largest_improvement", improvements},
            {"largest_work_sets", Graph(0, "Largest Max WorkSet", largest, largest.HasData())},
            {"smallest_work_sets", Graph(1, "Smallest Max WorkSet", smallest, smallest.HasData())},
            {"work_set_size_index", WorkSetSizeIndex(sim, p)}};
}

} // namespace

Json SimAnalysisDocument(const Report& report, const SimulationData& sim, int p, const SimOptions& options) {
    Json doc = SimAnalysisHead(report, sim, p);
    Json details = Json::array();
    for (const int o : PoolObjects(report, p)) {
        details.push_back(ObjectDetail(report, sim, o));
    }
    Json clusters = Json::array();
    ForEachClusterRun(report, sim, p, options, [&](const ClusterRun& run, PoolUsage usage, double threshold) {
        clusters.push_back(ClusterRunDocument(report, sim, run, usage, options.radius, threshold));
    });
    doc["object_details"] = std::move(details);
    doc["clusters"] = std::move(clusters);
    return doc;
}

void WriteSimAnalysis(JsonStreamWriter& out, const Report& report, const SimulationData& sim, int p,
                      const SimOptions& options) {
    out.BeginObject();
    out.Members(SimAnalysisHead(report, sim, p));
    out.MemberArray("object_details", [&] {
        for (const int o : PoolObjects(report, p)) {
            out.Value(ObjectDetail(report, sim, o));
        }
    });
    out.MemberArray("clusters", [&] {
        ForEachClusterRun(report, sim, p, options, [&](const ClusterRun& run, PoolUsage usage, double threshold) {
            out.BeginObject();
            out.Members(ClusterRunHead(run, usage, options.radius, threshold));
            out.MemberArray("members", [&] {
                for (const int o : run.ClusterMembers) {
                    out.Value(o);
                }
            });
            out.MemberArray("clusters", [&] {
                const std::vector<std::vector<std::size_t>> byCluster = MembersByCluster(run);
                for (int q = 1; q <= run.result; ++q) {
                    const auto& members = byCluster[static_cast<std::size_t>(q - 1)];
                    out.BeginObject();
                    out.Members(ClusterHead(sim, run, q, members));
                    out.MemberArray("objects", [&] {
                        ForEachClusterObject(report, sim, run, members, [&](const Json& object) { out.Value(object); });
                    });
                    out.EndObject();
                }
            });
            out.EndObject();
        });
    });
    out.EndObject();
}

Json SimAnalysisSummary(const Report& report, const SimulationData& sim, int p, const SimOptions& options) {
    Json doc = SimAnalysisHead(report, sim, p);
    Json clusters = Json::array();
    ForEachClusterRun(report, sim, p, options, [&](const ClusterRun& run, PoolUsage usage, double threshold) {
        Json summary = ClusterRunHead(run, usage, options.radius, threshold);
        summary["member_count"] = run.ClusterMembers.size();
        clusters.push_back(std::move(summary));
    });
    doc["clusters"] = std::move(clusters);
    return doc;
}

namespace {
std::optional<Message> ThresholdMessage(const ThresholdLookup& lookup) {
    if (auto warning = MissingThresholdWarning(lookup)) {
        return Message{"Cluster Analysis", std::move(*warning), MessageIcon::Exclamation};
    }
    return std::nullopt;
}
} // namespace

std::array<ThresholdLookup, 2> LookUpThresholds(const SimOptions& options) {
    return {LookUpThreshold(options.thresholdFolders, PoolUsage::Random),
            LookUpThreshold(options.thresholdFolders, PoolUsage::Sequential)};
}

Messages ThresholdMessages(const std::array<ThresholdLookup, 2>& lookups) {
    Messages told;
    for (const ThresholdLookup& lookup : lookups) {
        if (auto message = ThresholdMessage(lookup)) {
            told.push_back(std::move(*message));
        }
    }
    return told;
}

Json ThresholdsDocument(const std::array<ThresholdLookup, 2>& lookups) {
    Json doc = Json::array();
    for (const ThresholdLookup& lookup : lookups) {
        Json searched = Json::array();
        for (const std::filesystem::path& folder : lookup.searched) {
            searched.push_back(folder.string());
        }
        const std::optional<Message> message = ThresholdMessage(lookup);
        doc.push_back({{"usage", std::string(1, UsageLetter(lookup.usage))},
                       {"file", lookup.fileName},
                       {"path", lookup.path ? Json(lookup.path->string()) : Json(nullptr)},
                       {"searched", searched},
                       {"threshold", lookup.threshold},
                       {"message", message ? MessagesDocument({*message}).front() : Json(nullptr)}});
    }
    return doc;
}

std::optional<std::string> ExportFileProblem(const std::string& path) {
    if (path.empty()) {
        return "the cluster file is an empty path";
    }
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (path.back() == '/' || std::filesystem::is_directory(status)) {
        return "the cluster file \"" + path + "\" names a folder, not a file";
    }
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return "the cluster file \"" + path + "\" is not a regular file";
    }
    return std::nullopt;
}

ExportOutcome RunExports(const Report& report, const SimulationData& sim, int p, const ExportOptions& exports,
                         const SimOptions& options) {
    ExportOutcome outcome;
    if (!exports.clusterFile && !exports.indexFolder) {
        return outcome;
    }
    Json& doc = outcome.document.emplace(Json::object());
    if (exports.clusterFile) {
        const double threshold = LookUpThreshold(options.thresholdFolders, exports.usage).threshold;
        const ClusterRun run =
            RunClusterAnalysis(report, sim, p, exports.size, exports.usage, threshold, options.radius);
        const auto shown = ShowClusterObjects(report, sim, run, exports.cluster);
        const std::filesystem::path& path = *exports.clusterFile;
        ExportResult written;
        if (shown && !shown->rows.empty()) {
            written = WriteClusterDataFile(path, shown->rows);
        } else {
            written.messages.push_back(
                {"Create Cluster File",
                 "Cluster " + std::to_string(exports.cluster) + " has no members: no file written",
                 MessageIcon::Information});
        }
        Messages told = run.messages;
        told.insert(told.end(), written.messages.begin(), written.messages.end());
        outcome.ok = outcome.ok && written.Ok();
        doc["clusters"] = {{"path", path.string()},
                           {"written", written.Ok()},
                           {"result", run.result},
                           {"messages", MessagesDocument(told)}};
    }
    if (exports.indexFolder) {
        const ExportResult written = WriteIndexExcludeFile(report, p, *exports.indexFolder);
        outcome.ok = outcome.ok && written.Ok();
        doc["indexes"] = {{"path", std::filesystem::absolute(*exports.indexFolder / IndexExcludeFile).string()},
                          {"written", written.Ok()},
                          {"messages", MessagesDocument(written.messages)}};
    }
    return outcome;
}

} // namespace ornexa::cli
