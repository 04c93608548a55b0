#include "session/file_selection.h"

#include "report/fixed_text.h"

namespace ornexa {

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
    }
}

std::optional<std::filesystem::path> FileSelectionSession::Choose(std::string_view filters) {
    auto chosen = chooser_.ChooseFileToOpen(ReportFileRequest(filters, lastFolder_));
    if (chosen) {
        chosen = std::filesystem::path(std::string(TrimBlanks(chosen->string())));
        lastFolder_ = chosen->parent_path();
    }
    return chosen;
}

Messages FileSelectionSession::OpenStatistics() {
    if (reading_) {
        return {};
    }
    controls_.statisticsPath.clear();
    controls_.simulationPath.clear();
    controls_.openSimulation = false;
    const auto path = Choose(StatFileFilters);
    if (!path) {
        controls_.reset = true;
        // Next takes the focus when it can; before any read it is still disabled.
        controls_.focus = controls_.next ? FocusTarget::Next : FocusTarget::OpenStatistics;
        return {};
    }
    return ReadStatistics(*path);
}

Messages FileSelectionSession::ReadStatistics(const std::filesystem::path& path) {
    if (reading_) {
        return {};
    }
    controls_.statisticsPath = path.string();
    controls_.simulationPath.clear();
    StatReadResult result;
    {
        const ReadGuard guard(reading_);
        ResetReport(report_);
        sim_.Reset();
        result = ReadStatisticsFile(report_, path, progress_, FileKinds::RegularOnly, limits_);
    }
    statisticsFile_ = path;
    simulationFile_.clear();
    if (result.Loaded()) {
        recent_.ReadStatistics(path);
    }
    // Whatever the outcome, what was read can be analysed.
    controls_.statisticsPicture = StatusPicture::Read;
    controls_.simulationPicture = StatusPicture::MayChoose;
    controls_.openSimulation = true;
    controls_.next = true;
    controls_.reset = true;
    controls_.focus = FocusTarget::Next;
    state_ = FileSelectionState::StatisticsRead;
    // Told once the read is over, so nothing runs inside it while a box waits.
    return MessagesOf(result);
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
        result = ReadSimulationFile(report_, sim_, path, progress_, FileKinds::RegularOnly);
    }
    simulationFile_ = result.Loaded() ? path : std::filesystem::path();
    if (result.Loaded()) {
        recent_.ReadSimulation(statisticsFile_, path);
    }
    if (result.clearPath) {
        controls_.simulationPath.clear();
    }
    controls_.next = true;
    controls_.focus = FocusTarget::Next;
    controls_.simulationPicture = StatusPicture::Read;
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
            read = MessagesOf(*sim);
            told.insert(told.end(), read.begin(), read.end());
        }
    }
    return told;
}

Messages FileSelectionSession::ReadAgain(const ReloadRequest& request) {
    const std::filesystem::path statistics = request.statistics.value_or(statisticsFile_);
    // A new Statistics report comes without the Simulation report of the old one.
    const std::filesystem::path simulation =
        request.simulation.value_or(request.statistics ? std::filesystem::path() : simulationFile_);
    Report report;
    SimulationData sim;
    Messages told;
    bool loaded = false;
    {
        const ReadGuard guard(reading_);
        const StatReadResult stat = ReadStatisticsFile(report, statistics, progress_, FileKinds::RegularOnly, limits_);
        told = MessagesOf(stat);
        loaded = stat.Loaded();
        if (loaded && !simulation.empty()) {
            const SimReadResult simRead =
                ReadSimulationFile(report, sim, simulation, progress_, FileKinds::RegularOnly);
            const Messages simTold = MessagesOf(simRead);
            told.insert(told.end(), simTold.begin(), simTold.end());
            loaded = simRead.Loaded();
        }
    }
    if (!loaded) {
        told.push_back(
            {"Reload", "The report was not read again: the one read before stays shown.", MessageIcon::Information});
        return told;
    }
    report_ = std::move(report);
    sim_ = std::move(sim);
    statisticsFile_ = statistics;
    simulationFile_ = simulation;
    controls_.statisticsPath = statistics.string();
    controls_.simulationPath = simulation.string();
    if (simulation.empty()) {
        recent_.ReadStatistics(statistics);
    } else {
        recent_.ReadSimulation(statistics, simulation);
    }
    return told;
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
        const AnalysisOutcome outcome = runner.ShowAnalysisModal(report_, sim_, resume);
        if (outcome.exit == AnalysisExit::Finish) {
            return NextOutcome::Quit;
        }
        if (outcome.exit != AnalysisExit::Reload) {
            break;
        }
        resume = {outcome.place, ReadAgain(outcome.reload), statisticsFile_};
    }
    ClearSimulationState(sim_); // back here, the simulation is read again before it is shown
    Activate();
    return NextOutcome::Returned;
}

} // namespace ornexa
