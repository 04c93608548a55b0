#pragma once

#include <algorithm>
#include <vector>

#include "report/report_model.h"
#include "simulation/sim_parameters.h"

namespace ornexa {

// The simulated sizes and pool figures of the Simulation report, entries 1..8.
struct PoolSimulation {
    PerSize<Long> SimPoolSize;
    PerSize<Long> SimGetPages;
    PerSize<Long> SimStat2;
    PerSize<double> SimStat3;
    PerSize<double> SimReadIORate;
    PerSize<double> SimSysHitRatio;
};

// One object's values of its object simulation line, entries 1..8.
struct ObjectSimulation {
    PerSize<Long> SimGetPages;
    PerSize<Long> SimStat2;
    PerSize<double> SimStat3;
    PerSize<Long> SimAvgWorkSet;
    PerSize<Long> SimMaxWorkSet;
    PerSize<double> SimStat6;
    PerSize<double> SimReadIORate;
    PerSize<double> SimSysHitRatio;
    Long SimObjStat03 = 0;
    Long SimObjStat04 = 0;
};

// What the Simulation reports read for one Statistics report: the parameters of the last one and
// the values per simulated size, beside the pool and object records they belong to (the same 1-based
// numbers). A pool or object that no report simulated reads as all zero.
class SimulationData {
public:
    SimParameters Sim;          // of the Simulation report read last
    bool SimFileLoaded = false; // the last read reached the end of its file
    int simulatedPool = 0;      // the pool the last read was matched to; 0 for none

    [[nodiscard]] const PoolSimulation& Pools(int p) const;
    [[nodiscard]] const ObjectSimulation& Objects(int o) const;
    // For the reader and test fixtures: the entry, made on first use.
    PoolSimulation& Pools(int p);
    ObjectSimulation& Objects(int o);

    // The sizes of the last report that a read can hold: 1..min(SimSizeCount, 8).
    [[nodiscard]] int SizeCount() const { return std::clamp<int>(Sim.SimSizeCount, 0, MaxSimSizes); }
    [[nodiscard]] NumberRange Sizes() const { return {SizeCount() > 0 ? 1 : 0, SizeCount()}; }

    // The pool whose simulation the analysis shows: the matched pool of a loaded report, else 0.
    [[nodiscard]] int ShownPool() const { return SimFileLoaded ? simulatedPool : 0; }

    // Forgets everything, as a new Statistics report does.
    void Reset();

private:
    std::vector<PoolSimulation> pools_;
    std::vector<ObjectSimulation> objects_;
};

// Leaving the analysis window: the simulation is no longer shown; its values stay.
void ClearSimulationState(SimulationData& simulation);

} // namespace ornexa
