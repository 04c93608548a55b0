#pragma once

#include <stdexcept>
#include <string>

#include "report/stat_reader.h"
#include "simulation/sim_reader.h"

namespace fuzz {

// The bundled Statistics sample and its Simulation report, read once per process.
struct Simulated {
    ornexa::Report report;
    ornexa::SimulationData sim;
};

inline const Simulated& SimulatedSample() {
    static const Simulated sample = [] {
        Simulated s;
        const std::string folder = ORNEXA_SAMPLES_DIR;
        if (!ornexa::ReadStatisticsFile(s.report, folder + "/statistics-usa.sta").Loaded() ||
            !ornexa::ReadSimulationFile(s.report, s.sim, folder + "/simulation-bp1.sim").Loaded()) {
            throw std::runtime_error("the bundled samples do not load from " + folder);
        }
        return s;
    }();
    return sample;
}

} // namespace fuzz
