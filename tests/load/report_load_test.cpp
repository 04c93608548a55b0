#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "load/input_kinds.h"
#include "load/report_kind.h"
#include "load/report_load.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

const std::string Environment = "ENV DB2 BUFFER POOL STATISTICS   FLAT FILE     USA\r\n";

// Files of every kind, by content and not by name.
TEST(ReportKindOf, TellsAFileByItsContent) {
    const test::TempDir dir;
    const samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    const std::string statistics = samplegen::StatisticsText(sample.report);
    const std::string simulation = samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects);
    const std::filesystem::path fifo = dir.Path() / "pipe.sta";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* what;
        std::optional<std::string> text; // none: the path below as it is
        std::filesystem::path path;
        ReportKind expected;
    } cases[] = {
        {"a Statistics report", statistics, "a.sim", ReportKind::Statistics},
        {"a Simulation report", simulation, "a.sta", ReportKind::Simulation},
        {"a pool line before any header", Environment + "BPS x\r\n", "b.txt", ReportKind::Statistics},
        {"a preamble, then *BPP", Environment + "  BUFFER POOL SIMULATION\n\n*BPPSIMULATION\n", "c",
         ReportKind::Simulation},
        {"an environment line alone: its read says why", Environment, "d.sim", ReportKind::Statistics},
        {"no environment line", "HDR STATISTICS\r\n", "e.sta", ReportKind::NoReport},
        {"an empty file", "", "f.sta", ReportKind::NoReport},
        {"a line without end", std::string(std::size_t{2} * 1024 * 1024, 'x'), "g.sta", ReportKind::NoReport},
        {"a file that is gone", std::nullopt, dir.Path() / "gone.sta", ReportKind::Unreadable},
        {"a folder", std::nullopt, dir.Path(), ReportKind::Unreadable},
        {"a pipe, never opened", std::nullopt, fifo, ReportKind::Unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::filesystem::path path = c.text ? dir.Write(c.path.string(), *c.text) : c.path;
        EXPECT_EQ(ReportKindOf(path), c.expected);
        if (c.text) {
            EXPECT_EQ(ReportKindOfBytes(*c.text), c.expected); // bytes held already tell the same
        }
        // Whatever is no Simulation report goes to the Statistics read.
        EXPECT_EQ(ReaderKindOf(path),
                  c.expected == ReportKind::Simulation ? ReportKind::Simulation : ReportKind::Statistics);
    }
}

class ReportLoad : public ::testing::Test {
protected:
    ReportLoad() {
        statPath = dir.Write("report.sta", samplegen::StatisticsText(sample.report));
        simPath = dir.Write("report.sim", SimText());
    }
    [[nodiscard]] std::string SimText() const {
        return samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects);
    }
    void Rewrite(const std::string& name, const std::string& text) const {
        ASSERT_FALSE(dir.Write(name, text).empty());
    }
    [[nodiscard]] LoadRequest Request(SimulationFailure policy) const {
        LoadRequest request;
        request.statistics = statPath;
        request.simulation = simPath;
        request.onSimulationFailure = policy;
        return request;
    }

    samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    test::TempDir dir;
    std::filesystem::path statPath;
    std::filesystem::path simPath;
};

TEST_F(ReportLoad, BothReportsLoadWholeWithTheirKinds) {
    std::vector<int> progress;
    LoadRequest request = Request(SimulationFailure::FailsTheLoad);
    request.progress = [&progress](int percent) { progress.push_back(percent); };
    const LoadedReport loaded = LoadReport(request);
    EXPECT_EQ(loaded.outcome.status, LoadStatus::Whole);
    EXPECT_EQ(loaded.outcome.statisticsKind, ReportKind::Statistics);
    EXPECT_EQ(loaded.outcome.simulationKind, ReportKind::Simulation);
    EXPECT_TRUE(loaded.report.StatFileLoaded);
    EXPECT_TRUE(loaded.sim.SimFileLoaded);
    EXPECT_EQ(loaded.report.PoolCount(), sample.report.PoolCount());
    EXPECT_TRUE(loaded.outcome.Told().empty());
    // Both reads report their progress, each up to 100.
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 100), 2);
}

// Each caller's policy for a Simulation report that fails, and for one named beside a Statistics
// report that did not load.
TEST_F(ReportLoad, EachPolicyDecidesWhatAFailedSimulationReportLeaves) {
    const struct {
        const char* what;
        SimulationFailure policy;
        bool statisticsFail;
        LoadStatus expected;
        bool simulationRead;
    } cases[] = {
        {"window: the statistics stay", SimulationFailure::KeepsTheStatistics, false, LoadStatus::WithWarnings, true},
        {"reload: nothing loads", SimulationFailure::FailsTheLoad, false, LoadStatus::NotLoaded, true},
        {"ornexa-report: nothing loads", SimulationFailure::FailsTheLoadReadAnyway, false, LoadStatus::NotLoaded, true},
        {"window: no Simulation read without statistics", SimulationFailure::KeepsTheStatistics, true,
         LoadStatus::NotLoaded, false},
        {"reload: no Simulation read without statistics", SimulationFailure::FailsTheLoad, true, LoadStatus::NotLoaded,
         false},
        {"ornexa-report: the Simulation read says it needs statistics", SimulationFailure::FailsTheLoadReadAnyway, true,
         LoadStatus::NotLoaded, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Rewrite("report.sta", c.statisticsFail ? "no environment line\r\n" : samplegen::StatisticsText(sample.report));
        Rewrite("report.sim", Environment + "not a simulation\r\n");
        const LoadedReport loaded = LoadReport(Request(c.policy));
        EXPECT_EQ(loaded.outcome.status, c.expected);
        EXPECT_EQ(loaded.report.StatFileLoaded, !c.statisticsFail);
        EXPECT_FALSE(loaded.sim.SimFileLoaded);
        ASSERT_EQ(loaded.outcome.simRead.has_value(), c.simulationRead);
        EXPECT_EQ(loaded.outcome.simMessages.empty(), !c.simulationRead);
        if (c.simulationRead && c.statisticsFail) {
            EXPECT_EQ(loaded.outcome.simRead->outcome, SimReadOutcome::NoStatistics);
        }
    }
}

// The messages come in the order of the reads: the Statistics report's warning first, then one for
// each object line left out, each with its advice naming the files as the caller asks.
TEST_F(ReportLoad, MessagesComeInTheOrderOfTheReadsNamingTheFilesAsAsked) {
    Report named = sample.report;
    named.Header.ReportPoolCount = static_cast<Integer>(sample.report.PoolCount() + 1); // may be cut short
    Rewrite("report.sta", samplegen::StatisticsText(named));
    const ObjectRecord stranger = test::TestObject("BP1", "NO.SUCH");
    Rewrite("report.sim",
            SimText() + samplegen::SimObjectLine(stranger, ObjectSimulation{}, sample.sim.Sim.SimSizeCount, true) +
                "\r\n");
    LoadRequest request = Request(SimulationFailure::FailsTheLoad);
    request.adviceNames = ReadFiles{"STAT-NAME", "SIM-NAME"};
    const LoadedReport loaded = LoadReport(request);
    EXPECT_EQ(loaded.outcome.status, LoadStatus::WithWarnings);
    const Messages told = loaded.outcome.Told();
    ASSERT_EQ(told.size(), 2U);
    EXPECT_EQ(told[0], loaded.outcome.statMessages.at(0));
    EXPECT_TRUE(told[0].text.find("may have been cut short") != std::string::npos) << told[0].text;
    EXPECT_TRUE(told[0].hint.starts_with("STAT-NAME names")) << told[0].hint;
    EXPECT_EQ(told[1], loaded.outcome.simMessages.at(0));
    EXPECT_EQ(told[1].text, "Object Not Found In Buffer Pool");
    EXPECT_EQ(loaded.outcome.simRead->skippedLines, 1);
}

// Standard input is read as the file it is, never looked at first, and named so in the advice.
TEST_F(ReportLoad, StandardInputIsReadAndNamedAsSuch) {
    const std::filesystem::path bad = dir.Write("bad.sta", "no environment line\r\n");
    for (const auto& [file, loads] : {std::pair{statPath, true}, std::pair{bad, false}}) {
        const int saved = ::dup(0);
        const int input = ::open(file.c_str(), O_RDONLY);
        ASSERT_GE(input, 0);
        ::dup2(input, 0);
        ::close(input);
        LoadRequest request;
        request.statistics = StandardInput{};
        const LoadedReport loaded = LoadReport(request);
        ::dup2(saved, 0);
        ::close(saved);
        EXPECT_EQ(loaded.outcome.Loaded(), loads);
        EXPECT_EQ(loaded.outcome.statisticsKind, ReportKind::Unreadable); // not looked at
        if (!loads) {
            ASSERT_EQ(loaded.outcome.statMessages.size(), 1U);
            EXPECT_TRUE(loaded.outcome.statMessages[0].hint.starts_with("standard input"))
                << loaded.outcome.statMessages[0].hint;
        }
    }
}

// With its bytes kept, the Statistics report is read from exactly the bytes handed back; a file
// that cannot be read whole stops the load before any read.
TEST_F(ReportLoad, KeptBytesAreTheBytesRead) {
    LoadRequest request = Request(SimulationFailure::FailsTheLoad);
    request.keepBytes = true;
    const LoadedReport loaded = LoadReport(request);
    EXPECT_EQ(loaded.outcome.status, LoadStatus::Whole);
    EXPECT_EQ(loaded.outcome.bytes, samplegen::StatisticsText(sample.report));
    EXPECT_EQ(loaded.outcome.statisticsKind, ReportKind::Statistics);

    request.statistics = dir.Path();
    const LoadedReport folder = LoadReport(request);
    EXPECT_EQ(folder.outcome.status, LoadStatus::NotLoaded);
    EXPECT_EQ(folder.outcome.bytesFailure, "Cannot open file \"" + dir.Path().string() + "\": it is a folder");
    EXPECT_FALSE(folder.outcome.simRead.has_value());
}

// The Simulation report read beside the report a window holds already.
TEST_F(ReportLoad, ASimulationReportIsReadBesideTheReportHeld) {
    Report report;
    SimulationData sim;
    LoadRequest request = Request(SimulationFailure::KeepsTheStatistics);
    request.simulation.reset();
    ASSERT_EQ(LoadInto(report, sim, request).status, LoadStatus::Whole);
    request.statistics = StatisticsLoaded{};
    request.simulation = simPath;
    const int pools = report.PoolCount();
    const LoadOutcome outcome = LoadInto(report, sim, request);
    EXPECT_EQ(outcome.status, LoadStatus::Whole);
    EXPECT_TRUE(sim.SimFileLoaded);
    EXPECT_EQ(report.PoolCount(), pools); // the report is not read again
    EXPECT_TRUE(outcome.statMessages.empty());
}

// A kind registered beside the standard ones is told by its content and read by its own reader,
// through the same load every front end calls.
TEST(InputKinds, ARegisteredKindIsToldAndReadByItsOwnReader) {
    constexpr auto testKind = static_cast<ReportKind>(99);
    InputKinds kinds = InputKinds::Standard();
    std::vector<std::filesystem::path> read;
    InputKind test;
    test.kind = testKind;
    test.opens = [](std::string_view first) { return first.starts_with("-DISPLAY TEST"); };
    test.readReport = [&read](Report& report, const ReadSource& source, const ProgressFn& progress, FileKinds,
                              const ReportLimits&) {
        read.push_back(source.path);
        test::AddPool(report, test::TestPool("BPTEST"));
        report.StatFileLoaded = true;
        if (progress) {
            progress(100);
        }
        StatReadResult result;
        result.outcome = StatReadOutcome::Loaded;
        return result;
    };
    kinds.Register(test);

    const test::TempDir dir;
    const auto path = dir.Write("display.txt", "-DISPLAY TEST\nPOOL BPTEST\n");
    EXPECT_EQ(kinds.KindOf(path), testKind);
    EXPECT_EQ(InputKinds::Standard().KindOf(path), ReportKind::NoReport); // the standard kinds are untouched
    LoadRequest request;
    request.statistics = path;
    const LoadedReport loaded = LoadReport(request, kinds);
    EXPECT_EQ(read, std::vector<std::filesystem::path>{path});
    EXPECT_EQ(loaded.outcome.statisticsKind, testKind);
    EXPECT_EQ(loaded.outcome.status, LoadStatus::Whole);
    ASSERT_EQ(loaded.report.PoolCount(), 1);
    EXPECT_EQ(loaded.report.Pools(1).PoolName.Trimmed(), "BPTEST");

    // A Statistics report still goes to its own reader.
    const samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    request.statistics = dir.Write("report.sta", samplegen::StatisticsText(sample.report));
    const LoadedReport statistics = LoadReport(request, kinds);
    EXPECT_EQ(statistics.outcome.statisticsKind, ReportKind::Statistics);
    EXPECT_EQ(statistics.report.PoolCount(), sample.report.PoolCount());
    EXPECT_EQ(read.size(), 1U);
}

} // namespace
} // namespace ornexa
