// Any bytes as a Simulation report against the bundled Statistics sample, read and nothing else:
// SimFileLoaded follows the outcome, and what is stored names pools and objects the report holds.
#include <cstdint>
#include <filesystem>
#include <stdexcept>

#include "input_file.h"
#include "simulation/sim_reader.h"
#include "statistics_sample.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        throw std::logic_error(what);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path input = InputFile(".sim");
    if (!WriteInput(input, data, size)) {
        return 0;
    }
    const ornexa::Report& report = fuzz::SimulatedSample().report;
    ornexa::SimulationData sim;
    const ornexa::SimReadResult result = ornexa::ReadSimulationFile(report, sim, input);
    Check(result.Loaded() == sim.SimFileLoaded, "SimFileLoaded follows the outcome of the read");
    Check(result.Loaded() != result.fault.has_value(), "a fault only for a failed read");
    Check(sim.simulatedPool == 0 || report.HasPool(sim.simulatedPool), "the simulated pool is one of the report's");
    return 0;
}
