#pragma once

#include "cli/exit_codes.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// Reads the reports of the request (its mode one of the report's), writes what its mode asks for on
// standard output, the exports and a regrouping beside it, and tells on standard error what the analyst
// should know. The request's threshold folders are where Rand.acc and Seq.acc are looked for.
RunEnd RunReport(const RunRequest& request);

} // namespace ornexa::cli
