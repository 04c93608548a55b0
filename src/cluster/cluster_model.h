#pragma once

#include <vector>

#include "report/messages.h"

namespace ornexa {

// One object taking part in cluster analysis.
struct clsPoint {  // NOLINT(readability-identifier-naming): the model's own names
    double xz = 0; // working x: raw until standardised
    double X = 0;  // raw x, saved by Z_Stat
    double yz = 0;
    double Y = 0;
    long ion = 0;       // position in the member list
    int NextPoint = -1; // next point of the same cluster; -1 at the end
};

// The points of one analysis; clusters chain them by index.
using PointArena = std::vector<clsPoint>;

// A chain of points with its statistics; clusters chain by index too.
struct clsCluster { // NOLINT(readability-identifier-naming)
    double x_mean = 0;
    double x_std_dev = 0;
    double x_variance = 0;
    double y_mean = 0;
    double y_std_dev = 0;
    double y_variance = 0;
    double radius = 0;
    int fst_pt = -1;      // first point; -1 for an empty cluster
    int NextCluster = -1; // next cluster; -1 at the end

    // Means, population variances and standard deviations of the points' working coordinates; a
    // standard deviation of 0 becomes 1. Nothing changes for an empty cluster or when a figure
    // overflows (told with the title "Std Dev for Cluster Node"). Returns whether it succeeded.
    bool CalculateMeanStandardDeviation(const PointArena& points, Messages& told);
    // Standardises every point with the cluster's means and standard deviations.
    bool Z_Stat(PointArena& points, Messages& told); // NOLINT(readability-identifier-naming)
    // The largest distance of a point from the cluster's means.
    bool CalculateMaximumRadius(const PointArena& points, Messages& told);
};

double PointDistance(double a, double b, double c, double d);

} // namespace ornexa
