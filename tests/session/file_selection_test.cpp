#include <gtest/gtest.h>

#include <deque>
#include <functional>

#include <sys/stat.h>

#include "session/file_selection.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

// Answers the dialogs with the paths queued, or cancels when none is left.
class QueuedChooser final : public FileChooser {
public:
    std::optional<std::filesystem::path> ChooseFileToOpen(const FileDialogRequest& request) override {
        requests.push_back(request);
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<std::optional<std::filesystem::path>> answers;
    std::vector<FileDialogRequest> requests;
};

class ScriptedAnalysis final : public AnalysisWindowRunner {
public:
    explicit ScriptedAnalysis(bool finish) : finish_(finish) {}
    AnalysisOutcome ShowAnalysisModal(const Report& report, const SimulationData& sim,
                                      const AnalysisResume& resume) override {
        ++shown;
        simulationShown = sim.SimFileLoaded;
        seen.push_back({report.PoolCount(), sim.SimFileLoaded, resume});
        if (!outcomes.empty()) {
            AnalysisOutcome outcome = outcomes.front();
            outcomes.pop_front();
            if (beforeReload) {
                beforeReload(shown);
            }
            return outcome;
        }
        return {finish_ ? AnalysisExit::Finish : AnalysisExit::Back, {}, {}};
    }
    struct Seen {
        int pools = 0;
        bool simulation = false;
        AnalysisResume resume;
    };
    bool simulationShown = false;
    int shown = 0;
    std::vector<Seen> seen;
    std::deque<AnalysisOutcome> outcomes;  // the first windows' exits, then Back or Finish
    std::function<void(int)> beforeReload; // changes the files before the reload of window N

private:
    bool finish_;
};

struct Buttons {
    bool openStatistics, openSimulation, next, reset, cancel;
    friend bool operator==(const Buttons&, const Buttons&) = default;
};

Buttons Enabled(const FileSelectionControls& c) {
    return {c.openStatistics, c.openSimulation, c.next, c.reset, c.cancel};
}

class FileSelection : public ::testing::Test {
protected:
    FileSelection() {
        const samplegen::SimSample sample = samplegen::BuildSampleSimulation();
        statPath = dir.Write("report.sta", samplegen::StatisticsText(sample.report));
        simPath =
            dir.Write("report.sim", samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        badStatPath = dir.Write("bad.sta", "no environment line\r\n");
    }

    test::TempDir dir;
    std::filesystem::path statPath;
    std::filesystem::path simPath;
    std::filesystem::path badStatPath;
    Report report;
    SimulationData sim;
    QueuedChooser chooser;
    FileSelectionSession session{report, sim, chooser};
};

TEST_F(FileSelection, ButtonsFollowTheFilesRead) {
    EXPECT_EQ(Enabled(session.Controls()), (Buttons{true, false, false, false, true}));
    EXPECT_EQ(session.State(), FileSelectionState::NoFile);

    chooser.answers = {statPath};
    session.OpenStatistics();
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_EQ(Enabled(session.Controls()), (Buttons{true, true, true, true, true}));
    EXPECT_EQ(session.Controls().statisticsPath, statPath.string());
    EXPECT_EQ(session.Controls().statisticsPicture, StatusPicture::Read);
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::MayChoose);
    EXPECT_EQ(session.Controls().focus, FocusTarget::Next);
    EXPECT_EQ(session.State(), FileSelectionState::StatisticsRead);

    chooser.answers = {simPath};
    const auto simRead = session.OpenSimulation();
    ASSERT_TRUE(simRead.has_value());
    EXPECT_TRUE(simRead->Loaded());
    EXPECT_EQ(session.Controls().simulationPath, simPath.string());
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::Read);
    EXPECT_EQ(Enabled(session.Controls()), (Buttons{true, true, true, true, true}));
    EXPECT_EQ(session.State(), FileSelectionState::SimulationRead);

    session.Reset();
    EXPECT_EQ(report.PoolCount(), 0);
    EXPECT_FALSE(report.StatFileLoaded);
    EXPECT_EQ(Enabled(session.Controls()), (Buttons{true, false, false, false, true}));
    EXPECT_TRUE(session.Controls().statisticsPath.empty());
    EXPECT_EQ(session.Controls().statisticsPicture, StatusPicture::NotChosen);
    EXPECT_EQ(session.Controls().focus, FocusTarget::OpenStatistics);
}

TEST_F(FileSelection, DialogsOfferTheirFiltersWithTheThirdPreselected) {
    chooser.answers = {statPath, std::nullopt};
    session.OpenStatistics();
    session.OpenSimulation();
    ASSERT_EQ(chooser.requests.size(), 2U);
    EXPECT_EQ(chooser.requests[0].filters,
              (std::vector<FileFilter>{
                  {"All Files (*.*)", "*.*"}, {"Text Files (*.txt)", "*.txt"}, {"Stat Files (*.sta)", "*.sta"}}));
    EXPECT_EQ(chooser.requests[1].filters[2], (FileFilter{" Sim Files (*.sim)", "*.sim"}));
    EXPECT_EQ(chooser.requests[0].selectedFilter, 2);
    EXPECT_TRUE(chooser.requests[0].hideReadOnly);
    EXPECT_EQ(chooser.requests[1].folder, dir.Path()); // opens where the last file was
}

TEST_F(FileSelection, CancellingTheDialogKeepsTheReportAndNext) {
    chooser.answers = {statPath, std::nullopt};
    session.OpenStatistics();
    session.OpenStatistics();
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_TRUE(session.Controls().next);
    EXPECT_TRUE(session.Controls().statisticsPath.empty());
    EXPECT_TRUE(session.Controls().simulationPath.empty());
    EXPECT_FALSE(session.Controls().openSimulation);
    EXPECT_EQ(session.Controls().focus, FocusTarget::Next);

    FileSelectionSession fresh{report, sim, chooser};
    fresh.OpenStatistics(); // cancelled before any read: Next is still disabled
    EXPECT_TRUE(fresh.Controls().reset);
    EXPECT_EQ(fresh.Controls().focus, FocusTarget::OpenStatistics);
}

TEST_F(FileSelection, AFailedReadStillLeadsOn) {
    chooser.answers = {badStatPath, simPath};
    const Messages told = session.OpenStatistics();
    ASSERT_EQ(told.size(), 1U); // the refusal comes back, for the window to show once the read is over
    EXPECT_EQ(told[0].title, "File IO");
    EXPECT_FALSE(report.StatFileLoaded);
    EXPECT_EQ(Enabled(session.Controls()), (Buttons{true, true, true, true, true}));
    const auto simRead = session.OpenSimulation();
    ASSERT_TRUE(simRead.has_value());
    EXPECT_EQ(simRead->outcome, SimReadOutcome::NoStatistics);
    EXPECT_EQ(MessagesOf(*simRead).back().text, "Please Read Statistics File First");
}

TEST_F(FileSelection, APipeOrADeviceIsRefusedBeforeAnythingBlocks) {
    const std::filesystem::path fifo = dir.Path() / "transfer.sta";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0); // no writer: opening it would wait for ever
    const std::string refusal = "it is not a regular file (a pipe, a device or a socket)";
    chooser.answers = {fifo, statPath, std::filesystem::path("/dev/zero")};
    const Messages told = session.OpenStatistics();
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].title, "Read Stat File");
    EXPECT_EQ(told[0].text, "Cannot open file \"" + fifo.string() + "\": " + refusal);
    EXPECT_EQ(told[0].icon, MessageIcon::Information);
    EXPECT_TRUE(told[0].hint.starts_with("ORNEXA could not read " + fifo.string())) << told[0].hint;
    EXPECT_FALSE(report.StatFileLoaded);
    ASSERT_TRUE(session.OpenStatistics().empty());
    const auto simRead = session.OpenSimulation();
    ASSERT_TRUE(simRead.has_value());
    EXPECT_EQ(MessagesOf(*simRead), (Messages{{"Read Simulation File", "Cannot open file \"/dev/zero\": " + refusal,
                                               MessageIcon::Information}}));
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_FALSE(sim.SimFileLoaded);
}

TEST_F(FileSelection, AReportCutShortLoadsWithAWarning) {
    samplegen::SimSample sample = samplegen::BuildSampleSimulation();
    sample.report.Header.ReportPoolCount = static_cast<Integer>(sample.report.PoolCount() + 3);
    chooser.answers = {dir.Write("cut.sta", samplegen::StatisticsText(sample.report))};
    const Messages told = session.OpenStatistics();
    EXPECT_TRUE(report.StatFileLoaded);
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].title, "Read Stat File");
    EXPECT_EQ(told[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(told[0].text, "The report names " + std::to_string(report.PoolCount() + 3) +
                                " buffer pools but the file holds " + std::to_string(report.PoolCount()) +
                                ": it may have been cut short.");
}

TEST_F(FileSelection, BackReturnsHereWithoutTheSimulationAndFinishQuits) {
    chooser.answers = {statPath, simPath};
    session.OpenStatistics();
    session.OpenSimulation();
    ScriptedAnalysis back(false);
    EXPECT_EQ(session.Next(back), FileSelectionSession::NextOutcome::Returned);
    EXPECT_EQ(back.shown, 1);
    EXPECT_TRUE(back.simulationShown); // the window saw the simulation; back here it is forgotten
    EXPECT_FALSE(sim.SimFileLoaded);
    EXPECT_TRUE(session.Controls().simulationPath.empty());
    EXPECT_FALSE(session.Controls().next);
    EXPECT_FALSE(session.Controls().reset);
    EXPECT_EQ(session.Controls().simulationPicture, StatusPicture::NotChosen);
    EXPECT_EQ(session.Controls().statisticsPath, statPath.string());
    EXPECT_EQ(session.Next(back), FileSelectionSession::NextOutcome::Ignored); // Next is disabled

    chooser.answers = {statPath};
    session.OpenStatistics();
    ScriptedAnalysis finish(true);
    EXPECT_EQ(session.Next(finish), FileSelectionSession::NextOutcome::Quit);
}

TEST_F(FileSelection, AfterTheAboutBoxReturningKeepsTheButtons) {
    chooser.answers = {statPath, simPath};
    session.OpenStatistics();
    session.OpenSimulation();
    session.AboutDismissed();
    ScriptedAnalysis back(false);
    session.Next(back);
    EXPECT_TRUE(session.Controls().next);
    EXPECT_EQ(session.Controls().simulationPath, simPath.string());
}

TEST_F(FileSelection, NothingStartsWhileAReadRuns) {
    int attempts = 0;
    ScriptedAnalysis analysis(false);
    FileSelectionSession* running = nullptr;
    std::function<void(int)> progress = [&](int) {
        if (attempts++ == 0) {
            // What a window event during the read would try.
            running->Reset();
            running->OpenStatistics();
            EXPECT_EQ(running->Next(analysis), FileSelectionSession::NextOutcome::Ignored);
            EXPECT_TRUE(running->Reading());
        }
    };
    FileSelectionSession guarded{report, sim, chooser, progress};
    running = &guarded;
    chooser.answers = {statPath};
    guarded.OpenStatistics();
    EXPECT_GT(attempts, 0);
    EXPECT_FALSE(guarded.Reading());
    EXPECT_TRUE(report.StatFileLoaded); // the reset asked for mid-read never happened
    EXPECT_EQ(analysis.shown, 0);
}

// A reload reads the files again between two showings of the window; what it finds on disk
// decides whether the new report replaces the one shown.
class Reload : public FileSelection {
protected:
    Reload() {
        chooser.answers = {statPath, simPath};
        session.OpenStatistics();
        session.OpenSimulation();
        sample = samplegen::BuildSampleSimulation();
    }

    // The window is left to reload once, the files are changed by `change`, then it goes back.
    ScriptedAnalysis::Seen ReloadAfter(const std::function<void()>& change) {
        analysis.outcomes = {{AnalysisExit::Reload, {}, place}};
        analysis.beforeReload = [&](int) { change(); };
        EXPECT_EQ(session.Next(analysis), FileSelectionSession::NextOutcome::Returned);
        EXPECT_EQ(analysis.shown, 2);
        return analysis.seen.empty() ? ScriptedAnalysis::Seen{} : analysis.seen.back();
    }

    void Rewrite(const std::string& name, std::string_view text) const { static_cast<void>(dir.Write(name, text)); }

    samplegen::SimSample sample;
    ScriptedAnalysis analysis{false};
    AnalysisPlace place{"BP1", ObjectInfoTab, "SOMEOBJECT"};
};

TEST_F(Reload, AChangedFileIsShownAtThePlaceLeft) {
    const Long before = report.Pools(1).PoolGetPages;
    const auto seen = ReloadAfter([&] {
        sample.report.Pools(1).PoolGetPages = before + 1000;
        Rewrite("report.sta", samplegen::StatisticsText(sample.report));
    });
    EXPECT_EQ(report.Pools(1).PoolGetPages, before + 1000);
    EXPECT_TRUE(seen.simulation); // the Simulation report was read again with it
    EXPECT_TRUE(seen.resume.told.empty());
    EXPECT_EQ(seen.resume.place, place);
}

TEST_F(Reload, AFileGoneOrMadeBadLeavesTheLastGoodReport) {
    const Long before = report.Pools(1).PoolGetPages;
    const int pools = report.PoolCount();
    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"statistics removed", [this] { std::filesystem::remove(statPath); }},
        {"statistics made bad", [this] { Rewrite("report.sta", "no environment line\r\n"); }},
        {"simulation made bad", [this] { Rewrite("report.sim", "not a simulation\r\n"); }},
    };
    for (const auto& [what, change] : changes) {
        SCOPED_TRACE(what);
        Rewrite("report.sta", samplegen::StatisticsText(sample.report));
        Rewrite("report.sim", samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
        chooser.answers = {statPath, simPath}; // back from the window before, both are read anew
        session.OpenStatistics();
        session.OpenSimulation();
        analysis.seen.clear();
        analysis.shown = 0;
        const auto seen = ReloadAfter(change);
        EXPECT_EQ(seen.pools, pools);
        EXPECT_TRUE(seen.simulation);
        EXPECT_EQ(report.Pools(1).PoolGetPages, before);
        // One box, as a reload from the window tells it: the fault, and that nothing changed.
        ASSERT_EQ(seen.resume.told.size(), 1U);
        EXPECT_FALSE(seen.resume.told.back().text.empty());
        EXPECT_TRUE(seen.resume.told.back().hint.ends_with("The report read before stays shown."))
            << seen.resume.told.back().hint;
        EXPECT_EQ(seen.resume.place, place);
        EXPECT_EQ(session.Controls().statisticsPath, statPath.string());
    }
}

TEST_F(Reload, ADroppedStatisticsReportComesWithoutTheOldSimulation) {
    const auto other = dir.Write("other.sta", samplegen::StatisticsText(sample.report));
    analysis.outcomes = {{AnalysisExit::Reload, {other, std::nullopt}, place}};
    session.Next(analysis);
    ASSERT_EQ(analysis.seen.size(), 2U);
    EXPECT_FALSE(analysis.seen[1].simulation);
    EXPECT_EQ(session.Controls().statisticsPath, other.string());
    EXPECT_EQ(session.Recent().Entries().front(), (RecentReport{other, {}}));
}

TEST_F(Reload, EveryShowingTellsTheFilesShownForTheHistory) {
    std::vector<RecentReport> shown;
    session.SetReportShown([&](const RecentReport& files) { shown.push_back(files); });
    const auto other = dir.Write("other.sta", samplegen::StatisticsText(sample.report));
    analysis.outcomes = {{AnalysisExit::Reload, {}, place}, {AnalysisExit::Reload, {other, std::nullopt}, place}};
    session.Next(analysis);
    const std::vector<RecentReport> expected = {{statPath, simPath}, {statPath, simPath}, {other, {}}};
    EXPECT_EQ(shown, expected);
}

TEST_F(FileSelection, RecentReportsReadBothFilesAndForgetThoseGone) {
    chooser.answers = {statPath, simPath};
    session.OpenStatistics();
    session.OpenSimulation();
    const auto other = dir.Write("other.sta", samplegen::StatisticsText(samplegen::BuildSampleSimulation().report));
    chooser.answers = {other, badStatPath};
    session.OpenStatistics();
    session.OpenStatistics(); // a report that did not load is not remembered
    ASSERT_EQ(session.Recent().Entries().size(), 2U);
    EXPECT_EQ(session.Recent().Entries()[0], (RecentReport{other, {}}));
    EXPECT_EQ(session.Recent().Entries()[1], (RecentReport{statPath, simPath}));

    EXPECT_TRUE(session.OpenRecent(1).empty());
    EXPECT_TRUE(report.StatFileLoaded);
    EXPECT_TRUE(sim.SimFileLoaded);
    EXPECT_EQ(session.Controls().simulationPath, simPath.string());
    EXPECT_EQ(session.Recent().Entries()[0], (RecentReport{statPath, simPath}));

    std::filesystem::remove(other);
    const Messages told = session.OpenRecent(1);
    ASSERT_EQ(told.size(), 1U);
    EXPECT_EQ(told[0].title, "Recent Reports");
    EXPECT_EQ(told[0].text,
              "\"" + other.string() + "\" is no longer there: it is taken off the list of recent reports.");
    EXPECT_EQ(session.Recent().Entries().size(), 1U);
    EXPECT_EQ(session.Controls().statisticsPath, statPath.string()); // nothing else was read
}

// A dropped file goes to the read its content asks for; a Simulation report waits for its Statistics
// report. No dialog is asked.
TEST_F(FileSelection, ADroppedFileStartsTheReadItsContentAsksFor) {
    const struct {
        std::filesystem::path path;
        DroppedRead beforeStatistics;
        DroppedRead afterStatistics;
    } cases[] = {
        {statPath, DroppedRead::Statistics, DroppedRead::Statistics},
        {simPath, DroppedRead::StatisticsFirst, DroppedRead::Simulation},
        {badStatPath, DroppedRead::Statistics, DroppedRead::Statistics}, // its read says why
        {dir.Path() / "gone.sim", DroppedRead::Statistics, DroppedRead::Statistics},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(session.ReadForDrop(c.path), c.beforeStatistics) << c.path;
    }
    ASSERT_TRUE(session.OpenStatistics(statPath).empty());
    for (const auto& c : cases) {
        EXPECT_EQ(session.ReadForDrop(c.path), c.afterStatistics) << c.path;
    }
    EXPECT_TRUE(chooser.requests.empty());
}

// A known path is read as the dialog's answer would be: blanks trimmed, and the next dialog opens
// in its folder; a Simulation report is not read before a Statistics report.
TEST_F(FileSelection, AKnownPathIsReadAsTheDialogsAnswer) {
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
    EXPECT_TRUE(chooser.requests.empty());
}

} // namespace
} // namespace ornexa
