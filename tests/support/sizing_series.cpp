#include "sizing_series.h"

#include <array>
#include <cstdio>

#include "sample_report.h"
#include "stat_writer.h"

namespace ornexa::test {

namespace {

void SetPool(Report& report, std::string_view name, std::int64_t size, std::int64_t syncReadsPerSecond) {
    for (int p = 1; p <= report.PoolCount(); ++p) {
        PoolRecord& pool = report.Pools(p);
        if (pool.PoolName.Trimmed() == name) {
            pool.VPSize = static_cast<Long>(size);
            pool.PoolReadIOsByType(1) = static_cast<Long>(syncReadsPerSecond) * 5400;
        }
    }
}

} // namespace

SizingSeries WriteSizingSeries(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    SizingSeries series;
    series.days = {{30000, 60, 10000, 12}, {30000, 60, 10000, 12}, {20000, 80, 10000, 12}, {20000, 80, 10000, 12},
                   {30000, 58, 15000, 9},  {30000, 58, 15000, 9},  {40000, 50, 15000, 9}};
    for (std::size_t day = 0; day < series.days.size(); ++day) {
        std::array<char, 16> date{};
        std::snprintf(date.data(), date.size(), "2026-11-%02d", static_cast<int>(day) + 2);
        // One seed for every day: the same getpages, so every report lies at comparable load.
        Report report = samplegen::BuildSampleReport(100U);
        report.Header.CollectionDate = date.data();
        report.Header.CollectionTime = "10.00.00";
        const SizingSeriesDay& figures = series.days[day];
        SetPool(report, "BP1", figures.bp1Size, figures.bp1Reads);
        SetPool(report, "BP2", figures.bp2Size, figures.bp2Reads);
        const std::filesystem::path file = folder / (std::string(date.data()) + ".sta");
        samplegen::WriteTextFile(file, samplegen::StatisticsText(report));
        series.files.push_back(file);
        series.collected.push_back(std::string(date.data()) + "T10:00:00");
    }
    return series;
}

} // namespace ornexa::test
