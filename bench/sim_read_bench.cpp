// Reading a Simulation report of one large pool whose object lines name no object of the pool by
// its whole name (each name's first letter changed): every line is looked for as a part of a name.
// Run at 25,000 and 250,000 objects: the lines read a second stay level when the growth is linear.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "large_site.h"
#include "sample_report.h"
#include "sim_writer.h"
#include "simulation/sim_reader.h"

namespace {

using namespace ornexa;

struct RenamedSimulation {
    Report report;
    std::filesystem::path file;
    int lines = 0; // object lines of the file
};

const RenamedSimulation& Renamed(int objects) {
    static std::map<int, RenamedSimulation> made;
    RenamedSimulation& entry = made[objects];
    if (entry.file.empty()) {
        Report report = samplegen::BuildLargeReport(1, objects);
        report.StatFileLoaded = true;
        const samplegen::SimSample sample = samplegen::BuildSimulation(report, report.Pools(1).PoolName.Trimmed(), 81);
        entry.lines = static_cast<int>(sample.objects.size());
        entry.file =
            std::filesystem::temp_directory_path() / ("ornexa-bench-renamed-" + std::to_string(objects) + ".sim");
        std::ofstream(entry.file, std::ios::binary)
            << samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects);
        // The report's names differ from the file's in their first letter.
        entry.report = sample.report;
        entry.report.StatFileLoaded = true;
        for (const int o : PoolObjects(entry.report, 1)) {
            std::string name(entry.report.Objects(o).ObjName.Trimmed());
            name[0] = name[0] == 'Q' ? 'R' : 'Q';
            entry.report.Objects(o).ObjName = name;
        }
    }
    return entry;
}

void BmReadRenamedSimulation(benchmark::State& state) {
    const auto objects = static_cast<int>(state.range(0));
    const RenamedSimulation& input = Renamed(objects);
    {
        SimulationData sim;
        const SimReadResult first = ReadSimulationFile(input.report, sim, input.file);
        if (first.skippedLines != input.lines) {
            const std::string why = "read " + std::to_string(static_cast<int>(first.outcome)) + ", skipped " +
                                    std::to_string(first.skippedLines) + ", lines " +
                                    std::to_string(first.objectLines) +
                                    (first.fault ? ", " + first.fault->description : std::string());
            state.SkipWithError(why.c_str());
            return;
        }
    }
    for (auto _ : state) {
        SimulationData sim;
        const SimReadResult result = ReadSimulationFile(input.report, sim, input.file);
        benchmark::DoNotOptimize(result.skippedLines);
    }
    state.SetItemsProcessed(state.iterations() * input.lines); // lines a second: flat when growth is linear
}
BENCHMARK(BmReadRenamedSimulation)->Arg(25000)->Arg(250000)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace
