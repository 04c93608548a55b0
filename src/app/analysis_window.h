#pragma once

#include <QDialog>
#include <array>

#include "session/analysis_session.h"
#include "session/recent_reports.h"

class ChartView;
class QAction;
class ClusterWidget;
class HistoryService;
class HistoryWindow;
class SimGraphWidget;
class PoolListModel;
class QButtonGroup;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;
class QSortFilterProxyModel;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QTableView;
class TextRowsModel;
class FilteredRowsModel;
class UiServices;

// "frmStatAnalysis": the tabs of one loaded report. Everything it shows comes from the
// AnalysisSession; every action goes to it.
class AnalysisWindow : public QDialog {
    Q_OBJECT
public:
    AnalysisWindow(const ornexa::Report& report, const ornexa::SimulationData& sim, UiServices& ui,
                   const std::filesystem::path& thresholdFolder, QWidget* parent = nullptr);

    [[nodiscard]] ornexa::AnalysisSession& Session() { return session_; }
    [[nodiscard]] QTabWidget* Tabs() const { return tabs_; }
    [[nodiscard]] QTableView* PoolList() const { return poolTable_; }
    [[nodiscard]] QTableView* ObjectList() const { return objectTable_; }
    [[nodiscard]] QLineEdit* ObjectFilter() const { return objectFilter_; }
    [[nodiscard]] QString ObjectCountText() const;
    [[nodiscard]] ChartView* PoolChart() const { return poolChart_; }
    [[nodiscard]] ChartView* ObjectChart() const { return objectChart_; }
    [[nodiscard]] QComboBox* PoolGraphTypes() const { return poolGraphType_; }
    [[nodiscard]] QListWidget* Rules() const { return rules_; }
    [[nodiscard]] QTableWidget* Metrics() const { return metrics_; }
    [[nodiscard]] QPlainTextEdit* Commands() const { return commands_; }
    [[nodiscard]] QFrame* PoolDetails() const { return poolDetails_; }
    [[nodiscard]] QString PoolDetailsTitle() const;
    [[nodiscard]] SimGraphWidget* SimGraphs() const { return simTab_; }
    [[nodiscard]] ClusterWidget* Clusters() const { return clusterTab_; }
    [[nodiscard]] QString StatusText() const;

    // The user's actions, also for tests and keyboard shortcuts.
    void ChoosePool(int row);
    void ChoosePoolGraphType(int type);
    void ActivatePoolBar(int point);
    void ChooseObject(int row); // a row of the whole list, as the session holds it
    // The text of the filter box: the object list shows the objects whose name contains it.
    void FilterObjects(const QString& text);
    void ChooseObjectGraphType(int type);
    void SortObjects(int column);
    void ChooseUsage(int index);
    void NextPool();
    void PreviousPool();
    void SelectTab(int tab);
    // "&Print" and "&Print ...": the print preview of the tab shown.
    void PrintTab();
    void Back();
    void Finish();
    // F5: leaves to read both files again and comes back to the same pool, tab and object.
    void Reload();
    // A file dropped on the window: read in place of the report's own (a Statistics or a
    // Simulation report, told by its first line).
    void ReadDropped(const std::filesystem::path& path);
    // What the window starts with when it is shown after a reload.
    void Resume(ornexa::AnalysisResume resume) {
        session_.SetReloadReader(resume.readAgain);
        resume_ = std::move(resume);
    }
    // "Copy Commands": the pool's commands to the clipboard.
    void CopyCommands() const;
    // "Regroup Objects..." of the cluster tab: the dialog, over the window.
    void Regroup();
    // The history the reports shown go into: its imports are told in the status bar, and
    // "&History..." opens its window.
    void SetHistory(HistoryService* history);
    // "&History..." (Ctrl+H): the History window, over this one; a report opened there is read in
    // place of this one.
    void ShowHistory();
    // The History window while it is open (tests drive it).
    [[nodiscard]] HistoryWindow* History() const { return historyWindow_; }
    // Reads these files in place of the report's own, as a reload does.
    void ReadFiles(const ornexa::RecentReport& files);
    // Ctrl+1 ... Ctrl+4: that chart of the Sim Graph Analysis tab, the tab shown first.
    void ChooseSimChart(int subTab);
    // "Keyboard Shortcuts" under Help: every shortcut of the window.
    void ShowShortcuts();

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override; // the frame's close button leaves as Back does
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override; // every way out keeps the window's state
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildReportTab();
    QWidget* BuildPoolTab();
    QWidget* BuildObjectTab();
    QWidget* BuildRuleTab();
    // Leaves to be shown again with the files of `request`, once they have loaded.
    void LeaveToRead(ornexa::ReloadRequest request);
    // Tells what an action had to tell, then paints what changed.
    void Apply(const ornexa::Messages& told);
    void Refresh();
    void RefreshPoolPage(const ornexa::PoolInfoPage& page);
    void RefreshObjectPage(const ornexa::ObjectInfoPage& page);
    void RefreshAdvice(const ornexa::RuleAnalysisPage& page);
    void SelectShownObject(std::optional<int> row);
    void ShowObjectCount();
    // The state kept from the last window: sort, usage, radius and the save dialogs' folders; the columns
    // once the lists are filled, the geometry in the constructor.
    void RestoreState();
    void SaveState() const;
    void RefreshLegend(const ornexa::Legend& legend, std::array<QLabel*, 5>& captions, std::array<QLabel*, 5>& values);

    UiServices& ui_;
    ornexa::AnalysisSession session_;
    HistoryService* history_ = nullptr;
    HistoryWindow* historyWindow_ = nullptr;
    bool activated_ = false;
    ornexa::AnalysisResume resume_;
    bool refreshing_ = false;
    // The version of each page as it was painted last (0: not painted yet).
    std::uint64_t shownReportVersion_ = 0;
    std::uint64_t shownPoolVersion_ = 0;
    std::uint64_t shownObjectVersion_ = 0;
    std::uint64_t shownRuleVersion_ = 0;

    QTabWidget* tabs_ = nullptr;
    QStatusBar* status_ = nullptr;
    QLabel* statusPanel_ = nullptr;
    std::array<QLabel*, 6> data_{};
    std::array<QLabel*, 6> stats_{};
    PoolListModel* poolModel_ = nullptr;
    QTableView* poolTable_ = nullptr;

    std::array<QLabel*, 5> poolInfo_{};
    std::array<QLabel*, 4> thresholdInfo_{};
    QComboBox* poolGraphType_ = nullptr;
    ChartView* poolChart_ = nullptr;
    std::array<QLabel*, 5> poolLegendCaptions_{};
    std::array<QLabel*, 5> poolLegendValues_{};
    QFrame* poolDetails_ = nullptr;
    QLabel* poolDetailsTitle_ = nullptr;
    std::array<QLabel*, 12> panelData_{};

    TextRowsModel* objectModel_ = nullptr;
    FilteredRowsModel* objectProxy_ = nullptr;
    QLineEdit* objectFilter_ = nullptr;
    QLabel* objectCount_ = nullptr;
    std::vector<ornexa::ObjectListEntry> shownObjects_; // what the object list model holds
    std::vector<std::string> shownObjectCaptions_;
    QTableView* objectTable_ = nullptr;
    QComboBox* objectGraphType_ = nullptr;
    ChartView* objectChart_ = nullptr;
    std::array<QLabel*, 5> objectLegendCaptions_{};
    std::array<QLabel*, 5> objectLegendValues_{};

    QLabel* analysisCaption_ = nullptr;
    QListWidget* rules_ = nullptr;
    QTableWidget* metrics_ = nullptr;
    QPlainTextEdit* commands_ = nullptr;
    QButtonGroup* usage_ = nullptr;
    QPushButton* print_ = nullptr;
    QAction* printItem_ = nullptr;
    SimGraphWidget* simTab_ = nullptr;
    ClusterWidget* clusterTab_ = nullptr;
};
