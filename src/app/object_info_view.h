#pragma once

#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/page_view.h"
#include "session/object_info_page.h"
#include "session/object_table.h"

class ChartView;
class FilteredRowsModel;
class ObjectTableView;
class QComboBox;
class QLabel;
class QLineEdit;
class QTableView;
class QVBoxLayout;
class TextRowsModel;

// Tab 2, "Object Info": paints the session's ObjectInfoPage (the pool's objects with the sorted
// column marked, the object shown and its graph) and asks for the user's choices. The filter box
// narrows what the list shows; the page keeps the whole list and its order. Below the chart the
// objects stand side by side with their figures (ObjectTableView), narrowed by the same filter.
class ObjectInfoView : public QWidget {
    Q_OBJECT
public:
    explicit ObjectInfoView(const ornexa::ObjectInfoPage& page, QWidget* parent = nullptr);

    // Paints the page if it changed since it was painted last.
    void Refresh();
    // The objects side by side, of the pool the page shows; the row of the object shown selected.
    void ShowTable(std::shared_ptr<const ornexa::ObjectTable> table);
    // The list shows the objects whose name contains `text`.
    void FilterObjects(const QString& text);
    // Ctrl+F: the filter box, its text selected.
    void FocusFilter();
    void ClearFilter();

    [[nodiscard]] QTableView* List() const { return table_; }
    [[nodiscard]] QLineEdit* Filter() const { return filter_; }
    [[nodiscard]] ChartView* Chart() const { return chart_; }
    [[nodiscard]] ObjectTableView* TableView() const { return objectTable_; }
    [[nodiscard]] QString CountText() const;
    // The figures of the object shown, for a report of Db2's display; hidden for a monitor's report.
    [[nodiscard]] QTableView* Details() const { return details_; }

signals:
    void ObjectChosen(int row);         // a row of the whole list, as the page holds it
    void TableObjectChosen(int object); // a row of the object table
    void GraphTypeChosen(int type);     // 1..3
    void SortWanted(int column);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildList(QVBoxLayout* side);
    void SelectShownObject(std::optional<int> row);
    void ShowObjectCount();
    // The object of the list's selected row, as the table selects it; 0 for none.
    [[nodiscard]] int SelectedObject() const;

    const ornexa::ObjectInfoPage& page_;
    std::uint64_t shownVersion_ = 0;
    bool painting_ = false;
    std::vector<ornexa::ObjectListEntry> shownObjects_; // what the list model holds
    std::vector<std::string> shownCaptions_;
    TextRowsModel* model_ = nullptr;
    FilteredRowsModel* proxy_ = nullptr;
    QLineEdit* filter_ = nullptr;
    QLabel* count_ = nullptr;
    QTableView* table_ = nullptr;
    QComboBox* graphType_ = nullptr;
    ChartView* chart_ = nullptr;
    std::optional<LegendLabels> legend_;
    QTableView* details_ = nullptr;
    ObjectTableView* objectTable_ = nullptr;
};
