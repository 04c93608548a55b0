// Any bytes as a Simulation report against the bundled Statistics sample, read from memory and nothing else:
// SimFileLoaded follows the outcome, and what is stored names pools and objects the report holds.
#include <cstdint>
#include <string_view>

#include "fuzz_checks.h"
#include "simulation/sim_reader.h"
#include "statistics_sample.h"

using fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ornexa::Report& report = fuzz::SimulatedSample().report;
    ornexa::SimulationData sim;
    const ornexa::SimReadResult result = ornexa::ReadSimulationBytes(
        report, sim, std::string_view(reinterpret_cast<const char*>(data), size), "input.sim");
    Check(result.Loaded() == sim.SimFileLoaded, "SimFileLoaded follows the outcome of the read");
    Check(result.Loaded() != result.fault.has_value(), "a fault only for a failed read");
    Check(sim.simulatedPool == 0 || report.HasPool(sim.simulatedPool), "the simulated pool is one of the report's");
    return 0;
}
