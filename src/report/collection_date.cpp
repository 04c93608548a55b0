#include "report/collection_date.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <vector>

#include "report/decimal_digits.h"
#include "report/fixed_text.h"

namespace ornexa {

namespace {

// "a?b?c" or "a?b" split at the first of `separators` it holds.
std::optional<std::vector<std::string_view>> Parts(std::string_view text, std::string_view separators) {
    const auto first = text.find_first_of(separators);
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const char separator = text[first];
    std::vector<std::string_view> parts;
    std::size_t from = 0;
    for (auto at = first; at != std::string_view::npos; at = text.find(separator, from)) {
        parts.push_back(text.substr(from, at - from));
        from = at + 1;
    }
    parts.push_back(text.substr(from)); // another separator stays inside a part, which is then no number
    return parts;
}

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
};

std::optional<Date> ReadDate(std::string_view text) {
    const auto parts = Parts(text, "-/.");
    if (!parts || parts->size() != 3) {
        return std::nullopt;
    }
    const char separator = text[(*parts)[0].size()];
    // 2026-11-30; 11/30/2026 or 11/30/26; 30.11.2026.
    const std::size_t yearAt = separator == '-' ? 0 : 2;
    const std::size_t monthAt = separator == '/' ? 0 : 1;
    const std::size_t dayAt = separator == '-' ? 2 : separator == '/' ? 1 : 0;
    const std::string_view yearText = (*parts)[yearAt];
    const bool shortYear = separator == '/' && yearText.size() == 2;
    const auto year = yearText.size() == 4 || shortYear ? DecimalDigits(yearText, 4) : std::nullopt;
    const auto month = DecimalDigits((*parts)[monthAt], 2);
    const auto day = DecimalDigits((*parts)[dayAt], 2);
    if (!year || !month || !day) {
        return std::nullopt;
    }
    const Date date{shortYear ? 2000 + *year : *year, *month, *day};
    const std::chrono::year_month_day ymd{std::chrono::year{date.year},
                                          std::chrono::month{static_cast<unsigned>(date.month)},
                                          std::chrono::day{static_cast<unsigned>(date.day)}};
    return ymd.ok() ? std::optional(date) : std::nullopt;
}

std::optional<std::array<int, 3>> ReadTime(std::string_view text) {
    const auto parts = Parts(text, ".:");
    if (!parts || parts->size() > 3) {
        return std::nullopt;
    }
    const auto hour = DecimalDigits((*parts)[0], 2);
    const auto minute = DecimalDigits((*parts)[1], 2);
    const auto second = parts->size() == 3 ? DecimalDigits((*parts)[2], 2) : std::optional(0);
    if (!hour || !minute || !second || *hour > 23 || *minute > 59 || *second > 59) {
        return std::nullopt;
    }
    return std::array{*hour, *minute, *second};
}

} // namespace

std::optional<CollectionMoment> ParseCollectionMoment(std::string_view date, std::string_view time) {
    const auto day = ReadDate(TrimBlanks(date));
    const auto clock = ReadTime(TrimBlanks(time));
    if (!day || !clock) {
        return std::nullopt;
    }
    return CollectionMoment{day->year, day->month, day->day, (*clock)[0], (*clock)[1], (*clock)[2]};
}

std::optional<std::string> CollectionTimestamp(std::string_view date, std::string_view time) {
    const auto moment = ParseCollectionMoment(date, time);
    if (!moment) {
        return std::nullopt;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02dT%02d:%02d:%02d", moment->year, moment->month, moment->day,
                  moment->hour, moment->minute, moment->second);
    return std::string(text.data());
}

} // namespace ornexa
