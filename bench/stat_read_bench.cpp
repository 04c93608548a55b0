// Reading the largest accepted Statistics report (60 pools, 5000 objects) against two floors on
// the same bytes: splitting them into lines, and converting every numeric field with the number
// conversion alone. Prints the read's time as a multiple of each floor, the read's throughput and
// the conversion floor's time per numeric field.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "report/column_tables.h"
#include "report/numbers.h"
#include "report/stat_reader.h"
#include "sample_report.h"
#include "stat_writer.h"

namespace {

using namespace ornexa;

struct LargestReport {
    std::string text;
    std::filesystem::path path;

    LargestReport() {
        samplegen::StatFileOptions options;
        options.decorate = false;
        text = samplegen::StatisticsText(samplegen::BuildLargestReport(), options);
        path = std::filesystem::temp_directory_path() / "ornexa-bench-largest.sta";
        samplegen::WriteTextFile(path, text);
    }
    ~LargestReport() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
    LargestReport(const LargestReport&) = delete;
    LargestReport& operator=(const LargestReport&) = delete;
    LargestReport(LargestReport&&) = delete;
    LargestReport& operator=(LargestReport&&) = delete;
};

const LargestReport& Largest() {
    static const LargestReport report;
    return report;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const auto* start = text.data() + pos;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', text.size() - pos));
        const std::size_t end = nl == nullptr ? text.size() : static_cast<std::size_t>(nl - text.data());
        std::size_t len = end - pos;
        if (len > 0 && text[end - 1] == '\r') {
            --len;
        }
        lines.emplace_back(start, len);
        pos = end + 1;
    }
    return lines;
}

void BmReadLargestReport(benchmark::State& state) {
    const auto& largest = Largest();
    Report report;
    for (auto _ : state) {
        ResetReport(report);
        const StatReadResult result = ReadStatisticsFile(report, largest.path);
        if (!result.Loaded()) {
            state.SkipWithError("the largest report did not load");
        }
        benchmark::DoNotOptimize(report.ObjectCount());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(largest.text.size()));
}

void BmFloorSplitLines(benchmark::State& state) {
    const auto& largest = Largest();
    for (auto _ : state) {
        std::size_t count = 0;
        std::size_t pos = 0;
        const std::string& text = largest.text;
        while (pos < text.size()) {
            // NOLINTNEXTLINE(bugprone-not-null-terminated-result): a search, not a copy
            const void* nl = std::memchr(text.data() + pos, '\n', text.size() - pos);
            ++count;
            pos =
                nl == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(nl) - text.data()) + 1;
        }
        benchmark::DoNotOptimize(count);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(largest.text.size()));
}

template <std::size_t N>
double ConvertNumbers(std::string_view line, std::span<const ColumnDef, N> columns, std::int64_t& fields) {
    double sum = 0;
    for (const ColumnDef& c : columns) {
        if (c.Kind == FieldKind::T) {
            continue;
        }
        ++fields;
        const auto start = static_cast<std::size_t>(c.Start - 1);
        const std::string_view field =
            start < line.size() ? line.substr(start, static_cast<std::size_t>(c.Length)) : std::string_view{};
        const Converted<double> value = TextToDouble(field);
        if (value && c.Kind != FieldKind::D) {
            const Converted<Long> whole = DoubleToLong(value.Value());
            sum += whole ? whole.Value() : 0;
        } else if (value) {
            sum += value.Value();
        }
    }
    return sum;
}

void BmFloorConvertNumbers(benchmark::State& state) {
    const auto& largest = Largest();
    const std::vector<std::string_view> lines = SplitLines(largest.text);
    std::int64_t fields = 0;
    for (auto _ : state) {
        double sum = ConvertNumbers(lines.at(1), HeaderColumns(), fields);
        for (std::size_t i = 2; i < lines.size(); ++i) {
            const std::string_view code = lines[i].substr(0, 4);
            if (code.find("BPS") != std::string_view::npos) {
                sum += ConvertNumbers(lines[i], PoolColumns(), fields);
            } else if (code.find("BPD") != std::string_view::npos) {
                sum += ConvertNumbers(lines[i], ObjectColumns(), fields);
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(largest.text.size()));
    // Seconds per field, shown in nanoseconds ("25n" is 25 ns).
    state.counters["per_field"] =
        benchmark::Counter(static_cast<double>(fields), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["fields"] =
        static_cast<double>(fields) / static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}

// The names the ratios below look for (and a --benchmark_filter finds), whatever the functions are called.
BENCHMARK(BmReadLargestReport)->Name("BM_ReadLargestReport")->Unit(benchmark::kMillisecond);
BENCHMARK(BmFloorSplitLines)->Name("BM_FloorSplitLines")->Unit(benchmark::kMillisecond);
BENCHMARK(BmFloorConvertNumbers)->Name("BM_FloorConvertNumbers")->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration (in its own unit, ms here) and the number of numeric
// fields an iteration converts, so the ratios (of real time) and the figures (of CPU time, as the
// table's bytes_per_second and per_field) can be printed at the end. With
// repetitions, the median's (the mean's when no median is reported) stands for the benchmark.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Iteration || median) {
                if (median || !medians.contains(name)) {
                    times[name] = run.GetAdjustedRealTime();
                    cpuTimes[name] = run.GetAdjustedCPUTime();
                    if (const auto fields = run.counters.find("fields"); fields != run.counters.end()) {
                        fieldCounts[name] = fields->second.value;
                    }
                }
                if (median) {
                    medians.insert(name);
                }
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
    std::map<std::string, double> cpuTimes; // what bytes_per_second and per_field are computed from
    std::map<std::string, double> fieldCounts;
    std::set<std::string> medians;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto& t = reporter.times;
    const auto read = t.find("BM_ReadLargestReport");
    const auto split = t.find("BM_FloorSplitLines");
    const auto convert = t.find("BM_FloorConvertNumbers");
    const auto bytes = static_cast<double>(Largest().text.size());
    std::cout << "\nLargest report: " << Largest().text.size() << " bytes\n";
    if (read != t.end() && split != t.end() && convert != t.end()) {
        std::cout << "read / split-lines floor       = " << read->second / split->second << "\n"
                  << "read / number-conversion floor = " << read->second / convert->second
                  << "   (goal: at most 1.5)\n";
    }
    const auto& cpu = reporter.cpuTimes;
    if (const auto readCpu = cpu.find("BM_ReadLargestReport"); readCpu != cpu.end()) {
        // Times are in milliseconds: bytes per ms / 1000 is MB/s.
        std::cout << "read throughput                = " << bytes / readCpu->second / 1000.0 << " MB/s\n";
    }
    const auto convertCpu = cpu.find("BM_FloorConvertNumbers");
    if (const auto fields = reporter.fieldCounts.find("BM_FloorConvertNumbers");
        convertCpu != cpu.end() && fields != reporter.fieldCounts.end() && fields->second > 0) {
        std::cout << "number-conversion floor        = " << convertCpu->second * 1e6 / fields->second
                  << " ns per numeric field (" << fields->second << " fields)\n";
    }
    return 0;
}
