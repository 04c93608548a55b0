#pragma once

namespace ornexa::cli {

// How a run of ornexa-report ended.
enum class RunEnd {
    Done,             // everything asked for was read and written
    DoneWithWarnings, // loaded, with a report cut short or object lines skipped
    Failed,           // a report did not load, a --pool is not in it, an export or the history failed, ...
    WrongArguments,   // the command line was refused
    RatingReached,    // --health --fail-on: a rating reached the level given
};

// The exit status of a run, as --help, the README and the manual page list them:
//   0  done; also loaded with warnings when --strict is not given
//   1  failed: a report did not load, a --pool name is not in it, an export failed, standard output
//      could not be written; the history could not be opened or read, --import refused a file, or no
//      report held has the --pool of --trend
//   2  wrong arguments
//   3  loaded with warnings, under --strict
//   4  --health --fail-on: a pool's rating reached the level given (before 3)
int ExitStatus(RunEnd end, bool strict = false);

// A history command's own status (0 done, 1 failed, 4 a rating reached --fail-on) as the end of the run.
RunEnd EndOfStatus(int status);

// The footer of --help that lists them.
extern const char* const ExitStatusHelp;

} // namespace ornexa::cli
