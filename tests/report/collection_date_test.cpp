#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "report/collection_date.h"

namespace ornexa {
namespace {

TEST(CollectionDate, ReadsEveryFormTheHeaderComesInAndNothingElse) {
    struct Case {
        const char* date;
        const char* time;
        std::optional<std::string> timestamp;
    };
    const std::vector<Case> cases{
        // Dates: ISO, month/day/year with four or two digits, day.month.year.
        {"2026-11-30", "10.15.00", "2026-11-30T10:15:00"},
        {"11/30/2026", "10.15.00", "2026-11-30T10:15:00"},
        {"11/30/26", "10.15.00", "2026-11-30T10:15:00"},
        {"30.11.2026", "10.15.00", "2026-11-30T10:15:00"},
        {"2026-1-5", "10.15.00", "2026-01-05T10:15:00"},
        {"  2026-11-30 ", " 10.15.00  ", "2026-11-30T10:15:00"},
        {"2024-02-29", "10.15.00", "2024-02-29T10:15:00"},
        // Times: dots or colons, with or without seconds.
        {"2026-11-30", "10:15:00", "2026-11-30T10:15:00"},
        {"2026-11-30", "10:15", "2026-11-30T10:15:00"},
        {"2026-11-30", "10.15", "2026-11-30T10:15:00"},
        {"2026-11-30", "00.00.00", "2026-11-30T00:00:00"},
        {"2026-11-30", "23.59.59", "2026-11-30T23:59:59"},
        // Not a day of the calendar, or not a date.
        {"2026-02-30", "10.15.00", std::nullopt},
        {"2026-02-29", "10.15.00", std::nullopt},
        {"2026-13-30", "10.15.00", std::nullopt},
        {"2026-00-30", "10.15.00", std::nullopt},
        {"2026-11", "10.15.00", std::nullopt},
        {"2026-11-3x", "10.15.00", std::nullopt},
        {"2026-11/30", "10.15.00", std::nullopt},
        {"2026-11-30-1", "10.15.00", std::nullopt},
        {"26-11-30", "10.15.00", std::nullopt}, // a two-digit year only month first
        {"30.11.26", "10.15.00", std::nullopt},
        {"11/30/126", "10.15.00", std::nullopt},
        {"-2026-11-30", "10.15.00", std::nullopt},
        {"2026-+1-30", "10.15.00", std::nullopt},
        {"", "10.15.00", std::nullopt},
        // Not a time.
        {"2026-11-30", "24.00.00", std::nullopt},
        {"2026-11-30", "10.60.00", std::nullopt},
        {"2026-11-30", "10.15.60", std::nullopt},
        {"2026-11-30", "10:15.00", std::nullopt},
        {"2026-11-30", "10.15.00.5", std::nullopt},
        {"2026-11-30", "10", std::nullopt},
        {"2026-11-30", "10.15.", std::nullopt},
        {"2026-11-30", "100.15", std::nullopt},
        {"2026-11-30", "", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CollectionTimestamp(c.date, c.time), c.timestamp) << '"' << c.date << "\" \"" << c.time << '"';
    }
}

TEST(CollectionDate, GivesEachPartOfTheMoment) {
    EXPECT_EQ(ParseCollectionMoment("12/07/26", "23:59"), (CollectionMoment{2026, 12, 7, 23, 59, 0}));
    EXPECT_EQ(ParseCollectionMoment("07.12.2026", "01.02.03"), (CollectionMoment{2026, 12, 7, 1, 2, 3}));
}

} // namespace
} // namespace ornexa
