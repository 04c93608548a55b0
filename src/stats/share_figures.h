#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"
#include "report/number_format.h"
#include "report/one_based.h"
#include "report/report_model.h"

namespace ornexa {

// Slice names by breakdown kind (1 access type, 2 pages read, 3 read I/Os, 4 object type) and
// slice 1..4; each ends in one blank.
std::string_view ShareLabelTable(int kind, int slice);

// The data of one share chart. Sums are kept wide: the totals of a busy pool exceed 32 bits.
struct ShareData {
    OneBased<std::int64_t, 4> ShareValues;
    OneBased<std::string, 4> ShareLabels;
    std::int64_t ShareTotal = 0;
    int ShareCount = 0; // slices to draw; 0 = nothing
};

// A breakdown with what its legend shows.
struct ShareResult {
    ShareData data;
    int sources = 0;                   // number of legend value texts: 3 or 4
    std::array<std::string, 4> values; // legend value texts of slices 1..sources
    std::string total;                 // the total's legend text
    std::optional<std::string> noData; // told when there is nothing to draw
    // The chart stands without data because the input does not give its figures ("not in this
    // input"); empty when it gives them.
    std::string absent;
};

// Whether every object of pool p gives the record field `field` (by its name in the object
// catalogue); for a pool without objects, whether any object of the report does. A monitor's report
// gives every field.
bool PoolObjectsGive(const Report& report, int p, std::string_view field);
// Whether object o's record gives the field called `field` (by its name in the object catalogue); a
// monitor's report gives every field.
bool ObjectGives(const Report& report, int o, std::string_view field);
// What a view says where it needs an object figure the input does not give: "not in a Db2 display"
// for a report without per-object activity, else "not in this input".
std::string_view AbsentObjectText(const Report& report);

// A caption with its figure, as the details panels list them.
struct FigureRow {
    std::string caption;
    std::string value;
    friend bool operator==(const FigureRow&, const FigureRow&) = default;
};
// A count as the details panels show it: grouped in the user's style ("1,234,567").
std::string CountText(std::int64_t value, NumberStyle style);
// Db2's own figure of data set o; none for a monitor's report or a figure its display did not show.
std::optional<std::int64_t> DataSetFigureValue(const Report& report, int o, DataSetFigure figure);
// The figures Db2's display gives for data set o (LSTATS), captioned with Db2's labels, in the order
// Db2 shows them; a figure it did not show is "not in this input". None for a monitor's report.
std::vector<FigureRow> DataSetFigureRows(const Report& report, int o, NumberStyle style = {});

inline constexpr std::string_view PagesReadZeroText = "Number Of Pages Read Is ZERO. Can not Graph ...";
inline constexpr std::string_view StartIOsZeroText = "Number Of Start IOs Is ZERO. Can not Graph ...";

// Kinds 1 to 3 from the pool's own fields, 4 to 6 from its objects by object type.
ShareResult PoolShare(const Report& report, int p, int kind, NumberStyle style = {});
// Kinds 1 to 3 of one object.
ShareResult ObjectShare(const Report& report, int o, int kind, NumberStyle style = {});

// "Seq (25.0%)": the slice name and its share of the total, trimmed.
std::string ShareLabelWithPercent(const ShareData& data, int i, NumberStyle style = {});

// The object details panel: twelve texts, and their captions; a figure the input does not give is
// "not in this input".
std::array<std::string, 12> ObjectDetailFigures(const Report& report, int o, NumberStyle style = {});
inline constexpr std::array<const char*, 12> ObjectDetailCaptions{
    "Get Pages",   "Random",      "Sequential",    "RID List",      "Sync Pages",     "SPref Pages",
    "LPref Pages", "DPref Pages", "App Hit Ratio", "Sys Hit Ratio", "Read I/O / sec", "Pages / Write"};
// The decimals each of the twelve figures is shown with: counts none, ratios and rates two.
inline constexpr std::array<int, 12> ObjectDetailDecimals{0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 2, 2};
// The twelve figures as numbers, in the panel's order; one the input does not give is none.
std::array<std::optional<double>, 12> ObjectDetailValues(const Report& report, int o);

// The rows of an object details panel: the twelve figures with their captions, and for a report of
// Db2's display the data set's own figures after them (DataSetFigureRows). Object 0 gives the
// captions with empty figures, as the panel stands before an object was shown.
std::vector<FigureRow> ObjectDetailRows(const Report& report, int o, NumberStyle style = {});

// 1 index ("I"), 2 table space ("T"), 3 anything else.
int ObjectTypeBucket(const ObjectRecord& object);

} // namespace ornexa
