#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "advice/pool_ratings.h"
#include "advice/rating_settings_file.h"
#include "cli/history_commands.h"
#include "history/history_store.h"

namespace ornexa::cli {

// "2s", "500ms", "1.5s" or a number of seconds; nothing for anything else, or for more than an hour.
std::optional<std::chrono::milliseconds> SettleOf(const std::string& text);

// "BP1 exception: System page residency time 42 s < 60 s": the ratings of a pool at its worst verdict;
// nothing for a pool that is good or cannot be rated.
std::optional<std::string> RatingLine(const PoolRating& pool);

// Imports the files `names` of `folder` (a Statistics report takes its Simulation report beside it
// along) and writes a line per report: imported (with a line per pool rated warning or exception),
// already held, a simulation added, or refused with the reason. `stop` is asked before each file.
// The pools are rated by `settings`.
void ImportReadyFiles(HistoryStore& store, const std::filesystem::path& folder, const std::vector<std::string>& names,
                      std::ostream& out, const ReportLimits& limits, const std::function<bool()>& stop,
                      const RatingSettings& settings = {});

// ornexa-report --watch: imports every report that appears in `folder` (and those already there) into the
// history until SIGINT or SIGTERM, which end it after the import under way. The pools are rated by the
// bounds `ratings` found (--ratings, the user's site file, the installed one, else the built-in bounds).
// 0 when stopped so; 1 when the history cannot be opened, the folder cannot be watched or the site
// file has a fault.
int WatchCommand(const std::string& location, const std::filesystem::path& folder, std::chrono::milliseconds settle,
                 const RatingSettingsLookup& ratings, const CommandStreams& streams, const ReportLimits& limits = {},
                 std::chrono::seconds timeout = DefaultHistoryTimeout);

} // namespace ornexa::cli
