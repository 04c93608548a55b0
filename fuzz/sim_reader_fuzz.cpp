// Any bytes as a Simulation report against the bundled Statistics sample: the read must end, keep
// SimFileLoaded only when it reached the end, and the simulation charts and clustering must work
// on whatever it stored.
#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "cluster/clustering.h"
#include "input_file.h"
#include "report/stat_reader.h"
#include "simulation/sim_charts.h"
#include "simulation/sim_reader.h"
#include "statistics_sample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path input = InputFile(".sim");
    if (!WriteInput(input, data, size)) {
        return 0;
    }

    const ornexa::Report& report = fuzz::SimulatedSample().report;
    ornexa::SimulationData sim;
    const ornexa::SimReadResult result = ornexa::ReadSimulationFile(report, sim, input);
    if (result.Loaded() != sim.SimFileLoaded || result.Loaded() == result.fault.has_value()) {
        throw std::logic_error("SimFileLoaded follows the outcome of the read, and a fault only a failed one");
    }
    const int p = sim.simulatedPool;
    if (report.HasPool(p)) {
        ornexa::ChartModel chart;
        for (int m = 0; m <= 1; ++m) {
            ornexa::DrawPoolSizeCurve(chart, sim, p, m);
            ornexa::DrawLargestImprovement(chart, report, sim, p, m);
        }
        ornexa::DrawLargestWorkSets(chart, report, sim, p);
        ornexa::DrawSmallestWorkSets(chart, report, sim, p);
        for (int k = 1; k <= ornexa::MaxSimSizes; ++k) {
            (void)ornexa::RunClusterAnalysis(report, sim, p, k, ornexa::PoolUsage::Random, 0, 0.4);
        }
    }
    return 0;
}
