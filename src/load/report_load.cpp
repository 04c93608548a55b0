#include "load/report_load.h"

namespace ornexa {

namespace {

// How the advice names the files when the caller does not say.
ReadFiles NamesGiven(const LoadRequest& request) {
    ReadFiles names;
    if (std::holds_alternative<StandardInput>(request.statistics)) {
        names.statistics = "standard input";
    } else if (const auto* path = std::get_if<std::filesystem::path>(&request.statistics)) {
        names.statistics = path->string();
    }
    names.simulation = request.simulation ? request.simulation->string() : std::string();
    return names;
}

// Reads the Statistics report of a path or standard input into `report`, which is reset.
void ReadStatistics(Report& report, SimulationData& sim, const LoadRequest& request, const InputKinds& kinds,
                    const ReadFiles& names, LoadOutcome& outcome) {
    ResetReport(report);
    sim.Reset();
    ReadSource source;
    if (std::holds_alternative<StandardInput>(request.statistics)) {
        source.path = "/dev/stdin";
        outcome.statisticsKind = ReportKind::Unreadable; // not looked at: that would take its bytes
    } else {
        source.path = std::get<std::filesystem::path>(request.statistics);
        if (request.keepBytes) {
            FileBytes content = ReadFileBytes(source.path);
            if (content.failure) {
                outcome.bytesFailure = std::move(content.failure);
                outcome.statisticsKind = ReportKind::Unreadable;
                return;
            }
            outcome.bytes = std::move(content.bytes);
            source.bytes = outcome.bytes;
            outcome.statisticsKind = kinds.KindOfBytes(outcome.bytes);
        } else {
            outcome.statisticsKind = kinds.KindOf(source.path);
        }
    }
    const InputKind& reader = kinds.ReportReader(outcome.statisticsKind);
    outcome.statRead = reader.readReport(report, source, request.progress, request.accepted, request.limits);
    outcome.statMessages = MessagesOf(outcome.statRead, names);
}

bool ReadsSimulation(const LoadRequest& request, const Report& report) {
    if (!request.simulation) {
        return false;
    }
    return request.onSimulationFailure == SimulationFailure::FailsTheLoadReadAnyway ||
           std::holds_alternative<StatisticsLoaded>(request.statistics) || report.StatFileLoaded;
}

LoadStatus StatusOf(const LoadRequest& request, const LoadOutcome& outcome, const Report& report) {
    const bool fresh = !std::holds_alternative<StatisticsLoaded>(request.statistics);
    if (outcome.bytesFailure || (fresh && !outcome.statRead.Loaded()) || (!fresh && !report.StatFileLoaded)) {
        return LoadStatus::NotLoaded;
    }
    const bool simFailed = request.simulation && (!outcome.simRead || !outcome.simRead->Loaded());
    if (simFailed && request.onSimulationFailure != SimulationFailure::KeepsTheStatistics) {
        return LoadStatus::NotLoaded;
    }
    const bool warned = (fresh && outcome.statRead.Warned()) || simFailed ||
                        (outcome.simRead && outcome.simRead->Loaded() && outcome.simRead->skippedLines > 0);
    return warned ? LoadStatus::WithWarnings : LoadStatus::Whole;
}

} // namespace

Messages LoadOutcome::Told() const {
    Messages all = statMessages;
    all.insert(all.end(), simMessages.begin(), simMessages.end());
    return all;
}

LoadOutcome LoadInto(Report& report, SimulationData& sim, const LoadRequest& request, const InputKinds& kinds) {
    LoadOutcome outcome;
    const ReadFiles names = request.adviceNames.value_or(NamesGiven(request));
    if (!std::holds_alternative<StatisticsLoaded>(request.statistics)) {
        ReadStatistics(report, sim, request, kinds, names, outcome);
    }
    if (ReadsSimulation(request, report) && !outcome.bytesFailure) {
        const ReadSource source{*request.simulation, std::nullopt};
        outcome.simulationKind = kinds.KindOf(source.path);
        const InputKind& reader = kinds.SimulationReader(*outcome.simulationKind);
        outcome.simRead = reader.readSimulation(report, sim, source, request.progress, request.accepted);
        outcome.simMessages = MessagesOf(*outcome.simRead, names);
    }
    outcome.status = StatusOf(request, outcome, report);
    return outcome;
}

LoadedReport LoadReport(const LoadRequest& request, const InputKinds& kinds) {
    LoadedReport loaded;
    loaded.outcome = LoadInto(loaded.report, loaded.sim, request, kinds);
    return loaded;
}

} // namespace ornexa
