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
                     const std::optional<std::string>& selectedRowText, MessageSink& messages, NumberStyle style = {});

// List icons by object type: "T" 5, "I" 6, "D" 7, anything else 8.
int ObjectIcon(const ObjectRecord& object);

} // namespace ornexa
