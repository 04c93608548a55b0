#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QToolTip>

#include "app/analysis_shortcuts.h"
#include "app/analysis_window.h"
#include "app/health_grid.h"
#include "app/health_window.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

using ornexa::HealthCell;
using ornexa::HealthPlace;

// A history of SYSA/DB2P reports on 2026-11-10 and on four days from 2026-11-21, and one of SYSB on
// 2026-11-22. The second pool has almost no buffers on two of the days: its pages stay a moment.
class HealthWindowTest : public ::testing::Test {
protected:
    HealthWindowTest() {
        QSettings().clear();
        history.SetLocation((dir.Path() / "history.db").string());
        history.SetKeepEveryReport(false);
        auto store = history.Open();
        EXPECT_TRUE(store.Ok()) << store.FaultText();
        const auto add = [&](const std::string& name, const std::string& date, const char* system, int vpSize) {
            ornexa::Report report = ornexa::samplegen::BuildSampleReport(21);
            report.Header.CollectionDate = date;
            report.Header.CollectionTime = "10.00.00";
            report.Header.SystemName = system;
            report.Pools(2).VPSize = vpSize;
            auto path = dir.Write(name, ornexa::samplegen::StatisticsText(report));
            EXPECT_EQ(ornexa::ImportReportFile(**store.value, path.string()).status, ornexa::ImportStatus::Imported);
            return path;
        };
        add("early.sta", "2026-11-10", "SYSA", 20000);
        for (int day = 0; day < 4; ++day) {
            days.push_back(add("day" + std::to_string(day) + ".sta", "2026-11-2" + std::to_string(day + 1), "SYSA",
                               day % 2 == 1 ? 1 : 20000));
        }
        add("other.sta", "2026-11-22", "SYSB", 20000);
        poolName = std::string(ornexa::samplegen::BuildSampleReport(21).Pools(2).PoolName.Trimmed());
    }

    static QPoint Centre(const HealthGrid& grid, HealthPlace place) { return grid.CellRect(place).center(); }

    ornexa::test::TempDir dir;
    ScriptedServices ui;
    HistoryService history;
    std::vector<std::filesystem::path> days;
    std::string poolName;
};

TEST_F(HealthWindowTest, TheLastSevenDaysHeldShowAsColouredCountedCellsWithTheirRatings) {
    HealthWindow window(history, ui, {"SYSA", ""});
    window.WaitForLoad();
    const ornexa::HealthPage& page = window.Page();
    EXPECT_EQ(window.SystemChoice()->currentText(), QStringLiteral("SYSA/DB2P"));
    EXPECT_EQ(window.FromDay()->date(), QDate(2026, 11, 18));
    EXPECT_EQ(window.ToDay()->date(), QDate(2026, 11, 24));
    // What the history says for those days, and nothing of the earlier report or the other system.
    auto store = ornexa::HistoryStore::Open(history.Location());
    const auto truth = (*store.value)->Health(page.Query());
    ASSERT_TRUE(truth.Ok());
    EXPECT_EQ(page.Overview().cells, truth.value->cells);
    EXPECT_EQ(page.Overview().rows, truth.value->rows);
    ASSERT_EQ(page.ColumnCount(), 4U);
    // The pools with most exception intervals first, then most warning intervals; the starved pool's
    // two days are exceptions.
    const auto& rows = page.Overview().rows;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        int warnings = 0;
        int exceptions = 0;
        for (std::size_t c = 0; c < page.ColumnCount(); ++c) {
            warnings += page.Overview().Cell(r, c) == HealthCell::Warning ? 1 : 0;
            exceptions += page.Overview().Cell(r, c) == HealthCell::Exception ? 1 : 0;
        }
        EXPECT_EQ(rows[r].warnings, warnings) << rows[r].poolName;
        EXPECT_EQ(rows[r].exceptions, exceptions) << rows[r].poolName;
        EXPECT_EQ(rows[r].intervals, 4) << rows[r].poolName;
        if (r > 0) {
            EXPECT_GE(std::pair(rows[r - 1].exceptions, rows[r - 1].warnings), std::pair(exceptions, warnings));
        }
    }
    const auto starved =
        std::find_if(rows.begin(), rows.end(), [&](const auto& row) { return row.poolName == poolName; });
    ASSERT_NE(starved, rows.end());
    const auto row = static_cast<std::size_t>(starved - rows.begin());
    EXPECT_EQ(page.Overview().Cell(row, 1), HealthCell::Exception);
    EXPECT_EQ(page.Overview().Cell(row, 3), HealthCell::Exception);

    // Each cell in its colour; the current one framed.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    HealthGrid* grid = window.Grid();
    const QImage shot = grid->viewport()->grab().toImage();
    for (std::size_t r = 0; r < std::min<std::size_t>(page.RowCount(), 3); ++r) {
        for (std::size_t c = 1; c < page.ColumnCount(); ++c) {
            const QRect rect = grid->CellRect({r, c});
            EXPECT_EQ(shot.pixelColor(rect.left() + 3, rect.top() + 3), HealthCellColour(page.Overview().Cell(r, c)))
                << r << ' ' << c;
        }
    }
    EXPECT_GT(grid->CellWidth(), grid->fontMetrics().horizontalAdvance(QLatin1Char('W'))); // lettered

    // Hovering a cell gives its ratings, as the history rates the report.
    QHelpEvent hover(QEvent::ToolTip, Centre(*grid, {row, 1}), grid->viewport()->mapToGlobal(Centre(*grid, {row, 1})));
    QApplication::sendEvent(grid->viewport(), &hover);
    const QString tip = QToolTip::text();
    EXPECT_TRUE(tip.startsWith(QString::fromStdString(poolName) + QStringLiteral(", 2026-11-22 10:00")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("System page residency time: "))) << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral(", Exception (warning below 90.0 s, exception below 60.0 s)\n")))
        << tip.toStdString();
    EXPECT_TRUE(tip.contains(QStringLiteral("not applicable: "))) << tip.toStdString();

    // The keyboard moves the current cell; Ctrl+C copies its ratings.
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End);
    EXPECT_EQ(page.Current(), (HealthPlace{0, 3}));
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Left);
    EXPECT_EQ(page.Current(), (HealthPlace{1, 2}));
    QTest::keyClick(grid, Qt::Key_PageDown);
    EXPECT_EQ(page.Current(), (HealthPlace{page.RowCount() - 1, 2}));
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(page.Current(), (HealthPlace{0, 0}));
    QTest::keyClick(grid, Qt::Key_Right);
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), window.CellText({0, 1}));
    EXPECT_TRUE(QApplication::clipboard()->text().contains(QStringLiteral("Random hit ratio")));
}

TEST_F(HealthWindowTest, OtherDaysOrAnotherSystemAreReadAgain) {
    HealthWindow window(history, ui, {});
    window.WaitForLoad();
    window.FromDay()->setDate(QDate(2026, 11, 1));
    window.WaitForLoad();
    EXPECT_EQ(window.Page().ColumnCount(), 5U);
    // A first day after the last is refused; the overview stays.
    window.FromDay()->setDate(QDate(2026, 11, 30));
    window.WaitForLoad();
    EXPECT_EQ(window.StatusText(), QStringLiteral("The first day is after the last."));
    EXPECT_EQ(window.Page().ColumnCount(), 5U);
    const int other = window.SystemChoice()->findText(QStringLiteral("SYSB/DB2P"));
    ASSERT_GE(other, 0);
    window.ChooseSystem(other);
    window.WaitForLoad();
    EXPECT_EQ(window.Page().ColumnCount(), 1U);
    EXPECT_EQ(window.FromDay()->date(), QDate(2026, 11, 16));
}

TEST_F(HealthWindowTest, AClickOpensThatReportAtThatPool) {
    HealthWindow window(history, ui, {"SYSA", "DB2P"});
    window.WaitForLoad();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTest::mouseClick(window.Grid()->viewport(), Qt::LeftButton, {}, Centre(*window.Grid(), {1, 3}));
    EXPECT_EQ(window.result(), QDialog::Accepted);
    ASSERT_TRUE(window.Chosen());
    const std::string pool = window.Page().Overview().rows.at(1).poolName;
    EXPECT_EQ(window.Chosen()->place, (ornexa::AnalysisPlace{pool, ornexa::PoolStatAnalysisTab, {}}));
    ASSERT_TRUE(window.FilesToOpen());
    EXPECT_EQ(window.FilesToOpen()->statistics, days[3]);
}

TEST_F(HealthWindowTest, CtrlShiftHIsTheHealthWindowInTheAnalysisAndHistoryWindows) {
    const ornexa::Report report = ornexa::samplegen::BuildSampleReport(21);
    const ornexa::SimulationData sim;
    const auto expectOne = [](QWidget& window) {
        int bound = 0;
        for (const QAction* action : window.findChildren<QAction*>()) {
            bound += action->shortcut() == QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H) ? 1 : 0;
        }
        EXPECT_EQ(bound, 1) << window.objectName().toStdString();
    };
    std::string chosen;
    // The Health window over the history, once read: the first pool in a report opened.
    const auto openFirstPool = [&](HealthWindow* health, std::size_t column) {
        ASSERT_NE(health, nullptr);
        health->WaitForLoad();
        chosen = health->Page().Overview().rows.at(0).poolName;
        health->Open({0, column});
        if (health->isVisible()) {
            health->reject();
        }
    };
    {
        // Without a history: the report shown alone; a click shows its pool on Pool Stat Analysis.
        AnalysisWindow analysis(report, sim, ui, dir.Path());
        analysis.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&analysis));
        expectOne(analysis);
        EXPECT_TRUE(AnalysisShortcutsText().contains(QStringLiteral("Ctrl+Shift+H\t")));
        QTimer::singleShot(0, &analysis, [&] {
            HealthWindow* health = analysis.Health();
            ASSERT_NE(health, nullptr);
            EXPECT_EQ(health->Page().ColumnCount(), 1U);
            EXPECT_FALSE(health->SystemChoice()->isEnabled());
            chosen = health->Page().Overview().rows.at(2).poolName;
            health->Grid()->setFocus();
            QTest::keyClick(health->Grid(), Qt::Key_Down);
            QTest::keyClick(health->Grid(), Qt::Key_Down);
            QTest::keyClick(health->Grid(), Qt::Key_Return);
            if (health->isVisible()) {
                health->reject();
            }
        });
        QTest::keyClick(&analysis, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(analysis.Session().SelectedTab(), ornexa::PoolStatAnalysisTab);
        EXPECT_EQ(report.Pools(analysis.Session().CurrentPool()).PoolName.Str(), chosen);
        EXPECT_FALSE(analysis.Session().Closed());
    }
    {
        // With a history: a stored report is read in place of the one shown, at the pool chosen.
        AnalysisWindow analysis(report, sim, ui, dir.Path());
        analysis.SetHistory(&history);
        analysis.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&analysis));
        QTimer::singleShot(0, &analysis, [&] { openFirstPool(analysis.Health(), 1); });
        QTest::keyClick(&analysis, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
        const ornexa::AnalysisOutcome outcome = analysis.Session().Outcome();
        EXPECT_EQ(outcome.exit, ornexa::AnalysisExit::Reload);
        EXPECT_EQ(outcome.reload.statistics, days[1]);
        EXPECT_EQ(outcome.place, (ornexa::AnalysisPlace{chosen, ornexa::PoolStatAnalysisTab, {}}));
    }
    // From the History window: the History window closes with the report to open and its place.
    HistoryWindow historyWindow(history, ui, poolName);
    historyWindow.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&historyWindow));
    expectOne(historyWindow);
    QTimer::singleShot(0, &historyWindow, [&] { openFirstPool(historyWindow.findChild<HealthWindow*>(), 3); });
    QTest::keyClick(&historyWindow, Qt::Key_H, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(historyWindow.result(), QDialog::Accepted);
    ASSERT_TRUE(historyWindow.FilesToOpen());
    EXPECT_EQ(historyWindow.FilesToOpen()->statistics, days[3]);
    EXPECT_EQ(historyWindow.PlaceToOpen(), (ornexa::AnalysisPlace{chosen, ornexa::PoolStatAnalysisTab, {}}));
}

TEST(HealthGrid, AYearOfQuarterHoursByEightyPoolsPaintsOnlyWhatShows) {
    ornexa::HealthOverview overview;
    constexpr std::size_t columns = 35040;
    constexpr std::size_t rows = 80;
    for (std::size_t c = 0; c < columns; ++c) {
        overview.columns.push_back({static_cast<std::int64_t>(c + 1), "2026-01-01T00:00:00", "SYSA", "DB2P"});
    }
    for (std::size_t r = 0; r < rows; ++r) {
        overview.rows.push_back({"BP" + std::to_string(r), 0, 0, static_cast<int>(columns)});
    }
    overview.cells.resize(rows * columns, HealthCell::Good);
    overview.cells[rows * columns - 1] = HealthCell::Exception;
    ornexa::HealthPage page;
    page.SetOverview(std::move(overview));
    HealthGrid grid;
    grid.resize(800, 400);
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    grid.Show(page);
    EXPECT_GT(grid.horizontalScrollBar()->maximum(), 0);
    grid.setFocus();
    QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier); // the last cell scrolled into view
    ASSERT_EQ(page.Current(), (HealthPlace{rows - 1, columns - 1}));
    const QRect last = grid.CellRect(*page.Current());
    EXPECT_TRUE(grid.viewport()->rect().contains(last.center()));
    EXPECT_EQ(grid.CellAt(last.center()), page.Current());
    const QImage shot = grid.viewport()->grab().toImage();
    EXPECT_EQ(shot.pixelColor(last.left() + 2, last.bottom() - 2), HealthCellColour(HealthCell::Exception));
}

} // namespace
