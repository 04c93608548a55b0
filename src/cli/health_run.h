#pragma once

#include "advice/pool_ratings.h"
#include "cli/exit_codes.h"
#include "cli/history_commands.h"
#include "cli/run_request.h"
#include "report/result.h"

namespace ornexa::cli {

// The thresholds a run of --health rates by: the --ratings file alone, else the site file found for
// the user or beside the program, else the built-in ones; or the messages of a file that cannot be used.
Result<RatingSettings> LoadRatings(const RunRequest& request);

// --health of the report read (Mode::Health): rates its pools and writes the ratings on standard
// output as the request's format asks, telling on standard error what did not load.
RunEnd RunHealth(const RunRequest& request);

// --health of the reports held (Mode::HistoryHealth): 0 done, 1 failed, 4 a rating reached --fail-on.
int HealthHistoryCommand(const RunRequest& request, const CommandStreams& streams);

} // namespace ornexa::cli
