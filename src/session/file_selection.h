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
#include "simulation/sim_reader.h"

namespace ornexa {

// One entry of an open-file dialog's filter list: "Stat Files (*.sta)" and "*.sta".
struct FileFilter {
    std::string description;
    std::string pattern;
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// Splits a filter list written "description|pattern|description|pattern|".
std::vector<FileFilter> ParseFilterList(std::string_view list);

inline constexpr std::string_view StatFileFilters =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Stat Files (*.sta)|*.sta|";
inline constexpr std::string_view SimFileFilters =
    "All Files (*.*)|*.*|Text Files (*.txt)|*.txt| Sim Files (*.sim)|*.sim|";

// What an open-file dialog is asked to show.
struct FileDialogRequest {
    std::vector<FileFilter> filters;
    int selectedFilter = 0; // 0-based index into filters
    bool hideReadOnly = true;
    std::filesystem::path folder; // where the dialog opens; empty for the dialog's own choice
};

// The open-file dialog: the chosen path, or nothing when the user cancels.
class FileChooser {
public:
    FileChooser() = default;
    FileChooser(const FileChooser&) = delete;
    FileChooser& operator=(const FileChooser&) = delete;
    FileChooser(FileChooser&&) = delete;
    FileChooser& operator=(FileChooser&&) = delete;
    virtual ~FileChooser() = default;
    virtual std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& request) = 0;
};

// Shows the analysis window modally; returns when it is closed (Back or Finish).
class AnalysisWindowRunner {
public:
    AnalysisWindowRunner() = default;
    AnalysisWindowRunner(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner& operator=(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner(AnalysisWindowRunner&&) = delete;
    AnalysisWindowRunner& operator=(AnalysisWindowRunner&&) = delete;
    virtual ~AnalysisWindowRunner() = default;
    virtual void ShowAnalysisModal(Report& report) = 0;
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
    FileSelectionSession(Report& report, MessageSink& messages, FileChooser& chooser, ProgressFn progress = {});

    [[nodiscard]] const FileSelectionControls& controls() const { return controls_; }
    [[nodiscard]] FileSelectionState state() const { return state_; }
    [[nodiscard]] bool reading() const { return reading_; }
    // The folder of the file chosen last, where the next dialog opens.
    [[nodiscard]] const std::filesystem::path& lastFolder() const { return lastFolder_; }
    void setLastFolder(std::filesystem::path folder) { lastFolder_ = std::move(folder); }

    // The window is shown or becomes active again.
    void Activate();
    // "&Open": choose and read a Statistics file.
    void OpenStatistics();
    // "O&pen": choose and read a Simulation file. Returns the read's result when one ran.
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
    MessageSink& messages_;
    FileChooser& chooser_;
    ProgressFn progress_;
    FileSelectionControls controls_;
    FileSelectionState state_ = FileSelectionState::NoFile;
    std::filesystem::path lastFolder_;
    bool reading_ = false;
    bool aboutClosedOnce_ = false;
};

} // namespace ornexa
