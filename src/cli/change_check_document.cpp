#include "cli/change_check_document.h"

#include <cmath>
#include <ostream>
#include <string>

#include "cli/history_document.h"

namespace ornexa::cli {

using Json = nlohmann::ordered_json;

namespace {

Json Optional(const std::optional<double>& value) {
    return value && std::isfinite(*value) ? Json(*value) : Json(nullptr);
}

const char* GoodKey(GoodDirection good) {
    switch (good) {
    case GoodDirection::Higher:
        return "higher";
    case GoodDirection::Lower:
        return "lower";
    case GoodDirection::Neither:
        break;
    }
    return "neither";
}

Json Side(const HistoryReportInfo& info) {
    return {{"report", info.id}, {"collected", info.collectedAt}, {"file", info.fileName}};
}

Json Ids(const std::vector<HistoryReportInfo>& reports) {
    Json ids = Json::array();
    for (const HistoryReportInfo& info : reports) {
        ids.push_back(info.id);
    }
    return ids;
}

Json PredictionDocument(const std::optional<SizePrediction>& prediction) {
    if (!prediction) {
        return nullptr;
    }
    Json document = {{"source", PredictionSourceKey(prediction->source)},
                     {"report", prediction->reportId},
                     {"size", prediction->size},
                     {"hit_ratio", Optional(prediction->hitRatio)},
                     {"read_rate", Optional(prediction->readRate)},
                     {"measured_hit_ratio", Optional(prediction->measuredHitRatio)},
                     {"measured_read_rate", Optional(prediction->measuredReadRate)},
                     {"met", prediction->met ? Json(*prediction->met) : Json(nullptr)},
                     {"hit_ratio_tolerance_points", HitRatioTolerancePoints},
                     {"read_rate_tolerance", ReadRateTolerance}};
    if (prediction->source == PredictionSource::SizeCurve) {
        Json counts = Json::object();
        for (std::size_t kind = 0; kind < SizingEvidenceCount; ++kind) {
            if (prediction->evidence[kind] > 0) {
                counts[std::string(SizingEvidenceKey(static_cast<SizingEvidence>(kind)))] = prediction->evidence[kind];
            }
        }
        document["confidence"] = std::string(SizingConfidenceKey(prediction->confidence));
        document["evidence"] = counts;
        document["evidence_text"] = prediction->evidenceText;
    }
    return document;
}

std::string Shown(const std::optional<double>& value) {
    return FigureCell(value, FigureStyle::TwoDecimals);
}

std::string IdList(const std::vector<HistoryReportInfo>& reports) {
    std::string text;
    for (const HistoryReportInfo& info : reports) {
        text += (text.empty() ? "" : ", ") + std::to_string(info.id);
    }
    return text;
}

std::string MetText(const std::optional<bool>& met) {
    return !met ? "not judged" : *met ? "met" : "not met";
}

} // namespace

Json ChangeChecksDocument(const std::vector<ChangeCheck>& checks) {
    Json list = Json::array();
    for (const ChangeCheck& check : checks) {
        Json steps = Json::array();
        for (const SettingStep& step : check.steps) {
            steps.push_back(
                {{"setting", PoolSettingName(step.setting)}, {"before", step.before}, {"after", step.after}});
        }
        Json figures = Json::object();
        for (std::size_t f = 0; f < CheckedFigureCount; ++f) {
            const FigureChange& change = check.figures[f];
            figures[std::string(CheckedFigures()[f].key)] = {
                {"before", Optional(change.before)},         {"after", Optional(change.after)},
                {"difference", Optional(change.difference)}, {"percent", Optional(change.percent)},
                {"good", GoodKey(CheckedFigures()[f].good)}, {"verdict", ChangeVerdictKey(change.verdict)}};
        }
        list.push_back({{"pool", check.poolName},
                        {"change", SettingStepsText(check.steps)},
                        {"changes", steps},
                        {"last_before", Side(check.lastBefore)},
                        {"first_after", Side(check.firstAfter)},
                        {"intervals", IntervalChoiceKey(check.choice)},
                        {"before_reports", Ids(check.before)},
                        {"after_reports", Ids(check.after)},
                        {"figures", figures},
                        {"better", check.Better()},
                        {"worse", check.Worse()},
                        {"prediction", PredictionDocument(check.prediction)}});
    }
    return list;
}

void WriteChangeChecksText(std::ostream& out, const std::vector<ChangeCheck>& checks) {
    if (checks.empty()) {
        return;
    }
    out << "\nSetting changes:\n";
    for (const ChangeCheck& check : checks) {
        out << "  " << check.poolName << ": " << SettingStepsText(check.steps) << ", between report "
            << check.lastBefore.id << " (" << check.lastBefore.collectedAt << ") and report " << check.firstAfter.id
            << " (" << check.firstAfter.collectedAt << ")\n";
        out << "  compared "
            << (check.choice == IntervalChoice::SameHours ? "at the same hours" : "with the neighbours")
            << ": before reports " << IdList(check.before) << ", after reports " << IdList(check.after) << "; "
            << check.Better() << " better, " << check.Worse() << " worse\n";
        TextTable table;
        table.header = {"Figure", "Before", "After", "Difference", "Verdict"};
        for (std::size_t f = 0; f < CheckedFigureCount; ++f) {
            const FigureChange& change = check.figures[f];
            table.rows.push_back({std::string(CheckedFigures()[f].caption), Shown(change.before), Shown(change.after),
                                  Shown(change.difference), ChangeVerdictKey(change.verdict)});
        }
        const std::string text = AlignedText(table, {false, true, true, true, false});
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find('\n', at);
            out << "    " << text.substr(at, end == std::string::npos ? std::string::npos : end - at + 1);
            at = end == std::string::npos ? text.size() : end + 1;
        }
        if (const auto& p = check.prediction; p && p->source == PredictionSource::SizeCurve) {
            out << "  prediction (size curve of report " << p->reportId << ", " << SizingConfidenceKey(p->confidence)
                << " confidence: " << p->evidenceText << ") at " << p->size << " buffers: sync read I/Os per second "
                << Shown(p->readRate) << " expected, " << Shown(p->measuredReadRate) << " measured: " << MetText(p->met)
                << '\n';
        } else if (p) {
            out << "  prediction (" << PredictionSourceKey(p->source) << " of report " << p->reportId << ") at "
                << p->size << " buffers: hit ratio " << Shown(p->hitRatio) << " predicted, "
                << Shown(p->measuredHitRatio) << " measured; sync read I/Os per second " << Shown(p->readRate)
                << " predicted, " << Shown(p->measuredReadRate) << " measured: " << MetText(p->met) << '\n';
        }
    }
}

} // namespace ornexa::cli
