#include "sim_writer.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "sample_report.h"
#include "simulation/sim_columns.h"

namespace ornexa::samplegen {

namespace {

double Round(double value, double scale) {
    return std::round(value * scale) / scale;
}

// The number of the last pool named `poolName`.
int PoolNamed(const Report& report, std::string_view poolName) {
    int found = 0;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (report.Pools(p).PoolName.Trimmed() == poolName) {
            found = p;
        }
    }
    if (found == 0) {
        throw std::invalid_argument("no pool of the report is named " + std::string(poolName));
    }
    return found;
}

// The simulation's header, taken from the report's, and its sizes, all virtual pool.
void FillParameters(SimParameters& sim, const ReportHeader& header, std::string_view poolName,
                    const std::array<Long, 5>& sizes) {
    sim.SimHeaderField01 = "SIMULATION";
    sim.SimHeaderField02 = header.SystemName.Str();
    sim.SimHeaderField03 = header.SubSystemName.Str();
    sim.SimHeaderField04 = header.CollectionDate.Str();
    sim.SimHeaderField05 = header.CollectionTime.Str();
    sim.SimHeaderField06 = header.Db2Version.Str();
    sim.SimPoolName = std::string(poolName);
    sim.SimSizeCount = static_cast<std::int16_t>(sizes.size());
    sim.SimHeaderValue09 = 4.0;
    sim.SimHeaderValue10 = 100.0;
    for (int k = 1; k <= MaxSimSizes; ++k) {
        const bool used = k <= static_cast<int>(sizes.size());
        sim.SimVPSize(k) = used ? sizes[static_cast<std::size_t>(k - 1)] : 0;
        sim.SimHPSize(k) = 0;
        sim.SimSizeLabel(k).AssignRaw(used ? " VP" + std::to_string(sim.SimVPSize(k) / 1000) + "K  " : "        ");
    }
}

// The pool's sizes with nothing summed up yet.
void StartPool(PoolSimulation& pool, const SimParameters& sim) {
    for (int k = 1; k <= sim.SimSizeCount; ++k) {
        pool.SimPoolSize(k) = sim.SimVPSize(k) + sim.SimHPSize(k);
        pool.SimGetPages(k) = 0;
        pool.SimStat2(k) = 0;
        pool.SimReadIORate(k) = 0;
    }
}

// What every object of the simulated pool is drawn against.
struct PoolScale {
    Long ownSize = 0;     // the pool's own size
    double elapsed = 0.0; // seconds of the report's interval
};

// One object's values at each simulated size: its hit ratio rises and its reads fall as the pool grows.
void DrawObject(ObjectSimulation& object, const ObjectRecord& stat, const PoolSimulation& pool, int sizeCount,
                const PoolScale& scale, Rng& rng) {
    const auto need = static_cast<double>(rng.LogBetween(50, scale.ownSize / 4));
    const double spread = 1.1 + 0.5 * rng.Uniform();
    const double baseRate = stat.ObjReadIOs / scale.elapsed;
    object.SimObjStat03 = static_cast<Long>(rng.Between(0, 5000));
    object.SimObjStat04 = static_cast<Long>(rng.Between(0, 99));
    for (int k = 1; k <= sizeCount; ++k) {
        const double ratio = static_cast<double>(pool.SimPoolSize(k)) / scale.ownSize;
        const double hit = std::clamp(100 - (100 - stat.SysHitRatio) * std::pow(ratio, -0.7), 0.0, 99.9);
        object.SimGetPages(k) = stat.ObjGetPages;
        object.SimStat2(k) = stat.ObjGetPages / 50;
        object.SimStat3(k) = Round(10 * rng.Uniform(), 10);
        object.SimAvgWorkSet(k) = static_cast<Long>(std::min(need, need * std::sqrt(ratio) * 0.8));
        object.SimMaxWorkSet(k) = static_cast<Long>(object.SimAvgWorkSet(k) * spread);
        object.SimStat6(k) = Round(rng.Uniform() * 100, 100);
        object.SimSysHitRatio(k) = Round(hit, 10);
        object.SimReadIORate(k) =
            Round(stat.SysHitRatio >= 100 ? 0 : baseRate * (100 - hit) / (100 - stat.SysHitRatio), 100);
    }
}

// Pool lines sum up the objects that have a line.
void AddToPool(PoolSimulation& pool, const ObjectSimulation& object, int sizeCount) {
    for (int k = 1; k <= sizeCount; ++k) {
        pool.SimGetPages(k) += object.SimGetPages(k);
        pool.SimStat2(k) += object.SimStat2(k);
        pool.SimReadIORate(k) += object.SimReadIORate(k);
    }
}

// An object without a line keeps no simulation values.
void ClearObject(ObjectSimulation& object) {
    for (int k = 1; k <= MaxSimSizes; ++k) {
        object.SimGetPages(k) = object.SimStat2(k) = object.SimAvgWorkSet(k) = object.SimMaxWorkSet(k) = 0;
        object.SimStat3(k) = object.SimStat6(k) = object.SimReadIORate(k) = object.SimSysHitRatio(k) = 0;
    }
    object.SimObjStat03 = object.SimObjStat04 = 0;
}

// The pool's own figures at each size, once its objects are summed up.
void FinishPool(PoolSimulation& pool, int sizeCount, Long ownSize, double poolHitRatio) {
    for (int k = 1; k <= sizeCount; ++k) {
        const double ratio = static_cast<double>(pool.SimPoolSize(k)) / ownSize;
        pool.SimStat3(k) = Round(5 * ratio, 10);
        pool.SimReadIORate(k) = Round(pool.SimReadIORate(k), 100);
        pool.SimSysHitRatio(k) = Round(std::clamp(100 - (100 - poolHitRatio) * std::pow(ratio, -0.7), 0.0, 99.9), 10);
    }
}

} // namespace

std::string SimParamLine(const SimParameters& parameters, bool usa) {
    SimParameters copy = parameters;
    std::string line = "*BPP";
    PlaceFields(line, SimParamColumns(), SimParamFields(copy), usa);
    return line;
}

std::string SimPoolLine(const PoolSimulation& pool, int sizes, bool usa) {
    PoolSimulation copy = pool;
    std::string line = "BPP ";
    for (int k = 1; k <= sizes; ++k) {
        PlaceFields(line, SimPoolSizeColumns(k), SimPoolSizeFields(copy, k), usa);
    }
    return line;
}

std::string SimObjectLine(const ObjectRecord& object, const ObjectSimulation& values, int sizes, bool usa,
                          char includeMark) {
    ObjectSimulation copy = values;
    std::string line = "BPS ";
    PlaceField(line, SimLineColumns.IncludeMark, std::string(1, includeMark));
    PlaceField(line, SimLineColumns.ObjectName, object.ObjName.Trimmed());
    PlaceFields(line, std::array<ColumnDef, 2>{SimLineColumns.SimObjStat03, SimLineColumns.SimObjStat04},
                std::array<FieldRef, 2>{&copy.SimObjStat03, &copy.SimObjStat04}, usa);
    for (int k = 1; k <= sizes; ++k) {
        PlaceFields(line, SimSizeColumns(k), SimObjectSizeFields(copy, k), usa);
    }
    return line;
}

std::string SimulationText(const Report& report, const SimulationData& sim, int p, const std::vector<int>& objects,
                           const StatFileOptions& options) {
    const bool usa = options.country == "USA";
    const int sizes = sim.SizeCount();
    std::string text;
    const auto add = [&](const std::string& line) {
        text += line;
        text += options.lineEnd;
    };
    add(EnvironmentLine(options.country));
    if (options.decorate) {
        add("    BUFFER POOL SIMULATION");
        add("BPO                 E" + report.Pools(p).PoolName.Str());
        add("");
    }
    add(SimParamLine(sim.Sim, usa));
    add(SimPoolLine(sim.Pools(p), sizes, usa));
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const ObjectRecord& object = report.Objects(objects[i]);
        add(SimObjectLine(object, sim.Objects(objects[i]), sizes, usa));
        if (options.decorate && i % 9 == 4) {
            add("BPO                 E" + object.ObjName.Str());
        }
    }
    return text;
}

SimSample BuildSampleSimulation() {
    return BuildSimulation(BuildSampleReport(), "BP1", 31);
}

SimSample BuildSimulation(Report base, std::string_view poolName, std::uint64_t seed) {
    SimSample sample{std::move(base), {}, 0, {}};
    const Report& report = sample.report;
    sample.pool = PoolNamed(report, poolName);
    const PoolRecord& statPool = report.Pools(sample.pool);
    PoolSimulation& pool = sample.sim.Pools(sample.pool);
    const Long ownSize = statPool.VPSize + statPool.HPSize;
    SimParameters& sim = sample.sim.Sim;
    FillParameters(sim, report.Header, poolName,
                   std::array<Long, 5>{ownSize / 2, ownSize * 3 / 4, ownSize, ownSize * 3 / 2, ownSize * 2});

    Rng rng(seed);
    const ObjectRange range = PoolObjects(report, sample.pool);
    const PoolScale scale{ownSize, static_cast<double>(ElapsedToSeconds(report.Header.ElapsedTime.Padded()))};
    StartPool(pool, sim);
    for (const int o : range) {
        ObjectSimulation& object = sample.sim.Objects(o);
        DrawObject(object, report.Objects(o), pool, sim.SimSizeCount, scale, rng);
        const bool hasLine = (o - range.first) % 7 != 6; // every seventh object has no line
        if (hasLine) {
            AddToPool(pool, object, sim.SimSizeCount);
            sample.objects.push_back(o);
        } else {
            ClearObject(object);
        }
    }
    FinishPool(pool, sim.SimSizeCount, ownSize, statPool.PoolHitRatio);
    return sample;
}

} // namespace ornexa::samplegen
