#include "cli/report_run.h"

#include <iostream>

#include "advice/regroup.h"
#include "cli/advice_document.h"
#include "cli/report_document.h"
#include "cluster/clustering.h"
#include "report/latin1.h"
#include "report/shown_text.h"
#include "rules/threshold_files.h"

namespace ornexa::cli {

namespace {

void TellMessages(const Messages& messages) {
    for (const Message& m : messages) {
        // A message may quote a name of the report: its control characters are shown escaped.
        std::cerr << "  " << EscapeControls(m.title) << (m.title.empty() ? "" : ": ") << EscapeControls(m.text, "\t\n")
                  << '\n';
        if (!m.hint.empty()) {
            std::cerr << "    " << EscapeControls(m.hint, "\t\n") << '\n';
        }
    }
}

void TellNotExported(const std::string& why, const Messages& messages) {
    std::cerr << "ornexa-report: nothing exported: " << why << '\n';
    TellMessages(messages);
}

// What a run writes beside its output, and whether that went well.
struct Beside {
    std::optional<nlohmann::ordered_json> exportDocument;
    std::optional<RegroupOutcome> regrouped;
    bool ok = true;
};

// The pool the exports are for: the simulated pool, else the first pool named with --pool.
int ExportPool(const Report& report, const SimulationData& sim, const std::vector<std::string>& names) {
    if (sim.SimFileLoaded) {
        return sim.simulatedPool;
    }
    for (int p = 1; p <= report.PoolCount(); ++p) {
        for (const std::string& name : names) {
            if (NamesPool(report, p, name)) {
                return p;
            }
        }
    }
    return 0;
}

// Which pool the exports are for, or why there is none: a report that did not load is told with
// its messages (the run fails), exports without any pool to take are wrong arguments.
struct ExportTarget {
    int pool = 0;
    RunEnd end = RunEnd::Done;
};
ExportTarget FindExportTarget(const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                              const std::vector<std::string>& names) {
    if (!outcome.stat.Loaded()) {
        TellNotExported("the Statistics report " + outcome.statPath.string() + " did not load", outcome.statMessages);
        return {0, RunEnd::Failed};
    }
    const int pool = ExportPool(report, sim, names);
    if (pool != 0) {
        return {pool, RunEnd::Done};
    }
    if (outcome.simPath && !outcome.sim.Loaded()) {
        TellNotExported("the Simulation report " + outcome.simPath->string() + " did not load", outcome.simMessages);
        return {0, RunEnd::Failed};
    }
    if (!names.empty()) {
        TellNotExported("the report holds no pool of the names given with --pool", {});
        return {0, RunEnd::Failed};
    }
    std::cerr << "ornexa-report: the exports need a Simulation report (--sim) or a --pool name\n";
    return {0, RunEnd::WrongArguments};
}

// --export-clusters and --export-indexes; an end when the run stops here.
std::optional<RunEnd> WriteExports(const RunRequest& request, const Report& report, const SimulationData& sim,
                                   const ReadOutcome& outcome, Beside& beside) {
    if (!request.exports.clusterFile && !request.exports.indexFolder) {
        return std::nullopt;
    }
    const ExportTarget target = FindExportTarget(report, sim, outcome, request.analysis.pools);
    if (target.end == RunEnd::WrongArguments) {
        return RunEnd::WrongArguments;
    }
    if (target.pool == 0) {
        beside.ok = false;
        return std::nullopt;
    }
    const auto result = RunExports(report, sim, target.pool, request.exports, request.analysis.simulation);
    beside.ok = result.ok;
    beside.exportDocument = result.document;
    return std::nullopt;
}

// --regroup: the targets given, an empty one replaced by its default, for the simulated pool's run.
RegroupOutcome RegroupRun(const Report& report, const SimulationData& sim, const ExportOptions& exports,
                          const SimOptions& options, std::vector<std::string> targets) {
    const int p = sim.ShownPool();
    const double threshold = LookUpThreshold(options.thresholdFolders, exports.usage).threshold;
    const ClusterRun run = RunClusterAnalysis(report, sim, p, exports.size, exports.usage, threshold, options.radius);
    const std::vector<std::string> defaults = DefaultTargets(report, p, run);
    targets.resize(std::max(targets.size(), defaults.size()));
    for (std::size_t q = 0; q < defaults.size(); ++q) {
        if (targets[q].empty()) {
            targets[q] = defaults[q];
        }
    }
    targets.resize(defaults.size());
    return RunRegroup(report, sim, p, exports.usage, exports.size, targets, options);
}

std::optional<RunEnd> Regroup(const RunRequest& request, const Report& report, const SimulationData& sim,
                              const ReadOutcome& outcome, Beside& beside) {
    if (!request.regroupTargets) {
        return std::nullopt;
    }
    if (!outcome.Loaded()) {
        TellNotExported("the reports did not load", outcome.stat.Loaded() ? outcome.simMessages : outcome.statMessages);
        return RunEnd::Failed;
    }
    beside.regrouped = RegroupRun(report, sim, request.exports, request.analysis.simulation, *request.regroupTargets);
    TellMessages(beside.regrouped->messages);
    // Told whatever the output: with --commands or --json the .sql comments that say it are not written.
    for (const std::string& refusal : beside.regrouped->refusals) {
        std::cerr << "ornexa-report: --regroup: " << EscapeControls(refusal) << '\n';
    }
    beside.ok = beside.regrouped->ok;
    return std::nullopt;
}

// `--csv`: the list as the window shows it, on standard output. Nothing is written when the report
// it comes from did not load; the run then fails with the read's messages.
bool WriteCsvList(const RunRequest& request, const Report& report, const SimulationData& sim,
                  const ReadOutcome& outcome) {
    if (!outcome.stat.Loaded()) {
        std::cerr << "ornexa-report: no list written: the Statistics report " << outcome.statPath.string()
                  << " did not load\n";
        TellMessages(outcome.statMessages);
        return false;
    }
    TextTable table;
    switch (*request.csvList) {
    case CsvList::Pools:
        table = PoolListTable(report);
        break;
    case CsvList::Objects:
        table = ObjectListTable(report, ChosenPools(report, request.analysis.pools));
        break;
    case CsvList::Rules:
        table = RuleListTable(report, ChosenPools(report, request.analysis.pools), request.exports.usage);
        break;
    case CsvList::Clusters: {
        if (!outcome.sim.Loaded()) {
            std::cerr << "ornexa-report: no list written: the Simulation report "
                      << outcome.simPath.value_or("").string() << " did not load\n";
            TellMessages(outcome.simMessages);
            return false;
        }
        auto clusters =
            ClusterListTable(report, sim, request.exports.usage, request.exports.size, request.analysis.simulation);
        TellMessages(clusters.messages);
        table = std::move(*clusters.value);
        break;
    }
    }
    std::cout << CsvText(table, request.csvCells);
    return true;
}

// --commands: every chosen pool's commands, the statements of --regroup beside its pool's.
std::string CommandsFile(const Report& report, const SimulationData& sim, const std::vector<int>& pools,
                         PoolUsage usage, const std::optional<RegroupOutcome>& regrouped) {
    std::vector<PoolAdviceEntry> entries;
    for (const int p : pools) {
        PoolAdvice advice = PoolCommands(report, sim, p, usage);
        if (regrouped && p == sim.ShownPool()) {
            advice.commands.insert(advice.commands.end(), regrouped->advice.begin(), regrouped->advice.end());
        }
        entries.push_back({Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()), std::move(advice)});
    }
    return CommandsFileText(entries) + GroupPoolCommandsText(GroupPoolsAdvice(report));
}

// What the mode writes on standard output; an end when the run stops here.
std::optional<RunEnd> WriteOutput(const RunRequest& request, const Report& report, const SimulationData& sim,
                                  const ReadOutcome& outcome, Beside& beside) {
    switch (request.mode) {
    case Mode::CsvList:
        beside.ok = WriteCsvList(request, report, sim, outcome);
        break;
    case Mode::Commands:
        if (!outcome.stat.Loaded()) {
            TellNotExported("the Statistics report " + outcome.statPath.string() + " did not load",
                            outcome.statMessages);
            return RunEnd::Failed;
        }
        std::cout << CommandsFile(report, sim, ChosenPools(report, request.analysis.pools), request.exports.usage,
                                  beside.regrouped);
        break;
    case Mode::Regroup:
        std::cout << beside.regrouped->text;
        break;
    case Mode::JsonReport:
        WriteReportDocument(std::cout, report, sim, outcome, request.analysis,
                            {beside.exportDocument ? &*beside.exportDocument : nullptr,
                             beside.regrouped ? &*beside.regrouped : nullptr});
        break;
    default: // the text report
        WriteTextReport(std::cout, report, sim, outcome, request.analysis);
        if (beside.exportDocument) {
            std::cout << "\nExports:\n"
                      << beside.exportDocument->dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                      << '\n';
        }
        break;
    }
    return std::nullopt;
}

// What the analyst should know once the output is written; whether every pool asked for is in the report.
bool TellAfterwards(const RunRequest& request, const Report& report, const SimulationData& sim,
                    const ReadOutcome& outcome) {
    // A pool asked for that the report does not hold is told, never left as an empty analysis.
    const std::vector<std::string> unknown =
        outcome.Loaded() ? UnknownPools(report, request.analysis.pools) : std::vector<std::string>{};
    for (const std::string& name : unknown) {
        std::cerr << "ornexa-report: no pool named " << name << '\n';
    }
    if (sim.SimFileLoaded) {
        for (const Message& m : ThresholdMessages(LookUpThresholds(request.analysis.simulation))) {
            std::cerr << "ornexa-report: " << m.text << '\n';
        }
    }
    if (outcome.sim.Loaded() && outcome.sim.skippedLines > 0) {
        std::cerr << SkippedLinesSummary(outcome.sim.skippedLines) << '\n';
    }
    return unknown.empty();
}

// A --size beyond the simulated sizes of the Simulation report read is a wrong argument.
bool SizeBeyondSimulation(const RunRequest& request, const SimulationData& sim) {
    const bool sized = request.exports.clusterFile || request.regroupTargets || request.csvList == CsvList::Clusters;
    if (!sized || !sim.SimFileLoaded || request.exports.size <= sim.Sim.SimSizeCount) {
        return false;
    }
    std::cerr << "ornexa-report: --size is 1 to " << sim.Sim.SimSizeCount
              << ", the simulated sizes of the Simulation report, not " << request.exports.size << '\n';
    return true;
}

} // namespace

RunEnd RunReport(const RunRequest& request) {
    Report report;
    SimulationData sim;
    const ReadOutcome outcome = ReadReport(report, sim, request.statFile, request.simFile, request.limits);
    if (SizeBeyondSimulation(request, sim)) {
        return RunEnd::WrongArguments;
    }
    Beside beside;
    for (const auto step : {WriteExports, Regroup, WriteOutput}) {
        if (const auto end = step(request, report, sim, outcome, beside)) {
            return *end;
        }
    }
    // A full disk or a closed pipe loses what was written: never told as a success.
    if (!std::cout.flush()) {
        std::cerr << "ornexa-report: standard output could not be written\n";
        return RunEnd::Failed;
    }
    const bool poolsKnown = TellAfterwards(request, report, sim, outcome);
    if (!outcome.Loaded() || !beside.ok || !poolsKnown) {
        return RunEnd::Failed;
    }
    return outcome.Warned() ? RunEnd::DoneWithWarnings : RunEnd::Done;
}

} // namespace ornexa::cli
