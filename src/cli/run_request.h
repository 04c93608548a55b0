#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "advice/pool_ratings.h"
#include "advice/sizing_curves.h"
#include "advice/sizing_plan.h"
#include "cli/analysis_document.h"
#include "cli/csv_tables.h"
#include "cli/folder_watch.h"
#include "cli/history_commands.h"
#include "cli/sim_document.h"
#include "history/history_store.h"
#include "report/report_model.h"
#include "report/table_text.h"

namespace ornexa::cli {

// What one run of ornexa-report writes: the report's uses first, then the history's.
enum class Mode {
    TextReport, // the readable report (with the exports written beside it)
    JsonReport, // the JSON document
    CsvList,    // --csv LIST: one list of the window
    Commands,   // --commands: the pools' Db2 commands and SQL
    Regroup,    // --regroup alone: the SQL that moves the clusters
    Health,     // --health of the report read: its pools rated
    Sizing,     // --budget: the storage split among the report's pools (--history read, not a command)
    HistoryImport,
    HistoryWatch, // --watch DIR: imports what appears there until stopped
    HistoryList,
    HistoryTrend,
    CompareFiles,  // --compare OLD NEW of two Statistics report files
    CompareStored, // --compare of two report ids of --history
    HistoryHealth, // --health of the reports held
    // --history without a command to run: always refused before the run starts.
    HistoryWithoutCommand,
};

[[nodiscard]] inline bool IsHistoryMode(Mode mode) {
    return mode >= Mode::HistoryImport;
}

// A history command's own options.
struct HistoryRequest {
    std::string location; // empty without --history
    std::vector<std::filesystem::path> imports;
    std::vector<std::string> compare; // OLD NEW: two files, or two report ids
    // --watch DIR and its --settle time.
    std::filesystem::path watchFolder;
    std::chrono::milliseconds settle = DefaultSettle;
    HistoryFilter filter;
    HistoryFormat format = HistoryFormat::Text;
    std::optional<std::string> password; // the content of --history-password-file
    std::chrono::seconds timeout = DefaultHistoryTimeout;
};

// --health: what rates the pools, and the level that fails the run.
struct HealthRequest {
    std::optional<RatingVerdict> failOn;              // --fail-on: Warning or Exception
    std::optional<std::filesystem::path> ratingsFile; // --ratings: the site file of thresholds
    std::filesystem::path programFolder;              // where a site file is looked for beside the program
    std::string since; // --since, as collection times are held: "2026-11-30T00:00:00"; empty is open
    std::string until; // --until, the last second it covers: "2026-11-30T23:59:59"
};

// --budget: the storage to place and the bounds of the pools.
struct BudgetRequest {
    std::int64_t budgetBytes = 0;
    SizingBounds bounds;               // --protect, --max
    double loadBand = DefaultLoadBand; // --load-band, as a share
    bool estimate = true;              // not --no-estimate
    bool asJson = false;
};

// The command line as the run takes it: one mode, and what that mode reads, analyses and writes.
struct RunRequest {
    Mode mode = Mode::TextReport;
    std::filesystem::path statFile; // "-" for standard input
    std::optional<std::filesystem::path> simFile;
    std::optional<std::filesystem::path> accFolder; // --acc-dir
    AnalysisOptions analysis;
    ExportOptions exports;          // the cluster data file and index folder written beside the output
    std::optional<CsvList> csvList; // with Mode::CsvList
    CsvCells csvCells = CsvCells::Guarded;
    std::optional<std::vector<std::string>> regroupTargets; // --regroup, an empty name for the default
    ReportLimits limits;
    bool strict = false;
    HistoryRequest history;
    HealthRequest health;
    BudgetRequest sizing;
};

} // namespace ornexa::cli
