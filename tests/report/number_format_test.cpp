#include <gtest/gtest.h>

#include "report/number_format.h"

namespace ornexa {
namespace {

struct PictureCase {
    double value;
    const char* picture;
    const char* expected;
};

TEST(FormatPicture, WritesEveryPatternOfTheViews) {
    const PictureCase cases[] = {
        {1200000, "#,###,###", "1,200,000"},
        {0, "#,###,###", ""},
        {999, "#,###,###", "999"},
        {1234567890, "#,###,###", "1,234,567,890"},
        {1200000, "###,###,###", "1,200,000"},
        {1200000, "  ###,###,###", "  1,200,000"},
        {0, "  ###,###,###", "  "},
        {0.5, "###.00", ".50"},
        {0, "###.00", ".00"},
        {95.126, "###.00", "95.13"},
        {1234.5, "###.00", "1234.50"},
        {1200.5, "#,###.00", "1,200.50"},
        {0.5, "#,###.00", ".50"},
        {0.125, "#0.0%", "12.5%"},
        {0, "#0.0%", "0.0%"},
        {1, "#0.0%", "100.0%"},
        {0.5, "#####0.00", "0.50"},
        {0, "#####0.00", "0.00"},
        {123456.789, "#####0.00", "123456.79"},
        {12, "###0", "12"},
        {0, "###0", "0"},
        {12.5, "###0", "13"},
        {-1234.5, "#,###.00", "-1,234.50"},
        {-0.001, "#####0.00", "0.00"},
        {0.005, "#####0.00", "0.01"},
        {2.675, "#####0.00", "2.68"}, // rounds the decimal text shown, not the binary value
        {9.995, "###.00", "10.00"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatPicture(c.value, c.picture), c.expected) << c.value << " " << c.picture;
    }
}

TEST(FormatPicture, UsesTheStyleGivenNotTheMachine) {
    const NumberStyle german{',', '.'};
    EXPECT_EQ(FormatPicture(1200.5, "#,###.00", german), "1.200,50");
    EXPECT_EQ(FormatPicture(0.125, "#0.0%", german), "12,5%");
    EXPECT_EQ(FormatPicture(1200000, "#,###,###", german), "1.200.000");
}

TEST(NumberTexts, PlainAndStrForms) {
    EXPECT_EQ(PlainText(std::int64_t{1234}), "1234");
    EXPECT_EQ(PlainText(std::int64_t{-5}), "-5");
    EXPECT_EQ(StrText(std::int64_t{1234}), " 1234");
    EXPECT_EQ(StrText(std::int64_t{-5}), "-5");
    EXPECT_EQ(PlainText(98.5), "98.5");
    EXPECT_EQ(PlainText(85.0), "85");
    EXPECT_EQ(PlainText(0.1 + 0.2), "0.3");
    EXPECT_EQ(PlainText(-0.0), "0");
    EXPECT_EQ(PlainText(123456789012345.0), "123456789012345");
    EXPECT_EQ(PlainText(1e15), "1E+15");
    EXPECT_EQ(PlainText(0.0001), "0.0001");
    EXPECT_EQ(PlainText(98.5, {',', '.'}), "98,5");
    EXPECT_EQ(StrText(98.5), " 98.5");
    EXPECT_EQ(StrText(-0.5), "-0.5");
}

TEST(NumberTexts, ReadBackGivesTheRoundedFigureWithoutSeparators) {
    EXPECT_EQ(FormatReadBack(1234.5, "#,###.00"), "1234.5");
    EXPECT_EQ(FormatReadBack(12.0, "#,###.00"), "12");
    EXPECT_EQ(FormatReadBack(0.0, "#,###.00"), "0");
    EXPECT_EQ(FormatReadBack(0.004, "#,###.00"), "0");
    EXPECT_EQ(FormatReadBack(2.5, "#,###.00"), "2.5");
    EXPECT_EQ(FormatReadBack(1234567.891, "#,###.00"), "1234567.89");
    EXPECT_EQ(FormatReadBack(1234.5, "#,###.00", {',', '.'}), "1234,5");
}

} // namespace
} // namespace ornexa
