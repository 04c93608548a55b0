#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/report_model.h"
#include "simulation/sim_data.h"
#include "stats/object_graph.h"

namespace ornexa {

// A figure column of the object table: the key the window keeps its choice of columns under, the
// caption, and the decimals its figures are shown with.
struct ObjectTableColumn {
    std::string key;
    std::string caption;
    int decimals = 0;
    friend bool operator==(const ObjectTableColumn&, const ObjectTableColumn&) = default;
};

// One object with its figures, one per figure column; none where the input does not give it.
struct ObjectTableRow {
    int object = 0;
    std::string name; // trimmed ObjName, as UTF-8
    ObjectIcon icon = ObjectIcon::Other;
    std::vector<std::optional<double>> values;
};

// The objects of one pool side by side with every figure of the object details panel: the twelve
// figures and the pages written, for Db2's display output the data set's own figures, and for the
// simulated pool the working sets at the largest simulated size that had getpages. Plain values,
// built once and never changed, so a view can hold them while the session goes on.
struct ObjectTable {
    int pool = 0;
    std::vector<ObjectTableColumn> columns; // the figure columns; the name comes before them
    std::vector<ObjectTableRow> rows;       // in table order
    std::string absentText;                 // what a figure the input does not give shows
};

ObjectTable BuildObjectTable(const Report& report, const SimulationData& sim, int p);

// The rows of `table` in the order of column `column` (0 the name, 1.. the figure columns), ascending
// or descending. Figures the input does not give come last either way; equal keys keep table order.
std::vector<int> ObjectTableOrder(const ObjectTable& table, int column, bool descending);

} // namespace ornexa
