#pragma once

#include <QWidget>
#include <functional>

#include "session/analysis_session.h"

class QButtonGroup;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimer;
class QToolButton;
class TextRowsModel;

// Tab 5, "Sim Cluster Analysis": the simulated size, the radius with its spinner, the usage, the
// clusters with their members and the cluster data file. It paints the session's ClusterPage and
// hands every action to the session.
class ClusterWidget : public QWidget {
    Q_OBJECT
public:
    // `apply` tells what an action had to tell and repaints the window.
    using Apply = std::function<void(const ornexa::Messages&)>;
    ClusterWidget(ornexa::AnalysisSession& session, ornexa::FileChooser& chooser, Apply apply,
                  QWidget* parent = nullptr);

    // Paints the page if it, or the usage it runs with, changed since it was painted last.
    void Refresh();

    [[nodiscard]] QComboBox* PoolSizes() const { return sizes_; }
    [[nodiscard]] QLineEdit* Radius() const { return radius_; }
    [[nodiscard]] QToolButton* SpinUp() const { return up_; }
    [[nodiscard]] QToolButton* SpinDown() const { return down_; }
    [[nodiscard]] QTimer* SpinTimer() const { return timer_; }
    [[nodiscard]] QTableView* Clusters() const { return clusters_; }
    [[nodiscard]] QTableView* Members() const { return members_; }
    [[nodiscard]] QPushButton* RegroupButton() const { return regroup_; }

signals:
    // "Regroup Objects...": the clusters of the run shown, to be moved to pools of their own.
    void RegroupRequested();

private:
    // The parts of the tab, made in this order: Tab moves the focus in the order the widgets are made.
    void BuildPoolSizes(QFormLayout& form);
    // The radius box with its spinner and the timer that repeats a held arrow.
    void BuildRadius(QFormLayout& form);
    // The usage, "Create Cluster File" and "Regroup Objects...".
    void BuildActions(QHBoxLayout& controls);
    QGroupBox* BuildClusterLists();
    void ConnectClusterLists();

    void Press(ornexa::Direction direction);
    void Release();

    ornexa::AnalysisSession& session_;
    ornexa::FileChooser& chooser_;
    Apply apply_;
    std::uint64_t shownVersion_ = 0;
    std::uint64_t shownRuleVersion_ = 0;
    bool painting_ = false;
    QPushButton* regroup_ = nullptr;
    QComboBox* sizes_ = nullptr;
    QLineEdit* radius_ = nullptr;
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    QTimer* timer_ = nullptr;
    QButtonGroup* usage_ = nullptr;
    TextRowsModel* clusterModel_ = nullptr;
    TextRowsModel* memberModel_ = nullptr;
    QTableView* clusters_ = nullptr;
    QTableView* members_ = nullptr;
};
