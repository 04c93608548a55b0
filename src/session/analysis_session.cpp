#include "session/analysis_session.h"

#include <exception>

#include "report/number_format.h"
#include "simulation/sim_reader.h"
#include "stats/object_graph.h"
#include "stats/pool_graph.h"
#include "stats/share_figures.h"

namespace ornexa {

namespace {

struct TabText {
    const char* caption;
    const char* status;
};

constexpr std::array<TabText, AnalysisTabCount> TabTexts{{
    {"Report Info", "General Buffer Pool Report Information"},
    {"Pool Info", "Buffer Pool details"},
    {"Object Info", "Object details"},
    {"Pool Stat Analysis", "Buffer Pool Statistical Analysis"},
    {"Sim Graph Analysis", "Simulation Graphs"},
    {"Sim Cluster Analysis", "Cluster Analysis details"},
}};

std::string Figure(std::int64_t value) {
    return "  " + StrText(value);
}

} // namespace

AnalysisSession::AnalysisSession(const Report& report, const SimulationData& sim, MessageSink& messages,
                                 std::filesystem::path thresholdFolder, NumberStyle style)
    : report_(report), sim_(sim), messages_(messages), thresholdFolder_(std::move(thresholdFolder)), style_(style),
      reportPage_(report, style), rulePage_(report), simPage_(report, sim, messages, style),
      clusterPage_(report, sim, messages, thresholdFolder_) {
    for (int t = 0; t < AnalysisTabCount; ++t) {
        tabs_[static_cast<std::size_t>(t)].caption = TabTexts[static_cast<std::size_t>(t)].caption;
    }
}

int AnalysisSession::SimulatedPool() const {
    return sim_.ShownPool();
}

void AnalysisSession::Tell(const ChartModel& chart) {
    for (const Message& message : NoDataMessages(chart)) {
        messages_.Show(message);
    }
}

void AnalysisSession::SetCurrentPool(int pool) {
    currentPool_ = pool;
    simPage_.SetPool(pool);
    clusterPage_.SetPool(pool);
}

void AnalysisSession::Load() {
    tabs_[SimGraphTab].visible = tabs_[SimClusterTab].visible = sim_.SimFileLoaded;
    tabs_[SimGraphTab].enabled = tabs_[SimClusterTab].enabled = false;
    for (const int t : {PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab}) {
        tabs_[static_cast<std::size_t>(t)].enabled = false;
    }
    reportPage_.Load();
}

void AnalysisSession::Activate() {
    if (!PoolList().empty()) {
        reportPage_.ShowPool(1);
        SetCurrentPool(1);
        SelectPoolGraphType(1);
    }
    FillObjectList();
    SelectObjectFromList();
    ShowObjectGraph();
    rulePage_.SetPool(currentPool_);
    SelectTab(ReportInfoTab);
}

void AnalysisSession::SelectTab(int tab) {
    if (tab < 0 || tab >= AnalysisTabCount) {
        return;
    }
    selectedTab_ = tab;
    poolDetailsVisible_ = false;
    if (tab == ObjectInfoTab) {
        SelectObjectFromList();
    } else if (tab == SimGraphTab) {
        simPage_.Enter();
    } else if (tab == SimClusterTab) {
        clusterPage_.SelectPoolSize(0, Usage());
        clusterPage_.Run(Usage());
    }
    statusText_ = TabTexts[static_cast<std::size_t>(tab)].status;
}

void AnalysisSession::SelectPoolFromList(int row) {
    if (row < 0 || row >= static_cast<int>(PoolList().size())) {
        return;
    }
    for (const int t : {PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab}) {
        tabs_[static_cast<std::size_t>(t)].enabled = true;
    }
    SetCurrentPool(PoolList()[static_cast<std::size_t>(row)].pool);
    ShowPoolHeader();
    FillObjectList();
    DrawPoolGraph();
    rulePage_.SetPool(currentPool_);
    SimulationTest();
}

void AnalysisSession::ShowPoolChange(int pool, const char* failureTitle) {
    try {
        const ObjectRange range = PoolObjects(report_, pool);
        SetCurrentPool(pool);
        currentObject_ = range.empty() ? 0 : range.first;
        ShowPoolHeader();
        FillObjectList();
        // Redrawn once the list holds the new pool, so the title names the object shown.
        ShowObjectGraph();
        DrawPoolGraph();
        rulePage_.SetPool(currentPool_);
        SimulationTest();
    } catch (const std::exception& e) {
        messages_.Show({failureTitle, e.what(), MessageIcon::Information});
    }
}

void AnalysisSession::ShowNextPool() {
    if (report_.PoolCount() == 0) {
        return;
    }
    ShowPoolChange(std::min(currentPool_ + 1, report_.PoolCount()), "Display Next Pool");
}

void AnalysisSession::ShowPreviousPool() {
    if (report_.PoolCount() == 0) {
        return;
    }
    ShowPoolChange(std::max(currentPool_ - 1, 1), "Display Previous Pool");
}

void AnalysisSession::SimulationTest() {
    const int simulated = SimulatedPool();
    // Only the pool the Simulation report was matched to has simulation data to show.
    const bool enabled = simulated != 0 && currentPool_ == simulated;
    tabs_[SimGraphTab].enabled = tabs_[SimClusterTab].enabled = enabled;
    if (enabled) {
        std::vector<std::string> sizes;
        const PoolSimulation& pool = sim_.Pools(simulated);
        for (const int k : sim_.Sizes()) {
            sizes.push_back(StrText(static_cast<std::int64_t>(pool.SimPoolSize(k))));
        }
        clusterPage_.SetPoolSizes(std::move(sizes));
    }
}

PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    PoolHeader h;
    h.poolInfo[0] = std::string(pool.PoolName.Trimmed());
    h.poolInfo[1] = Figure(PoolObjects(report, p).Count());
    h.poolInfo[2] = Figure(pool.VPSize);
    h.poolInfo[3] = Figure(pool.HPSize);
    h.poolInfo[4] = "  " + std::string(pool.CastOut.Padded());
    h.thresholdInfo[0] = Figure(pool.VPSeqThreshold);
    h.thresholdInfo[1] = Figure(pool.HPSeqThreshold);
    h.thresholdInfo[2] = "  " + StrText(pool.DWTH, style);
    h.thresholdInfo[3] = "  " + StrText(pool.VWTH, style);
    h.caption = "Quorvel - " + std::string(pool.PoolName.Trimmed());
    return h;
}

void AnalysisSession::ShowPoolHeader() {
    const int p = currentPool_;
    if (!report_.HasPool(p)) {
        return;
    }
    header_ = MakePoolHeader(report_, p, style_);
    reportPage_.ShowPool(p);
    const PoolSimulation& pool = sim_.Pools(p);
    simDetailsColumns_ = {"Pool Size"};
    for (const int k : sim_.Sizes()) {
        simDetailsColumns_.push_back(PlainText(static_cast<std::int64_t>(pool.SimPoolSize(k))));
    }
}

void AnalysisSession::SelectPoolGraphType(int type) {
    if (type < 1 || type > PoolGraphTypeCount) {
        return;
    }
    poolGraphType_ = type;
    DrawPoolGraph();
}

void AnalysisSession::DrawPoolGraph() {
    const int p = currentPool_;
    if (poolGraphType_ == 0 || !report_.HasPool(p)) {
        return;
    }
    ornexa::DrawPoolGraph(poolGraph_, report_, p, poolGraphType_, style_);
    Tell(poolGraph_.chart);
}

void AnalysisSession::ClickPoolChart(std::optional<ChartHit> hit) {
    if (poolGraph_.chart.kind != ChartKind::Ranked || !hit) {
        return;
    }
    statusText_ = std::to_string(static_cast<int>(HitKind::DataPoint)) + "    " + std::to_string(hit->series) + "    " +
                  std::to_string(hit->point);
    ShowObjectDetailsPanel(poolGraph_.chart.ObjectAt(hit->point));
}

void AnalysisSession::ShowObjectDetailsPanel(int object) {
    if (!report_.HasObject(object)) {
        return;
    }
    poolDetails_ = ObjectDetailFigures(report_, object, style_);
    poolDetailsVisible_ = true;
}

void AnalysisSession::FillObjectList() {
    objectList_.clear();
    selectedObjectRow_.reset();
    const int p = currentPool_;
    if (!report_.HasPool(p)) {
        return;
    }
    const ObjectRange range = PoolObjects(report_, p);
    for (const int o : range) {
        const ObjectRecord& object = report_.Objects(o);
        objectList_.push_back({o, std::string(object.ObjName.Trimmed()), IconOf(object)});
    }
    if (!objectList_.empty()) {
        selectedObjectRow_ = 0; // a filled list starts with its first row selected
    }
}

void AnalysisSession::SelectObjectRow(int row) {
    if (row < 0 || row >= static_cast<int>(objectList_.size())) {
        return;
    }
    selectedObjectRow_ = row;
    SelectObjectFromList();
}

void AnalysisSession::SelectObjectFromList() {
    if (!selectedObjectRow_) {
        return;
    }
    currentObject_ = objectList_[static_cast<std::size_t>(*selectedObjectRow_)].object;
    objectGraphType_ = 1;
    ShowObjectGraph();
}

void AnalysisSession::SelectObjectGraphType(int type) {
    if (type < 1 || type > ObjectGraphTypeCount) {
        return;
    }
    objectGraphType_ = type;
    ShowObjectGraph();
}

void AnalysisSession::ShowObjectGraph() {
    if (objectGraphType_ == 0 || currentObject_ == 0) {
        return;
    }
    std::optional<std::string> rowText;
    if (selectedObjectRow_) {
        rowText = objectList_[static_cast<std::size_t>(*selectedObjectRow_)].text;
    }
    ornexa::ShowObjectGraph(objectGraph_, report_, currentObject_, objectGraphType_, rowText, style_);
    Tell(objectGraph_.chart);
}

void AnalysisSession::SortObjectList(int column) {
    const ListSort sort = SortListByColumn(objectCaptions_, column);
    const int selectedObject =
        selectedObjectRow_ ? objectList_[static_cast<std::size_t>(*selectedObjectRow_)].object : 0;
    SortRows(objectList_, sort, [](const ObjectListEntry& row) { return row.text; });
    for (std::size_t i = 0; i < objectList_.size(); ++i) { // the selection follows its row
        if (objectList_[i].object == selectedObject) {
            selectedObjectRow_ = static_cast<int>(i);
        }
    }
}

void AnalysisSession::SetUsage(PoolUsage usage) {
    rulePage_.SetUsage(usage);
}

void AnalysisSession::SetClusterUsage(PoolUsage usage) {
    SetUsage(usage);
    clusterPage_.Run(rulePage_.Usage(), true);
}

bool AnalysisSession::CreateIndexFile(const std::filesystem::path& folder) {
    const int p = currentPool_;
    if (!report_.HasPool(p)) {
        return false;
    }
    return WriteIndexExcludeFile(report_, p, folder, messages_);
}

void AnalysisSession::Back() {
    exit_ = AnalysisExit::Back;
    currentPool_ = currentObject_ = 0;
}

void AnalysisSession::Finish() {
    exit_ = AnalysisExit::Finish;
}

} // namespace ornexa
