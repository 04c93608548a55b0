#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "large_site.h"
#include "run_report.h"
#include "stat_fixture.h"
#include "stat_writer.h"

namespace ornexa {
namespace {

struct LimitRun {
    const char* options;
    int exitCode;
    int pools;              // in the document
    const char* toldInText; // in the message of a read that stopped; "" for none
};

// A report of 61 pools and 6000 objects: beyond both of the monitor's limits.
TEST(OrnexaReport, ReadsUnderTheLimitsGivenAndRefusesFiguresOutOfRange) {
    const test::TempDir dir;
    samplegen::StatFileOptions plain;
    plain.decorate = false;
    const auto path = dir.Write("large.sta", samplegen::StatisticsText(samplegen::BuildLargeReport(61, 6000), plain));
    const std::vector<LimitRun> runs{
        {"", 1, 44, "\"Subscript out of range\""},
        {"--max-objects 6000", 1, 60, "\"Subscript out of range (the limit in force is 60 pools)\""},
        {"--max-pools 80", 1, 44, "\"Subscript out of range (the limit in force is 5000 objects)\""},
        {"--max-pools 80 --max-objects 1000000", 0, 61, ""},
        {"--max-pools=61 --max-objects=6000", 0, 61, ""},
    };
    for (const LimitRun& run : runs) {
        SCOPED_TRACE(run.options);
        const test::Outcome outcome = test::RunReport("--json " + std::string(run.options) + " " + path.string());
        EXPECT_EQ(outcome.exitCode, run.exitCode);
        const auto doc = nlohmann::json::parse(outcome.out);
        EXPECT_EQ(doc["pools"].size(), static_cast<std::size_t>(run.pools));
        const auto& messages = doc["statistics"]["messages"];
        if (*run.toldInText != '\0') {
            ASSERT_EQ(messages.size(), 1U);
            EXPECT_NE(messages[0]["text"].get<std::string>().find(run.toldInText), std::string::npos) << messages;
        } else {
            EXPECT_EQ(messages.size(), 0U) << messages;
        }
    }
    for (const char* wrong : {"--max-pools 0", "--max-pools 10001", "--max-objects -1", "--max-objects 1e6",
                              "--max-objects abc", "--max-pools"}) {
        EXPECT_EQ(test::RunReport(std::string(wrong) + " " + path.string()).exitCode, 2) << wrong;
    }
    // The history's import and the comparison of two files read under the same limits.
    const std::string history = (dir.Path() / "history.db").string();
    EXPECT_EQ(test::RunReport("--history " + history + " --import " + path.string()).exitCode, 1);
    EXPECT_EQ(test::RunReport("--history " + history + " --import " + path.string() +
                              " --max-pools 80 --max-objects "
                              "6000")
                  .exitCode,
              0);
    EXPECT_EQ(test::RunReport("--compare " + path.string() + " " + path.string() + " --max-pools 61 --max-objects 6000")
                  .exitCode,
              0);
}

} // namespace
} // namespace ornexa
