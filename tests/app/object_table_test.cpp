#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <filesystem>

#include "app/analysis_window.h"
#include "app/list_models.h"
#include "app/object_info_view.h"
#include "app/object_table_model.h"
#include "app/object_table_view.h"
#include "display_fixture.h"
#include "report/field_presence.h"
#include "report/stat_reader.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stats/ui/chart_view.h"

namespace {

void ClickHeader(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

// A click on tab `tab` of the window's tab bar.
void ShowTab(AnalysisWindow& w, int tab) {
    QTest::mouseClick(w.Tabs()->tabBar(), Qt::LeftButton, {}, w.Tabs()->tabBar()->tabRect(tab).center());
}

// The objects of the sample side by side on the Object Info tab, in the real window.
class ObjectTableWindow : public ::testing::Test {
protected:
    ObjectTableWindow() {
        QSettings().clear();
        const std::filesystem::path samples = ORNEXA_SAMPLES_DIR;
        EXPECT_TRUE(ornexa::ReadStatisticsFile(report, samples / "statistics-usa.sta").Loaded());
        report.StatFileLoaded = true;
    }

    ornexa::test::TempDir dir;
    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
};

TEST_F(ObjectTableWindow, SortsFiltersCopiesAndFollowsTheObjectChosenHereOrOnAPoolBar) {
    AnalysisWindow w(report, sim, ui, dir.Path());
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.ChoosePool(0);
    ShowTab(w, ornexa::ObjectInfoTab);
    QTableView* table = w.ObjectTable();
    ASSERT_NE(table, nullptr);
    const QAbstractItemModelTester tester(table->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const auto* model = qobject_cast<ObjectTableModel*>(table->model());
    ASSERT_NE(model, nullptr);
    const int objects = ornexa::PoolObjects(report, w.Session().CurrentPool()).Count();
    ASSERT_GT(objects, 2);
    EXPECT_EQ(model->rowCount(), objects);
    EXPECT_EQ(model->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Get Pages"));

    // A click on "Get Pages" sorts by value, the next one the other way.
    ClickHeader(table, 1);
    const auto values = [model] {
        std::vector<double> shown;
        for (int r = 0; r < model->rowCount(); ++r) {
            shown.push_back(model->index(r, 1).data(SortRole).toDouble());
        }
        return shown;
    };
    std::vector<double> ascending = values();
    EXPECT_TRUE(std::is_sorted(ascending.begin(), ascending.end()));
    ClickHeader(table, 1);
    std::vector<double> descending = values();
    EXPECT_TRUE(std::is_sorted(descending.rbegin(), descending.rend()));
    EXPECT_EQ(model->index(0, 1).data().toString(), QLocale().toString(descending.front(), 'f', 0));

    // Choosing a row shows its object's chart, as the list does.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(model->index(1, 0)).center());
    const int chosen = model->ObjectAt(1);
    EXPECT_EQ(w.Session().CurrentObject(), chosen);
    EXPECT_EQ(w.ObjectChart()->Model().title, w.Session().ObjectInfo().Graph().chart.title);
    EXPECT_EQ(w.ObjectList()->currentIndex().data(NumberRole).toInt(), chosen);

    // Ctrl+C copies the selected rows under the header, tab-separated, figures with ".".
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const QStringList lines = QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Object\tGet Pages\tRandom")));
    EXPECT_TRUE(lines[1].startsWith(model->index(1, 0).data().toString() + QLatin1Char('\t') +
                                    QString::number(report.Objects(chosen).ObjGetPages) + QLatin1Char('\t')));

    // Ctrl+F's filter narrows the table as it narrows the list; the object chosen stays selected.
    const QString name = model->index(1, 0).data().toString();
    QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &w, Qt::Key_F,
                    Qt::ControlModifier);
    ASSERT_TRUE(w.ObjectFilter()->hasFocus());
    QTest::keyClicks(w.ObjectFilter(), name);
    ASSERT_GE(model->rowCount(), 1);
    for (int r = 0; r < model->rowCount(); ++r) {
        EXPECT_TRUE(model->index(r, 0).data().toString().contains(name, Qt::CaseInsensitive));
    }
    EXPECT_EQ(model->rowCount(), w.ObjectList()->model()->rowCount());
    ASSERT_TRUE(table->currentIndex().isValid());
    EXPECT_EQ(model->ObjectAt(table->currentIndex().row()), chosen);
    QTest::keyClick(w.ObjectFilter(), Qt::Key_Escape);
    EXPECT_EQ(model->rowCount(), objects);

    // A bar of a Pool Info ranking chosen from the keyboard selects its object's row.
    ShowTab(w, ornexa::PoolInfoTab);
    QComboBox* graphs = w.PoolGraphTypes();
    graphs->setFocus();
    QTest::keyClick(graphs, Qt::Key_Home);
    for (int i = 1; i < 7; ++i) { // Top Get Pages
        QTest::keyClick(graphs, Qt::Key_Down);
    }
    w.PoolChart()->setFocus();
    QTest::keyClick(w.PoolChart(), Qt::Key_Up);
    QTest::keyClick(w.PoolChart(), Qt::Key_Return);
    const int bar = w.Session().PoolInfo().DetailsObject();
    ASSERT_TRUE(w.Session().PoolInfo().DetailsVisible());
    ASSERT_NE(bar, chosen);
    ShowTab(w, ornexa::ObjectInfoTab);
    ASSERT_TRUE(table->currentIndex().isValid());
    EXPECT_EQ(model->ObjectAt(table->currentIndex().row()), bar);
    EXPECT_TRUE(table->selectionModel()->isRowSelected(table->currentIndex().row()));
    EXPECT_EQ(w.Session().CurrentObject(), bar);
}

TEST_F(ObjectTableWindow, TheColumnsChosenFromTheMenuStayChosen) {
    for (int run = 0; run < 2; ++run) {
        AnalysisWindow w(report, sim, ui, dir.Path());
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.ChoosePool(0);
        ShowTab(w, ornexa::ObjectInfoTab);
        ObjectTableView& view = *w.ObjectInfo()->TableView();
        auto* random = view.ColumnsMenu()->findChild<QAction*>(QStringLiteral("actColumn_Random"));
        ASSERT_NE(random, nullptr);
        if (run == 0) {
            EXPECT_TRUE(random->isChecked());
            random->trigger(); // as a click in the menu does
        }
        EXPECT_FALSE(random->isChecked());
        EXPECT_TRUE(view.Table()->isColumnHidden(2)) << run;
        EXPECT_FALSE(view.Table()->isColumnHidden(1)) << run;
        EXPECT_EQ(view.ColumnsButton()->menu(), view.ColumnsMenu());
        EXPECT_EQ(view.ColumnsButton()->focusPolicy(), Qt::StrongFocus);
    }
}

TEST(ObjectTableOfADisplay, SaysWhatTheInputDoesNotGiveAndSortsItLast) {
    const ornexa::Report display = ornexa::test::DisplayReport();
    int p = 1;
    while (p <= display.PoolCount() && ornexa::PoolObjects(display, p).Count() == 0) {
        ++p;
    }
    ASSERT_LE(p, display.PoolCount());
    ObjectTableModel model;
    const QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    model.SetTable(
        std::make_shared<const ornexa::ObjectTable>(ornexa::BuildObjectTable(display, ornexa::SimulationData{}, p)));
    ASSERT_GT(model.rowCount(), 0);
    const QString absent = QString::fromLatin1(ornexa::NotInThisInput.data(), ornexa::NotInThisInput.size());
    // Get Pages: a display gives no object's getpages.
    EXPECT_EQ(model.index(0, 1).data().toString(), absent);
    EXPECT_FALSE(model.index(0, 1).data(SortRole).isValid());
    // A column where some rows have a figure and some not: those without come last either way.
    for (int c = 1; c < model.columnCount(); ++c) {
        for (const Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            model.sort(c, order);
            bool absentSeen = false;
            for (int r = 0; r < model.rowCount(); ++r) {
                const bool given = model.index(r, c).data(SortRole).isValid();
                EXPECT_FALSE(given && absentSeen) << c;
                absentSeen = absentSeen || !given;
                EXPECT_EQ(given, model.index(r, c).data().toString() != absent) << c;
            }
        }
    }
}

} // namespace
