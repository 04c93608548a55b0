#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <iterator>

#include "app/analysis_window.h"
#include "app/cluster_widget.h"
#include "app/sim_graph_widget.h"
#include "app/table_export.h"
#include "csv_reader.h"
#include "report/latin1.h"
#include "report/stat_reader.h"
#include "scripted_services.h"
#include "simulation/sim_reader.h"
#include "stat_fixture.h"
#include "stats/ui/chart_view.h"

namespace {

using Records = std::vector<std::vector<std::string>>;
const std::filesystem::path Samples = ORNEXA_SAMPLES_DIR;

std::string FileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Ctrl+C on the list, as the user presses it, and what the clipboard then holds split in lines
// and cells.
Records CopyWithKeys(QAbstractItemView* view) {
    view->window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(view->window()));
    view->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.endsWith(QLatin1Char('\n'))) << text.toStdString();
    Records records;
    for (const QString& line : text.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        std::vector<std::string> cells;
        for (const QString& cell : line.split(QLatin1Char('\t'))) {
            cells.push_back(cell.toStdString());
        }
        records.push_back(std::move(cells));
    }
    return records;
}

TableExport* ExportOf(QAbstractItemView* view) {
    return view->findChild<TableExport*>(QString(), Qt::FindDirectChildrenOnly);
}

// "Export as CSV..." to `path`, read back; a broken file fails the test.
Records ExportTo(QAbstractItemView* view, ScriptedServices& ui, const std::filesystem::path& path) {
    ui.answers = {path};
    ExportOf(view)->ExportAction()->trigger();
    const auto records = ornexa::test::ReadCsv(FileText(path));
    EXPECT_TRUE(records.has_value()) << path;
    return records.value_or(Records{});
}

// The texts of the context menu the list opens, closed again as soon as it shows.
QStringList MenuOf(QAbstractItemView* view) {
    QStringList texts;
    QTimer::singleShot(0, view, [&texts] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (const QAction* action : menu->actions()) {
                texts << action->text();
            }
            menu->close();
        }
    });
    emit view->customContextMenuRequested(view->viewport()->rect().center());
    return texts;
}

class TableExportTest : public ::testing::Test {
protected:
    void Read(const std::filesystem::path& stat, const std::optional<std::filesystem::path>& simFile = std::nullopt) {
        ornexa::ResetReport(report);
        sim.Reset();
        ASSERT_TRUE(ornexa::ReadStatisticsFile(report, stat).Loaded());
        if (simFile) {
            ASSERT_TRUE(ornexa::ReadSimulationFile(report, sim, *simFile).Loaded());
        }
    }
    AnalysisWindow& Window() {
        window = std::make_unique<AnalysisWindow>(report, sim, ui, Samples.parent_path() / "data");
        window->show();
        return *window;
    }
    ~TableExportTest() override { QLocale::setDefault(QLocale::c()); }

    ornexa::Report report;
    ornexa::SimulationData sim;
    ScriptedServices ui;
    std::unique_ptr<AnalysisWindow> window;
    const ornexa::test::TempDir dir;
};

TEST_F(TableExportTest, EveryListCopiesAndExportsItself) {
    Read(Samples / "statistics-usa.sta", Samples / "simulation-bp1.sim");
    AnalysisWindow& w = Window();
    w.ChoosePool(1); // BP1, the simulated pool
    for (QAbstractItemView* view : std::initializer_list<QAbstractItemView*>{
             w.PoolList(), w.ObjectList(), w.Rules(), w.SimGraphs()->DetailsTable(), w.Clusters()->Clusters(),
             w.Clusters()->Members()}) {
        SCOPED_TRACE(view->objectName().toStdString());
        ASSERT_NE(ExportOf(view), nullptr);
        EXPECT_EQ(MenuOf(view), (QStringList{"Copy", "Export as CSV..."}));
    }

    // The rule list has no header of its own: "Rule" stands for it.
    Records rules{{"Rule"}};
    for (const std::string& rule : w.Session().Rules().Analysis().rules) {
        rules.push_back({rule});
    }
    ASSERT_GT(rules.size(), 1U);
    EXPECT_EQ(ExportTo(w.Rules(), ui, dir.Path() / "rules.csv"), rules);

    // The details table of the object of the top bar: its row captions and the figures per simulated size.
    w.SelectTab(ornexa::SimGraphTab);
    SimGraphWidget* tab = w.SimGraphs();
    QTabBar* bar = tab->SubTabs()->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(ornexa::LargestWorkSetTab).center());
    ChartView* chart = tab->Chart(ornexa::LargestWorkSetTab);
    chart->setFocus();
    QTest::keyClick(chart, Qt::Key_Up);
    QTest::keyClick(chart, Qt::Key_Return);
    ASSERT_TRUE(tab->Details()->isVisible());
    const Records details = ExportTo(tab->DetailsTable(), ui, dir.Path() / "details.csv");
    ASSERT_EQ(details.size(), 1 + static_cast<std::size_t>(ornexa::SimDetailRowCount));
    EXPECT_EQ(details[0].at(0), "Pool Size");
    EXPECT_EQ(details[4].at(0), "Sytem Hit Ratio");
    for (std::size_t r = 1; r < details.size(); ++r) {
        ASSERT_EQ(details[r].size(), 1 + static_cast<std::size_t>(sim.Sim.SimSizeCount));
        for (std::size_t c = 1; c < details[r].size(); ++c) {
            std::size_t used = 0;
            (void)std::stod(details[r][c], &used);
            EXPECT_EQ(used, details[r][c].size()) << details[r][c]; // a bare number
        }
    }
    EXPECT_TRUE(ui.messages.empty());
}

// What the user copies is what the list shows, with figures a spreadsheet reads whatever the locale.
TEST_F(TableExportTest, TheFiguresOfTheModelAreCopiedWithoutTheLocalesSeparators) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    Read(Samples / "statistics-usa.sta");
    AnalysisWindow& w = Window();
    w.ChoosePool(2);
    const QAbstractItemModel* shown = w.PoolList()->model();
    ASSERT_TRUE(shown->data(shown->index(2, 4)).toString().contains(QLatin1Char(','))); // "93,9" on the screen
    const Records copied = CopyWithKeys(w.PoolList());                                  // the selected row only
    ASSERT_EQ(copied.size(), 2U);
    EXPECT_EQ(copied[0],
              (std::vector<std::string>{"Pool", "I/O", "Get Pages", "Updates", "Hit Ratio", "I/O Sec", "Pages/Write"}));
    const ornexa::PoolRecord& pool = report.Pools(3);
    const std::vector<std::string>& row = copied[1];
    ASSERT_EQ(row.size(), 7U);
    EXPECT_EQ(row[0], ornexa::Latin1ToUtf8(pool.PoolName.Str()));
    EXPECT_EQ(row[1], std::to_string(static_cast<long long>(pool.PoolReadIOs) + pool.PoolWriteIOs));
    EXPECT_EQ(row[2], std::to_string(pool.PoolGetPages));
    EXPECT_EQ(row[3], std::to_string(pool.PoolUpdates));
    EXPECT_EQ(std::stod(row[4]), pool.PoolHitRatio);
    const double rate = static_cast<double>(pool.PoolReadIOs + pool.PoolWriteIOs) / report.ElapsedSeconds;
    EXPECT_NEAR(std::stod(row[5]), rate, 0.005);
    EXPECT_EQ(row[5].find(','), std::string::npos);

    // With nothing selected, every row.
    w.PoolList()->clearSelection();
    EXPECT_EQ(CopyWithKeys(w.PoolList()).size(), 1 + static_cast<std::size_t>(report.PoolCount()));
}

TEST_F(TableExportTest, TheObjectListGivesTheObjectsShownInTheirOrder) {
    Read(Samples / "statistics-usa.sta");
    AnalysisWindow& w = Window();
    w.ChoosePool(1);
    Records all{{"Object"}};
    for (const int o : ornexa::PoolObjects(report, 2)) {
        all.push_back({ornexa::Latin1ToUtf8(report.Objects(o).ObjName.Trimmed())});
    }
    ASSERT_GT(all.size(), 3U);
    w.SelectTab(ornexa::ObjectInfoTab);
    w.ObjectList()->clearSelection();
    EXPECT_EQ(CopyWithKeys(w.ObjectList()), all);

    // Narrowed and sorted, as shown: the header carries the sort marker the list shows.
    const std::string wanted = all[2][0].substr(0, 5);
    w.ObjectFilter()->setText(QString::fromStdString(wanted));
    w.SortObjects(0);
    w.SortObjects(0); // descending
    Records narrowed;
    for (std::size_t r = 1; r < all.size(); ++r) {
        if (all[r][0].starts_with(wanted)) {
            narrowed.push_back(all[r]);
        }
    }
    std::sort(narrowed.begin(), narrowed.end(), std::greater<>());
    narrowed.insert(narrowed.begin(),
                    {w.ObjectList()->model()->headerData(0, Qt::Horizontal).toString().toStdString()});
    EXPECT_EQ(ExportTo(w.ObjectList(), ui, dir.Path() / "objects.csv"), narrowed);
    EXPECT_EQ(ui.saveRequests.back().fileName, "objects.csv");
    EXPECT_EQ(ui.saveRequests.back().defaultSuffix, "csv");
}

TEST_F(TableExportTest, NamesWithCommasAndQuotesComeBackWholeAndFailuresAreTold) {
    ornexa::test::StatLines lines;
    lines.Header().Pool("BP0").Object("BP0", "DB\"1,A.TS1").Object("BP0", "1E5").Object("BP0", "0012");
    Read(dir.Write("quoted.sta", lines.Text()));
    AnalysisWindow& w = Window();
    w.ChoosePool(0);
    // Names that read as numbers stay names.
    const Records expected{{"Object"}, {"DB\"1,A.TS1"}, {"1E5"}, {"0012"}};
    ui.answers = {dir.Path() / "objects"}; // a bare name gets ".csv"
    ExportOf(w.ObjectList())->ExportAction()->trigger();
    EXPECT_EQ(ornexa::test::ReadCsv(FileText(dir.Path() / "objects.csv")), expected);
    w.SelectTab(ornexa::ObjectInfoTab);
    w.ObjectList()->clearSelection();
    EXPECT_EQ(CopyWithKeys(w.ObjectList()), expected); // tab-separated needs no quotes
    EXPECT_TRUE(ui.messages.empty());

    ui.answers.clear(); // cancelled: nothing written, nothing told
    ExportOf(w.ObjectList())->ExportAction()->trigger();
    EXPECT_TRUE(ui.messages.empty());

    const std::filesystem::path nowhere = dir.Path() / "no such folder" / "objects.csv";
    ui.answers = {nowhere};
    ExportOf(w.ObjectList())->ExportAction()->trigger();
    EXPECT_FALSE(std::filesystem::exists(nowhere));
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].title, "Export as CSV");
    EXPECT_EQ(ui.messages[0].icon, ornexa::MessageIcon::Exclamation);
    EXPECT_NE(ui.messages[0].text.find(nowhere.string()), std::string::npos);
}

TEST_F(TableExportTest, ANameASpreadsheetWouldRunIsExportedWithALeadingQuote) {
    ornexa::test::StatLines lines;
    lines.Header().Pool("BP0").Object("BP0", "=HYPERLINK(X)").Object("BP0", "@SUM(A1)").Object("BP0", "DB1.TS1");
    Read(dir.Write("formula.sta", lines.Text()));
    AnalysisWindow& w = Window();
    w.ChoosePool(0);
    ui.answers = {dir.Path() / "objects.csv"};
    ExportOf(w.ObjectList())->ExportAction()->trigger();
    EXPECT_EQ(ornexa::test::ReadCsv(FileText(dir.Path() / "objects.csv")),
              (Records{{"Object"}, {"'=HYPERLINK(X)"}, {"'@SUM(A1)"}, {"DB1.TS1"}}));
}

} // namespace
