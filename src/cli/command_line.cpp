#include "cli/command_line.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <ostream>
#include <set>
#include <system_error>

#include <CLI/CLI.hpp>

#include "cli/health_document.h"
#include "cli/option_rules.h"
#include "cli/watch_run.h"
#include "cluster/clustering.h"
#include "report/numbers.h"

namespace ornexa::cli {

namespace {

// The options as the command line library fills them, before they make a request.
struct OptionValues {
    std::string statFile;
    std::string simFile;
    std::string accDir;
    std::string clusterFile;
    std::string usage = "R";
    std::string indexDir;
    bool asJson = false;
    bool commands = false;
    std::string regroupList;
    std::string csvName;
    bool csvRaw = false;
    bool strict = false;
    AnalysisOptions analysis;
    ExportOptions exports;
    ReportLimits limits;
    // The history's options.
    std::string location;
    std::vector<std::string> imports;
    std::string watchFolder;
    std::string settle;
    bool list = false;
    bool trend = false;
    std::vector<std::string> compare;
    HistoryFilter filter;
    std::string passwordFile;
    int timeoutSeconds = static_cast<int>(DefaultHistoryTimeout.count());
    // --health's.
    bool health = false;
    std::string failOn;
    std::string ratingsFile;
    std::string since;
    std::string until;
    // --budget's.
    std::string budget;
    std::vector<std::string> protect;
    std::vector<std::string> maxBuffers;
    double loadBandPercent = DefaultLoadBand * 100;
    bool noEstimate = false;
};

// The longest --history-timeout: the server counts its statement timeout in milliseconds in 31 bits.
constexpr int MostHistoryTimeoutSeconds = 2'000'000;

CLI::Validator RadiusCheck() {
    return {[](const std::string& text) {
                const Converted<double> value = TextToDouble(text);
                return value && std::isfinite(value.Value()) && value.Value() >= MinClusterRadius
                           ? std::string{}
                           : "the radius is a finite number from 0.4 up, not \"" + text + "\"";
            },
            "FLOAT>=0.4"};
}

CLI::Validator IndexFolderCheck() {
    return {[](const std::string& path) {
                std::error_code ec;
                if (path.empty()) {
                    return std::string("the index folder is an empty path");
                }
                return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec)
                           ? "the index folder \"" + path + "\" is not a folder"
                           : std::string{};
            },
            ""};
}

// With --list or --trend, --csv alone writes that table.
CLI::Validator CsvListCheck() {
    return {[](std::string& name) {
                return name.empty()
                           ? std::string{}
                           : CLI::IsMember(std::vector<std::string>(CsvListNames.begin(), CsvListNames.end()))(name);
            },
            ""};
}

// The report to read and how to analyse it.
void AddInputOptions(CLI::App& app, OptionValues& values) {
    app.add_option("STATFILE", values.statFile, "Statistics report (.sta or .txt); - reads standard input");
    app.add_option("--sim", values.simFile, "Simulation report of one of its pools (.sim or .txt)");
    app.add_option("--pool", values.analysis.pools, "analyse only the pools of this name (repeatable)");
    app.add_flag("--objects", values.analysis.objects,
                 "add the per-object section: in the text report each pool's object list with the figures of "
                 "the object details, in the JSON each object with its figures and graphs");
    app.add_option("--radius", values.analysis.simulation.radius, "cluster radius, a finite number from 0.4 up")
        ->capture_default_str()
        ->check(RadiusCheck());
    app.add_option("--acc-dir", values.accDir,
                   "folder of Rand.acc and Seq.acc (default: the program's folder, then ../share/ornexa beside it)");
}

void AddExportOptions(CLI::App& app, OptionValues& values) {
    app.add_option("--export-clusters", values.clusterFile,
                   "write the cluster data file of one cluster to FILE, exactly the path given (an existing "
                   "file is replaced whole)")
        ->type_name("FILE")
        ->check(CLI::Validator([](const std::string& path) { return ExportFileProblem(path).value_or(std::string{}); },
                               ""));
    app.add_option("--cluster", values.exports.cluster, "cluster number for --export-clusters, 1 or more")
        ->check(CLI::PositiveNumber);
    app.add_option("--usage", values.usage,
                   "pool usage for the pools' commands, --export-clusters, --regroup, --csv clusters and --csv rules: "
                   "R or S")
        ->check(CLI::IsMember({"R", "S"}));
    app.add_option("--size", values.exports.size,
                   "simulated size for --export-clusters and --csv clusters, 1 to the report's number of sizes")
        ->check(CLI::Range(1, 8));
    app.add_option("--export-indexes", values.indexDir, "write AINDEX.QVL of the pool's indexes into the folder DIR")
        ->type_name("DIR")
        ->check(IndexFolderCheck());
}

// What the run writes instead of the text report.
void AddOutputOptions(CLI::App& app, OptionValues& values) {
    app.add_flag("--json", values.asJson, "write the JSON document instead of the text report");
    app.add_flag("--commands", values.commands,
                 "write the Db2 commands and SQL statements of each --pool (every pool when none is named) under "
                 "--usage as a file for the host, instead of the report");
    app.add_option("--regroup", values.regroupList,
                   "write the SQL that moves each cluster of the simulated pool (at --usage, --size and --radius) to "
                   "the pool given for it, in cluster order (an empty name takes the default: an unused pool of the "
                   "same page size), instead of the report")
        ->type_name("BPx,BPy,...");
    app.add_option("--csv", values.csvName,
                   "write a list of the window as CSV instead of the report: pools (the pool list), objects or rules "
                   "(of each --pool, all pools when none is named; rules under --usage), clusters (the cluster list "
                   "of the simulated pool at --usage, --size and --radius); with --list or --trend, no LIST: that "
                   "table")
        ->type_name("LIST")
        ->expected(0, 1)
        ->check(CsvListCheck());
    app.add_flag("--csv-raw", values.csvRaw,
                 "write CSV cells as they are: by default a text cell beginning with =, +, -, @, a tab or CR (which "
                 "a spreadsheet would run as a formula) gets a leading ', figures never do");
}

void AddLimitOptions(CLI::App& app, OptionValues& values) {
    app.add_option("--max-pools", values.limits.pools,
                   "read at most N pool lines (default 60, as the monitor writes; 80 for a large site)")
        ->type_name("N")
        ->check(CLI::Range(1, ReportLimits::MostPools));
    app.add_option("--max-objects", values.limits.objects,
                   "read at most M object lines (default 5000, as the monitor writes; up to 100,000,000)")
        ->type_name("M")
        ->check(CLI::Range(1, ReportLimits::MostObjects));
    app.add_flag("--strict", values.strict,
                 "exit 3 when the reports loaded with warnings (a report cut short, skipped object lines)");
}

void AddHistoryOptions(CLI::App& app, OptionValues& values) {
    app.add_option("--history", values.location,
                   "the report history: a SQLite file (made when missing; another program's database is refused), a "
                   "postgresql:// URI or a keyword connection string (\"host=db1 dbname=history\"); a password "
                   "written in it can be seen by every user in the process list: use PGPASSWORD, ~/.pgpass or "
                   "--history-password-file")
        ->type_name("DB");
    app.add_option("--history-password-file", values.passwordFile,
                   "with a PostgreSQL --history: the server's password is the content of FILE (its final newline "
                   "left out); FILE must be readable by its owner only (mode 600)")
        ->type_name("FILE");
    app.add_option("--history-timeout", values.timeoutSeconds,
                   "with a PostgreSQL --history: the seconds a statement may take on the server (default 60); a "
                   "longer one is ended, and a server that stops answering is given up after them")
        ->type_name("S")
        ->check(CLI::Range(1, MostHistoryTimeoutSeconds));
    app.add_option("--import", values.imports,
                   "with --history: import these Statistics and Simulation report files and folders (walked down "
                   "their subfolders)")
        ->type_name("PATH")
        ->expected(1, -1);
    app.add_option("--watch", values.watchFolder,
                   "with --history: import every report that appears in DIR, and those there already, until "
                   "stopped by SIGINT or SIGTERM; a line per import and per pool rated warning or exception")
        ->type_name("DIR")
        ->check(CLI::ExistingDirectory);
    app.add_option("--settle", values.settle,
                   "with --watch: how long a file must keep its size before it is imported (default 2s; 500ms, "
                   "1.5s); a file with NAME.done beside it is imported at once")
        ->type_name("TIME")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return SettleOf(text) ? std::string{}
                                      : "the settle time is 0 to 3600 seconds, as 2s or 500ms, not \"" + text + "\"";
            },
            ""));
    app.add_flag("--list", values.list, "with --history: list the reports held");
    app.add_flag("--trend", values.trend,
                 "with --history: the figures of the --pool named in every report held, by collection time");
    app.add_option("--compare", values.compare,
                   "compare two Statistics report files, the older first, or two report ids of --history")
        ->type_name("OLD NEW")
        ->expected(2);
    app.add_option("--system", values.filter.system, "with --list or --trend: only the reports of this system");
    app.add_option("--subsystem", values.filter.subsystem,
                   "with --list or --trend: only the reports of this subsystem");
}

void AddHealthOptions(CLI::App& app, OptionValues& values) {
    app.add_flag("--health", values.health,
                 "rate every pool of the report (with --history: of every report held) against the thresholds and "
                 "write the ratings: text, --json or --csv");
    app.add_option("--fail-on", values.failOn,
                   "with --health: exit 4 when any rating reaches LEVEL (warning takes exceptions too)")
        ->type_name("LEVEL")
        ->check(CLI::IsMember({"warning", "exception"}));
    app.add_option(
           "--ratings", values.ratingsFile,
           "with --health: the site file of thresholds, in place of the ratings.toml of the user or beside the program")
        ->type_name("FILE");
    const auto momentCheck = [](const std::string& text) {
        return HealthBound(text, BoundEnd::First)
                   ? std::string{}
                   : R"(a date "2026-11-30" or a time "2026-11-30T10:15", not ")" + text + '"';
    };
    app.add_option("--since", values.since,
                   "with --history --health: only the reports collected from T on (a date or a time, ISO 8601)")
        ->type_name("T")
        ->check(CLI::Validator(momentCheck, ""));
    app.add_option("--until", values.until,
                   "with --history --health: only the reports collected up to T (a date takes its whole day)")
        ->type_name("T")
        ->check(CLI::Validator(momentCheck, ""));
}

// A text the parser of an option refuses: its message ("\"+2X\" has the unit \"X\"; give ...").
template <class Parse> CLI::Validator ParsedBy(Parse parse) {
    return {[parse](const std::string& text) {
                const auto parsed = parse(text);
                return parsed.Ok() ? std::string{} : parsed.FaultText();
            },
            ""};
}

CLI::Validator LoadBandCheck() {
    return {[](const std::string& text) {
                const Converted<double> value = TextToDouble(text);
                return value && std::isfinite(value.Value()) && value.Value() >= 0 && value.Value() <= 100
                           ? std::string{}
                           : "the load band is a percentage from 0 to 100, such as 25, not \"" + text + "\"";
            },
            ""};
}

void AddSizingOptions(CLI::App& app, OptionValues& values) {
    app.add_option("--budget", values.budget,
                   "split this storage among the report's pools and write each pool's proposed size, what it saves "
                   "and how sure that is, with the commands: megabytes or gigabytes with a sign, +2G adds, -1G gives "
                   "back (a plain number is megabytes); with --history its reports at other sizes count too")
        ->type_name("SIZE")
        ->check(ParsedBy(ParseBudget));
    app.add_option("--protect", values.protect,
                   "with --budget: these pools are never made smaller (BP0,BP8K0; repeatable)")
        ->type_name("POOLS")
        ->check(ParsedBy(ParsePoolNames));
    app.add_option("--max", values.maxBuffers,
                   "with --budget: the largest size of a pool in buffers (BP1=200000; a comma list, repeatable)")
        ->type_name("POOL=N")
        ->check(ParsedBy(ParseMaxBuffers));
    app.add_option("--load-band", values.loadBandPercent,
                   "with --budget --history: a report of the history counts only when its getpages per second lie "
                   "within PERCENT of the report's (default 25)")
        ->type_name("PERCENT")
        ->check(LoadBandCheck());
    app.add_flag("--no-estimate", values.noEstimate,
                 "with --budget: no square-root estimate for pools nothing else describes; they are left alone");
}

// The pairs of the rules that hold whatever else is given, for the library to refuse and --help to list.
void AddExclusions(CLI::App& app) {
    for (const Exclusion& pair : Exclusions) {
        app.get_option(std::string(pair.option))->excludes(app.get_option(std::string(pair.other)));
    }
    for (const Need& need : Needs) {
        app.get_option(std::string(need.option))->needs(app.get_option(std::string(need.needed)));
    }
}

// The library names the pair of options it met first in a set ordered by address, which varies from run
// to run; the refusal names the first pair in the order of the options instead, the same every time.
CLI::ExcludesError FirstExclusionBroken(const CLI::App& app) {
    const std::vector<const CLI::Option*> options = app.get_options();
    for (const CLI::Option* option : options) {
        if (option->count() == 0) {
            continue;
        }
        const std::set<CLI::Option*>& excluded = option->get_excludes();
        for (const CLI::Option* other : options) {
            const bool excludes =
                std::any_of(excluded.begin(), excluded.end(), [other](const CLI::Option* e) { return e == other; });
            if (other->count() != 0 && excludes) {
                return {option->get_name(), other->get_name()};
            }
        }
    }
    return {"", ""};
}

GivenOptions GivenOf(const CLI::App& app, const OptionValues& values) {
    GivenOptions given;
    for (const CLI::Option* option : app.get_options()) {
        given.Add(option->get_name(), option->count());
    }
    given.Add("--csv LIST", values.csvName.empty() ? 0 : 1);
    return given;
}

Mode ReportMode(const OptionValues& values, const GivenOptions& given) {
    if (values.health) {
        return Mode::Health;
    }
    if (given.Has("--csv")) {
        return Mode::CsvList;
    }
    if (values.commands) {
        return Mode::Commands;
    }
    if (given.Has("--regroup") && !values.asJson) {
        return Mode::Regroup;
    }
    return values.asJson ? Mode::JsonReport : Mode::TextReport;
}

// A history command is chosen by its option; --list or --trend set false choose none.
Mode HistoryMode(const OptionValues& values, const GivenOptions& given) {
    if (given.Has("--compare")) {
        return given.Has("--history") ? Mode::CompareStored : Mode::CompareFiles;
    }
    if (given.Has("--import")) {
        return Mode::HistoryImport;
    }
    if (given.Has("--watch")) {
        return Mode::HistoryWatch;
    }
    if (values.list) {
        return Mode::HistoryList;
    }
    if (values.health) {
        return Mode::HistoryHealth;
    }
    return values.trend ? Mode::HistoryTrend : Mode::HistoryWithoutCommand;
}

bool HistoryCommandGiven(const GivenOptions& given) {
    return given.Has("--import") || given.Has("--watch") || given.Has("--list") || given.Has("--trend") ||
           given.Has("--compare") || given.Has("--history");
}

HistoryRequest HistoryRequestOf(const OptionValues& values, const GivenOptions& given) {
    HistoryRequest history;
    history.location = values.location;
    history.imports.assign(values.imports.begin(), values.imports.end());
    history.compare = values.compare;
    history.watchFolder = values.watchFolder;
    history.settle = SettleOf(values.settle).value_or(DefaultSettle);
    history.filter = values.filter;
    history.format = values.asJson        ? HistoryFormat::Json
                     : given.Has("--csv") ? HistoryFormat::Csv
                                          : HistoryFormat::Text;
    history.timeout = std::chrono::seconds(values.timeoutSeconds);
    return history;
}

HealthRequest HealthRequestOf(const OptionValues& values, const GivenOptions& given) {
    HealthRequest health;
    if (!values.failOn.empty()) {
        health.failOn = values.failOn == "warning" ? RatingVerdict::Warning : RatingVerdict::Exception;
    }
    if (given.Has("--ratings")) {
        health.ratingsFile = values.ratingsFile;
    }
    health.since = HealthBound(values.since, BoundEnd::First).value_or("");
    health.until = HealthBound(values.until, BoundEnd::Last).value_or("");
    return health;
}

// --budget's values, each checked as it was parsed.
BudgetRequest BudgetRequestOf(const OptionValues& values) {
    BudgetRequest sizing;
    sizing.budgetBytes = ParseBudget(values.budget).value.value_or(0);
    for (const std::string& list : values.protect) {
        for (std::string& name : ParsePoolNames(list).value.value_or(std::vector<std::string>{})) {
            if (std::find(sizing.bounds.keep.begin(), sizing.bounds.keep.end(), name) == sizing.bounds.keep.end()) {
                sizing.bounds.keep.push_back(std::move(name));
            }
        }
    }
    for (const std::string& list : values.maxBuffers) {
        for (const auto& [name, buffers] :
             ParseMaxBuffers(list).value.value_or(std::map<std::string, std::int64_t>{})) {
            sizing.bounds.maxBuffers[name] = buffers;
        }
    }
    sizing.loadBand = values.loadBandPercent / 100;
    sizing.estimate = !values.noEstimate;
    sizing.asJson = values.asJson;
    return sizing;
}

RunRequest RequestOf(const OptionValues& values, const GivenOptions& given) {
    RunRequest request;
    // --history with --budget is read for the sizing, no command of its own.
    const bool sizing = given.Has("--budget");
    const bool history = !sizing && HistoryCommandGiven(given);
    request.mode = sizing ? Mode::Sizing : history ? HistoryMode(values, given) : ReportMode(values, given);
    request.statFile = values.statFile;
    if (!values.simFile.empty()) {
        request.simFile = values.simFile;
    }
    if (!values.accDir.empty()) {
        request.accFolder = values.accDir;
    }
    request.analysis = values.analysis;
    request.exports = values.exports;
    request.exports.usage = values.usage == "S" ? PoolUsage::Sequential : PoolUsage::Random;
    request.analysis.commandUsage = request.exports.usage;
    if (given.Has("--export-clusters")) {
        request.exports.clusterFile = values.clusterFile;
    }
    if (given.Has("--export-indexes")) {
        request.exports.indexFolder = values.indexDir;
    }
    request.csvList = cli::CsvListNamed(values.csvName);
    // The history's tables take --csv-raw as given, the report's lists as set.
    request.csvCells = (history ? given.Has("--csv-raw") : values.csvRaw) ? CsvCells::Raw : CsvCells::Guarded;
    if (given.Has("--regroup")) {
        request.regroupTargets = SplitTargets(values.regroupList);
    }
    request.limits = values.limits;
    request.strict = values.strict;
    request.history = HistoryRequestOf(values, given);
    request.health = HealthRequestOf(values, given);
    request.sizing = BudgetRequestOf(values);
    return request;
}

[[noreturn]] void Refuse(const Refusal& refusal) {
    switch (refusal.kind) {
    case Refusal::Kind::Required:
        throw CLI::RequiredError(refusal.subject);
    case Refusal::Kind::NeedsValue:
        throw CLI::ArgumentMismatch(refusal.subject, 1, 0);
    case Refusal::Kind::Requires:
        throw CLI::RequiresError(refusal.subject, refusal.text);
    case Refusal::Kind::NotValid:
        break;
    }
    throw CLI::ValidationError(refusal.subject, refusal.text);
}

// The password of --history-password-file is read before the run starts: a file refused is a wrong argument.
void ReadPassword(RunRequest& request, const GivenOptions& given, const OptionValues& values) {
    if ((!IsHistoryMode(request.mode) && request.mode != Mode::Sizing) ||
        !given.Has("--history-password-file")) { // an empty name too: refused
        return;
    }
    auto password = ReadPasswordFile(values.passwordFile);
    if (!password.Ok()) {
        throw CLI::ValidationError("--history-password-file", password.FaultText());
    }
    request.history.password = std::move(*password.value);
}

} // namespace

std::vector<std::string> SplitTargets(const std::string& list) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (!list.empty()) {
        const std::size_t comma = list.find(',', start);
        names.push_back(list.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return names;
}

ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, const std::string& version, std::ostream& out,
                                   std::ostream& err) {
    CLI::App app{"Reads a buffer-pool Statistics report and writes its figures as JSON or text"};
    app.set_version_flag("--version", version);
    app.footer(ExitStatusHelp);
    OptionValues values;
    AddInputOptions(app, values);
    AddExportOptions(app, values);
    AddOutputOptions(app, values);
    AddLimitOptions(app, values);
    AddHistoryOptions(app, values);
    AddHealthOptions(app, values);
    AddSizingOptions(app, values);
    AddExclusions(app);
    try {
        app.parse(argc, argv);
        const GivenOptions given = GivenOf(app, values);
        RunRequest request = RequestOf(values, given);
        if (const auto refusal = RefusedCombination(request, given)) {
            Refuse(*refusal);
        }
        ReadPassword(request, given, values);
        return {std::move(request), RunEnd::Done};
    } catch (const CLI::ExcludesError&) {
        app.exit(FirstExclusionBroken(app), out, err);
        return {std::nullopt, RunEnd::WrongArguments};
    } catch (const CLI::ParseError& e) {
        return {std::nullopt, app.exit(e, out, err) == 0 ? RunEnd::Done : RunEnd::WrongArguments};
    }
}

} // namespace ornexa::cli
