#include "cli/sizing_document.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/aligned_columns.h"
#include "cli/analysis_document.h"
#include "cli/history_document.h"
#include "cli/json_stream_writer.h"
#include "report/shown_text.h"

namespace ornexa::cli {

namespace {

using Json = nlohmann::ordered_json;

Json TextOrNull(const std::string& text) {
    return text.empty() ? Json(nullptr) : Json(text);
}

Json NumberOrNull(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

// The figures of one pool of the plan beside its curve.
struct PoolFigures {
    std::optional<std::string> command;
    int rising = 0;
};

PoolFigures FiguresOf(const SizingCurve& curve, const SizingResult& result) {
    PoolFigures figures;
    if (const std::optional<Advice> command = SizingCommand(curve, result)) {
        figures.command = command->text;
    }
    figures.rising = static_cast<int>(
        std::count_if(curve.points.begin(), curve.points.end(), [](const SizingPoint& point) { return point.rises; }));
    return figures;
}

Json PointDocument(const SizingPoint& point) {
    return {{"buffers", point.buffers},
            {"sync_reads_per_second", NumberOrNull(point.syncReadsPerSecond)},
            {"evidence", SizingEvidenceKey(point.evidence)},
            {"rises", point.rises},
            {"reports", point.reports}};
}

Json EvidenceCountsDocument(const SizingCurve& curve) {
    const auto counts = EvidenceCounts(curve);
    Json members = Json::object();
    for (std::size_t e = 0; e < SizingEvidenceCount; ++e) {
        members[std::string(SizingEvidenceKey(static_cast<SizingEvidence>(e)))] = counts[e];
    }
    return members;
}

Json PoolDocument(const SizingCurve& curve, const SizingResult& result) {
    const PoolFigures figures = FiguresOf(curve, result);
    Json points = Json::array();
    for (const SizingPoint& point : curve.points) {
        points.push_back(PointDocument(point));
    }
    return {{"name", result.poolName},
            {"page_size_kb", curve.pageSizeKb > 0 ? Json(curve.pageSizeKb) : Json(nullptr)},
            {"current_buffers", result.currentBuffers},
            {"proposed_buffers", result.proposedBuffers},
            {"bytes", result.bytes},
            {"sync_reads_per_second_now", NumberOrNull(result.readsNow)},
            {"sync_reads_per_second_proposed", NumberOrNull(result.readsProposed)},
            {"reads_saved_per_second", NumberOrNull(result.readsSaved)},
            {"confidence", SizingConfidenceKey(result.confidence)},
            {"evidence_counts", EvidenceCountsDocument(curve)},
            {"autosize", curve.autosize},
            {"left_alone", TextOrNull(result.leftAlone)},
            {"points", std::move(points)},
            {"command", figures.command ? Json(*figures.command) : Json(nullptr)}};
}

Json RequestDocument(const SizingRequest& request, const BudgetRequest& budget) {
    Json maxBuffers = Json::object();
    for (const auto& [name, buffers] : budget.bounds.maxBuffers) {
        maxBuffers[name] = buffers;
    }
    return {{"step_share", request.stepShare}, {"min_step_buffers", request.minStepBuffers},
            {"load_band", budget.loadBand},    {"estimate", budget.estimate},
            {"protect", budget.bounds.keep},   {"max", std::move(maxBuffers)}};
}

std::string Decimals(const std::optional<double>& value) {
    return FigureCell(value, FigureStyle::TwoDecimals);
}

std::string Rising(int rising) {
    return rising == 0 ? "" : ", " + std::to_string(rising) + " rising";
}

std::vector<std::string> PoolRow(const SizingCurve& curve, const SizingResult& result) {
    const PoolFigures figures = FiguresOf(curve, result);
    return {EscapeControls(result.poolName),
            std::to_string(curve.pageSizeKb) + "K",
            std::to_string(result.currentBuffers),
            std::to_string(result.proposedBuffers),
            StorageText(result.bytes),
            Decimals(result.readsNow),
            Decimals(result.readsProposed),
            Decimals(result.readsSaved),
            std::string(SizingConfidenceKey(result.confidence)),
            EvidenceSummary(curve) + Rising(figures.rising)};
}

} // namespace

void WriteSizingDocument(std::ostream& out, const SizingRun& run, const SizingContext& context,
                         const SizingRequest& request, const BudgetRequest& budget) {
    JsonStreamWriter json(out);
    json.BeginObject();
    json.Member("schema", "ornexa-sizing/1");
    json.Member("file", context.file);
    json.Member("system", TextOrNull(context.system));
    json.Member("subsystem", TextOrNull(context.subsystem));
    json.Member("collected_at", TextOrNull(context.collectedAt));
    json.Member("budget_bytes", run.budgetBytes);
    json.Member("placed_bytes", run.plan.bytesPlaced);
    json.Member("reads_saved_per_second", NumberOrNull(run.plan.readsSaved));
    json.Member("request", RequestDocument(request, budget));
    json.MemberArray("pools", [&] {
        for (std::size_t i = 0; i < run.plan.pools.size() && i < run.curves.size(); ++i) {
            json.Value(PoolDocument(run.curves[i], run.plan.pools[i]));
        }
    });
    json.MemberArray("commands", [&] {
        for (std::size_t i = 0; i < run.plan.pools.size() && i < run.curves.size(); ++i) {
            if (const std::optional<Advice> command = SizingCommand(run.curves[i], run.plan.pools[i])) {
                json.Value(command->text);
            }
        }
    });
    json.Member("messages", MessagesDocument(run.messages));
    json.EndObject();
    out << '\n';
}

void WriteSizingText(std::ostream& out, const SizingRun& run, const SizingContext& context) {
    out << "Pool sizing of " << EscapeControls(context.file) << " (" << EscapeControls(context.system) << " "
        << EscapeControls(context.subsystem) << ", collected " << EscapeControls(context.collectedAt) << "): budget "
        << StorageText(run.budgetBytes) << ", placed " << StorageText(run.plan.bytesPlaced) << ", "
        << Decimals(run.plan.readsSaved) << " synchronous read I/Os per second saved\n";
    // Giving back must free the budget: a shortfall is said, never left to be read from the figures.
    if (run.budgetBytes < 0 && run.plan.bytesPlaced > run.budgetBytes) {
        out << "Only " << StorageText(run.plan.bytesPlaced)
            << " of the budget can be given back: no curve reaches a smaller size.\n";
    }
    out << '\n';
    const std::vector<std::string> header{"Pool",       "Page size",        "Current",     "Proposed",
                                          "Storage",    "Sync reads/s now", "At proposed", "Saved",
                                          "Confidence", "Evidence"};
    AlignedColumns columns({false, true, true, true, true, true, true, true, false, false});
    columns.Measure(header);
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> leftAlone;
    bool rising = false;
    for (std::size_t i = 0; i < run.plan.pools.size() && i < run.curves.size(); ++i) {
        const SizingResult& result = run.plan.pools[i];
        if (!result.leftAlone.empty()) {
            leftAlone.push_back("  " + EscapeControls(result.poolName) + ": " + EscapeControls(result.leftAlone));
            continue;
        }
        rows.push_back(PoolRow(run.curves[i], result));
        columns.Measure(rows.back());
        rising = rising || FiguresOf(run.curves[i], result).rising > 0;
    }
    out << columns.Line(header);
    for (const auto& row : rows) {
        out << columns.Line(row);
    }
    if (rising) {
        out << "Rising: a measured size read more than a smaller one; it is kept as measured and lowered for the "
               "split.\n";
    }
    if (!leftAlone.empty()) {
        out << "\nLeft alone, without evidence:\n";
        for (const std::string& line : leftAlone) {
            out << line << '\n';
        }
    }
    out << '\n' << SizingCommandsText(run);
}

} // namespace ornexa::cli
