#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <functional>

#include "app/analysis_window.h"
#include "app/chart_actions.h"
#include "app/cluster_widget.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/table_export.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stat_writer.h"
#include "stats/ui/chart_view.h"

namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

void ClickRow(QTableView* table, int row) {
    const QModelIndex index = table->model()->index(row, 0);
    table->scrollTo(index);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
}

void ClickHeader(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

void ClickTab(AnalysisWindow& w, int tab) {
    QTabBar* bar = w.Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
}

// The widest text of column `c`, its caption included.
int WidestText(const QTableView& list, int c) {
    int widest = list.horizontalHeader()->sectionSizeHint(c);
    for (int r = 0; r < list.model()->rowCount(); ++r) {
        widest = std::max(widest, list.sizeHintForIndex(list.model()->index(r, c)).width());
    }
    return widest;
}

Qt::Alignment Horizontal(const QVariant& alignment) {
    return Qt::Alignment(alignment.toInt()) & Qt::AlignHorizontal_Mask;
}

// Which columns of `list` stand to the right, in its cells and in its header.
std::vector<bool> RightAligned(const QTableView& list) {
    std::vector<bool> right;
    const QAbstractItemModel* model = list.model();
    for (int c = 0; c < model->columnCount(); ++c) {
        const Qt::Alignment header = Horizontal(model->headerData(c, Qt::Horizontal, Qt::TextAlignmentRole));
        for (int r = 0; r < model->rowCount(); ++r) {
            EXPECT_EQ(Horizontal(model->index(r, c).data(Qt::TextAlignmentRole)), header)
                << list.objectName().toStdString() << " row " << r << " column " << c;
        }
        right.push_back(header == Qt::AlignRight);
    }
    return right;
}

// The object texts of a list from top to bottom.
std::vector<std::string> Column(const QTableView& list, int c) {
    std::vector<std::string> texts;
    for (int r = 0; r < list.model()->rowCount(); ++r) {
        texts.push_back(list.model()->index(r, c).data().toString().toStdString());
    }
    return texts;
}

class ListsAndDialogs : public ::testing::Test {
protected:
    ListsAndDialogs() { QSettings().clear(); }

    // The window of a report, as "&Next" shows it: it knows the Statistics report it shows.
    std::unique_ptr<AnalysisWindow> Show(const std::filesystem::path& statistics,
                                         const std::optional<std::filesystem::path>& simulation = std::nullopt) {
        ornexa::ResetReport(report);
        sim.Reset();
        EXPECT_TRUE(ornexa::ReadStatisticsFile(report, statistics).Loaded());
        if (simulation) {
            EXPECT_TRUE(ornexa::ReadSimulationFile(report, sim, *simulation).Loaded());
        }
        auto window = std::make_unique<AnalysisWindow>(report, sim, ui, Samples.parent_path() / "data");
        ornexa::AnalysisResume resume;
        resume.statistics = statistics;
        window->Resume(resume);
        window->show();
        return window;
    }

    // The largest report a reader takes, as `ornexa-samplegen --largest` writes it.
    [[nodiscard]] std::filesystem::path SixtyPools() const {
        return dir.Write("largest.sta", ornexa::samplegen::StatisticsText(ornexa::samplegen::BuildLargestReport()));
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    const ornexa::test::TempDir dir;
};

TEST_F(ListsAndDialogs, ASixtyPoolListShowsItsLastColumnBesideTheScrollBar) {
    // A short report first: its pool list has no scroll bar, and its last column fills the room.
    Show(Samples / "statistics-usa.sta")->Back();
    const auto w = Show(SixtyPools());
    QTableView* list = w->PoolList();
    ASSERT_EQ(list->model()->rowCount(), 60);
    ASSERT_TRUE(list->verticalScrollBar()->isVisible());
    QHeaderView* header = list->horizontalHeader();
    const int last = header->count() - 1;
    EXPECT_LE(header->sectionViewportPosition(last) + header->sectionSize(last), list->viewport()->width());
    EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0);
}

TEST_F(ListsAndDialogs, ColumnsFitTheirWidestTextOnFirstShowUnlessTheUsersWidthsWereKept) {
    std::vector<int> fitted;
    {
        const auto w = Show(SixtyPools());
        const QTableView& list = *w->PoolList();
        for (int c = 0; c + 1 < list.model()->columnCount(); ++c) { // the last one takes the room left
            const int width = list.horizontalHeader()->sectionSize(c);
            EXPECT_GE(width, WidestText(list, c)) << c;
            EXPECT_LE(width, WidestText(list, c) + 2) << c; // the grid line
            fitted.push_back(width);
        }
        w->PoolList()->horizontalHeader()->resizeSection(2, 150);
        w->Back();
    }
    const auto again = Show(SixtyPools());
    const QHeaderView* header = again->PoolList()->horizontalHeader();
    EXPECT_EQ(header->sectionSize(2), 150);
    EXPECT_EQ(header->sectionSize(1), fitted[1]);

    // Widths kept for another set of columns, or beyond reason, leave the fitted ones.
    for (const QString& kept : {QStringLiteral("40,40"), QStringLiteral("40,40,9999,40,40,40,40")}) {
        QSettings().setValue(QStringLiteral("lists/frmStatAnalysis/lvPoolInfo/widths"), kept);
        const auto w = Show(SixtyPools());
        for (int c = 0; c < static_cast<int>(fitted.size()); ++c) {
            EXPECT_EQ(w->PoolList()->horizontalHeader()->sectionSize(c), fitted[static_cast<std::size_t>(c)])
                << kept.toStdString() << " column " << c;
        }
    }
}

TEST_F(ListsAndDialogs, FiguresStandRightAndNamesLeftInEveryList) {
    const auto w = Show(Samples / "statistics-usa.sta", Samples / "simulation-bp1.sim");
    SimGraphWidget* simTab = w->SimGraphs();
    ClusterWidget* clusterTab = w->Clusters();
    QAbstractItemModelTester details(simTab->DetailsTable()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester clusters(clusterTab->Clusters()->model(),
                                      QAbstractItemModelTester::FailureReportingMode::Fatal);
    QAbstractItemModelTester members(clusterTab->Members()->model(),
                                     QAbstractItemModelTester::FailureReportingMode::Fatal);
    ClickRow(w->PoolList(), 1); // BP1, the simulated pool
    ClickTab(*w, ornexa::SimGraphTab);
    emit simTab->Chart(ornexa::LargestImprovementTab)->PointActivated(0);
    ASSERT_TRUE(simTab->Details()->isVisible());
    ClickTab(*w, ornexa::SimClusterTab);
    ASSERT_GT(clusterTab->Clusters()->model()->rowCount(), 0);
    ClickRow(clusterTab->Clusters(), 0);
    ASSERT_GT(clusterTab->Members()->model()->rowCount(), 0);

    const std::vector<bool> pools{false, true, true, true, true, true, true};
    EXPECT_EQ(RightAligned(*w->PoolList()), pools);
    EXPECT_EQ(RightAligned(*w->ObjectList()), std::vector<bool>{false});
    std::vector<bool> simulated(static_cast<std::size_t>(simTab->DetailsTable()->model()->columnCount()), true);
    ASSERT_GT(simulated.size(), 1U);
    simulated[0] = false; // "Get Pages", "Avg Work Set", ...
    EXPECT_EQ(RightAligned(*simTab->DetailsTable()), simulated);
    EXPECT_EQ(RightAligned(*clusterTab->Clusters()), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(RightAligned(*clusterTab->Members()), (std::vector<bool>{false, true, false})); // Object, Max WS, Type
}

TEST_F(ListsAndDialogs, TheObjectListKeepsTheOrderItsCaptionShowsAfterAReopenAndAnotherPool) {
    {
        const auto w = Show(Samples / "statistics-usa.sta");
        ClickRow(w->PoolList(), 0);
        ClickTab(*w, ornexa::ObjectInfoTab);
        ClickHeader(w->ObjectList(), 0);
        ClickHeader(w->ObjectList(), 0);
        ASSERT_EQ(w->ObjectList()->model()->headerData(0, Qt::Horizontal).toString(), "Object (D)");
        w->Back();
    }
    const auto w = Show(Samples / "statistics-usa.sta");
    for (int row = 0; row < w->PoolList()->model()->rowCount(); ++row) {
        ClickRow(w->PoolList(), row);
        EXPECT_EQ(w->ObjectList()->model()->headerData(0, Qt::Horizontal).toString(), "Object (D)");
        std::vector<std::string> shown = Column(*w->ObjectList(), 0);
        EXPECT_TRUE(std::is_sorted(shown.rbegin(), shown.rend())) << "pool row " << row;
    }
}

TEST_F(ListsAndDialogs, TheClusterListsKeepTheOrderTheirCaptionsShowThroughANewRun) {
    const auto w = Show(Samples / "statistics-usa.sta", Samples / "simulation-bp1.sim");
    ClickRow(w->PoolList(), 1);
    ClickTab(*w, ornexa::SimClusterTab);
    ClusterWidget* tab = w->Clusters();
    ASSERT_GT(tab->Clusters()->model()->rowCount(), 1);
    ClickHeader(tab->Clusters(), 0);
    ClickHeader(tab->Clusters(), 0); // clusters from the last down
    ClickHeader(tab->Members(), 1);  // members by their maximum working set, smallest first
    const auto values = [](const QTableView& list, int c) {
        std::vector<double> numbers;
        for (const std::string& text : Column(list, c)) {
            numbers.push_back(std::stod(text));
        }
        return numbers;
    };
    for (int row = 0; row < tab->Clusters()->model()->rowCount(); ++row) {
        ClickRow(tab->Clusters(), row);
        const std::vector<double> sizes = values(*tab->Members(), 1);
        EXPECT_TRUE(std::is_sorted(sizes.begin(), sizes.end())) << "cluster row " << row;
    }
    QTest::keyClick(tab->Radius(), Qt::Key_Up); // a new run fills the cluster list again
    EXPECT_EQ(tab->Clusters()->model()->headerData(0, Qt::Horizontal).toString(), "Cluster (D)");
    const std::vector<double> clusters = values(*tab->Clusters(), 0);
    ASSERT_GT(clusters.size(), 1U);
    EXPECT_TRUE(std::is_sorted(clusters.rbegin(), clusters.rend()));
}

// The folder the last save dialog started in.
std::filesystem::path StartedIn(const ScriptedServices& ui) {
    return ui.saveRequests.empty() ? std::filesystem::path() : ui.saveRequests.back().folder;
}

TEST_F(ListsAndDialogs, SaveDialogsStartBesideTheReportThenWhereTheirKindWentLast) {
    const std::filesystem::path reports = dir.Path() / "reports";
    const std::filesystem::path pictures = dir.Path() / "pictures";
    const std::filesystem::path tables = dir.Path() / "tables";
    const std::filesystem::path exports = dir.Path() / "exports";
    for (const auto& folder : {reports, pictures, tables, exports}) {
        std::filesystem::create_directories(folder);
    }
    std::filesystem::copy_file(Samples / "statistics-usa.sta", reports / "stat.sta");
    std::filesystem::copy_file(Samples / "simulation-bp1.sim", reports / "sim.sim");
    const auto w = Show(reports / "stat.sta", reports / "sim.sim");
    ClickRow(w->PoolList(), 1);
    ClickTab(*w, ornexa::SimClusterTab);
    ClickRow(w->Clusters()->Clusters(), 0);
    ASSERT_GT(w->Clusters()->Members()->model()->rowCount(), 0);

    QAction* saveChart = w->PoolChart()->findChild<ChartActions*>()->SaveAction();
    QAction* exportCsv = w->PoolList()->findChild<TableExport*>()->ExportAction();
    QAction* exportMembers = w->Clusters()->Members()->findChild<TableExport*>()->ExportAction();
    const auto clusterFile = [&] {
        QTest::mouseClick(w->findChild<QPushButton*>("cmdClusterCreateFile"), Qt::LeftButton);
    };
    const auto regroup = [&] {
        QTest::mouseClick(w->Clusters()->RegroupButton(), Qt::LeftButton);
        auto* dialog = w->findChild<RegroupDialog*>();
        ASSERT_NE(dialog, nullptr);
        dialog->Save();
        delete dialog; // gone at once, so that the next click finds its own dialog alone
    };
    // Each kind starts beside the report, then where its own last file went.
    struct Save {
        const char* kind;
        std::function<void()> open;
        std::filesystem::path to;
    };
    const std::vector<Save> saves = {
        {"chart", [&] { saveChart->trigger(); }, pictures / "pool.png"},
        {"list", [&] { exportCsv->trigger(); }, tables / "pools.csv"},
        {"cluster file", clusterFile, exports / "Cluster.qvl"},
        {"regrouping", regroup, exports / "moves.sql"},
    };
    for (const Save& save : saves) {
        ui.answers = {save.to};
        save.open();
        EXPECT_EQ(StartedIn(ui), reports) << save.kind;
        EXPECT_TRUE(std::filesystem::exists(save.to)) << save.kind;
    }
    for (const Save& save : saves) {
        ui.answers.clear(); // cancelled
        save.open();
        EXPECT_EQ(StartedIn(ui), save.to.parent_path()) << save.kind;
    }
    exportMembers->trigger(); // another list: where the lists went
    EXPECT_EQ(StartedIn(ui), tables);
}

TEST_F(ListsAndDialogs, FoldersKeptFromAnEarlierRunStillCountWhileTheyExist) {
    const std::filesystem::path pictures = dir.Path() / "pictures";
    std::filesystem::create_directories(pictures);
    QSettings().setValue(QStringLiteral("dialogs/save *.png/folder"), QString::fromStdString(pictures.string()));
    QSettings().setValue(QStringLiteral("dialogs/save *.csv/folder"),
                         QString::fromStdString((dir.Path() / "gone").string()));
    const auto w = Show(Samples / "statistics-usa.sta");
    w->PoolChart()->findChild<ChartActions*>()->SaveAction()->trigger();
    EXPECT_EQ(StartedIn(ui), pictures);
    w->PoolList()->findChild<TableExport*>()->ExportAction()->trigger();
    EXPECT_EQ(StartedIn(ui), Samples.lexically_normal());
}

} // namespace
