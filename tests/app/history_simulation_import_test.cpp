// The History window's import of Simulation reports for reports it already holds.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTest>
#include <filesystem>

#include "app/history_service.h"
#include "app/history_window.h"
#include "sample_report.h"
#include "scripted_services.h"
#include "sim_writer.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace {

namespace fs = std::filesystem;

// day1.sta and the day1.sim of its pool `pool` in `folder`.
void WritePair(const fs::path& folder, std::string_view pool) {
    const ornexa::samplegen::SimSample sample =
        ornexa::samplegen::BuildSimulation(ornexa::samplegen::BuildSampleReport(), pool, 31);
    fs::create_directories(folder);
    ornexa::samplegen::WriteTextFile(folder / "day1.sta", ornexa::samplegen::StatisticsText(sample.report));
    ornexa::samplegen::WriteTextFile(
        folder / "day1.sim", ornexa::samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
}

TEST(HistorySimulationImport, TheWindowSaysASimulationWasAddedAndWhenOneWasNotStored) {
    QSettings().clear();
    const ornexa::test::TempDir dir;
    HistoryService history;
    history.SetLocation((dir.Path() / "history.db").string());
    history.SetKeepEveryReport(false);
    ScriptedServices ui;
    HistoryWindow window(history, ui, {});
    WritePair(dir.Path() / "bp1", "BP1");
    WritePair(dir.Path() / "bp3", "BP3");
    fs::create_directories(dir.Path() / "alone");
    fs::copy_file(dir.Path() / "bp1" / "day1.sta", dir.Path() / "alone" / "day1.sta");
    const auto importFolder = [&](const fs::path& folder) {
        ui.answers = {folder};
        window.ImportFolder();
        QTRY_VERIFY_WITH_TIMEOUT(!window.Importing(), 60000);
    };

    importFolder(dir.Path() / "alone");
    ASSERT_EQ(window.StatusText(), "1 imported, 0 already present, 0 refused");
    ASSERT_EQ(window.Page()->Reports().size(), 1U);
    EXPECT_FALSE(window.Page()->Reports().front().hasSimulation);

    importFolder(dir.Path() / "bp1");
    EXPECT_EQ(window.StatusText(), "0 imported, 0 already present, 0 refused, 1 simulation added");
    ASSERT_EQ(window.Page()->Reports().size(), 1U);
    EXPECT_TRUE(window.Page()->Reports().front().hasSimulation); // the list shows what was added
    EXPECT_TRUE(ui.messages.empty());

    // Another pool's simulation of the same report is not stored, and the window says so in a box.
    importFolder(dir.Path() / "bp3");
    EXPECT_EQ(window.StatusText(), "0 imported, 1 already present, 0 refused");
    ASSERT_EQ(ui.messages.size(), 1U);
    EXPECT_EQ(ui.messages[0].icon, ornexa::MessageIcon::Information);
    EXPECT_NE(ui.messages[0].text.find("simulation not stored: " + (dir.Path() / "bp3" / "day1.sim").string()),
              std::string::npos)
        << ui.messages[0].text;
}

} // namespace
