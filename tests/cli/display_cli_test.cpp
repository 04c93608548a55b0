#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <string>

#include "display_writer.h"
#include "run_report.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

std::string Display(samplegen::DisplayForm form = samplegen::DisplayForm::Syslog) {
    samplegen::DisplaySampleOptions options;
    options.form = form;
    options.pools = 3;
    options.dataSetsPerPool = 2;
    options.series = 2;
    return samplegen::WriteDisplaySample(options);
}

// ornexa-report takes a display as it takes a report: the document says what it read, a figure the
// display does not give is null, and the exit status tells a warned or a stopped read.
TEST(DisplayCli, TheDocumentAndTheExitStatusOfADisplay) {
    const test::TempDir dir;
    const std::string whole = Display();
    const auto file = dir.Write("db2a.log", whole);
    const test::Outcome json = test::RunReport(file.string() + " --json");
    ASSERT_EQ(json.exitCode, 0);
    const auto doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(doc["statistics"]["kind"], "db2-display");
    EXPECT_TRUE(doc["header"]["Db2Version"].is_null());
    EXPECT_EQ(doc["header"]["ElapsedSeconds"], 900);
    ASSERT_EQ(doc["pools"].size(), 3U);
    EXPECT_TRUE(doc["pools"][0]["db2"]["randomGetpages"].is_number());
    EXPECT_TRUE(doc["pools"][0]["db2"]["vpCloset"].is_null()); // a Db2 13 figure this display does not show
    EXPECT_EQ(doc["db2"]["to"], "2026-12-08 08:15:00");

    const auto cut = dir.Write("cut.log", whole.substr(0, whole.rfind("DSNB412I")));
    EXPECT_EQ(test::RunReport(cut.string()).exitCode, 0);
    EXPECT_EQ(test::RunReport(cut.string() + " --strict").exitCode, 3);

    std::string broken = whole;
    broken.replace(broken.find("SEQ.   GETPAGE    =    ") + 23, 0, "X");
    const test::Outcome stopped = test::RunReport(dir.Write("broken.log", broken).string(), true);
    EXPECT_EQ(stopped.exitCode, 1);
    EXPECT_NE(stopped.out.find("DSNB411I, SEQ. GETPAGE: not a number"), std::string::npos) << stopped.out;

    // A monitor's report still says it is one.
    const test::Outcome monitor = test::RunReport(std::string(ORNEXA_SAMPLES_DIR) + "/statistics-usa.sta --json");
    EXPECT_EQ(nlohmann::json::parse(monitor.out)["statistics"]["kind"], "statistics");
}

} // namespace
} // namespace ornexa
