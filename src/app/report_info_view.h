#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

#include "session/report_info_page.h"

class PoolListModel;
class QLabel;
class QTableView;

// Tab 0, "Report Info": paints the session's ReportInfoPage (the report's facts, its overall
// figures, the pool list with the pool shown selected); choosing a row asks for its pool.
class ReportInfoView : public QWidget {
    Q_OBJECT
public:
    explicit ReportInfoView(const ornexa::ReportInfoPage& page, QWidget* parent = nullptr);

    // The pools of the report loaded, into the list.
    void ListPools();
    // Paints the page if it changed since it was painted last.
    void Refresh();

    [[nodiscard]] QTableView* PoolList() const { return poolTable_; }

signals:
    // A click, Enter or a move with the arrow keys on a row of the pool list.
    void PoolChosen(int row);

private:
    const ornexa::ReportInfoPage& page_;
    std::uint64_t shownVersion_ = 0;
    bool painting_ = false;
    QLabel* inputKind_ = nullptr; // what the report was made of, when not a monitor's report
    std::array<QLabel*, ornexa::ReportDataCount> data_{};
    std::array<QLabel*, ornexa::OverallFigureCount> totals_{};
    PoolListModel* poolModel_ = nullptr;
    QTableView* poolTable_ = nullptr;
};
