#include <gtest/gtest.h>

#include <set>

#include "history/history_store.h"
#include "history_backends.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

using test::TestBackend;

class PoolTrendNameTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path()));
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store = *opened.value;
    }

    // A generated report of `date`; its second pool named `poolName`.
    void Import(const std::string& file, std::string_view date, std::string_view poolName) {
        Report report = samplegen::BuildSampleReport(samplegen::SampleSeed);
        report.Header.CollectionDate = date;
        report.Pools(2).PoolName = poolName;
        const auto path = dir.Write(file, samplegen::StatisticsText(report));
        ASSERT_EQ(ImportReportFile(*store, path.string()).status, ImportStatus::Imported) << file;
    }

    std::set<std::string> TrendFiles(std::string_view asked) {
        const auto trend = store->PoolTrend(asked);
        EXPECT_TRUE(trend.Ok()) << trend.FaultText();
        std::set<std::string> files;
        for (const PoolTrendPoint& point : trend.value.value_or(std::vector<PoolTrendPoint>{})) {
            files.insert(std::filesystem::path(point.report.fileName).filename().string());
        }
        return files;
    }

    test::TempDir dir;
    std::shared_ptr<HistoryStore> store;
};

TEST_P(PoolTrendNameTest, APoolIsNamedInAnyCaseAsTheOtherCommandsNameIt) {
    Import("upper.sta", "2026-11-30", "BPX1");
    Import("lower.sta", "2026-12-01", "bpx1"); // the same pool, written otherwise by another monitor
    Import("other.sta", "2026-12-02", "BPX10");
    const std::set<std::string> both{"upper.sta", "lower.sta"};
    for (const char* asked : {"BPX1", "bpx1", "Bpx1", " bpx1 "}) {
        SCOPED_TRACE(asked);
        EXPECT_EQ(TrendFiles(asked), both);
    }
    // A part of a name, or a name with a pattern's wildcard, names no pool.
    for (const char* asked : {"BPX", "bpx_", "BPX%", "BPX1 0"}) {
        SCOPED_TRACE(asked);
        EXPECT_TRUE(TrendFiles(asked).empty());
    }
    EXPECT_EQ(TrendFiles("bpx10"), std::set<std::string>{"other.sta"});
    // The filter still applies to the names matched.
    const auto filtered = store->PoolTrend("bpx1", {"NOSYSTEM", ""});
    ASSERT_TRUE(filtered.Ok()) << filtered.FaultText();
    EXPECT_TRUE(filtered.value->empty());
}

INSTANTIATE_TEST_SUITE_P(Backends, PoolTrendNameTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

} // namespace
} // namespace ornexa
