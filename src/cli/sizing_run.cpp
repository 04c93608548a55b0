#include "cli/sizing_run.h"

#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/compare_document.h"
#include "cli/history_commands.h"
#include "cli/history_run.h"
#include "cli/report_document.h"
#include "cli/sizing_document.h"
#include "history/sizing_history.h"
#include "report/pool_choice.h"
#include "report/shown_text.h"

namespace ornexa::cli {

namespace {

using Observations = std::map<std::string, std::vector<SizeObservation>>;

void TellMessages(const Messages& messages) {
    for (const Message& m : messages) {
        std::cerr << "  " << EscapeControls(m.title) << (m.title.empty() ? "" : ": ") << EscapeControls(m.text, "\t\n")
                  << '\n';
    }
}

// The sizes the history saw of the report's pools; nothing without --history, a fault told when it
// cannot be opened or read.
std::optional<Observations> HistoryObservations(const RunRequest& request, const Report& report) {
    const HistoryRequest& history = request.history;
    if (history.location.empty()) {
        return Observations{};
    }
    PrepareHistoryAccess(request);
    const auto store = OpenStore(history.location, std::cerr, history.timeout);
    if (!store) {
        return std::nullopt;
    }
    std::vector<std::string> names;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        names.push_back(ShownPoolName(report, p));
    }
    auto observations = SizingObservations(*store, names, SizingHistoryQueryOf(report));
    if (!observations.Ok()) {
        std::cerr << "ornexa-report: the history " << ShownLocation(history.location)
                  << " cannot be read: " << observations.FaultText() << '\n';
        return std::nullopt;
    }
    return std::move(*observations.value);
}

} // namespace

RunEnd RunSizing(const RunRequest& request) {
    Report report;
    SimulationData sim;
    const ReadOutcome outcome = ReadReport(report, sim, request.statFile, request.simFile, request.limits);
    if (!outcome.Loaded()) {
        const bool stat = !outcome.stat.Loaded();
        std::cerr << "ornexa-report: nothing sized: the " << (stat ? "Statistics" : "Simulation") << " report "
                  << (stat ? outcome.statPath : outcome.simPath.value_or("")).string() << " did not load\n";
        TellMessages(stat ? outcome.statMessages : outcome.simMessages);
        return RunEnd::Failed;
    }
    const std::optional<Observations> history = HistoryObservations(request, report);
    if (!history) {
        return RunEnd::Failed;
    }
    const BudgetRequest& budget = request.sizing;
    CurveOptions options;
    options.loadBand = budget.loadBand;
    options.estimate = budget.estimate;
    SizingRequest sizing;
    sizing.budgetBytes = budget.budgetBytes;
    const SizingRun run = PlanSizing(BuildSizingCurves(report, sim, *history, options), budget.bounds, sizing);
    // A bound naming a pool the report lacks does not stop the split.
    for (const Message& m : run.messages) {
        std::cerr << "ornexa-report: warning: " << EscapeControls(m.text, "\t\n") << '\n';
    }
    const ComparedReport shown = ComparedFile(report, request.statFile);
    const SizingContext context{request.statFile.string(), shown.system, shown.subsystem, shown.collected};
    if (budget.asJson) {
        WriteSizingDocument(std::cout, run, context, sizing, budget);
    } else {
        WriteSizingText(std::cout, run, context);
    }
    if (!std::cout.flush()) {
        std::cerr << "ornexa-report: standard output could not be written\n";
        return RunEnd::Failed;
    }
    if (outcome.Warned()) {
        TellMessages(outcome.statMessages);
    }
    return outcome.Warned() ? RunEnd::DoneWithWarnings : RunEnd::Done;
}

} // namespace ornexa::cli
