#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "history/history_store.h"

namespace ornexa {

// One import: a Statistics report with the Simulation report of the same folder and file stem, if
// any; or a file refused before it is read, with the reason.
struct ImportUnit {
    std::filesystem::path statistics;
    std::optional<std::filesystem::path> simulation;
    std::optional<std::string> refusal;
    std::filesystem::path shown; // the file named in the summary
};

struct ImportPlan {
    std::vector<ImportUnit> units;
    int skipped = 0; // files of a folder that are no report at all
};

// The imports of the files and folders given, in the order given; a folder's files (walked down
// its subfolders) in name order, so that the same folder always imports the same way. A
// Simulation report goes with the Statistics report beside it, and a Statistics report takes the
// Simulation report beside it along; either way the pair is imported once.
ImportPlan PlanImport(const std::vector<std::filesystem::path>& paths);

// Another report of the same system, subsystem and collection time, held with other content.
struct SameTime {
    std::filesystem::path file;
    std::int64_t reportId = 0;
    std::int64_t otherId = 0;
    std::string otherFile;   // empty when the history could not tell it
    std::string description; // "SYSA DB2P collected 2026-11-30T10:15:00"
};

// A Simulation report given with a report already held: added to it, or not stored because the report
// holds another one.
struct SimulationNote {
    std::filesystem::path simulation;
    std::int64_t reportId = 0;
};

// A file of Db2's display output: how many intervals (reports) it gave, and what its read warned of
// (a display that ends inside a pool's section is imported with its warning).
struct DisplayFileNote {
    std::filesystem::path file;
    int intervals = 0;
    std::vector<std::string> warnings;
};

struct ImportSummary {
    int imported = 0;
    int alreadyPresent = 0; // those that kept another simulation included
    std::vector<SimulationNote> simulationsAdded;
    std::vector<SimulationNote> otherSimulations;
    int skipped = 0;
    std::vector<std::pair<std::filesystem::path, std::string>> refusals; // file, reason
    std::vector<SameTime> sameTimes;
    int notTried = 0; // the imports left when the run was stopped
    std::vector<DisplayFileNote> displays;
    [[nodiscard]] int Refused() const { return static_cast<int>(refusals.size()); }
};

// Called before each import: its number from 1, how many there are, and its file.
using ImportProgressFn = std::function<void(int number, int count, const std::filesystem::path& file)>;

// Asked before each import; true stops the run there. An import under way always ends whole.
using ImportStopFn = std::function<bool()>;

ImportSummary RunImport(HistoryStore& store, const ImportPlan& plan, const ImportProgressFn& progress = {},
                        const ReportLimits& limits = {}, const ImportStopFn& stop = {});

// "12 imported, 3 already present, 1 refused" (", 1 simulation added" when any were, ", 2 skipped" when
// any were, ", 4 not imported: stopped" when the run was stopped), then a line per refusal ("refused:
// file: reason"), per simulation added ("simulation added to report 7: file"), per simulation not stored
// beside another, and per report held beside another of the same time. Each interval of a display is a
// report of its own in the counts; a line per display file names its intervals ("display: file: 4
// intervals"), and one per warning of its read ("warning: file: line 40: ...").
std::string ImportSummaryText(const ImportSummary& summary);

} // namespace ornexa
