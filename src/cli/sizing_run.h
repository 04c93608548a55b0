#pragma once

#include "cli/exit_codes.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// --budget (Mode::Sizing): reads the report (and its Simulation report), the history's reports of the
// same system at other sizes when --history is given, splits the budget among the pools and writes the
// split as text or JSON on standard output; what did not load, a bound naming no pool and a history that
// cannot be read are told on standard error.
RunEnd RunSizing(const RunRequest& request);

} // namespace ornexa::cli
