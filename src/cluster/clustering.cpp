#include "cluster/clustering.h"

#include <algorithm>
#include <cmath>

#include "cluster/cluster_model.h"
#include "report/number_format.h"

namespace ornexa {

bool TakesPart(const ObjectRecord& o, const ObjectSimulation& simulated, int k, PoolUsage usage, double threshold) {
    if (o.ObjGetPages <= 0 || usage == PoolUsage::None) {
        return false;
    }
    const double part = usage == PoolUsage::Sequential
                            ? static_cast<double>(o.GetPagesByAccess(1)) + o.GetPagesByAccess(3)
                            : static_cast<double>(o.GetPagesByAccess(2));
    const double share = part / o.ObjGetPages * 100;
    return simulated.SimMaxWorkSet(k) > 0 && share >= threshold;
}

namespace {

// Splits c at its mean: points at or above it stay, the others go to a new cluster right after c.
// Returns false, changing nothing, when one side would be empty.
bool SplitCluster(std::vector<clsCluster>& clusters, std::size_t c, PointArena& points) {
    const clsCluster& cluster = clusters[c];
    const bool byX = cluster.x_variance > cluster.y_variance;
    const double mean = byX ? cluster.x_mean : cluster.y_mean;
    int aFirst = -1;
    int aLast = -1;
    int bFirst = -1;
    int bLast = -1;
    for (int i = cluster.fst_pt; i >= 0;) {
        clsPoint& pt = points[static_cast<std::size_t>(i)];
        const int next = pt.NextPoint;
        const bool above = (byX ? pt.xz : pt.yz) >= mean;
        int& first = above ? aFirst : bFirst;
        int& last = above ? aLast : bLast;
        if (last >= 0) {
            points[static_cast<std::size_t>(last)].NextPoint = i;
        } else {
            first = i;
        }
        last = i;
        pt.NextPoint = -1;
        i = next;
    }
    if (aFirst < 0 || bFirst < 0) { // relink the chain as it was
        clusters[c].fst_pt = aFirst >= 0 ? aFirst : bFirst;
        return false;
    }
    clsCluster added;
    added.fst_pt = bFirst;
    added.NextCluster = clusters[c].NextCluster;
    clusters.push_back(added);
    clusters[c].fst_pt = aFirst;
    clusters[c].NextCluster = static_cast<int>(clusters.size() - 1);
    return true;
}

} // namespace

int BuildClusters(double radius, int m, std::vector<Long>& x, std::vector<Long>& y, Messages& told) {
    if (m <= 0) {
        return 0;
    }
    PointArena points(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j) {
        clsPoint& pt = points[static_cast<std::size_t>(j)];
        pt.xz = x[static_cast<std::size_t>(j)];
        pt.yz = y[static_cast<std::size_t>(j)];
        pt.ion = j;
        pt.NextPoint = j + 1 < m ? j + 1 : -1;
    }
    std::vector<clsCluster> clusters(1);
    clusters.reserve(static_cast<std::size_t>(m));
    clusters[0].fst_pt = 0;
    if (!clusters[0].CalculateMeanStandardDeviation(points, told) || !clusters[0].Z_Stat(points, told)) {
        return 0;
    }
    for (int c = 0; c >= 0;) {
        const auto at = static_cast<std::size_t>(c);
        if (!clusters[at].CalculateMeanStandardDeviation(points, told) ||
            !clusters[at].CalculateMaximumRadius(points, told)) {
            return 0;
        }
        if (clusters[at].radius <= radius || !SplitCluster(clusters, at, points)) {
            c = clusters[at].NextCluster;
        }
    }
    int number = 0;
    for (int c = 0; c >= 0; c = clusters[static_cast<std::size_t>(c)].NextCluster) {
        ++number;
        for (int i = clusters[static_cast<std::size_t>(c)].fst_pt; i >= 0;
             i = points[static_cast<std::size_t>(i)].NextPoint) {
            const auto ion = static_cast<std::size_t>(points[static_cast<std::size_t>(i)].ion);
            x[ion] = number;
            y[ion] = -1;
        }
    }
    return number;
}

ClusterRun RunClusterAnalysis(const Report& report, const SimulationData& sim, int p, int k, PoolUsage usage,
                              double threshold, double radius) {
    ClusterRun run;
    run.size = k;
    if (!report.HasPool(p) || k < 1 || k > MaxSimSizes) {
        return run;
    }
    const ObjectRange range = PoolObjects(report, p);
    for (const int o : range) {
        if (TakesPart(report.Objects(o), sim.Objects(o), k, usage, threshold)) {
            run.ClusterMembers.push_back(o);
            run.ClusterOfMember.push_back(sim.Objects(o).SimMaxWorkSet(k));
        }
    }
    const int m = static_cast<int>(run.ClusterMembers.size());
    if (m < 3) {
        run.result = -1;
        return run;
    }
    std::vector<Long> y(static_cast<std::size_t>(m), sim.Pools(p).SimPoolSize(k));
    // Below the spinner's smallest radius a split could go on until points coincide; a radius that is
    // no finite number at all runs as the smallest too.
    const double least = std::isfinite(radius) ? std::max(radius, MinClusterRadius) : MinClusterRadius;
    run.result = BuildClusters(least, m, run.ClusterOfMember, y, run.messages);
    return run;
}

int RadiusTenths(double radius) {
    const double tenths = std::nearbyint(radius * 10);
    return std::isfinite(tenths) ? static_cast<int>(std::clamp(tenths, -1e6, 1e6)) : 0;
}

std::string RadiusText(int tenths) {
    return PlainText(tenths / 10.0);
}

} // namespace ornexa
