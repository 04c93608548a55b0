#include "app/list_models.h"

#include <QLocale>
#include <QSignalBlocker>

#include "stats/ui/display_text.h"

#include "app/app_icons.h"
#include "report/numbers.h"

namespace {

// Figures sort by their value, read in the separators they were written in; other text as text.
QVariant SortValue(const std::string& text, const ornexa::NumberStyle& style) {
    const ornexa::Converted<double> value = ornexa::TextToDouble(text, style);
    return value ? QVariant(value.Value()) : QVariant(ornexa::ui::DisplayText(text));
}

// The first column holds the pool names; every other one a figure.
Qt::Alignment PoolColumnAlignment(int column) {
    return (column == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter;
}

} // namespace

void PoolListModel::SetRows(std::vector<ornexa::PoolListEntry> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

int PoolListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int PoolListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ornexa::PoolListColumnCount;
}

QVariant PoolListModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const ornexa::PoolListEntry& row = rows_[static_cast<std::size_t>(index.row())];
    const ornexa::FigureText& cell = row.cells[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return cell ? ornexa::ui::DisplayText(*cell) : QString();
    case SortRole:
        return cell ? SortValue(*cell, style_) : QVariant();
    case NumberRole:
        return row.pool;
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(PoolColumnAlignment(index.column()));
    default:
        return {};
    }
}

QVariant PoolListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) || section < 0 ||
        section >= ornexa::PoolListColumnCount) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(PoolColumnAlignment(section));
    }
    return QString::fromStdString(ornexa::PoolListCaptions()[static_cast<std::size_t>(section)]);
}

void TextRowsModel::SetRows(std::vector<std::string> captions, std::vector<Row> rows) {
    beginResetModel();
    captions_ = std::move(captions);
    rows_ = std::move(rows);
    figures_.assign(captions_.size(), false);
    for (std::size_t c = 0; c < captions_.size(); ++c) {
        bool any = false;
        bool all = true;
        for (const Row& row : rows_) { // a column of names stops at its first name
            if (c >= row.cells.size() || row.cells[c].find_first_not_of(' ') == std::string::npos) {
                continue;
            }
            if (!ornexa::TextToDouble(row.cells[c], style_)) {
                all = false;
                break;
            }
            any = true;
        }
        figures_[c] = any && all;
    }
    endResetModel();
}

void TextRowsModel::UpdateRows(std::vector<std::string> captions, std::vector<Row> rows) {
    if (captions != captions_ || rows != rows_) {
        SetRows(std::move(captions), std::move(rows));
    }
}

int TextRowsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TextRowsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant TextRowsModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    static const std::string none;
    const std::string& text = column < row.cells.size() ? row.cells[column] : none;
    switch (role) {
    case Qt::DisplayRole:
        return ornexa::ui::DisplayText(text);
    case SortRole:
        return SortValue(text, style_);
    case NumberRole:
        return row.number;
    case Qt::DecorationRole:
        return column == 0 && row.icon ? QVariant(ObjectTypeIcon(*row.icon)) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(AlignmentOf(index.column()));
    default:
        return {};
    }
}

Qt::Alignment TextRowsModel::AlignmentOf(int column) const {
    const bool figures =
        column >= 0 && column < static_cast<int>(figures_.size()) && figures_[static_cast<std::size_t>(column)];
    return (figures ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

QVariant TextRowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::TextAlignmentRole) || section < 0 ||
        section >= static_cast<int>(captions_.size())) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::TextAlignmentRole) {
        return QVariant::fromValue(AlignmentOf(section));
    }
    return ornexa::ui::DisplayText(captions_[static_cast<std::size_t>(section)]);
}

void FilteredRowsModel::SetFilterText(const QString& text) {
    beginResetModel();
    {
        const QSignalBlocker quiet(this);
        setFilterCaseSensitivity(Qt::CaseInsensitive);
        setFilterKeyColumn(0);
        setFilterFixedString(text);
    }
    endResetModel();
}
