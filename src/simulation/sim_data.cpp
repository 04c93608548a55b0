#include "simulation/sim_data.h"

#include <stdexcept>

namespace ornexa {

namespace {

template <class T> const T& Entry(const std::vector<T>& entries, int n) {
    static const T none{};
    if (n < 1) {
        throw std::out_of_range("simulation entries are numbered from 1");
    }
    return static_cast<std::size_t>(n) <= entries.size() ? entries[static_cast<std::size_t>(n - 1)] : none;
}

template <class T> T& Entry(std::vector<T>& entries, int n) {
    if (n < 1) {
        throw std::out_of_range("simulation entries are numbered from 1");
    }
    if (static_cast<std::size_t>(n) > entries.size()) {
        entries.resize(static_cast<std::size_t>(n));
    }
    return entries[static_cast<std::size_t>(n - 1)];
}

} // namespace

const PoolSimulation& SimulationData::Pools(int p) const {
    return Entry(pools_, p);
}
const ObjectSimulation& SimulationData::Objects(int o) const {
    return Entry(objects_, o);
}
PoolSimulation& SimulationData::Pools(int p) {
    return Entry(pools_, p);
}
ObjectSimulation& SimulationData::Objects(int o) {
    return Entry(objects_, o);
}

void SimulationData::Reset() {
    *this = SimulationData{};
}

void ClearSimulationState(SimulationData& simulation) {
    simulation.SimFileLoaded = false;
}

} // namespace ornexa
