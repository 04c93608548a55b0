// The History window shows what the size curve of the report before a VPSIZE change expected beside
// what was measured, with what the expectation rests on, so that it never reads as a measurement.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTest>

#include "app/history_service.h"
#include "app/history_window.h"
#include "scripted_services.h"
#include "sizing_series.h"
#include "stat_fixture.h"

namespace {

TEST(SizingCheckView, TheTrendShowsTheExpectedAndMeasuredReadsWithTheirEvidence) {
    QSettings().clear();
    const ornexa::test::TempDir dir;
    const ornexa::test::SizingSeries series = ornexa::test::WriteSizingSeries(dir.Path() / "reports");
    HistoryService history;
    history.SetLocation((dir.Path() / "history.db").string());
    std::vector<std::int64_t> ids;
    {
        auto store = history.Open();
        ASSERT_TRUE(store.Ok()) << store.FaultText();
        for (const auto& file : series.files) {
            const auto outcome = ornexa::ImportReportFile(**store.value, file.string(), {});
            ASSERT_EQ(outcome.status, ornexa::ImportStatus::Imported) << outcome.message;
            ids.push_back(outcome.reportId);
        }
    }
    ScriptedServices ui;
    HistoryWindow window(history, ui, "BP1");
    window.Tabs()->setCurrentIndex(HistoryWindow::TrendTab);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QAbstractItemModel* model = window.TrendSettingChanges()->model();
    const int evidence = model->columnCount() - 1;
    ASSERT_EQ(evidence, 8);
    EXPECT_EQ(model->headerData(evidence, Qt::Horizontal).toString(), QStringLiteral("Evidence"));
    // Three changes with their figures; the first two with the expected reads, the change to 40000
    // beyond the curve without.
    ASSERT_EQ(model->rowCount(), 3 * static_cast<int>(ornexa::CheckedFigureCount) + 2);
    const QString figure =
        QStringLiteral("Sync Read I/O / sec: expected (size curve of report %1) and measured").arg(ids[3]);
    int row = 0;
    while (row < model->rowCount() && model->index(row, 3).data().toString() != figure) {
        ++row;
    }
    ASSERT_LT(row, model->rowCount()) << figure.toStdString();
    EXPECT_EQ(model->index(row, 4).data().toString(), QStringLiteral("60"));
    EXPECT_EQ(model->index(row, 5).data().toString(), QStringLiteral("58"));
    EXPECT_EQ(model->index(row, 7).data().toString(), QStringLiteral("Prediction met"));
    EXPECT_EQ(model->index(row, evidence).data().toString(),
              QStringLiteral("Medium confidence: 1 measured, 1 history"));
    EXPECT_TRUE(model->index(row, 4).data(Qt::ToolTipRole).toString().contains(QStringLiteral("not measured")));
    EXPECT_TRUE(model->index(0, evidence).data().toString().isEmpty()) << "a measured figure needs no evidence";
    int estimated = 0;
    for (int r = 0; r < model->rowCount(); ++r) {
        estimated += model->index(r, evidence).data().toString().startsWith(QStringLiteral("Low confidence")) ? 1 : 0;
    }
    EXPECT_EQ(estimated, 1) << "the change to 20000 rests on the estimate";
}

} // namespace
