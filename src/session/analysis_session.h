#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "rules/config_rules.h"
#include "rules/pool_usage.h"
#include "session/cluster_page.h"
#include "session/report_info_page.h"
#include "session/rule_analysis_page.h"
#include "session/sim_graph_page.h"
#include "simulation/sim_data.h"
#include "stats/graph_view.h"
#include "stats/list_sort.h"
#include "stats/object_graph.h"
#include "stats/pool_list_figures.h"

namespace ornexa {

inline constexpr int AnalysisTabCount = 6;
enum AnalysisTab : int { ReportInfoTab, PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab, SimGraphTab, SimClusterTab };

struct TabState {
    std::string caption;
    bool visible = true;
    bool enabled = true;
};

struct ObjectListEntry {
    int object = 0;
    std::string text; // trimmed ObjName
    ObjectIcon icon = ObjectIcon::Other;
    friend bool operator==(const ObjectListEntry&, const ObjectListEntry&) = default;
};

// The pool header of the Pool Info tab: name, objects, VP size, HP size, cast-out; VPSEQT, HPSEQT,
// DWTH, VWTH; and the window caption.
struct PoolHeader {
    std::array<std::string, 5> poolInfo;
    std::array<std::string, 4> thresholdInfo;
    std::string caption;
};
PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style = {});

// How the analysis window was left.
enum class AnalysisExit { Open, Back, Finish };

// What a click on a chart hit; the status bar shows the number.
enum class HitKind { None = 0, DataPoint = 4 };

// Where a click on a chart landed: the series and point hit.
struct ChartHit {
    int series = 0;
    int point = 0;
};

// The analysis window's state and decisions, without widgets: tabs, the Report Info figures, the
// current pool and object with their views, and the rule review. The window shows what this holds
// and forwards the user's actions.
class AnalysisSession {
public:
    AnalysisSession(const Report& report, const SimulationData& sim, MessageSink& messages,
                    std::filesystem::path thresholdFolder, NumberStyle style = {});

    // Start-up: loading (tabs, Report Info figures, the pool list) and activation (pool 1 with its
    // first graph, object list and rules, tab 0).
    void Load();
    void Activate();

    void SelectTab(int tab);
    void SelectPoolFromList(int row); // 0-based row of the pool list
    void ShowNextPool();
    void ShowPreviousPool();
    void SelectPoolGraphType(int type); // 1..22
    void ClickPoolChart(std::optional<ChartHit> hit);
    void ShowObjectDetailsPanel(int object);
    void ClosePoolDetails() { poolDetailsVisible_ = false; }

    void SelectObjectRow(int row); // 0-based row of the object list
    void SelectObjectFromList();
    void SelectObjectGraphType(int type); // 1..3
    void SortObjectList(int column);

    // The "Pool Usage Intent" of the rule tab: the rules under that usage, which the cluster tab
    // takes too.
    void SetUsage(PoolUsage usage);
    // The same choice on the cluster tab: the rules, then a new cluster run, which tells when
    // nothing in the pool can be clustered.
    void SetClusterUsage(PoolUsage usage);

    void Back();   // "< &Back": leaves; the simulation is forgotten
    void Finish(); // "&Finish": the program ends

    // What the window shows.
    [[nodiscard]] const std::array<TabState, AnalysisTabCount>& Tabs() const { return tabs_; }
    [[nodiscard]] int SelectedTab() const { return selectedTab_; }
    [[nodiscard]] const std::string& StatusText() const { return statusText_; }
    // The Report Info tab.
    [[nodiscard]] const ReportInfoPage& ReportInfo() const { return reportPage_; }
    [[nodiscard]] const std::array<std::string, ReportDataCount>& ReportData() const { return reportPage_.Data(); }
    [[nodiscard]] const std::array<std::string, OverallFigureCount>& Totals() const { return reportPage_.Totals(); }
    [[nodiscard]] const std::vector<PoolListEntry>& PoolList() const { return reportPage_.PoolList(); }
    [[nodiscard]] std::optional<int> SelectedPoolRow() const { return reportPage_.SelectedRow(); }
    [[nodiscard]] const PoolHeader& Header() const { return header_; }
    [[nodiscard]] int PoolGraphType() const { return poolGraphType_; }
    [[nodiscard]] const GraphView& PoolGraph() const { return poolGraph_; }
    [[nodiscard]] bool PoolDetailsVisible() const { return poolDetailsVisible_; }
    [[nodiscard]] const std::array<std::string, 12>& PoolDetails() const { return poolDetails_; }
    [[nodiscard]] const std::vector<std::string>& PoolSizes() const { return clusterPage_.PoolSizes(); }
    [[nodiscard]] const std::vector<std::string>& SimDetailsColumns() const { return simDetailsColumns_; }
    [[nodiscard]] const std::vector<ObjectListEntry>& ObjectList() const { return objectList_; }
    [[nodiscard]] const std::vector<std::string>& ObjectListCaptions() const { return objectCaptions_; }
    [[nodiscard]] std::optional<int> SelectedObjectRow() const { return selectedObjectRow_; }
    [[nodiscard]] int ObjectGraphType() const { return objectGraphType_; }
    [[nodiscard]] const GraphView& ObjectGraph() const { return objectGraph_; }
    [[nodiscard]] PoolUsage Usage() const { return rulePage_.Usage(); }
    // The option button of the usage shown: 1 Random, 0 Sequential.
    [[nodiscard]] int UsageOption() const { return rulePage_.UsageOption(); }
    [[nodiscard]] const RuleAnalysis& RuleReview() const { return rulePage_.Analysis(); }
    [[nodiscard]] const RuleAnalysisPage& RuleAnalysisTab() const { return rulePage_; }
    [[nodiscard]] const std::filesystem::path& ThresholdFolder() const { return thresholdFolder_; }
    [[nodiscard]] bool Closed() const { return exit_ != AnalysisExit::Open; }
    [[nodiscard]] AnalysisExit Exit() const { return exit_; }
    // The pool and object shown; 0 for none.
    [[nodiscard]] int CurrentPool() const { return currentPool_; }
    [[nodiscard]] int CurrentObject() const { return currentObject_; }
    // The pool the Simulation report was matched to; 0 without one.
    [[nodiscard]] int SimulatedPool() const;

    // The simulation and cluster tabs of the simulated pool.
    [[nodiscard]] SimGraphPage& SimGraphs() { return simPage_; }
    [[nodiscard]] const SimGraphPage& SimGraphs() const { return simPage_; }
    [[nodiscard]] ClusterPage& Clusters() { return clusterPage_; }
    [[nodiscard]] const ClusterPage& Clusters() const { return clusterPage_; }
    // The cluster page's size, radius and spinner run the analysis with the pool's usage.
    void SelectPoolSize(int index) { clusterPage_.SelectPoolSize(index, Usage()); }
    void SetRadiusText(std::string text) { clusterPage_.SetRadiusText(std::move(text), Usage()); }
    void StepRadius(Direction direction) { clusterPage_.StepRadius(direction, Usage()); }
    void RepeatTick() { clusterPage_.RepeatTick(Usage()); }
    // "&Create File - All Indexes": the exclude file of the pool's indexes in `folder`.
    bool CreateIndexFile(const std::filesystem::path& folder);

private:
    void ShowPoolHeader();
    void FillObjectList();
    void DrawPoolGraph();
    void ShowObjectGraph();
    void SimulationTest();
    void ShowPoolChange(int pool, const char* failureTitle);
    void SetCurrentPool(int pool);
    void Tell(const ChartModel& chart); // why a chart drew nothing

    const Report& report_;
    const SimulationData& sim_;
    MessageSink& messages_;
    std::filesystem::path thresholdFolder_;
    NumberStyle style_;

    std::array<TabState, AnalysisTabCount> tabs_;
    int selectedTab_ = 0;
    std::string statusText_;
    AnalysisExit exit_ = AnalysisExit::Open;
    int currentPool_ = 0;
    int currentObject_ = 0;

    ReportInfoPage reportPage_;

    PoolHeader header_;
    int poolGraphType_ = 0;
    GraphView poolGraph_;
    bool poolDetailsVisible_ = false;
    std::array<std::string, 12> poolDetails_;
    std::vector<std::string> simDetailsColumns_;

    std::vector<ObjectListEntry> objectList_;
    std::vector<std::string> objectCaptions_{"Object"};
    std::optional<int> selectedObjectRow_;
    int objectGraphType_ = 0;
    GraphView objectGraph_;

    RuleAnalysisPage rulePage_;
    SimGraphPage simPage_;
    ClusterPage clusterPage_;
};

} // namespace ornexa
