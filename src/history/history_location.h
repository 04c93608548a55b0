#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ornexa {

// Where a history goes, as the user writes it: a SQLite file path, a `postgresql://` URI or a keyword
// connection string ("host=db1 dbname=history user=me"). These functions read it without opening anything.

// Whether `location` is a keyword connection string: it starts with a word followed by '='. libpq takes it;
// it is never a SQLite file name (a file so named is written "./host=x").
bool IsKeywordConnectionString(std::string_view location);

// `text` with each %XX of a URI read as the byte it stands for; a '%' without two hex digits stays.
std::string PercentDecoded(std::string_view text);

// Why a history at `location` would keep nothing once the program ends: an empty name, ":memory:", or a
// SQLite `file:` URI held in memory or naming no file. Nothing for a location that keeps what it is given.
std::optional<std::string> UnkeptHistoryReason(std::string_view location);

// One password a PostgreSQL location carries: after the ':' of a URI's user part, in a `password`
// parameter of its query, or as the `password` keyword of a connection string.
struct PasswordPart {
    std::size_t begin = 0;      // where the part starts: the ':' of the user part, or the parameter's name
    std::size_t valueBegin = 0; // the value as written (quotes and percent signs included)
    std::size_t end = 0;        // one past the value
    std::string value;          // as libpq reads it: decoded, unquoted
};
std::vector<PasswordPart> PasswordParts(std::string_view location);

// Whether the location carries a password, which anyone on the machine can then read in the process list.
bool CarriesPassword(std::string_view location);

// The location as messages show it: each password written "***".
std::string MaskedLocation(std::string_view location);

// `message` with the passwords of `location` masked where they stand: the location written whole, and each
// password part with what surrounds it in the location (":pw@", "password=pw") or in quotes as libpq quotes
// it. The same letters elsewhere in the message stay.
std::string MaskedPasswords(std::string message, std::string_view location);

} // namespace ornexa
