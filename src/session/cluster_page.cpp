#include "session/cluster_page.h"

#include <algorithm>

#include "report/number_format.h"
#include "stats/list_sort.h"

namespace ornexa {

std::vector<std::string> SimulatedPoolSizes(const SimulationData& sim, int p) {
    std::vector<std::string> sizes;
    const PoolSimulation& pool = sim.Pools(p);
    for (const int k : sim.Sizes()) {
        sizes.push_back(StrText(static_cast<std::int64_t>(pool.SimPoolSize(k))));
    }
    return sizes;
}

namespace {
// Rows of three text cells in the order of `sort`; none keeps the order they were listed in.
template <class Row> void SortCells(const std::optional<ListSort>& sort, std::vector<Row>& rows) {
    if (!sort) {
        return;
    }
    const auto column = static_cast<std::size_t>(sort->column);
    SortRows(rows, *sort, [column](const Row& row) -> const std::string& { return row.cells.at(column); });
}

// A click on header `column` of a cluster list: its order from now on, the list refilled by the next
// run included, as the caption's marker says.
template <class Row>
void ClickHeader(std::vector<std::string>& captions, std::optional<ListSort>& sort, std::vector<Row>& rows,
                 int column) {
    if (column < 0 || column >= static_cast<int>(captions.size())) {
        return;
    }
    sort = SortListByColumn(captions, column);
    SortCells(sort, rows);
}
} // namespace

ClusterPage::ClusterPage(const Report& report, const SimulationData& sim, const std::filesystem::path& programFolder)
    : report_(report), sim_(sim), thresholdFolders_(ThresholdFolders(programFolder)),
      clusterCaptions_(ClusterListCaptions().begin(), ClusterListCaptions().end()),
      objectCaptions_(ClusterObjectCaptions().begin(), ClusterObjectCaptions().end()) {}

void ClusterPage::SetPoolSizes(std::vector<std::string> sizes) {
    poolSizes_ = std::move(sizes);
    sizeIndex_ = -1;
    Changed();
}

Messages ClusterPage::Enter(PoolUsage usage) {
    if (!poolSizes_.empty()) {
        sizeIndex_ = 0;
    }
    return Run(usage);
}

Messages ClusterPage::SelectPoolSize(int index, PoolUsage usage) {
    if (index < 0 || index >= static_cast<int>(poolSizes_.size())) {
        return {};
    }
    sizeIndex_ = index;
    return Run(usage);
}

Messages ClusterPage::SetRadiusText(std::string text, PoolUsage usage) {
    radiusText_ = std::move(text);
    return Run(usage);
}

void ClusterPage::PresetRadius(std::string text) {
    radiusText_ = std::move(text);
    Changed();
}

Messages ClusterPage::SetTenths(int tenths, PoolUsage usage) {
    return SetRadiusText(ornexa::RadiusText(tenths), usage);
}

namespace {
double RadiusOf(const std::string& text) {
    const Converted<double> value = TextToDouble(text);
    return value ? value.Value() : 0.0; // a text that is not a number counts as 0
}
} // namespace

namespace {
const int MinTenths = RadiusTenths(MinClusterRadius);
const int MaxTenths = RadiusTenths(MaxClusterRadius);
} // namespace

Messages ClusterPage::StepRadius(Direction direction, PoolUsage usage) {
    // Whatever was typed, a step lands within the spinner's range.
    return StepWithin(direction, usage);
}

void ClusterPage::StartRepeat(Direction direction) {
    repeat_ = direction;
    timerEnabled_ = true;
}

Messages ClusterPage::RepeatTick(PoolUsage usage) {
    if (!timerEnabled_) {
        return {};
    }
    return StepWithin(repeat_, usage);
}

Messages ClusterPage::StepWithin(Direction direction, PoolUsage usage) {
    const int step = direction == Direction::Up ? 1 : -1;
    return SetTenths(std::clamp(RadiusTenths(RadiusOf(radiusText_)) + step, MinTenths, MaxTenths), usage);
}

Messages ClusterPage::Run(PoolUsage usage, bool fromUsageButtons) {
    clusterRows_.clear();
    objectRows_.clear();
    const ThresholdLookup lookup = LookUpThreshold(thresholdFolders_, usage);
    if (thresholdWarning_ && status_ == *thresholdWarning_) {
        status_.clear(); // the file of this usage may be there
    }
    thresholdWarning_ = MissingThresholdWarning(lookup);
    if (thresholdWarning_) {
        status_ = *thresholdWarning_;
    }
    run_ = RunClusterAnalysis(report_, sim_, pool_, sizeIndex_ + 1, usage, lookup.threshold, RadiusOf(radiusText_));
    Messages told = run_.messages;
    if (run_.result > 0) {
        clusterRows_ = FillClusterList(sim_, run_);
        SortCells(clusterSort_, clusterRows_);
    } else if (run_.result < 0 && fromUsageButtons) {
        told.push_back({"Cluster Analysis", std::string(NotApplicableText), MessageIcon::Critical});
    }
    Changed();
    return told;
}

void ClusterPage::ClickClusterRow(int row) {
    if (row < 0 || row >= static_cast<int>(clusterRows_.size())) {
        return;
    }
    if (auto shown = ShowClusterObjects(report_, sim_, run_, clusterRows_[static_cast<std::size_t>(row)].cluster)) {
        objectRows_ = std::move(shown->rows);
        SortCells(objectSort_, objectRows_);
        status_ = std::move(shown->status);
        Changed();
    }
}

void ClusterPage::SortClusterList(int column) {
    ClickHeader(clusterCaptions_, clusterSort_, clusterRows_, column);
    Changed();
}
void ClusterPage::SortClusterObjects(int column) {
    ClickHeader(objectCaptions_, objectSort_, objectRows_, column);
    Changed();
}

Messages ClusterPage::CreateClusterFile(FileChooser& chooser, SaveFolders& folders) {
    FileDialogRequest request;
    request.filters = ParseFilterList(ClusterFileFilters);
    request.selectedFilter = 0;
    request.fileName = std::string(DefaultClusterFile);
    request.defaultSuffix = "qvl";
    const auto chosen = ChooseSaveFile(chooser, folders, SaveKind::ClusterFile, std::move(request));
    if (!chosen) {
        return {}; // cancelled: nothing is written
    }
    clusterFileName_ = ornexa::ClusterFileName(*chosen);
    ExportResult written = WriteClusterDataFile(clusterFileName_, objectRows_);
    if (written.Ok()) {
        status_ = std::move(*written.value);
        Changed();
    } else if (!written.messages.empty()) {
        status_ = "Cluster data file not created"; // never "created" after a failed write
        Changed();
    }
    return std::move(written.messages);
}

} // namespace ornexa
