#pragma once

#include <QAbstractTableModel>
#include <QWidget>

#include "session/group_pool_page.h"

class QListWidget;
class QSortFilterProxyModel;
class QTableView;

// The group buffer pools as a table: a row per pool, a column per figure; each cell sorts by its number
// (SortRole), the name by its text.
class GroupPoolModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GroupPoolModel(const ornexa::GroupPoolPage& page, QObject* parent = nullptr)
        : QAbstractTableModel(parent), page_(page) {}
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const ornexa::GroupPoolPage& page_;
};

// The "Group Buffer Pools" tab of a report of Db2's display: the list of group buffer pools, below it
// the findings with their commands. Ctrl+C copies the rows or lines chosen; "Copy Commands" the
// commands as a file section for the host.
class GroupPoolView : public QWidget {
    Q_OBJECT
public:
    explicit GroupPoolView(const ornexa::Report& report, QWidget* parent = nullptr);

    [[nodiscard]] const ornexa::GroupPoolPage& Page() const { return page_; }
    [[nodiscard]] QTableView* List() const { return list_; }
    [[nodiscard]] QListWidget* Findings() const { return findings_; }
    // "Copy Commands": the commands to the clipboard.
    void CopyCommands() const;
    // Ctrl+C: the chosen rows of the list, or the chosen lines of the findings (all of them when none is
    // chosen), one a line, cells parted by tabs.
    void CopyChosen() const;

private:
    ornexa::GroupPoolPage page_;
    GroupPoolModel* model_ = nullptr;
    QSortFilterProxyModel* sorted_ = nullptr;
    QTableView* list_ = nullptr;
    QListWidget* findings_ = nullptr;
};
