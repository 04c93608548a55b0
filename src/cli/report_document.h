#pragma once

#include <filesystem>
#include <iosfwd>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/advice_document.h"
#include "cli/analysis_document.h"
#include "report/messages.h"
#include "report/record_catalogue.h"
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
    // short, a display with a warning (a pool cut off, a duplicate left out), or object lines of the
    // Simulation report that were skipped.
    [[nodiscard]] bool Warned() const { return stat.Warned() || (simPath && sim.Loaded() && sim.skippedLines > 0); }
};

// Reads the Statistics file into a fresh report, as "&Open" does, then the Simulation file if one
// is given, as "O&pen" does. A Statistics path of "-" reads standard input; pipes and FIFOs are read
// as files are. `limits` bound the Statistics report's pools and objects.
ReadOutcome ReadReport(Report& report, SimulationData& sim, const std::filesystem::path& statPath,
                       const std::optional<std::filesystem::path>& simPath = std::nullopt,
                       const ReportLimits& limits = {});

// "3 object lines skipped; see the messages"
std::string SkippedLinesSummary(int skippedLines);

// The members a record's fields give the document: each field of the catalogue with a JSON key, in
// catalogue order ("header"; each of "pools" after its "number").
nlohmann::ordered_json RecordMembers(const ReportHeader& header,
                                     RecordCatalogue<ReportHeader> catalogue = HeaderCatalogue());
nlohmann::ordered_json RecordMembers(const PoolRecord& pool, RecordCatalogue<PoolRecord> catalogue = PoolCatalogue());

// The JSON document of ornexa-report.
nlohmann::ordered_json ReportDocument(const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                                      const AnalysisOptions& options = {});

// What a run adds after the analysis: the exports written and a regrouping, whose statements also
// follow the commands of its pool.
struct DocumentAdditions {
    const nlohmann::ordered_json* exports = nullptr;
    const RegroupOutcome* regroup = nullptr;
};

// The document of ReportDocument with the additions, written to `out` as it is worked out, in the
// layout of `dump(2)` and ended by a line end; the per-object lists are never held whole.
void WriteReportDocument(std::ostream& out, const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                         const AnalysisOptions& options = {}, const DocumentAdditions& additions = {});

// The same content as readable text, the analysed pools one at a time (a threshold file not found
// is told below the Simulation report).
void WriteTextReport(std::ostream& out, const Report& report, const SimulationData& sim, const ReadOutcome& outcome,
                     const AnalysisOptions& options = {});

} // namespace ornexa::cli
