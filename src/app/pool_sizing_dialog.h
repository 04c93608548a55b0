#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <QThreadPool>

#include "session/file_dialogs.h"
#include "session/pool_sizing_page.h"

class HistoryService;
class QCheckBox;
class QLabel;
class QLineEdit;
class QSortFilterProxyModel;
class QTableView;
class SizingChart;
class UiServices;

// The pools of "Pool Sizing" with their bounds: "Protected" (a check) and "Largest size" (buffers; empty
// for none), both edited in place.
class SizingBoundsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { PoolColumn, CurrentColumn, ProtectedColumn, LargestColumn, ColumnCount };
    SizingBoundsModel(ornexa::PoolSizingPage& page, QObject* parent);
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void Reset();

signals:
    void BoundsChanged();

private:
    ornexa::PoolSizingPage& page_;
};

// The plan's rows: a pool a row, numbers in the user's locale, sorted by their values.
class SizingResultModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        PoolColumn,
        PageSizeColumn,
        CurrentColumn,
        ProposedColumn,
        StorageColumn,
        ReadsNowColumn,
        ReadsProposedColumn,
        ReadsSavedColumn,
        ConfidenceColumn,
        EvidenceColumn,
        LeftAloneColumn,
        ColumnCount
    };
    SizingResultModel(const ornexa::PoolSizingPage& page, QObject* parent);
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The page planned again: same pools, new figures.
    void Changed();
    void Reset();

private:
    const ornexa::PoolSizingPage& page_;
};

// "Pool Sizing": a budget typed, the bounds, the plan as it follows them, the chosen pool's curve,
// "Copy Commands" and "Save...". "Save..." starts where host command files went last.
class PoolSizingDialog : public QDialog {
    Q_OBJECT
public:
    PoolSizingDialog(ornexa::PoolSizingPage page, UiServices& ui, ornexa::SaveFolders& folders,
                     QWidget* parent = nullptr);
    PoolSizingDialog(const PoolSizingDialog&) = delete;
    PoolSizingDialog& operator=(const PoolSizingDialog&) = delete;
    PoolSizingDialog(PoolSizingDialog&&) = delete;
    PoolSizingDialog& operator=(PoolSizingDialog&&) = delete;
    ~PoolSizingDialog() override; // waits for a history read under way

    // Reads the history's observations of the report's pools off the window's thread; the curves take
    // them in when they arrive. `Loaded` tells when they have (tests).
    void LoadHistory(HistoryService& history);

    [[nodiscard]] const ornexa::PoolSizingPage& Page() const { return page_; }
    [[nodiscard]] QLineEdit* Budget() const { return budget_; }
    [[nodiscard]] QLabel* BudgetMessage() const { return message_; }
    [[nodiscard]] QCheckBox* Estimate() const { return estimate_; }
    [[nodiscard]] QLabel* Totals() const { return totals_; }
    [[nodiscard]] QTableView* Bounds() const { return boundsView_; }
    [[nodiscard]] QTableView* Results() const { return resultView_; }
    [[nodiscard]] SizingChart* Chart() const { return chart_; }

    // Shows the plan's row and curve of the pool of that name (the pool the window shows).
    void ChoosePool(const QString& poolName);

    void CopyCommands() const;
    void Save();

signals:
    void HistoryLoaded();

private:
    void BudgetTyped(const QString& text);
    void Refresh();
    void ShowSelectedPool();

    ornexa::PoolSizingPage page_;
    UiServices& ui_;
    ornexa::SaveFolders& folders_;
    QThreadPool reads_;
    QLineEdit* budget_;
    QCheckBox* estimate_;
    QLabel* message_;
    QLabel* totals_;
    QLabel* problems_;
    SizingBoundsModel* boundsModel_;
    SizingResultModel* resultModel_;
    QSortFilterProxyModel* sorted_;
    QTableView* boundsView_;
    QTableView* resultView_;
    SizingChart* chart_;
};
