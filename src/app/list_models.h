#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <optional>
#include <vector>

#include "session/analysis_session.h"
#include "stats/ui/display_text.h"

// Sorting by value next to the display text.
inline constexpr int SortRole = Qt::UserRole + 1;
// The pool or object number a row stands for.
inline constexpr int NumberRole = Qt::UserRole + 2;

// The pool list of the Report Info tab: seven columns, table order, no editing.
class PoolListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<ornexa::PoolListEntry> rows);
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<ornexa::PoolListEntry> rows_;
    ornexa::NumberStyle style_ = ornexa::ui::LocaleNumberStyle(QLocale()); // the window's figures
};

// A list of rows of text cells with a type icon in the first column: the object list and the
// cluster lists. The session sorts; the header shows its captions with their markers. A column of
// figures stands to the right, as figures do, and its caption with it.
class TextRowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Row {
        int number = 0;
        std::vector<std::string> cells;
        std::optional<ornexa::ObjectIcon> icon;
        friend bool operator==(const Row&, const Row&) = default;
    };
    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(std::vector<std::string> captions, std::vector<Row> rows);
    // Sets them only when they differ from what the model holds, so a view keeps its selection and
    // scroll position when nothing in it changed.
    void UpdateRows(std::vector<std::string> captions, std::vector<Row> rows);
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    [[nodiscard]] Qt::Alignment AlignmentOf(int column) const;

    std::vector<std::string> captions_;
    std::vector<Row> rows_;
    std::vector<bool> figures_; // per column: every cell that is not blank reads as a number
    ornexa::NumberStyle style_ = ornexa::ui::LocaleNumberStyle(QLocale()); // the window's figures
};

// The object list as the filter box narrows it: the rows whose first column holds the text, in any
// case. A new text resets the view at once rather than removing rows range by range, which a view
// of hundreds of thousands of rows would take seconds to follow.
class FilteredRowsModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void SetFilterText(const QString& text);
};
