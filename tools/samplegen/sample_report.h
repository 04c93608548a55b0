#pragma once

#include <cstdint>
#include <string_view>

#include "report/report_model.h"

namespace ornexa::samplegen {

// A small deterministic generator (the same numbers on every machine and library).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    // Uniform in [lo, hi].
    std::int64_t Between(std::int64_t lo, std::int64_t hi);
    double Uniform(); // [0, 1)
    // Spread over orders of magnitude, as buffer-pool counters are.
    std::int64_t LogBetween(std::int64_t lo, std::int64_t hi);

private:
    std::uint64_t state_;
};

// What kind of objects a generated pool holds.
enum class PoolMix { Catalog, Mixed, IndexOnly, TablesOnly, SortWork, Large };

struct PoolPlan {
    std::string_view name;
    PoolMix mix;
    Long vpSize;
    Long hpSize;
    Long vpSeqThreshold;
    Long hpSeqThreshold;
    double dwth;
    double vwth;
    int objects;
};

// A believable object of `pool` and the pool line summing its objects.
ObjectRecord MakeObject(Rng& rng, const PoolPlan& pool, int index);
PoolRecord MakePool(const Report& report, const PoolPlan& plan, int firstObject, int lastObject, Rng& rng);

// Adds a pool and its objects to `report` (pool figures are the sums of its objects).
void AddPool(Report& report, const PoolPlan& plan, Rng& rng);

inline constexpr std::uint64_t SampleSeed = 20261130;

// The bundled sample: nine pools (catalog, work files, index-only, hiperpool, 32K and mixed pools)
// and a few hundred objects. Another seed gives the same pools with other figures.
Report BuildSampleReport(std::uint64_t seed = SampleSeed);

// The largest report a reader accepts: 60 pools and 5000 objects.
Report BuildLargestReport();

} // namespace ornexa::samplegen
