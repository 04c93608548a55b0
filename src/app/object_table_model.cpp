#include "app/object_table_model.h"

#include <numeric>

#include "app/app_icons.h"
#include "app/list_models.h"
#include "stats/ui/display_text.h"

void ObjectTableModel::SetTable(std::shared_ptr<const ornexa::ObjectTable> table) {
    beginResetModel();
    table_ = std::move(table);
    names_.clear();
    if (table_) {
        names_.reserve(table_->rows.size());
        for (const ornexa::ObjectTableRow& row : table_->rows) {
            names_.push_back(QString::fromStdString(row.name));
        }
        if (sortColumn_ >= columnCount()) {
            sortColumn_ = -1; // a figure the new table has not
        }
    }
    Order();
    Narrow();
    endResetModel();
}

void ObjectTableModel::SetFilterText(const QString& text) {
    if (text == filter_) {
        return;
    }
    beginResetModel();
    filter_ = text;
    Narrow();
    endResetModel();
}

void ObjectTableModel::sort(int column, Qt::SortOrder order) {
    beginResetModel();
    sortColumn_ = column < columnCount() ? column : -1;
    sortOrder_ = order;
    Order();
    Narrow();
    endResetModel();
}

void ObjectTableModel::Order() {
    if (!table_) {
        order_.clear();
        return;
    }
    if (sortColumn_ < 0) {
        order_.resize(table_->rows.size());
        std::iota(order_.begin(), order_.end(), 0);
        return;
    }
    order_ = ornexa::ObjectTableOrder(*table_, sortColumn_, sortOrder_ == Qt::DescendingOrder);
}

void ObjectTableModel::Narrow() {
    shown_.clear();
    shownAt_.assign(names_.size(), -1);
    for (const int r : order_) {
        if (filter_.isEmpty() || names_[static_cast<std::size_t>(r)].contains(filter_, Qt::CaseInsensitive)) {
            shownAt_[static_cast<std::size_t>(r)] = static_cast<int>(shown_.size());
            shown_.push_back(r);
        }
    }
}

QString ObjectTableModel::ColumnKey(int column) const {
    if (column == 0 || !table_ || column < 0 || column > static_cast<int>(table_->columns.size())) {
        return QStringLiteral("name");
    }
    return QString::fromStdString(table_->columns[static_cast<std::size_t>(column - 1)].key);
}

int ObjectTableModel::ObjectAt(int row) const {
    if (row < 0 || row >= static_cast<int>(shown_.size())) {
        return 0;
    }
    return table_->rows[static_cast<std::size_t>(shown_[static_cast<std::size_t>(row)])].object;
}

std::optional<int> ObjectTableModel::RowOf(int object) const {
    if (!table_ || table_->rows.empty()) {
        return std::nullopt;
    }
    // The rows are the pool's objects in table order: consecutive numbers.
    const int r = object - table_->rows.front().object;
    if (r < 0 || r >= static_cast<int>(shownAt_.size()) || table_->rows[static_cast<std::size_t>(r)].object != object ||
        shownAt_[static_cast<std::size_t>(r)] < 0) {
        return std::nullopt;
    }
    return shownAt_[static_cast<std::size_t>(r)];
}

int ObjectTableModel::TotalRows() const {
    return table_ ? static_cast<int>(table_->rows.size()) : 0;
}

int ObjectTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(shown_.size());
}

int ObjectTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !table_ ? 0 : static_cast<int>(table_->columns.size()) + 1;
}

QVariant ObjectTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) {
        return {};
    }
    const ornexa::ObjectTableRow& row =
        table_->rows[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())])];
    if (index.column() == 0) {
        switch (role) {
        case Qt::DisplayRole:
        case SortRole:
            return names_[static_cast<std::size_t>(shown_[static_cast<std::size_t>(index.row())])];
        case Qt::DecorationRole:
            return ObjectTypeIcon(row.icon);
        case NumberRole:
            return row.object;
        default:
            return {};
        }
    }
    const auto at = static_cast<std::size_t>(index.column() - 1);
    const std::optional<double>& value = row.values[at];
    switch (role) {
    case Qt::DisplayRole:
        return value ? locale_.toString(*value, 'f', table_->columns[at].decimals)
                     : QString::fromStdString(table_->absentText);
    case SortRole: // none for a figure the input does not give: it is no number
        return value ? QVariant(*value) : QVariant();
    case NumberRole:
        return row.object;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant ObjectTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) {
        return {};
    }
    if (role == Qt::TextAlignmentRole && section > 0) {
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (section == 0) {
        return tr("Object");
    }
    return ornexa::ui::DisplayText(table_->columns[static_cast<std::size_t>(section - 1)].caption);
}
