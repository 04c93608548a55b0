#pragma once

#include "cli/exit_codes.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// Runs the history command of the request (its mode one of the history's), writing to standard output
// and standard error.
RunEnd RunHistoryCommand(const RunRequest& request);

// Before a history is opened: the password of --history-password-file handed to the server's library, and
// a warning when --history itself carries one.
void PrepareHistoryAccess(const RunRequest& request);

} // namespace ornexa::cli
