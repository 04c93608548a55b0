#pragma once

#include <vector>

#include "report/messages.h"
#include "report/report_model.h"
#include "rules/pool_usage.h"
#include "simulation/sim_data.h"

namespace ornexa {

inline constexpr double MinClusterRadius = 0.4;
inline constexpr double MaxClusterRadius = 7.6;

// The last cluster analysis: the taking-part objects in object order and, per member, its cluster
// number (before clustering: its maximum working set).
struct ClusterRun {
    int result = -1; // number of clusters; 0 clustering failed; -1 not applicable
    int size = 0;    // the simulated size index k the working sets were taken at
    std::vector<int> ClusterMembers;
    std::vector<Long> ClusterOfMember;
    Messages messages; // why a run gave up (an overflow), in the order it happened
};

// Whether object o takes part at size k: a working set there, and a share of getpages of the
// pool's usage (random, or sequential and RID list) of at least `threshold` percent.
bool TakesPart(const ObjectRecord& o, const ObjectSimulation& simulated, int k, PoolUsage usage, double threshold);

// Groups the members' x values (in standard deviations of the whole set) into clusters no wider
// than `radius`; writes each member's cluster number into x and -1 into y. Returns the number of
// clusters, 0 after an error, which `told` then holds. Every run ends: a split that would leave a side empty is not
// made.
int BuildClusters(double radius, int m, std::vector<Long>& x, std::vector<Long>& y, Messages& told);

// The cluster analysis of pool p at simulated size k (1-based). A radius below 0.4, or not finite,
// counts as 0.4.
ClusterRun RunClusterAnalysis(const Report& report, const SimulationData& sim, int p, int k, PoolUsage usage,
                              double threshold, double radius);

inline constexpr std::string_view NotApplicableText =
    "The WkSet Size for all objects in the pool is zero. Cluster Analysis not applicable";

// The radius spinner works in tenths, 4..76.
int RadiusTenths(double radius);
std::string RadiusText(int tenths);

} // namespace ornexa
