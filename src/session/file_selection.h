#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "load/report_load.h"
#include "report/line_reader.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "report/stat_reader.h"
#include "session/analysis_session.h"
#include "session/file_dialogs.h"
#include "session/recent_reports.h"
#include "simulation/sim_data.h"
#include "simulation/sim_reader.h"

namespace ornexa {

// Shows the analysis window modally, resumed at a place after a reload; returns how it was left.
class AnalysisWindowRunner {
public:
    AnalysisWindowRunner() = default;
    AnalysisWindowRunner(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner& operator=(const AnalysisWindowRunner&) = delete;
    AnalysisWindowRunner(AnalysisWindowRunner&&) = delete;
    AnalysisWindowRunner& operator=(AnalysisWindowRunner&&) = delete;
    virtual ~AnalysisWindowRunner() = default;
    virtual AnalysisOutcome ShowAnalysisModal(const Report& report, const SimulationData& sim,
                                              const AnalysisResume& resume) = 0;
};

// Status pictures of the two files: not chosen, read whole, may be chosen; then read with warnings
// (cut short, lines left out) and not read, or stopped by a fault part way.
enum class StatusPicture { NotChosen = 1, Read = 2, MayChoose = 3, ReadWithWarnings = 4, NotRead = 5 };

// How the last read of a file ended, as far as the reader knows: for the picture's tooltip and the
// line under the path.
struct ReadSummary {
    std::string fault;              // the text of the box that stopped the read or warned; empty for none
    int poolsRead = 0;              // Statistics: the pools read whole
    int poolsInFile = 0;            // Statistics: the pools its header names; 0 when not known
    std::int64_t stoppedAtLine = 0; // the line the read stopped at; 0 when it read to the end
    int objectLines = 0;            // Simulation: object lines read
    int skippedLines = 0;           // Simulation: object lines left out
    friend bool operator==(const ReadSummary&, const ReadSummary&) = default;
};

enum class FileSelectionState { NoFile, StatisticsRead, SimulationRead, AnalysisShown };

// Which read a file dropped on the window starts: a Simulation report is read after the Statistics
// report it belongs to; anything else goes to the Statistics read, which says what is wrong with it.
enum class DroppedRead { Statistics, Simulation, StatisticsFirst };

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
    ReadSummary statisticsRead; // with pictures 4 and 5
    ReadSummary simulationRead;
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
    // messages (`Told`) are the caller's to show.
    std::optional<SimReadResult> OpenSimulation();
    // The boxes of the Simulation read last, each with its advice naming the files in full.
    [[nodiscard]] Messages Told(const SimReadResult& result) const;
    // "&Open" and "O&pen" with the path known already (a drop, the command line), as if the dialog
    // had answered it.
    Messages OpenStatistics(const std::filesystem::path& path);
    std::optional<SimReadResult> OpenSimulation(const std::filesystem::path& path);
    // The read a file dropped on the window starts, by what it holds.
    [[nodiscard]] DroppedRead ReadForDrop(const std::filesystem::path& path) const;
    // The same reads for a path known already (a drop, the command line, a recent report).
    Messages ReadStatistics(const std::filesystem::path& path);
    std::optional<SimReadResult> ReadSimulation(const std::filesystem::path& path);
    // An entry of the "Recent Reports": its Statistics report and the Simulation report read with
    // it. Entries whose files are gone are taken off the list first, and the user is told.
    Messages OpenRecent(std::size_t index);
    [[nodiscard]] const RecentReports& Recent() const { return recent_; }
    void SetRecent(RecentReports recent) { recent_ = std::move(recent); }
    // "&Reset": forget both files and the report.
    void Reset();

    enum class NextOutcome { Ignored, Returned, Quit };
    // "&Next": the analysis window, shown modally; Quit when the user chose Finish there. A window
    // left to reload reads its files again and is shown anew; when they do not load, the report
    // read before stays and the window tells why.
    NextOutcome Next(AnalysisWindowRunner& runner);
    // A reload asked for in the analysis window: the files are read before the window is left.
    // When they load, the window leaves and is shown again with them; when they do not, it stays,
    // and the one message returned says why (the report read before stays shown).
    ReloadRead ReadForReload(const ReloadRequest& request);

    // Called with the files of the report each time the analysis window is about to show it (after
    // a reload too), so the report can be kept in the history.
    using ReportShownFn = std::function<void(const RecentReport& files)>;
    void SetReportShown(ReportShownFn shown) { reportShown_ = std::move(shown); }

    // How many pools and objects the reads from now on accept (the monitor's limits by default).
    [[nodiscard]] const ReportLimits& Limits() const { return limits_; }
    void SetLimits(const ReportLimits& limits) { limits_ = limits; }

    // The About box was dismissed: from then on returning here keeps the Simulation file shown.
    void AboutDismissed() { aboutClosedOnce_ = true; }
    [[nodiscard]] bool AboutClosedOnce() const { return aboutClosedOnce_; }

private:
    class ReadGuard;
    // The files of a reload, read into a report of their own.
    struct Reread {
        ReloadRequest request;
        std::filesystem::path statistics;
        std::filesystem::path simulation;
        Report report;
        SimulationData sim;
        StatReadResult statRead;
        std::optional<SimReadResult> simRead;
        Messages told;
        bool loaded = false;
    };
    std::optional<std::filesystem::path> Choose(std::string_view filters);
    // A path chosen, its blanks trimmed; the next dialog opens in its folder.
    std::filesystem::path Chosen(const std::filesystem::path& path);
    bool StartStatisticsChoice();
    [[nodiscard]] LoadRequest Request(StatisticsSource statistics,
                                      const std::optional<std::filesystem::path>& simulation, ReadFiles names) const;
    [[nodiscard]] Reread ReadReload(const ReloadRequest& request);
    // Shows the files read again in place of the report's own; returns what the reads told.
    Messages Adopt(Reread read);
    Messages ReadAgain(const ReloadRequest& request);
    void ShowStatisticsRead(const StatReadResult& result, const Report& report);
    void ShowSimulationRead(const SimReadResult& result);

    Report& report_;
    SimulationData& sim_;
    FileChooser& chooser_;
    ProgressFn progress_;
    ReportShownFn reportShown_;
    FileSelectionControls controls_;
    FileSelectionState state_ = FileSelectionState::NoFile;
    std::filesystem::path lastFolder_;
    std::filesystem::path statisticsFile_;  // the files read, as chosen
    std::filesystem::path simulationFile_;  // empty for none
    std::filesystem::path simulationTried_; // the Simulation file read last, loaded or not
    std::optional<Reread> pending_;         // a reload read before its window was left
    RecentReports recent_;
    ReportLimits limits_;
    bool reading_ = false;
    bool aboutClosedOnce_ = false;
};

} // namespace ornexa
