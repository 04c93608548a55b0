#include "report/numbers.h"

#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
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

// The characters of a number text as the parser sees them: as written, or with every period from
// an index on read as a comma.
struct PlainChars {
    std::string_view text;
    [[nodiscard]] std::string_view Bytes() const { return text; }
    [[nodiscard]] char operator[](std::size_t i) const { return text[i]; }
    [[nodiscard]] std::size_t size() const { return text.size(); }
};

struct CommaPeriodChars {
    std::string_view text;
    std::size_t commaPeriodsFrom;
    [[nodiscard]] std::string_view Bytes() const { return text; }
    [[nodiscard]] char operator[](std::size_t i) const {
        const char c = text[i];
        return c == '.' && i >= commaPeriodsFrom ? ',' : c;
    }
    [[nodiscard]] std::size_t size() const { return text.size(); }
};

// The separators of a style, found in the text: the length of the one at `from`, 0 for none (and
// always 0 for a style without that separator).
class StyleSeparators {
public:
    explicit StyleSeparators(NumberStyle style) : style_(style) {}
    template <class Chars> [[nodiscard]] std::size_t GroupingAt(const Chars& text, std::size_t from) const {
        return At(text, from, style_.grouping);
    }
    template <class Chars> [[nodiscard]] std::size_t DecimalAt(const Chars& text, std::size_t from) const {
        return At(text, from, style_.decimal);
    }

private:
    template <class Chars> static std::size_t At(const Chars& text, std::size_t from, const Separator& separator) {
        const std::string_view s = separator.Text();
        if (s.empty() || text.size() - from < s.size()) {
            return 0;
        }
        for (std::size_t k = 0; k < s.size(); ++k) {
            if (text[from + k] != s[k]) {
                return 0;
            }
        }
        return s.size();
    }
    NumberStyle style_;
};

// A style of one-byte separators (every report, most locales), kept in registers.
class ByteSeparators {
public:
    ByteSeparators(char decimal, std::optional<char> grouping)
        : decimal_(decimal), grouping_(grouping.value_or('\0')), hasGrouping_(grouping.has_value()) {}
    template <class Chars> [[nodiscard]] std::size_t GroupingAt(const Chars& text, std::size_t from) const {
        return hasGrouping_ && from < text.size() && text[from] == grouping_ ? 1 : 0;
    }
    template <class Chars> [[nodiscard]] std::size_t DecimalAt(const Chars& text, std::size_t from) const {
        return from < text.size() && text[from] == decimal_ ? 1 : 0;
    }

private:
    char decimal_;
    char grouping_;
    bool hasGrouping_;
};

// The separators of a report's style, known when compiled.
template <char Decimal, char Grouping> struct FixedSeparators {
    template <class Chars> [[nodiscard]] std::size_t GroupingAt(const Chars& text, std::size_t from) const {
        return from < text.size() && text[from] == Grouping ? 1 : 0;
    }
    template <class Chars> [[nodiscard]] std::size_t DecimalAt(const Chars& text, std::size_t from) const {
        return from < text.size() && text[from] == Decimal ? 1 : 0;
    }
};

// Writes the text the general conversion hands to std::from_chars, [-]digits[.digits][e[-]digits],
// into a buffer of its caller's: its count stays apart from the characters, so that it stays in a
// register.
class NormalisedText {
public:
    explicit NormalisedText(std::array<char, MaxNumberChars>& buf) : buf_(buf) {}
    // Appends c; false when the text is full.
    bool Put(char c) {
        if (n_ >= buf_.size()) {
            return false;
        }
        buf_[n_++] = c;
        return true;
    }
    [[nodiscard]] std::string_view Text() const { return {buf_.data(), n_}; }

private:
    std::array<char, MaxNumberChars>& buf_;
    std::size_t n_ = 0;
};

// Normalises the sign, the digits with their grouping and the decimal part from `i` on; false when
// the text is not a number or too long. Leaves `i` after the last character taken.
template <class Chars, class Separators>
[[gnu::always_inline]] inline bool NormaliseDigits(const Chars& text, const Separators& separators, std::size_t& i,
                                                   NormalisedText& out) {
    const std::size_t len = text.size();
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-' && !out.Put('-')) {
            return false;
        }
        ++i;
    }
    std::size_t digits = 0;
    while (i < len) {
        const char c = text[i];
        if (IsDigit(c)) {
            if (!out.Put(c)) {
                return false;
            }
            ++digits;
            ++i;
        } else if (const std::size_t grouping = digits > 0 ? separators.GroupingAt(text, i) : 0; grouping > 0) {
            i += grouping;
        } else {
            break;
        }
    }
    if (const std::size_t decimal = separators.DecimalAt(text, i); decimal > 0) {
        i += decimal;
        if (!out.Put('.')) {
            return false;
        }
        for (; i < len && IsDigit(text[i]); ++i) {
            if (!out.Put(text[i])) {
                return false;
            }
            ++digits;
        }
    }
    return digits > 0;
}

// Where an exponent starts at `i`: 'e' or 'E', a sign perhaps, then at least one digit.
struct ExponentStart {
    bool present = false; // an 'e' or 'E' at `i`
    bool hasDigits = false;
    bool negative = false;
    std::size_t digitsFrom = 0;
};

template <class Chars> [[gnu::always_inline]] inline ExponentStart ExponentAt(const Chars& text, std::size_t i) {
    const std::size_t len = text.size();
    if (i >= len || (text[i] != 'e' && text[i] != 'E')) {
        return {};
    }
    std::size_t j = i + 1;
    const bool negative = j < len && text[j] == '-';
    if (j < len && (text[j] == '+' || text[j] == '-')) {
        ++j;
    }
    return {true, j < len && IsDigit(text[j]), negative, j};
}

// Normalises an exponent at `i`, if there is one; false when it has no digits or the text gets too
// long. Leaves `i` after it.
template <class Chars>
[[gnu::always_inline]] inline bool NormaliseExponent(const Chars& text, std::size_t& i, NormalisedText& out) {
    const ExponentStart start = ExponentAt(text, i);
    if (!start.present) {
        return true;
    }
    if (!start.hasDigits || !out.Put('e') || (start.negative && !out.Put('-'))) {
        return false;
    }
    std::size_t j = start.digitsFrom;
    for (; j < text.size() && IsDigit(text[j]); ++j) {
        if (!out.Put(text[j])) {
            return false;
        }
    }
    i = j;
    return true;
}

// The value of a normalised text, rounded by std::from_chars.
[[gnu::always_inline]] inline Converted<double> ConvertNormalised(const NormalisedText& normalised) {
    const std::string_view text = normalised.Text();
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // from_chars reports underflow the same way; a tiny value is zero, a huge one an overflow.
        const bool hugeExponent = text.find("e-") == std::string_view::npos;
        if (hugeExponent) {
            return ReadFailure::Overflow;
        }
        return 0.0;
    }
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value)) {
        return ReadFailure::TypeMismatch;
    }
    return value;
}

// The general conversion: normalise into a buffer that std::from_chars understands,
// [-]digits[.digits][e[-]digits], and let it round.
template <class Chars, class Separators>
Converted<double> NormaliseAndConvert(const Chars& text, const Separators& separators) {
    std::array<char, MaxNumberChars> buf{};
    NormalisedText normalised(buf);
    std::size_t i = 0;
    const std::size_t len = text.size();
    while (i < len && text[i] == ' ') {
        ++i;
    }
    if (!NormaliseDigits(text, separators, i, normalised) || !NormaliseExponent(text, i, normalised)) {
        return ReadFailure::TypeMismatch;
    }
    while (i < len && text[i] == ' ') {
        ++i;
    }
    if (i != len) {
        return ReadFailure::TypeMismatch;
    }
    return ConvertNormalised(normalised);
}

// Index of the first character at or after `i` that is not a blank, eight characters at a time:
// fields are right-aligned in wide columns.
std::size_t SkipBlanks(std::string_view text, std::size_t i) {
    constexpr std::uint64_t blanks = 0x2020202020202020U;
    while (text.size() - i >= sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, text.data() + i, sizeof word);
        if constexpr (std::endian::native == std::endian::little) {
            const std::uint64_t other = word ^ blanks; // non-zero bytes are the characters that are not blanks
            if (other != 0) {
                return i + static_cast<std::size_t>(std::countr_zero(other)) / 8;
            }
        } else if (word != blanks) {
            break;
        }
        i += sizeof(std::uint64_t);
    }
    while (i < text.size() && text[i] == ' ') {
        ++i;
    }
    return i;
}

// Powers of ten a double holds exactly.
constexpr std::array<double, 23> ExactPowersOfTen = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                     1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                     1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int MaxExactScale = 22;
constexpr std::uint64_t MaxExactMantissa = std::uint64_t{1} << 53;
// Below this, ten times the digits so far and one more digit fit 64 bits; beyond it the number is
// far from exact.
constexpr std::uint64_t MantissaLimit = 1000000000000000000U;
// An exponent beyond this is far outside the exact range; its further digits need not be summed.
constexpr int ExponentCap = 100000;

// A number text read in one pass: refused, or its digits and power of ten, exact when both are
// exact in a double (digits at most 2^53, a power of ten of at most 22). Accepts and refuses
// exactly what the general conversion does, its 64-character limit on the normalised text
// included.
struct ScannedNumber {
    std::optional<ReadFailure> failure;
    bool exact = false;
    bool negative = false;
    int scale = 0;
    std::uint64_t mantissa = 0;
};

// The digits of a number text as one integer, as long as ten times it and one more digit fit.
struct MantissaDigits {
    std::uint64_t value = 0;
    bool manyDigits = false; // digits beyond the limit, not taken
    [[gnu::always_inline]] void Take(unsigned digit) {
        if (value < MantissaLimit) {
            value = value * 10 + digit;
        } else {
            manyDigits = true;
        }
    }
};

// The whole part from `i` on: digits with the style's grouping between them. Leaves `i` after them
// and returns how many digits there were.
template <class Chars, class Separators>
[[gnu::always_inline]] inline std::size_t ScanWholeDigits(const Chars& text, const Separators& separators,
                                                          std::size_t& i, MantissaDigits& mantissa) {
    const std::size_t len = text.size();
    const std::size_t wholeFrom = i;
    std::size_t groupingBytes = 0;
    while (i < len) {
        if (const auto digit = static_cast<unsigned char>(text[i] - '0'); digit < 10) {
            mantissa.Take(digit);
            ++i;
        } else if (const std::size_t grouping = i > wholeFrom ? separators.GroupingAt(text, i) : 0; grouping > 0) {
            i += grouping;
            groupingBytes += grouping;
        } else {
            break;
        }
    }
    return i - wholeFrom - groupingBytes;
}

// The fraction digits from `i` on. Leaves `i` after them and returns how many there were.
template <class Chars>
[[gnu::always_inline]] inline std::size_t ScanFractionDigits(const Chars& text, std::size_t& i,
                                                             MantissaDigits& mantissa) {
    const std::size_t len = text.size();
    const std::size_t fractionFrom = i;
    for (; i < len; ++i) {
        const auto digit = static_cast<unsigned char>(text[i] - '0');
        if (digit >= 10) {
            break;
        }
        mantissa.Take(digit);
    }
    return i - fractionFrom;
}

// An exponent at `i`, if there is one, into `exponent`, counting the characters the general
// conversion would put into its buffer; false for an exponent without digits. Leaves `i` after it.
// Written out rather than built on ExponentAt: that costs the reader's every field a few percent.
template <class Chars>
[[gnu::always_inline]] inline bool ScanExponent(const Chars& text, std::size_t& i, int& exponent,
                                                std::size_t& normalised) {
    const std::size_t len = text.size();
    if (i >= len || (text[i] != 'e' && text[i] != 'E')) {
        return true;
    }
    std::size_t j = i + 1;
    const bool negativeExponent = j < len && text[j] == '-';
    if (j < len && (text[j] == '+' || text[j] == '-')) {
        ++j;
    }
    if (j >= len || !IsDigit(text[j])) {
        return false;
    }
    normalised += negativeExponent ? 2 : 1;
    for (; j < len && IsDigit(text[j]); ++j) {
        ++normalised;
        if (exponent < ExponentCap) {
            exponent = exponent * 10 + (text[j] - '0');
        }
    }
    exponent = negativeExponent ? -exponent : exponent;
    i = j;
    return true;
}

// Inlined into each caller, so that what it finds stays in registers.
template <class Chars, class Separators>
[[gnu::always_inline]] inline ScannedNumber ScanNumber(const Chars& text, const Separators& separators) {
    const std::size_t len = text.size();
    std::size_t i = SkipBlanks(text.Bytes(), 0); // a blank is never read as another character
    bool negative = false;
    std::size_t normalised = 0; // characters the general conversion would put into its buffer
    if (i < len && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        normalised += negative ? 1 : 0;
        ++i;
    }
    MantissaDigits mantissa;
    std::size_t digits = ScanWholeDigits(text, separators, i, mantissa);
    int fraction = 0;
    if (const std::size_t decimal = separators.DecimalAt(text, i); decimal > 0) {
        i += decimal;
        ++normalised;
        const std::size_t fractionDigits = ScanFractionDigits(text, i, mantissa);
        fraction = static_cast<int>(fractionDigits);
        digits += fractionDigits;
    }
    if (digits == 0) {
        return {ReadFailure::TypeMismatch};
    }
    normalised += digits;
    int exponent = 0;
    if (!ScanExponent(text, i, exponent, normalised)) {
        return {ReadFailure::TypeMismatch};
    }
    while (i < len && text[i] == ' ') {
        ++i;
    }
    if (i != len || normalised > MaxNumberChars) {
        return {ReadFailure::TypeMismatch};
    }
    const int scale = exponent - fraction;
    const bool exact =
        !mantissa.manyDigits && mantissa.value <= MaxExactMantissa && scale >= -MaxExactScale && scale <= MaxExactScale;
    return {std::nullopt, exact, negative, scale, mantissa.value};
}

// One multiplication or division of exact operands rounds correctly, to the value std::from_chars
// gives.
double ExactValue(const ScannedNumber& number) {
    auto value = static_cast<double>(number.mantissa);
    if (number.scale < 0) {
        value /= ExactPowersOfTen[static_cast<std::size_t>(-number.scale)];
    } else if (number.scale > 0) {
        value *= ExactPowersOfTen[static_cast<std::size_t>(number.scale)];
    }
    return number.negative ? -value : value;
}

template <class Chars, class Separators>
Converted<double> ParseNumber(const Chars& text, const Separators& separators) {
    const ScannedNumber number = ScanNumber(text, separators);
    if (number.failure) {
        return *number.failure;
    }
    return number.exact ? ExactValue(number) : NormaliseAndConvert(text, separators);
}

// The number rounded as DoubleToLong and DoubleToInteger do; a whole number that is exact needs no
// double: it is its digits.
template <class Int, class Chars, class Separators>
Converted<Int> ParseWholeNumber(const Chars& text, const Separators& separators) {
    const ScannedNumber number = ScanNumber(text, separators);
    if (number.failure) {
        return *number.failure;
    }
    if (number.exact && number.scale == 0) {
        const auto magnitude = static_cast<std::int64_t>(number.mantissa);
        const std::int64_t value = number.negative ? -magnitude : magnitude;
        if (value < std::numeric_limits<Int>::min() || value > std::numeric_limits<Int>::max()) {
            return ReadFailure::Overflow;
        }
        return static_cast<Int>(value);
    }
    const Converted<double> value = number.exact ? ExactValue(number) : NormaliseAndConvert(text, separators);
    if (!value) {
        return value.Failure();
    }
    return detail::RoundToRange<Int>(value.Value());
}

template <class Int>
Converted<Int> ReportTextToWhole(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom) {
    if (usaReport) {
        return ParseWholeNumber<Int>(PlainChars{text}, FixedSeparators<'.', ','>{});
    }
    if (text.size() > MaxNumberChars) {
        return ReadFailure::TypeMismatch;
    }
    return ParseWholeNumber<Int>(CommaPeriodChars{text, commaPeriodsFrom}, FixedSeparators<',', '.'>{});
}

} // namespace

Converted<double> TextToDouble(std::string_view text) {
    return ParseNumber(PlainChars{text}, FixedSeparators<'.', ','>{});
}

Converted<double> TextToDouble(std::string_view text, NumberStyle style) {
    const std::string_view decimal = style.decimal.Text();
    const std::string_view grouping = style.grouping.Text();
    if (decimal.size() == 1 && grouping.size() <= 1) {
        const auto groupingByte = grouping.empty() ? std::nullopt : std::optional<char>(grouping[0]);
        return ParseNumber(PlainChars{text}, ByteSeparators(decimal[0], groupingByte));
    }
    return ParseNumber(PlainChars{text}, StyleSeparators(style));
}

Converted<double> ReportTextToDouble(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom) {
    static_assert(ReportNumberStyle(true) == NumberStyle{'.', ','} &&
                  ReportNumberStyle(false) == NumberStyle{',', '.'});
    if (usaReport) {
        return ParseNumber(PlainChars{text}, FixedSeparators<'.', ','>{});
    }
    if (text.size() > MaxNumberChars) {
        return ReadFailure::TypeMismatch;
    }
    return ParseNumber(CommaPeriodChars{text, commaPeriodsFrom}, FixedSeparators<',', '.'>{});
}

Converted<std::int32_t> ReportTextToLong(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom) {
    return ReportTextToWhole<std::int32_t>(text, usaReport, commaPeriodsFrom);
}

Converted<std::int16_t> ReportTextToInteger(std::string_view text, bool usaReport, std::size_t commaPeriodsFrom) {
    return ReportTextToWhole<std::int16_t>(text, usaReport, commaPeriodsFrom);
}

} // namespace ornexa
