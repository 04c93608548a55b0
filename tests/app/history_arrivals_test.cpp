// The History window shows the reports another program stores or removes while it is open, keeping the
// report chosen.
#include <gtest/gtest.h>

#include <QSettings>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QTest>

#include "app/history_models.h"
#include "app/history_service.h"
#include "app/history_window.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

const std::string Samples = ORNEXA_SAMPLES_DIR;

class HistoryArrivalsTest : public ::testing::Test {
protected:
    HistoryArrivalsTest() {
        QSettings().clear();
        history.SetLocation(location);
        auto store = history.Open();
        EXPECT_TRUE(store.Ok()) << store.FaultText();
        first = ornexa::ImportReportFile(**store.value, Samples + "/statistics-usa.sta").reportId;
    }

    // Another program's store of the same history: a connection of its own.
    std::shared_ptr<ornexa::HistoryStore> Other() {
        auto store = ornexa::HistoryStore::Open(location);
        EXPECT_TRUE(store.Ok()) << store.FaultText();
        return store.Ok() ? *store.value : nullptr;
    }

    static std::optional<std::int64_t> Chosen(HistoryWindow& window) {
        QTableView* list = window.ReportList();
        auto* proxy = static_cast<QSortFilterProxyModel*>(list->model());
        auto* source = static_cast<HistoryTableModel*>(proxy->sourceModel());
        const QModelIndex current = list->currentIndex();
        if (!current.isValid()) {
            return std::nullopt;
        }
        return source->IdAt(proxy->mapToSource(current).row());
    }

    ornexa::test::TempDir dir;
    std::string location = (dir.Path() / "history.db").string();
    ScriptedServices ui;
    HistoryService history;
    std::int64_t first = 0;
};

TEST_F(HistoryArrivalsTest, ReportsImportedAndRemovedElsewhereShowWithTheChosenReportKept) {
    HistoryWindow window(history, ui, "BP1");
    window.show();
    QTableView* list = window.ReportList();
    ASSERT_EQ(list->model()->rowCount(), 1);
    list->setCurrentIndex(list->model()->index(0, 0));
    ASSERT_EQ(Chosen(window), first);

    const auto other = Other();
    ASSERT_NE(other, nullptr);
    const std::vector<std::int64_t> arrived = [&] {
        std::vector<std::int64_t> ids;
        for (const std::uint64_t seed : {3U, 4U}) {
            const auto path = dir.Write("seed" + std::to_string(seed) + ".sta",
                                        ornexa::samplegen::StatisticsText(ornexa::samplegen::BuildSampleReport(seed)));
            const auto outcome = ornexa::ImportReportFile(*other, path.string());
            EXPECT_EQ(outcome.status, ornexa::ImportStatus::Imported) << outcome.message;
            ids.push_back(outcome.reportId);
        }
        return ids;
    }();
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 3, 30000);
    EXPECT_EQ(Chosen(window), first);

    ASSERT_TRUE(other->Remove(arrived.front()).Ok());
    QTRY_COMPARE_WITH_TIMEOUT(list->model()->rowCount(), 2, 30000);
    EXPECT_EQ(Chosen(window), first);
    ASSERT_NE(window.Page(), nullptr);
    EXPECT_EQ(window.Page()->Find(arrived.front()), nullptr);
    EXPECT_NE(window.Page()->Find(arrived.back()), nullptr);
}

TEST_F(HistoryArrivalsTest, ASimulationAddedElsewhereShowsInTheReportsFlags) {
    HistoryWindow window(history, ui, "BP1");
    window.show();
    ASSERT_NE(window.Page(), nullptr);
    ASSERT_FALSE(window.Page()->Find(first)->hasSimulation);
    const auto other = Other();
    ASSERT_NE(other, nullptr);
    const auto outcome =
        ornexa::ImportReportFile(*other, Samples + "/statistics-usa.sta", Samples + "/simulation-bp1.sim");
    ASSERT_EQ(outcome.status, ornexa::ImportStatus::SimulationAdded) << outcome.message;
    QTRY_VERIFY_WITH_TIMEOUT(window.Page()->Find(first)->hasSimulation, 30000);
}

} // namespace
