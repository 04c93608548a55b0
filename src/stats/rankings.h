#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"
#include "stats/chart_model.h"

namespace ornexa {

inline constexpr int FirstRankedType = 7;
inline constexpr int LastRankedType = 22;
// A report of Db2's display ranks its data sets also by two of Db2's own figures: 23, the most
// synchronous I/O pages, and 24, the most pages cached at once (a working set).
inline constexpr int LastDb2RankedType = 24;
inline constexpr int MaxRankedBars = 10;

// The ranked objects of one drawing, rank 1 first.
struct RankedList {
    std::vector<float> RankValues;      // single precision, as compared
    std::vector<std::string> RankNames; // ObjName as stored (27 characters); "" for an empty rank
    std::vector<int> RankObjects;       // 1-based object numbers; 0 for an empty rank
    int RankCount = 2;                  // bars to draw, at least 2
    bool ScaleBy1K = false;
};

// Second title of a ranked graph type 7..24, before any " * 1K".
std::string_view RankedSubtitle(int type);
// Whether the type draws in thousands when a value exceeds 99999.
bool RankedTypeScales(int type);

// Ranks the objects of pool p by the measure of graph type 7..24: the ranked object numbers with
// their values.
RankedList RankPoolObjects(const Report& report, int p, int type);

// Why graph type 7..24 cannot rank the objects of pool p: the input does not give a figure its
// measure takes ("not in a Db2 display", "not in this input"); empty when it can.
std::string_view RankedAbsent(const Report& report, int p, int type);

// The ranked chart of `list`: rank 1 is the last point; series 1 carries the object numbers.
void DrawRankedChart(ChartModel& chart, int type, const RankedList& list);

} // namespace ornexa
