#include <gtest/gtest.h>

#include <deque>
#include <functional>

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
