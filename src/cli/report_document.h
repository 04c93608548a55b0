#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/analysis_document.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "report/stat_reader.h"
#include "simulation/sim_reader.h"

namespace ornexa::cli {

// What one run of ornexa-report read.
struct ReadOutcome {
    std::filesystem::path statPath;
    StatReadResult stat;
    Messages statMessages;
    std::optional<std::filesystem::path> simPath;
    SimReadResult sim;
    Messages simMessages;

    // Everything asked for loaded.
    [[nodiscard]] bool Loaded() const { return stat.Loaded() && (!simPath || sim.Loaded()); }
    // Loaded, but with something the analyst should look at: a Statistics report that may be cut
    // short, or object lines of the Simulation report that were skipped.
    [[nodiscard]] bool Warned() const {
        return stat.cutShort.has_value() || (simPath && sim.Loaded() && sim.skippedLines > 0);
    }
};

// Reads the Statistics file into a fresh report, as "&Open" does, then the Simulation file if one
// is given, as "O&pen" does. A Statistics path of "-" reads standard input; pipes and FIFOs are read
// as files are. `limits` bound the Statistics report's pools and objects.
ReadOutcome ReadReport(Report& report, SimulationData& sim, const std::filesystem::path& statPath,
                       const std::optional<std::filesystem::path>& simPath = std::nullopt,
                       const ReportLimits& limits = {});

// "3 object lines skipped; see the messages"
std::string SkippedLinesSummary(int skippedLines);

// The JSON document of ornexa-report.
nlohmann::ordered_json ReportDocument(const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                                      const AnalysisOptions& options = {});

// The same content as readable text; `analysis` is the document's analysis list, `thresholds` its
// threshold files (a file not found is told below the Simulation report).
void WriteTextReport(std::ostream& out, const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                     const nlohmann::ordered_json& analysis = nlohmann::ordered_json::array(),
                     const nlohmann::ordered_json& thresholds = nullptr);

} // namespace ornexa::cli
