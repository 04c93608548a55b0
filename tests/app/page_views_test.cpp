#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QFormLayout>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "app/object_info_view.h"
#include "app/pool_info_view.h"
#include "app/report_info_view.h"
#include "report/stat_reader.h"
#include "session/analysis_session.h"
#include "stat_fixture.h"
#include "stats/ui/chart_view.h"

namespace {

// The views on their own, each over the page it paints, without the window around them.
class PageViews : public ::testing::Test {
protected:
    PageViews() : session(report, sim, dir.Path()) {
        const std::filesystem::path samples = ORNEXA_SAMPLES_DIR;
        EXPECT_TRUE(ornexa::ReadStatisticsFile(report, samples / "statistics-usa.sta").Loaded());
        session.Load();
        (void)session.Activate();
        (void)session.SelectPoolFromList(1);
    }

    ornexa::test::TempDir dir;
    ornexa::Report report;
    ornexa::SimulationData sim;
    ornexa::AnalysisSession session;
};

TEST_F(PageViews, TheObjectListShowsARestoredOrderAndOnlyAsksForAnother) {
    session.RestoreObjectSort({0, true});
    ObjectInfoView view(session.ObjectInfo());
    const QAbstractItemModelTester tester(view.List()->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    view.Refresh();
    const QAbstractItemModel& model = *view.List()->model();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Object (D)"));
    const auto& list = session.ObjectInfo().List();
    ASSERT_EQ(model.rowCount(), static_cast<int>(list.size()));
    for (int row = 0; row < model.rowCount(); ++row) {
        EXPECT_EQ(model.index(row, 0).data().toString().toStdString(), list[static_cast<std::size_t>(row)].text);
    }

    // A click on the header is an intent: the page, and so the list, change only when the
    // session sorts.
    const QSignalSpy sort(&view, &ObjectInfoView::SortWanted);
    view.List()->horizontalHeader()->sectionClicked(0);
    ASSERT_EQ(sort.count(), 1);
    EXPECT_EQ(sort.at(0).at(0).toInt(), 0);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Object (D)"));
    session.SortObjectList(0);
    view.Refresh();
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("Object (A)"));
}

TEST_F(PageViews, ThePoolDetailsPanelHasARowForEachOfThePagesRows) {
    PoolInfoView view(session.PoolInfo());
    (void)session.SelectPoolGraphType(7); // a ranked chart
    session.ClickPoolChart(ornexa::ChartHit{0, session.PoolInfo().Graph().chart.PointCount() - 1});
    view.Refresh();
    const auto* form = qobject_cast<QFormLayout*>(view.Details()->layout());
    ASSERT_NE(form, nullptr);
    const std::vector<ornexa::DetailRow> rows = session.PoolInfo().DetailRows();
    std::vector<std::pair<std::string, std::string>> shown;
    for (int r = 0; r < form->rowCount(); ++r) {
        const QLayoutItem* caption = form->itemAt(r, QFormLayout::LabelRole);
        const QLayoutItem* value = form->itemAt(r, QFormLayout::FieldRole);
        if (caption != nullptr && value != nullptr) {
            shown.emplace_back(qobject_cast<QLabel*>(caption->widget())->text().toStdString(),
                               qobject_cast<QLabel*>(value->widget())->text().toStdString());
        }
    }
    ASSERT_EQ(shown.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(shown[i].first, rows[i].caption);
        EXPECT_EQ(shown[i].second, rows[i].value);
        EXPECT_FALSE(rows[i].value.empty()) << rows[i].caption;
    }
}

TEST_F(PageViews, TheViewsSendIntentsAndPaintOnlyWhatTheSessionDecided) {
    ReportInfoView reports(session.ReportInfo());
    reports.ListPools();
    reports.Refresh();
    const QSignalSpy chosen(&reports, &ReportInfoView::PoolChosen);
    reports.PoolList()->selectRow(2);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen.at(0).at(0).toInt(), 2);
    EXPECT_EQ(session.CurrentPool(), 2); // nothing chosen until the session is asked

    PoolInfoView pools(session.PoolInfo());
    const QSignalSpy next(&pools, &PoolInfoView::NextPoolWanted);
    const QSignalSpy bar(&pools, &PoolInfoView::BarActivated);
    QTest::mouseClick(pools.findChild<QPushButton*>(QStringLiteral("cmdNextPool")), Qt::LeftButton);
    EXPECT_EQ(next.count(), 1);
    (void)session.SelectPoolGraphType(7);
    pools.Refresh();
    pools.Chart()->setFocus();
    QTest::keyClick(pools.Chart(), Qt::Key_Up);
    QTest::keyClick(pools.Chart(), Qt::Key_Return);
    EXPECT_EQ(bar.count(), 1);
    EXPECT_FALSE(session.PoolInfo().DetailsVisible());
}

} // namespace
