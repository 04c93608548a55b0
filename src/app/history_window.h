#pragma once

#include <QDialog>
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "history/history_import.h"
#include "session/analysis_session.h"
#include "session/file_dialogs.h"
#include "session/history_page.h"

class ChartView;
class HistoryChangeWatch;
class HistoryImportBatch;
class HistoryService;
class HistoryTableModel;
class QAction;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLineEdit;
class QListView;
class QProgressDialog;
class QPushButton;
class QSortFilterProxyModel;
class QStatusBar;
class QStringListModel;
class QTabWidget;
class QTableView;
class UiServices;

// The History window: the reports held, a pool's and an object's trend, and two reports compared.
// Everything it shows comes from its HistoryPage; a fault goes to its status bar and leaves what
// was shown.
class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    enum Tab : int { ReportsTab, TrendTab, CompareTab };

    // `currentPool`: the pool the analysis window shows, where the trend starts.
    HistoryWindow(HistoryService& history, UiServices& ui, std::string currentPool, QWidget* parent = nullptr);

    // The page, when the history could be opened.
    [[nodiscard]] const ornexa::HistoryPage* Page() const { return page_ ? &*page_ : nullptr; }
    [[nodiscard]] QTabWidget* Tabs() const { return tabs_; }
    [[nodiscard]] QTableView* ReportList() const { return reports_; }
    [[nodiscard]] QComboBox* PoolChoice() const { return pool_; }
    [[nodiscard]] ChartView* PoolChart(int chart) const { return poolCharts_.at(static_cast<std::size_t>(chart)); }
    [[nodiscard]] QLineEdit* ObjectFilter() const { return objectFilter_; }
    [[nodiscard]] QListView* ObjectList() const { return objectList_; }
    [[nodiscard]] ChartView* ObjectChart(int chart) const { return objectCharts_.at(static_cast<std::size_t>(chart)); }
    [[nodiscard]] QComboBox* CompareBefore() const { return before_; }
    [[nodiscard]] QComboBox* CompareAfter() const { return after_; }
    [[nodiscard]] QTableView* ComparedPools() const { return comparedPools_; }
    [[nodiscard]] QTableView* ObjectMoves() const { return moves_; }
    [[nodiscard]] QTableView* GetPageChanges() const { return getPageChanges_; }
    [[nodiscard]] QTableView* SyncReadChanges() const { return syncReadChanges_; }
    // The setting changes of the trend's pool and of the pools the compared reports straddle.
    [[nodiscard]] QTableView* TrendSettingChanges() const { return trendChanges_; }
    [[nodiscard]] QTableView* ComparedSettingChanges() const { return comparedChanges_; }
    [[nodiscard]] QAction* KeepEveryReport() const { return keep_; }
    [[nodiscard]] QString StatusText() const;
    // The files "Open" chose, for the analysis window to read once this window is closed.
    [[nodiscard]] const std::optional<ornexa::RecentReport>& FilesToOpen() const { return open_; }
    // Where the report opened is shown: a pool chosen in the Health window; none for where the user was.
    [[nodiscard]] const std::optional<ornexa::AnalysisPlace>& PlaceToOpen() const { return openPlace_; }
    // "H&ealth..." (Ctrl+Shift+H): the Health window of the history; a cell chosen there is opened.
    void ShowHealth();

    // The user's actions, also for tests.
    void OpenChosen();
    void RemoveChosen();
    void ChoosePool(const QString& name);
    void ChooseObject(const QString& name);
    void ChooseComparison();
    // "&Import...": Statistics reports into the history, in the background.
    void ImportFile();
    // "Import &Folder...": the reports of a folder and its subfolders.
    void ImportFolder();
    // Files and folders (also dropped on the window), with a progress dialog that stops the run.
    // The reports that fail are told at the end with their reasons.
    void ImportPaths(const std::vector<std::filesystem::path>& paths);
    [[nodiscard]] bool Importing() const { return batch_ != nullptr; }
    [[nodiscard]] QProgressDialog* ImportProgress() const { return progress_; }
    // "History &Database...": another file or server, opened off the window's thread; the one
    // before stays when it does not open.
    void ChooseDatabase();
    [[nodiscard]] bool OpeningDatabase() const { return opening_; }
    // Opens the history where the settings say; the fault (also told) when it does not open.
    std::string Reopen();

protected:
    void done(int result) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* BuildReportsTab();
    QWidget* BuildTrendTab();
    QWidget* BuildCompareTab();
    void Tell(const std::string& fault);
    void Refresh();
    void RefreshTrend();
    void RefreshObjects();
    void RefreshComparison();
    [[nodiscard]] std::optional<std::int64_t> ChosenReport() const;
    void ShowStore(std::shared_ptr<ornexa::HistoryStore> store);
    void ImportsOver(const ornexa::ImportSummary& summary);
    // Opens `location` off the window's thread; `before`, the history that stays when it does not
    // open (none when the window opens).
    void OpenInBackground(const std::string& location, const std::optional<std::string>& before);
    void DatabaseOpened(const std::string& location, const std::optional<std::string>& before,
                        ornexa::HistoryResult<std::shared_ptr<ornexa::HistoryStore>> opened);
    void UpdateActions();

    HistoryService& history_;
    UiServices& ui_;
    // Where the window's chart and list save dialogs start: the last folder of their kind (no report
    // of its own to stand beside).
    ornexa::SaveFolders saveFolders_;
    std::string currentPool_;
    std::optional<ornexa::HistoryPage> page_;
    std::optional<ornexa::RecentReport> open_;
    std::optional<ornexa::AnalysisPlace> openPlace_;
    bool refreshing_ = false;
    bool opening_ = false;
    HistoryImportBatch* batch_ = nullptr; // while an import runs
    HistoryChangeWatch* changes_ = nullptr; // reports another program stores or removes
    QProgressDialog* progress_ = nullptr;

    QTabWidget* tabs_ = nullptr;
    QStatusBar* status_ = nullptr;
    QAction* keep_ = nullptr;
    QAction* import_ = nullptr;
    QAction* importFolder_ = nullptr;
    QAction* database_ = nullptr;
    HistoryTableModel* reportModel_ = nullptr;
    QSortFilterProxyModel* reportProxy_ = nullptr;
    QTableView* reports_ = nullptr;
    QPushButton* openButton_ = nullptr;
    QPushButton* removeButton_ = nullptr;
    QComboBox* pool_ = nullptr;
    std::array<ChartView*, ornexa::PoolTrendChartCount> poolCharts_{};
    QLineEdit* objectFilter_ = nullptr;
    QStringListModel* objectNames_ = nullptr;
    QListView* objectList_ = nullptr;
    std::array<ChartView*, ornexa::ObjectTrendChartCount> objectCharts_{};
    QComboBox* before_ = nullptr;
    QComboBox* after_ = nullptr;
    HistoryTableModel* comparedPoolModel_ = nullptr;
    HistoryTableModel* moveModel_ = nullptr;
    HistoryTableModel* getPageModel_ = nullptr;
    HistoryTableModel* syncReadModel_ = nullptr;
    QTableView* comparedPools_ = nullptr;
    QTableView* moves_ = nullptr;
    QTableView* getPageChanges_ = nullptr;
    QTableView* syncReadChanges_ = nullptr;
    HistoryTableModel* trendChangeModel_ = nullptr;
    HistoryTableModel* comparedChangeModel_ = nullptr;
    QTableView* trendChanges_ = nullptr;
    QTableView* comparedChanges_ = nullptr;
};
