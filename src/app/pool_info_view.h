#pragma once

#include <QWidget>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/page_view.h"
#include "session/pool_info_page.h"

class ChartView;
class QComboBox;
class QFrame;
class QLabel;
class QTableView;

// Tab 1, "Pool Info": paints the session's PoolInfoPage (the pool's header, its graph with the
// legend, the details panel of the object whose bar was chosen) and asks for the user's moves.
class PoolInfoView : public QWidget {
    Q_OBJECT
public:
    explicit PoolInfoView(const ornexa::PoolInfoPage& page, QWidget* parent = nullptr);

    // Paints the page if it changed since it was painted last.
    void Refresh();

    [[nodiscard]] ChartView* Chart() const { return chart_; }
    [[nodiscard]] QComboBox* GraphTypes() const { return graphType_; }
    [[nodiscard]] QFrame* Details() const { return details_; }
    [[nodiscard]] QString DetailsTitle() const;
    // Db2's own figures of the pool, for a report of Db2's display; hidden for a monitor's report.
    [[nodiscard]] QTableView* PoolFigures() const { return poolFigures_; }

signals:
    void PreviousPoolWanted();
    void NextPoolWanted();
    void GraphTypeChosen(int type); // 1..22, or 1..24 for a report of Db2's display
    // A bar of a ranked chart clicked, or chosen with the arrow keys and Enter.
    void BarActivated(int point);
    void DetailsClosed();

private:
    QLayout* BuildHeader();
    QFrame* BuildDetails();

    const ornexa::PoolInfoPage& page_;
    std::uint64_t shownVersion_ = 0;
    std::array<QLabel*, 5> poolInfo_{};
    std::array<QLabel*, 4> thresholdInfo_{};
    QTableView* poolFigures_ = nullptr;
    QComboBox* graphType_ = nullptr;
    ChartView* chart_ = nullptr;
    QSplitter* split_ = nullptr;
    std::optional<LegendLabels> legend_;
    QFrame* details_ = nullptr;
    QLabel* detailsTitle_ = nullptr;
    std::vector<QLabel*> detailValues_; // a label for each row of the page's details
};
