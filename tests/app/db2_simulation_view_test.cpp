#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <memory>

#include "advice/pool_commands.h"
#include "app/analysis_window.h"
#include "app/sim_graph_widget.h"
#include "display_fixture.h"
#include "keyboard_walk.h"
#include "report/stat_reader.h"
#include "scripted_services.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stats/ui/chart_view.h"

namespace {

const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

class Db2SimulationView : public ::testing::Test {
protected:
    Db2SimulationView() { QSettings().clear(); }

    std::unique_ptr<AnalysisWindow> Show() {
        auto window = std::make_unique<AnalysisWindow>(report, sim, ui, dir.Path());
        window->resize(1200, 800);
        keyboard::Activate(*window);
        return window;
    }

    // Chooses the first pool of the list for which `wanted` holds; its number, or 0.
    template <class Wanted> int ChoosePool(AnalysisWindow& window, Wanted wanted) {
        const QAbstractItemModel* pools = window.PoolList()->model();
        for (int row = 0; row < pools->rowCount(); ++row) {
            window.ChoosePool(row);
            if (wanted(window.Session().CurrentPool())) {
                return window.Session().CurrentPool();
            }
        }
        return 0;
    }

    static void ClickTab(QTabWidget* tabs, int tab) {
        QTabBar* bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    const ornexa::test::TempDir dir;
};

TEST_F(Db2SimulationView, ADisplayShowsDb2sSimulatedPoolAsATwoPointCurve) {
    ornexa::samplegen::DisplaySampleOptions options;
    options.simulate = true;
    report = ornexa::test::DisplayReport(options);
    const auto window = Show();
    QTabWidget* tabs = window->Tabs();
    ASSERT_TRUE(tabs->isTabVisible(ornexa::SimGraphTab));
    EXPECT_FALSE(tabs->isTabVisible(ornexa::SimClusterTab));

    const int plain = ChoosePool(*window, [this](int p) { return !ornexa::Db2SizeCurveOf(report, p); });
    ASSERT_NE(plain, 0);
    EXPECT_FALSE(tabs->isTabEnabled(ornexa::SimGraphTab));

    const int p = ChoosePool(*window, [this](int q) { return ornexa::Db2SizeCurveOf(report, q).has_value(); });
    ASSERT_NE(p, 0);
    ASSERT_TRUE(tabs->isTabEnabled(ornexa::SimGraphTab));
    ClickTab(tabs, ornexa::SimGraphTab);
    ASSERT_EQ(tabs->currentIndex(), ornexa::SimGraphTab);

    SimGraphWidget* simTab = window->SimGraphs();
    EXPECT_TRUE(simTab->Caption()->isVisible());
    EXPECT_EQ(simTab->Caption()->text(),
              QStringLiteral("Db2's simulated pool: two points, current and simulated size"));
    QTabWidget* subTabs = simTab->SubTabs();
    EXPECT_EQ(subTabs->currentIndex(), ornexa::OptimalPoolSizeTab);
    for (const int t : {ornexa::LargestWorkSetTab, ornexa::SmallestWorkSetTab, ornexa::LargestImprovementTab}) {
        EXPECT_FALSE(subTabs->isTabEnabled(t)) << t;
        EXPECT_TRUE(subTabs->tabToolTip(t).contains(QStringLiteral("monitor's Simulation report"))) << t;
    }

    const ornexa::Db2SizeCurve curve = *ornexa::Db2SizeCurveOf(report, p);
    const ornexa::ChartModel& shown = simTab->Chart(ornexa::OptimalPoolSizeTab)->Model();
    EXPECT_EQ(shown.title, "Pool Size Versus System Hit Ratio");
    EXPECT_EQ(shown.xValues, (std::vector<double>{static_cast<double>(curve.current.size),
                                                  static_cast<double>(curve.simulated.size)}));

    // The rate option redraws the curve with the synchronous read I/O rates.
    auto* rate =
        simTab->findChild<QGroupBox*>(QStringLiteral("optGreatestImprovement"))->findChildren<QRadioButton*>().at(1);
    QTest::mouseClick(rate, Qt::LeftButton);
    const ornexa::ChartModel& rates = simTab->Chart(ornexa::OptimalPoolSizeTab)->Model();
    EXPECT_EQ(rates.title, "Pool Size Versus Synchronous Read IO Rate");
    ASSERT_TRUE(curve.current.syncReadsPerSecond && curve.simulated.syncReadsPerSecond);
    EXPECT_EQ(rates.series.at(0),
              (std::vector<double>{*curve.current.syncReadsPerSecond, *curve.simulated.syncReadsPerSecond}));
    EXPECT_TRUE(ui.messages.empty());

    // The pool's commands say what Db2's simulation proposes, or why it proposes nothing.
    const ornexa::SizeAdvice size = ornexa::ProposeDb2PoolSize(report, p);
    const QString commands = window->Commands()->toPlainText();
    if (size.command) {
        EXPECT_TRUE(commands.contains(QString::fromStdString(size.command->text))) << commands.toStdString();
    } else {
        EXPECT_TRUE(commands.contains(QString::fromStdString(size.notes.at(0)))) << commands.toStdString();
    }

    // A disabled sub-tab cannot be chosen by a click.
    QTabBar* subBar = subTabs->tabBar();
    QTest::mouseClick(subBar, Qt::LeftButton, {}, subBar->tabRect(ornexa::LargestWorkSetTab).center());
    EXPECT_EQ(subTabs->currentIndex(), ornexa::OptimalPoolSizeTab);
    window->ChooseSimChart(ornexa::LargestImprovementTab); // Ctrl+4
    EXPECT_EQ(subTabs->currentIndex(), ornexa::OptimalPoolSizeTab);
}

TEST_F(Db2SimulationView, TheMonitorsSimulationKeepsEverySubTabAndNoCaption) {
    ASSERT_TRUE(ornexa::ReadStatisticsFile(report, Samples / "statistics-usa.sta").Loaded());
    ASSERT_TRUE(ornexa::ReadSimulationFile(report, sim, Samples / "simulation-bp1.sim").Loaded());
    const auto window = Show();
    ASSERT_NE(ChoosePool(*window, [this](int p) { return p == sim.ShownPool(); }), 0);
    ClickTab(window->Tabs(), ornexa::SimGraphTab);
    SimGraphWidget* simTab = window->SimGraphs();
    EXPECT_FALSE(simTab->Caption()->isVisible());
    for (int t = 0; t < ornexa::SimSubTabCount; ++t) {
        EXPECT_TRUE(simTab->SubTabs()->isTabEnabled(t)) << t;
        EXPECT_TRUE(simTab->SubTabs()->tabToolTip(t).isEmpty()) << t;
    }
    EXPECT_TRUE(simTab->Chart(ornexa::OptimalPoolSizeTab)->Model().subtitle.empty());
}

} // namespace
