#include "cli/option_rules.h"

#include <filesystem>
#include <system_error>

#include "history/history_location.h"

namespace ornexa::cli {

namespace {

using Kind = Refusal::Kind;

// A check of the run as a whole: what it needs beyond the options its uses take.
using Requirement = std::optional<Refusal> (*)(const RunRequest& request, const GivenOptions& given);

// One row of the table. An option row refuses each of `options` given to a run that has none of the
// uses `takenBy`, as `subject` (the option itself when empty) and `text`; a requirement row refuses
// what `requirement` finds. An option may have several rows: the first that refuses it tells why.
struct OptionRule {
    std::vector<std::string_view> options;
    Uses takenBy;
    Kind kind = Kind::NotValid;
    std::string_view subject;
    std::string_view text;
    Requirement requirement = nullptr;
};

OptionRule RequirementRow(Requirement requirement) {
    return {{}, {}, Kind::NotValid, {}, {}, requirement};
}

std::optional<Refusal> StatFileRequired(const RunRequest& request, const GivenOptions& given) {
    if (IsHistoryMode(request.mode) || given.Has("STATFILE")) {
        return std::nullopt;
    }
    return Refusal{Kind::Required, "STATFILE", ""};
}

// Among the report's uses --csv names its list; the history's tables take none.
std::optional<Refusal> CsvNamesItsList(const RunRequest& request, const GivenOptions& given) {
    if (IsHistoryMode(request.mode) || request.mode == Mode::Health || !given.Has("--csv") || given.Has("--csv LIST")) {
        return std::nullopt;
    }
    return Refusal{Kind::NeedsValue, "--csv", ""};
}

// --health of a report takes its output's options and the limits of its read.
std::optional<Refusal> HealthOfReportOptions(const RunRequest& request, const GivenOptions& given) {
    if (request.mode != Mode::Health) {
        return std::nullopt;
    }
    for (const char* name : {"--sim", "--objects", "--radius", "--acc-dir", "--export-clusters", "--cluster", "--usage",
                             "--size", "--export-indexes", "--commands", "--regroup", "--pool"}) {
        if (given.Has(name)) {
            return Refusal{Kind::NotValid, name, "does not go with --health"};
        }
    }
    if (given.Has("--csv LIST")) {
        return Refusal{Kind::NotValid, "--csv", "takes no LIST with --health"};
    }
    for (const char* name :
         {"--system", "--subsystem", "--since", "--until", "--history-password-file", "--history-timeout"}) {
        if (given.Has(name)) {
            return Refusal{Kind::Requires, name, "--history"};
        }
    }
    return std::nullopt;
}

// --budget reads the report, a Simulation report and a history, and writes the split as text or --json.
std::optional<Refusal> SizingOptions(const RunRequest& request, const GivenOptions& given) {
    if (request.mode != Mode::Sizing) {
        return std::nullopt;
    }
    for (const char* name : {"--objects", "--radius", "--acc-dir", "--cluster", "--usage", "--size", "--pool",
                             "--system", "--subsystem", "--fail-on", "--ratings", "--since", "--until", "--settle"}) {
        if (given.Has(name)) {
            return Refusal{Kind::NotValid, name, "does not go with --budget"};
        }
    }
    for (const char* name : {"--history-password-file", "--history-timeout"}) {
        if (given.Has(name) && !given.Has("--history")) {
            return Refusal{Kind::Requires, name, "--history"};
        }
    }
    return std::nullopt;
}

// The runs that open the history: its commands, and --budget with --history.
bool OpensHistory(const RunRequest& request) {
    return IsHistoryMode(request.mode) || request.mode == Mode::Sizing;
}

std::optional<Refusal> SinceBeforeUntil(const RunRequest& request, const GivenOptions& /*given*/) {
    const HealthRequest& health = request.health;
    if (health.since.empty() || health.until.empty() || health.since <= health.until) {
        return std::nullopt;
    }
    return Refusal{Kind::NotValid, "--since", "is after --until"};
}

std::optional<Refusal> RegroupNeedsSimulation(const RunRequest& request, const GivenOptions& /*given*/) {
    if (!request.regroupTargets || request.simFile) {
        return std::nullopt;
    }
    return Refusal{Kind::Requires, "--regroup", "--sim (the clusters are of the simulated pool)"};
}

std::optional<Refusal> ClusterListNeedsSimulation(const RunRequest& request, const GivenOptions& /*given*/) {
    if (request.csvList != CsvList::Clusters || request.simFile) {
        return std::nullopt;
    }
    return Refusal{Kind::Requires, "--csv clusters", "--sim (the cluster list is of the simulated pool)"};
}

std::optional<Refusal> HistoryKept(const RunRequest& request, const GivenOptions& given) {
    if (!OpensHistory(request) || !given.Has("--history")) {
        return std::nullopt;
    }
    if (auto unkept = UnkeptHistoryReason(request.history.location)) {
        return Refusal{Kind::NotValid, "--history", std::move(*unkept)};
    }
    return std::nullopt;
}

std::optional<Refusal> ServerOptionsNeedServer(const RunRequest& request, const GivenOptions& given) {
    if (!OpensHistory(request) || !given.Has("--history") || IsPostgresLocation(request.history.location)) {
        return std::nullopt;
    }
    for (const char* name : {"--history-password-file", "--history-timeout"}) {
        if (given.Has(name)) {
            return Refusal{Kind::NotValid, name,
                           "goes with a PostgreSQL history (a postgresql:// URI or a keyword connection string), not "
                           "with a SQLite file"};
        }
    }
    return std::nullopt;
}

std::optional<Refusal> CommandsNeedHistory(const RunRequest& request, const GivenOptions& given) {
    if (!IsHistoryMode(request.mode) || given.Has("--history")) {
        return std::nullopt;
    }
    for (const char* name :
         {"--import", "--watch", "--list", "--trend", "--history-password-file", "--history-timeout"}) {
        if (given.Has(name)) {
            return Refusal{Kind::Requires, name, "--history"};
        }
    }
    return std::nullopt;
}

Refusal HistoryWithoutCommand() {
    return Refusal{Kind::NotValid, "--history", "needs --import, --list, --trend or --compare"};
}

std::optional<Refusal> HistoryNeedsCommand(const RunRequest& request, const GivenOptions& given) {
    if (!IsHistoryMode(request.mode) || !given.Has("--history")) {
        return std::nullopt;
    }
    for (const char* command : {"--import", "--watch", "--list", "--trend", "--compare", "--health"}) {
        if (given.Has(command)) {
            return std::nullopt;
        }
    }
    return HistoryWithoutCommand();
}

// --list=false and --trend=false name a command but choose none.
std::optional<Refusal> HistoryCommandChosen(const RunRequest& request, const GivenOptions& /*given*/) {
    if (request.mode != Mode::HistoryWithoutCommand) {
        return std::nullopt;
    }
    return HistoryWithoutCommand();
}

std::optional<Refusal> TrendNeedsOnePool(const RunRequest& request, const GivenOptions& given) {
    if (request.mode != Mode::HistoryTrend || given.Count("--pool") == 1) {
        return std::nullopt;
    }
    return Refusal{Kind::NotValid, "--trend", "needs one --pool NAME"};
}

// Report ids are compared in a history; two names that are ids but no files ask for one.
std::optional<Refusal> CompareIdsNeedHistory(const RunRequest& request, const GivenOptions& /*given*/) {
    const std::vector<std::string>& pair = request.history.compare;
    if ((request.mode != Mode::CompareFiles && request.mode != Mode::CompareStored) || pair.size() != 2) {
        return std::nullopt;
    }
    const bool ids = ReportIdOf(pair[0]) && ReportIdOf(pair[1]);
    if (request.mode == Mode::CompareStored && !ids) {
        return Refusal{Kind::NotValid, "--compare", "with --history takes two report ids (see --list)"};
    }
    std::error_code ec;
    if (request.mode == Mode::CompareFiles && ids && !std::filesystem::exists(pair[0], ec) &&
        !std::filesystem::exists(pair[1], ec)) {
        return Refusal{Kind::Requires, "--compare with report ids", "--history"};
    }
    return std::nullopt;
}

// The table, in the order its rows are checked: the first that refuses the command line tells why. The
// history's rows come first; their options are all taken by the report's uses, so a report's run passes
// them. The report's own rows follow: a history run never reaches them, its rows having refused
// --usage, --size, --regroup and a list of --csv already.
const std::vector<OptionRule>& OptionRules() {
    using enum Use;
    static const std::vector<OptionRule> rules{
        RequirementRow(StatFileRequired),
        RequirementRow(CsvNamesItsList),
        RequirementRow(HealthOfReportOptions),
        RequirementRow(SizingOptions),
        {{"--fail-on", "--since", "--until"}, {Health, HistoryHealth}, Kind::Requires, {}, "--health"},
        {{"--ratings"}, {Health, HistoryHealth, Watch}, Kind::Requires, {}, "--health or --watch"},
        RequirementRow(SinceBeforeUntil),
        {{"STATFILE"},
         ReportUses,
         Kind::NotValid,
         {},
         "a Statistics report is not read with --history, --import, --list, --trend or --compare (compare files "
         "with --compare OLD NEW)"},
        RequirementRow(HistoryKept),
        RequirementRow(ServerOptionsNeedServer),
        RequirementRow(CommandsNeedHistory),
        RequirementRow(HistoryNeedsCommand),
        RequirementRow(TrendNeedsOnePool),
        {{"--pool"}, ReportUses.With({Trend}), Kind::NotValid, {}, "goes with --trend among the history's commands"},
        // The report's uses take the filters and leave them unused.
        {{"--system", "--subsystem"},
         ReportUses.With({List, Trend, HistoryHealth}),
         Kind::NotValid,
         "--system/--subsystem",
         "go with --list or --trend"},
        {{"--settle"}, {Watch}, Kind::Requires, {}, "--watch"},
        {{"--json", "--csv"},
         ReportUses.With({Import, List, Trend, Compare, HistoryHealth, NoCommand}),
         Kind::NotValid,
         "--watch",
         "writes its lines as text; no --json or --csv"},
        {{"--json", "--csv"},
         ReportUses.With({List, Trend, Compare, HistoryHealth, NoCommand}),
         Kind::NotValid,
         "--import",
         "writes its summary as text; no --json or --csv"},
        {{"--csv"},
         ReportUses.With({List, Trend, HistoryHealth, NoCommand}),
         Kind::NotValid,
         {},
         "does not go with --compare (use --json)"},
        {{"--csv LIST"}, ReportUses, Kind::NotValid, "--csv", "takes no LIST with --list or --trend"},
        {{"--sim", "--objects", "--radius", "--acc-dir", "--export-clusters", "--cluster", "--usage", "--size",
          "--export-indexes", "--commands", "--regroup", "--strict"},
         ReportUses,
         Kind::NotValid,
         {},
         "does not go with the history's commands"},
        RequirementRow(CompareIdsNeedHistory),
        RequirementRow(HistoryCommandChosen),
        // Of the lists only two have a usage; the report and --commands take it for the pools' commands.
        {{"--usage"},
         ReportUses.Without({CsvPools, CsvObjects}),
         Kind::Requires,
         {},
         "--export-clusters, --csv clusters or --csv rules"},
        {{"--size"},
         {ClusterExport, Regroup, CsvClusters},
         Kind::Requires,
         {},
         "--export-clusters, --regroup or --csv clusters"},
        RequirementRow(RegroupNeedsSimulation),
        RequirementRow(ClusterListNeedsSimulation),
    };
    return rules;
}

std::optional<Refusal> Broken(const OptionRule& rule, const RunRequest& request, const GivenOptions& given, Uses uses) {
    if (rule.requirement != nullptr) {
        return rule.requirement(request, given);
    }
    if (uses.Meets(rule.takenBy)) {
        return std::nullopt;
    }
    for (const std::string_view option : rule.options) {
        if (given.Has(option)) {
            return Refusal{rule.kind, std::string(rule.subject.empty() ? option : rule.subject),
                           std::string(rule.text)};
        }
    }
    return std::nullopt;
}

Use CsvUse(CsvList list) {
    switch (list) {
    case CsvList::Pools:
        return Use::CsvPools;
    case CsvList::Objects:
        return Use::CsvObjects;
    case CsvList::Rules:
        return Use::CsvRules;
    case CsvList::Clusters:
        break;
    }
    return Use::CsvClusters;
}

Uses ModeUses(const RunRequest& request) {
    switch (request.mode) {
    case Mode::TextReport:
        return {Use::TextReport};
    case Mode::JsonReport:
        return {Use::JsonReport};
    case Mode::CsvList:
        return request.csvList ? Uses{CsvUse(*request.csvList)} : Uses{};
    case Mode::Commands:
        return {Use::Commands};
    case Mode::Regroup:
        return {Use::RegroupStatements};
    case Mode::HistoryImport:
        return {Use::Import};
    case Mode::HistoryWatch:
        return {Use::Watch};
    case Mode::HistoryList:
        return {Use::List};
    case Mode::HistoryTrend:
        return {Use::Trend};
    case Mode::CompareFiles:
    case Mode::CompareStored:
        return {Use::Compare};
    case Mode::Health:
        return {Use::Health};
    case Mode::Sizing:
        return {Use::Sizing};
    case Mode::HistoryHealth:
        return {Use::HistoryHealth};
    case Mode::HistoryWithoutCommand:
        break;
    }
    return {Use::NoCommand};
}

} // namespace

Uses UsesOf(const RunRequest& request) {
    Uses uses = ModeUses(request);
    if (IsHistoryMode(request.mode)) { // a history command writes no exports
        return uses;
    }
    if (request.exports.clusterFile) {
        uses = uses.With({Use::ClusterExport});
    }
    if (request.exports.indexFolder) {
        uses = uses.With({Use::IndexExport});
    }
    if (request.regroupTargets) {
        uses = uses.With({Use::Regroup});
    }
    return uses;
}

void GivenOptions::Add(std::string name, std::size_t count) {
    counts_[std::move(name)] += count;
}

std::size_t GivenOptions::Count(std::string_view name) const {
    const auto found = counts_.find(name);
    return found == counts_.end() ? 0 : found->second;
}

std::optional<Refusal> RefusedCombination(const RunRequest& request, const GivenOptions& given) {
    const Uses uses = UsesOf(request);
    for (const OptionRule& rule : OptionRules()) {
        if (auto refusal = Broken(rule, request, given, uses)) {
            return refusal;
        }
    }
    return std::nullopt;
}

} // namespace ornexa::cli
