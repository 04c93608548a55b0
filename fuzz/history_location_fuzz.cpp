// Any text as a history location (a path, a `postgresql://` URI, a keyword connection string): the
// password parts lie inside the text, in order, and no message that shows the location keeps a
// password as written.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_checks.h"
#include "history/history_location.h"
#include "history/sql_database.h"

namespace {

// How often `part` stands in `text`, not overlapping.
std::size_t Showings(std::string_view text, std::string_view part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

} // namespace

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string location(reinterpret_cast<const char*>(data), size);
    (void)ornexa::UnkeptHistoryReason(location);
    (void)ornexa::IsPostgresLocation(location);
    Check(ornexa::PercentDecoded(location).size() <= location.size(), "decoding never lengthens a text");

    const auto parts = ornexa::PasswordParts(location);
    Check(ornexa::CarriesPassword(location) == !parts.empty(), "a location carries a password when it has a part");
    // Parts may overlap where a URI's user part and its query could both hold one: both are masked.
    for (const ornexa::PasswordPart& part : parts) {
        Check(part.begin <= part.valueBegin && part.valueBegin <= part.end && part.end <= location.size(),
              "password parts lie inside the location");
    }
    // Each part masked takes one showing of its text away (the same letters elsewhere may stay).
    const std::string masked = ornexa::MaskedLocation(location);
    const std::string message = ornexa::MaskedPasswords("cannot open " + location + ": refused", location);
    for (const ornexa::PasswordPart& part : parts) {
        const std::string_view written = std::string_view(location).substr(part.valueBegin, part.end - part.valueBegin);
        if (written.size() < 4 || written.find('*') != std::string_view::npos) {
            continue; // a mask's own stars can make the same text again
        }
        const std::string whole = location.substr(part.begin, part.end - part.begin);
        std::size_t same = 0;
        for (const ornexa::PasswordPart& other : parts) {
            same += location.compare(other.begin, other.end - other.begin, whole) == 0 ? 1 : 0;
        }
        Check(Showings(masked, whole) + same <= Showings(location, whole),
              "the masked location keeps no password part as written");
        Check(message.find(location) == std::string::npos, "a message never shows the location whole");
    }
    return 0;
}
