#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cluster/clustering.h"
#include "report/messages.h"
#include "report/report_model.h"
#include "report/result.h"
#include "stats/object_graph.h"

namespace ornexa {

// A row of the cluster list: "Cluster", "Smallest Max WS", "Largest Max WS".
struct ClusterListRow {
    int cluster = 0;
    std::array<std::string, 3> cells;
};
const std::array<std::string, 3>& ClusterListCaptions();

// A row of the member list: "Object", "Max Work Set", "Type".
struct ClusterObjectRow {
    int object = 0;
    std::array<std::string, 3> cells;
    ObjectIcon icon = ObjectIcon::Other; // as in the object list
};
const std::array<std::string, 3>& ClusterObjectCaptions();

// The largest and smallest maximum working set at the run's size among the members of cluster q;
// 0 when q has no member.
Long ClusterLargestMaxWS(const SimulationData& sim, const ClusterRun& run, int q);
Long ClusterSmallestMaxWS(const SimulationData& sim, const ClusterRun& run, int q);

std::vector<ClusterListRow> FillClusterList(const SimulationData& sim, const ClusterRun& run);

// The members of cluster q in member order, and the status text "N Objects in Cluster q".
struct ClusterObjects {
    std::vector<ClusterObjectRow> rows;
    std::string status;
};
std::optional<ClusterObjects> ShowClusterObjects(const Report& report, const SimulationData& sim, const ClusterRun& run,
                                                 int q);
// Each cluster's members, 1..result, as places in ClusterMembers in member order (entry q - 1 for
// cluster q), found in one pass: a run of many objects has thousands of clusters.
std::vector<std::vector<std::size_t>> MembersByCluster(const ClusterRun& run);
// The member list's row of object o.
ClusterObjectRow ClusterMemberRow(const Report& report, const SimulationData& sim, const ClusterRun& run, int o);
// The smallest and largest Max Work Set of the members given (0 and 0 for none).
std::pair<Long, Long> MaxWorkSetRange(const SimulationData& sim, const ClusterRun& run,
                                      const std::vector<std::size_t>& members);

// The same for every cluster, 1..result, in one pass over the members (entry q - 1 for cluster q).
std::vector<ClusterObjects> AllClusterObjects(const Report& report, const SimulationData& sim, const ClusterRun& run);

// The save dialog's name with the extension ".qvl": the file name's extension (from its last ".")
// replaced, or ".qvl" appended; folders are never cut.
std::filesystem::path ClusterFileName(const std::filesystem::path& chosen);

inline constexpr std::string_view ClusterFileFilters = "Cluster Files (*.qvl)|*.qvl|All Files (*.*)|*.*";
inline constexpr std::string_view DefaultClusterFile = "Cluster.qvl";
inline constexpr std::string_view IndexExcludeFile = "AINDEX.QVL";

// What an export did: whether the file was written, the status line of the cluster list after a
// written cluster file, and what the user must be told, in order.
// An export file: when written, the status-bar text (empty when its message box tells it all).
using ExportResult = Result<std::string>;

// The cluster data file: the listed members' names in list order, one a line, leaving out catalog
// objects ("DSNDB06") and "U" and "*" objects. Nothing is written, and nothing told, for an empty list.
ExportResult WriteClusterDataFile(const std::filesystem::path& path, const std::vector<ClusterObjectRow>& rows);

// "AINDEX.QVL" in `folder`: the pool's indexes, catalog indexes left out, each name as stored (27
// characters). The outcome is always told.
ExportResult WriteIndexExcludeFile(const Report& report, int p, const std::filesystem::path& folder);

} // namespace ornexa
