#include "report/number_format.h"

#include <array>
#include <charconv>
#include <cmath>

#include "report/fixed_text.h"

namespace ornexa {

std::string PlainText(std::int64_t value) {
    return std::to_string(value);
}

std::string PlainText(double value, NumberStyle style) {
    if (value == 0) {
        return "0"; // also for -0
    }
    std::array<char, 64> buf{};
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::general, 15);
    std::string text;
    for (const char* c = buf.data(); c != result.ptr; ++c) {
        if (*c == '.') {
            text += style.decimal.Text();
        } else {
            text += *c == 'e' ? 'E' : *c;
        }
    }
    return text;
}

namespace {
std::string WithSignPlace(bool negative, const std::string& plain) {
    std::string text(negative ? 0 : 1, ' ');
    text += plain;
    return text;
}
} // namespace

std::string StrText(std::int64_t value) {
    return WithSignPlace(value < 0, PlainText(value));
}

std::string StrText(double value, NumberStyle style) {
    return WithSignPlace(value < 0, PlainText(value, style));
}

namespace {

struct Picture {
    std::string_view prefix;
    std::string_view suffix;
    bool grouping = false;
    bool percent = false;
    int minWhole = 0;    // count of '0' in the whole part
    int decimals = 0;    // digit places after '.'
    int minDecimals = 0; // leading '0' places after '.'
};

constexpr bool IsPictureChar(char c) {
    return c == '#' || c == '0' || c == ',' || c == '.';
}

Picture ParsePicture(std::string_view text) {
    Picture p;
    std::size_t begin = 0;
    while (begin < text.size() && !IsPictureChar(text[begin])) {
        ++begin;
    }
    std::size_t end = begin;
    while (end < text.size() && IsPictureChar(text[end])) {
        ++end;
    }
    p.prefix = text.substr(0, begin);
    p.suffix = text.substr(end);
    p.percent = p.suffix.find('%') != std::string_view::npos;
    bool fraction = false;
    bool optionalSeen = false;
    for (const char c : text.substr(begin, end - begin)) {
        if (c == '.') {
            fraction = true;
        } else if (!fraction) {
            p.grouping = p.grouping || c == ',';
            p.minWhole += c == '0' ? 1 : 0;
        } else if (c == '0' || c == '#') {
            ++p.decimals;
            optionalSeen = optionalSeen || c == '#';
            p.minDecimals += (c == '0' && !optionalSeen) ? 1 : 0;
        }
    }
    return p;
}

// Adds one unit at the last digit of `digits`; returns true when a carry runs out of the front.
bool IncrementDecimal(std::string& digits) {
    for (std::size_t i = digits.size(); i-- > 0;) {
        char& digit = digits[i];
        if (digit != '9') {
            ++digit;
            return false;
        }
        digit = '0';
    }
    return true;
}

} // namespace

std::string FormatPicture(double value, std::string_view picture, NumberStyle style) {
    const Picture p = ParsePicture(picture);
    if (p.percent) {
        value *= 100;
    }
    if (!std::isfinite(value)) {
        return std::string(p.prefix) + PlainText(value, style) + std::string(p.suffix);
    }
    // Shortest fixed text that reads back as the same Double, then rounded in decimal.
    std::array<char, 400> buf{};
    const auto result = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value), std::chars_format::fixed);
    const std::string_view fixed(buf.data(), static_cast<std::size_t>(result.ptr - buf.data()));
    const auto dot = fixed.find('.');
    std::string whole(fixed.substr(0, dot));
    std::string frac(dot == std::string_view::npos ? std::string_view{} : fixed.substr(dot + 1));

    const auto places = static_cast<std::size_t>(p.decimals);
    if (frac.size() > places) {
        const bool roundUp = frac[places] >= '5';
        frac.resize(places);
        if (roundUp) {
            std::string digits = whole + frac;
            if (IncrementDecimal(digits)) {
                digits.insert(digits.begin(), '1');
            }
            whole = digits.substr(0, digits.size() - places);
            frac = digits.substr(digits.size() - places);
        }
    }
    frac.resize(places, '0');
    while (frac.size() > static_cast<std::size_t>(p.minDecimals) && frac.back() == '0') {
        frac.pop_back();
    }
    const auto firstNonZero = whole.find_first_not_of('0');
    whole = firstNonZero == std::string::npos ? std::string{} : whole.substr(firstNonZero);
    const bool isZero = whole.empty() && frac.find_first_not_of('0') == std::string::npos;
    if (whole.size() < static_cast<std::size_t>(p.minWhole)) {
        whole.insert(0, static_cast<std::size_t>(p.minWhole) - whole.size(), '0');
    }
    if (p.grouping && !style.grouping.Empty() && whole.size() > 3) {
        std::string grouped;
        grouped.reserve(whole.size() + whole.size() / 3);
        for (std::size_t i = 0; i < whole.size(); ++i) {
            if (i > 0 && (whole.size() - i) % 3 == 0) {
                grouped += style.grouping.Text();
            }
            grouped += whole[i];
        }
        whole = std::move(grouped);
    }

    std::string text(p.prefix);
    if (value < 0 && !isZero) {
        text += '-';
    }
    text += whole;
    if (!frac.empty() || p.minDecimals > 0) {
        text += style.decimal.Text();
        text += frac;
    }
    text += p.suffix;
    return text;
}

std::string FormatReadBack(double value, std::string_view picture, NumberStyle style) {
    const std::string shown = FormatPicture(value, picture, style);
    const Converted<double> back = TextToDouble(shown, style);
    return std::string(TrimBlanks(StrText(back ? back.Value() : 0.0, style)));
}

} // namespace ornexa
