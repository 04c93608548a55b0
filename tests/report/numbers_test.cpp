#include <gtest/gtest.h>

#include "report/numbers.h"

namespace ornexa {
namespace {

struct DoubleCase {
    const char* text;
    NumberStyle style;
    double expected;
};

constexpr NumberStyle Period{'.', ','};
constexpr NumberStyle Comma{',', '.'};

TEST(TextToDouble, ReadsTheNumberFormsOfAReport) {
    const DoubleCase cases[] = {
        {"98.5", Period, 98.5},     {"  98.5", Period, 98.5}, {"98.5  ", Period, 98.5}, {"-12", Period, -12},
        {"+7", Period, 7},          {".5", Period, 0.5},      {"3.", Period, 3},        {"1,234.5", Period, 1234.5},
        {"1E3", Period, 1000},      {"2.5e-1", Period, 0.25}, {"98,5", Comma, 98.5},    {"1.234,5", Comma, 1234.5},
        {"0000000042", Period, 42}, {"0", Period, 0},         {"1e-400", Period, 0},
    };
    for (const auto& c : cases) {
        const Converted<double> value = TextToDouble(c.text, c.style);
        ASSERT_TRUE(value.Ok()) << c.text;
        EXPECT_DOUBLE_EQ(value.Value(), c.expected) << c.text;
    }
}

TEST(TextToDouble, RefusesWhatIsNotANumber) {
    const std::pair<const char*, ReadFailure> cases[] = {
        {"", ReadFailure::TypeMismatch},    {"      ", ReadFailure::TypeMismatch}, {"abc", ReadFailure::TypeMismatch},
        {"12a", ReadFailure::TypeMismatch}, {"1 2", ReadFailure::TypeMismatch},    {".", ReadFailure::TypeMismatch},
        {"-", ReadFailure::TypeMismatch},   {"1.2.3", ReadFailure::TypeMismatch},  {"1E", ReadFailure::TypeMismatch},
        {",5", ReadFailure::TypeMismatch},  {"1e400", ReadFailure::Overflow},
    };
    for (const auto& [text, failure] : cases) {
        const Converted<double> value = TextToDouble(text, Period);
        ASSERT_FALSE(value.Ok()) << text;
        EXPECT_EQ(value.Failure(), failure) << text;
    }
    // In a comma report a period is a grouping character: 98.5 would be 985, never 98.5.
    EXPECT_DOUBLE_EQ(TextToDouble("98.5", Comma).Value(), 985);
}

TEST(WholeNumbers, RoundToNearestWithTiesToEven) {
    const std::pair<double, std::int32_t> cases[] = {
        {2.5, 2}, {3.5, 4}, {-2.5, -2}, {-3.5, -4}, {2.4999, 2}, {2.5001, 3}, {0.5, 0}, {1.5, 2},
    };
    for (const auto& [value, expected] : cases) {
        EXPECT_EQ(DoubleToLong(value).Value(), expected) << value;
        EXPECT_EQ(DoubleToInteger(value).Value(), expected) << value;
    }
}

TEST(WholeNumbers, CheckTheSixteenAndThirtyTwoBitRanges) {
    EXPECT_EQ(DoubleToInteger(32767.4).Value(), 32767);
    EXPECT_EQ(DoubleToInteger(-32768.5).Value(), -32768); // the tie goes to the even -32768
    EXPECT_EQ(DoubleToInteger(32767.5).Failure(), ReadFailure::Overflow);
    EXPECT_EQ(DoubleToInteger(-32769).Failure(), ReadFailure::Overflow);
    EXPECT_EQ(DoubleToLong(2147483647.0).Value(), 2147483647);
    EXPECT_EQ(DoubleToLong(-2147483648.0).Value(), -2147483647 - 1);
    EXPECT_EQ(DoubleToLong(2147483647.5).Failure(), ReadFailure::Overflow);
    EXPECT_EQ(DoubleToLong(9999999999.0).Failure(), ReadFailure::Overflow);
}

TEST(ReadFailure, HasTheStandardDescriptions) {
    EXPECT_EQ(Describe(ReadFailure::TypeMismatch), "Type mismatch");
    EXPECT_EQ(Describe(ReadFailure::Overflow), "Overflow");
    EXPECT_EQ(Describe(ReadFailure::SubscriptOutOfRange), "Subscript out of range");
    EXPECT_EQ(Describe(ReadFailure::InputPastEnd), "Input past end of file");
}

} // namespace
} // namespace ornexa
