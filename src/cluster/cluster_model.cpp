#include "cluster/cluster_model.h"

#include <cmath>
#include <string>

#include "report/numbers.h"

namespace ornexa {

namespace {

bool Finite(std::initializer_list<double> values) {
    for (const double v : values) {
        if (!std::isfinite(v)) {
            return false;
        }
    }
    return true;
}

// Out of line and cold: an overflow is the rare way out of the statistics loops.
[[gnu::cold, gnu::noinline]] bool Overflow(Messages& told, const char* title) {
    told.push_back({title, std::string(Describe(ReadFailure::Overflow)), MessageIcon::Information});
    return false;
}

} // namespace

double PointDistance(double a, double b, double c, double d) {
    return std::sqrt((a - c) * (a - c) + (b - d) * (b - d));
}

bool clsCluster::CalculateMeanStandardDeviation(const PointArena& points, Messages& told) {
    constexpr const char* title = "Std Dev for Cluster Node";
    int n = 0;
    double sx = 0;
    double sy = 0;
    for (int i = fst_pt; i >= 0; i = points[static_cast<std::size_t>(i)].NextPoint) {
        sx += points[static_cast<std::size_t>(i)].xz;
        sy += points[static_cast<std::size_t>(i)].yz;
        ++n;
    }
    if (n == 0) {
        return true;
    }
    const double xMean = sx / n;
    const double yMean = sy / n;
    double qx = 0;
    double qy = 0;
    for (int i = fst_pt; i >= 0; i = points[static_cast<std::size_t>(i)].NextPoint) {
        const clsPoint& pt = points[static_cast<std::size_t>(i)];
        qx += (pt.xz - xMean) * (pt.xz - xMean);
        qy += (pt.yz - yMean) * (pt.yz - yMean);
    }
    const double xVariance = qx / n;
    const double yVariance = qy / n;
    if (!Finite({xMean, yMean, xVariance, yVariance})) {
        return Overflow(told, title);
    }
    x_variance = xVariance;
    y_variance = yVariance;
    x_mean = xMean;
    y_mean = yMean;
    x_std_dev = std::sqrt(xVariance);
    y_std_dev = std::sqrt(yVariance);
    if (x_std_dev == 0) {
        x_std_dev = 1;
    }
    if (y_std_dev == 0) {
        y_std_dev = 1;
    }
    return true;
}

bool clsCluster::Z_Stat(PointArena& points, Messages& told) {
    for (int i = fst_pt; i >= 0; i = points[static_cast<std::size_t>(i)].NextPoint) {
        clsPoint& pt = points[static_cast<std::size_t>(i)];
        const double xz = (pt.xz - x_mean) / x_std_dev;
        const double yz = (pt.yz - y_mean) / y_std_dev;
        if (!Finite({xz, yz})) {
            return Overflow(told, "Calculating ZStat");
        }
        pt.X = pt.xz;
        pt.Y = pt.yz;
        pt.xz = xz;
        pt.yz = yz;
    }
    return true;
}

bool clsCluster::CalculateMaximumRadius(const PointArena& points, Messages& told) {
    double r = 0;
    for (int i = fst_pt; i >= 0; i = points[static_cast<std::size_t>(i)].NextPoint) {
        const clsPoint& pt = points[static_cast<std::size_t>(i)];
        const double d = PointDistance(x_mean, y_mean, pt.xz, pt.yz);
        if (r < d) {
            r = d;
        }
    }
    if (!std::isfinite(r)) {
        return Overflow(told, "Calculate Max Cluster Radius");
    }
    radius = r;
    return true;
}

} // namespace ornexa
