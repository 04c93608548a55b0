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
    FileDialogRequest request;
    request.filters = ParseFilterList(filters);
    request.selectedFilter = 2; // the third entry: Stat Files, Sim Files
    request.folder = lastFolder_;
    auto chosen = chooser_.ChooseFileToOpen(request);
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
    controls_.statisticsPath = path->string();
    StatReadResult result;
    {
        const ReadGuard guard(reading_);
        ResetReport(report_);
        sim_.Reset();
        result = ReadStatisticsFile(report_, *path, progress_, FileKinds::RegularOnly);
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
    controls_.simulationPath = path->string();
    controls_.next = false;
    SimReadResult result;
    {
        const ReadGuard guard(reading_);
        result = ReadSimulationFile(report_, sim_, *path, progress_, FileKinds::RegularOnly);
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
    if (runner.ShowAnalysisModal(report_, sim_) == AnalysisExit::Finish) {
        return NextOutcome::Quit;
    }
    ClearSimulationState(sim_); // back here, the simulation is read again before it is shown
    Activate();
    return NextOutcome::Returned;
}

} // namespace ornexa
