#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace ornexa {

// The ways a conversion or a table access of a report read can fail.
enum class ReadFailure {
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

// Decimal and grouping characters of a number text.
struct NumberStyle {
    char decimal = '.';
    char grouping = ',';
    friend bool operator==(const NumberStyle&, const NumberStyle&) = default;
};

// The style a report's numbers are written in: period for "USA", comma for any other country
// (after the period-to-comma adaptation), whatever the machine's locale.
constexpr NumberStyle ReportNumberStyle(bool usa) {
    return usa ? NumberStyle{'.', ','} : NumberStyle{',', '.'};
}

// A decimal number with optional blanks around it, an optional sign, grouping characters in the
// whole part, a fraction and an exponent. Blank or empty text is a type mismatch; a value beyond
// the range of a Double is an overflow.
Converted<double> TextToDouble(std::string_view text, NumberStyle style = {});

// Round to the nearest integer, ties to the even neighbour, and check the 16-bit or 32-bit range.
Converted<std::int16_t> DoubleToInteger(double value);
Converted<std::int32_t> DoubleToLong(double value);

} // namespace ornexa
