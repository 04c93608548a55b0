#pragma once

#include <QDialog>
#include <QLabel>
#include <QTabWidget>
#include <array>

#include "app/object_info_view.h"
#include "app/pool_info_view.h"
#include "app/report_info_view.h"
#include "app/rule_analysis_view.h"
#include "session/analysis_session.h"
#include "session/recent_reports.h"

class ChartView;
class ClusterWidget;
class GroupPoolView;
class HealthWindow;
class HistoryService;
class HistoryWindow;
class ObjectInfoView;
class PoolInfoView;
class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLayout;
class QMenuBar;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class QTableWidget;
class ReportInfoView;
class RuleAnalysisView;
class SimGraphWidget;
class UiServices;

// "frmStatAnalysis": the frame around the tabs of one loaded report: the menu, the tab strip, the
// buttons and the status bar. Each tab is a view of one page of the AnalysisSession; what a view
// asks for goes to the session, and the window repaints what changed.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const ornexa::Report& report, const ornexa::SimulationData& sim, UiServices& ui,
                   const std::filesystem::path& thresholdFolder, QWidget* parent = nullptr);

    [[nodiscard]] ornexa::AnalysisSession& Session() { return session_; }
    [[nodiscard]] QTabWidget* Tabs() const { return tabs_; }
    [[nodiscard]] ReportInfoView* ReportInfo() const { return reportView_; }
    [[nodiscard]] PoolInfoView* PoolInfo() const { return poolView_; }
    [[nodiscard]] ObjectInfoView* ObjectInfo() const { return objectView_; }
    [[nodiscard]] RuleAnalysisView* RuleAnalysis() const { return ruleView_; }
    [[nodiscard]] QTableView* PoolList() const { return reportView_->PoolList(); }
    [[nodiscard]] QTableView* ObjectList() const { return objectView_->List(); }
    [[nodiscard]] QLineEdit* ObjectFilter() const { return objectView_->Filter(); }
    [[nodiscard]] QString ObjectCountText() const { return objectView_->CountText(); }
    [[nodiscard]] ChartView* PoolChart() const { return poolView_->Chart(); }
    [[nodiscard]] ChartView* ObjectChart() const { return objectView_->Chart(); }
    [[nodiscard]] QTableView* ObjectTable() const;
    [[nodiscard]] QComboBox* PoolGraphTypes() const { return poolView_->GraphTypes(); }
    [[nodiscard]] QListWidget* Rules() const { return ruleView_->Rules(); }
    [[nodiscard]] QTableWidget* Metrics() const { return ruleView_->Metrics(); }
    [[nodiscard]] QPlainTextEdit* Commands() const { return ruleView_->Commands(); }
    [[nodiscard]] QFrame* PoolDetails() const { return poolView_->Details(); }
    [[nodiscard]] QString PoolDetailsTitle() const { return poolView_->DetailsTitle(); }
    [[nodiscard]] SimGraphWidget* SimGraphs() const { return simTab_; }
    [[nodiscard]] ClusterWidget* Clusters() const { return clusterTab_; }
    [[nodiscard]] GroupPoolView* GroupPools() const { return groupPoolView_; }
    [[nodiscard]] QString StatusText() const { return statusPanel_->text(); }

    // The user's actions, also for tests and keyboard shortcuts.
    void ChoosePool(int row) { Apply(session_.SelectPoolFromList(row)); }
    void ChoosePoolGraphType(int type) { Apply(session_.SelectPoolGraphType(type)); }
    void ActivatePoolBar(int point) {
        session_.ClickPoolChart(ornexa::ChartHit{0, point});
        Refresh();
    }
    void ChooseObject(int row) { Apply(session_.SelectObjectRow(row)); } // a row of the whole list
    void ChooseTableObject(int object) { Apply(session_.ChooseObject(object)); }
    // The text of the filter box: the object list shows the objects whose name contains it.
    void FilterObjects(const QString& text) { objectView_->FilterObjects(text); }
    void ChooseObjectGraphType(int type) { Apply(session_.SelectObjectGraphType(type)); }
    void SortObjects(int column) {
        session_.SortObjectList(column);
        Refresh();
    }
    void ChooseUsage(int index) {
        session_.SetUsage(ornexa::SelectPoolUsage(index));
        Refresh();
    }
    void NextPool() { Apply(session_.ShowNextPool()); }
    void PreviousPool() { Apply(session_.ShowPreviousPool()); }
    void SelectTab(int tab);
    // "&Print" and "&Print ...": the print preview of the tab shown.
    void PrintTab();
    void Back() {
        hide();
        session_.Back();
        done(QDialog::Rejected);
    }
    void Finish() {
        session_.Finish();
        hide();
        done(QDialog::Accepted);
    }
    // F5: leaves to read both files again and comes back to the same pool, tab and object.
    void Reload() { LeaveToRead({}); }
    // A file dropped on the window: read in place of the report's own (a Statistics or a
    // Simulation report, told by its first line).
    void ReadDropped(const std::filesystem::path& path);
    // What the window starts with when it is shown after a reload.
    void Resume(ornexa::AnalysisResume resume) {
        session_.SetReloadReader(resume.readAgain);
        resume_ = std::move(resume);
    }
    // "Copy Commands": the pool's commands to the clipboard.
    void CopyCommands() const { ruleView_->CopyCommands(); }
    // "Regroup Objects..." of the cluster tab: the dialog, over the window.
    void Regroup();
    // "Pool &Sizing..." (Ctrl+Shift+Z), also on the simulation tab: how a budget of storage is split over
    // the pools, with the history's evidence when there is a history.
    void ShowPoolSizing();
    // The history the reports shown go into: its imports are told in the status bar, and
    // "&History..." opens its window.
    void SetHistory(HistoryService* history);
    // "&History..." (Ctrl+H): the History window, over this one; a report opened there is read in
    // place of this one.
    void ShowHistory();
    // The History window while it is open (tests drive it).
    [[nodiscard]] HistoryWindow* History() const { return historyWindow_; }
    // "H&ealth..." (Ctrl+Shift+H): the Health window, of the history or of the report shown alone; a
    // cell chosen there opens its report at its pool on the Pool Stat Analysis tab.
    void ShowHealth();
    // The Health window while it is open (tests drive it).
    [[nodiscard]] HealthWindow* Health() const { return healthWindow_; }
    // Reads these files in place of the report's own, as a reload does, and shows them at `place`
    // (by default where the user is now).
    void ReadFiles(const ornexa::RecentReport& files, std::optional<ornexa::AnalysisPlace> place = std::nullopt) {
        ornexa::ReloadRequest request;
        request.statistics = files.statistics;
        if (!files.simulation.empty()) {
            request.simulation = files.simulation;
        }
        LeaveToRead(std::move(request), std::move(place));
    }
    // Ctrl+1 ... Ctrl+4: that chart of the Sim Graph Analysis tab, the tab shown first.
    void ChooseSimChart(int subTab) {
        if (tabs_->isTabVisible(ornexa::SimGraphTab) && tabs_->isTabEnabled(ornexa::SimGraphTab)) {
            if (session_.SelectedTab() != ornexa::SimGraphTab) {
                SelectTab(ornexa::SimGraphTab);
            }
            session_.SimGraphs().SelectSubTab(subTab);
            Refresh();
        }
    }
    // "Keyboard Shortcuts" under Help: every shortcut of the window.
    void ShowShortcuts();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override { Back(); } // the frame's close button leaves as Back does
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override; // every way out keeps the window's state
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QMenuBar* BuildMenu();
    void BuildTabs();
    QLayout* BuildButtons();
    // Leaves to be shown again with the files of `request`, once they have loaded.
    void LeaveToRead(ornexa::ReloadRequest request, std::optional<ornexa::AnalysisPlace> place = std::nullopt);
    // Tells what an action had to tell, then paints what changed.
    void Apply(const ornexa::Messages& told);
    void Refresh();

    UiServices& ui_;
    ornexa::AnalysisSession session_;
    HistoryService* history_ = nullptr;
    HistoryWindow* historyWindow_ = nullptr;
    HealthWindow* healthWindow_ = nullptr;
    bool activated_ = false;
    ornexa::AnalysisResume resume_;
    bool refreshing_ = false;

    QTabWidget* tabs_ = nullptr;
    QStatusBar* status_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    ReportInfoView* reportView_ = nullptr;
    PoolInfoView* poolView_ = nullptr;
    ObjectInfoView* objectView_ = nullptr;
    RuleAnalysisView* ruleView_ = nullptr;
    SimGraphWidget* simTab_ = nullptr;
    ClusterWidget* clusterTab_ = nullptr;
    GroupPoolView* groupPoolView_ = nullptr;
    bool ownTabShown_ = false; // the group buffer pool tab is shown, not one of the session's
    QPushButton* print_ = nullptr;
    QAction* printItem_ = nullptr;
};
