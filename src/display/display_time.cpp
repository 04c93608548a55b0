#include "display/display_time.h"

#include <array>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace ornexa {

namespace {

constexpr std::int64_t SecondsPerDay = 86'400;
constexpr std::array<std::string_view, 12> MonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                         "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};

// A number of `digits` digits (at least one, at most `digits` when `exact` is false) at `at`; moves on.
std::optional<int> Digits(std::string_view text, std::size_t& at, std::size_t digits, bool exact = true) {
    std::size_t end = at;
    while (end < text.size() && end - at < digits && text[end] >= '0' && text[end] <= '9') {
        ++end;
    }
    if (end == at || (exact && end - at != digits)) {
        return std::nullopt;
    }
    int value = 0;
    std::from_chars(text.data() + at, text.data() + end, value);
    at = end;
    return value;
}

bool Take(std::string_view text, std::size_t& at, char c) {
    if (at < text.size() && text[at] == c) {
        ++at;
        return true;
    }
    return false;
}

void SkipBlanks(std::string_view text, std::size_t& at) {
    while (at < text.size() && text[at] == ' ') {
        ++at;
    }
}

std::optional<std::int64_t> Seconds(int year, int month, int day, int hour, int minute, int second) {
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                                           std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59) {
        return std::nullopt;
    }
    const auto days = std::chrono::sys_days{date}.time_since_epoch().count();
    return static_cast<std::int64_t>(days) * SecondsPerDay + std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 +
           second;
}

struct ClockTime {
    int hour = 0;
    int minute = 0;
    int second = 0;
};

std::optional<ClockTime> Clock(std::string_view text, std::size_t& at) {
    const auto h = Digits(text, at, 2);
    if (!h || !Take(text, at, ':')) {
        return std::nullopt;
    }
    const auto m = Digits(text, at, 2);
    if (!m || !Take(text, at, ':')) {
        return std::nullopt;
    }
    const auto s = Digits(text, at, 2);
    if (!s) {
        return std::nullopt;
    }
    return ClockTime{*h, *m, *s};
}

} // namespace

std::optional<std::int64_t> SinceSeconds(std::string_view text) {
    std::size_t at = 0;
    SkipBlanks(text, at);
    const auto clock = Clock(text, at);
    SkipBlanks(text, at);
    if (!clock || at + 3 > text.size()) {
        return std::nullopt;
    }
    int month = 0;
    for (std::size_t m = 0; m < MonthNames.size(); ++m) {
        if (text.substr(at, 3) == MonthNames[m]) {
            month = static_cast<int>(m) + 1;
        }
    }
    at += 3;
    SkipBlanks(text, at);
    const auto day = Digits(text, at, 2, false);
    if (month == 0 || !day || !Take(text, at, ',')) {
        return std::nullopt;
    }
    SkipBlanks(text, at);
    const auto year = Digits(text, at, 4);
    if (!year) {
        return std::nullopt;
    }
    return Seconds(*year, month, *day, clock->hour, clock->minute, clock->second);
}

std::optional<std::int64_t> StampSeconds(std::string_view text) {
    std::size_t at = 0;
    const auto year = Digits(text, at, 4);
    if (!year || !Take(text, at, '-')) {
        return std::nullopt;
    }
    const auto month = Digits(text, at, 2);
    if (!month || !Take(text, at, '-')) {
        return std::nullopt;
    }
    const auto day = Digits(text, at, 2);
    if (!day || !Take(text, at, ' ')) {
        return std::nullopt;
    }
    const auto clock = Clock(text, at);
    if (!clock || at != text.size()) {
        return std::nullopt;
    }
    return Seconds(*year, *month, *day, clock->hour, clock->minute, clock->second);
}

std::string StampText(std::int64_t seconds) {
    std::int64_t days = seconds / SecondsPerDay;
    std::int64_t rest = seconds % SecondsPerDay;
    if (rest < 0) {
        rest += SecondsPerDay;
        --days;
    }
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()), static_cast<int>(rest / 3600),
                  static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60));
    return text.data();
}

} // namespace ornexa
