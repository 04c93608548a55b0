#include <gtest/gtest.h>

#include "rules/pool_usage.h"
#include "stat_fixture.h"

namespace ornexa {
namespace {

TEST(UsageThreshold, ReadsTheNumberAtTheStartOfTheFirstField) {
    const std::pair<const char*, double> cases[] = {
        {"35,10\r\n", 35}, {" 12.5abc", 12.5}, {"", 0},        {"abc", 0},       {"\"42\",7", 42}, {"1 2 . 5", 12.5},
        {"\t7", 7},        {"2E2", 200},       {"-3.5", -3.5}, {"80\r\n90", 80}, {"1e", 1},        {"  ,5", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(ParseUsageThreshold(text), expected) << text;
    }
}

TEST(UsageThreshold, ComesFromTheFileOfTheUsage) {
    const test::TempDir dir;
    (void)dir.Write("Rand.acc", "35,10\r\n");
    (void)dir.Write("Seq.acc", "60\r\n");
    EXPECT_DOUBLE_EQ(ReadUsageThreshold(dir.Path(), PoolUsage::Random), 35);
    EXPECT_DOUBLE_EQ(ReadUsageThreshold(dir.Path(), PoolUsage::Sequential), 60);
    EXPECT_DOUBLE_EQ(ReadUsageThreshold(dir.Path(), PoolUsage::None), 60);
    EXPECT_DOUBLE_EQ(ReadUsageThreshold(dir.Path() / "missing", PoolUsage::Random), 0);
    EXPECT_EQ(SelectPoolUsage(1), PoolUsage::Random);
    EXPECT_EQ(SelectPoolUsage(0), PoolUsage::Sequential);
}

} // namespace
} // namespace ornexa
