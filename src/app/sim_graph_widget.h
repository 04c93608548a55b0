#pragma once

#include <QWidget>
#include <array>
#include <functional>

#include "session/analysis_session.h"

class ChartView;
class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class TextRowsModel;

// Tab 4, "Sim Graph Analysis": the four simulation charts of the simulated pool, the measure of the
// curve and of the largest improvement, and the details panel of the object whose bar was clicked.
// It paints the session's SimGraphPage and hands every action to it.
class SimGraphWidget : public QWidget {
    Q_OBJECT
public:
    // `apply` tells what an action had to tell and repaints the window.
    using Apply = std::function<void(const ornexa::Messages&)>;
    SimGraphWidget(ornexa::AnalysisSession& session, Apply apply, QWidget* parent = nullptr);

    // Paints the page if it changed since it was painted last.
    void Refresh();

    [[nodiscard]] QTabWidget* SubTabs() const { return subTabs_; }
    [[nodiscard]] ChartView* Chart(int subTab) const { return charts_.at(static_cast<std::size_t>(subTab)); }
    [[nodiscard]] QFrame* Details() const { return details_; }
    [[nodiscard]] QTableView* DetailsTable() const { return detailsTable_; }
    // What the charts come from when it is not the monitor's Simulation report; hidden otherwise.
    [[nodiscard]] QLabel* Caption() const { return caption_; }

signals:
    // "Pool Si&zing...": the budget split over every pool, this pool's simulation among the evidence.
    void PoolSizingRequested();

private:
    // The parts of the tab, made in this order: Tab moves the focus in the order the widgets are made.
    QGroupBox* BuildMeasureOptions();
    void BuildDetails();
    QPushButton* BuildCreateFile();
    void BuildSubTabs();

    ornexa::AnalysisSession& session_;
    Apply apply_;
    std::uint64_t shownVersion_ = 0;
    bool painting_ = false;
    QLabel* caption_ = nullptr;
    QTabWidget* subTabs_ = nullptr;
    std::array<ChartView*, ornexa::SimSubTabCount> charts_{};
    QButtonGroup* measure_ = nullptr;
    QFrame* details_ = nullptr;
    QLabel* detailsTitle_ = nullptr;
    TextRowsModel* detailsModel_ = nullptr;
    QTableView* detailsTable_ = nullptr;
};
