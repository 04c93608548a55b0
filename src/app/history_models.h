#pragma once

#include <QAbstractTableModel>
#include <QLocale>
#include <QStringList>
#include <cstdint>
#include <vector>

#include "history/change_check.h"
#include "history/history_store.h"
#include "history/report_compare.h"

// The verdict of a compared figure ("better", "worse", "same", "unrated"), for the colour and tests.
inline constexpr int VerdictRole = Qt::UserRole + 3;

// One cell of a history table: its text, the value it sorts by, and for a compared figure its
// verdict.
struct HistoryCell {
    QString text;
    QVariant sort;
    ornexa::ChangeVerdict verdict = ornexa::ChangeVerdict::Unrated;
    QString tip; // the tooltip when it says more than the text
};
struct HistoryRow {
    std::int64_t id = 0; // the report a row of the reports list stands for
    std::vector<HistoryCell> cells;
};

// The tables of the History window: rows handed over whole, a numeric sort role beside the text,
// better figures on a green and worse on a red ground that reads in light and dark palettes.
class HistoryTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;
    void SetRows(QStringList captions, std::vector<HistoryRow> rows);
    [[nodiscard]] std::int64_t IdAt(int row) const;
    [[nodiscard]] int RowOf(std::int64_t id) const; // -1 for none
    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QStringList captions_;
    std::vector<HistoryRow> rows_;
};

// The reports list: System, Sub System, Collected, Pools, Objects, File, and the flag of a report
// collected at the time of another with other content.
QStringList ReportCaptions();
std::vector<HistoryRow> ReportRows(const std::vector<ornexa::HistoryReportInfo>& reports, const QLocale& locale);
// "SYSA DB2P 2026-11-30 10:15:00 (#3)": a report as the compare choices name it.
QString ReportChoiceText(const ornexa::HistoryReportInfo& report);

// The pools compared: each figure of the pool list before, after, the difference and the percent.
QStringList PoolComparisonCaptions();
std::vector<HistoryRow> PoolComparisonRows(const ornexa::ReportComparison& comparison, const QLocale& locale);
// Objects that appeared, disappeared or moved to another pool.
QStringList ObjectMoveCaptions();
std::vector<HistoryRow> ObjectMoveRows(const ornexa::ReportComparison& comparison);
// The largest changes of a per-second figure.
QStringList ObjectChangeCaptions();
std::vector<HistoryRow> ObjectChangeRows(const std::vector<ornexa::ObjectChange>& changes, const QLocale& locale);

// Setting changes: per change and figure, the mean before and after, the change and its verdict; a
// VPSIZE change with a prediction adds the predicted hit ratio and read rate beside the measured ones,
// and one predicted by the report's size curve its expected read rate, with what the expectation rests
// on in the Evidence column and the tooltip, so that it never reads as a measurement.
QStringList SettingChangeCaptions();
std::vector<HistoryRow> SettingChangeRows(const std::vector<ornexa::ChangeCheck>& checks, const QLocale& locale);
