#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"

namespace ornexa {

// What kind of chart a surface shows; the numbers are the surface's own kind codes. A time line
// draws its series over collection times (X values in seconds since 1970-01-01 UTC).
enum class ChartKind { Curve = 1, Share = 5, Ranked = 20, TimeLine = 30 };

// How a value axis meets the data: Extend reaches out from the data to the next round steps;
// Percent runs 0 to 100 (hit ratios) and Fraction 0 to 1 (the same ratios divided by 100), each
// wider only for a value outside it and narrower when the largest value would fill less than a
// quarter of it.
enum class AxisEnds { Extend, Percent, Fraction };

// A moment of a time line worth pointing at, drawn as a vertical line with its text
// ("VPSIZE 20000 -> 30000").
struct ChartMarker {
    double x = 0;
    std::string text;
    friend bool operator==(const ChartMarker&, const ChartMarker&) = default;
};

// One chart surface as data: the graph code fills it, a view renders it, a click is turned into a
// point index and the object number behind a bar is read back from it. Series and points count
// from 0; on ranked charts series 1 holds each bar's 1-based object number and is never drawn.
struct ChartModel {
    ChartKind kind = ChartKind::Share;
    bool visible = true;
    std::string title;                       // main title
    std::string subtitle;                    // second title
    std::vector<std::vector<double>> series; // series[s][p]
    std::vector<std::string> labels;         // point labels
    std::vector<double> xValues;             // curve and time-line charts
    std::vector<bool> hiddenSeries;
    std::optional<double> axisMin;
    std::optional<double> axisMax;
    std::optional<double> xMin;
    std::optional<double> xMax;
    AxisEnds axisEnds = AxisEnds::Extend;
    // Time lines: a series that keeps its value until the next point (a setting, not a rate) is
    // drawn as steps; each point's tooltip tells where the point comes from; markers stand at
    // moments of the X axis.
    std::vector<bool> stepSeries;
    std::vector<std::string> toolTips; // per point; empty for none
    std::vector<ChartMarker> markers;
    // Why the last drawing had nothing to draw, each text told to the user in turn; empty when it
    // drew. A chart without data may still show what it showed before.
    std::vector<std::string> noData;
    // Why the chart stands without data because its input does not give the figures it draws ("not
    // in this input"): shown in place of the chart, with its titles; empty for any chart that drew.
    std::string absentText;

    // Opens data for `seriesCount` series of `pointCount` points, all 0 and unlabelled, every
    // series shown, no axis limits and axis ends reaching out, no steps, tooltips, markers or absent
    // text. Titles stay.
    void OpenData(ChartKind chartKind, int seriesCount, int pointCount);
    [[nodiscard]] int PointCount() const { return static_cast<int>(labels.size()); }
    [[nodiscard]] int SeriesCount() const { return static_cast<int>(series.size()); }
    [[nodiscard]] bool HasData() const { return !labels.empty(); }

    // The 1-based object number behind point p of a ranked chart (series 1, rounded); 0 when there
    // is none.
    [[nodiscard]] int ObjectAt(int point) const;
};

// The boxes that tell a chart's "no data" texts: no title, no icon.
std::vector<Message> NoDataMessages(const ChartModel& chart);

// A single-precision figure as the Double its shortest decimal text reads as (10.257358, not
// 10.257357597351074), so views and documents show the figure that was ranked.
double ShownValue(float value);

} // namespace ornexa
