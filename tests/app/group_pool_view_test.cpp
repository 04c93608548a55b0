#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/analysis_window.h"
#include "app/group_pool_view.h"
#include "display_fixture.h"
#include "scripted_services.h"
#include "stat_fixture.h"

namespace {

ornexa::Report GroupPoolReport() {
    ornexa::samplegen::DisplaySampleOptions options;
    options.groupPools = true;
    ornexa::Report report = ornexa::test::DisplayReport(options);
    // One pool with a finding of each kind, one without any, one whose ratio Db2 did not show.
    auto& groups = report.Db2Display->groupPools;
    groups.resize(3);
    const auto set = [](ornexa::Db2GroupPoolFacts& g, std::int64_t reclaims, std::int64_t failed) {
        g.figures.Set(ornexa::GroupPoolFigure::StructureSize, 40960);
        g.figures.Set(ornexa::GroupPoolFigure::DirectoryEntries, 1000);
        g.figures.Set(ornexa::GroupPoolFigure::DataEntries, 1000);
        g.figures.Set(ornexa::GroupPoolFigure::RatioTenths, 50);
        g.figures.Set(ornexa::GroupPoolFigure::DirectoryReclaims, reclaims);
        g.figures.Set(ornexa::GroupPoolFigure::WritesFailedNoStorage, failed);
    };
    groups[0].name = "GBP0";
    set(groups[0], 100, 8);
    groups[1].name = "GBP1";
    set(groups[1], 0, 0);
    groups[1].figures.Set(ornexa::GroupPoolFigure::StructureSize, 9000000);
    groups[2].name = "GBP2";
    set(groups[2], 0, 0);
    groups[2].figures.values[static_cast<std::size_t>(ornexa::GroupPoolFigure::RatioTenths)].reset();
    return report;
}

int Column(ornexa::GroupPoolFigure figure) {
    return static_cast<int>(figure) + 1;
}

// The figures read in the user's locale: German here, whatever locale an earlier test left behind.
struct GermanFigures {
    GermanFigures() { QLocale::setDefault(QLocale(QStringLiteral("de_DE"))); }
    ~GermanFigures() { QLocale::setDefault(QLocale::c()); }
    GermanFigures(const GermanFigures&) = delete;
    GermanFigures& operator=(const GermanFigures&) = delete;
    GermanFigures(GermanFigures&&) = delete;
    GermanFigures& operator=(GermanFigures&&) = delete;
};

TEST(GroupPoolView, ListsTheFiguresSortsThemByNumberAndCopiesTheCommands) {
    const GermanFigures german;
    const ornexa::Report report = GroupPoolReport();
    GroupPoolView view(report);
    QTableView& list = *view.List();
    const QAbstractItemModelTester tester(list.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    const QAbstractItemModel& model = *list.model();
    ASSERT_EQ(model.rowCount(), 3);
    ASSERT_EQ(model.columnCount(), 1 + static_cast<int>(ornexa::GroupPoolFigureCount));
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("GBP0"));
    const int size = Column(ornexa::GroupPoolFigure::StructureSize);
    const int ratio = Column(ornexa::GroupPoolFigure::RatioTenths);
    EXPECT_EQ(model.index(1, size).data().toString(), QStringLiteral("9.000.000"));
    EXPECT_EQ(model.index(0, ratio).data().toString(), QStringLiteral("5,0"));
    EXPECT_EQ(model.index(2, ratio).data().toString(), QStringLiteral("not in this input"));

    // By number, not by text: 40,960 comes before 9,000,000 going up, and the other way down.
    list.sortByColumn(size, Qt::DescendingOrder);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("GBP1"));
    list.sortByColumn(size, Qt::AscendingOrder);
    EXPECT_EQ(model.index(2, 0).data().toString(), QStringLiteral("GBP1"));

    const QListWidget& findings = *view.Findings();
    QStringList lines;
    for (int i = 0; i < findings.count(); ++i) {
        lines << findings.item(i)->text();
    }
    const QString all = lines.join('\n');
    EXPECT_TRUE(all.contains(QStringLiteral("GBP0: Directory entry reclaims")));
    EXPECT_TRUE(all.contains(QStringLiteral("-ALTER GROUPBUFFERPOOL(GBP0) RATIO(5.5)")));
    EXPECT_TRUE(all.contains(QStringLiteral("SETXCF START,ALTER,STRNAME=groupname_GBP0,SIZE=45056K")));
    EXPECT_FALSE(all.contains(QStringLiteral("GBP1:")));

    auto* copy = view.findChild<QPushButton*>(QStringLiteral("cmdCopyGroupPoolCommands"));
    ASSERT_NE(copy, nullptr);
    QTest::mouseClick(copy, Qt::LeftButton);
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(QStringLiteral("\n-- Group buffer pools\n-- GBP0\n")));

    // Ctrl+C in the list copies the chosen row, cells parted by tabs.
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    list.setFocus();
    list.selectRow(0);
    QTest::keyClick(&list, Qt::Key_C, Qt::ControlModifier);
    const QString row = QApplication::clipboard()->text();
    EXPECT_TRUE(row.startsWith(model.index(0, 0).data().toString() + '\t')) << row.toStdString();
    EXPECT_EQ(row.count('\t'), model.columnCount() - 1);
    view.Findings()->setFocus();
    view.Findings()->item(0)->setSelected(true);
    QTest::keyClick(view.Findings(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), view.Findings()->item(0)->text() + '\n');
}

TEST(GroupPoolView, TheTabIsShownOnlyForAReportWithGroupPoolsAndReachedByKeyboard) {
    const ornexa::test::TempDir dir;
    ScriptedServices ui;
    const ornexa::SimulationData sim;
    const ornexa::Report withGroups = GroupPoolReport();
    AnalysisWindow window(withGroups, sim, ui, dir.Path());
    QTabWidget& tabs = *window.Tabs();
    const int tab = tabs.indexOf(window.GroupPools());
    ASSERT_GE(tab, ornexa::AnalysisTabCount);
    EXPECT_EQ(tabs.tabText(tab), QStringLiteral("Group Buffer Pools"));
    EXPECT_TRUE(tabs.isTabVisible(tab));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, static_cast<Qt::Key>(Qt::Key_1 + tab), Qt::AltModifier);
    EXPECT_EQ(tabs.currentIndex(), tab);
    window.NextPool(); // a repaint keeps the tab the user chose
    EXPECT_EQ(tabs.currentIndex(), tab);
    window.SelectTab(ornexa::ReportInfoTab);
    EXPECT_EQ(tabs.currentIndex(), ornexa::ReportInfoTab);
    window.Back();

    ornexa::Report monitor;
    ornexa::test::AddPool(monitor, ornexa::test::TestPool("BP1"));
    monitor.Header.ReportPoolCount = 1;
    monitor.StatFileLoaded = true;
    AnalysisWindow plain(monitor, sim, ui, dir.Path());
    EXPECT_FALSE(plain.Tabs()->isTabVisible(plain.Tabs()->indexOf(plain.GroupPools())));
}

} // namespace
