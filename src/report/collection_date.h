#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ornexa {

// When a report's figures were collected, as its header gives the date and the time.
struct CollectionMoment {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;

    friend bool operator==(const CollectionMoment&, const CollectionMoment&) = default;
};

// The header's collection date and time, blanks around them left out. Dates: "2026-11-30",
// "11/30/2026", "11/30/26" (20yy) and "30.11.2026"; a day that the calendar has. Times: "10.15.00",
// "10:15:00", or without seconds ("10:15", "10.15"). Nothing when either is not of those forms, so
// the printed pages and the history read one header alike.
std::optional<CollectionMoment> ParseCollectionMoment(std::string_view date, std::string_view time);

// "2026-11-30T10:15:00" from the header's date and time; nothing when they do not read.
std::optional<std::string> CollectionTimestamp(std::string_view date, std::string_view time);

} // namespace ornexa
