#include "change_series.h"

#include <algorithm>
#include <cstdio>

#include "sample_report.h"
#include "sim_writer.h"
#include "stat_writer.h"

namespace ornexa::test {

namespace {

int PoolNumber(const Report& report, std::string_view name) {
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (report.Pools(p).PoolName.Trimmed() == name) {
            return p;
        }
    }
    return 0;
}

// BP1 as it was or became: its size, hit ratio and synchronous reads over the 5400 s interval.
void SetPool(Report& report, std::int64_t size, double hitRatio, Long syncReadsPerSecond) {
    PoolRecord& pool = report.Pools(PoolNumber(report, "BP1"));
    pool.VPSize = static_cast<Long>(size);
    pool.PoolHitRatio = hitRatio;
    pool.PoolReadIOsByType(1) = syncReadsPerSecond * 5400;
}

} // namespace

ChangeSeries WriteChangeSeries(const std::filesystem::path& folder, int daysEach) {
    std::filesystem::create_directories(folder);
    ChangeSeries series;
    // The simulation of the sample's BP1 gives the sizes; the new size lies between the first two.
    const samplegen::SimSample probe = samplegen::BuildSimulation(samplegen::BuildSampleReport(), "BP1", 31);
    std::vector<Long> sizes;
    for (int k = 1; k <= probe.sim.SizeCount(); ++k) {
        sizes.push_back(probe.sim.Sim.SimVPSize(k));
    }
    std::sort(sizes.begin(), sizes.end());
    series.sizeBefore = probe.report.Pools(probe.pool).VPSize;
    series.sizeAfter = (sizes[0] + sizes[1]) / 2;
    const int days = 2 * daysEach;
    for (int day = 0; day < days; ++day) {
        for (const char* time : {"10.00.00", "14.00.00"}) {
            const bool after = day >= daysEach;
            std::array<char, 16> date{};
            std::snprintf(date.data(), date.size(), "2026-11-%02d", day + 2);
            Report report = samplegen::BuildSampleReport(100U + static_cast<std::uint64_t>(day));
            report.Header.CollectionDate = date.data();
            report.Header.CollectionTime = time;
            SetPool(report, after ? series.sizeAfter : series.sizeBefore, after ? 90.0 : 70.0, after ? 20 : 50);
            std::string at = std::string(date.data()) + "T" + time;
            std::replace(at.begin() + 11, at.end(), '.', ':');
            const std::string name = at.substr(0, 10) + "-" + std::string(time).substr(0, 2);
            ChangeSeriesFile file{folder / (name + ".sta"), {}, at};
            const bool lastBefore = day == daysEach - 1 && std::string(time) == "14.00.00";
            if (lastBefore) {
                samplegen::SimSample sample = samplegen::BuildSimulation(report, "BP1", 31);
                file.simulation = folder / (name + ".sim");
                samplegen::WriteTextFile(
                    file.simulation, samplegen::SimulationText(sample.report, sample.sim, sample.pool, sample.objects));
                report = sample.report;
                series.lastBefore = at;
            }
            if (after && series.firstAfter.empty()) {
                series.firstAfter = at;
            }
            samplegen::WriteTextFile(file.statistics, samplegen::StatisticsText(report));
            series.files.push_back(std::move(file));
        }
    }
    return series;
}

} // namespace ornexa::test
