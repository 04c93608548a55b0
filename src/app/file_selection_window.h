#pragma once

#include <QMainWindow>
#include <functional>

#include "report/report_model.h"
#include "session/file_selection.h"

class QGridLayout;
class QLabel;
class QMenu;
class QToolButton;
class QProgressBar;
class QPushButton;
#include "app/history_service.h"

class TrayMenu;
class UiServices;

// "QVLGraph": choose and read the Statistics and Simulation files, then go on to the analysis.
class FileSelectionWindow : public QMainWindow {
    Q_OBJECT
public:
    // Shows the analysis window for the report and returns when it is closed.
    using AnalysisRunner = std::function<ornexa::AnalysisOutcome(const ornexa::Report&, const ornexa::SimulationData&,
                                                                 const ornexa::AnalysisResume&)>;

    FileSelectionWindow(ornexa::Report& report, ornexa::SimulationData& sim, UiServices& ui, QWidget* parent = nullptr);
    ~FileSelectionWindow() override;
    FileSelectionWindow(const FileSelectionWindow&) = delete;
    FileSelectionWindow& operator=(const FileSelectionWindow&) = delete;
    FileSelectionWindow(FileSelectionWindow&&) = delete;
    FileSelectionWindow& operator=(FileSelectionWindow&&) = delete;

    void SetAnalysisRunner(AnalysisRunner runner) { runner_ = std::move(runner); }
    [[nodiscard]] ornexa::FileSelectionSession& Session() { return session_; }
    [[nodiscard]] TrayMenu* Tray() const { return tray_; }
    // The report history every report shown goes into.
    [[nodiscard]] HistoryService& History() { return history_; }

    // As if the path had been chosen in the dialog of "&Open" or "O&pen".
    void OpenStatistics(const std::filesystem::path& path);
    void OpenSimulation(const std::filesystem::path& path);

    // A report file dropped on the window, read as "&Open" or "O&pen" reads it.
    void ReadDropped(const std::filesystem::path& path);
    // Entry `index` of "Recent Reports".
    void OpenRecent(std::size_t index);
    [[nodiscard]] QMenu* RecentMenu() const { return recentMenu_; }

    // "Limits": the monitor's (the default) or a large site's, kept in the settings; limits given on
    // the command line hold for this run and are kept nowhere. A change applies to the next read.
    [[nodiscard]] QMenu* LimitsMenu() const { return limitsMenu_; }
    void ChooseLimits(const ornexa::ReportLimits& limits, bool keep);
    [[nodiscard]] QToolButton* RecentButton() const { return recent_; }

    void ClickOpenStatistics();
    void ClickOpenSimulation();
    void ClickReset();
    void ClickNext();
    void ClickCancel();

signals:
    void QuitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The parts of the window, made in this order: Tab moves the focus in the order the widgets are made.
    void BuildButtons();
    void BuildFileLabels();
    void LayOut(QGridLayout& grid);
    void BuildMenus();
    // The time of day in the status bar, told anew every second.
    void StartClock();
    void ConnectButtons();
    // The last folder, the recent reports and the limits kept in the settings.
    void ReadKeptSettings();

    void Refresh();
    // What a read told, shown once it is over; the folder and the recent reports kept.
    void ShowStatisticsRead(const ornexa::Messages& told);
    void ShowSimulationRead(const std::optional<ornexa::SimReadResult>& result);
    void ShowPicture(QLabel* picture, QLabel* note, ornexa::StatusPicture shown, const ornexa::ReadSummary& read,
                     bool statistics);
    void RememberFolder();
    void RememberRecent();
    void FillRecentMenu();
    void FillLimitsMenu();

    UiServices& ui_;
    ornexa::FileSelectionSession session_;
    HistoryService history_;
    AnalysisRunner runner_;
    TrayMenu* tray_;
    QPushButton* open_;
    QToolButton* recent_;
    QMenu* recentMenu_;
    QMenu* limitsMenu_;
    QPushButton* openSim_;
    QPushButton* next_;
    QPushButton* reset_;
    QPushButton* cancel_;
    QLabel* statPath_;
    QLabel* simPath_;
    QLabel* statPicture_;
    QLabel* simPicture_;
    QLabel* statNote_; // how far a read got that did not end well: "3 of 9 pools read"
    QLabel* simNote_;
    QProgressBar* progress_;
    QLabel* clock_;
};
