#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QColor>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QSortFilterProxyModel>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/history_models.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "app/list_models.h"
#include "keyboard_walk.h"
#include "report/fixed_text.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stat_writer.h"
#include "stats/ui/chart_view.h"

namespace {

using ornexa::HistoryReportInfo;

// A history of four generated reports of SYSA/DB2P, a day apart; the second pool's VPSIZE goes
// from 20000 to 30000 on the third day, and its getpages double.
class HistoryWindowTest : public ::testing::Test {
protected:
    HistoryWindowTest() {
        QSettings().clear();
        // Set here, not read back: other test programs share the settings file.
        history.SetLocation((dir.Path() / "history.db").string());
        history.SetKeepEveryReport(true);
        auto store = history.Open();
        EXPECT_TRUE(store.Ok()) << store.FaultText();
        for (int day = 0; day < 4; ++day) {
            ornexa::Report report = ornexa::samplegen::BuildSampleReport(21);
            report.Header.CollectionDate = "2026-11-2" + std::to_string(day + 1);
            report.Header.CollectionTime = "10.00.00";
            ornexa::PoolRecord& pool = report.Pools(2);
            pool.VPSize = day < 2 ? 20000 : 30000;
            pool.PoolGetPages += day * 1000;
            pool.PoolHitRatio = 50 + day;                // better day by day
            report.Objects(1).ObjGetPages += day * 5400; // one more getpage a second each day
            const auto path =
                dir.Write("day" + std::to_string(day) + ".sta", ornexa::samplegen::StatisticsText(report));
            EXPECT_EQ(ornexa::ImportReportFile(**store.value, path.string()).status, ornexa::ImportStatus::Imported);
        }
        poolName = std::string(ornexa::samplegen::BuildSampleReport(21).Pools(2).PoolName.Trimmed());
    }

    static QSortFilterProxyModel* Proxy(QTableView* view) { return static_cast<QSortFilterProxyModel*>(view->model()); }
    static HistoryTableModel* Source(QTableView* view) {
        return static_cast<HistoryTableModel*>(Proxy(view)->sourceModel());
    }
    void SelectReport(HistoryWindow& window, std::int64_t id) {
        QTableView* list = window.ReportList();
        const QModelIndex index = Proxy(list)->mapFromSource(Source(list)->index(Source(list)->RowOf(id), 0));
        list->setCurrentIndex(index);
    }

    ornexa::test::TempDir dir;
    ScriptedServices ui;
    HistoryService history;
    std::string poolName;
};

TEST_F(HistoryWindowTest, EveryModelHoldsUpUnderTheTester) {
    HistoryWindow window(history, ui, poolName);
    std::vector<std::unique_ptr<QAbstractItemModelTester>> testers;
    for (QTableView* view : {window.ReportList(), window.ComparedPools(), window.ObjectMoves(), window.GetPageChanges(),
                             window.SyncReadChanges()}) {
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            view->model(), QAbstractItemModelTester::FailureReportingMode::Fatal));
        testers.push_back(std::make_unique<QAbstractItemModelTester>(
            Source(view), QAbstractItemModelTester::FailureReportingMode::Fatal));
    }
    testers.push_back(std::make_unique<QAbstractItemModelTester>(
        window.ObjectList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal));
    ASSERT_EQ(window.ReportList()->model()->rowCount(), 4);
    // Everything changes under the testers: a removal, another pool, another filter.
    SelectReport(window, 2);
    ui.confirmations = {true};
    window.RemoveChosen();
    window.ChoosePool(window.PoolChoice()->itemText(0));
    window.ObjectFilter()->setText(QStringLiteral("A"));
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 3);
}

TEST_F(HistoryWindowTest, TheTrendShowsTheStoredFiguresAndMarksTheVPSizeChange) {
    HistoryWindow window(history, ui, poolName);
    EXPECT_EQ(window.PoolChoice()->currentText().toStdString(), poolName);
    const auto stored = window.Page()->Store().Location();
    auto store = ornexa::HistoryStore::Open(stored);
    const auto points = (*store.value)->PoolTrend(poolName);
    ASSERT_TRUE(points.Ok());
    ASSERT_EQ(points.value->size(), 4U);

    const ornexa::ChartModel& getPages = window.PoolChart(ornexa::GetPagesTrend)->Model();
    ASSERT_EQ(getPages.series.at(0).size(), 4U);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(getPages.series[0][i], *(*points.value)[i].getPagesPerSecond) << i;
    }
    const ornexa::ChartModel& vpSize = window.PoolChart(ornexa::VPSizeTrend)->Model();
    EXPECT_EQ(vpSize.series.at(0), (std::vector<double>{20000, 20000, 30000, 30000}));
    EXPECT_TRUE(
        window.PoolChart(ornexa::HitRatioTrend)->MarkerTexts().contains(QStringLiteral("VPSIZE 20000 -> 30000")));
    // A point's tooltip names its report.
    window.Tabs()->setCurrentIndex(HistoryWindow::TrendTab);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const auto at = window.PoolChart(ornexa::GetPagesTrend)->PointPosition(0, 2);
    ASSERT_TRUE(at.has_value());
    EXPECT_TRUE(window.PoolChart(ornexa::GetPagesTrend)->ToolTipAt(*at).contains(QStringLiteral("day2.sta")));

    // Another pool chosen from the list with the keyboard.
    window.PoolChoice()->setFocus();
    QTest::keyClick(window.PoolChoice(), Qt::Key_Home);
    EXPECT_EQ(window.Page()->CurrentPool(), window.Page()->PoolNames().front());

    // An object chosen from the filter box: its charts follow.
    const std::string object = window.Page()->ObjectNames().at(1);
    window.ObjectFilter()->setText(QString::fromStdString(object));
    EXPECT_EQ(window.ObjectList()->model()->rowCount(), 1);
    EXPECT_EQ(window.Page()->CurrentObject(), object);
    EXPECT_EQ(window.ObjectChart(ornexa::ObjectGetPagesTrend)->Model().series.at(0).size(), 4U);
}

TEST_F(HistoryWindowTest, TheComparisonColoursBetterAndWorse) {
    HistoryWindow window(history, ui, poolName);
    // The two newest by default, older first.
    EXPECT_EQ(window.CompareBefore()->currentData().toLongLong(), 3);
    EXPECT_EQ(window.CompareAfter()->currentData().toLongLong(), 4);
    window.CompareBefore()->setCurrentIndex(window.CompareBefore()->findData(1));
    window.ChooseComparison();
    EXPECT_EQ(window.Page()->CompareBefore(), 1);

    HistoryTableModel* pools = Source(window.ComparedPools());
    ASSERT_GT(pools->rowCount(), 1);
    int coloured = 0;
    for (int row = 0; row < pools->rowCount(); ++row) {
        for (int column = 1; column < pools->columnCount(); ++column) {
            const QModelIndex index = pools->index(row, column);
            const QString verdict = index.data(VerdictRole).toString();
            const QVariant ground = index.data(Qt::BackgroundRole);
            if (verdict == "better" || verdict == "worse") {
                ++coloured;
                ASSERT_TRUE(ground.canConvert<QColor>());
                const auto colour = ground.value<QColor>();
                EXPECT_LT(colour.alpha(), 255); // the palette's text stays readable on it
                EXPECT_EQ(colour.green() > colour.red(), verdict == "better");
            } else {
                EXPECT_FALSE(ground.isValid());
            }
        }
    }
    EXPECT_GT(coloured, 0);
    // The second pool's getpages grew by 3000 between day 1 and day 4.
    const int row = [&] {
        for (int r = 0; r < pools->rowCount(); ++r) {
            if (pools->index(r, 0).data().toString().toStdString() == poolName) {
                return r;
            }
        }
        return -1;
    }();
    ASSERT_GE(row, 0);
    EXPECT_DOUBLE_EQ(pools->index(row, 1 + 4 * 1 + 2).data(SortRole).toDouble(), 3000); // Get Pages change
    HistoryTableModel* changes = Source(window.GetPageChanges());
    ASSERT_GT(changes->rowCount(), 0);
    EXPECT_DOUBLE_EQ(changes->index(0, 5).data(SortRole).toDouble(), 3); // day 1 to day 4: 3 getpages/s more
}

TEST_F(HistoryWindowTest, ReportsSortByValueAndAreRemovedOnlyWhenConfirmed) {
    HistoryWindow window(history, ui, poolName);
    QTableView* list = window.ReportList();
    list->sortByColumn(2, Qt::DescendingOrder); // Collected
    EXPECT_EQ(list->model()->index(0, 2).data().toString(), "2026-11-24 10:00:00");

    SelectReport(window, 4);
    ui.confirmations = {false};
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdRemoveReport")), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 4);
    ASSERT_EQ(ui.questions.size(), 1U);
    EXPECT_NE(ui.questions[0].text.find("Its file is left as it is"), std::string::npos);

    ui.confirmations = {true};
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("cmdRemoveReport")), Qt::LeftButton);
    EXPECT_EQ(list->model()->rowCount(), 3);
    EXPECT_EQ(window.StatusText(), "Report 4 removed from the history.");
    EXPECT_EQ(window.Page()->Find(4), nullptr);
}

TEST_F(HistoryWindowTest, OpenNeedsTheFileAndAnotherDatabaseMustOpen) {
    HistoryWindow window(history, ui, poolName);
    SelectReport(window, 1);
    std::filesystem::remove(dir.Path() / "day0.sta");
    window.OpenChosen();
    EXPECT_FALSE(window.FilesToOpen().has_value());
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("is no longer there")));

    SelectReport(window, 2);
    window.OpenChosen();
    ASSERT_TRUE(window.FilesToOpen().has_value());
    EXPECT_EQ(window.FilesToOpen()->statistics.filename(), "day1.sta");
    EXPECT_EQ(window.result(), QDialog::Accepted);

    // A file that is not a history: refused, the history stays where it was.
    const std::string before = history.Location();
    const auto foreign = dir.Write("foreign.db", "plain text, and long enough to be told from a database");
    ui.texts = {foreign.string()};
    window.ChooseDatabase();
    QTRY_VERIFY(!window.OpeningDatabase()); // opened off the window's thread
    EXPECT_EQ(history.Location(), before);
    EXPECT_TRUE(window.StatusText().contains(QStringLiteral("the history stays at")));
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 4);

    // A new file: an empty history.
    ui.texts = {(dir.Path() / "new" / "history.db").string()};
    window.ChooseDatabase();
    QTRY_VERIFY(!window.OpeningDatabase());
    EXPECT_EQ(history.Location(), (dir.Path() / "new" / "history.db").string());
    EXPECT_EQ(window.ReportList()->model()->rowCount(), 0);
    EXPECT_FALSE(window.findChild<QPushButton*>(QStringLiteral("cmdOpenReport"))->isEnabled());
}

TEST_F(HistoryWindowTest, ImportAddsAReportInTheBackgroundAndTheSettingIsKept) {
    HistoryWindow window(history, ui, poolName);
    ornexa::Report report = ornexa::samplegen::BuildSampleReport(22);
    report.Header.CollectionDate = "2026-11-30";
    ui.answers = {dir.Write("new.sta", ornexa::samplegen::StatisticsText(report))};
    window.ImportFile();
    history.WaitForImports();
    QTRY_COMPARE(window.ReportList()->model()->rowCount(), 5);
    EXPECT_EQ(window.StatusText(), "1 imported, 0 already present, 0 refused");

    EXPECT_TRUE(window.KeepEveryReport()->isChecked());
    window.KeepEveryReport()->trigger();
    EXPECT_FALSE(history.KeepEveryReport());
}

TEST_F(HistoryWindowTest, TabWalksEveryTabOfTheWindowWithoutATrap) {
    HistoryWindow window(history, ui, poolName);
    window.resize(1200, 800);
    keyboard::Activate(window);
    auto* tabs = window.findChild<QTabWidget*>();
    ASSERT_NE(tabs, nullptr);
    for (int tab = 0; tab < tabs->count(); ++tab) {
        tabs->setCurrentIndex(tab);
        tabs->tabBar()->setFocus(Qt::OtherFocusReason);
        EXPECT_GE(keyboard::WalkWithTab(window, tabs->tabText(tab)).size(), 2U) << tab;
    }
}

} // namespace
