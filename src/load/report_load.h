#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "load/input_kinds.h"
#include "load/report_kind.h"
#include "report/line_reader.h"
#include "report/messages.h"
#include "report/read_fault.h"
#include "report/report_model.h"
#include "report/stat_reader.h"
#include "simulation/sim_data.h"
#include "simulation/sim_reader.h"

namespace ornexa {

// The Statistics report comes on standard input (a pipe from a transfer job).
struct StandardInput {};
// The report handed to LoadInto holds its Statistics report already: only the Simulation report is read.
struct StatisticsLoaded {};
using StatisticsSource = std::variant<std::filesystem::path, StandardInput, StatisticsLoaded>;

// What becomes of a load whose Simulation report does not load.
enum class SimulationFailure {
    // The Statistics report stays loaded and the Simulation read tells why (the window's "O&pen", a
    // recent report). The Simulation report is read only beside a loaded Statistics report.
    KeepsTheStatistics,
    // Nothing counts as loaded without it (a reload, `ornexa --pdf`, a history import). The
    // Simulation report is read only beside a loaded Statistics report.
    FailsTheLoad,
    // As FailsTheLoad, but the Simulation report is read whatever became of the Statistics report,
    // so that its own messages say it needs one (ornexa-report).
    FailsTheLoadReadAnyway,
};

struct LoadRequest {
    StatisticsSource statistics;
    std::optional<std::filesystem::path> simulation;
    ReportLimits limits;
    FileKinds accepted = FileKinds::Any; // the window reads regular files only
    SimulationFailure onSimulationFailure = SimulationFailure::FailsTheLoad;
    // How the advice below the messages names the files; as they were given when not set, standard
    // input as "standard input".
    std::optional<ReadFiles> adviceNames;
    // The Statistics report is read into memory first and its bytes kept: the figures and a hash of
    // the content come from the same bytes, even from a pipe.
    bool keepBytes = false;
    ProgressFn progress;
};

// How a load ended: everything asked for read whole, read with something to look at (a report that
// may be cut short, object lines left out), or not loaded.
enum class LoadStatus { Whole, WithWarnings, NotLoaded };

struct LoadOutcome {
    // Told by the content of each file. Unreadable: not looked at (standard input, a pipe) or not
    // opened; its read says why.
    ReportKind statisticsKind = ReportKind::Unreadable;
    std::optional<ReportKind> simulationKind; // set when the Simulation read ran
    StatReadResult statRead;                  // not run for StatisticsLoaded
    std::optional<SimReadResult> simRead;     // set when the Simulation read ran
    Messages statMessages;                    // what the Statistics read told, with its advice
    Messages simMessages;                     // what the Simulation read told, after it
    std::string bytes;                        // with keepBytes: the Statistics report's bytes
    std::optional<std::string> bytesFailure;  // with keepBytes: why they could not be read (nothing else ran)
    LoadStatus status = LoadStatus::NotLoaded;

    [[nodiscard]] bool Loaded() const { return status != LoadStatus::NotLoaded; }
    // Every message, in the order of the reads.
    [[nodiscard]] Messages Told() const;
};

struct LoadedReport {
    Report report;
    SimulationData sim;
    LoadOutcome outcome;
};

// Reads the files of `request` into a report of its own.
LoadedReport LoadReport(const LoadRequest& request, const InputKinds& kinds = InputKinds::Standard());
// The same read into a report and simulation the caller holds (a window shows them). A new
// Statistics report resets both first.
LoadOutcome LoadInto(Report& report, SimulationData& sim, const LoadRequest& request,
                     const InputKinds& kinds = InputKinds::Standard());

} // namespace ornexa
