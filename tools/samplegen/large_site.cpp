#include "large_site.h"

#include <array>
#include <cmath>
#include <fstream>
#include <numeric>
#include <stdexcept>

namespace ornexa::samplegen {

namespace {

const std::array<std::string, LargeSitePools>& PoolNames() {
    static const std::array<std::string, LargeSitePools> names = [] {
        std::array<std::string, LargeSitePools> n;
        for (std::size_t i = 0; i < 50; ++i) {
            n.at(i) = "BP" + std::to_string(i);
        }
        for (std::size_t i = 0; i < 10; ++i) {
            n.at(50 + i) = "BP8K" + std::to_string(i);
            n.at(60 + i) = "BP16K" + std::to_string(i);
            n.at(70 + i) = i == 0 ? std::string("BP32K") : "BP32K" + std::to_string(i);
        }
        return n;
    }();
    return names;
}

// Pool i's share: a few large pools among many small ones, not in pool order.
double Weight(int i) {
    const int rank = (i * 37 + 11) % LargeSitePools; // a fixed shuffle of 0..79
    return 1.0 / std::pow(rank + 1.0, 1.1);
}

ReportHeader LargeHeader(int pools) {
    ReportHeader h = BuildSampleReport().Header;
    h.ReportPoolCount = static_cast<Integer>(pools);
    return h;
}

} // namespace

std::vector<PoolPlan> LargeSitePlans(int pools, int objects) {
    if (pools < 1 || pools > LargeSitePools || objects < 0) {
        throw std::invalid_argument("a large site has 1 to 80 pools and no negative number of objects");
    }
    std::vector<double> weights;
    weights.reserve(static_cast<std::size_t>(pools));
    for (int i = 0; i < pools; ++i) {
        weights.push_back(Weight(i));
    }
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    // One object for every pool first, while there are enough; the rest by weight.
    const int base = objects >= pools ? 1 : 0;
    const int spread = objects - base * pools;
    std::vector<int> counts;
    counts.reserve(static_cast<std::size_t>(pools));
    int given = 0;
    for (int i = 0; i < pools; ++i) {
        const int count = base + static_cast<int>(std::floor(spread * weights[static_cast<std::size_t>(i)] / total));
        counts.push_back(count);
        given += count;
    }
    for (int i = 0; given < objects; i = (i + 1) % pools) {
        ++counts[static_cast<std::size_t>(i)];
        ++given;
    }
    std::vector<PoolPlan> plans;
    plans.reserve(static_cast<std::size_t>(pools));
    for (int i = 0; i < pools; ++i) {
        const PoolMix mix = i == 0 ? PoolMix::Catalog : (i == 7 ? PoolMix::SortWork : PoolMix::Large);
        const Long vpSize = 10000 + 1000 * i + static_cast<Long>(counts[static_cast<std::size_t>(i)] / 2);
        plans.push_back({PoolNames().at(static_cast<std::size_t>(i)), mix, vpSize, i % 5 == 0 ? 20000 : 0, 80, 80, 50.0,
                         10.0, counts[static_cast<std::size_t>(i)]});
    }
    return plans;
}

Report BuildLargeReport(int pools, int objects, std::uint64_t seed) {
    Report report;
    report.SetLimits({std::max(pools, Report::MaxPools), std::max(objects, Report::MaxObjects)});
    report.Header = LargeHeader(pools);
    Rng rng(seed);
    for (const PoolPlan& plan : LargeSitePlans(pools, objects)) {
        AddPool(report, plan, rng);
    }
    return report;
}

void WriteLargeReport(const std::filesystem::path& path, int pools, int objects, std::uint64_t seed,
                      const StatFileOptions& options) {
    const bool usa = options.country == "USA";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const auto add = [&](const std::string& line) { out << line << options.lineEnd; };
    add(EnvironmentLine(options.country));
    add(HeaderLine(LargeHeader(pools), usa));
    Rng rng(seed);
    for (const PoolPlan& plan : LargeSitePlans(pools, objects)) {
        // One pool at a time: its objects first, as the pool line sums them.
        Report one;
        one.SetLimits({1, std::max(plan.objects, 1)});
        AddPool(one, plan, rng);
        add(PoolLine(one.Pools(1), usa));
        for (const int o : PoolObjects(one, 1)) {
            add(ObjectLine(one.Objects(o), usa));
        }
    }
    out.close();
    if (!out) {
        throw std::runtime_error("cannot write \"" + path.string() + "\"");
    }
}

} // namespace ornexa::samplegen
