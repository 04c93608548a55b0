// Any bytes as a threshold file (Rand.acc): the threshold read is the one parsed from the file's
// start, and a cluster run of the bundled simulation under it ends with a result.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "cluster/clustering.h"
#include "input_file.h"
#include "rules/pool_usage.h"
#include "statistics_sample.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path folder = [] {
        std::filesystem::path f = InputFile(".acc");
        std::filesystem::create_directories(f);
        return f;
    }();
    if (!WriteInput(ornexa::UsageThresholdPath(folder, ornexa::PoolUsage::Random), data, size)) {
        return 0;
    }
    const double threshold = ornexa::ReadUsageThreshold(folder, ornexa::PoolUsage::Random);
    const std::string start(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 4096));
    const double parsed = ornexa::ParseUsageThreshold(start);
    if (!(threshold == parsed || (std::isnan(threshold) && std::isnan(parsed)))) {
        throw std::logic_error("the file's threshold is the one parsed from its start");
    }
    const fuzz::Simulated& simulated = fuzz::SimulatedSample();
    for (const auto usage : {ornexa::PoolUsage::Random, ornexa::PoolUsage::Sequential}) {
        const ornexa::ClusterRun run =
            ornexa::RunClusterAnalysis(simulated.report, simulated.sim, simulated.sim.simulatedPool, 1, usage,
                                       threshold, ornexa::MinClusterRadius);
        if (run.result < -1 || run.result > static_cast<int>(run.ClusterMembers.size())) {
            throw std::logic_error("a run has no more clusters than members");
        }
    }
    return 0;
}
