#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "advice/pool_ratings.h"
#include "report/result.h"

namespace ornexa {

// The name of the site file of rating bounds.
inline constexpr std::string_view RatingSettingsFileName = "ratings.toml";

// Reads a site file of rating bounds, a small part of TOML:
//
//   # a comment
//   [default]
//   system_residency.warning = 90
//   system_residency.exception = "none"   # this bound switched off
//   [[pool]]
//   match = "BP8K*"
//   sync_read_rate.warning = 2000
//
// A key is a rating's key and `.warning` or `.exception`; a value a number or "none". [default] changes
// the built-in bounds it names; each [[pool]] sets bounds for the pools its `match` pattern names, the
// first section that matches a pool deciding each bound. Every wrong line is a message naming the file
// and the line; a file with any of them gives no settings. `origin` is the file's path.
Result<RatingSettings> ReadRatingSettings(const std::filesystem::path& path);

// The same, of a file's text; `name` stands for the file in messages and `origin`.
Result<RatingSettings> ParseRatingSettings(std::string_view text, std::string_view name);

// The user's own site file: $XDG_CONFIG_HOME/ornexa/ratings.toml, or ~/.config/ornexa/ratings.toml; nothing
// when neither variable leads to a folder.
std::optional<std::filesystem::path> UserRatingSettingsPath();

// Which settings are in force and where they came from.
struct RatingSettingsLookup {
    std::optional<std::filesystem::path> path;   // the file read; nothing for the built-in bounds
    std::vector<std::filesystem::path> searched; // every file looked for, in order
    Result<RatingSettings> settings;             // the file's (or the built-in) settings, or why it cannot be used

    [[nodiscard]] bool BuiltIn() const { return !path.has_value(); }
};

// Finds the settings in force: the file given (an option) alone; else the user's file; else ratings.toml
// in the program's folder, then in the installed data folder beside it (where the usage threshold files
// are); else the built-in bounds. The first file found is used: a file with a fault is reported, never
// passed over for the next.
RatingSettingsLookup
FindRatingSettings(const std::filesystem::path& programFolder,
                   const std::optional<std::filesystem::path>& given = std::nullopt,
                   const std::optional<std::filesystem::path>& userFile = UserRatingSettingsPath());

} // namespace ornexa
