// Reading the largest accepted Statistics report (60 pools, 5000 objects) against two floors on
// the same bytes: splitting them into lines, and converting every numeric field with the number
// conversion alone. Prints the read's time as a multiple of each floor.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
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

template <std::size_t N> double ConvertNumbers(std::string_view line, std::span<const ColumnDef, N> columns) {
    double sum = 0;
    for (const ColumnDef& c : columns) {
        if (c.Kind == FieldKind::T) {
            continue;
        }
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
    for (auto _ : state) {
        double sum = ConvertNumbers(lines.at(1), HeaderColumns());
        for (std::size_t i = 2; i < lines.size(); ++i) {
            const std::string_view code = lines[i].substr(0, 4);
            if (code.find("BPS") != std::string_view::npos) {
                sum += ConvertNumbers(lines[i], PoolColumns());
            } else if (code.find("BPD") != std::string_view::npos) {
                sum += ConvertNumbers(lines[i], ObjectColumns());
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(largest.text.size()));
}

BENCHMARK(BmReadLargestReport)->Unit(benchmark::kMillisecond);
BENCHMARK(BmFloorSplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BmFloorConvertNumbers)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration so the ratios can be printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
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
    if (read != t.end() && split != t.end() && convert != t.end()) {
        std::cout << "\nLargest report: " << Largest().text.size() << " bytes\n"
                  << "read / split-lines floor       = " << read->second / split->second << "\n"
                  << "read / number-conversion floor = " << read->second / convert->second
                  << "   (goal: at most 1.5)\n";
    }
    return 0;
}
