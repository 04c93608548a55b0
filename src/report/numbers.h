#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

namespace ornexa {

// The ways a conversion or a table access of a report read can fail. One byte, so that a
// Converted<Integer> or Converted<Long> is put together in registers rather than on the stack.
enum class ReadFailure : std::uint8_t {
    TypeMismatch,        // text that is not a number, an empty or blank field included
    Overflow,            // a value outside the range of its target type
    SubscriptOutOfRange, // a full pool or object table, a record that has no place
    InputPastEnd,        // a line missing at the end of the file
};

// The standard description shown for a failure ("Type mismatch", ...).
std::string_view Describe(ReadFailure failure);

// A value or the reason there is none. A plain aggregate, so it travels in registers on the
// reader's hot path.
template <class T> class Converted {
public:
    Converted(T value) : value_(value), ok_(true) {}      // NOLINT(google-explicit-constructor)
    Converted(ReadFailure failure) : failure_(failure) {} // NOLINT(google-explicit-constructor)

    [[nodiscard]] bool Ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    [[nodiscard]] T Value() const { return value_; }
    [[nodiscard]] ReadFailure Failure() const { return failure_; }

private:
    T value_{};
    ReadFailure failure_ = ReadFailure::TypeMismatch;
    bool ok_ = false;
};

// One separator character of a number text as UTF-8: a locale's group separator may be U+202F
// (fr_FR) or U+2019 (de_CH), several bytes; a locale may also have none. A value of at most four
// bytes, so that styles stay cheap to copy.
class Separator {
public:
    constexpr Separator() = default;
    constexpr Separator(char c) : bytes_{c}, size_(1) {} // NOLINT(google-explicit-constructor)

    // The first character of `utf8` (all of it up to four bytes); none for empty text.
    static constexpr Separator FromUtf8(std::string_view utf8) {
        Separator s;
        if (utf8.empty()) {
            return s;
        }
        const auto lead = static_cast<unsigned char>(utf8[0]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        s.size_ = static_cast<unsigned char>(length < utf8.size() ? length : utf8.size());
        for (std::size_t i = 0; i < s.size_; ++i) {
            s.bytes_[i] = utf8[i];
        }
        return s;
    }

    [[nodiscard]] constexpr std::string_view Text() const { return {bytes_.data(), size_}; }
    [[nodiscard]] constexpr bool Empty() const { return size_ == 0; }
    friend constexpr bool operator==(const Separator&, const Separator&) = default;

private:
    std::array<char, 4> bytes_{};
    unsigned char size_ = 0;
};

// Decimal and grouping characters of a number text, as UTF-8. A style without grouping
// character writes no grouping.
struct NumberStyle {
    Separator decimal = '.';
    Separator grouping = ',';
    friend constexpr bool operator==(const NumberStyle&, const NumberStyle&) = default;
};

// The style a report's numbers are written in: period for "USA", comma for any other country
// (after the period-to-comma adaptation), whatever the machine's locale.
constexpr NumberStyle ReportNumberStyle(bool usa) {
    return usa ? NumberStyle{'.', ','} : NumberStyle{',', '.'};
}

// A decimal number with optional blanks around it, an optional sign, grouping characters in the
// whole part, a fraction and an exponent. Blank or empty text is a type mismatch; a value beyond
// the range of a Double is an overflow.
Converted<double> TextToDouble(std::string_view text, NumberStyle style);
// The same in the period style (NumberStyle{}), the style of reports from the USA and of the
// program's own files.
Converted<double> TextToDouble(std::string_view text);

// A number of a report, in the style of its country: for the USA as TextToDouble in the period
// style. Elsewhere in the comma style, with every period at index `commaPeriodsFrom` or later
// read as a comma first (the host writes decimal points as periods in the numeric columns); there
// text longer than 64 characters is a type mismatch.
Converted<double> ReportTextToDouble(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom);
// A Long or Integer field of a report: ReportTextToDouble rounded by DoubleToLong or
// DoubleToInteger, the same values and failures, a whole number read without a double.
Converted<std::int32_t> ReportTextToLong(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom);
Converted<std::int16_t> ReportTextToInteger(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom);

namespace detail {

// Nearest integer, ties to the even neighbour: adding and taking away 2^52 leaves no fraction
// bits, and the addition rounds as the default floating-point mode does. Every magnitude from 2^52
// on (and what is not finite) lies beyond the range of Int.
template <class Int> Converted<Int> RoundToRange(double value) {
    static_assert(sizeof(Int) <= sizeof(std::int32_t));
    constexpr double twoTo52 = 4503599627370496.0;
    if (!(std::fabs(value) < twoTo52)) {
        return ReadFailure::Overflow;
    }
    const double shift = std::copysign(twoTo52, value);
    const double rounded = (value + shift) - shift;
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return ReadFailure::Overflow;
    }
    return static_cast<Int>(rounded);
}

} // namespace detail

// Round to the nearest integer, ties to the even neighbour, and check the 16-bit or 32-bit range.
// Inline: every Integer and Long field of a read passes here.
inline Converted<std::int16_t> DoubleToInteger(double value) {
    return detail::RoundToRange<std::int16_t>(value);
}
inline Converted<std::int32_t> DoubleToLong(double value) {
    return detail::RoundToRange<std::int32_t>(value);
}

} // namespace ornexa
