#include "cli/exit_codes.h"

namespace ornexa::cli {

int ExitStatus(RunEnd end, bool strict) {
    switch (end) {
    case RunEnd::Done:
        return 0;
    case RunEnd::DoneWithWarnings:
        return strict ? 3 : 0;
    case RunEnd::Failed:
        return 1;
    case RunEnd::RatingReached:
        return 4;
    case RunEnd::WrongArguments:
        break;
    }
    return 2;
}

RunEnd EndOfStatus(int status) {
    if (status == ExitStatus(RunEnd::RatingReached)) {
        return RunEnd::RatingReached;
    }
    return status == 0 ? RunEnd::Done : RunEnd::Failed;
}

const char* const ExitStatusHelp =
    "Exit status:\n"
    "  0  the reports loaded (and the exports were written)\n"
    "  1  a report did not load, a --pool name is not in it, an export failed, or standard output could not be\n"
    "     written; the history could not be opened or read, --import refused a file, or no report held has\n"
    "     the --pool of --trend\n"
    "  2  wrong arguments\n"
    "  3  loaded with warnings (a report cut short, skipped object lines), under --strict\n"
    "  4  --health --fail-on LEVEL: a pool's rating reached LEVEL (told before 3)";

} // namespace ornexa::cli
