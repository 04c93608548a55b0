#include "session/analysis_session.h"

#include <algorithm>
#include <exception>

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

// Appends what a later step told to what the earlier ones did.
void Append(Messages& told, Messages more) {
    told.insert(told.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
}

} // namespace

AnalysisSession::AnalysisSession(const Report& report, const SimulationData& sim, std::filesystem::path thresholdFolder,
                                 NumberStyle style)
    : report_(report), sim_(sim), thresholdFolder_(std::move(thresholdFolder)), style_(style),
      reportPage_(report, style), poolPage_(report, sim, style), objectPage_(report, style),
      rulePage_(report, sim, style), simPage_(report, sim, style), clusterPage_(report, sim, thresholdFolder_) {
    for (int t = 0; t < AnalysisTabCount; ++t) {
        tabs_[static_cast<std::size_t>(t)].caption = TabTexts[static_cast<std::size_t>(t)].caption;
    }
}

int AnalysisSession::SimulatedPool() const {
    return sim_.ShownPool();
}

void AnalysisSession::SetCurrentPool(int pool) {
    currentPool_ = pool;
    poolPage_.SetPool(pool);
    simPage_.SetPool(pool);
    clusterPage_.SetPool(pool);
}

void AnalysisSession::Load() {
    tabs_[SimGraphTab].visible = sim_.SimFileLoaded || HasDb2SizeCurve(report_);
    tabs_[SimClusterTab].visible = sim_.SimFileLoaded;
    tabs_[SimGraphTab].enabled = tabs_[SimClusterTab].enabled = false;
    for (const int t : {PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab}) {
        tabs_[static_cast<std::size_t>(t)].enabled = false;
    }
    reportPage_.Load();
}

Messages AnalysisSession::Activate() {
    Messages told;
    if (!reportPage_.PoolList().empty()) {
        reportPage_.ShowPool(1);
        SetCurrentPool(1);
        told = poolPage_.SelectGraphType(1);
    }
    objectPage_.SetPool(currentPool_);
    Append(told, objectPage_.SelectFromList());
    rulePage_.SetPool(currentPool_);
    Append(told, SelectTab(ReportInfoTab));
    return told;
}

Messages AnalysisSession::SelectTab(int tab) {
    if (tab < 0 || tab >= AnalysisTabCount) {
        return {};
    }
    selectedTab_ = tab;
    poolPage_.CloseDetails();
    statusText_ = TabTexts[static_cast<std::size_t>(tab)].status;
    switch (tab) {
    case ObjectInfoTab:
        return objectPage_.SelectFromList();
    case SimGraphTab:
        return simPage_.Enter();
    case SimClusterTab: {
        Messages told = clusterPage_.Enter(Usage());
        ShowThresholdWarning();
        return told;
    }
    default:
        return {};
    }
}

Messages AnalysisSession::SelectPoolFromList(int row) {
    const auto& pools = reportPage_.PoolList();
    if (row < 0 || row >= static_cast<int>(pools.size())) {
        return {};
    }
    for (const int t : {PoolInfoTab, ObjectInfoTab, PoolStatAnalysisTab}) {
        tabs_[static_cast<std::size_t>(t)].enabled = true;
    }
    SetCurrentPool(pools[static_cast<std::size_t>(row)].pool);
    reportPage_.ShowPool(currentPool_);
    poolPage_.ShowHeader();
    objectPage_.SetPool(currentPool_);
    Messages told = poolPage_.DrawGraph();
    rulePage_.SetPool(currentPool_);
    SimulationTest();
    return told;
}

Messages AnalysisSession::ShowPoolChange(int pool, const char* failureTitle) {
    try {
        const ObjectRange range = PoolObjects(report_, pool);
        SetCurrentPool(pool);
        objectPage_.ShowObject(range.empty() ? 0 : range.first);
        reportPage_.ShowPool(pool);
        poolPage_.ShowHeader();
        objectPage_.SetPool(pool);
        // Redrawn once the list holds the new pool, so the title names the object shown.
        Messages told = objectPage_.DrawGraph();
        Append(told, poolPage_.DrawGraph());
        rulePage_.SetPool(currentPool_);
        SimulationTest();
        return told;
    } catch (const std::exception& e) {
        return {{failureTitle, e.what(), MessageIcon::Information}};
    }
}

Messages AnalysisSession::ShowNextPool() {
    if (report_.PoolCount() == 0) {
        return {};
    }
    return ShowPoolChange(std::min(currentPool_ + 1, report_.PoolCount()), "Display Next Pool");
}

Messages AnalysisSession::ShowPreviousPool() {
    if (report_.PoolCount() == 0) {
        return {};
    }
    return ShowPoolChange(std::max(currentPool_ - 1, 1), "Display Previous Pool");
}

void AnalysisSession::SimulationTest() {
    const int simulated = SimulatedPool();
    // Only the pool the Simulation report was matched to has simulation data to show.
    const bool enabled = simulated != 0 && currentPool_ == simulated;
    tabs_[SimClusterTab].enabled = enabled;
    tabs_[SimGraphTab].enabled = SimGraphAvailable(report_, sim_, currentPool_);
    if (enabled) {
        clusterPage_.SetPoolSizes(SimulatedPoolSizes(sim_, simulated));
    }
}

Messages AnalysisSession::SelectPoolGraphType(int type) {
    return poolPage_.SelectGraphType(type);
}

void AnalysisSession::ClickPoolChart(std::optional<ChartHit> hit) {
    // The status bar tells which bar was hit in words: its rank and object.
    if (poolPage_.ClickChart(hit)) {
        statusText_ = poolPage_.ClickedBarText();
        // The object of the bar becomes the one the object tab shows. Its chart is not on the
        // screen, so what it would say of missing data waits until the user draws it there.
        (void)objectPage_.ChooseObject(poolPage_.DetailsObject());
    }
}

std::shared_ptr<const ObjectTable> AnalysisSession::ObjectTableOfPool() const {
    if (!objectTable_ || objectTable_->pool != currentPool_) {
        objectTable_ = std::make_shared<const ObjectTable>(BuildObjectTable(report_, sim_, currentPool_));
    }
    return objectTable_;
}

Messages AnalysisSession::SelectObjectRow(int row) {
    return objectPage_.SelectRow(row);
}

Messages AnalysisSession::SetClusterUsage(PoolUsage usage) {
    SetUsage(usage);
    Messages told = clusterPage_.Run(Usage(), true);
    ShowThresholdWarning();
    return told;
}

void AnalysisSession::ShowThresholdWarning() {
    if (const auto& warning = clusterPage_.ThresholdWarning()) {
        statusText_ = *warning;
        shownWarning_ = *warning;
    } else if (!shownWarning_.empty() && statusText_ == shownWarning_) {
        statusText_ = TabTexts[SimClusterTab].status; // this usage's file was found
        shownWarning_.clear();
    }
}

void AnalysisSession::ClickClusterRow(int row) {
    const std::uint64_t before = clusterPage_.Version();
    clusterPage_.ClickClusterRow(row);
    if (clusterPage_.Version() != before) {
        statusText_ = clusterPage_.Status();
    }
}

Messages AnalysisSession::CreateClusterFile(FileChooser& chooser) {
    const std::uint64_t before = clusterPage_.Version();
    Messages told = clusterPage_.CreateClusterFile(chooser, saveFolders_);
    if (clusterPage_.Version() != before) {
        statusText_ = clusterPage_.Status();
    }
    return told;
}

Messages AnalysisSession::CreateIndexFile(const std::filesystem::path& folder) {
    if (!report_.HasPool(currentPool_)) {
        return {};
    }
    return WriteIndexExcludeFile(report_, currentPool_, folder).messages;
}

std::optional<PrintedReport> AnalysisSession::PrintedTab() const {
    if (selectedTab_ == ReportInfoTab) {
        return SummaryReport(report_, style_);
    }
    if (!report_.HasPool(currentPool_)) {
        return std::nullopt;
    }
    switch (selectedTab_) {
    case PoolInfoTab:
        return PoolGraphReport(report_, currentPool_, poolPage_.Graph(), style_);
    case ObjectInfoTab:
        return ObjectGraphReport(report_, currentPool_, objectPage_.Graph());
    case SimGraphTab:
        return SimGraphReport(report_, currentPool_, simPage_.Chart(simPage_.SubTab()),
                              SimSubTabCaption(simPage_.SubTab()));
    case SimClusterTab:
        return ClusterReport(report_, sim_, currentPool_, clusterPage_.LastRun(), clusterPage_.Clusters(), Usage());
    default:
        return std::nullopt; // the rule tab prints nothing
    }
}

std::optional<AnalysisSession::PrintJob> AnalysisSession::Print() {
    if (!Printable()) {
        return std::nullopt;
    }
    auto pages = PrintedTab();
    if (!pages) {
        return std::nullopt;
    }
    PrintJob job{std::move(*pages), !printedBefore_};
    printedBefore_ = true;
    return job;
}

void AnalysisSession::Back() {
    exit_ = AnalysisExit::Back;
    SetCurrentPool(0);
    objectPage_.ShowObject(0);
}

void AnalysisSession::Finish() {
    exit_ = AnalysisExit::Finish;
}

Messages AnalysisSession::Reload(ReloadRequest request, std::optional<AnalysisPlace> place) {
    if (readAgain_) {
        ReloadRead read = readAgain_(request);
        if (!read.loaded) {
            return std::move(read.told);
        }
    }
    exit_ = AnalysisExit::Reload;
    reload_ = std::move(request);
    reloadPlace_ = std::move(place);
    return {};
}

AnalysisPlace AnalysisSession::Place() const {
    AnalysisPlace place;
    place.tab = selectedTab_;
    if (report_.HasPool(currentPool_)) {
        place.pool = report_.Pools(currentPool_).PoolName.Str();
    }
    if (const int object = CurrentObject(); report_.HasObject(object)) {
        place.object = report_.Objects(object).ObjName.Str();
    }
    return place;
}

Messages AnalysisSession::ResumeAt(const AnalysisPlace& place) {
    Messages told;
    const auto append = [&told](Messages more) { told.insert(told.end(), more.begin(), more.end()); };
    const auto& pools = reportPage_.PoolList();
    const auto pool = std::find_if(pools.begin(), pools.end(), [&](const PoolListEntry& entry) {
        return report_.HasPool(entry.pool) && report_.Pools(entry.pool).PoolName.Str() == place.pool;
    });
    if (place.pool.empty() || pool == pools.end()) {
        return told; // the pool is gone: the window starts as it always does
    }
    append(SelectPoolFromList(static_cast<int>(pool - pools.begin())));
    const auto& objects = objectPage_.List();
    const auto object = std::find_if(objects.begin(), objects.end(), [&](const ObjectListEntry& entry) {
        return report_.HasObject(entry.object) && report_.Objects(entry.object).ObjName.Str() == place.object;
    });
    if (!place.object.empty() && object != objects.end()) {
        append(SelectObjectRow(static_cast<int>(object - objects.begin())));
    }
    if (place.tab > 0 && place.tab < AnalysisTabCount) {
        const TabState& tab = tabs_[static_cast<std::size_t>(place.tab)];
        if (tab.visible && tab.enabled) {
            append(SelectTab(place.tab));
        }
    }
    return told;
}

} // namespace ornexa
