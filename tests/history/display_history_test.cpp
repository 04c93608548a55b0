// The history keeps every interval of Db2's display output as a report of its own, with what makes it a
// display: the figures it does not give come back as not given, never as zeros.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "display_fixture.h"
#include "display_writer.h"
#include "history/history_import.h"
#include "history/history_schema.h"
#include "history/history_store.h"
#include "history/sql_database.h"
#include "history/stored_db2_facts.h"
#include "history/trend_charts.h"
#include "history_backends.h"
#include "record_compare.h"
#include "report/record_catalogue.h"
#include "report/shown_text.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::TestBackend;

samplegen::DisplaySampleOptions SeriesOptions() {
    samplegen::DisplaySampleOptions options;
    options.series = 4;
    options.simulate = true;
    options.groupPools = true;
    return options;
}

StatReadResult LoadedRead() {
    StatReadResult read;
    read.outcome = StatReadOutcome::Loaded;
    return read;
}

std::size_t PoolField(std::string_view name) {
    return FieldIndex<PoolRecord>(PoolCatalogue(), name);
}

class DisplayHistoryTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        location = test::FreshLocation(GetParam(), dir.Path());
        store = Open();
    }

    std::shared_ptr<HistoryStore> Open() {
        auto opened = HistoryStore::Open(location);
        EXPECT_TRUE(opened.Ok()) << opened.FaultText();
        return opened.Ok() ? *opened.value : nullptr;
    }

    // Each report as an import of the display file would store it.
    std::vector<ImportOutcome> Store(const std::vector<Report>& reports, const std::string& file = "series.txt") {
        const StatReadResult read = LoadedRead();
        const SimulationData none;
        std::vector<ImportOutcome> outcomes;
        outcomes.reserve(reports.size());
        for (const Report& report : reports) {
            outcomes.push_back(store->Import({report, read, none, "the file's bytes", file}));
        }
        return outcomes;
    }

    std::int64_t Count(const std::string& table) {
        return std::get<std::int64_t>(store->Database().Query("SELECT COUNT(*) FROM " + table).at(0).at(0));
    }

    test::TempDir dir;
    std::string location;
    std::shared_ptr<HistoryStore> store;
};

TEST_P(DisplayHistoryTest, EveryIntervalComesBackWithItsRecordsAndFacts) {
    const std::vector<Report> reports = test::DisplayReports(SeriesOptions());
    ASSERT_EQ(reports.size(), 4U);
    const std::vector<ImportOutcome> outcomes = Store(reports);

    const auto listed = store->Reports();
    ASSERT_TRUE(listed.Ok()) << listed.FaultText();
    ASSERT_EQ(listed.value->size(), 4U);
    for (std::size_t i = 0; i < reports.size(); ++i) {
        SCOPED_TRACE("interval " + std::to_string(i + 1));
        ASSERT_EQ(outcomes[i].status, ImportStatus::Imported) << outcomes[i].message;
        EXPECT_TRUE(listed.value->at(i).db2Display);
        EXPECT_EQ(listed.value->at(i).id, outcomes[i].reportId) << "listed by collection time, as read";

        const auto loaded = store->Load(outcomes[i].reportId);
        ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
        const Report& back = loaded.value->report;
        ASSERT_TRUE(back.Db2Display.has_value());
        EXPECT_TRUE(*back.Db2Display == *reports[i].Db2Display);
        EXPECT_FALSE(back.Db2Display->groupPools.empty());
        test::ExpectSameFields(HeaderFields(back.Header), HeaderFields(reports[i].Header));
        EXPECT_EQ(back.ElapsedSeconds, reports[i].ElapsedSeconds);
        ASSERT_EQ(back.PoolCount(), reports[i].PoolCount());
        ASSERT_EQ(back.ObjectCount(), reports[i].ObjectCount());
        for (int p = 1; p <= back.PoolCount(); ++p) {
            test::ExpectSameFields(PoolFields(back.Pools(p)), PoolFields(reports[i].Pools(p)));
        }
        for (int o = 1; o <= back.ObjectCount(); ++o) {
            test::ExpectSameFields(ObjectFields(back.Objects(o)), ObjectFields(reports[i].Objects(o)));
        }
    }
}

TEST_P(DisplayHistoryTest, AnIntervalHeldIsKnownAgainByItsFiguresWhicheverFileItCameIn) {
    const std::vector<Report> reports = test::DisplayReports(SeriesOptions());
    Store(reports);
    // The same intervals again, from another file and other bytes: nothing new.
    for (const ImportOutcome& again : Store(reports, "copy.txt")) {
        EXPECT_EQ(again.status, ImportStatus::AlreadyPresent) << again.message;
    }
    EXPECT_EQ(Count("reports"), 4);

    // An interval whose figures differ is a report of its own, held beside the one of the same time.
    Report other = reports.back();
    other.Pools(1).PoolGetPages += 1;
    const ImportOutcome changed = Store({other}).front();
    EXPECT_EQ(changed.status, ImportStatus::Imported) << changed.message;
    EXPECT_TRUE(changed.sameTimeAs.has_value());

    // And a monitor's report stays known by its bytes, as before.
    const std::filesystem::path monitor =
        dir.Write("day1.sta", samplegen::StatisticsText(samplegen::BuildSampleReport()));
    EXPECT_EQ(ImportReportFile(*store, monitor.string()).status, ImportStatus::Imported);
    EXPECT_EQ(ImportReportFile(*store, monitor.string()).status, ImportStatus::AlreadyPresent);
    const auto listed = store->Reports();
    ASSERT_TRUE(listed.Ok()) << listed.FaultText();
    EXPECT_EQ(std::count_if(listed.value->begin(), listed.value->end(),
                            [](const HistoryReportInfo& info) { return !info.db2Display; }),
              1);
}

TEST_P(DisplayHistoryTest, ATrendHasAPointPerIntervalAndNoneWhereTheDisplayGaveNoFigure) {
    std::vector<Report> reports = test::DisplayReports(SeriesOptions());
    // The second interval's BP1 ended inside its section: the display gave no getpages for it.
    Report& cut = reports[1];
    const std::string pool = ShownText(cut.Pools(2).PoolName);
    cut.Db2Display->pools[1].complete = false;
    cut.Db2Display->pools[1].given.reset(PoolField("PoolGetPages"));
    Store(reports);

    const auto trend = store->PoolTrend(pool);
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    ASSERT_EQ(trend.value->size(), 4U);
    for (std::size_t i = 0; i < trend.value->size(); ++i) {
        SCOPED_TRACE("interval " + std::to_string(i + 1));
        const PoolTrendPoint& point = trend.value->at(i);
        EXPECT_TRUE(point.fieldsGiven.has_value());
        EXPECT_EQ(point.getPagesPerSecond.has_value(), i != 1);
        EXPECT_TRUE(point.hitRatio.has_value());
        EXPECT_TRUE(point.syncReadIOsPerSecond.has_value());
    }
    const auto charts = PoolTrendCharts(pool, *trend.value);
    EXPECT_EQ(charts[GetPagesTrend].xValues.size(), 3U) << "the interval without getpages is no point, not a zero";
    EXPECT_EQ(charts[HitRatioTrend].xValues.size(), 4U);

    // A data set's trend: Db2's display gives no per-object getpages or hit ratio.
    const std::string object = ShownText(reports[0].Objects(1).ObjName);
    const auto objects = store->ObjectTrend(object);
    ASSERT_TRUE(objects.Ok()) << objects.FaultText();
    ASSERT_EQ(objects.value->size(), 4U);
    for (const ObjectTrendPoint& point : *objects.value) {
        EXPECT_FALSE(point.getPagesPerSecond.has_value());
        EXPECT_FALSE(point.sysHitRatio.has_value());
    }
}

// A history of the first schema: the same tables without the columns of the display's facts.
void MakeFirstSchema(SqlDatabase& db) {
    db.ExecuteScript("ALTER TABLE reports DROP COLUMN input_kind;\n"
                     "ALTER TABLE reports DROP COLUMN db2_facts;\n"
                     "ALTER TABLE pools DROP COLUMN fields_given;\n");
    db.SetSchemaVersion(1);
}

TEST_P(DisplayHistoryTest, AHistoryOfTheFirstSchemaOpensWithItsReportsAndTakesDisplays) {
    const Report monitor = samplegen::BuildSampleReport();
    const std::filesystem::path file = dir.Write("day1.sta", samplegen::StatisticsText(monitor));
    const ImportOutcome kept = ImportReportFile(*store, file.string());
    ASSERT_EQ(kept.status, ImportStatus::Imported) << kept.message;
    MakeFirstSchema(store->Database());
    store.reset();

    store = Open();
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Database().SchemaVersion(), HistorySchemaVersion);
    const auto loaded = store->Load(kept.reportId);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
    EXPECT_FALSE(loaded.value->info.db2Display);
    EXPECT_FALSE(loaded.value->report.Db2Display.has_value());
    test::ExpectSameFields(PoolFields(loaded.value->report.Pools(1)), PoolFields(monitor.Pools(1)));
    const auto trend = store->PoolTrend(ShownText(monitor.Pools(1).PoolName));
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    ASSERT_EQ(trend.value->size(), 1U);
    EXPECT_FALSE(trend.value->front().fieldsGiven.has_value());
    EXPECT_TRUE(trend.value->front().getPagesPerSecond.has_value());

    EXPECT_EQ(ImportReportFile(*store, file.string()).status, ImportStatus::AlreadyPresent);
    for (const ImportOutcome& outcome : Store(test::DisplayReports(SeriesOptions()))) {
        EXPECT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
    }
}

TEST_P(DisplayHistoryTest, TamperedFactsAreAFaultNamingTheReport) {
    const ImportOutcome kept = Store({test::DisplayReport(SeriesOptions())}).front();
    ASSERT_EQ(kept.status, ImportStatus::Imported) << kept.message;
    struct Case {
        const char* what;
        std::string sql;
        std::string said;
    };
    const std::vector<Case> cases{
        {"facts gone", "UPDATE reports SET db2_facts = NULL", "column db2_facts is empty"},
        {"not facts", "UPDATE reports SET db2_facts = 'lots'", "are not facts this program wrote"},
        {"a kind unknown", "UPDATE reports SET input_kind = 'tape'", "column input_kind holds \"tape\""},
        {"facts of a monitor's report", "UPDATE reports SET input_kind = 'statistics'",
         "but the report is a monitor's"},
        {"a pool's given fields", "UPDATE pools SET fields_given = '12'", "column fields_given holds no set"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        store->Database().Begin();
        store->Database().Query(c.sql);
        const auto loaded = store->Load(kept.reportId);
        const auto trend = store->PoolTrend("BP0");
        store->Database().Rollback();
        const std::string fault = loaded.Ok() ? trend.FaultText() : loaded.FaultText();
        EXPECT_FALSE(loaded.Ok() && trend.Ok()) << "read back as if nothing were wrong";
        EXPECT_NE(fault.find(c.said), std::string::npos) << fault;
    }
    EXPECT_TRUE(store->Load(kept.reportId).Ok()) << "each case was rolled back";
}

TEST(StoredDb2Facts, FactsReadBackEqualAndATextOfOtherCountsIsRefused) {
    for (const Report& report : test::DisplayReports(SeriesOptions())) {
        const Db2Facts& facts = *report.Db2Display;
        const std::string text = StoredDb2Facts(facts);
        EXPECT_TRUE(Db2FactsFromStored(text, facts.pools.size(), facts.objects.size()) == facts);
        EXPECT_THROW((void)Db2FactsFromStored(text, facts.pools.size() + 1, facts.objects.size()), SqlError);
    }
    Db2Facts odd;
    odd.from = "2026-12-08 08:00:00";
    odd.groupPools.push_back({"GBP\t%0\n", {}});
    EXPECT_TRUE(Db2FactsFromStored(StoredDb2Facts(odd), 0, 0) == odd) << "texts keep their tabs and line ends";
}

// A file of displays as ornexa-report and the History window import it.
TEST_P(DisplayHistoryTest, AFileOfDisplaysImportsEachIntervalOnce) {
    const std::filesystem::path file = dir.Write("series.txt", samplegen::WriteDisplaySample(SeriesOptions()));
    const ImportSummary first = RunImport(*store, PlanImport({file}));
    EXPECT_EQ(first.imported, 4);
    EXPECT_EQ(first.Refused(), 0) << ImportSummaryText(first);
    EXPECT_EQ(ImportSummaryText(first),
              "4 imported, 0 already present, 0 refused\ndisplay: " + file.string() + ": 4 intervals\n");
    const ImportSummary second = RunImport(*store, PlanImport({file}));
    EXPECT_EQ(second.imported, 0);
    EXPECT_EQ(second.alreadyPresent, 4);

    const auto trend = store->PoolTrend("BP1");
    ASSERT_TRUE(trend.Ok()) << trend.FaultText();
    EXPECT_EQ(trend.value->size(), 4U);
}

TEST_P(DisplayHistoryTest, ADisplayCutInsideAPoolIsImportedWithItsWarningAndAFaultIsRefused) {
    const std::string text = samplegen::WriteDisplaySample(SeriesOptions());
    // Cut in the middle of the last display's last pool.
    const std::size_t lastPool = text.rfind("DSNB401I");
    const std::size_t cutAt = text.find('\n', text.find("DSNB402I", lastPool)) + 1;
    const std::filesystem::path cut = dir.Write("cut.txt", text.substr(0, cutAt));
    const ImportSummary summary = RunImport(*store, PlanImport({cut}));
    EXPECT_EQ(summary.Refused(), 0) << ImportSummaryText(summary);
    EXPECT_EQ(summary.imported, 4);
    ASSERT_EQ(summary.displays.size(), 1U);
    EXPECT_FALSE(summary.displays.front().warnings.empty());
    EXPECT_NE(ImportSummaryText(summary).find("warning: " + cut.string() + ": "), std::string::npos)
        << ImportSummaryText(summary);
    // The pool cut after its size has no getpages in its last interval: no point there, not a zero.
    const auto names = store->PoolNames();
    ASSERT_TRUE(names.Ok()) << names.FaultText();
    int cutPools = 0;
    for (const std::string& name : *names.value) {
        const auto trend = store->PoolTrend(name);
        ASSERT_TRUE(trend.Ok()) << trend.FaultText();
        const PoolTrendPoint& last = trend.value->back();
        cutPools += !last.getPagesPerSecond && last.VPSize() ? 1 : 0;
    }
    EXPECT_EQ(cutPools, 1);

    // A number Db2 never writes stops the read: nothing of the file is kept.
    std::string broken = samplegen::WriteDisplaySample(SeriesOptions());
    const std::size_t size = broken.find("DSNB402I");
    ASSERT_NE(size, std::string::npos);
    broken.insert(broken.find_first_of("0123456789", broken.find("SIZE = ", size)), "X");
    const std::filesystem::path faulty = dir.Write("faulty.txt", broken);
    const ImportSummary refused = RunImport(*store, PlanImport({faulty}));
    EXPECT_EQ(refused.Refused(), 1) << ImportSummaryText(refused);
    EXPECT_EQ(refused.imported, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, DisplayHistoryTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

} // namespace
} // namespace ornexa
