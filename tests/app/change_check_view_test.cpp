// The History window tells whether a setting change helped: under the trend's charts and beside the
// comparison of two reports that lie on either side of the change.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLocale>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/history_models.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "change_series.h"
#include "scripted_services.h"
#include "stat_fixture.h"

namespace {

class ChangeCheckViewTest : public ::testing::Test {
protected:
    ChangeCheckViewTest() {
        QSettings().clear();
        history.SetLocation((dir.Path() / "history.db").string());
        auto store = history.Open();
        EXPECT_TRUE(store.Ok()) << store.FaultText();
        for (const auto& file : series.files) {
            const auto outcome =
                ornexa::ImportReportFile(**store.value, file.statistics.string(), file.simulation.string());
            EXPECT_EQ(outcome.status, ornexa::ImportStatus::Imported) << outcome.message;
            ids.push_back(outcome.reportId);
        }
    }

    // The rows of a table as the user sees them: column `column` by the figure in column 3.
    static std::map<QString, QString> Column(QTableView* view, int column) {
        std::map<QString, QString> cells;
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            cells[model->index(row, 3).data().toString()] = model->index(row, column).data().toString();
        }
        return cells;
    }

    ornexa::test::TempDir dir;
    ornexa::test::ChangeSeries series = ornexa::test::WriteChangeSeries(dir.Path() / "reports");
    ScriptedServices ui;
    HistoryService history;
    std::vector<std::int64_t> ids;
};

TEST_F(ChangeCheckViewTest, TheTrendListsTheChangeWithItsFiguresAndPrediction) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    HistoryWindow window(history, ui, series.pool);
    window.Tabs()->setCurrentIndex(HistoryWindow::TrendTab);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QTableView* table = window.TrendSettingChanges();
    ASSERT_TRUE(table->isVisibleTo(&window));
    // Ten figures and the predicted hit ratio and read rate.
    ASSERT_EQ(table->model()->rowCount(), 11);
    const QString change = QStringLiteral("VPSIZE %1 -> %2").arg(series.sizeBefore).arg(series.sizeAfter);
    EXPECT_EQ(table->model()->index(0, 1).data().toString(), change);
    EXPECT_EQ(table->model()->index(0, 2).data().toString(), QStringLiteral("Same hours, 3 before and 3 after"));
    const auto before = Column(table, 4);
    const auto after = Column(table, 5);
    const auto verdict = Column(table, 7);
    EXPECT_EQ(before.at(QStringLiteral("Hit Ratio")), QStringLiteral("70"));
    EXPECT_EQ(after.at(QStringLiteral("Hit Ratio")), QStringLiteral("90"));
    EXPECT_EQ(verdict.at(QStringLiteral("Hit Ratio")), QStringLiteral("Better"));
    EXPECT_EQ(verdict.at(QStringLiteral("Synchronous read I/O per second")), QStringLiteral("Better"));
    EXPECT_EQ(verdict.at(QStringLiteral("Get Pages / sec")), QStringLiteral("Not rated"));
    const QString predicted = QStringLiteral("Hit Ratio: predicted (simulation of report %1) and measured")
                                  .arg(ids[static_cast<std::size_t>(series.files.size() / 2 - 1)]);
    ASSERT_TRUE(before.contains(predicted)) << predicted.toStdString();
    EXPECT_TRUE(before.at(predicted).contains(QLatin1Char(','))) << "the user's decimal comma";
    EXPECT_TRUE(verdict.at(predicted).startsWith(QStringLiteral("Prediction")));
    QLocale::setDefault(QLocale::c());

    // Another pool without a change empties the list.
    window.ChoosePool(QStringLiteral("BP0"));
    EXPECT_EQ(table->model()->rowCount(), 0);
}

TEST_F(ChangeCheckViewTest, AComparisonAcrossTheChangeListsItAndOneOnOneSideDoesNot) {
    HistoryWindow window(history, ui, series.pool);
    window.Tabs()->setCurrentIndex(HistoryWindow::CompareTab);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto compare = [&window](std::int64_t older, std::int64_t newer) {
        window.CompareBefore()->setCurrentIndex(window.CompareBefore()->findData(static_cast<qlonglong>(older)));
        window.CompareAfter()->setCurrentIndex(window.CompareAfter()->findData(static_cast<qlonglong>(newer)));
        window.ChooseComparison();
        return window.ComparedSettingChanges()->model()->rowCount();
    };
    EXPECT_EQ(compare(ids.front(), ids.back()), 11);
    EXPECT_EQ(window.ComparedSettingChanges()->model()->index(0, 0).data().toString(), QStringLiteral("BP1"));
    EXPECT_EQ(compare(ids.front(), ids[1]), 0);
}

} // namespace
