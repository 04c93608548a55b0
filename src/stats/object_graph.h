#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "stats/graph_view.h"

namespace ornexa {

inline constexpr int ObjectGraphTypeCount = 3;

// "Access Type", "Pages Read", "Read I/Os".
std::string_view ObjectGraphName(int type);

// The share chart of object o for graph type 1..3 with its legend. The titles come from the row
// selected in the object list; without one they stay. Returns whether a chart was drawn.
bool ShowObjectGraph(GraphView& view, const Report& report, int o, int type,
                     const std::optional<std::string>& selectedRowText, NumberStyle style = {});

// The list icon of an object by its type; the numbers are those of the icon set.
enum class ObjectIcon { TableSpace = 5, Index = 6, TypeD = 7, Other = 8 };
ObjectIcon IconOf(const ObjectRecord& object); // "T", "I", "D", anything else
inline int IconNumber(ObjectIcon icon) {
    return static_cast<int>(icon);
}

} // namespace ornexa
