#include "cli/advice_document.h"

#include "advice/regroup.h"
#include "cluster/clustering.h"
#include "report/latin1.h"
#include "rules/threshold_files.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

Json Optional(const std::optional<double>& value) {
    return value ? Json(*value) : Json(nullptr);
}

} // namespace

Json MetricsDocument(const PoolMetrics& metrics) {
    Json doc = Json::object();
    for (const MetricRow& row : MetricRows(metrics)) {
        doc[row.key] = Optional(row.value);
    }
    doc["verdict"] = metrics.verdict ? Json(VerdictKey(*metrics.verdict)) : Json(nullptr);
    doc["notes"] = metrics.notes;
    return doc;
}

Json AdviceDocument(const std::vector<Advice>& advice) {
    Json list = Json::array();
    for (const Advice& a : advice) {
        list.push_back({{"source", a.source}, {"kind", AdviceKindKey(a.kind)}, {"text", a.text}});
    }
    return list;
}

Json SizeProposalDocument(const std::optional<SizeProposal>& proposal) {
    if (!proposal) {
        return nullptr;
    }
    return {{"current_size", proposal->currentSize},
            {"proposed_size", proposal->proposedSize},
            {"proposed_index", proposal->proposedIndex},
            {"current_hit_ratio", Optional(proposal->currentHitRatio)},
            {"current_read_io_rate", Optional(proposal->currentIORate)},
            {"proposed_hit_ratio", proposal->proposedHitRatio},
            {"proposed_read_io_rate", proposal->proposedIORate},
            {"storage_kb", proposal->storageKB ? Json(*proposal->storageKB) : Json(nullptr)}};
}

std::string CommandsText(const Report& report, const SimulationData& sim, const std::vector<int>& pools,
                         PoolUsage usage) {
    std::vector<PoolAdviceEntry> entries;
    for (const int p : pools) {
        if (report.HasPool(p)) {
            entries.push_back({Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()), PoolCommands(report, sim, p, usage)});
        }
    }
    return CommandsFileText(entries);
}

RegroupOutcome RunRegroup(const Report& report, const SimulationData& sim, int p, PoolUsage usage, int size,
                          const std::vector<std::string>& targets, const SimOptions& options) {
    RegroupOutcome outcome;
    const double threshold = LookUpThreshold(options.thresholdFolders, usage).threshold;
    const ClusterRun run = RunClusterAnalysis(report, sim, p, size, usage, threshold, options.radius);
    outcome.messages = run.messages;
    const std::vector<ClusterStatements> clusters = RegroupStatements(report, p, run, targets);
    outcome.text = RegroupText(report, p, run, targets);
    outcome.advice = RegroupAdvice(clusters);
    Json list = Json::array();
    for (const ClusterStatements& c : clusters) {
        if (c.problem) {
            outcome.refusals.push_back("cluster " + std::to_string(c.cluster) + " is not moved: " + *c.problem);
        }
        list.push_back({{"cluster", c.cluster},
                        {"target", c.target},
                        {"problem", c.problem ? Json(*c.problem) : Json(nullptr)},
                        {"statements", c.statements},
                        {"comments", c.comments}});
    }
    if (clusters.empty()) {
        outcome.refusals.emplace_back("the cluster run has no cluster, so nothing is moved");
    }
    outcome.ok = outcome.refusals.empty();
    outcome.document = Json{{"pool", p},
                            {"name", Latin1ToUtf8(report.Pools(p).PoolName.Trimmed())},
                            {"usage", std::string(1, UsageLetter(usage))},
                            {"size", size},
                            {"radius", options.radius},
                            {"targets", targets},
                            {"result", run.result},
                            {"clusters", list}};
    return outcome;
}

} // namespace ornexa::cli
