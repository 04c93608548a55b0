#include "session/file_selection.h"

#include <algorithm>
#include <utility>

#include "load/report_kind.h"
#include "load/report_load.h"
#include "report/fixed_text.h"

namespace ornexa {

namespace {

// The advice of a read names the files in full, whatever folder they were named from.
ReadFiles FilesNamed(const std::filesystem::path& statistics, const std::filesystem::path& simulation) {
    return {FullPath(statistics).string(), FullPath(simulation).string()};
}

// How a Statistics read ended, as the picture and the line under the path tell it.
ReadSummary SummaryOf(const StatReadResult& result, const Report& report) {
    ReadSummary summary;
    summary.poolsRead = report.PoolCount();
    summary.poolsInFile = result.headerRead ? std::max<int>(report.Header.ReportPoolCount, 0) : 0;
    if (result.fault) {
        summary.fault = MessageOf(*result.fault).text;
        summary.stoppedAtLine = result.fault->line;
    } else if (const Messages warned = MessagesOf(result); !warned.empty()) {
        summary.fault = warned.front().text;
    }
    return summary;
}

StatusPicture PictureOf(const StatReadResult& result) {
    if (!result.Loaded()) {
        return StatusPicture::NotRead;
    }
    return result.Warned() ? StatusPicture::ReadWithWarnings : StatusPicture::Read;
}

ReadSummary SummaryOf(const SimReadResult& result) {
    ReadSummary summary;
    summary.objectLines = result.objectLines;
    summary.skippedLines = result.skippedLines;
    if (result.fault) {
        summary.fault = MessageOf(*result.fault).text;
        summary.stoppedAtLine = result.fault->line;
    } else if (!result.skipped.empty()) {
        summary.fault = MessageOf(result.skipped.front()).text;
    }
    return summary;
}

StatusPicture PictureOf(const SimReadResult& result) {
    if (!result.Loaded()) {
        return StatusPicture::NotRead;
    }
    return result.skippedLines > 0 ? StatusPicture::ReadWithWarnings : StatusPicture::Read;
}

} // namespace

// Marks a read as running for as long as it lives.
class FileSelectionSession::ReadGuard {
public:
    explicit ReadGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ReadGuard(const ReadGuard&) = delete;
    ReadGuard& operator=(const ReadGuard&) = delete;
    ReadGuard(ReadGuard&&) = delete;
    ReadGuard& operator=(ReadGuard&&) = delete;
    ~ReadGuard() { flag_ = false; }

private:
    bool& flag_;
};

FileSelectionSession::FileSelectionSession(Report& report, SimulationData& sim, FileChooser& chooser,
                                           ProgressFn progress)
    : report_(report), sim_(sim), chooser_(chooser), progress_(std::move(progress)) {}

void FileSelectionSession::Activate() {
    if (reading_) {
        return;
    }
    if (state_ == FileSelectionState::AnalysisShown) {
        state_ = report_.StatFileLoaded || report_.PoolCount() > 0 ? FileSelectionState::StatisticsRead
                                                                   : FileSelectionState::NoFile;
    }
    if (!aboutClosedOnce_) {
        controls_.simulationPath.clear();
        controls_.next = false;
        controls_.reset = false;
        controls_.simulationPicture = StatusPicture::NotChosen;
        controls_.simulationRead = {};
    }
}

std::optional<std::filesystem::path> FileSelectionSession::Choose(std::string_view filters) {
    const auto chosen = chooser_.ChooseFileToOpen(ReportFileRequest(filters, lastFolder_));
    return chosen ? std::optional(Chosen(*chosen)) : std::nullopt;
}

std::filesystem::path FileSelectionSession::Chosen(const std::filesystem::path& path) {
    std::filesystem::path chosen(std::string(TrimBlanks(path.string())));
    lastFolder_ = chosen.parent_path();
    return chosen;
}

bool FileSelectionSession::StartStatisticsChoice() {
    if (reading_) {
        return false;
    }
    controls_.statisticsPath.clear();
    controls_.simulationPath.clear();
    controls_.openSimulation = false;
    return true;
}

Messages FileSelectionSession::OpenStatistics() {
    if (!StartStatisticsChoice()) {
        return {};
    }
    const auto path = Choose(StatFileFilters);
    if (!path) {
        controls_.reset = true;
        // Next takes the focus when it can; before any read it is still disabled.
        controls_.focus = controls_.next ? FocusTarget::Next : FocusTarget::OpenStatistics;
        return {};
    }
    return ReadStatistics(*path);
}

Messages FileSelectionSession::OpenStatistics(const std::filesystem::path& path) {
    return StartStatisticsChoice() ? ReadStatistics(Chosen(path)) : Messages{};
}

std::optional<SimReadResult> FileSelectionSession::OpenSimulation(const std::filesystem::path& path) {
    if (reading_ || !controls_.openSimulation) {
        return std::nullopt;
    }
    return ReadSimulation(Chosen(path));
}

DroppedRead FileSelectionSession::ReadForDrop(const std::filesystem::path& path) const {
    if (ReaderKindOf(path) != ReportKind::Simulation) {
        return DroppedRead::Statistics; // a file that is no report too: its read says why
    }
    return controls_.openSimulation ? DroppedRead::Simulation : DroppedRead::StatisticsFirst;
}

Messages FileSelectionSession::ReadStatistics(const std::filesystem::path& path) {
    if (reading_) {
        return {};
    }
    controls_.statisticsPath = path.string();
    controls_.simulationPath.clear();
    LoadOutcome read;
    {
        const ReadGuard guard(reading_);
        read = LoadInto(report_, sim_, Request(path, std::nullopt, FilesNamed(path, {})));
    }
    const StatReadResult& result = read.statRead;
    statisticsFile_ = FullPath(path);
    simulationFile_.clear();
    simulationTried_.clear();
    if (result.Loaded()) {
        recent_.ReadStatistics(path);
    }
    // Whatever the outcome, what was read can be analysed; the picture tells how the read ended.
    controls_.statisticsPicture = PictureOf(result);
    controls_.statisticsRead = SummaryOf(result, report_);
    controls_.simulationPicture = StatusPicture::MayChoose;
    controls_.simulationRead = {};
    controls_.openSimulation = true;
    controls_.next = true;
    controls_.reset = true;
    controls_.focus = FocusTarget::Next;
    state_ = FileSelectionState::StatisticsRead;
    // Told once the read is over, so nothing runs inside it while a box waits.
    return std::move(read.statMessages);
}

Messages FileSelectionSession::Told(const SimReadResult& result) const {
    return MessagesOf(result, FilesNamed(statisticsFile_, simulationTried_));
}

std::optional<SimReadResult> FileSelectionSession::OpenSimulation() {
    if (reading_ || !controls_.openSimulation) {
        return std::nullopt;
    }
    const auto path = Choose(SimFileFilters);
    if (!path) {
        return std::nullopt;
    }
    return ReadSimulation(*path);
}

std::optional<SimReadResult> FileSelectionSession::ReadSimulation(const std::filesystem::path& path) {
    if (reading_ || !controls_.openSimulation) {
        return std::nullopt;
    }
    controls_.simulationPath = path.string();
    controls_.next = false;
    SimReadResult result;
    {
        const ReadGuard guard(reading_);
        // Beside the Statistics report read before; its messages are told with the files named (Told).
        result = LoadInto(report_, sim_, Request(StatisticsLoaded{}, path, {})).simRead.value_or(SimReadResult{});
    }
    simulationTried_ = FullPath(path);
    simulationFile_ = result.Loaded() ? simulationTried_ : std::filesystem::path();
    if (result.Loaded()) {
        recent_.ReadSimulation(statisticsFile_, path);
    }
    if (result.clearPath) {
        controls_.simulationPath.clear();
    }
    controls_.next = true;
    controls_.focus = FocusTarget::Next;
    controls_.simulationPicture = PictureOf(result);
    controls_.simulationRead = SummaryOf(result);
    controls_.reset = true;
    state_ = FileSelectionState::SimulationRead;
    return result;
}

Messages FileSelectionSession::OpenRecent(std::size_t index) {
    if (reading_ || index >= recent_.Entries().size()) {
        return {};
    }
    const RecentReport chosen = recent_.Entries()[index];
    Messages told;
    for (const RecentReport& gone : recent_.ForgetGone()) {
        told.push_back({"Recent Reports",
                        "\"" + gone.statistics.string() +
                            (gone.simulation.empty() ? "" : "\" with \"" + gone.simulation.string()) +
                            "\" is no longer there: it is taken off the list of recent reports.",
                        MessageIcon::Information});
    }
    if (!Available(chosen)) {
        return told;
    }
    Messages read = ReadStatistics(chosen.statistics);
    told.insert(told.end(), read.begin(), read.end());
    if (report_.StatFileLoaded && !chosen.simulation.empty()) {
        if (const auto sim = ReadSimulation(chosen.simulation)) {
            read = Told(*sim);
            told.insert(told.end(), read.begin(), read.end());
        }
    }
    return told;
}

LoadRequest FileSelectionSession::Request(StatisticsSource statistics,
                                          const std::optional<std::filesystem::path>& simulation,
                                          ReadFiles names) const {
    LoadRequest request;
    request.statistics = std::move(statistics);
    request.simulation = simulation;
    request.limits = limits_;
    request.accepted = FileKinds::RegularOnly; // a FIFO would block the window until a writer opened it
    request.onSimulationFailure = SimulationFailure::KeepsTheStatistics;
    request.adviceNames = std::move(names);
    request.progress = progress_;
    return request;
}

FileSelectionSession::Reread FileSelectionSession::ReadReload(const ReloadRequest& request) {
    Reread read;
    read.request = request;
    read.statistics = FullPath(request.statistics.value_or(statisticsFile_));
    // A new Statistics report comes without the Simulation report of the old one.
    read.simulation =
        FullPath(request.simulation.value_or(request.statistics ? std::filesystem::path() : simulationFile_));
    LoadRequest load = Request(read.statistics, std::nullopt, FilesNamed(read.statistics, read.simulation));
    if (!read.simulation.empty()) {
        load.simulation = read.simulation;
    }
    load.onSimulationFailure = SimulationFailure::FailsTheLoad;
    const ReadGuard guard(reading_);
    LoadedReport loaded = LoadReport(load);
    read.report = std::move(loaded.report);
    read.sim = std::move(loaded.sim);
    read.statRead = loaded.outcome.statRead;
    read.simRead = loaded.outcome.simRead;
    read.told = loaded.outcome.Told();
    read.loaded = loaded.outcome.Loaded();
    return read;
}

Messages FileSelectionSession::Adopt(Reread read) {
    report_ = std::move(read.report);
    sim_ = std::move(read.sim);
    statisticsFile_ = read.statistics;
    simulationFile_ = read.simulation;
    simulationTried_ = read.simulation;
    controls_.statisticsPath = read.statistics.string();
    controls_.simulationPath = read.simulation.string();
    controls_.statisticsPicture = PictureOf(read.statRead);
    controls_.statisticsRead = SummaryOf(read.statRead, report_);
    controls_.simulationPicture = read.simRead ? PictureOf(*read.simRead) : StatusPicture::MayChoose;
    controls_.simulationRead = read.simRead ? SummaryOf(*read.simRead) : ReadSummary{};
    if (read.simulation.empty()) {
        recent_.ReadStatistics(read.statistics);
    } else {
        recent_.ReadSimulation(read.statistics, read.simulation);
    }
    return std::move(read.told);
}

namespace {

// A reload that did not load is told in one box: the fault that stopped the read, and that nothing
// changed.
Messages NotReadAgain(const Messages& told) {
    Message box =
        told.empty() ? Message{"Reload", "The report was not read again.", MessageIcon::Information} : told.back();
    box.hint += std::string(box.hint.empty() ? "" : " ") + "The report read before stays shown.";
    return {box};
}

} // namespace

Messages FileSelectionSession::ReadAgain(const ReloadRequest& request) {
    Reread read = ReadReload(request);
    return read.loaded ? Adopt(std::move(read)) : NotReadAgain(read.told);
}

ReloadRead FileSelectionSession::ReadForReload(const ReloadRequest& request) {
    if (reading_) {
        return {};
    }
    pending_.reset();
    Reread read = ReadReload(request);
    if (!read.loaded) {
        return {false, NotReadAgain(read.told)};
    }
    pending_ = std::move(read);
    return {true, {}};
}

void FileSelectionSession::Reset() {
    if (reading_) {
        return;
    }
    ResetReport(report_);
    sim_.Reset();
    controls_.statisticsPath.clear();
    controls_.simulationPath.clear();
    controls_.next = false;
    controls_.reset = false;
    controls_.openSimulation = false;
    controls_.focus = FocusTarget::OpenStatistics;
    controls_.statisticsPicture = StatusPicture::NotChosen;
    controls_.simulationPicture = StatusPicture::NotChosen;
    controls_.statisticsRead = {};
    controls_.simulationRead = {};
    state_ = FileSelectionState::NoFile;
}

FileSelectionSession::NextOutcome FileSelectionSession::Next(AnalysisWindowRunner& runner) {
    if (reading_ || !controls_.next) {
        return NextOutcome::Ignored;
    }
    state_ = FileSelectionState::AnalysisShown;
    AnalysisResume resume;
    for (;;) {
        if (reportShown_ && !statisticsFile_.empty()) {
            reportShown_({statisticsFile_, simulationFile_});
        }
        resume.statistics = statisticsFile_;
        resume.readAgain = [this](const ReloadRequest& request) { return ReadForReload(request); };
        const AnalysisOutcome outcome = runner.ShowAnalysisModal(report_, sim_, resume);
        std::optional<Reread> read = std::exchange(pending_, std::nullopt);
        if (outcome.exit == AnalysisExit::Finish) {
            return NextOutcome::Quit;
        }
        if (outcome.exit != AnalysisExit::Reload) {
            break;
        }
        // The files the window read before it left are shown; a window that did not read them has them read now.
        Messages told = read && read->request == outcome.reload ? Adopt(std::move(*read)) : ReadAgain(outcome.reload);
        resume = {outcome.place, std::move(told), statisticsFile_, {}};
    }
    ClearSimulationState(sim_); // back here, the simulation is read again before it is shown
    Activate();
    return NextOutcome::Returned;
}

} // namespace ornexa
