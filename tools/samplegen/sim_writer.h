#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"
#include "simulation/sim_data.h"
#include "stat_writer.h"

namespace ornexa::samplegen {

// The lines of a Simulation report, from the values held in a report model.
std::string SimParamLine(const SimParameters& parameters, bool usa);
std::string SimPoolLine(const PoolSimulation& pool, int sizes, bool usa);
std::string SimObjectLine(const ObjectRecord& object, const ObjectSimulation& values, int sizes, bool usa,
                          char includeMark = ' ');

// A Simulation report for pool p of `report` with object lines for `objects` (object numbers),
// taking SimParameters and the pool and object simulation values from `sim`.
std::string SimulationText(const Report& report, const SimulationData& sim, int p, const std::vector<int>& objects,
                           const StatFileOptions& options = {});

// The sample's simulation: pool BP1 at five sizes, one of them its own, with values for most of
// its objects.
struct SimSample {
    Report report;      // the sample report
    SimulationData sim; // its simulation values
    int pool = 0;
    std::vector<int> objects; // the objects that have an object simulation line
};
SimSample BuildSampleSimulation();
// The same kind of simulation for the pool named `poolName` of `report`, values drawn from `seed`.
SimSample BuildSimulation(Report report, std::string_view poolName, std::uint64_t seed);

} // namespace ornexa::samplegen
