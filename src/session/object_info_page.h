#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"
#include "report/report_model.h"
#include "session/page_version.h"
#include "stats/graph_view.h"
#include "stats/list_sort.h"
#include "stats/object_graph.h"
#include "stats/share_figures.h"

namespace ornexa {

struct ObjectListEntry {
    int object = 0;
    std::string text; // trimmed ObjName, as UTF-8
    ObjectIcon icon = ObjectIcon::Other;
    friend bool operator==(const ObjectListEntry&, const ObjectListEntry&) = default;
};

// The "Object Info" tab: the objects of the pool shown, sortable by name, the object shown and its
// graph with the legend.
class ObjectInfoPage : public PageVersion {
public:
    ObjectInfoPage(const Report& report, NumberStyle style) : report_(report), style_(style) {}

    // The objects of pool p (none for 0), in the order the list was sorted in last, the first row
    // selected; the object shown stays until a row is taken.
    void SetPool(int p);
    // The object whose graph the next drawing shows (0 for none).
    void ShowObject(int o);
    // A row of the list is chosen: its object with graph 1.
    Messages SelectRow(int row);
    // The object of the selected row with graph 1.
    Messages SelectFromList();
    // Object o of the pool chosen elsewhere: its row of the list, as SelectRow; nothing for an
    // object the list does not hold.
    Messages ChooseObject(int o);
    Messages SelectGraphType(int type); // 1..3
    Messages DrawGraph();
    // A click on header `column`: ascending first, then descending, and so on; the order holds for
    // the lists of the pools shown next, as the caption's marker says.
    void Sort(int column);
    // The order a list was sorted in before (kept from another window or report): the same rows,
    // captions and selection as the clicks that sorted it gave.
    void RestoreSort(ListSort sort);

    [[nodiscard]] const std::vector<ObjectListEntry>& List() const { return list_; }
    // The column captions, the sorted one marked " (A)" or " (D)".
    [[nodiscard]] const std::vector<std::string>& Captions() const { return captions_; }
    // The order of the list: none while it is in table order.
    [[nodiscard]] std::optional<ListSort> SortOrder() const { return sort_; }
    [[nodiscard]] std::optional<int> SelectedRow() const { return selectedRow_; }
    [[nodiscard]] int CurrentObject() const { return currentObject_; }
    [[nodiscard]] int GraphType() const { return graphType_; }
    [[nodiscard]] const GraphView& Graph() const { return graph_; }
    // For a report of Db2's display, whose objects have no activity to draw: the figures of the
    // object shown with the data set's own (ObjectDetailRows); none for a monitor's report.
    [[nodiscard]] std::vector<FigureRow> DetailRows() const;

private:
    void ApplySort();

    const Report& report_;
    NumberStyle style_;
    std::vector<ObjectListEntry> list_;
    std::vector<std::string> plainCaptions_{"Object"};
    std::vector<std::string> captions_{plainCaptions_};
    std::optional<ListSort> sort_; // none: table order
    std::optional<int> selectedRow_;
    int currentObject_ = 0;
    int graphType_ = 0;
    GraphView graph_;
};

} // namespace ornexa
