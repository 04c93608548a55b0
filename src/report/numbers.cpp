#include "report/numbers.h"

#include <array>
#include <charconv>
#include <cmath>
#include <limits>

namespace ornexa {

std::string_view Describe(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::TypeMismatch:
        return "Type mismatch";
    case ReadFailure::Overflow:
        return "Overflow";
    case ReadFailure::SubscriptOutOfRange:
        return "Subscript out of range";
    case ReadFailure::InputPastEnd:
        return "Input past end of file";
    }
    return "Unknown failure";
}

namespace {

constexpr bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Longest number text the parser copies; longer digit runs than any field of a report are refused.
constexpr std::size_t MaxNumberChars = 64;

} // namespace

Converted<double> TextToDouble(std::string_view text, NumberStyle style) {
    // Normalise into a buffer that std::from_chars understands: [-]digits[.digits][e[-]digits].
    std::array<char, MaxNumberChars> buf{};
    std::size_t n = 0;
    const auto put = [&](char c) {
        if (n >= buf.size()) {
            return false;
        }
        buf[n++] = c;
        return true;
    };

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
        if (IsDigit(c)) {
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
        for (; i < len && IsDigit(text[i]); ++i) {
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
        if (j >= len || !IsDigit(text[j]) || !put('e') || (negative && !put('-'))) {
            return ReadFailure::TypeMismatch;
        }
        for (; j < len && IsDigit(text[j]); ++j) {
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
        // from_chars reports underflow the same way; a tiny value is zero, a huge one an overflow.
        const bool hugeExponent = std::string_view(buf.data(), n).find("e-") == std::string_view::npos;
        if (hugeExponent) {
            return ReadFailure::Overflow;
        }
        return 0.0;
    }
    if (ec != std::errc{} || end != buf.data() + n || !std::isfinite(value)) {
        return ReadFailure::TypeMismatch;
    }
    return value;
}

namespace {

// Nearest integer, ties to the even neighbour: adding and taking away 2^52 leaves no fraction
// bits, and the addition rounds as the default floating-point mode does. Larger magnitudes are
// whole already.
double RoundHalfEven(double value) {
    constexpr double twoTo52 = 4503599627370496.0;
    if (!(std::fabs(value) < twoTo52)) {
        return value;
    }
    const double shift = std::copysign(twoTo52, value);
    const double rounded = (value + shift) - shift;
    return rounded == 0 ? std::copysign(0.0, value) : rounded;
}

template <class Int> Converted<Int> RoundToRange(double value) {
    if (!std::isfinite(value)) {
        return ReadFailure::Overflow;
    }
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return ReadFailure::Overflow;
    }
    return static_cast<Int>(rounded);
}

} // namespace

Converted<std::int16_t> DoubleToInteger(double value) {
    return RoundToRange<std::int16_t>(value);
}
Converted<std::int32_t> DoubleToLong(double value) {
    return RoundToRange<std::int32_t>(value);
}

} // namespace ornexa
