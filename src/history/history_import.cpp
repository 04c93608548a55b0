#include "history/history_import.h"

#include <algorithm>
#include <set>

#include "load/report_kind.h"

namespace ornexa {

namespace fs = std::filesystem;

namespace {

struct FoundFile {
    fs::path path;
    bool named = false; // given by name rather than found in a folder
};

// A folder's regular files, down its subfolders, in name order. Links to folders are not
// followed, so a link back up cannot walk for ever.
std::vector<fs::path> FolderFiles(const fs::path& folder, std::vector<ImportUnit>& refused) {
    std::vector<fs::path> files;
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc)) {
            files.push_back(it->path());
        }
    }
    if (ec) {
        refused.push_back({folder, std::nullopt, "the folder cannot be read: " + ec.message(), folder});
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The same file however it was named, so that a pair found twice is imported once.
fs::path Identity(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    return ec ? path.lexically_normal() : canonical;
}

// The first file (in name order) of `kind` in the folder of `file` with its stem, other than itself.
std::optional<fs::path> Partner(const fs::path& file, ReportKind kind) {
    const fs::path folder = file.parent_path().empty() ? fs::path(".") : file.parent_path();
    std::vector<fs::path> candidates;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeEc;
        if (it->path().stem() == file.stem() && it->path().filename() != file.filename() &&
            it->is_regular_file(typeEc)) {
            candidates.push_back(it->path());
        }
    }
    std::sort(candidates.begin(), candidates.end());
    for (const fs::path& candidate : candidates) {
        if (ReportKindOf(candidate) == kind) {
            // Named as the file itself is, so the summary and the history show one folder.
            return file.parent_path() / candidate.filename();
        }
    }
    return std::nullopt;
}

} // namespace

ImportPlan PlanImport(const std::vector<fs::path>& paths) {
    ImportPlan plan;
    std::vector<FoundFile> found;
    for (const fs::path& path : paths) {
        std::error_code ec;
        if (fs::is_directory(path, ec)) {
            std::vector<ImportUnit> refused;
            for (fs::path& file : FolderFiles(path, refused)) {
                found.push_back({std::move(file), false});
            }
            plan.units.insert(plan.units.end(), refused.begin(), refused.end());
        } else {
            found.push_back({path, true});
        }
    }
    std::set<std::pair<fs::path, fs::path>> planned; // statistics and simulation, as Identity gives them
    for (const FoundFile& file : found) {
        ReportKind kind = ReportKindOf(file.path);
        if (kind == ReportKind::NoReport && !file.named) {
            ++plan.skipped;
            continue;
        }
        ImportUnit unit;
        unit.shown = file.path;
        if (kind == ReportKind::Simulation) {
            const std::optional<fs::path> statistics = Partner(file.path, ReportKind::Statistics);
            if (!statistics) {
                unit.statistics = file.path;
                unit.refusal = "a Simulation report is imported with its Statistics report, and no Statistics "
                               "report named " +
                               file.path.stem().string() + ".* is beside it";
                plan.units.push_back(std::move(unit));
                continue;
            }
            unit.statistics = *statistics;
            unit.simulation = file.path;
            unit.shown = *statistics;
        } else {
            // A file that is no report, or cannot be opened, is refused by the read with its reason.
            // Db2's display output goes in alone: a Simulation report belongs to a monitor's report.
            unit.statistics = file.path;
            if (kind != ReportKind::Db2Display) {
                unit.simulation = Partner(file.path, ReportKind::Simulation);
            }
        }
        const auto key =
            std::make_pair(Identity(unit.statistics), unit.simulation ? Identity(*unit.simulation) : fs::path());
        if (planned.insert(key).second) {
            plan.units.push_back(std::move(unit));
        }
    }
    return plan;
}

namespace {

std::string Described(const HistoryReportInfo& info) {
    return info.system + " " + info.subsystem + " collected " + info.collectedAt;
}

// Counts one report's outcome in the summary.
void Tally(ImportSummary& summary, HistoryStore& store, const ImportUnit& unit, const ImportOutcome& outcome) {
    switch (outcome.status) {
    case ImportStatus::Imported:
        ++summary.imported;
        break;
    case ImportStatus::AlreadyPresent:
        ++summary.alreadyPresent;
        if (outcome.otherSimulation && unit.simulation) {
            summary.otherSimulations.push_back({*unit.simulation, outcome.reportId});
        }
        break;
    case ImportStatus::SimulationAdded:
        summary.simulationsAdded.push_back({unit.simulation.value_or(unit.shown), outcome.reportId});
        break;
    case ImportStatus::Refused:
        summary.refusals.emplace_back(unit.shown, outcome.message.empty() ? "refused" : outcome.message);
        return;
    }
    if (outcome.status == ImportStatus::Imported && outcome.sameTimeAs) {
        SameTime same{unit.shown, outcome.reportId, *outcome.sameTimeAs, {}, {}};
        if (const auto other = store.Info(*outcome.sameTimeAs); other.Ok()) {
            same.otherFile = other.value->fileName;
            same.description = Described(*other.value);
        }
        summary.sameTimes.push_back(std::move(same));
    }
}

} // namespace

ImportSummary RunImport(HistoryStore& store, const ImportPlan& plan, const ImportProgressFn& progress,
                        const ReportLimits& limits, const ImportStopFn& stop) {
    ImportSummary summary;
    summary.skipped = plan.skipped;
    const int count = static_cast<int>(plan.units.size());
    int number = 0;
    for (const ImportUnit& unit : plan.units) {
        if (stop && stop()) {
            summary.notTried = count - number;
            break;
        }
        ++number;
        if (progress) {
            progress(number, count, unit.shown);
        }
        if (unit.refusal) {
            summary.refusals.emplace_back(unit.shown, *unit.refusal);
            continue;
        }
        const FileImportOutcome file =
            ImportFile(store, unit.statistics.string(), unit.simulation ? unit.simulation->string() : "", limits);
        if (file.db2Display && file.intervals > 0) {
            summary.displays.push_back({unit.shown, file.intervals, file.warnings});
        }
        for (const ImportOutcome& outcome : file.reports) {
            Tally(summary, store, unit, outcome);
        }
    }
    return summary;
}

std::string ImportSummaryText(const ImportSummary& summary) {
    std::string text = std::to_string(summary.imported) + " imported, " + std::to_string(summary.alreadyPresent) +
                       " already present, " + std::to_string(summary.Refused()) + " refused";
    if (const std::size_t added = summary.simulationsAdded.size(); added > 0) {
        text += ", " + std::to_string(added) + (added == 1 ? " simulation added" : " simulations added");
    }
    if (summary.skipped > 0) {
        text += ", " + std::to_string(summary.skipped) + " skipped";
    }
    if (summary.notTried > 0) {
        text += ", " + std::to_string(summary.notTried) + " not imported: stopped";
    }
    text += '\n';
    for (const auto& [file, reason] : summary.refusals) {
        text += "refused: " + file.string() + ": " + reason + '\n';
    }
    for (const DisplayFileNote& display : summary.displays) {
        text += "display: " + display.file.string() + ": " + std::to_string(display.intervals) +
                (display.intervals == 1 ? " interval\n" : " intervals\n");
        for (const std::string& warning : display.warnings) {
            text += "warning: " + display.file.string() + ": " + warning + '\n';
        }
    }
    for (const SimulationNote& note : summary.simulationsAdded) {
        text += "simulation added to report " + std::to_string(note.reportId) + ": " + note.simulation.string() + '\n';
    }
    for (const SimulationNote& note : summary.otherSimulations) {
        text += "simulation not stored: " + note.simulation.string() + ": report " + std::to_string(note.reportId) +
                " is already present and holds another simulation, which it keeps\n";
    }
    for (const SameTime& same : summary.sameTimes) {
        const std::string other = same.otherFile.empty()
                                      ? "report " + std::to_string(same.otherId)
                                      : same.otherFile + " (report " + std::to_string(same.otherId) + ")";
        text += "same time, other content: " + same.file.string() + " (report " + std::to_string(same.reportId) +
                ") and " + other + (same.description.empty() ? "" : ", both " + same.description) + '\n';
    }
    return text;
}

} // namespace ornexa
