#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <deque>

#include "app/analysis_window.h"
#include "app/file_selection_window.h"
#include "app/list_models.h"
#include "app/ui_services.h"
#include "stat_fixture.h"
#include "stats/share_figures.h"
#include "stats/ui/chart_view.h"

namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

// Answers the dialogs from a queue and keeps the message boxes instead of showing them.
class ScriptedServices final : public UiServices {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const ornexa::FileDialogRequest&) override {
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void Show(const ornexa::Message& message) override { messages.push_back(message); }
    void ShowAbout() override { ++about; }
    std::deque<std::filesystem::path> answers;
    std::vector<ornexa::Message> messages;
    int about = 0;
};

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

// Chooses graph `type` (1-based) with the keyboard, as the list offers it.
void ChooseGraph(QComboBox* list, int type) {
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 1; i < type; ++i) {
        QTest::keyClick(list, Qt::Key_Down);
    }
}

class Gui : public ::testing::Test {
protected:
    Gui() : files(report, sim, ui) {
        files.SetAnalysisRunner([this](const ornexa::Report& r, const ornexa::SimulationData& s) {
            ++windows;
            AnalysisWindow window(r, s, ui, Samples.parent_path() / "data");
            window.show();
            if (drive) {
                drive(window);
            }
            if (window.isVisible()) {
                window.Back();
            }
            return window.Session().Exit();
        });
    }

    void OpenSamples() {
        ui.answers = {Samples / "statistics-usa.sta", Samples / "simulation-bp1.sim"};
        files.ClickOpenStatistics();
        files.ClickOpenSimulation();
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    FileSelectionWindow files;
    std::function<void(AnalysisWindow&)> drive;
    int windows = 0;
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
        for (QRadioButton* option : w.findChildren<QRadioButton*>()) {
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

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("ORNEXA-tests"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
