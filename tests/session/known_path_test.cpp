#include <gtest/gtest.h>

#include "session/file_selection.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

// Never asked: a path known already opens without a dialog.
class NoDialog final : public FileChooser {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& /*request*/) override {
        ++asked;
        return std::nullopt;
    }
    int asked = 0;
};

class KnownPath : public ::testing::Test {
protected:
    KnownPath() {
        const samplegen::SimSample sample = samplegen::BuildSampleSimulation();
        statPath = dir.Write("report.sta", samplegen::StatisticsText(sample.report));
        simPath =
            dir.Write("report.sim", samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        noReport = dir.Write("notes.sim", "no environment line\r\n");
    }

    test::TempDir dir;
    std::filesystem::path statPath;
    std::filesystem::path simPath;
    std::filesystem::path noReport;
    Report report;
    SimulationData sim;
    NoDialog chooser;
    FileSelectionSession session{report, sim, chooser};
};

// A dropped file goes to the read its content asks for; a Simulation report waits for its Statistics
// report.
TEST_F(KnownPath, ADroppedFileStartsTheReadItsContentAsksFor) {
    const struct {
        const std::filesystem::path& path;
        DroppedRead beforeStatistics;
        DroppedRead afterStatistics;
    } cases[] = {
        {statPath, DroppedRead::Statistics, DroppedRead::Statistics},
        {simPath, DroppedRead::StatisticsFirst, DroppedRead::Simulation},
        {noReport, DroppedRead::Statistics, DroppedRead::Statistics}, // its read says why
        {dir.Path() / "gone.sim", DroppedRead::Statistics, DroppedRead::Statistics},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(session.ReadForDrop(c.path), c.beforeStatistics) << c.path;
    }
    ASSERT_TRUE(session.OpenStatistics(statPath).empty());
    for (const auto& c : cases) {
        EXPECT_EQ(session.ReadForDrop(c.path), c.afterStatistics) << c.path;
    }
    EXPECT_EQ(chooser.asked, 0);
}

// A known path is read as if the dialog had answered it: blanks trimmed, and the next dialog opens
// in its folder; a Simulation report is not read before a Statistics report.
TEST_F(KnownPath, AKnownPathIsReadAsTheDialogsAnswer) {
    EXPECT_FALSE(session.OpenSimulation(simPath).has_value());
    EXPECT_TRUE(session.Controls().simulationPath.empty());
    EXPECT_TRUE(session.OpenStatistics(" " + statPath.string() + "  ").empty());
    EXPECT_EQ(session.Controls().statisticsPath, statPath.string());
    EXPECT_EQ(session.LastFolder(), dir.Path());
    EXPECT_TRUE(report.StatFileLoaded);
    const auto read = session.OpenSimulation(simPath);
    ASSERT_TRUE(read.has_value());
    EXPECT_TRUE(read->Loaded());
    EXPECT_TRUE(sim.SimFileLoaded);
    EXPECT_EQ(session.State(), FileSelectionState::SimulationRead);
    EXPECT_EQ(chooser.asked, 0);
}

} // namespace
} // namespace ornexa
