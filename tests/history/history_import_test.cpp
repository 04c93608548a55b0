// Imports that meet what the history already holds, files that are not regular files, and texts a
// database would not take as they stand.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>
#include <thread>

#include "history/history_import.h"
#include "history/history_store.h"
#include "history_backends.h"
#include "record_compare.h"
#include "sample_report.h"
#include "session/history_page.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

namespace fs = std::filesystem;
using test::TestBackend;

class HistoryImportTest : public testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        auto opened = HistoryStore::Open(test::FreshLocation(GetParam(), dir.Path()));
        ASSERT_TRUE(opened.Ok()) << opened.FaultText();
        store = *opened.value;
    }

    // day1.sta with its Simulation report day1.sim (of the pool named `pool`) in `folder`.
    [[nodiscard]] fs::path WritePair(const fs::path& folder, std::string_view pool) const {
        const samplegen::SimSample sample = samplegen::BuildSimulation(samplegen::BuildSampleReport(), pool, 31);
        fs::create_directories(folder);
        samplegen::WriteTextFile(folder / "day1.sta", samplegen::StatisticsText(sample.report));
        samplegen::WriteTextFile(folder / "day1.sim",
                                 samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        return folder / "day1.sta";
    }

    [[nodiscard]] std::int64_t Count(const std::string& table) const {
        return std::get<std::int64_t>(store->Database().Query("SELECT COUNT(*) FROM " + table).at(0).at(0));
    }

    [[nodiscard]] std::vector<SimulatedSize> Sizes(std::int64_t id) const {
        auto loaded = store->Load(id);
        EXPECT_TRUE(loaded.Ok()) << loaded.FaultText();
        return loaded.Ok() ? loaded.value->simulatedSizes : std::vector<SimulatedSize>{};
    }

    test::TempDir dir;
    std::shared_ptr<HistoryStore> store;
};

bool SameSizes(const std::vector<SimulatedSize>& a, const std::vector<SimulatedSize>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const SimulatedSize& x, const SimulatedSize& y) {
        return x.pool == y.pool && x.size == y.size && x.buffers == y.buffers && x.sysHitRatio == y.sysHitRatio &&
               x.readIORate == y.readIORate;
    });
}

TEST_P(HistoryImportTest, ASimulationReportJoinsTheReportHeldWithoutOneOnce) {
    const fs::path folder = dir.Path() / "reports";
    const fs::path statistics = WritePair(folder, "BP1");
    const ImportOutcome alone = ImportReportFile(*store, statistics.string());
    ASSERT_EQ(alone.status, ImportStatus::Imported) << alone.message;
    ASSERT_FALSE(store->Info(alone.reportId).value->hasSimulation);

    // The folder brings the same report beside its Simulation report.
    const ImportSummary added = RunImport(*store, PlanImport({folder}));
    ASSERT_EQ(added.simulationsAdded.size(), 1U) << ImportSummaryText(added);
    EXPECT_EQ(added.simulationsAdded[0].reportId, alone.reportId);
    EXPECT_EQ(added.imported + added.alreadyPresent + added.Refused(), 0);
    const std::string id = std::to_string(alone.reportId);
    EXPECT_EQ(ImportSummaryText(added), "0 imported, 0 already present, 0 refused, 1 simulation added\n"
                                        "simulation added to report " +
                                            id + ": " + (folder / "day1.sim").string() + "\n");
    EXPECT_TRUE(store->Info(alone.reportId).value->hasSimulation);
    EXPECT_EQ(Count("reports"), 1);

    // The sizes are those an import of the pair into an empty history keeps.
    test::TempDir otherDir;
    auto fresh = HistoryStore::Open(test::FreshLocation(GetParam(), otherDir.Path()));
    ASSERT_TRUE(fresh.Ok()) << fresh.FaultText();
    const ImportOutcome pair = ImportReportFile(**fresh.value, statistics.string(), (folder / "day1.sim").string());
    ASSERT_EQ(pair.status, ImportStatus::Imported) << pair.message;
    const std::vector<SimulatedSize> kept = Sizes(alone.reportId);
    EXPECT_FALSE(kept.empty());
    EXPECT_TRUE(SameSizes(kept, (*fresh.value)->Load(pair.reportId).value->simulatedSizes));

    // Once: the same pair again is already present, with nothing added.
    const ImportSummary again = RunImport(*store, PlanImport({folder}));
    EXPECT_EQ(ImportSummaryText(again), "0 imported, 1 already present, 0 refused\n");
    EXPECT_EQ(Count("simulated_sizes"), static_cast<std::int64_t>(kept.size()));
    const ImportOutcome direct = ImportReportFile(*store, statistics.string(), (folder / "day1.sim").string());
    EXPECT_EQ(direct.status, ImportStatus::AlreadyPresent);
    EXPECT_FALSE(direct.otherSimulation);
}

TEST_P(HistoryImportTest, AReportHoldingAnotherSimulationKeepsItAndSaysSo) {
    const fs::path first = WritePair(dir.Path() / "first", "BP1");
    const ImportSummary imported = RunImport(*store, PlanImport({first.parent_path()}));
    ASSERT_EQ(imported.imported, 1) << ImportSummaryText(imported);
    const std::int64_t id = store->Reports().value->front().id;
    const std::vector<SimulatedSize> held = Sizes(id);

    const fs::path other = WritePair(dir.Path() / "other", "BP3"); // the same Statistics report, another simulation
    const ImportSummary summary = RunImport(*store, PlanImport({other.parent_path()}));
    EXPECT_EQ(ImportSummaryText(summary), "0 imported, 1 already present, 0 refused\nsimulation not stored: " +
                                              (other.parent_path() / "day1.sim").string() + ": report " +
                                              std::to_string(id) +
                                              " is already present and holds another simulation, which it keeps\n");
    EXPECT_TRUE(SameSizes(Sizes(id), held));

    const ImportOutcome outcome = ImportReportFile(*store, other.string(), (other.parent_path() / "day1.sim").string());
    EXPECT_EQ(outcome.status, ImportStatus::AlreadyPresent);
    EXPECT_TRUE(outcome.otherSimulation);
    EXPECT_EQ(HistoryImportText(outcome), "Already in the history as report " + std::to_string(id) +
                                              "; it holds another simulation, which it keeps.");
}

TEST(HistoryImportTexts, TheStatusBarTellsASimulationAdded) {
    EXPECT_EQ(HistoryImportText({ImportStatus::SimulationAdded, 7, "simulation added to report 7", std::nullopt}),
              "Simulation added to report 7 in the history.");
    EXPECT_EQ(HistoryImportText({ImportStatus::AlreadyPresent, 7, "already in the history", std::nullopt}),
              "Already in the history as report 7.");
}

// Writes `text` into the FIFO at `path` with one writer that opens it once, then closes it.
void WriteOnce(const fs::path& path, const std::string& text) {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr); // a reader gone says EPIPE rather than end the tests
    const int fd = ::open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote <= 0) {
            break;
        }
        done += static_cast<std::size_t>(wrote);
    }
    ::close(fd);
}

TEST_P(HistoryImportTest, AReportFromAPipeIsReadOnceAndItsHashIsThatOfTheFiguresStored) {
    const fs::path fifo = dir.Path() / "day1.sta";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    Report report = samplegen::BuildSampleReport();
    report.Header.CollectionDate = "2026-12-01";
    report.Header.CollectionTime = "10.15.00";
    const std::string text = samplegen::StatisticsText(report);

    std::thread writer(WriteOnce, fifo, text);
    const ImportOutcome outcome = ImportReportFile(*store, fifo.string());
    writer.join();

    ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;
    const auto row = store->Database().Query("SELECT content_hash, collected_at, object_count FROM reports");
    ASSERT_EQ(row.size(), 1U);
    EXPECT_EQ(std::get<std::string>(row[0].at(0)), ContentHash(text));
    EXPECT_EQ(std::get<std::string>(row[0].at(1)), "2026-12-01T10:15:00");
    EXPECT_EQ(std::get<std::int64_t>(row[0].at(2)), report.ObjectCount());
}

TEST_P(HistoryImportTest, ANulInANameIsKeptTheSameWayOnEveryDatabase) {
    Report report = samplegen::BuildSampleReport();
    report.Objects(2).ObjName.AssignRaw(std::string_view("TS\0ONE", 6));
    report.Header.SystemName.AssignRaw(std::string_view("SY\0A", 4));
    const fs::path path = dir.Write("nul.sta", samplegen::StatisticsText(report));
    Report read;
    ASSERT_TRUE(ReadStatisticsFile(read, path).Loaded());
    ASSERT_EQ(read.Objects(2).ObjName.Trimmed(), std::string_view("TS\0ONE", 6));

    const ImportOutcome outcome = ImportReportFile(*store, path.string());
    ASSERT_EQ(outcome.status, ImportStatus::Imported) << outcome.message;

    // Stored as the symbol for null, which PostgreSQL takes and SQLite keeps alike...
    const auto names = store->Database().Query("SELECT objname FROM objects WHERE object_number = 2");
    EXPECT_EQ(std::get<std::string>(names.at(0).at(0)), "TS\xE2\x90\x80ONE");
    EXPECT_EQ(store->Info(outcome.reportId).value->system, "SY\xE2\x90\x80"
                                                           "A");
    // ...and read back as the bytes of the report.
    auto loaded = store->Load(outcome.reportId);
    ASSERT_TRUE(loaded.Ok()) << loaded.FaultText();
    EXPECT_EQ(loaded.value->report.Objects(2).ObjName, read.Objects(2).ObjName);
    test::ExpectSameFields(HeaderFields(loaded.value->report.Header), HeaderFields(read.Header));
    for (int o = 1; o <= read.ObjectCount(); ++o) {
        SCOPED_TRACE("object " + std::to_string(o));
        test::ExpectSameFields(ObjectFields(loaded.value->report.Objects(o)), ObjectFields(read.Objects(o)));
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, HistoryImportTest, testing::ValuesIn(test::BackendsUnderTest()), test::BackendName);

} // namespace
} // namespace ornexa
