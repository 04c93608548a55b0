#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QMimeData>
#include <QPdfWriter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QXmlStreamReader>
#include <deque>
#include <fstream>

#include "app/analysis_window.h"
#include "app/app_icons.h"
#include "app/chart_actions.h"
#include "app/cluster_widget.h"
#include "app/file_selection_window.h"
#include "app/history_models.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "app/list_models.h"
#include "app/regroup_dialog.h"
#include "app/sim_graph_widget.h"
#include "app/ui_services.h"
#include "large_site.h"
#include "print/ui/page_painter.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"
#include "stats/share_figures.h"
#include "stats/ui/chart_view.h"

namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

// The user's actions on the real widgets, found by their object names.
void ClickButton(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

void ClickRow(QTableView* table, int row) {
    const QModelIndex index = table->model()->index(row, 0);
    table->scrollTo(index);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualRect(index).center());
}

void ClickTab(AnalysisWindow& w, int tab) {
    QTabBar* bar = w.Tabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
}

void ClickHeader(QTableView* table, int column) {
    QHeaderView* header = table->horizontalHeader();
    QTest::mouseClick(
        header->viewport(), Qt::LeftButton, {},
        QPoint(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2));
}

QRadioButton* Option(QWidget& window, const char* group, const char* text) {
    auto* box = window.findChild<QGroupBox*>(QString::fromLatin1(group));
    if (box == nullptr) {
        return nullptr;
    }
    for (QRadioButton* option : box->findChildren<QRadioButton*>()) {
        if (option->text() == QString::fromLatin1(text)) {
            return option;
        }
    }
    return nullptr;
}

// Chooses graph `type` (1-based) with the keyboard, as the list offers it.
void ChooseGraph(QComboBox* list, int type) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 1; i < type; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
}

// Every test starts from empty settings (kept apart from the user's by the test mode).
struct FreshSettings {
    FreshSettings() { QSettings().clear(); }
};

// A key pressed in the active window, as a shortcut of it.
void PressKey(QWidget& window, Qt::Key key) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &window, key);
}

// A file dragged from a file manager and dropped on `window`.
void DropFile(QWidget& window, const std::filesystem::path& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path.string()))});
    const QPointF at(window.width() / 2.0, window.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &drop);
}

class Gui : public ::testing::Test {
protected:
    Gui() : files(report, sim, ui) {
        files.History().SetLocation((historyDir.Path() / "history.db").string());
        files.History().SetKeepEveryReport(true);
        files.SetAnalysisRunner(
            [this](const ornexa::Report& r, const ornexa::SimulationData& s, const ornexa::AnalysisResume& resume) {
                ++windows;
                AnalysisWindow window(r, s, ui, thresholds);
                window.Resume(resume);
                window.SetHistory(&files.History());
                window.show();
                if (drive) {
                    drive(window);
                }
                if (window.isVisible()) {
                    window.Back();
                }
                return window.Session().Outcome();
            });
    }

    void OpenSamples() {
        ui.answers = {Samples / "statistics-usa.sta", Samples / "simulation-bp1.sim"};
        files.ClickOpenStatistics();
        files.ClickOpenSimulation();
    }

    FreshSettings fresh;
    ornexa::test::TempDir historyDir;
    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    FileSelectionWindow files;
    std::function<void(AnalysisWindow&)> drive;
    int windows = 0;
    std::filesystem::path thresholds = Samples.parent_path() / "data"; // Rand.acc and Seq.acc
};

TEST_F(Gui, OpensTheSamplesThroughTheDialogsAndShowsEveryTab) {
    OpenSamples();
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_TRUE(sim.SimFileLoaded);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(files.windowTitle(), "QVLGraph");
    drive = [](AnalysisWindow& w) {
        EXPECT_EQ(w.Tabs()->tabText(0), "Report Info");
        EXPECT_TRUE(w.Tabs()->isTabVisible(ornexa::SimGraphTab));
        EXPECT_FALSE(w.Tabs()->isTabEnabled(ornexa::PoolInfoTab));
        EXPECT_EQ(w.PoolList()->model()->rowCount(), 9);
        ClickRow(w.PoolList(), 1); // BP1, the simulated pool
        EXPECT_TRUE(w.Tabs()->isTabEnabled(ornexa::SimGraphTab));
        EXPECT_EQ(w.windowTitle(), "Quorvel - BP1");
        for (int tab = 0; tab < ornexa::AnalysisTabCount; ++tab) {
            ClickTab(w, tab);
            EXPECT_EQ(w.Tabs()->currentIndex(), tab);
        }
        EXPECT_EQ(w.StatusText(), "Cluster Analysis details");
        ClickTab(w, ornexa::PoolStatAnalysisTab);
        EXPECT_EQ(w.StatusText(), "Buffer Pool Statistical Analysis");
        for (int type = 1; type <= 22; ++type) {
            ChooseGraph(w.PoolGraphTypes(), type);
            EXPECT_EQ(w.PoolGraphTypes()->currentIndex(), type - 1);
            EXPECT_EQ(w.Session().PoolInfo().GraphType(), type);
        }
        ClickRow(w.PoolList(), 7); // BP10: not simulated
        EXPECT_FALSE(w.Tabs()->isTabEnabled(ornexa::SimGraphTab));
    };
    files.ClickNext();
    EXPECT_EQ(windows, 1);
}

TEST_F(Gui, ABarOpensItsObjectAlsoAfterTheListWasSorted) {
    OpenSamples();
    drive = [this](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 2);
        ClickTab(w, ornexa::ObjectInfoTab);
        ClickHeader(w.ObjectList(), 0);
        ClickHeader(w.ObjectList(), 0); // descending
        EXPECT_TRUE(w.ObjectList()->model()->headerData(0, Qt::Horizontal).toString().endsWith(" (D)"));
        ClickTab(w, ornexa::PoolInfoTab);
        ChooseGraph(w.PoolGraphTypes(), 7);
        const ornexa::ChartModel& chart = w.PoolChart()->Model();
        const int top = chart.PointCount() - 1;
        const int object = chart.ObjectAt(top);
        // From the keyboard: the arrow keys choose a bar, Enter opens it.
        w.PoolChart()->setFocus();
        QTest::keyClick(w.PoolChart(), Qt::Key_Up);
        QTest::keyClick(w.PoolChart(), Qt::Key_Return);
        EXPECT_TRUE(w.Session().PoolInfo().DetailsVisible());
        EXPECT_EQ(w.Session().PoolInfo().Details(), ornexa::ObjectDetailFigures(report, object));
        // The panel and the status bar say in words which object the bar stands for.
        const QString name = QString::fromLatin1(std::string(report.Objects(object).ObjName.Trimmed()).c_str());
        EXPECT_EQ(w.PoolDetailsTitle(), QStringLiteral("Object - ") + name);
        EXPECT_EQ(w.StatusText(), QStringLiteral("Rank 1 of %1: %2").arg(chart.PointCount()).arg(name));
        // Another graph takes the figures of the last one's bar away.
        ChooseGraph(w.PoolGraphTypes(), 8);
        EXPECT_FALSE(w.PoolDetails()->isVisible());
    };
    files.ClickNext();
}

QStringList Shown(const QAbstractItemModel* model) {
    QStringList names;
    for (int row = 0; row < model->rowCount(); ++row) {
        names << model->data(model->index(row, 0)).toString();
    }
    return names;
}

TEST_F(Gui, TheFilterNarrowsTheObjectListAndKeepsItsOrderAndSelection) {
    OpenSamples();
    drive = [this](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 1); // BP1
        ClickTab(w, ornexa::ObjectInfoTab);
        QAbstractItemModelTester tester(w.ObjectList()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        const QStringList all = Shown(w.ObjectList()->model());
        const int total = static_cast<int>(all.size());
        ASSERT_GT(total, 3);
        EXPECT_EQ(w.ObjectCountText(), QStringLiteral("%1 of %1 objects").arg(total));

        // Ctrl+F finds the box from anywhere in the window; typing narrows, in any case.
        ClickTab(w, ornexa::PoolInfoTab);
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : &w, Qt::Key_F,
                        Qt::ControlModifier);
        EXPECT_EQ(w.Tabs()->currentIndex(), ornexa::ObjectInfoTab);
        ASSERT_TRUE(w.ObjectFilter()->hasFocus());
        const QString wanted = all[2].left(3).toLower();
        QTest::keyClicks(w.ObjectFilter(), wanted);
        const QStringList narrowed = Shown(w.ObjectList()->model());
        QStringList expected;
        for (const QString& name : all) {
            if (name.contains(wanted, Qt::CaseInsensitive)) {
                expected << name;
            }
        }
        EXPECT_EQ(narrowed, expected);
        EXPECT_EQ(w.ObjectCountText(), QStringLiteral("%1 of %2 objects").arg(expected.size()).arg(total));

        // A row of the narrowed list opens its own object, and stays selected when sorted.
        ClickRow(w.ObjectList(), 1);
        const int chosen = w.Session().ObjectInfo().CurrentObject();
        EXPECT_EQ(QString::fromStdString(std::string(report.Objects(chosen).ObjName.Trimmed())), expected[1]);
        ClickHeader(w.ObjectList(), 0);
        ClickHeader(w.ObjectList(), 0); // descending, still narrowed
        QStringList descending = expected;
        std::sort(descending.begin(), descending.end(), std::greater<>());
        EXPECT_EQ(Shown(w.ObjectList()->model()), descending);
        ASSERT_TRUE(w.ObjectList()->currentIndex().isValid());
        EXPECT_EQ(w.ObjectList()->currentIndex().data().toString(), expected[1]);

        // Escape clears the filter, and only then leaves the window.
        QTest::keyClick(w.ObjectFilter(), Qt::Key_Escape);
        EXPECT_TRUE(w.isVisible());
        EXPECT_TRUE(w.ObjectFilter()->text().isEmpty());
        EXPECT_EQ(w.ObjectList()->model()->rowCount(), total);
        EXPECT_EQ(w.ObjectList()->currentIndex().data().toString(), expected[1]);
        QTest::keyClicks(w.ObjectFilter(), QStringLiteral("no such object"));
        EXPECT_EQ(w.ObjectCountText(), QStringLiteral("0 of %1 objects").arg(total));
        EXPECT_EQ(w.Session().ObjectInfo().CurrentObject(), chosen); // the chart stays
    };
    files.ClickNext();
}

QByteArray FileBytes(const std::filesystem::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST_F(Gui, EveryChartCopiesAndSavesItselfAsPngSvgAndPdf) {
    OpenSamples();
    const ornexa::test::TempDir dir;
    drive = [&](AnalysisWindow& w) {
        const QList<ChartView*> charts = w.findChildren<ChartView*>();
        EXPECT_GE(charts.size(), 6); // pool, object, and the four simulation charts
        for (ChartView* chart : charts) {
            EXPECT_NE(chart->findChild<ChartActions*>(), nullptr) << chart->objectName().toStdString();
        }
        ClickRow(w.PoolList(), 1);
        ClickTab(w, ornexa::PoolInfoTab);
        ChooseGraph(w.PoolGraphTypes(), 7); // a ranking of ten objects
        const ornexa::ChartModel& model = w.PoolChart()->Model();
        ASSERT_EQ(model.kind, ornexa::ChartKind::Ranked);
        auto* actions = w.PoolChart()->findChild<ChartActions*>();

        // Ctrl+Shift+C on the chart: an image of the default size on the clipboard.
        QGuiApplication::clipboard()->clear();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        w.PoolChart()->setFocus();
        QTest::keyClick(w.PoolChart(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
        const QImage copied = QGuiApplication::clipboard()->image();
        EXPECT_EQ(copied.size(), QSize(1600, 1000));
        int drawn = 0;
        for (int y = 0; y < copied.height(); y += 10) {
            for (int x = 0; x < copied.width(); x += 10) {
                drawn += copied.pixel(x, y) != qRgb(255, 255, 255) ? 1 : 0;
            }
        }
        EXPECT_GT(drawn, 500); // bars and labels on the white ground

        // Each file type, chosen by name; a bare name takes PNG.
        ui.answers = {dir.Path() / "c.png", dir.Path() / "c.svg", dir.Path() / "c.PDF", dir.Path() / "bare",
                      dir.Path() / "missing" / "c.png"};
        for (int i = 0; i < 5; ++i) {
            actions->SaveAction()->trigger();
        }
        EXPECT_TRUE(ui.saveRequests.back().suffixFromFilter);
        EXPECT_TRUE(FileBytes(dir.Path() / "c.png").startsWith("\x89PNG\r\n"));
        EXPECT_EQ(QImage(QString::fromStdString((dir.Path() / "c.png").string())).size(), QSize(1600, 1000));
        EXPECT_TRUE(FileBytes(dir.Path() / "c.PDF").startsWith("%PDF-"));
        EXPECT_TRUE(FileBytes(dir.Path() / "bare.png").startsWith("\x89PNG"));
        QXmlStreamReader svg(FileBytes(dir.Path() / "c.svg"));
        QStringList texts;
        int rects = 0;
        while (!svg.atEnd()) {
            if (svg.readNext() != QXmlStreamReader::StartElement) {
                continue;
            }
            rects += svg.name() == QStringLiteral("rect") ? 1 : 0;
            if (svg.name() == QStringLiteral("text")) { // labels carry zero-width spaces that keep them apart
                texts << svg.readElementText(QXmlStreamReader::IncludeChildElements).remove(QChar(0x200B)).trimmed();
            }
        }
        EXPECT_GE(rects, model.PointCount()); // a bar per ranked object
        EXPECT_FALSE(svg.hasError()) << svg.errorString().toStdString();
        for (const std::string& label : model.labels) { // every ranked object is drawn with its name
            EXPECT_TRUE(texts.contains(QString::fromStdString(label))) << label;
        }
        ASSERT_EQ(ui.messages.size(), 1U); // the folder that does not exist
        EXPECT_EQ(ui.messages[0].title, "Save Chart As");
        EXPECT_NE(ui.messages[0].text.find("not created"), std::string::npos);
    };
    files.ClickNext();
}

TEST_F(Gui, NextAndPreviousStopAtTheEndsAndUsageChangesTheRules) {
    OpenSamples();
    drive = [](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 0);
        ClickButton(w, "cmdPreviousPool");
        EXPECT_EQ(w.Session().CurrentPool(), 1);
        for (int i = 0; i < 12; ++i) {
            ClickButton(w, "cmdNextPool");
        }
        EXPECT_EQ(w.Session().CurrentPool(), 9);
        ClickRow(w.PoolList(), 5); // BP7, the sort pool
        ClickTab(w, ornexa::PoolStatAnalysisTab);
        const auto hasRule10 = [&w] {
            return !w.Rules()->findItems(QStringLiteral("Rule # 10 "), Qt::MatchContains).isEmpty();
        };
        EXPECT_TRUE(hasRule10()); // VPSEQT 100 in a random pool
        QRadioButton* sequential = nullptr;
        auto* intent = w.findChild<QGroupBox*>(QStringLiteral("fraPoolIntentUsage"));
        ASSERT_NE(intent, nullptr);
        for (QRadioButton* option : intent->findChildren<QRadioButton*>()) {
            if (option->text() == QStringLiteral("Sequential")) {
                sequential = option;
            }
        }
        ASSERT_NE(sequential, nullptr);
        QTest::mouseClick(sequential, Qt::LeftButton); // the real button, through its signal
        EXPECT_EQ(w.Session().Usage(), ornexa::PoolUsage::Sequential);
        EXPECT_FALSE(hasRule10());
        EXPECT_TRUE(sequential->isChecked()); // the option shown is the usage of the rules shown
    };
    files.ClickNext();
}

TEST_F(Gui, BackReturnsForAFreshWindowAndFinishQuits) {
    OpenSamples();
    files.ClickNext();
    EXPECT_FALSE(sim.SimFileLoaded);
    ui.answers = {Samples / "statistics-usa.sta"};
    files.ClickOpenStatistics();
    drive = [](AnalysisWindow& w) {
        EXPECT_EQ(w.Session().CurrentPool(), 1);
        ClickButton(w, "cmdFinish");
    };
    QSignalSpy quit(&files, &FileSelectionWindow::QuitRequested);
    files.ClickNext();
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(quit.count(), 1);
}

TEST_F(Gui, ABadFileIsReportedAndTheWindowGoesOn) {
    const ornexa::test::TempDir dir;
    ui.answers = {dir.Write("bad.sta", "not a report\r\n")};
    files.ClickOpenStatistics();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].text, "Incorrect File Format, Use A Flat File");
    EXPECT_TRUE(files.Session().Controls().next);
    files.ClickNext();
    EXPECT_EQ(windows, 1);
}

TEST_F(Gui, AChartWithNothingToDrawSaysSoInABoxOnce) {
    const ornexa::test::TempDir dir;
    ornexa::ObjectRecord unread = ornexa::test::TestObject("BP0", "DB0.T1");
    unread.PagesReadByType = {};
    ornexa::test::StatLines lines;
    lines.Header().Pool("BP0").Object(unread);
    ui.answers = {dir.Write("unread.sta", lines.Text())};
    files.ClickOpenStatistics();
    ASSERT_TRUE(ui.messages.empty());
    drive = [this](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 0);
        ClickTab(w, ornexa::ObjectInfoTab);
        ChooseGraph(w.findChild<QComboBox*>(QStringLiteral("cboObjectGraphType")), 2); // Pages Read
        ASSERT_EQ(ui.messages.size(), 1U);
        EXPECT_EQ(ui.messages[0], ornexa::NoDataMessages(w.Session().ObjectInfo().Graph().chart).at(0));
        EXPECT_TRUE(ui.messages[0].title.empty());
    };
    files.ClickNext();
    EXPECT_EQ(windows, 1);
}

TEST_F(Gui, TheSimulationTabDrawsItsChartsAndOpensAnObjectFromEachRanking) {
    OpenSamples();
    drive = [this](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 1); // BP1, the simulated pool
        ClickTab(w, ornexa::SimGraphTab);
        SimGraphWidget* tab = w.SimGraphs();
        QAbstractItemModelTester tester(tab->DetailsTable()->model(),
                                        QAbstractItemModelTester::FailureReportingMode::Fatal);
        EXPECT_EQ(tab->SubTabs()->currentIndex(), ornexa::OptimalPoolSizeTab);
        const ornexa::ChartModel& curve = tab->Chart(ornexa::OptimalPoolSizeTab)->Model();
        EXPECT_EQ(curve.kind, ornexa::ChartKind::Curve);
        EXPECT_EQ(curve.PointCount(), sim.Sim.SimSizeCount);
        EXPECT_FALSE(tab->Details()->isVisible());
        auto* detailsTitle = w.findChild<QLabel*>(QStringLiteral("lblSimObjName"));

        const std::string hitRatioTitle = curve.title;
        const std::vector<std::string> hitRatioBars = tab->Chart(ornexa::LargestImprovementTab)->Model().labels;
        QTest::mouseClick(Option(w, "optGreatestImprovement", "I/O Rate"), Qt::LeftButton);
        EXPECT_EQ(w.Session().SimGraphs().Measure(), ornexa::IORateMeasure);
        EXPECT_NE(tab->Chart(ornexa::OptimalPoolSizeTab)->Model().title, hitRatioTitle);
        // Both drawn again, and the view shows what the page holds now.
        EXPECT_EQ(tab->Chart(ornexa::LargestImprovementTab)->Model().series,
                  w.Session().SimGraphs().Chart(ornexa::LargestImprovementTab).series);
        EXPECT_EQ(tab->Chart(ornexa::LargestImprovementTab)->Model().labels,
                  w.Session().SimGraphs().Chart(ornexa::LargestImprovementTab).labels);
        (void)hitRatioBars;

        QTabBar* bar = tab->SubTabs()->tabBar();
        for (const int subTab :
             {ornexa::LargestWorkSetTab, ornexa::SmallestWorkSetTab, ornexa::LargestImprovementTab}) {
            SCOPED_TRACE(subTab);
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(subTab).center());
            EXPECT_EQ(w.Session().SimGraphs().SubTab(), subTab);
            // Before a bar is chosen, and after the object of another chart, the panel says how to
            // fill it instead of showing an empty grid or the other chart's object.
            EXPECT_TRUE(tab->Details()->isVisible());
            EXPECT_TRUE(detailsTitle->text().startsWith(QStringLiteral("Click a bar")))
                << detailsTitle->text().toStdString();
            EXPECT_FALSE(tab->DetailsTable()->isVisible());
            ChartView* chart = tab->Chart(subTab);
            ASSERT_GT(chart->Model().PointCount(), 0);
            const int top = chart->Model().PointCount() - 1;
            const int object = chart->Model().ObjectAt(top);
            chart->setFocus();
            QTest::keyClick(chart, Qt::Key_Up); // the arrow keys choose the top bar, Enter opens it
            QTest::keyClick(chart, Qt::Key_Return);
            EXPECT_TRUE(tab->Details()->isVisible());
            EXPECT_TRUE(tab->DetailsTable()->isVisible());
            const QString title = detailsTitle->text();
            EXPECT_EQ(title, QStringLiteral("Object - ") +
                                 QString::fromLatin1(std::string(report.Objects(object).ObjName.Trimmed()).c_str()));
            QAbstractItemModel* table = tab->DetailsTable()->model();
            EXPECT_EQ(table->rowCount(), ornexa::SimDetailRowCount);
            EXPECT_EQ(table->columnCount(), 1 + sim.Sim.SimSizeCount);
            EXPECT_EQ(table->headerData(0, Qt::Horizontal).toString(), "Pool Size");
            EXPECT_EQ(table->data(table->index(3, 0)).toString(), "Sytem Hit Ratio");
        }
        ClickButton(w, "cmdCloseSimDetails");
        EXPECT_FALSE(tab->Details()->isVisible());

        // Another pool and back: the tab is disabled there and starts again here.
        ClickTab(w, ornexa::ReportInfoTab);
        ClickRow(w.PoolList(), 0);
        EXPECT_FALSE(w.Tabs()->isTabEnabled(ornexa::SimGraphTab));
        ClickRow(w.PoolList(), 1);
        ClickTab(w, ornexa::SimGraphTab);
        EXPECT_EQ(tab->SubTabs()->currentIndex(), ornexa::OptimalPoolSizeTab);
        EXPECT_EQ(w.Session().SimGraphs().Measure(), ornexa::SysHitRatioMeasure);
        EXPECT_TRUE(Option(w, "optGreatestImprovement", "Sys Hit Ratio")->isChecked());
    };
    files.ClickNext();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Gui, TheClusterTabListsClustersStepsTheRadiusAndWritesItsFiles) {
    OpenSamples();
    const ornexa::test::TempDir dir;
    // No object reaches a sequential share of 101 %: the sequential usage has nothing to cluster.
    (void)dir.Write("Rand.acc", "60\r\n");
    (void)dir.Write("Seq.acc", "101\r\n");
    thresholds = dir.Path();
    drive = [this, &dir](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 1);
        ClickTab(w, ornexa::SimClusterTab);
        ClusterWidget* tab = w.Clusters();
        QAbstractItemModelTester clusterTester(tab->Clusters()->model(),
                                               QAbstractItemModelTester::FailureReportingMode::Fatal);
        QAbstractItemModelTester memberTester(tab->Members()->model(),
                                              QAbstractItemModelTester::FailureReportingMode::Fatal);
        EXPECT_EQ(tab->PoolSizes()->count(), sim.Sim.SimSizeCount);
        EXPECT_EQ(tab->PoolSizes()->currentIndex(), 0);
        EXPECT_EQ(tab->Radius()->text(), "1.2");
        const auto& page = w.Session().Clusters();
        ASSERT_GT(page.LastRun().result, 0);
        ASSERT_EQ(tab->Clusters()->model()->rowCount(), static_cast<int>(page.Clusters().size()));

        ClickRow(tab->Clusters(), 0);
        const int cluster = page.Clusters()[0].cluster;
        const int members = tab->Members()->model()->rowCount();
        EXPECT_EQ(members, static_cast<int>(page.Objects().size()));
        EXPECT_EQ(w.StatusText(), QStringLiteral("%1 Objects in Cluster %2").arg(members).arg(cluster));
        // Members carry the object list's type icons, and the headers sort through the session.
        EXPECT_FALSE(tab->Members()->model()->data(tab->Members()->model()->index(0, 0), Qt::DecorationRole).isNull());
        ClickHeader(tab->Members(), 1);
        EXPECT_TRUE(tab->Members()->model()->headerData(1, Qt::Horizontal).toString().endsWith(" (A)"));
        ClickHeader(tab->Clusters(), 0);
        EXPECT_TRUE(tab->Clusters()->model()->headerData(0, Qt::Horizontal).toString().endsWith(" (A)"));

        // The spinner: a press steps once, holding it steps on every tick, releasing it stops.
        QTest::mousePress(tab->SpinUp(), Qt::LeftButton);
        EXPECT_EQ(tab->Radius()->text(), "1.3");
        EXPECT_TRUE(tab->SpinTimer()->isActive());
        QMetaObject::invokeMethod(tab->SpinTimer(), "timeout");
        QMetaObject::invokeMethod(tab->SpinTimer(), "timeout");
        EXPECT_EQ(tab->Radius()->text(), "1.5");
        QTest::mouseRelease(tab->SpinUp(), Qt::LeftButton);
        EXPECT_FALSE(tab->SpinTimer()->isActive());
        tab->Radius()->setFocus();
        tab->Radius()->selectAll();
        QTest::keyClicks(tab->Radius(), "0.4");
        EXPECT_EQ(page.RadiusText(), "0.4");
        QTest::keyClick(tab->Radius(), Qt::Key_Down); // never below 0.4
        EXPECT_EQ(tab->Radius()->text(), "0.4");
        QTest::keyClick(tab->Radius(), Qt::Key_Up);
        EXPECT_EQ(tab->Radius()->text(), "0.5");
        EXPECT_EQ(page.RadiusText(), "0.5");

        // The usage buttons run again and tell when nothing can be clustered.
        const std::size_t told = ui.messages.size();
        QTest::mouseClick(Option(w, "optPoolClusterAnalysisUsage", "Sequential"), Qt::LeftButton);
        EXPECT_EQ(w.Session().Usage(), ornexa::PoolUsage::Sequential);
        ASSERT_EQ(ui.messages.size(), told + 1);
        EXPECT_EQ(
            ui.messages.back(),
            (ornexa::Message{"Cluster Analysis",
                             "The WkSet Size for all objects in the pool is zero. Cluster Analysis not applicable",
                             ornexa::MessageIcon::Critical}));
        EXPECT_EQ(tab->Clusters()->model()->rowCount(), 0);
        QTest::mouseClick(Option(w, "optPoolClusterAnalysisUsage", "Random"), Qt::LeftButton);
        ASSERT_GT(page.LastRun().result, 0);
        ClickRow(tab->Clusters(), 0);

        // The cluster file: where the dialog says, with .qvl; a failed write is told, never "created".
        ui.answers = {dir.Path() / "chosen.txt"};
        ClickButton(w, "cmdClusterCreateFile");
        ASSERT_EQ(ui.saveRequests.size(), 1U);
        EXPECT_EQ(ui.saveRequests[0].fileName, "Cluster.qvl");
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "chosen.qvl"));
        EXPECT_EQ(w.StatusText(), "Cluster data file created");
        const auto blocked = dir.Write("plain-file", "");
        ui.answers = {blocked / "Cluster.qvl"};
        const std::size_t before = ui.messages.size();
        ClickButton(w, "cmdClusterCreateFile");
        EXPECT_EQ(ui.saveRequests.back().folder, dir.Path()); // the folder saved to last
        ASSERT_EQ(ui.messages.size(), before + 1);
        EXPECT_EQ(ui.messages.back().title, "Create Cluster File");
        EXPECT_EQ(w.StatusText(), "Cluster data file not created");

        // The index exclude file goes to the current folder.
        const auto here = std::filesystem::current_path();
        std::filesystem::current_path(dir.Path());
        ClickTab(w, ornexa::SimGraphTab);
        ClickButton(w, "cmdCreateFile");
        std::filesystem::current_path(here);
        EXPECT_TRUE(std::filesystem::exists(dir.Path() / "AINDEX.QVL"));
        EXPECT_EQ(ui.messages.back().title, "All Index Exclude Objects");
    };
    files.ClickNext();
}

TEST_F(Gui, PrintShowsOnEveryTabButTheRulesAndPreviewsWhatTheTabShows) {
    OpenSamples();
    drive = [this](AnalysisWindow& w) {
        auto* print = w.findChild<QPushButton*>(QStringLiteral("cmdPrint"));
        ASSERT_NE(print, nullptr);
        QAction* item = nullptr;
        for (QAction* action : w.findChildren<QAction*>()) {
            if (action->text() == QStringLiteral("&Print ...")) {
                item = action;
            }
        }
        ASSERT_NE(item, nullptr);
        EXPECT_TRUE(print->isVisible());
        EXPECT_TRUE(item->isEnabled());
        ClickRow(w.PoolList(), 1);
        ClickTab(w, ornexa::PoolStatAnalysisTab);
        EXPECT_FALSE(print->isVisible());
        EXPECT_FALSE(item->isEnabled());

        ClickTab(w, ornexa::PoolInfoTab);
        ASSERT_TRUE(print->isVisible());
        QTest::mouseClick(print, Qt::LeftButton);
        ASSERT_EQ(ui.previews.size(), 1U);
        EXPECT_TRUE(ui.previews[0].choosePrinter); // the first print of a window asks for the printer
        EXPECT_EQ(ui.previews[0].pages.pages.at(0).title, "Buffer Pool BP1");
        ClickTab(w, ornexa::SimGraphTab);
        item->trigger();
        ASSERT_EQ(ui.previews.size(), 2U);
        EXPECT_FALSE(ui.previews[1].choosePrinter);
        EXPECT_EQ(ui.previews[1].pages.pages.at(0).subtitle, "Optimal Pool Sizes");

        ui.printFailure = "the printer is off";
        const std::size_t told = ui.messages.size();
        QTest::mouseClick(print, Qt::LeftButton);
        ASSERT_EQ(ui.messages.size(), told + 1);
        EXPECT_EQ(ui.messages.back().title, "Print");
        EXPECT_NE(ui.messages.back().text.find("the printer is off"), std::string::npos);
        EXPECT_EQ(w.Session().CurrentPool(), 2); // the window's data stays as it was
    };
    files.ClickNext();
}

TEST(PagePainter, LaysThePagesOutOnLetterAndA4WithoutClipping) {
    // The fullest pages there are: the summary's six totals over a full table, and a cluster page.
    ornexa::PrintedReport printed;
    ornexa::PrintedPage page;
    page.title = "Buffer Pool BP1";
    page.facts = {{"System: ", "SYSA"}};
    page.labels.assign(6, {"Total Get Pages", "143,942,202"});
    page.table = ornexa::PrintedTable{{"Pools", "Get Pages"}, {}};
    for (int i = 0; i < ornexa::SummaryPoolsPerPage; ++i) {
        page.table->rows.push_back({"BP" + std::to_string(i), std::to_string(1000 + i)});
    }
    ornexa::PrintedPage cluster = page;
    cluster.labels.resize(3);
    cluster.table->rows.clear();
    for (int i = 0; i < ornexa::ClusterMembersPerPage; ++i) {
        cluster.table->rows.push_back({"DB.M" + std::to_string(i), std::to_string(i)});
    }
    printed.pages = {page, cluster};
    const ornexa::test::TempDir dir;
    for (const auto size : {QPageSize::Letter, QPageSize::A4}) {
        SCOPED_TRACE(static_cast<int>(size));
        const QString path = QString::fromStdString((dir.Path() / "pages.pdf").string());
        {
            QPdfWriter writer(path);
            writer.setPageSize(QPageSize(size));
            EXPECT_FALSE(PaintReport(printed, writer).has_value());
        }
        const std::string text = dir.Path() / "pages.txt";
        const std::string command = "pdftotext " + path.toStdString() + " " + text;
        ASSERT_EQ(std::system(command.c_str()), 0); // NOLINT(cert-env33-c): poppler's own tool
        std::ifstream in(text);
        const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // The last row and the footer of the second page are on the paper.
        EXPECT_NE(content.find("BP" + std::to_string(ornexa::SummaryPoolsPerPage - 1)), std::string::npos);
        EXPECT_NE(content.find("DB.M" + std::to_string(ornexa::ClusterMembersPerPage - 1)), std::string::npos);
        EXPECT_NE(content.find("Page 2 of 2"), std::string::npos);
    }
}

// The window's figures in the machine's separators, whole whatever bytes they take in UTF-8.
TEST_F(Gui, FiguresUseTheLocalesSeparatorsWhateverTheirBytes) {
    struct Shown {
        QString total;
        QString rate;
        double rateSort = 0;
    };
    const auto shownUnder = [&](const char* name) {
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        ui.answers = {Samples / "statistics-usa.sta"}; // Back leaves the report behind: read it again
        files.ClickOpenStatistics();
        Shown shown;
        drive = [&](AnalysisWindow& w) {
            shown.total = w.findChild<QLabel*>(QStringLiteral("lblStat0"))->text();
            const QAbstractItemModel* pools = w.PoolList()->model();
            shown.rate = pools->data(pools->index(0, 5), Qt::DisplayRole).toString();
            shown.rateSort = pools->data(pools->index(0, 5), SortRole).toDouble();
        };
        files.ClickNext();
        QLocale::setDefault(QLocale::c());
        return shown;
    };
    const Shown us = shownUnder("en_US");
    EXPECT_EQ(us.total, "11,085,603");
    ASSERT_TRUE(us.rate.contains(QLatin1Char('.')));
    for (const char* name : {"en_US", "de_DE", "de_CH", "fr_FR"}) {
        SCOPED_TRACE(name);
        const QLocale locale{QString::fromLatin1(name)};
        const QString group = locale.groupSeparator();
        const Shown shown = shownUnder(name);
        EXPECT_EQ(shown.total, QString(us.total).replace(QLatin1Char(','), group));
        EXPECT_EQ(shown.rate, QString(us.rate).replace(QLatin1Char('.'), locale.decimalPoint()));
        EXPECT_DOUBLE_EQ(shown.rateSort, us.rateSort); // sorted by value, not as text
    }
    EXPECT_EQ(QLocale(QStringLiteral("fr_FR")).groupSeparator().toUtf8().size(), 3); // the case that matters
}

TEST(Icons, AreDrawnSharpAtEveryPixelRatio) {
    const std::vector<QIcon> icons{StatusIcon(1),
                                   StatusIcon(2),
                                   StatusIcon(3),
                                   ObjectTypeIcon(ornexa::ObjectIcon::TableSpace),
                                   ObjectTypeIcon(ornexa::ObjectIcon::Index),
                                   ObjectTypeIcon(ornexa::ObjectIcon::TypeD),
                                   ObjectTypeIcon(ornexa::ObjectIcon::Other),
                                   ProgramIcon()};
    QList<QImage> seen;
    for (const QIcon& icon : icons) {
        ASSERT_FALSE(icon.isNull());
        for (const qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
            EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << "drawn for the device's pixels, not scaled up";
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
        }
        const QImage image = icon.pixmap(QSize(32, 32), 2.0).toImage();
        EXPECT_EQ(qAlpha(image.pixel(32, 32)), 255); // the badge
        EXPECT_EQ(qAlpha(image.pixel(1, 1)), 0);     // its round edge
        EXPECT_FALSE(seen.contains(image)) << "each picture is its own";
        seen << image;
    }
}

TEST(Models, PassTheModelTester) {
    ornexa::Report report;
    ornexa::test::AddPool(report, ornexa::test::TestPool("BP1"), {ornexa::test::TestObject("BP1", "A.T")});
    report.ElapsedSeconds = 0;
    PoolListModel pools;
    QAbstractItemModelTester poolTester(&pools, QAbstractItemModelTester::FailureReportingMode::Fatal);
    pools.SetRows({{1, ornexa::PoolListRow(report, 1)}});
    EXPECT_EQ(pools.data(pools.index(0, 5), Qt::DisplayRole).toString(), ""); // no interval: no rate
    EXPECT_EQ(pools.data(pools.index(0, 1), SortRole).toDouble(), 640);
    TextRowsModel rows;
    QAbstractItemModelTester rowsTester(&rows, QAbstractItemModelTester::FailureReportingMode::Fatal);
    rows.SetRows({"Object"}, {{1, {"A.T"}, ornexa::ObjectIcon::TableSpace}, {2, {"B.I"}, ornexa::ObjectIcon::Index}});
    EXPECT_EQ(rows.data(rows.index(1, 0), NumberRole).toInt(), 2);
    rows.SetRows({"Object", "Max Work Set"}, {});
    EXPECT_EQ(rows.columnCount(), 2);
}

// The generated sample as files the tests may change: pool 1 is BP1, the simulated pool.
class Reports : public Gui {
protected:
    Reports() {
        WriteStatistics();
        simPath = dir.Write("report.sim",
                            ornexa::samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
    }
    void WriteStatistics() { statPath = dir.Write("report.sta", ornexa::samplegen::StatisticsText(sample.report)); }
    void OpenBoth() {
        ui.answers = {statPath, simPath};
        files.ClickOpenStatistics();
        files.ClickOpenSimulation();
        ASSERT_TRUE(sim.SimFileLoaded);
    }
    [[nodiscard]] static std::string PoolShown(AnalysisWindow& w) { return w.Session().Place().pool; }

    ornexa::test::TempDir dir;
    ornexa::samplegen::SimSample sample = ornexa::samplegen::BuildSampleSimulation();
    std::filesystem::path statPath;
    std::filesystem::path simPath;
    int shown = 0;
};

TEST_F(Reports, F5ReadsTheChangedFilesAndReturnsToThePoolTabAndObject) {
    OpenBoth();
    const ornexa::Long before = report.Pools(1).PoolGetPages;
    ornexa::AnalysisPlace left;
    drive = [&](AnalysisWindow& w) {
        if (++shown == 1) {
            ClickRow(w.PoolList(), sample.pool - 1);
            ClickTab(w, ornexa::ObjectInfoTab);
            ClickRow(w.ObjectList(), 2);
            left = w.Session().Place();
            sample.report.Pools(1).PoolGetPages = before + 1000;
            WriteStatistics();
            PressKey(w, Qt::Key_F5);
            EXPECT_FALSE(w.isVisible());
            return;
        }
        EXPECT_EQ(w.Tabs()->currentIndex(), ornexa::ObjectInfoTab);
        EXPECT_EQ(w.Session().Place(), left);
        EXPECT_EQ(w.ObjectList()->selectionModel()->selectedRows().value(0).row(), 2);
        EXPECT_TRUE(w.Tabs()->isTabEnabled(ornexa::SimGraphTab)); // the simulation was read again too
    };
    files.ClickNext();
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(report.Pools(1).PoolGetPages, before + 1000);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_FALSE(left.object.empty());
}

TEST_F(Reports, AReloadThatFailsKeepsTheLastGoodReportShown) {
    OpenBoth();
    const int pools = report.PoolCount();
    const std::vector<std::function<void()>> spoil = {
        [&] { std::filesystem::remove(statPath); },
        [&] { static_cast<void>(dir.Write("report.sta", "not a report\r\n")); },
        [&] { static_cast<void>(dir.Write("report.sim", "ENV x USA\r\n")); },
    };
    drive = [&](AnalysisWindow& w) {
        ClickRow(w.PoolList(), sample.pool - 1);
        ClickTab(w, ornexa::PoolInfoTab);
        // Each time the files do not load: one box, and the window stays as it was.
        for (const auto& change : spoil) {
            WriteStatistics();
            change();
            ui.messages.clear();
            PressKey(w, Qt::Key_F5);
            ASSERT_EQ(ui.messages.size(), 1U);
            EXPECT_TRUE(ui.messages[0].hint.ends_with("The report read before stays shown.")) << ui.messages[0].hint;
            EXPECT_TRUE(w.isVisible());
            EXPECT_EQ(w.PoolList()->model()->rowCount(), pools);
            EXPECT_EQ(PoolShown(w), report.Pools(sample.pool).PoolName.Str());
            EXPECT_EQ(w.Tabs()->currentIndex(), ornexa::PoolInfoTab);
            EXPECT_TRUE(w.Tabs()->isTabEnabled(ornexa::SimGraphTab));
        }
    };
    files.ClickNext();
    EXPECT_EQ(windows, 1);
    EXPECT_EQ(report.PoolCount(), pools);
}

TEST_F(Reports, ADroppedFileIsReadAsTheReportItIs) {
    DropFile(files, simPath); // a Simulation report before any Statistics report
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].text.find("is not a Statistics report"), std::string::npos);
    DropFile(files, statPath);
    EXPECT_TRUE(report.StatFileLoaded);
    DropFile(files, simPath);
    EXPECT_TRUE(sim.SimFileLoaded);
    EXPECT_EQ(files.Session().Controls().simulationPath, simPath.string());

    const auto other = dir.Write("other.sta", ornexa::samplegen::StatisticsText(sample.report));
    drive = [&](AnalysisWindow& w) {
        if (++shown == 1) {
            DropFile(w, other); // a new Statistics report, without the old one's simulation
            EXPECT_FALSE(w.isVisible());
        } else {
            EXPECT_FALSE(w.Tabs()->isTabVisible(ornexa::SimGraphTab) && w.Tabs()->isTabEnabled(ornexa::SimGraphTab));
        }
    };
    files.ClickNext();
    EXPECT_EQ(windows, 2);
    EXPECT_EQ(files.Session().Controls().statisticsPath, other.string());
    EXPECT_FALSE(sim.SimFileLoaded);
}

TEST_F(Reports, RecentReportsAreKeptShownAndForgottenWhenGone) {
    OpenBoth();
    const auto other = dir.Write("other.sta", ornexa::samplegen::StatisticsText(sample.report));
    ui.answers = {other};
    files.ClickOpenStatistics();
    {
        // A second window reads the list back from the settings.
        ornexa::Report r;
        ornexa::SimulationData s;
        FileSelectionWindow again(r, s, ui);
        const QList<QAction*> items = again.RecentMenu()->actions();
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[0]->text(), "&1 other.sta");
        EXPECT_EQ(items[1]->text(), "&2 report.sta with report.sim");
        EXPECT_TRUE(items[1]->isEnabled());
        items[1]->trigger();
        EXPECT_TRUE(r.StatFileLoaded);
        EXPECT_TRUE(s.SimFileLoaded);
        ui.SetParent(&files);
    }
    std::filesystem::remove(other);
    emit files.RecentMenu()->aboutToShow();
    const QList<QAction*> items = files.RecentMenu()->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->text(), "&1 report.sta with report.sim"); // the second window's read came first
    EXPECT_FALSE(items[1]->isEnabled());
    ui.messages.clear();
    files.OpenRecent(0);
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].title, "Recent Reports");
    EXPECT_EQ(files.RecentMenu()->actions().size(), 1);
    EXPECT_EQ(files.RecentButton()->menu(), files.RecentMenu());
}

TEST_F(Gui, NonsenseInTheSettingsGivesAnEmptyRecentList) {
    QSettings settings;
    settings.setValue("recentReports/size", "abc");
    settings.setValue("recentReports/1/statistics", 42);
    settings.setValue("recentReports/size", 500);
    ornexa::Report r;
    ornexa::SimulationData s;
    const FileSelectionWindow again(r, s, ui);
    const QList<QAction*> items = again.RecentMenu()->actions();
    ASSERT_EQ(items.size(), 1);
    EXPECT_FALSE(items[0]->isEnabled()); // "No recent reports" or the one path, which is not a file
}

TEST_F(Gui, HelpListsTheKeyboardShortcuts) {
    OpenSamples();
    drive = [this](AnalysisWindow& w) {
        auto* item = w.findChild<QAction*>(QStringLiteral("actShortcuts"));
        ASSERT_NE(item, nullptr);
        item->trigger();
        ASSERT_EQ(ui.messages.size(), 1U);
        EXPECT_EQ(ui.messages[0].title, "Keyboard Shortcuts");
        for (const char* key : {"F5\t", "Ctrl+F\t", "Ctrl+C\t", "Ctrl+Shift+C\t", "Ctrl+Shift+S\t"}) {
            EXPECT_NE(ui.messages[0].text.find(key), std::string::npos) << key;
        }
    };
    files.ClickNext();
}

TEST_F(Gui, TheWindowKeepsItsSizeColumnsSortUsageAndRadius) {
    OpenSamples();
    const QSize size(1111, 777);
    QList<int> splitSizes;
    drive = [&](AnalysisWindow& w) {
        if (windows == 1) {
            w.resize(size);
            w.PoolList()->horizontalHeader()->resizeSection(0, 211);
            auto* split = w.findChild<QSplitter*>(QStringLiteral("splObject"));
            ASSERT_NE(split, nullptr);
            split->setSizes({300, 700});
            splitSizes = split->sizes();
            QRadioButton* random = Option(w, "fraPoolIntentUsage", "Random");
            ASSERT_NE(random, nullptr);
            QTest::mouseClick(random, Qt::LeftButton);
            ClickRow(w.PoolList(), 1);
            w.Session().SetRadiusText("2.5");
            ClickTab(w, ornexa::ObjectInfoTab);
            ClickHeader(w.ObjectList(), 0);
            ClickHeader(w.ObjectList(), 0);
            return;
        }
        EXPECT_EQ(w.width(), size.width());
        EXPECT_NEAR(w.height(), size.height(), 10); // the offscreen frame may add a few pixels
        EXPECT_EQ(w.PoolList()->horizontalHeader()->sectionSize(0), 211);
        EXPECT_EQ(w.findChild<QSplitter*>(QStringLiteral("splObject"))->sizes(), splitSizes);
        EXPECT_TRUE(Option(w, "fraPoolIntentUsage", "Random")->isChecked());
        EXPECT_EQ(w.Session().Usage(), ornexa::PoolUsage::Random);
        EXPECT_EQ(w.Session().Clusters().RadiusText(), "2.5");
        EXPECT_TRUE(w.ObjectList()->model()->headerData(0, Qt::Horizontal).toString().endsWith(" (D)"));
    };
    files.ClickNext();
    ui.answers = {Samples / "simulation-bp1.sim"};
    files.ClickOpenSimulation();
    files.ClickNext();
    EXPECT_EQ(windows, 2);
}

TEST_F(Gui, NonsenseInTheSettingsGivesTheDefaults) {
    OpenSamples();
    int defaultWidth = 0;
    ornexa::PoolUsage defaultUsage{};
    drive = [&](AnalysisWindow& w) {
        defaultWidth = w.PoolList()->horizontalHeader()->sectionSize(0);
        defaultUsage = w.Session().Usage();
    };
    files.ClickNext();
    const std::vector<std::pair<QString, QVariant>> nonsense = {
        {"windows/frmStatAnalysis/geometry", QByteArray("not a geometry")},
        {"lists/frmStatAnalysis/lvPools/widths", "-5,abc,1,2,3,4,5"},
        {"lists/frmStatAnalysis/lvObjects/sort", "99,D"},
        {"analysis/usageOption", "7"},
        {"analysis/clusterRadius", "abc"},
        {"splitters/frmStatAnalysis/splObject", QByteArray("\x01\x02")},
    };
    for (const auto& [key, value] : nonsense) {
        QSettings().setValue(key, value);
    }
    ui.answers = {Samples / "simulation-bp1.sim"};
    files.ClickOpenSimulation();
    drive = [&](AnalysisWindow& w) {
        EXPECT_EQ(w.PoolList()->horizontalHeader()->sectionSize(0), defaultWidth);
        EXPECT_EQ(w.Session().Usage(), defaultUsage);
        EXPECT_EQ(w.Session().Clusters().RadiusText(), "1.2");
        EXPECT_FALSE(w.ObjectList()->model()->headerData(0, Qt::Horizontal).toString().endsWith(")"));
        EXPECT_GT(w.width(), 100);
    };
    files.ClickNext();
    EXPECT_EQ(windows, 2);
}

TEST_F(Gui, PoolStatAnalysisShowsTheMetricsAndCommandsOfThePoolShown) {
    OpenSamples();
    drive = [](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 1); // BP1, the simulated pool
        ClickTab(w, ornexa::PoolStatAnalysisTab);
        const auto& page = w.Session().Rules();
        ASSERT_EQ(w.Metrics()->rowCount(), static_cast<int>(page.Metrics().size()));
        ASSERT_GT(w.Metrics()->rowCount(), 0);
        for (int r = 0; r < w.Metrics()->rowCount(); ++r) {
            const ornexa::MetricCells& row = page.Metrics()[static_cast<std::size_t>(r)];
            EXPECT_EQ(w.Metrics()->item(r, 0)->text().toStdString(), row.caption);
            EXPECT_EQ(w.Metrics()->item(r, 1)->text().toStdString(), row.value);
            EXPECT_EQ(w.Metrics()->item(r, 2)->text().toStdString(), row.note);
        }
        const QString bp1 = w.Commands()->toPlainText();
        EXPECT_TRUE(bp1.contains("-ALTER BUFFERPOOL(BP1) VPSIZE(")) << bp1.toStdString(); // from the simulation
        const QString bp1Value = w.Metrics()->item(0, 1)->text();

        ClickButton(w, "cmdCopyCommands");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), bp1);

        w.NextPool(); // the table and the box follow the pool
        EXPECT_NE(w.Commands()->toPlainText(), bp1);
        EXPECT_FALSE(w.Commands()->toPlainText().contains("VPSIZE("));
        EXPECT_NE(w.Metrics()->item(0, 1)->text(), bp1Value);
    };
    files.ClickNext();
}

TEST_F(Gui, TheRegroupDialogsStatementsFollowItsTargets) {
    OpenSamples();
    const ornexa::test::TempDir dir;
    drive = [&](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 1);
        ClickTab(w, ornexa::SimClusterTab);
        ASSERT_GT(w.Session().Clusters().LastRun().result, 1);
        ASSERT_TRUE(w.Clusters()->RegroupButton()->isEnabled());
        QTest::mouseClick(w.Clusters()->RegroupButton(), Qt::LeftButton);
        auto* dialog = w.findChild<RegroupDialog*>();
        ASSERT_NE(dialog, nullptr);
        QComboBox* first = dialog->Target(1);
        ASSERT_NE(first, nullptr);
        EXPECT_FALSE(first->currentText().isEmpty()); // a pool the report does not use
        EXPECT_TRUE(dialog->Statements()->toPlainText().contains(" BUFFERPOOL " + first->currentText() + ";"));
        EXPECT_TRUE(dialog->Problems()->text().isEmpty());

        first->setCurrentText("BP8K0"); // another page size
        EXPECT_TRUE(dialog->Problems()->text().startsWith("Cluster 1: ")) << dialog->Problems()->text().toStdString();
        EXPECT_FALSE(dialog->Statements()->toPlainText().contains("BUFFERPOOL BP8K0;"));
        first->setCurrentText("BP49");
        EXPECT_TRUE(dialog->Problems()->text().isEmpty());
        EXPECT_TRUE(dialog->Statements()->toPlainText().contains("BUFFERPOOL BP49;"));

        ClickButton(*dialog, "cmdRegroupCopy");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), dialog->Statements()->toPlainText());
        ui.answers = {dir.Path() / "moves"};
        ClickButton(*dialog, "cmdRegroupSave");
        std::ifstream saved(dir.Path() / "moves.sql", std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
        EXPECT_EQ(text, dialog->Page().Text());
        dialog->close();
    };
    files.ClickNext();
}

// The imports run in the background; their outcome comes back through the event loop.
QString StatusMessage(AnalysisWindow& w, FileSelectionWindow& files) {
    files.History().WaitForImports();
    QCoreApplication::processEvents();
    return w.findChild<QStatusBar*>(QStringLiteral("sbStatus"))->currentMessage();
}

TEST_F(Gui, EveryReportShownIsKeptAndCtrlHOpensTheHistory) {
    OpenSamples();
    int reports = -1;
    drive = [&](AnalysisWindow& w) {
        EXPECT_EQ(StatusMessage(w, files), "Kept in the history as report 1.");
        QTimer::singleShot(0, &w, [&] {
            HistoryWindow* history = w.History();
            ASSERT_NE(history, nullptr);
            reports = history->ReportList()->model()->rowCount();
            history->reject();
        });
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, Qt::Key_H, Qt::ControlModifier);
    };
    files.ClickNext();
    EXPECT_EQ(reports, 1);
    EXPECT_TRUE(ui.messages.empty()); // a kept report is told in the status bar only

    // Shown again: known by its content.
    drive = [&](AnalysisWindow& w) { EXPECT_EQ(StatusMessage(w, files), "Already in the history as report 1."); };
    files.ClickNext();
}

TEST_F(Gui, NothingIsKeptWithTheSettingOffAndABadHistoryNeverStopsTheAnalysis) {
    files.History().SetKeepEveryReport(false);
    OpenSamples();
    drive = [&](AnalysisWindow& w) { EXPECT_EQ(StatusMessage(w, files), ""); };
    files.ClickNext();
    auto store = files.History().Open();
    ASSERT_TRUE(store.Ok()) << store.FaultText();
    EXPECT_TRUE((*store.value)->Reports().value->empty());

    // A history file that is not a database: the report is shown all the same, the status bar tells.
    files.History().SetKeepEveryReport(true);
    const auto foreign = historyDir.Write("foreign.db", "not a database at all, and longer than a header of one");
    files.History().SetLocation(foreign.string());
    drive = [&](AnalysisWindow& w) {
        EXPECT_TRUE(StatusMessage(w, files).startsWith("Not kept in the history:"));
        EXPECT_EQ(w.PoolList()->model()->rowCount(), 9);
    };
    files.ClickNext();
    EXPECT_TRUE(ui.messages.empty());
}

TEST_F(Gui, AReportOpenedFromTheHistoryIsReadInPlaceOfTheOneShown) {
    const auto usa = Samples / "statistics-usa.sta";
    OpenSamples();
    // A second report kept in the history: a copy of the first one with other figures.
    ornexa::Report other;
    ASSERT_TRUE(ornexa::ReadStatisticsFile(other, usa).Loaded());
    other.Pools(1).PoolGetPages += 1000;
    const auto copy = historyDir.Write("copy.sta", ornexa::samplegen::StatisticsText(other));
    files.History().Import({copy, {}});
    files.History().WaitForImports();
    int shown = 0;
    drive = [&](AnalysisWindow& w) {
        if (++shown > 1) {
            return;
        }
        StatusMessage(w, files); // the report shown is kept first
        QTimer::singleShot(0, &w, [&] {
            HistoryWindow* history = w.History();
            ASSERT_NE(history, nullptr);
            QTableView* list = history->ReportList();
            const auto* model =
                static_cast<HistoryTableModel*>(static_cast<QSortFilterProxyModel*>(list->model())->sourceModel());
            EXPECT_GE(model->RowOf(1), 0);
            ClickRow(list, model->RowOf(1)); // the copy, imported first
            ClickButton(*history, "cmdOpenReport");
            if (history->isVisible()) {
                history->reject(); // never left waiting
            }
        });
        w.ShowHistory();
    };
    files.ClickNext();
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(files.Session().Controls().statisticsPath, copy.string());
    EXPECT_EQ(report.Pools(1).PoolGetPages, other.Pools(1).PoolGetPages);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ORNEXA-tests"));
    // Settings of this program's own: the test programs run side by side, and one that clears its
    // settings must not clear another's.
    const QTemporaryDir settings;
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings.path());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST_F(Gui, TheLimitsMenuChoosesAMonitorsOrALargeSitesLimitsAndKeepsTheChoice) {
    const ornexa::test::TempDir dir;
    ornexa::samplegen::StatFileOptions plain;
    plain.decorate = false;
    const auto large =
        dir.Write("large.sta", ornexa::samplegen::StatisticsText(ornexa::samplegen::BuildLargeReport(61, 4000), plain));
    const auto checked = [](const QMenu* menu) {
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (action->isChecked()) {
                texts << action->text();
            }
        }
        return texts;
    };
    QMenu* menu = files.LimitsMenu();
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions()[0]->text(), "As written by the monitor (60 pools, 5000 objects)");
    EXPECT_EQ(menu->actions()[1]->text(), "Large site (80 pools, 1,000,000 objects)");
    EXPECT_EQ(checked(menu), QStringList{"As written by the monitor (60 pools, 5000 objects)"});

    // The monitor's limits refuse the 61st pool as they always have.
    ui.answers = {large};
    files.ClickOpenStatistics();
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_NE(ui.messages[0].text.find("\"Subscript out of range\""), std::string::npos) << ui.messages[0].text;
    EXPECT_EQ(report.PoolCount(), 60);

    menu->actions()[1]->trigger();
    EXPECT_EQ(files.Session().Limits(), ornexa::ReportLimits::LargeSite());
    EXPECT_EQ(QSettings().value("read/limits").toString(), "large-site");
    EXPECT_EQ(files.statusBar()->currentMessage(),
              "Reports read from now on accept at most 80 pools, 1,000,000 objects.");
    ui.messages.clear();
    ui.answers = {large};
    files.ClickOpenStatistics();
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(report.PoolCount(), 61);
    EXPECT_EQ(report.ObjectCount(), 4000);

    // A window made later reads the choice kept; limits given for one run are kept nowhere.
    ornexa::Report r;
    ornexa::SimulationData s;
    FileSelectionWindow again(r, s, ui);
    EXPECT_EQ(again.Session().Limits(), ornexa::ReportLimits::LargeSite());
    again.ChooseLimits({70, 9000}, false);
    EXPECT_EQ(again.Session().Limits(), (ornexa::ReportLimits{70, 9000}));
    ASSERT_EQ(again.LimitsMenu()->actions().size(), 3);
    EXPECT_FALSE(again.LimitsMenu()->actions()[2]->isEnabled());
    EXPECT_EQ(checked(again.LimitsMenu()), QStringList{"From the command line (70 pools, 9000 objects)"});
    EXPECT_EQ(QSettings().value("read/limits").toString(), "large-site");
    again.LimitsMenu()->actions()[0]->trigger();
    EXPECT_EQ(QSettings().value("read/limits").toString(), "monitor");
    EXPECT_EQ(again.LimitsMenu()->actions().size(), 2);
}

// A large site's pool: every object in the list, found by the filter, sorted, without a widget a row.
TEST_F(Gui, APoolOfSixtyThousandObjectsIsListedFilteredAndSorted) {
    const ornexa::test::TempDir dir;
    ornexa::samplegen::StatFileOptions plain;
    plain.decorate = false;
    constexpr int objects = 60000;
    const auto path = dir.Write(
        "large.sta", ornexa::samplegen::StatisticsText(ornexa::samplegen::BuildLargeReport(1, objects), plain));
    files.ChooseLimits(ornexa::ReportLimits::LargeSite(), false);
    files.History().SetKeepEveryReport(false);
    ui.answers = {path};
    files.ClickOpenStatistics();
    ASSERT_TRUE(ui.messages.empty());
    drive = [&](AnalysisWindow& w) {
        ClickRow(w.PoolList(), 0);
        ClickTab(w, ornexa::ObjectInfoTab);
        const QAbstractItemModel* model = w.ObjectList()->model();
        ASSERT_EQ(model->rowCount(), objects);
        EXPECT_EQ(w.ObjectCountText(), QStringLiteral("%1 of %1 objects").arg(objects));
        EXPECT_TRUE(w.ObjectList()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly).size() < 10);
        const QString last = QString::fromStdString(std::string(report.Objects(objects).ObjName.Trimmed()));
        QTest::keyClicks(w.ObjectFilter(), last);
        ASSERT_GE(model->rowCount(), 1);
        EXPECT_EQ(Shown(model).front(), last);
        QTest::keyClick(w.ObjectFilter(), Qt::Key_Escape);
        ClickHeader(w.ObjectList(), 0);
        ClickHeader(w.ObjectList(), 0); // descending
        ASSERT_EQ(model->rowCount(), objects);
        const QString first = model->index(0, 0).data().toString();
        const QString second = model->index(1, 0).data().toString();
        EXPECT_GE(first, second);
    };
    files.ClickNext();
    EXPECT_EQ(windows, 1);
}
