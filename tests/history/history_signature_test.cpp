#include "history/history_signature.h"

#include <gtest/gtest.h>

#include "history_backends.h"
#include "sample_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

class HistorySignatureTest : public testing::TestWithParam<test::TestBackend> {};

// Every change another program makes to the reports held changes the signature, and it agrees with the
// list of the reports that a window shows.
TEST_P(HistorySignatureTest, FollowsEveryStoreRemovalAndSimulationAdded) {
    const test::TempDir dir;
    auto opened = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path()));
    ASSERT_TRUE(opened.Ok()) << opened.FaultText();
    HistoryStore& store = **opened.value;
    const auto signature = [&store] {
        auto read = ReadSignature(store);
        EXPECT_TRUE(read.Ok()) << read.FaultText();
        EXPECT_EQ(read.value, SignatureOf(*store.Reports().value));
        return read.value.value_or(HistorySignature{});
    };
    EXPECT_EQ(signature(), HistorySignature{});

    const std::string samples = ORNEXA_SAMPLES_DIR;
    const auto first = ImportReportFile(store, samples + "/statistics-usa.sta");
    ASSERT_EQ(first.status, ImportStatus::Imported) << first.message;
    EXPECT_EQ(signature(), (HistorySignature{1, first.reportId, 0}));

    const auto added = ImportReportFile(store, samples + "/statistics-usa.sta", samples + "/simulation-bp1.sim");
    ASSERT_EQ(added.status, ImportStatus::SimulationAdded) << added.message;
    EXPECT_EQ(signature(), (HistorySignature{1, first.reportId, 1}));

    Report other = samplegen::BuildSampleReport(7);
    const auto second = ImportReportFile(store, dir.Write("other.sta", samplegen::StatisticsText(other)).string());
    ASSERT_EQ(second.status, ImportStatus::Imported) << second.message;
    EXPECT_EQ(signature(), (HistorySignature{2, second.reportId, 1}));

    ASSERT_TRUE(store.Remove(first.reportId).Ok());
    EXPECT_EQ(signature(), (HistorySignature{1, second.reportId, 0}));
}

INSTANTIATE_TEST_SUITE_P(Backends, HistorySignatureTest, testing::ValuesIn(test::BackendsUnderTest()),
                         test::BackendName);

} // namespace
} // namespace ornexa
