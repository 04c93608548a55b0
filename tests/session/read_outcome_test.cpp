#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include "report/column_tables.h"
#include "session/file_selection.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

class Answers final : public FileChooser {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& /*request*/) override {
        if (paths.empty()) {
            return std::nullopt;
        }
        auto path = paths.front();
        paths.pop_front();
        return path;
    }
    std::deque<std::filesystem::path> paths;
};

class Runner final : public AnalysisWindowRunner {
public:
    using Show = std::function<AnalysisOutcome(const Report&, const AnalysisResume&)>;
    AnalysisOutcome ShowAnalysisModal(const Report& report, const SimulationData& /*sim*/,
                                      const AnalysisResume& resume) override {
        ++shown;
        told.push_back(resume.told);
        return show ? show(report, resume) : AnalysisOutcome{};
    }
    Show show;
    int shown = 0;
    std::vector<Messages> told; // what each window started with
};

class ReadOutcome : public ::testing::Test {
protected:
    ReadOutcome() {
        statPath = dir.Write("report.sta", samplegen::StatisticsText(sample.report));
        simPath = Write("report.sim", SimText());
    }

    [[nodiscard]] std::string SimText() const {
        return samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects);
    }
    std::filesystem::path Write(const std::string& name, const std::string& text) const {
        return dir.Write(name, text);
    }
    Messages OpenStatistics(const std::filesystem::path& path) {
        answers.paths = {path};
        return session.OpenStatistics();
    }
    Messages OpenSimulation(const std::filesystem::path& path) {
        answers.paths = {path};
        const auto read = session.OpenSimulation();
        return read ? session.Told(*read) : Messages{};
    }

    samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    test::TempDir dir;
    std::filesystem::path statPath;
    std::filesystem::path simPath;
    Report report;
    SimulationData sim;
    Answers answers;
    FileSelectionSession session{report, sim, answers};
};

// The picture of each file tells a whole read, a read with warnings and a read that failed apart,
// and the session knows how far a read that stopped got.
TEST_F(ReadOutcome, ThePictureOfAStatisticsReadTellsHowItEnded) {
    const int pools = sample.report.PoolCount();
    ASSERT_GE(pools, 4);
    test::StatLines badThird;
    badThird.Header();
    badThird.lines[1] = samplegen::HeaderLine(sample.report.Header, true);
    badThird.Pool("BP0").Pool("BP1").Pool("BP2").SetLastField(PoolColumns()[3], "X");
    std::string cutShort = samplegen::StatisticsText(sample.report);
    cutShort.resize(cutShort.find("\r\nBPS", cutShort.find("\r\nBPS") + 1) + 2); // the first pool and its objects

    struct Case {
        const char* name;
        std::string text;
        StatusPicture picture;
        ReadSummary summary;
        bool nextEnabled;
    };
    const std::vector<Case> cases = {
        {"whole", samplegen::StatisticsText(sample.report), StatusPicture::Read, {"", pools, pools, 0, 0, 0}, true},
        {"cut short",
         cutShort,
         StatusPicture::ReadWithWarnings,
         {"The report names " + std::to_string(pools) +
              " buffer pools but the file holds 1: it may have been cut "
              "short.",
          1, pools, 0, 0, 0},
         true},
        {"stopped at the third pool",
         badThird.Text(),
         StatusPicture::NotRead,
         {ReadErrorReport("Type mismatch", 5, 4, 34), 2, pools, 5, 0, 0},
         true},
        {"not a report", "no environment line\r\n", StatusPicture::NotRead,
         ReadSummary{"Incorrect File Format, Use A Flat File", 0, 0, 1, 0, 0}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(OpenStatistics(Write(std::string(c.name) + ".sta", c.text)).size(),
                  c.summary.fault.empty() ? 0U : 1U);
        EXPECT_EQ(session.Controls().statisticsPicture, c.picture);
        EXPECT_EQ(session.Controls().statisticsRead, c.summary);
        EXPECT_EQ(session.Controls().next, c.nextEnabled); // what was read can still be analysed
        EXPECT_EQ(session.Controls().statisticsPath, (dir.Path() / (std::string(c.name) + ".sta")).string());
    }
    session.Reset();
    EXPECT_EQ(session.Controls().statisticsPicture, StatusPicture::NotChosen);
    EXPECT_EQ(session.Controls().statisticsRead, ReadSummary{});
}

TEST_F(ReadOutcome, ThePictureOfASimulationReadTellsHowItEnded) {
    OpenStatistics(statPath);
    ASSERT_TRUE(OpenSimulation(simPath).empty());
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::Read);
    const int objectLines = session.Controls().simulationRead.objectLines;
    EXPECT_GT(objectLines, 0);

    // An object line of an object the pool does not hold is left out: read, with a warning.
    std::string text = SimText();
    const std::size_t line = text.rfind("\r\nBPS") + 2;
    text.replace(line + 21, 8, "NOSUCHOB");
    OpenSimulation(Write("skipped.sim", text));
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::ReadWithWarnings);
    EXPECT_EQ(session.Controls().simulationRead.skippedLines, 1);
    EXPECT_EQ(session.Controls().simulationRead.objectLines, objectLines - 1);
    EXPECT_EQ(session.Controls().simulationRead.fault, "Object Not Found In Buffer Pool");

    // A pool the statistics do not hold: not read; the path stays shown, the picture says why.
    std::string otherPool = SimText();
    const std::size_t name = otherPool.find(sample.report.Pools(sample.pool).PoolName.Str(), otherPool.find("*BPP"));
    otherPool.replace(name, 4, "BP99");
    const Messages told = OpenSimulation(Write("bp99.sim", otherPool));
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::NotRead);
    EXPECT_EQ(session.Controls().simulationRead.fault, told[0].text);
    EXPECT_EQ(session.Controls().simulationPath, (dir.Path() / "bp99.sim").string());
    EXPECT_EQ(told[0].hint, (dir.Path() / "bp99.sim").string() + " describes pool BP99, which " + statPath.string() +
                                " does not hold: choose the Simulation report of one of its pools.");
}

// Files named relatively are named in full in the advice and in the recent reports.
TEST_F(ReadOutcome, FilesNamedRelativelyAreToldAndKeptInFull) {
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    Write("bad.sta", "no environment line\r\n");
    const Messages bad = OpenStatistics("bad.sta");
    OpenStatistics("report.sta");
    OpenSimulation("./report.sim");
    std::filesystem::current_path(before);
    ASSERT_EQ(bad.size(), 1U);
    EXPECT_TRUE(bad[0].hint.starts_with((dir.Path() / "bad.sta").string() + " is not a Statistics report"));
    ASSERT_FALSE(session.Recent().Entries().empty());
    EXPECT_EQ(session.Recent().Entries().front(), (RecentReport{statPath, simPath}));
    EXPECT_TRUE(Available(session.Recent().Entries().front())); // from another folder too
}

// A window that asks for a reload has the files read before it leaves: when they do not load it
// stays, with one message that says why; when they do, it is shown again with them, read once.
TEST_F(ReadOutcome, AReloadThatDoesNotLoadLeavesTheWindowWhereItIs) {
    OpenStatistics(statPath);
    OpenSimulation(simPath);
    const int pools = report.PoolCount();
    Runner runner;
    std::vector<ReloadRead> reads;
    runner.show = [&](const Report& shown, const AnalysisResume& resume) -> AnalysisOutcome {
        EXPECT_EQ(&shown, &report);
        if (runner.shown > 1) {
            return {AnalysisExit::Back, {}, {}};
        }
        EXPECT_TRUE(resume.readAgain);
        Write("report.sta", "no environment line\r\n");
        reads.push_back(resume.readAgain({}));
        Write("report.sta", samplegen::StatisticsText(sample.report));
        std::filesystem::remove(simPath);
        reads.push_back(resume.readAgain({}));
        Write("report.sim", SimText());
        sample.report.Pools(1).PoolGetPages += 1000;
        Write("report.sta", samplegen::StatisticsText(sample.report));
        reads.push_back(resume.readAgain({}));
        // The good files are in place again; they are shown as they were read.
        Write("report.sta", "no environment line\r\n");
        return {AnalysisExit::Reload, {}, {"BP1", 1, ""}};
    };
    EXPECT_EQ(session.Next(runner), FileSelectionSession::NextOutcome::Returned);
    ASSERT_EQ(reads.size(), 3U);
    ASSERT_EQ(reads[0].told.size(), 1U);
    EXPECT_FALSE(reads[0].loaded);
    EXPECT_EQ(reads[0].told[0].text, "Incorrect File Format, Use A Flat File");
    EXPECT_TRUE(reads[0].told[0].hint.starts_with(statPath.string() + " is not a Statistics report"));
    EXPECT_TRUE(reads[0].told[0].hint.ends_with("The report read before stays shown.")) << reads[0].told[0].hint;
    ASSERT_EQ(reads[1].told.size(), 1U);
    EXPECT_EQ(reads[1].told[0].title, "Read Simulation File");
    EXPECT_TRUE(reads[1].told[0].hint.ends_with("The report read before stays shown."));
    EXPECT_TRUE(reads[2].loaded);
    EXPECT_TRUE(reads[2].told.empty());

    EXPECT_EQ(runner.shown, 2);
    ASSERT_EQ(runner.told.size(), 2U);
    EXPECT_TRUE(runner.told[1].empty()); // nothing more to tell once it is shown again
    EXPECT_EQ(report.PoolCount(), pools);
    EXPECT_EQ(report.Pools(1).PoolGetPages, sample.report.Pools(1).PoolGetPages); // the files as read
    EXPECT_EQ(session.Controls().statisticsPicture, StatusPicture::Read);
}

} // namespace
} // namespace ornexa
