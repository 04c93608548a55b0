#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include <nlohmann/json.hpp>

#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

const std::string Samples = ORNEXA_SAMPLES_DIR;

// The sample Simulation report made to describe pool BP99, which the sample statistics do not hold.
std::filesystem::path SimulationOfBP99(const test::TempDir& dir) {
    std::ifstream in(Samples + "/simulation-bp1.sim", std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t parameters = text.find("*BPP");
    const std::size_t pool = text.find("BP1 ", parameters);
    text.replace(pool, 4, "BP99");
    return dir.Write("bp99.sim", text);
}

// The advice below a read's message goes into the JSON as `hint`, into the text report below the
// message, and to standard error when nothing can be exported; the rest stays as it was.
TEST(OrnexaReport, TheMessagesOfAReadSayWhichFileAndWhatToDo) {
    const test::TempDir dir;
    const std::string sim = SimulationOfBP99(dir).string();
    const std::string stat = Samples + "/statistics-usa.sta";
    const std::string hint = sim + " describes pool BP99, which " + stat +
                             " does not hold: choose the Simulation report of one of its pools.";

    const test::Outcome json = test::RunReport(stat + " --sim " + sim + " --json");
    EXPECT_EQ(json.exitCode, 1);
    const auto doc = nlohmann::ordered_json::parse(json.out);
    ASSERT_EQ(doc["simulation"]["messages"].size(), 1U);
    const auto& message = doc["simulation"]["messages"][0];
    EXPECT_EQ(message["title"], "Read Simulation Buffer Pool Information");
    EXPECT_EQ(message["icon"], "exclamation");
    EXPECT_EQ(message["hint"], hint);
    std::vector<std::string> keys;
    for (const auto& item : message.items()) {
        keys.push_back(item.key());
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"title", "text", "icon", "hint"}));
    EXPECT_TRUE(doc["statistics"]["messages"].empty());

    const test::Outcome text = test::RunReport(stat + " --sim " + sim);
    EXPECT_NE(text.out.find("Error at Index    : \"0\"\n\n" + hint + "\n\n"), std::string::npos) << text.out;

    const test::Outcome exported =
        test::RunReport(stat + " --sim " + sim + " --export-indexes " + dir.Path().string(), true);
    EXPECT_NE(exported.out.find("\n    " + hint + "\n"), std::string::npos) << exported.out;
}

// Messages that are not a read's carry no hint: the threshold file's keeps its three keys.
TEST(OrnexaReport, OnlyTheMessagesOfAReadCarryAHint) {
    const test::TempDir noThresholds;
    const test::Outcome json = test::RunReport(Samples + "/statistics-usa.sta --sim " + Samples +
                                               "/simulation-bp1.sim --json --acc-dir " + noThresholds.Path().string());
    ASSERT_EQ(json.exitCode, 0);
    const auto doc = nlohmann::ordered_json::parse(json.out);
    ASSERT_EQ(doc["thresholds"].size(), 2U);
    for (const auto& threshold : doc["thresholds"]) {
        ASSERT_TRUE(threshold["message"].is_object());
        EXPECT_EQ(threshold["message"].size(), 3U);
    }
}

} // namespace
} // namespace ornexa
