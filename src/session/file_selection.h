#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/line_reader.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "report/stat_reader.h"
#include "session/analysis_session.h"
#include "session/file_dialogs.h"
#include "simulation/sim_data.h"
#include "simulation/sim_reader.h"

namespace ornexa {

// Shows the analysis window modally; returns when it is closed (Back or Finish).
class AnalysisWindowRunner {
public:
    AnalysisWindowRunner() = default;
    AnalysisWindowRunner(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner& operator=(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner(AnalysisWindowRunner&&) = delete;
    AnalysisWindowRunner& operator=(AnalysisWindowRunner&&) = delete;
    virtual ~AnalysisWindowRunner() = default;
    virtual AnalysisExit ShowAnalysisModal(const Report& report, const SimulationData& sim) = 0;
};

// Status pictures of the two files.
enum class StatusPicture { NotChosen = 1, Read = 2, MayChoose = 3 };

enum class FileSelectionState { NoFile, StatisticsRead, SimulationRead, AnalysisShown };

enum class FocusTarget { OpenStatistics, OpenSimulation, Next, Reset, Cancel };

// Everything the file-selection window shows.
struct FileSelectionControls {
    bool openStatistics = true;  // "&Open"
    bool openSimulation = false; // "O&pen"
    bool next = false;           // "&Next"
    bool reset = false;          // "&Reset"
    bool cancel = true;          // "&Cancel"
    std::string statisticsPath;
    std::string simulationPath;
    StatusPicture statisticsPicture = StatusPicture::NotChosen;
    StatusPicture simulationPicture = StatusPicture::NotChosen;
    FocusTarget focus = FocusTarget::OpenStatistics;
};

// The file-selection window's decisions: which file is read when, what each button does to the
// report, which buttons are enabled. No read, reset or analysis window starts while a read runs.
class FileSelectionSession {
public:
    FileSelectionSession(Report& report, SimulationData& sim, FileChooser& chooser, ProgressFn progress = {});

    [[nodiscard]] const FileSelectionControls& Controls() const { return controls_; }
    [[nodiscard]] FileSelectionState State() const { return state_; }
    [[nodiscard]] bool Reading() const { return reading_; }
    // The folder of the file chosen last, where the next dialog opens.
    [[nodiscard]] const std::filesystem::path& LastFolder() const { return lastFolder_; }
    void SetLastFolder(std::filesystem::path folder) { lastFolder_ = std::move(folder); }

    // The window is shown or becomes active again.
    void Activate();
    // "&Open": choose and read a Statistics file. Returns the read's messages, to be shown once the
    // read is over.
    Messages OpenStatistics();
    // "O&pen": choose and read a Simulation file. Returns the read's result when one ran; its
    // messages (`MessagesOf`) are the caller's to show.
    std::optional<SimReadResult> OpenSimulation();
    // "&Reset": forget both files and the report.
    void Reset();

    enum class NextOutcome { Ignored, Returned, Quit };
    // "&Next": the analysis window, shown modally; Quit when the user chose Finish there.
    NextOutcome Next(AnalysisWindowRunner& runner);

    // The About box was dismissed: from then on returning here keeps the Simulation file shown.
    void AboutDismissed() { aboutClosedOnce_ = true; }
    [[nodiscard]] bool AboutClosedOnce() const { return aboutClosedOnce_; }

private:
    class ReadGuard;
    std::optional<std::filesystem::path> Choose(std::string_view filters);

    Report& report_;
    SimulationData& sim_;
    FileChooser& chooser_;
    ProgressFn progress_;
    FileSelectionControls controls_;
    FileSelectionState state_ = FileSelectionState::NoFile;
    std::filesystem::path lastFolder_;
    bool reading_ = false;
    bool aboutClosedOnce_ = false;
};

} // namespace ornexa
