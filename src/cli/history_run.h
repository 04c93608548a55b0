#pragma once

#include "cli/exit_codes.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// Runs the history command of the request (its mode one of the history's), writing to standard output
// and standard error.
RunEnd RunHistoryCommand(const RunRequest& request);

} // namespace ornexa::cli
