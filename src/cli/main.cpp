// ornexa-report: the analyses of ORNEXA without a window, as JSON or readable text.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

#include "cli/command_line.h"
#include "cli/exit_codes.h"
#include "cli/health_run.h"
#include "cli/history_run.h"
#include "cli/report_run.h"
#include "cli/sizing_run.h"
#include "rules/threshold_files.h"

namespace {

std::filesystem::path ProgramFolder(const char* argv0) {
    std::error_code ec;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
    return (ec ? std::filesystem::absolute(argv0) : self).parent_path();
}

int Run(int argc, char** argv) {
    using namespace ornexa::cli;
    ParsedCommandLine parsed = ParseCommandLine(argc, argv, ORNEXA_VERSION, std::cout, std::cerr);
    if (!parsed.request) {
        return ExitStatus(parsed.end);
    }
    RunRequest& request = *parsed.request;
    request.health.programFolder = ProgramFolder(argv[0]);
    if (IsHistoryMode(request.mode)) {
        return ExitStatus(RunHistoryCommand(request));
    }
    if (request.mode == Mode::Sizing) {
        return ExitStatus(RunSizing(request), request.strict);
    }
    if (request.mode == Mode::Health) {
        return ExitStatus(RunHealth(request), request.strict);
    }
    request.analysis.simulation.thresholdFolders = ornexa::ThresholdFolders(ProgramFolder(argv[0]), request.accFolder);
    return ExitStatus(RunReport(request), request.strict);
}

} // namespace

int main(int argc, char** argv) {
    // A write past the file size limit (ulimit -f) fails and is told with the file it was for, instead
    // of the signal ending the program without a word in the middle of a history import.
    std::signal(SIGXFSZ, SIG_IGN);
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "ornexa-report: " << e.what() << '\n';
        return ornexa::cli::ExitStatus(ornexa::cli::RunEnd::Failed);
    }
}
