#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/analysis_window.h"
#include "app/history_service.h"
#include "app/list_models.h"
#include "app/pool_sizing_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/sizing_chart.h"
#include "history/history_import.h"
#include "keyboard_walk.h"
#include "report/pool_choice.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

class PoolSizingDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings().clear();
        ASSERT_TRUE(ornexa::ReadStatisticsFile(report, Samples / "statistics-usa.sta").Loaded());
        ASSERT_TRUE(ornexa::ReadSimulationFile(report, sim, Samples / "simulation-bp1.sim").Loaded());
        window = std::make_unique<AnalysisWindow>(report, sim, ui, Samples.parent_path() / "data");
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    // The dialog as Ctrl+Shift+Z opens it.
    PoolSizingDialog* Open() {
        QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        return window->findChild<PoolSizingDialog*>();
    }

    // The text of the result row of `pool` in `column`, as the table shows it.
    static QString Cell(const QTableView& view, const QString& pool, int column) {
        const QAbstractItemModel& model = *view.model();
        for (int r = 0; r < model.rowCount(); ++r) {
            if (model.index(r, SizingResultModel::PoolColumn).data().toString() == pool) {
                return model.index(r, column).data().toString();
            }
        }
        return {};
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    std::unique_ptr<AnalysisWindow> window;
};

TEST_F(PoolSizingDialogTest, TheBudgetTypedKeyByKeyPlansAgainAndABadOneIsSaid) {
    PoolSizingDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Pool Sizing"));
    QAbstractItemModelTester boundsTester(dialog->Bounds()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester resultTester(dialog->Results()->model(),
                                          QAbstractItemModelTester::FailureReportingMode::Fatal);
    ASSERT_EQ(dialog->Results()->model()->rowCount(), report.PoolCount());
    const QString current = Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn);
    EXPECT_EQ(current, QLocale().toString(20000));

    dialog->Budget()->setFocus();
    QTest::keyClicks(dialog->Budget(), QStringLiteral("+"));
    EXPECT_FALSE(dialog->BudgetMessage()->isHidden()) << "a sign alone is no budget";
    EXPECT_FALSE(dialog->BudgetMessage()->text().isEmpty());
    QTest::keyClicks(dialog->Budget(), QStringLiteral("1G"));
    EXPECT_TRUE(dialog->BudgetMessage()->isHidden());
    EXPECT_EQ(dialog->Page().Budget().bytes, std::int64_t{1} << 30);
    const QString grown = Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn);
    EXPECT_NE(grown, current);
    QTest::keyClick(dialog->Budget(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible()) << "Enter in the budget does not close the dialog";

    QTest::keyClicks(dialog->Budget(), QStringLiteral("X"));
    EXPECT_FALSE(dialog->BudgetMessage()->isHidden());
    EXPECT_EQ(Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn), grown)
        << "the last good plan stays, greyed";
    EXPECT_FALSE(dialog->Totals()->isEnabled());
}

TEST_F(PoolSizingDialogTest, WithoutTheEstimateTheBudgetGoesWhereTheSimulationSpeaks) {
    PoolSizingDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    dialog->Budget()->setFocus();
    QTest::keyClicks(dialog->Budget(), QStringLiteral("+200M"));
    const QLocale locale;
    // The estimate promises more per byte for the small pools: they take the budget.
    EXPECT_EQ(Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn),
              locale.toString(20000));
    EXPECT_EQ(
        dialog->Totals()->text(),
        QStringLiteral("Budget +%1 MB: +%2 MB placed in 8 pools, %3 synchronous read I/Os per second saved")
            .arg(locale.toString(200.0, 'f', 2), locale.toString(199.22, 'f', 2), locale.toString(326.42, 'f', 2)));

    ASSERT_TRUE(dialog->Estimate()->isChecked());
    // Tab goes from the budget to the switch, Space turns it off.
    dialog->Budget()->setFocus();
    keyboard::Press(*dialog, Qt::Key_Tab);
    ASSERT_EQ(dialog->focusWidget(), dialog->Estimate());
    keyboard::Press(*dialog, Qt::Key_Space);
    EXPECT_FALSE(dialog->Estimate()->isChecked());
    EXPECT_EQ(Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn),
              locale.toString(40000));
    EXPECT_EQ(Cell(*dialog->Results(), QStringLiteral("BP0"), SizingResultModel::ProposedColumn),
              locale.toString(2000));
    EXPECT_TRUE(dialog->Totals()->text().contains(QStringLiteral("placed in one pool")));
    const QString commands = QString::fromStdString(dialog->Page().CommandsText());
    EXPECT_TRUE(commands.contains(QStringLiteral("-ALTER BUFFERPOOL(BP1) VPSIZE(40000)")));
    EXPECT_TRUE(commands.contains(QStringLiteral("BP0: nothing tells its reads at another size")));
}

TEST_F(PoolSizingDialogTest, BoundsRowsChartCopyAndSave) {
    PoolSizingDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    dialog->Budget()->setText(QStringLiteral("-200M"));
    // Protect every pool: giving back then takes nothing from any.
    QAbstractItemModel& bounds = *dialog->Bounds()->model();
    for (int r = 0; r < bounds.rowCount(); ++r) {
        EXPECT_TRUE(
            bounds.setData(bounds.index(r, SizingBoundsModel::ProtectedColumn), Qt::Checked, Qt::CheckStateRole));
    }
    for (const ornexa::SizingRow& row : dialog->Page().Rows()) {
        EXPECT_GE(row.proposedBuffers, row.currentBuffers) << row.poolName;
    }
    // A largest size typed into the bounds list.
    dialog->Budget()->setText(QStringLiteral("+1G"));
    int bp1 = -1;
    for (int r = 0; r < bounds.rowCount(); ++r) {
        if (bounds.index(r, SizingBoundsModel::PoolColumn).data().toString() == QStringLiteral("BP1")) {
            bp1 = r;
        }
    }
    ASSERT_GE(bp1, 0);
    EXPECT_TRUE(
        bounds.setData(bounds.index(bp1, SizingBoundsModel::LargestColumn), QStringLiteral("21000"), Qt::EditRole));
    EXPECT_EQ(Cell(*dialog->Results(), QStringLiteral("BP1"), SizingResultModel::ProposedColumn),
              QLocale().toString(21000));
    EXPECT_FALSE(
        bounds.setData(bounds.index(bp1, SizingBoundsModel::LargestColumn), QStringLiteral("lots"), Qt::EditRole));

    // Sorting by reads saved, then choosing BP1's row: the chart shows BP1 with both marks.
    dialog->Results()->sortByColumn(SizingResultModel::ReadsSavedColumn, Qt::DescendingOrder);
    const QAbstractItemModel& results = *dialog->Results()->model();
    for (int r = 1; r < results.rowCount(); ++r) {
        EXPECT_GE(results.index(r - 1, SizingResultModel::ReadsSavedColumn).data(SortRole).toDouble(),
                  results.index(r, SizingResultModel::ReadsSavedColumn).data(SortRole).toDouble());
    }
    for (int r = 0; r < results.rowCount(); ++r) {
        if (results.index(r, SizingResultModel::PoolColumn).data().toString() == QStringLiteral("BP1")) {
            dialog->Results()->setCurrentIndex(results.index(r, 0));
        }
    }
    EXPECT_EQ(dialog->Chart()->Data().poolName, "BP1");
    EXPECT_EQ(dialog->Chart()->Data().proposedBuffers, std::optional<std::int64_t>(21000));

    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSizingCopy")), Qt::LeftButton);
    const QString commands = QGuiApplication::clipboard()->text();
    EXPECT_EQ(commands.toStdString(), dialog->Page().CommandsText());
    EXPECT_TRUE(commands.contains(QStringLiteral("-ALTER BUFFERPOOL(BP1) VPSIZE(21000)"))) << commands.toStdString();

    const ornexa::test::TempDir dir;
    ui.answers = {dir.Path() / "plan"};
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("cmdSizingSave")), Qt::LeftButton);
    ASSERT_FALSE(ui.saveRequests.empty());
    EXPECT_EQ(ui.saveRequests.back().fileName, "pool-sizing.txt");
    std::ifstream saved(dir.Path() / "plan.txt", std::ios::binary);
    std::stringstream text;
    text << saved.rdbuf();
    EXPECT_EQ(text.str(), dialog->Page().CommandsText());
    EXPECT_TRUE(ui.messages.empty());

    ui.answers = {dir.Path() / "missing" / "folder" / "plan.txt"};
    dialog->Save();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages.back().text.find("plan.txt"), std::string::npos) << ui.messages.back().text;
}

TEST_F(PoolSizingDialogTest, PoolStatAnalysisAndTheSimulationTabOpenItAtTheirPool) {
    struct Case {
        int pool;
        ornexa::AnalysisTab tab;
        QWidget* (*view)(const AnalysisWindow&);
    };
    const Case cases[] = {
        {3, ornexa::PoolStatAnalysisTab, [](const AnalysisWindow& w) -> QWidget* { return w.RuleAnalysis(); }},
        {1, ornexa::SimGraphTab, [](const AnalysisWindow& w) -> QWidget* { return w.SimGraphs(); }},
    };
    for (const Case& c : cases) {
        window->ChoosePool(c.pool);
        window->SelectTab(c.tab);
        auto* button = c.view(*window)->findChild<QPushButton*>(QStringLiteral("cmdPoolSizing"));
        ASSERT_NE(button, nullptr) << c.tab;
        EXPECT_TRUE(button->isEnabled());
        button->click();
        auto* dialog = window->findChild<PoolSizingDialog*>();
        ASSERT_NE(dialog, nullptr) << c.tab;
        const QString shown = QString::fromStdString(ornexa::ShownPoolName(report, window->Session().CurrentPool()));
        EXPECT_EQ(dialog->Chart()->Data().poolName, shown.toStdString()) << "opened at the pool the tab shows";
        EXPECT_EQ(dialog->Results()->currentIndex().data().toString(), shown);
        delete dialog;
    }
}

TEST_F(PoolSizingDialogTest, SpaceProtectsAPoolAndDigitsTypeItsLargestSize) {
    PoolSizingDialog* dialog = Open();
    ASSERT_NE(dialog, nullptr);
    QTableView* bounds = dialog->Bounds();
    bounds->setFocus();
    bounds->setCurrentIndex(bounds->model()->index(1, SizingBoundsModel::ProtectedColumn));
    QTest::keyClick(bounds, Qt::Key_Space);
    EXPECT_TRUE(dialog->Page().Protected(1));
    QTest::keyClick(bounds, Qt::Key_Space);
    EXPECT_FALSE(dialog->Page().Protected(1));

    bounds->setCurrentIndex(bounds->model()->index(1, SizingBoundsModel::LargestColumn));
    for (const char key : std::string("25000")) { // the first digit opens the editor, the others go into it
        QTest::keyClick(dialog->focusWidget(), key);
    }
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
    QCoreApplication::sendPostedEvents(); // the editor hands its text over in a queued call
    EXPECT_EQ(dialog->Page().LargestSize(1), std::optional<std::int64_t>(25000));
    EXPECT_TRUE(dialog->isVisible());

    // Tab goes round every control and back; Enter in the plan closes nothing.
    keyboard::Activate(*dialog);
    dialog->Budget()->setFocus();
    EXPECT_GE(keyboard::WalkWithTab(*dialog, QStringLiteral("Pool Sizing")).size(), 5U);
    dialog->Results()->setFocus();
    QTest::keyClick(dialog->Results(), Qt::Key_Return);
    EXPECT_TRUE(dialog->isVisible());
}

// A history of the same system where the second pool ran at other sizes under the same load: its curve
// gains history points once the dialog has read them, off the window's thread.
TEST(PoolSizingHistory, TheHistorysSizesBecomeEvidenceWhenTheyArrive) {
    QSettings().clear();
    const ornexa::test::TempDir dir;
    HistoryService history;
    history.SetLocation((dir.Path() / "history.db").string());
    {
        auto store = history.Open();
        ASSERT_TRUE(store.Ok()) << store.FaultText();
        for (int day = 0; day < 2; ++day) {
            ornexa::Report other = ornexa::samplegen::BuildSampleReport(21);
            other.Header.CollectionDate = "2026-11-2" + std::to_string(day + 1);
            other.Pools(2).VPSize = 40000 + 10000 * day;
            const auto path = dir.Write("day" + std::to_string(day) + ".sta", ornexa::samplegen::StatisticsText(other));
            EXPECT_EQ(ornexa::ImportReportFile(**store.value, path.string()).status, ornexa::ImportStatus::Imported);
        }
    }
    ornexa::Report report; // as read, with its interval
    ASSERT_TRUE(
        ornexa::ReadStatisticsFile(
            report, dir.Write("today.sta", ornexa::samplegen::StatisticsText(ornexa::samplegen::BuildSampleReport(21))))
            .Loaded());
    const ornexa::SimulationData sim;
    ScriptedServices ui;
    ornexa::SaveFolders folders;
    PoolSizingDialog dialog(ornexa::PoolSizingPage(report, sim), ui, folders);
    const std::string pool(report.Pools(2).PoolName.Trimmed());
    EXPECT_FALSE(dialog.Page().HasHistory());
    QSignalSpy loaded(&dialog, &PoolSizingDialog::HistoryLoaded);
    dialog.LoadHistory(history);
    ASSERT_TRUE(loaded.wait(60000));
    EXPECT_TRUE(dialog.Page().HasHistory());
    const auto& points = dialog.Page().Curves().at(1).points;
    EXPECT_EQ(std::count_if(points.begin(), points.end(),
                            [](const ornexa::SizingPoint& p) { return p.evidence == ornexa::SizingEvidence::History; }),
              2);
    const QAbstractItemModel& results = *dialog.Results()->model();
    EXPECT_TRUE(
        results.index(1, SizingResultModel::EvidenceColumn).data().toString().contains(QStringLiteral("history")))
        << pool;
}

} // namespace
