#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ornexa {

// The times of Db2's display output, as seconds of the civil calendar (no time zone: the host's local
// time, as every time of one log is).

// "14:57:55 JAN 22, 2026", as DSNB409I and DSNB410I give the start of their statistics; a one-digit day
// and any run of blanks are taken. Nothing for another form or a date the calendar does not have.
std::optional<std::int64_t> SinceSeconds(std::string_view text);

// "2026-01-22 14:57:55", as the read gives a SYSLOG line's time stamp.
std::optional<std::int64_t> StampSeconds(std::string_view text);

// The same form back: "2026-01-22 14:57:55".
std::string StampText(std::int64_t seconds);

} // namespace ornexa
