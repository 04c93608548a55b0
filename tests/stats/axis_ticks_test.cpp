#include <gtest/gtest.h>

#include <tuple>

#include <cmath>
#include <limits>

#include "stats/axis_ticks.h"

namespace ornexa {
namespace {

struct TickCase {
    const char* name;
    double min;
    double max;
    std::vector<double> ticks;
};

class NiceTicksTable : public ::testing::TestWithParam<TickCase> {};

TEST_P(NiceTicksTable, RoundStepsCoverTheRange) {
    const TickCase& c = GetParam();
    const AxisTicks ticks = NiceTicks(c.min, c.max);
    EXPECT_EQ(ticks.Values(), c.ticks);
    EXPECT_GE(ticks.count, 4);
    EXPECT_LE(ticks.count, 8);
    EXPECT_LE(ticks.Min(), std::min(c.min, c.max));
    EXPECT_GE(ticks.Max(), std::max(c.min, c.max));
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NiceTicksTable,
    ::testing::Values(TickCase{"Bars", 0, 1677.9, {0, 250, 500, 750, 1000, 1250, 1500, 1750}},
                      TickCase{"EndOnATick", 0, 1000, {0, 200, 400, 600, 800, 1000}},
                      TickCase{"Unit", 0, 1, {0, 0.2, 0.4, 0.6, 0.8, 1}},
                      TickCase{"Zero", 0, 0, {0, 0.2, 0.4, 0.6, 0.8, 1}},
                      TickCase{"OneValueAgainstZero", 42, 42, {0, 10, 20, 30, 40, 50}},
                      TickCase{"OneNegativeValue", -3, -3, {-3, -2.5, -2, -1.5, -1, -0.5, 0}},
                      TickCase{"Negative", -50, 120, {-50, -25, 0, 25, 50, 75, 100, 125}},
                      TickCase{"AllNegative", -980, -20, {-1000, -800, -600, -400, -200, 0}},
                      TickCase{"Reversed", 1000, 0, {0, 200, 400, 600, 800, 1000}},
                      TickCase{"Tiny", 0, 0.0003, {0, 0.00005, 0.0001, 0.00015, 0.0002, 0.00025, 0.0003}},
                      TickCase{"DecimalSteps", 0.1, 0.7, {0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7}},
                      TickCase{"Offset", 1177.9, 1234.5, {1170, 1180, 1190, 1200, 1210, 1220, 1230, 1240}},
                      TickCase{"Huge", 0, 3.2e12, {0, 5e11, 1e12, 1.5e12, 2e12, 2.5e12, 3e12, 3.5e12}},
                      TickCase{"Ranks", 0, 17, {0, 2.5, 5, 7.5, 10, 12.5, 15, 17.5}}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(NiceTicks, EveryRangeGetsFourToEightTicksThatCoverIt) {
    for (double max = 0.013; max < 1e9; max *= 1.37) {
        for (const double min : {0.0, -max / 3, max / 2}) {
            const AxisTicks ticks = NiceTicks(min, max);
            EXPECT_GE(ticks.count, 4) << min << ".." << max;
            EXPECT_LE(ticks.count, 8) << min << ".." << max;
            EXPECT_LE(ticks.Min(), min) << min << ".." << max;
            EXPECT_GE(ticks.Max(), max) << min << ".." << max;
            const double mantissa = ticks.step / std::pow(10.0, std::floor(std::log10(ticks.step)));
            EXPECT_TRUE(std::fabs(mantissa - 1) < 1e-9 || std::fabs(mantissa - 2) < 1e-9 ||
                        std::fabs(mantissa - 2.5) < 1e-9 || std::fabs(mantissa - 5) < 1e-9)
                << ticks.step;
        }
    }
}

TEST(NiceTicks, ALimitThatIsNotFiniteGivesTheUnitAxis) {
    const double infinity = std::numeric_limits<double>::infinity();
    const std::vector<double> unit{0, 0.2, 0.4, 0.6, 0.8, 1};
    EXPECT_EQ(NiceTicks(0, infinity).Values(), unit);
    EXPECT_EQ(NiceTicks(std::nan(""), 5).Values(), unit);
}

TEST(PercentTicks, RunZeroToHundredUnlessAValueLeavesIt) {
    EXPECT_EQ(PercentTicks(0, 99.5).Values(), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    EXPECT_EQ(PercentTicks(37, 37).Values(), (std::vector<double>{0, 20, 40, 60, 80, 100}));
    // A system hit ratio is negative when prefetch reads pages nobody asks for.
    EXPECT_EQ(PercentTicks(-12, 80).Values(), (std::vector<double>{-20, 0, 20, 40, 60, 80, 100}));
}

TEST(PercentTicks, ValuesThatWouldHideInTheBottomQuarterGetAnAxisOfTheirOwn) {
    struct Case {
        double min;
        double max;
        std::vector<double> percent;  // the ratios written as percent
        std::vector<double> fraction; // the same ratios divided by 100
    };
    const std::vector<Case> cases{
        {0, 25, {0, 20, 40, 60, 80, 100}, {0, 0.2, 0.4, 0.6, 0.8, 1}},
        {0, 24, {0, 5, 10, 15, 20, 25}, {0, 0.05, 0.1, 0.15, 0.2, 0.25}},
        {0, 3, {0, 0.5, 1, 1.5, 2, 2.5, 3}, {0, 0.005, 0.01, 0.015, 0.02, 0.025, 0.03}},
        {0, 0, {0, 20, 40, 60, 80, 100}, {0, 0.2, 0.4, 0.6, 0.8, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PercentTicks(c.min, c.max).Values(), c.percent) << c.max;
        const std::vector<double> fractions = FractionTicks(c.min / 100, c.max / 100).Values();
        ASSERT_EQ(fractions.size(), c.fraction.size()) << c.max;
        for (std::size_t i = 0; i < fractions.size(); ++i) {
            EXPECT_NEAR(fractions[i], c.fraction[i], 1e-12) << c.max;
        }
    }
    // The ratios of indexes below 95 % written as fractions fill their axis instead of lying flat
    // on a 0 to 100 one.
    ChartModel chart;
    chart.OpenData(ChartKind::Ranked, 2, 3);
    chart.series[0] = {0.866, 0.9, 0.916};
    chart.axisEnds = AxisEnds::Fraction;
    EXPECT_EQ(ValueAxisTicks(chart).Max(), 1);
}

TEST(BarValueText, ShowsAtMostThreeDecimalsGroupedLikeTheAxis) {
    const NumberStyle german{',', '.'};
    const std::vector<std::tuple<double, std::string, std::string>> cases{
        {12.4569, "12.457", "12,457"},
        {14.5, "14.5", "14,5"},
        {896242, "896,242", "896.242"},
        {3459.8, "3,459.8", "3.459,8"},
        {0, "0", "0"},
        {0.0004, "0", "0"},
        {-2.5, "-2.5", "-2,5"},
        {1234567.0005, "1,234,567.001", "1.234.567,001"},
    };
    for (const auto& [value, usa, germany] : cases) {
        EXPECT_EQ(BarValueText(value), usa);
        EXPECT_EQ(BarValueText(value, german), germany);
    }
}

TEST(ValueAxisTicks, FollowTheChartsLimitsOrItsValues) {
    ChartModel chart;
    chart.OpenData(ChartKind::Ranked, 2, 3);
    chart.series[0] = {5, 17, 3};
    EXPECT_EQ(ValueAxisTicks(chart).Max(), 17.5);
    chart.series[0] = {-5, 17, 3};
    EXPECT_EQ(ValueAxisTicks(chart).Min(), -5);
    chart.axisMin = 0;
    chart.axisMax = 1677.9;
    EXPECT_EQ(ValueAxisTicks(chart).Max(), 1750);
    chart.axisEnds = AxisEnds::Percent;
    chart.axisMax = 99.1;
    EXPECT_EQ(ValueAxisTicks(chart).Max(), 100);
    chart.OpenData(ChartKind::Curve, 1, 2);
    EXPECT_EQ(chart.axisEnds, AxisEnds::Extend);
    chart.xValues = {500, 4000};
    chart.series[0] = {91, 93};
    EXPECT_EQ(XAxisTicks(chart).Values(), (std::vector<double>{500, 1000, 1500, 2000, 2500, 3000, 3500, 4000}));
    EXPECT_EQ(ValueAxisTicks(chart).Values(), (std::vector<double>{91, 91.5, 92, 92.5, 93}));
}

struct LabelCase {
    const char* name;
    double min;
    double max;
    NumberStyle style;
    std::vector<std::string> labels;
};

class TickLabelsTable : public ::testing::TestWithParam<LabelCase> {};

TEST_P(TickLabelsTable, WholeTicksAreGroupedOthersShowTheFewestDecimals) {
    const LabelCase& c = GetParam();
    EXPECT_EQ(TickLabels(NiceTicks(c.min, c.max), c.style), c.labels);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, TickLabelsTable,
    ::testing::Values(
        LabelCase{"Whole", 0, 1677.9, {}, {"0", "250", "500", "750", "1,000", "1,250", "1,500", "1,750"}},
        LabelCase{"CommaLocale", 0, 3000, {',', '.'}, {"0", "500", "1.000", "1.500", "2.000", "2.500", "3.000"}},
        LabelCase{"NoGrouping", 0, 3000, {'.', Separator{}}, {"0", "500", "1000", "1500", "2000", "2500", "3000"}},
        LabelCase{"Halves", -3, 0, {}, {"-3.0", "-2.5", "-2.0", "-1.5", "-1.0", "-0.5", "0.0"}},
        LabelCase{"Quarters", 0, 1.6, {',', '.'}, {"0,00", "0,25", "0,50", "0,75", "1,00", "1,25", "1,50", "1,75"}},
        LabelCase{"Huge", 0, 3e15, {}, {"0", "500000000000000", "1E+15", "1.5E+15", "2E+15", "2.5E+15", "3E+15"}}),
    [](const auto& param) { return std::string(param.param.name); });

} // namespace
} // namespace ornexa
