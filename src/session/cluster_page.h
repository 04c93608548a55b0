#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cluster/cluster_views.h"
#include "cluster/clustering.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "rules/threshold_files.h"
#include "session/file_dialogs.h"
#include "session/page_version.h"
#include "stats/list_sort.h"

namespace ornexa {

// The simulated sizes of pool p as the size list offers them.
std::vector<std::string> SimulatedPoolSizes(const SimulationData& sim, int p);

// Which way the radius spinner counts.
enum class Direction { Up, Down };

// The cluster tab of the current pool: the simulated size, the radius with its spinner, the last
// cluster analysis with its two lists, and the cluster data file. The usage threshold files are
// looked for in the program's folder, then in the installed data folder beside it.
class ClusterPage : public PageVersion {
public:
    ClusterPage(const Report& report, const SimulationData& sim, const std::filesystem::path& programFolder);

    // The pool the tab shows.
    void SetPool(int p) { pool_ = p; }

    // The simulated sizes of the pool shown, as the size list offers them.
    void SetPoolSizes(std::vector<std::string> sizes);
    [[nodiscard]] const std::vector<std::string>& PoolSizes() const { return poolSizes_; }

    // Entering the tab: the first simulated size, and one run of the analysis.
    Messages Enter(PoolUsage usage);
    // Each of these reruns the analysis with the current usage and returns what the run told.
    Messages SelectPoolSize(int index, PoolUsage usage);
    Messages SetRadiusText(std::string text, PoolUsage usage);
    // The radius the next run takes, without running (the one kept from the last session).
    void PresetRadius(std::string text);
    // One step of the spinner: up to at most 7.6, down to at least 0.4.
    Messages StepRadius(Direction direction, PoolUsage usage);
    // The spinner held: each tick of its timer steps once more, within 0.4..7.6.
    void StartRepeat(Direction direction);
    void StopRepeat() { timerEnabled_ = false; }
    Messages RepeatTick(PoolUsage usage);

    // Runs the analysis; from the usage buttons a "not applicable" result is told too. Without the
    // threshold file of the usage the status says so, and which folders were searched.
    Messages Run(PoolUsage usage, bool fromUsageButtons = false);

    void ClickClusterRow(int row);
    void SortClusterList(int column);
    void SortClusterObjects(int column);

    // "Create Cluster File": the save dialog (where `folders` says a cluster file goes), then the file
    // of the listed members; the status says whether it was written.
    Messages CreateClusterFile(FileChooser& chooser, SaveFolders& folders);

    [[nodiscard]] int SelectedPoolSize() const { return sizeIndex_; }
    [[nodiscard]] const std::string& RadiusText() const { return radiusText_; }
    [[nodiscard]] Direction RepeatDirection() const { return repeat_; }
    [[nodiscard]] bool TimerEnabled() const { return timerEnabled_; }
    [[nodiscard]] const ClusterRun& LastRun() const { return run_; }
    [[nodiscard]] const std::vector<ClusterListRow>& Clusters() const { return clusterRows_; }
    [[nodiscard]] const std::vector<std::string>& ClusterCaptions() const { return clusterCaptions_; }
    [[nodiscard]] const std::vector<ClusterObjectRow>& Objects() const { return objectRows_; }
    [[nodiscard]] const std::vector<std::string>& ObjectCaptions() const { return objectCaptions_; }
    [[nodiscard]] const std::string& Status() const { return status_; }
    // Why the last run took every object with getpages: its threshold file was not found.
    [[nodiscard]] const std::optional<std::string>& ThresholdWarning() const { return thresholdWarning_; }
    [[nodiscard]] const std::filesystem::path& ClusterFileName() const { return clusterFileName_; }

private:
    Messages SetTenths(int tenths, PoolUsage usage);
    // One step from the radius shown, clamped to 0.4..7.6.
    Messages StepWithin(Direction direction, PoolUsage usage);

    const Report& report_;
    const SimulationData& sim_;
    int pool_ = 0;
    std::vector<std::filesystem::path> thresholdFolders_;
    std::vector<std::string> poolSizes_;
    int sizeIndex_ = -1;
    std::string radiusText_ = "1.2";
    Direction repeat_ = Direction::Up;
    bool timerEnabled_ = false;
    ClusterRun run_;
    std::vector<ClusterListRow> clusterRows_;
    std::vector<std::string> clusterCaptions_;
    std::vector<ClusterObjectRow> objectRows_;
    std::vector<std::string> objectCaptions_;
    std::optional<ListSort> clusterSort_; // none: the order of the run
    std::optional<ListSort> objectSort_;
    std::string status_;
    std::optional<std::string> thresholdWarning_;
    std::filesystem::path clusterFileName_ = std::string(DefaultClusterFile);
};

} // namespace ornexa
