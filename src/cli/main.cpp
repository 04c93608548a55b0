// ornexa-report: the analyses of ORNEXA without a window, as JSON or readable text.
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <unistd.h>

#include <CLI/CLI.hpp>

#include "advice/regroup.h"
#include "cli/advice_document.h"
#include "cli/csv_tables.h"
#include "cli/history_commands.h"
#include "cli/report_document.h"
#include "cluster/clustering.h"
#include "history/history_location.h"
#include "history/sql_database.h"
#include "report/latin1.h"
#include "report/numbers.h"
#include "report/shown_text.h"
#include "rules/threshold_files.h"
#include "simulation/sim_reader.h"

namespace {

constexpr int ExitLoaded = 0;
constexpr int ExitNotLoaded = 1;
constexpr int ExitUsage = 2;
constexpr int ExitWarned = 3;

std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::absolute(argv0) : self).parent_path();
}

// The pool the exports are for: the simulated pool, else the first pool named with --pool.
int ExportPool(const ornexa::Report& report, const ornexa::SimulationData& sim, const std::vector<std::string>& names) {
    if (sim.SimFileLoaded) {
        return sim.simulatedPool;
    }
    for (int p = 1; p <= report.PoolCount(); ++p) {
        for (const std::string& name : names) {
            if (ornexa::cli::NamesPool(report, p, name)) {
                return p;
            }
        }
    }
    return 0;
}

void TellMessages(const ornexa::Messages& messages) {
    for (const ornexa::Message& m : messages) {
        // A message may quote a name of the report: its control characters are shown escaped.
        std::cerr << "  " << ornexa::EscapeControls(m.title) << (m.title.empty() ? "" : ": ")
                  << ornexa::EscapeControls(m.text, "\t\n") << '\n';
        if (!m.hint.empty()) {
            std::cerr << "    " << ornexa::EscapeControls(m.hint, "\t\n") << '\n';
        }
    }
}

void TellNotExported(const std::string& why, const ornexa::Messages& messages) {
    std::cerr << "ornexa-report: nothing exported: " << why << '\n';
    TellMessages(messages);
}

// `--csv`: the list as the window shows it, on standard output. Nothing is written when the report
// it comes from did not load; the run then fails with the read's messages.
bool WriteCsvList(ornexa::cli::CsvList list, const ornexa::Report& report, const ornexa::SimulationData& sim,
                  const ornexa::cli::ReadOutcome& outcome, const ornexa::cli::AnalysisOptions& analysis,
                  const ornexa::cli::ExportOptions& exports, ornexa::CsvCells cells) {
    using ornexa::cli::CsvList;
    if (!outcome.stat.Loaded()) {
        std::cerr << "ornexa-report: no list written: the Statistics report " << outcome.statPath.string()
                  << " did not load\n";
        TellMessages(outcome.statMessages);
        return false;
    }
    ornexa::TextTable table;
    switch (list) {
    case CsvList::Pools:
        table = ornexa::cli::PoolListTable(report);
        break;
    case CsvList::Objects:
        table = ornexa::cli::ObjectListTable(report, ornexa::cli::ChosenPools(report, analysis.pools));
        break;
    case CsvList::Rules:
        table = ornexa::cli::RuleListTable(report, ornexa::cli::ChosenPools(report, analysis.pools), exports.usage);
        break;
    case CsvList::Clusters: {
        if (!outcome.sim.Loaded()) {
            std::cerr << "ornexa-report: no list written: the Simulation report "
                      << outcome.simPath.value_or("").string() << " did not load\n";
            TellMessages(outcome.simMessages);
            return false;
        }
        auto clusters = ornexa::cli::ClusterListTable(report, sim, exports.usage, exports.size, analysis.simulation);
        TellMessages(clusters.messages);
        table = std::move(*clusters.value);
        break;
    }
    }
    std::cout << ornexa::CsvText(table, cells);
    return true;
}

// The options that only some uses take, checked once all are parsed: a wrong combination is a
// usage error, told as CLI11 tells its own.
void CheckCombinations(const CLI::App& app, const std::optional<ornexa::cli::CsvList>& list, bool simGiven) {
    using ornexa::cli::CsvList;
    const bool clusterFile = app.count("--export-clusters") > 0;
    const bool regroup = app.count("--regroup") > 0;
    // The report and --commands take the usage for the pools' commands; of the lists only two have one.
    if (app.count("--usage") > 0 && list && !clusterFile && list != CsvList::Clusters && list != CsvList::Rules) {
        throw CLI::RequiresError("--usage", "--export-clusters, --csv clusters or --csv rules");
    }
    if (app.count("--size") > 0 && !clusterFile && !regroup && list != CsvList::Clusters) {
        throw CLI::RequiresError("--size", "--export-clusters, --regroup or --csv clusters");
    }
    if (regroup && !simGiven) {
        throw CLI::RequiresError("--regroup", "--sim (the clusters are of the simulated pool)");
    }
    if (list == CsvList::Clusters && !simGiven) {
        throw CLI::RequiresError("--csv clusters", "--sim (the cluster list is of the simulated pool)");
    }
}

// Which pool the exports are for, or why there is none: a report that did not load is told with
// its messages (exit 1), exports without any pool to take are wrong arguments (exit 2).
struct ExportTarget {
    int pool = 0;
    int exitCode = 0;
};
ExportTarget FindExportTarget(const ornexa::Report& report, const ornexa::SimulationData& sim,
                              const ornexa::cli::ReadOutcome& outcome, const std::vector<std::string>& names) {
    if (!outcome.stat.Loaded()) {
        TellNotExported("the Statistics report " + outcome.statPath.string() + " did not load", outcome.statMessages);
        return {0, ExitNotLoaded};
    }
    const int pool = ExportPool(report, sim, names);
    if (pool != 0) {
        return {pool, 0};
    }
    if (outcome.simPath && !outcome.sim.Loaded()) {
        TellNotExported("the Simulation report " + outcome.simPath->string() + " did not load", outcome.simMessages);
        return {0, ExitNotLoaded};
    }
    if (!names.empty()) {
        TellNotExported("the report holds no pool of the names given with --pool", {});
        return {0, ExitNotLoaded};
    }
    std::cerr << "ornexa-report: the exports need a Simulation report (--sim) or a --pool name\n";
    return {0, ExitUsage};
}

// "BP5,,BP7" as {"BP5", "", "BP7"}; an empty list as no name.
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

// --regroup: the targets given, an empty one replaced by its default, for the simulated pool's run.
ornexa::cli::RegroupOutcome RegroupRun(const ornexa::Report& report, const ornexa::SimulationData& sim,
                                       const ornexa::cli::ExportOptions& exports,
                                       const ornexa::cli::SimOptions& options, std::vector<std::string> targets) {
    const int p = sim.ShownPool();
    const double threshold = ornexa::LookUpThreshold(options.thresholdFolders, exports.usage).threshold;
    const ornexa::ClusterRun run =
        ornexa::RunClusterAnalysis(report, sim, p, exports.size, exports.usage, threshold, options.radius);
    const std::vector<std::string> defaults = ornexa::DefaultTargets(report, p, run);
    targets.resize(std::max(targets.size(), defaults.size()));
    for (std::size_t q = 0; q < defaults.size(); ++q) {
        if (targets[q].empty()) {
            targets[q] = defaults[q];
        }
    }
    targets.resize(defaults.size());
    return ornexa::cli::RunRegroup(report, sim, p, exports.usage, exports.size, targets, options);
}

// --commands: every chosen pool's commands, the statements of --regroup beside its pool's.
std::string CommandsFile(const ornexa::Report& report, const ornexa::SimulationData& sim, const std::vector<int>& pools,
                         ornexa::PoolUsage usage, const std::optional<ornexa::cli::RegroupOutcome>& regrouped) {
    std::vector<ornexa::PoolAdviceEntry> entries;
    for (const int p : pools) {
        ornexa::PoolAdvice advice = ornexa::PoolCommands(report, sim, p, usage);
        if (regrouped && p == sim.ShownPool()) {
            advice.commands.insert(advice.commands.end(), regrouped->advice.begin(), regrouped->advice.end());
        }
        entries.push_back({ornexa::Latin1ToUtf8(report.Pools(p).PoolName.Trimmed()), std::move(advice)});
    }
    return ornexa::CommandsFileText(entries);
}

// The history's commands: --import, --list, --trend and --compare.
struct HistoryOptions {
    std::string location;
    std::vector<std::string> imports;
    bool list = false;
    bool trend = false;
    std::vector<std::string> compare;
    ornexa::HistoryFilter filter;
    std::string passwordFile;
    int timeoutSeconds = static_cast<int>(ornexa::DefaultHistoryTimeout.count());
};

// The longest --history-timeout: the server counts its statement timeout in milliseconds in 31 bits.
constexpr int MostHistoryTimeoutSeconds = 2'000'000;

void AddHistoryOptions(CLI::App& app, HistoryOptions& history) {
    app.add_option("--history", history.location,
                   "the report history: a SQLite file (made when missing; another program's database is refused), a "
                   "postgresql:// URI or a keyword connection string (\"host=db1 dbname=history\"); a password "
                   "written in it can be seen by every user in the process list: use PGPASSWORD, ~/.pgpass or "
                   "--history-password-file")
        ->type_name("DB");
    app.add_option("--history-password-file", history.passwordFile,
                   "with a PostgreSQL --history: the server's password is the content of FILE (its final newline "
                   "left out); FILE must be readable by its owner only (mode 600)")
        ->type_name("FILE");
    app.add_option("--history-timeout", history.timeoutSeconds,
                   "with a PostgreSQL --history: the seconds a statement may take on the server (default 60); a "
                   "longer one is ended, and a server that stops answering is given up after them")
        ->type_name("S")
        ->check(CLI::Range(1, MostHistoryTimeoutSeconds));
    auto* import = app.add_option("--import", history.imports,
                                  "with --history: import these Statistics and Simulation report files and folders "
                                  "(walked down their subfolders)")
                       ->type_name("PATH")
                       ->expected(1, -1);
    auto* list = app.add_flag("--list", history.list, "with --history: list the reports held")->excludes(import);
    auto* trend = app.add_flag("--trend", history.trend,
                               "with --history: the figures of the --pool named in every report held, by collection "
                               "time")
                      ->excludes(import)
                      ->excludes(list);
    app.add_option("--compare", history.compare,
                   "compare two Statistics report files, the older first, or two report ids of --history")
        ->type_name("OLD NEW")
        ->expected(2)
        ->excludes(import)
        ->excludes(list)
        ->excludes(trend);
    app.add_option("--system", history.filter.system, "with --list or --trend: only the reports of this system");
    app.add_option("--subsystem", history.filter.subsystem,
                   "with --list or --trend: only the reports of this subsystem");
}

bool HistoryCommandGiven(const CLI::App& app) {
    return app.count("--import") + app.count("--list") + app.count("--trend") + app.count("--compare") > 0 ||
           app.count("--history") > 0;
}

// A history command takes only its own options, --json, --csv (without a list) and --pool for a trend.
void CheckHistoryCombinations(const CLI::App& app, const HistoryOptions& history, bool statGiven,
                              const std::string& csvName) {
    const bool hasHistory = app.count("--history") > 0;
    const bool compare = app.count("--compare") > 0;
    if (statGiven) {
        throw CLI::ValidationError("STATFILE", "a Statistics report is not read with --history, --import, --list, "
                                               "--trend or --compare (compare files with --compare OLD NEW)");
    }
    if (hasHistory) {
        if (const auto unkept = ornexa::UnkeptHistoryReason(history.location)) {
            throw CLI::ValidationError("--history", *unkept);
        }
        for (const char* name : {"--history-password-file", "--history-timeout"}) {
            if (app.count(name) > 0 && !ornexa::IsPostgresLocation(history.location)) {
                throw CLI::ValidationError(name, "goes with a PostgreSQL history (a postgresql:// URI or a keyword "
                                                 "connection string), not with a SQLite file");
            }
        }
    }
    for (const char* name : {"--import", "--list", "--trend", "--history-password-file", "--history-timeout"}) {
        if (app.count(name) > 0 && !hasHistory) {
            throw CLI::RequiresError(name, "--history");
        }
    }
    if (hasHistory && !compare && app.count("--import") + app.count("--list") + app.count("--trend") == 0) {
        throw CLI::ValidationError("--history", "needs --import, --list, --trend or --compare");
    }
    if (history.trend && app.count("--pool") != 1) {
        throw CLI::ValidationError("--trend", "needs one --pool NAME");
    }
    if (!history.trend && app.count("--pool") > 0) {
        throw CLI::ValidationError("--pool", "goes with --trend among the history's commands");
    }
    if ((app.count("--system") > 0 || app.count("--subsystem") > 0) && !history.list && !history.trend) {
        throw CLI::ValidationError("--system/--subsystem", "go with --list or --trend");
    }
    if (app.count("--import") > 0 && (app.count("--json") > 0 || app.count("--csv") > 0)) {
        throw CLI::ValidationError("--import", "writes its summary as text; no --json or --csv");
    }
    if (app.count("--csv") > 0 && (compare || !csvName.empty())) {
        throw CLI::ValidationError("--csv", compare ? "does not go with --compare (use --json)"
                                                    : "takes no LIST with --list or --trend");
    }
    if (app.count("--json") > 0 && app.count("--csv") > 0) {
        throw CLI::ValidationError("--json", "does not go with --csv");
    }
    for (const char* name : {"--sim", "--objects", "--radius", "--acc-dir", "--export-clusters", "--cluster", "--usage",
                             "--size", "--export-indexes", "--commands", "--regroup", "--strict"}) {
        if (app.count(name) > 0) {
            throw CLI::ValidationError(name, "does not go with the history's commands");
        }
    }
    if (compare) {
        const bool ids = ornexa::cli::ReportIdOf(history.compare[0]) && ornexa::cli::ReportIdOf(history.compare[1]);
        std::error_code ec;
        if (hasHistory && !ids) {
            throw CLI::ValidationError("--compare", "with --history takes two report ids (see --list)");
        }
        if (!hasHistory && ids && !std::filesystem::exists(history.compare[0], ec) &&
            !std::filesystem::exists(history.compare[1], ec)) {
            throw CLI::RequiresError("--compare with report ids", "--history");
        }
    }
}

int RunHistory(const CLI::App& app, const HistoryOptions& history, bool asJson, const std::vector<std::string>& pools,
               const ornexa::ReportLimits& limits) {
    const ornexa::cli::CommandStreams streams{std::cout, std::cerr, isatty(STDERR_FILENO) == 1,
                                              app.count("--csv-raw") > 0 ? ornexa::CsvCells::Raw
                                                                         : ornexa::CsvCells::Guarded};
    if (app.count("--history-password-file") > 0) { // an empty name too: it is refused, never left out
        const auto password = ornexa::cli::ReadPasswordFile(history.passwordFile);
        if (!password.Ok()) {
            throw CLI::ValidationError("--history-password-file", password.FaultText());
        }
        // libpq takes it as it takes the variable set by the user; it stays out of the process list.
        setenv("PGPASSWORD", password.value->c_str(), 1); // NOLINT(concurrency-mt-unsafe): before any thread
    }
    if (ornexa::CarriesPassword(history.location)) {
        std::cerr << "ornexa-report: warning: the password written in --history can be seen by every user of this "
                     "machine in the process list; give it by PGPASSWORD, ~/.pgpass or --history-password-file "
                     "instead\n";
    }
    const auto format = asJson                   ? ornexa::cli::HistoryFormat::Json
                        : app.count("--csv") > 0 ? ornexa::cli::HistoryFormat::Csv
                                                 : ornexa::cli::HistoryFormat::Text;
    const std::chrono::seconds timeout{history.timeoutSeconds};
    if (!history.compare.empty()) {
        if (!history.location.empty()) {
            return ornexa::cli::CompareStoredCommand(history.location, *ornexa::cli::ReportIdOf(history.compare[0]),
                                                     *ornexa::cli::ReportIdOf(history.compare[1]), asJson, streams,
                                                     timeout);
        }
        return ornexa::cli::CompareFilesCommand(history.compare[0], history.compare[1], asJson, streams, limits);
    }
    if (!history.imports.empty()) {
        return ornexa::cli::ImportCommand(
            history.location, std::vector<std::filesystem::path>(history.imports.begin(), history.imports.end()),
            streams, limits, timeout);
    }
    if (history.list) {
        return ornexa::cli::ListCommand(history.location, history.filter, format, streams, timeout);
    }
    return ornexa::cli::TrendCommand(history.location, pools.front(), history.filter, format, streams, timeout);
}

constexpr const char* ExitCodes =
    "Exit status:\n"
    "  0  the reports loaded (and the exports were written)\n"
    "  1  a report did not load, a --pool name is not in it, an export failed, or standard output could not be\n"
    "     written; the history could not be opened or read, --import refused a file, or no report held has\n"
    "     the --pool of --trend\n"
    "  2  wrong arguments\n"
    "  3  loaded with warnings (a report cut short, skipped object lines), under --strict";

int Run(int argc, char** argv) {
    CLI::App app{"Reads a buffer-pool Statistics report and writes its figures as JSON or text"};
    app.set_version_flag("--version", std::string(ORNEXA_VERSION));
    std::string statFile;
    std::string simFile;
    bool asJson = false;
    bool strict = false;
    ornexa::cli::AnalysisOptions analysis;
    ornexa::cli::ExportOptions exports;
    std::optional<ornexa::cli::CsvList> csvList;
    std::string accDir;
    std::string clusterFile;
    std::string usage = "R";
    std::string indexDir;
    auto* statOption = app.add_option("STATFILE", statFile, "Statistics report (.sta or .txt); - reads standard input");
    app.add_option("--sim", simFile, "Simulation report of one of its pools (.sim or .txt)");
    app.add_option("--pool", analysis.pools, "analyse only the pools of this name (repeatable)");
    app.add_flag("--objects", analysis.objects,
                 "add the per-object section: in the text report each pool's object list with the figures of "
                 "the object details, in the JSON each object with its figures and graphs");
    app.add_option("--radius", analysis.simulation.radius, "cluster radius, a finite number from 0.4 up")
        ->capture_default_str()
        ->check(CLI::Validator(
            [](const std::string& text) {
                const ornexa::Converted<double> value = ornexa::TextToDouble(text);
                return value && std::isfinite(value.Value()) && value.Value() >= ornexa::MinClusterRadius
                           ? std::string{}
                           : "the radius is a finite number from 0.4 up, not \"" + text + "\"";
            },
            "FLOAT>=0.4"));
    app.add_option("--acc-dir", accDir,
                   "folder of Rand.acc and Seq.acc (default: the program's folder, then ../share/ornexa beside it)");
    auto* clusters =
        app.add_option("--export-clusters", clusterFile,
                       "write the cluster data file of one cluster to FILE, exactly the path given (an existing "
                       "file is replaced whole)")
            ->type_name("FILE")
            ->check(CLI::Validator(
                [](const std::string& path) { return ornexa::cli::ExportFileProblem(path).value_or(std::string{}); },
                ""));
    app.add_option("--cluster", exports.cluster, "cluster number for --export-clusters, 1 or more")
        ->check(CLI::PositiveNumber)
        ->needs(clusters);
    app.add_option("--usage", usage,
                   "pool usage for the pools' commands, --export-clusters, --regroup, --csv clusters and --csv rules: "
                   "R or S")
        ->check(CLI::IsMember({"R", "S"}));
    app.add_option("--size", exports.size,
                   "simulated size for --export-clusters and --csv clusters, 1 to the report's number of sizes")
        ->check(CLI::Range(1, 8));
    auto* indexes =
        app.add_option("--export-indexes", indexDir, "write AINDEX.QVL of the pool's indexes into the folder DIR")
            ->type_name("DIR")
            ->check(CLI::Validator(
                [](const std::string& path) {
                    std::error_code ec;
                    if (path.empty()) {
                        return std::string("the index folder is an empty path");
                    }
                    return std::filesystem::exists(path, ec) && !std::filesystem::is_directory(path, ec)
                               ? "the index folder \"" + path + "\" is not a folder"
                               : std::string{};
                },
                ""));
    app.footer(ExitCodes);
    auto* json = app.add_flag("--json", asJson, "write the JSON document instead of the text report");
    bool commands = false;
    std::string regroupList;
    auto* commandsFlag = app.add_flag("--commands", commands,
                                      "write the Db2 commands and SQL statements of each --pool (every pool when none "
                                      "is named) under --usage as a file for the host, instead of the report")
                             ->excludes(json);
    auto* regroupOption =
        app.add_option("--regroup", regroupList,
                       "write the SQL that moves each cluster of the simulated pool (at --usage, --size and "
                       "--radius) to the pool given for it, in cluster order (an empty name takes the default: an "
                       "unused pool of the same page size), instead of the report")
            ->type_name("BPx,BPy,...")
            ->excludes(clusters)
            ->excludes(indexes);
    std::string csvName;
    auto* csvOption =
        app.add_option(
               "--csv", csvName,
               "write a list of the window as CSV instead of the report: pools (the pool list), objects or rules "
               "(of each --pool, all pools when none is named; rules under --usage), clusters (the cluster list "
               "of the simulated pool at --usage, --size and --radius); with --list or --trend, no LIST: that table")
            ->type_name("LIST")
            // With --list or --trend, --csv alone writes that table.
            ->expected(0, 1)
            ->check(CLI::Validator(
                [](std::string& name) {
                    return name.empty()
                               ? std::string{}
                               : CLI::IsMember(std::vector<std::string>(ornexa::cli::CsvListNames.begin(),
                                                                        ornexa::cli::CsvListNames.end()))(name);
                },
                ""))
            ->excludes(json)
            ->excludes(clusters)
            ->excludes(indexes)
            ->excludes(commandsFlag)
            ->excludes(regroupOption);
    bool csvRaw = false;
    app.add_flag("--csv-raw", csvRaw,
                 "write CSV cells as they are: by default a text cell beginning with =, +, -, @, a tab or CR (which "
                 "a spreadsheet would run as a formula) gets a leading ', figures never do")
        ->needs(csvOption);
    ornexa::ReportLimits limits;
    app.add_option("--max-pools", limits.pools,
                   "read at most N pool lines (default 60, as the monitor writes; 80 for a large site)")
        ->type_name("N")
        ->check(CLI::Range(1, ornexa::ReportLimits::MostPools));
    app.add_option("--max-objects", limits.objects,
                   "read at most M object lines (default 5000, as the monitor writes; up to 100,000,000)")
        ->type_name("M")
        ->check(CLI::Range(1, ornexa::ReportLimits::MostObjects));
    app.add_flag("--strict", strict,
                 "exit 3 when the reports loaded with warnings (a report cut short, skipped object lines)");
    HistoryOptions history;
    AddHistoryOptions(app, history);
    try {
        app.parse(argc, argv);
        if (!HistoryCommandGiven(app)) {
            if (statOption->count() == 0) {
                throw CLI::RequiredError("STATFILE");
            }
        } else {
            CheckHistoryCombinations(app, history, statOption->count() > 0, csvName);
        }
        if (HistoryCommandGiven(app)) {
            return RunHistory(app, history, asJson, analysis.pools, limits);
        }
        if (app.count("--csv") > 0 && csvName.empty()) {
            throw CLI::ArgumentMismatch("--csv", 1, 0);
        }
        csvList = ornexa::cli::CsvListNamed(csvName);
        CheckCombinations(app, csvList, !simFile.empty());
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? ExitLoaded : ExitUsage;
    }
    analysis.simulation.thresholdFolders = ornexa::ThresholdFolders(
        ProgramFolder(argv[0]), accDir.empty() ? std::nullopt : std::optional<std::filesystem::path>(accDir));
    exports.usage = usage == "S" ? ornexa::PoolUsage::Sequential : ornexa::PoolUsage::Random;
    analysis.commandUsage = exports.usage;
    if (clusters->count() > 0) {
        exports.clusterFile = clusterFile;
    }
    if (app.count("--export-indexes") > 0) {
        exports.indexFolder = indexDir;
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    const ornexa::cli::ReadOutcome outcome = ornexa::cli::ReadReport(
        report, sim, statFile, simFile.empty() ? std::nullopt : std::optional<std::filesystem::path>(simFile), limits);
    bool exportsOk = true;
    std::optional<nlohmann::ordered_json> exportDocument;
    const bool regroup = regroupOption->count() > 0;
    if ((exports.clusterFile || regroup || csvList == ornexa::cli::CsvList::Clusters) && sim.SimFileLoaded &&
        exports.size > sim.Sim.SimSizeCount) {
        std::cerr << "ornexa-report: --size is 1 to " << sim.Sim.SimSizeCount
                  << ", the simulated sizes of the Simulation report, not " << exports.size << '\n';
        return ExitUsage;
    }
    if (exports.clusterFile || exports.indexFolder) {
        const ExportTarget target = FindExportTarget(report, sim, outcome, analysis.pools);
        if (target.exitCode == ExitUsage) {
            return ExitUsage;
        }
        if (target.pool != 0) {
            const auto result = ornexa::cli::RunExports(report, sim, target.pool, exports, analysis.simulation);
            exportsOk = result.ok;
            exportDocument = result.document;
        } else {
            exportsOk = false;
        }
    }
    std::optional<ornexa::cli::RegroupOutcome> regrouped;
    if (regroup) {
        if (!outcome.Loaded()) {
            TellNotExported("the reports did not load",
                            outcome.stat.Loaded() ? outcome.simMessages : outcome.statMessages);
            return ExitNotLoaded;
        }
        regrouped = RegroupRun(report, sim, exports, analysis.simulation, SplitTargets(regroupList));
        TellMessages(regrouped->messages);
        // Told whatever the output: with --commands or --json the .sql comments that say it are not written.
        for (const std::string& refusal : regrouped->refusals) {
            std::cerr << "ornexa-report: --regroup: " << ornexa::EscapeControls(refusal) << '\n';
        }
        exportsOk = regrouped->ok;
    }
    if (csvList) {
        exportsOk = WriteCsvList(*csvList, report, sim, outcome, analysis, exports,
                                 csvRaw ? ornexa::CsvCells::Raw : ornexa::CsvCells::Guarded);
    } else if (commands) {
        if (!outcome.stat.Loaded()) {
            TellNotExported("the Statistics report " + outcome.statPath.string() + " did not load",
                            outcome.statMessages);
            return ExitNotLoaded;
        }
        std::cout << CommandsFile(report, sim, ornexa::cli::ChosenPools(report, analysis.pools), exports.usage,
                                  regrouped);
    } else if (regrouped && !asJson) {
        std::cout << regrouped->text;
    } else if (asJson) {
        ornexa::cli::WriteReportDocument(
            std::cout, report, sim, outcome, analysis,
            {exportDocument ? &*exportDocument : nullptr, regrouped ? &*regrouped : nullptr});
    } else {
        ornexa::cli::WriteTextReport(std::cout, report, sim, outcome, analysis);
        if (exportDocument) {
            std::cout << "\nExports:\n"
                      << exportDocument->dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << '\n';
        }
    }
    // A full disk or a closed pipe loses what was written: never told as a success.
    if (!std::cout.flush()) {
        std::cerr << "ornexa-report: standard output could not be written\n";
        return ExitNotLoaded;
    }
    // A pool asked for that the report does not hold is told, never left as an empty analysis.
    const std::vector<std::string> unknown =
        outcome.Loaded() ? ornexa::cli::UnknownPools(report, analysis.pools) : std::vector<std::string>{};
    for (const std::string& name : unknown) {
        std::cerr << "ornexa-report: no pool named " << name << '\n';
    }
    if (sim.SimFileLoaded) {
        for (const ornexa::Message& m :
             ornexa::cli::ThresholdMessages(ornexa::cli::LookUpThresholds(analysis.simulation))) {
            std::cerr << "ornexa-report: " << m.text << '\n';
        }
    }
    if (outcome.sim.Loaded() && outcome.sim.skippedLines > 0) {
        std::cerr << ornexa::cli::SkippedLinesSummary(outcome.sim.skippedLines) << '\n';
    }
    if (!outcome.Loaded() || !exportsOk || !unknown.empty()) {
        return ExitNotLoaded;
    }
    return strict && outcome.Warned() ? ExitWarned : ExitLoaded;
}

} // namespace

int main(int argc, char** argv) {
    // A write past the file size limit (ulimit -f) fails and is told with the file it was for, instead
    // of the signal ending the program without a word in the middle of a history import.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "ornexa-report: " << e.what() << '\n';
        return ExitNotLoaded;
    }
}
