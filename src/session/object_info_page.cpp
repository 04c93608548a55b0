#include "session/object_info_page.h"

#include "report/latin1.h"
#include "stats/list_sort.h"

namespace ornexa {

void ObjectInfoPage::SetPool(int p) {
    list_.clear();
    selectedRow_.reset();
    if (report_.HasPool(p)) {
        for (const int o : PoolObjects(report_, p)) {
            const ObjectRecord& object = report_.Objects(o);
            list_.push_back({o, Latin1ToUtf8(object.ObjName.Trimmed()), IconOf(object)});
        }
        if (sort_) {
            SortRows(list_, *sort_, [](const ObjectListEntry& row) -> const std::string& { return row.text; });
        }
        if (!list_.empty()) {
            selectedRow_ = 0; // a filled list starts with its first row selected
        }
    }
    Changed();
}

void ObjectInfoPage::ShowObject(int o) {
    currentObject_ = o;
}

Messages ObjectInfoPage::SelectRow(int row) {
    if (row < 0 || row >= static_cast<int>(list_.size())) {
        return {};
    }
    selectedRow_ = row;
    return SelectFromList();
}

Messages ObjectInfoPage::ChooseObject(int o) {
    for (std::size_t i = 0; i < list_.size(); ++i) {
        if (list_[i].object == o) {
            return SelectRow(static_cast<int>(i));
        }
    }
    return {};
}

Messages ObjectInfoPage::SelectFromList() {
    if (!selectedRow_) {
        return {};
    }
    currentObject_ = list_[static_cast<std::size_t>(*selectedRow_)].object;
    graphType_ = 1;
    return DrawGraph();
}

Messages ObjectInfoPage::SelectGraphType(int type) {
    if (type < 1 || type > ObjectGraphTypeCount) {
        return {};
    }
    graphType_ = type;
    return DrawGraph();
}

Messages ObjectInfoPage::DrawGraph() {
    if (graphType_ == 0 || currentObject_ == 0) {
        return {};
    }
    std::optional<std::string> rowText;
    if (selectedRow_) {
        rowText = list_[static_cast<std::size_t>(*selectedRow_)].text;
    }
    ShowObjectGraph(graph_, report_, currentObject_, graphType_, rowText, style_);
    Changed();
    return NoDataMessages(graph_.chart);
}

std::vector<FigureRow> ObjectInfoPage::DetailRows() const {
    if (!report_.Db2Display) {
        return {};
    }
    return ObjectDetailRows(report_, currentObject_, style_);
}

void ObjectInfoPage::Sort(int column) {
    // A second click on the column sorted ascending sorts it descending; any other click ascending.
    const bool descending = sort_ && sort_->column == column && !sort_->descending && column >= 0 &&
                            column < static_cast<int>(captions_.size());
    RestoreSort({column, descending});
}

void ObjectInfoPage::RestoreSort(ListSort sort) {
    sort_ = sort;
    captions_ = plainCaptions_;
    if (sort.column >= 0 && sort.column < static_cast<int>(captions_.size())) {
        captions_[static_cast<std::size_t>(sort.column)] += sort.descending ? " (D)" : " (A)";
    }
    ApplySort();
}

void ObjectInfoPage::ApplySort() {
    const int selectedObject = selectedRow_ ? list_[static_cast<std::size_t>(*selectedRow_)].object : 0;
    SortRows(list_, *sort_, [](const ObjectListEntry& row) -> const std::string& { return row.text; });
    for (std::size_t i = 0; i < list_.size(); ++i) { // the selection follows its row
        if (list_[i].object == selectedObject) {
            selectedRow_ = static_cast<int>(i);
        }
    }
    Changed();
}

} // namespace ornexa
