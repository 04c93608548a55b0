#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "session/object_table.h"

// The objects of a pool side by side: a view of one ObjectTable the session built, never changed
// while shown; a new one replaces it whole. The rows are the table's in an order of its own and
// narrowed by a filter text: a list of row numbers, so that sorting hundreds of thousands of rows
// orders numbers and never moves the rows, and a filter walks the sorted list once.
// Column 0 is the object's name, the figure columns follow; figures show in the user's locale with
// their value as the SortRole, and one the input does not give shows the table's absent text.
class ObjectTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // A new table, shown in the order and through the filter the model had.
    void SetTable(std::shared_ptr<const ornexa::ObjectTable> table);
    [[nodiscard]] const std::shared_ptr<const ornexa::ObjectTable>& Table() const { return table_; }
    // The rows whose name holds `text`, in any case, as the object list's filter narrows it.
    void SetFilterText(const QString& text);
    // The key the column is kept under in the settings ("name" for the name).
    [[nodiscard]] QString ColumnKey(int column) const;
    // The object a shown row stands for; the shown row of an object, none when the filter hides it.
    [[nodiscard]] int ObjectAt(int row) const;
    [[nodiscard]] std::optional<int> RowOf(int object) const;
    // Every row of the table, shown or not.
    [[nodiscard]] int TotalRows() const;

    // Column -1 is the table's own order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void Order();  // order_ from the sort
    void Narrow(); // shown_ from order_ and the filter

    std::shared_ptr<const ornexa::ObjectTable> table_;
    std::vector<QString> names_; // the rows' names, as the filter reads them
    std::vector<int> order_;     // every row of the table, sorted
    std::vector<int> shown_;     // the rows the filter lets through, sorted
    std::vector<int> shownAt_;   // per table row: where it shows, -1 when it does not
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    QString filter_;
    QLocale locale_; // the window's figures
};
