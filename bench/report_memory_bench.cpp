// Peak memory of `ornexa-report --json --objects` as a user runs it: the real program, as a child
// process, on a generated Statistics report written to a file; its peak resident set is read from
// the kernel when it ends. Prints the peak beside the report file's size and their ratio (a
// large-site report must stay under 2), and the program's own floor (`--version`, no report read).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "large_site.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "stat_writer.h"

extern char** environ; // NOLINT(readability-redundant-declaration): posix_spawn passes it on

namespace {

using namespace ornexa;

// The report measured, in this one place: a large site's 80 pools and 500,000 objects, read under
// the large-site limits, with a Simulation report of BP17, its pool of the most objects. Another
// report: set ORNEXA_BENCH_REPORT to its file.
constexpr int MeasuredPools = samplegen::LargeSitePools;
constexpr int MeasuredObjects = 500'000;
constexpr const char* MeasuredSimPool = "BP17";
const std::vector<std::string> LimitOptions{"--max-pools", "80", "--max-objects", "1000000"};

// The program measured: the one built beside this benchmark, or ORNEXA_REPORT_PROGRAM (another
// build of it, for a figure before a change).
std::string Program() {
    const char* given = std::getenv("ORNEXA_REPORT_PROGRAM"); // NOLINT(concurrency-mt-unsafe): read once
    return given != nullptr ? given : ORNEXA_REPORT_EXE;
}

struct MeasuredFiles {
    std::filesystem::path folder;
    std::filesystem::path stat;
    std::optional<std::filesystem::path> sim;
    std::filesystem::path out;

    MeasuredFiles() : folder(std::filesystem::temp_directory_path() / "ornexa-bench-report-memory") {
        std::filesystem::create_directories(folder);
        out = folder / "out";
        if (const char* given = std::getenv("ORNEXA_BENCH_REPORT")) { // NOLINT(concurrency-mt-unsafe)
            stat = given;
            return;
        }
        stat = folder / "measured.sta";
        samplegen::WriteLargeReport(stat, MeasuredPools, MeasuredObjects);
        const samplegen::SimSample simulated =
            samplegen::BuildSimulation(samplegen::BuildLargeReport(MeasuredPools, MeasuredObjects), MeasuredSimPool, 5);
        sim = folder / "measured.sim";
        samplegen::WriteTextFile(
            *sim, samplegen::SimulationText(simulated.report, simulated.sim, simulated.pool, simulated.objects));
    }
    ~MeasuredFiles() {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    MeasuredFiles(const MeasuredFiles&) = delete;
    MeasuredFiles& operator=(const MeasuredFiles&) = delete;
    MeasuredFiles(MeasuredFiles&&) = delete;
    MeasuredFiles& operator=(MeasuredFiles&&) = delete;
};

const MeasuredFiles& Files() {
    static const MeasuredFiles files;
    return files;
}

struct ChildRun {
    int exitCode = -1;
    long peakKiB = 0; // the program's own peak resident set
};

// A child started from this process carries this process's peak into its own (the kernel keeps the
// larger of the two across exec), so the program is started by /usr/bin/time, a small process that
// forks it afresh and writes its peak. Without it, wait4's figure is taken: an upper bound.
constexpr const char* TimeProgram = "/usr/bin/time";

// Runs the program with `arguments`, standard output to `out`, standard error dropped.
ChildRun RunProgram(const std::vector<std::string>& arguments, const std::filesystem::path& out) {
    const std::filesystem::path peakFile = out.string() + ".peak";
    const bool timed = access(TimeProgram, X_OK) == 0;
    std::vector<std::string> words;
    if (timed) {
        words = {TimeProgram, "-f", "%M", "-o", peakFile.string()};
    }
    words.push_back(Program());
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ChildRun run;
    if (spawned != 0) {
        return run;
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) {
        return run;
    }
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.peakKiB = usage.ru_maxrss;
    if (timed) {
        // The last line: /usr/bin/time puts "Command exited with non-zero status" before it.
        std::ifstream in(peakFile);
        for (std::string line; std::getline(in, line);) {
            run.peakKiB = std::atol(line.c_str());
        }
    }
    return run;
}

std::vector<std::string> Words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

constexpr double MiB = 1024.0 * 1024.0;

double FloorBytes() {
    static const double floor = [] {
        return static_cast<double>(RunProgram({"--version"}, Files().out).peakKiB) * 1024.0;
    }();
    return floor;
}

// `options` are the program's options; the report file follows them, with "--sim" its simulation.
void BmReportPeakMemory(benchmark::State& state, const std::string& options) {
    const MeasuredFiles& files = Files();
    std::vector<std::string> arguments = Words(options);
    if (const auto sim = std::find(arguments.begin(), arguments.end(), "--sim"); sim != arguments.end()) {
        if (!files.sim) {
            state.SkipWithError("no Simulation report beside ORNEXA_BENCH_REPORT");
            return;
        }
        arguments.insert(sim + 1, files.sim->string());
    }
    arguments.insert(arguments.end(), LimitOptions.begin(), LimitOptions.end());
    arguments.push_back(files.stat.string());
    ChildRun run;
    for (auto _ : state) {
        run = RunProgram(arguments, files.out);
    }
    if (run.exitCode != 0) {
        state.SkipWithError(("ornexa-report ended with " + std::to_string(run.exitCode)).c_str());
        return;
    }
    const auto reportBytes = static_cast<double>(std::filesystem::file_size(files.stat));
    const auto outputBytes = static_cast<double>(std::filesystem::file_size(files.out));
    const double peakBytes = static_cast<double>(run.peakKiB) * 1024.0;
    state.counters["peak_MiB"] = peakBytes / MiB;
    state.counters["report_MiB"] = reportBytes / MiB;
    state.counters["output_MiB"] = outputBytes / MiB;
    state.counters["peak/report"] = peakBytes / reportBytes;
    state.counters["(peak-floor)/report"] = (peakBytes - FloorBytes()) / reportBytes;
    std::printf("ornexa-report %s: peak RSS %.1f MiB, report file %.2f MiB, ratio %.2f (%.2f above the program's "
                "own %.1f MiB); output %.1f MiB\n",
                options.c_str(), peakBytes / MiB, reportBytes / MiB, peakBytes / reportBytes,
                (peakBytes - FloorBytes()) / reportBytes, FloorBytes() / MiB, outputBytes / MiB);
}

BENCHMARK_CAPTURE(BmReportPeakMemory, json_objects, std::string("--json --objects"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BmReportPeakMemory, json_objects_sim, std::string("--json --objects --sim"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BmReportPeakMemory, json, std::string("--json"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BmReportPeakMemory, text_objects_sim, std::string("--objects --sim"))
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
