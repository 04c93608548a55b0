#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_codes.h"
#include "cli/run_request.h"

namespace ornexa::cli {

// The command line read: a request to run, or how the run already ended (--help or --version shown,
// wrong arguments told as "<what>\nRun with --help for more information.").
struct ParsedCommandLine {
    std::optional<RunRequest> request;
    RunEnd end = RunEnd::Done;
};

// Reads the arguments of ornexa-report (`argv[0]` the program as called): help and version go to `out`,
// usage errors to `err`.
ParsedCommandLine ParseCommandLine(int argc, const char* const* argv, const std::string& version, std::ostream& out,
                                   std::ostream& err);

// The pools of --regroup: "BP5,,BP7" as {"BP5", "", "BP7"}; an empty list as no name.
std::vector<std::string> SplitTargets(const std::string& list);

} // namespace ornexa::cli
