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

TEST(FormatPicture, SeparatorsOfAnyLengthAndNone) {
    struct Case {
        const char* locale;
        NumberStyle style;
        const char* grouped; // 1234567.5 as "#,###,###.00"
        const char* plain;   // 98.5 in the plain form
    };
    const Case cases[] = {
        {"en_US", {'.', ','}, "1,234,567.50", "98.5"},
        {"de_DE", {',', '.'}, "1.234.567,50", "98,5"},
        {"de_CH", {'.', Separator::FromUtf8("\u2019")}, "1\u2019234\u2019567.50", "98.5"},
        {"fr_FR", {',', Separator::FromUtf8("\u202F")}, "1\u202F234\u202F567,50", "98,5"},
        {"no group separator", {'.', Separator()}, "1234567.50", "98.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.locale);
        const std::string grouped = FormatPicture(1234567.5, "#,###,###.00", c.style);
        EXPECT_EQ(grouped, c.grouped);
        EXPECT_EQ(PlainText(98.5, c.style), c.plain);
        EXPECT_EQ(FormatPicture(999, "#,###,###", c.style), "999");
        // What is shown reads back as the same number in the same style.
        const Converted<double> back = TextToDouble(grouped, c.style);
        ASSERT_TRUE(back.Ok());
        EXPECT_EQ(back.Value(), 1234567.5);
        EXPECT_EQ(FormatReadBack(1234.5, "#,###.00", c.style), c.style.decimal == ',' ? "1234,5" : "1234.5");
    }
}

TEST(Separator, TakesOneWholeCharacterOfUtf8) {
    EXPECT_EQ(Separator::FromUtf8("").Text(), "");
    EXPECT_TRUE(Separator::FromUtf8("").Empty());
    EXPECT_EQ(Separator::FromUtf8(",").Text(), ",");
    EXPECT_EQ(Separator::FromUtf8("\u00A0x").Text(), "\u00A0");
    EXPECT_EQ(Separator::FromUtf8("\u202F").Text(), "\u202F");
    EXPECT_EQ(Separator::FromUtf8("\U0001F600").Text(), "\U0001F600");
    EXPECT_EQ(Separator::FromUtf8("\xE2\x80").Text(), "\xE2\x80"); // cut short: what there is
    EXPECT_EQ(Separator('.'), Separator::FromUtf8("."));
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
