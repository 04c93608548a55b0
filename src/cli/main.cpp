// ornexa-report: the analyses of ORNEXA without a window, as JSON or readable text.
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/report_document.h"

namespace {
constexpr int ExitLoaded = 0;
constexpr int ExitNotLoaded = 1;
constexpr int ExitUsage = 2;

int Run(int argc, char** argv) {
    CLI::App app{"Reads a buffer-pool Statistics report and writes its figures as JSON or text"};
    app.set_version_flag("--version", std::string(ORNEXA_VERSION));
    std::string statFile;
    std::string simFile;
    bool asJson = false;
    ornexa::cli::AnalysisOptions analysis;
    app.add_option("STATFILE", statFile, "Statistics report (.sta or .txt)")->required();
    app.add_option("--sim", simFile, "Simulation report of one of its pools (.sim or .txt)");
    app.add_option("--pool", analysis.pools, "analyse only the pools of this name (repeatable)");
    app.add_flag("--objects", analysis.objects, "add the per-object section");
    app.add_flag("--json", asJson, "write the JSON document instead of the text report");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? ExitLoaded : ExitUsage;
    }

    ornexa::Report report;
    const ornexa::cli::ReadOutcome outcome = ornexa::cli::ReadReport(
        report, statFile, simFile.empty() ? std::nullopt : std::optional<std::filesystem::path>(simFile));
    if (asJson) {
        std::cout << ornexa::cli::ReportDocument(report, outcome, analysis)
                         .dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                  << '\n';
    } else {
        ornexa::cli::WriteTextReport(std::cout, report, outcome);
    }
    return outcome.loaded() ? ExitLoaded : ExitNotLoaded;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::cerr << "ornexa-report: " << e.what() << '\n';
        return ExitNotLoaded;
    }
}
