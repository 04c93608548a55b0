// The number conversion against the conversion it replaced (kept below as the reference): every
// text, style and column gives the same double, bit for bit, or the same failure.
#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "report/column_tables.h"
#include "report/field_conversion.h"
#include "report/numbers.h"

namespace ornexa {
namespace {

// The earlier conversion: the text normalised into a buffer of at most 64 characters for
// std::from_chars.
Converted<double> ReferenceTextToDouble(std::string_view text, NumberStyle style) {
    std::array<char, 64> buf{};
    std::size_t n = 0;
    const auto put = [&](char c) {
        if (n >= buf.size()) {
            return false;
        }
        buf[n++] = c;
        return true;
    };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t i = 0;
    const std::size_t len = text.size();
    while (i < len && text[i] == ' ') {
        ++i;
    }
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-' && !put('-')) {
            return ReadFailure::TypeMismatch;
        }
        ++i;
    }
    const auto at = [&](std::size_t from, const Separator& separator) {
        return !separator.Empty() && text.substr(from).starts_with(separator.Text());
    };
    std::size_t digits = 0;
    while (i < len) {
        const char c = text[i];
        if (isDigit(c)) {
            if (!put(c)) {
                return ReadFailure::TypeMismatch;
            }
            ++digits;
            ++i;
        } else if (digits > 0 && at(i, style.grouping)) {
            i += style.grouping.Text().size();
        } else {
            break;
        }
    }
    if (at(i, style.decimal)) {
        i += style.decimal.Text().size();
        if (!put('.')) {
            return ReadFailure::TypeMismatch;
        }
        for (; i < len && isDigit(text[i]); ++i) {
            if (!put(text[i])) {
                return ReadFailure::TypeMismatch;
            }
            ++digits;
        }
    }
    if (digits == 0) {
        return ReadFailure::TypeMismatch;
    }
    if (i < len && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        const bool negative = j < len && text[j] == '-';
        if (j < len && (text[j] == '+' || text[j] == '-')) {
            ++j;
        }
        if (j >= len || !isDigit(text[j]) || !put('e') || (negative && !put('-'))) {
            return ReadFailure::TypeMismatch;
        }
        for (; j < len && isDigit(text[j]); ++j) {
            if (!put(text[j])) {
                return ReadFailure::TypeMismatch;
            }
        }
        i = j;
    }
    while (i < len && text[i] == ' ') {
        ++i;
    }
    if (i != len) {
        return ReadFailure::TypeMismatch;
    }
    double value = 0;
    const auto [end, ec] = std::from_chars(buf.data(), buf.data() + n, value);
    if (ec == std::errc::result_out_of_range) {
        if (std::string_view(buf.data(), n).find("e-") == std::string_view::npos) {
            return ReadFailure::Overflow;
        }
        return 0.0;
    }
    if (ec != std::errc{} || end != buf.data() + n || !std::isfinite(value)) {
        return ReadFailure::TypeMismatch;
    }
    return value;
}

// The earlier field number of a report from outside the USA: a copy with the periods beyond the
// name columns turned into commas, read in the comma style.
Converted<double> ReferenceFieldNumber(std::string_view text, int start, bool usa) {
    if (usa) {
        return ReferenceTextToDouble(text, ReportNumberStyle(true));
    }
    std::array<char, 64> adapted{};
    if (text.size() > adapted.size()) {
        return ReadFailure::TypeMismatch;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int columnNo = start + static_cast<int>(i);
        adapted[i] = (text[i] == '.' && columnNo > LastNameColumn) ? ',' : text[i];
    }
    return ReferenceTextToDouble(std::string_view(adapted.data(), text.size()), ReportNumberStyle(false));
}

// The earlier rounding of Integer and Long fields.
template <class Int> Converted<Int> ReferenceRoundToRange(double value) {
    if (!std::isfinite(value)) {
        return ReadFailure::Overflow;
    }
    double rounded = value;
    if (std::fabs(value) < 4503599627370496.0) {
        const double shift = std::copysign(4503599627370496.0, value);
        rounded = (value + shift) - shift;
        rounded = rounded == 0 ? std::copysign(0.0, value) : rounded;
    }
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return ReadFailure::Overflow;
    }
    return static_cast<Int>(rounded);
}

template <class Int> bool SameWhole(const Converted<Int>& got, const Converted<Int>& expected) {
    return got.Ok() == expected.Ok() &&
           (got.Ok() ? got.Value() == expected.Value() : got.Failure() == expected.Failure());
}

// Equal results: both failed the same way, or both gave the same bits (so -0.0 is not 0.0).
::testing::AssertionResult SameResult(const Converted<double>& got, const Converted<double>& expected) {
    if (got.Ok() != expected.Ok()) {
        return ::testing::AssertionFailure()
               << (got.Ok() ? "a value " + std::to_string(got.Value()) + " where the reference fails"
                            : "a failure where the reference gives " + std::to_string(expected.Value()));
    }
    if (!got.Ok()) {
        if (got.Failure() != expected.Failure()) {
            return ::testing::AssertionFailure()
                   << "failure " << Describe(got.Failure()) << " instead of " << Describe(expected.Failure());
        }
        return ::testing::AssertionSuccess();
    }
    if (std::bit_cast<std::uint64_t>(got.Value()) != std::bit_cast<std::uint64_t>(expected.Value())) {
        char a[32];
        char b[32];
        std::snprintf(a, sizeof a, "%.17g", got.Value());
        std::snprintf(b, sizeof b, "%.17g", expected.Value());
        return ::testing::AssertionFailure() << a << " instead of " << b;
    }
    return ::testing::AssertionSuccess();
}

const std::vector<NumberStyle>& Styles() {
    static const std::vector<NumberStyle> styles{
        ReportNumberStyle(true),
        ReportNumberStyle(false),
        {'.', Separator()},                                                  // no grouping
        {',', ' '},                                                          // blanks group digits
        {'.', '.'},                                                          // one character for both
        {Separator::FromUtf8(","), Separator::FromUtf8("\u202F")},           // fr_FR
        {Separator::FromUtf8("."), Separator::FromUtf8("\u2019")},           // de_CH
        {Separator::FromUtf8("\u066B"), Separator::FromUtf8("\u066C")},      // two-byte decimal
        {Separator::FromUtf8("\xF0\x9F\x98\x80"), Separator::FromUtf8(",")}, // four bytes
    };
    return styles;
}

TEST(NumberParsing, TrickyTextsReadAsBefore) {
    const std::vector<std::string> texts{
        "",
        " ",
        "          ",
        "0",
        "-0",
        "+0",
        "-0.0",
        "-.0",
        "0.",
        ".0",
        ".",
        "-",
        "+",
        "+-1",
        "--1",
        "1.",
        ".5",
        "-.5",
        "3.",
        "  42  ",
        "42 ",
        " 42",
        "4 2",
        "1,2,3",
        "1,,2",
        ",1",
        "1,",
        "1,.5",
        "1.,5",
        "1,234.5",
        "1.234,5",
        "1.2.3",
        "1,2,3.4,5",
        "0.5",
        "1.5",
        "2.5",
        "-2.5",
        "3.5",
        "0.05",
        "1e3",
        "1E3",
        "1e+3",
        "1e-3",
        "1e",
        "1e+",
        "1e-",
        "e5",
        ".e5",
        "1.e5",
        "1e5.5",
        "1e 5",
        "1 e5",
        "2.5e-1",
        "1e22",
        "1e23",
        "1e-22",
        "1e-23",
        "9007199254740992",
        "9007199254740993",
        "9007199254740991",
        "-9007199254740993",
        "90071992547409921",
        "900719925474099.3",
        "12345678901234567",
        "123456789012345678",
        "1234567890123456789",
        "12345678901234567890",
        "0.1",
        "0.2",
        "0.3",
        "0.30000000000000004",
        "123456.7890123456789",
        "0000000000000000000000000000001",
        "1.0000000000000000000000000000",
        "1e400",
        "-1e400",
        "1e-400",
        "-1e-400",
        "1e308",
        "1.7976931348623157e308",
        "1.7976931348623159e308",
        "4.9e-324",
        "2.4e-324",
        "2.5e-324",
        "1e00000000000000000000000003",
        "1e-0000000000000000000000003",
        "1e99999999999",
        "0e99999",
        "0e-99999",
        "-0e5",
        "12a",
        "a12",
        "0x10",
        "inf",
        "nan",
        "1\t",
        "\t1",
        "98.5",
        "98,5",
        "85.2",
        "74,4",
        "1\u202F234,5",
        "1\u2019234.5",
        "1\u066C234\u066B5",
        "\u066B5",
        "1\u202F",
        "12345678901234567890123456789012",
        std::string(63, '1'),
        std::string(64, '1'),
        std::string(65, '1'),
        "-" + std::string(63, '1'),
        "-" + std::string(64, '1'),
        std::string(62, '1') + ".",
        std::string(60, '1') + "e-12",
        std::string(59, '1') + "e-12",
        "1" + std::string(70, ',') + "2",
        std::string(100, ' ') + "5",
        "5" + std::string(100, ' '),
        "0." + std::string(70, '0') + "1",
        "32767.5",
        "-32768.5",
        "2147483647.5",
        // Blanks read eight at a time: runs of blanks on either side of a word.
        "       1",
        "        ",
        "         ",
        "12345678",
        "123456789",
        "-1234567",
        "   -0000",
        "  +12345",
        "1234567:",
        "1234567/",
        "/1234567",
        "0000000a",
        "1234 678",
        "12,45678",
        "1234.678",
        "  1.5e10",
        "           98765432",
        "       -  5",
        "        +",
        "1       ",
        std::string("\xB9") + "12345678",
        std::string(16, ' ') + "1" + std::string(16, ' '),
    };
    for (const NumberStyle& style : Styles()) {
        for (const std::string& text : texts) {
            EXPECT_TRUE(SameResult(TextToDouble(text, style), ReferenceTextToDouble(text, style)))
                << '"' << text << "\" decimal \"" << style.decimal.Text() << "\" grouping \"" << style.grouping.Text()
                << '"';
        }
    }
}

// Texts made of the pieces numbers are made of, in any order, and numbers of any length, grouping
// and exponent; one seed, so a failure repeats.
class RandomTexts {
public:
    explicit RandomTexts(std::uint32_t seed) : random_(seed) {}

    std::string Pieces() {
        static const std::array<std::string_view, 16> pieces{"0", "1", "5", "9", "7", " ",      "+",      "-",
                                                             ".", ",", "e", "E", "x", "\u202F", "\u066B", "00"};
        std::string text;
        for (int n = Below(12); n > 0; --n) {
            text += pieces[static_cast<std::size_t>(Below(static_cast<int>(pieces.size())))];
        }
        return text;
    }

    std::string Number(const NumberStyle& style) {
        std::string text(static_cast<std::size_t>(Below(4)), ' ');
        text += std::array<std::string_view, 4>{"", "", "-", "+"}[static_cast<std::size_t>(Below(4))];
        const int whole = Below(22);
        for (int d = 0; d < whole; ++d) {
            if (d > 0 && Below(5) == 0) {
                text += style.grouping.Text();
            }
            text += Digit();
        }
        if (Below(2) == 0) {
            text += style.decimal.Text();
            for (int d = Below(20); d > 0; --d) {
                text += Digit();
            }
        }
        if (Below(4) == 0) {
            text += Below(2) == 0 ? "e" : "E";
            text += std::array<std::string_view, 3>{"", "-", "+"}[static_cast<std::size_t>(Below(3))];
            text += std::to_string(Below(Below(2) == 0 ? 30 : 400));
        }
        text += std::string(static_cast<std::size_t>(Below(3)), ' ');
        return text;
    }

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }

private:
    char Digit() { return static_cast<char>('0' + (Below(3) == 0 ? 0 : Below(10))); }
    std::mt19937 random_;
};

TEST(NumberParsing, RandomTextsReadAsBefore) {
    RandomTexts random(20261208);
    for (int n = 0; n < 200000; ++n) {
        const NumberStyle& style = Styles()[static_cast<std::size_t>(random.Below(static_cast<int>(Styles().size())))];
        const std::string text = n % 3 == 0 ? random.Pieces() : random.Number(style);
        ASSERT_TRUE(SameResult(TextToDouble(text, style), ReferenceTextToDouble(text, style)))
            << '"' << text << "\" decimal \"" << style.decimal.Text() << "\" grouping \"" << style.grouping.Text()
            << '"';
    }
}

// A numeric field of a line: its number through ConvertField, into a Double.
Converted<double> FieldValue(std::string_view line, const ColumnDef& column, bool usa) {
    double value = -1;
    if (const auto failure = ConvertField(line, column, FieldRef(&value), usa)) {
        return *failure;
    }
    return value;
}

// The same field into a Long or an Integer.
template <class Int> Converted<Int> WholeFieldValue(std::string_view line, ColumnDef column, bool usa) {
    Int value = -1;
    column.Kind = std::is_same_v<Int, Long> ? FieldKind::L : FieldKind::I;
    if (const auto failure = ConvertField(line, column, FieldRef(&value), usa)) {
        return *failure;
    }
    return value;
}

TEST(NumberParsing, FieldsOnBothSidesOfTheNameColumnsReadAsBefore) {
    // Fields ending before, across and beyond column 57, where periods start to be decimal points.
    const std::array<ColumnDef, 6> columns{{
        {40, 10, FieldKind::D},
        {50, 8, FieldKind::D},
        {52, 10, FieldKind::D},
        {57, 10, FieldKind::D},
        {58, 6, FieldKind::D},
        {137, 6, FieldKind::D},
    }};
    const std::vector<std::string> texts{"85.2", "85,2",  "1.234.5", "1.234,5",  "1,234.5",   "  12.5", "12.5  ", ".5",
                                         "5.",   "1.2.3", "-0.0",    " 1234567", "12345.678", "1.0e3",  ""};
    RandomTexts random(57);
    for (const bool usa : {true, false}) {
        for (const ColumnDef& column : columns) {
            for (int n = 0; n < 3000; ++n) {
                const std::string text = n < static_cast<int>(texts.size()) ? texts[static_cast<std::size_t>(n)]
                                         : n % 2 == 0 ? random.Number(ReportNumberStyle(random.Below(2) == 0))
                                                      : random.Pieces();
                // Shifted within the field, blank-padded, and cut where the line ends early.
                const int before = column.Start - 1 + random.Below(4);
                const int end = column.End() + random.Below(3);
                const int cut = column.Start + random.Below(column.Length);
                std::string line(static_cast<std::size_t>(before), 'X');
                line += text;
                line.resize(static_cast<std::size_t>(end), ' ');
                if (n % 7 == 0) {
                    line.resize(static_cast<std::size_t>(cut));
                }
                const std::string_view field = FieldText(line, column);
                SCOPED_TRACE('"' + std::string(field) + "\" at column " + std::to_string(column.Start) +
                             (usa ? " (USA)" : ""));
                const Converted<double> expected = ReferenceFieldNumber(field, column.Start, usa);
                ASSERT_TRUE(SameResult(FieldValue(line, column, usa), expected));
                ASSERT_TRUE(SameWhole(WholeFieldValue<Long>(line, column, usa),
                                      expected ? ReferenceRoundToRange<Long>(expected.Value())
                                               : Converted<Long>(expected.Failure())));
                ASSERT_TRUE(SameWhole(WholeFieldValue<Integer>(line, column, usa),
                                      expected ? ReferenceRoundToRange<Integer>(expected.Value())
                                               : Converted<Integer>(expected.Failure())));
            }
        }
    }
}

TEST(NumberParsing, WholeNumbersRoundAsBefore) {
    std::vector<double> values{0.0,
                               -0.0,
                               0.5,
                               -0.5,
                               1.5,
                               2.5,
                               -2.5,
                               0.49999999999999994,
                               32767.5,
                               32767.49999999999,
                               -32768.5,
                               -32768.50000000001,
                               2147483647.5,
                               2147483647.4999998,
                               -2147483648.5,
                               -2147483648.5000005,
                               4503599627370495.5,
                               4503599627370496.0,
                               -4503599627370497.0,
                               1e300,
                               -1e300,
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::denorm_min(),
                               -std::numeric_limits<double>::denorm_min()};
    std::mt19937_64 random(53);
    for (int n = 0; n < 100000; ++n) {
        const double magnitude = std::ldexp(1.0, static_cast<int>(random() % 40));
        values.push_back(std::uniform_real_distribution<double>(-magnitude, magnitude)(random));
        values.push_back(std::round(values.back() * 2) / 2); // ties
    }
    for (const double value : values) {
        EXPECT_TRUE(SameWhole(DoubleToInteger(value), ReferenceRoundToRange<Integer>(value))) << value;
        EXPECT_TRUE(SameWhole(DoubleToLong(value), ReferenceRoundToRange<Long>(value))) << value;
    }
}

TEST(NumberParsing, WholeNumberFieldsRoundAndCheckTheirRangeAsBefore) {
    const std::vector<std::string> texts{"2.5",
                                         "3.5",
                                         "-2.5",
                                         "-0.5",
                                         "-0",
                                         "32767.4",
                                         "32767.5",
                                         "-32768.5",
                                         "-32768.6",
                                         "2147483647.5",
                                         "-2147483648",
                                         "-2147483649",
                                         "9999999999",
                                         "1e400",
                                         "1e-400",
                                         "4503599627370496.5",
                                         "0.49999999999999994",
                                         "abc",
                                         ""};
    const ColumnDef longColumn{1, 30, FieldKind::L};
    const ColumnDef integerColumn{1, 30, FieldKind::I};
    for (const std::string& text : texts) {
        const Converted<double> number = ReferenceTextToDouble(text, ReportNumberStyle(true));
        Long l = 7;
        const auto longFailure = ConvertField(text, longColumn, FieldRef(&l), true);
        const Converted<Long> expectedLong =
            number ? ReferenceRoundToRange<Long>(number.Value()) : Converted<Long>(number.Failure());
        EXPECT_EQ(longFailure.has_value(), !expectedLong.Ok()) << text;
        if (expectedLong) {
            EXPECT_EQ(l, expectedLong.Value()) << text;
        } else if (longFailure) {
            EXPECT_EQ(*longFailure, expectedLong.Failure()) << text;
        }
        Integer i = 7;
        const auto integerFailure = ConvertField(text, integerColumn, FieldRef(&i), true);
        const Converted<Integer> expectedInteger =
            number ? ReferenceRoundToRange<Integer>(number.Value()) : Converted<Integer>(number.Failure());
        EXPECT_EQ(integerFailure.has_value(), !expectedInteger.Ok()) << text;
        if (expectedInteger) {
            EXPECT_EQ(i, expectedInteger.Value()) << text;
        } else if (integerFailure) {
            EXPECT_EQ(*integerFailure, expectedInteger.Failure()) << text;
        }
    }
}

} // namespace
} // namespace ornexa
