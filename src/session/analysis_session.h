#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "print/printed_report.h"
#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "session/cluster_page.h"
#include "session/file_dialogs.h"
#include "session/object_info_page.h"
#include "session/object_table.h"
#include "session/pool_info_page.h"
#include "session/report_info_page.h"
#include "session/rule_analysis_page.h"
#include "session/sim_graph_page.h"
#include "simulation/sim_data.h"

namespace ornexa {

inline constexpr int AnalysisTabCount = 6;
enum AnalysisTab : int { ReportInfoTab, PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab, SimGraphTab, SimClusterTab };

struct TabState {
    std::string caption;
    bool visible = true;
    bool enabled = true;
};

// How the analysis window was left; Reload leaves it to be shown again with the files read anew.
enum class AnalysisExit { Open, Back, Finish, Reload };

// Where the user was, by name, to come back to once the files are read again.
struct AnalysisPlace {
    std::string pool;   // trimmed pool name; empty for none
    int tab = 0;        // AnalysisTab
    std::string object; // trimmed object name; empty for none
    friend bool operator==(const AnalysisPlace&, const AnalysisPlace&) = default;
};

// The files a reload reads: those of the report shown, or a file dropped on the window instead
// (a Statistics report drops the Simulation report, as opening one does).
struct ReloadRequest {
    std::optional<std::filesystem::path> statistics; // none: the one read before
    std::optional<std::filesystem::path> simulation; // none: the one read before, if any
    friend bool operator==(const ReloadRequest&, const ReloadRequest&) = default;
};

// How a window was left, and what a reload needs to come back.
struct AnalysisOutcome {
    AnalysisExit exit = AnalysisExit::Back;
    ReloadRequest reload; // with Reload
    AnalysisPlace place;  // with Reload
};

// A reload's files read before the window is left: whether they loaded, and what the user is told
// when they did not (the window then stays as it is).
struct ReloadRead {
    bool loaded = false;
    Messages told;
};
using ReloadReader = std::function<ReloadRead(const ReloadRequest& request)>;

// What a window starts with: the Statistics report it shows (its save dialogs start beside it) and,
// shown again after a reload, the place to return to and what the reload has to tell; and how the
// window's own reloads read their files.
struct AnalysisResume {
    std::optional<AnalysisPlace> place;
    Messages told;
    std::filesystem::path statistics;
    ReloadReader readAgain;
};

// What a click on a chart hit; the status bar shows the number.
enum class HitKind { None = 0, DataPoint = 4 };

// The analysis window's coordinator, without widgets: which tabs show and are enabled, the pool
// shown, Back and Finish, and one page per tab that holds what the tab shows. The window paints the
// pages and forwards the user's actions; each action returns what the user must be told, in order.
class AnalysisSession {
public:
    // `thresholdFolder` is the program's folder: the cluster tab looks for the usage threshold files
    // there, then in the installed data folder beside it.
    AnalysisSession(const Report& report, const SimulationData& sim, std::filesystem::path thresholdFolder,
                    NumberStyle style = {});

    // Start-up: loading (tabs, Report Info figures, the pool list) and activation (pool 1 with its
    // first graph, object list and rules, tab 0).
    void Load();
    Messages Activate();

    Messages SelectTab(int tab);
    Messages SelectPoolFromList(int row); // 0-based row of the pool list
    Messages ShowNextPool();
    Messages ShowPreviousPool();
    Messages SelectPoolGraphType(int type); // 1..22
    // A click on the pool chart; a hit bar of a ranked chart opens its object's details panel.
    void ClickPoolChart(std::optional<ChartHit> hit);
    void ClosePoolDetails() { poolPage_.CloseDetails(); }

    Messages SelectObjectRow(int row); // 0-based row of the object list
    Messages SelectObjectGraphType(int type) { return objectPage_.SelectGraphType(type); } // 1..3
    void SortObjectList(int column) { objectPage_.Sort(column); }
    // The object list's order as a window or report before had it.
    void RestoreObjectSort(ListSort sort) { objectPage_.RestoreSort(sort); }
    // An object of the current pool chosen outside the list (a row of the object table): its graph
    // 1, and the list's row with it.
    Messages ChooseObject(int object) { return objectPage_.ChooseObject(object); }
    // The objects of the current pool side by side with their figures; built when first asked for
    // after the pool changed, and shared with whoever holds the one built before.
    [[nodiscard]] std::shared_ptr<const ObjectTable> ObjectTableOfPool() const;

    // The "Pool Usage Intent" of the rule tab: the rules under that usage, which the cluster tab
    // takes too.
    void SetUsage(PoolUsage usage) { rulePage_.SetUsage(usage); }
    // The same choice on the cluster tab: the rules, then a new cluster run, which tells when
    // nothing in the pool can be clustered.
    Messages SetClusterUsage(PoolUsage usage);

    // The cluster page's size, radius and spinner run the analysis with the pool's usage.
    Messages SelectPoolSize(int index) { return clusterPage_.SelectPoolSize(index, Usage()); }
    Messages SetRadiusText(std::string text) { return clusterPage_.SetRadiusText(std::move(text), Usage()); }
    Messages StepRadius(Direction direction) { return clusterPage_.StepRadius(direction, Usage()); }
    Messages RepeatTick() { return clusterPage_.RepeatTick(Usage()); }
    // A row of the cluster list: its members, and "N Objects in Cluster Q" in the status bar.
    void ClickClusterRow(int row);
    // "Create Cluster File": the save dialog, the file, and its outcome in the status bar.
    Messages CreateClusterFile(FileChooser& chooser);
    // Where the window's save dialogs start (charts, lists, the cluster file, the regrouping).
    [[nodiscard]] SaveFolders& Folders() { return saveFolders_; }
    [[nodiscard]] const SaveFolders& Folders() const { return saveFolders_; }
    // "&Create File - All Indexes": the exclude file of the pool's indexes in `folder`.
    Messages CreateIndexFile(const std::filesystem::path& folder);

    // What the selected tab prints, as it shows it now; nothing on the rule tab or without a pool.
    [[nodiscard]] std::optional<PrintedReport> PrintedTab() const;
    // Whether "&Print" shows and "&Print ..." is enabled: on every tab but the rule tab.
    [[nodiscard]] bool Printable() const { return selectedTab_ != PoolStatAnalysisTab; }
    // "&Print": the pages of the tab; the first print of a window asks for the printer first.
    struct PrintJob {
        PrintedReport pages;
        bool choosePrinter = false;
    };
    std::optional<PrintJob> Print();

    void Back();   // "< &Back": leaves; the simulation is forgotten
    void Finish(); // "&Finish": the program ends
    // F5, or a report dropped on the window: leaves to read the files again and come back here.
    // With a reader, the files are read first: when they do not load, the window stays and the
    // message returned says why.
    // `place`: where to come back to, when not where the user is now.
    Messages Reload(ReloadRequest request = {}, std::optional<AnalysisPlace> place = std::nullopt);
    void SetReloadReader(ReloadReader reader) { readAgain_ = std::move(reader); }
    [[nodiscard]] const ReloadRequest& PendingReload() const { return reload_; }
    [[nodiscard]] AnalysisOutcome Outcome() const { return {exit_, reload_, reloadPlace_.value_or(Place())}; }
    // The pool, tab and object shown.
    [[nodiscard]] AnalysisPlace Place() const;
    // After activation: the pool, object and tab of `place` as far as this report still has them.
    Messages ResumeAt(const AnalysisPlace& place);

    [[nodiscard]] const std::array<TabState, AnalysisTabCount>& Tabs() const { return tabs_; }
    [[nodiscard]] int SelectedTab() const { return selectedTab_; }
    [[nodiscard]] const std::string& StatusText() const { return statusText_; }
    [[nodiscard]] bool Closed() const { return exit_ != AnalysisExit::Open; }
    [[nodiscard]] AnalysisExit Exit() const { return exit_; }
    // The pool and object shown; 0 for none.
    [[nodiscard]] int CurrentPool() const { return currentPool_; }
    [[nodiscard]] int CurrentObject() const { return objectPage_.CurrentObject(); }
    // The pool the Simulation report was matched to; 0 without one.
    [[nodiscard]] int SimulatedPool() const;
    // The usage the rules and the cluster analysis take.
    [[nodiscard]] PoolUsage Usage() const { return rulePage_.Usage(); }
    [[nodiscard]] const std::filesystem::path& ThresholdFolder() const { return thresholdFolder_; }
    [[nodiscard]] const ornexa::Report& ShownReport() const { return report_; }
    [[nodiscard]] const SimulationData& ShownSimulation() const { return sim_; }

    // The pages, one per tab.
    [[nodiscard]] const ReportInfoPage& ReportInfo() const { return reportPage_; }
    [[nodiscard]] const PoolInfoPage& PoolInfo() const { return poolPage_; }
    [[nodiscard]] const ObjectInfoPage& ObjectInfo() const { return objectPage_; }
    [[nodiscard]] const RuleAnalysisPage& Rules() const { return rulePage_; }
    [[nodiscard]] SimGraphPage& SimGraphs() { return simPage_; }
    [[nodiscard]] const SimGraphPage& SimGraphs() const { return simPage_; }
    [[nodiscard]] ClusterPage& Clusters() { return clusterPage_; }
    [[nodiscard]] const ClusterPage& Clusters() const { return clusterPage_; }

private:
    // Pool p is shown on every page that follows the pool.
    void SetCurrentPool(int pool);
    // The simulation tabs are enabled for the simulated pool only, with its sizes.
    void SimulationTest();
    Messages ShowPoolChange(int pool, const char* failureTitle);
    // The status bar names a threshold file the cluster run could not find.
    void ShowThresholdWarning();

    const Report& report_;
    const SimulationData& sim_;
    std::filesystem::path thresholdFolder_;
    NumberStyle style_;

    std::array<TabState, AnalysisTabCount> tabs_;
    int selectedTab_ = 0;
    std::string statusText_;
    std::string shownWarning_; // the threshold file's warning the status bar was given last
    AnalysisExit exit_ = AnalysisExit::Open;
    ReloadRequest reload_;
    std::optional<AnalysisPlace> reloadPlace_;
    ReloadReader readAgain_;
    int currentPool_ = 0;
    bool printedBefore_ = false;
    SaveFolders saveFolders_;

    ReportInfoPage reportPage_;
    PoolInfoPage poolPage_;
    ObjectInfoPage objectPage_;
    mutable std::shared_ptr<const ObjectTable> objectTable_; // of the pool shown, once asked for
    RuleAnalysisPage rulePage_;
    SimGraphPage simPage_;
    ClusterPage clusterPage_;
};

} // namespace ornexa
