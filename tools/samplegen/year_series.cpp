#include "year_series.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <stdexcept>
#include <vector>

#include "large_site.h"
#include "sample_report.h"
#include "stat_writer.h"

namespace ornexa::samplegen {

namespace {

constexpr double Pi = std::numbers::pi;

Long L(double v) {
    return static_cast<Long>(std::llround(v));
}

double OneDecimal(double v) {
    return std::round(v * 10) / 10;
}

std::chrono::sys_days StartDay(const std::string& start) {
    int year = 0;
    unsigned month = 0;
    unsigned day = 0;
    if (std::sscanf(start.c_str(), "%d-%u-%u", &year, &month, &day) != 3) { // NOLINT(cert-err34-c)
        throw std::invalid_argument("the first day of a series is written 2026-01-01, not " + start);
    }
    const std::chrono::year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
    if (!date.ok()) {
        throw std::invalid_argument("no such day: " + start);
    }
    return date;
}

// How busy the hour is, 0 to 1: the working day rises and falls, and a nightly batch runs from 1 to 3.
double DayCurve(int hour, bool workday) {
    if (hour >= 8 && hour < 18) {
        return (workday ? 1.0 : 0.3) * std::sin(Pi * (hour - 8 + 0.5) / 10);
    }
    return 0;
}
bool BatchHour(int hour) {
    return hour >= 1 && hour < 3;
}

// What interval `t` asks of pool `i`.
struct PoolLoad {
    double residency = 0;     // seconds a page stays
    double randomHit = 0;     // share of random getpages found in the pool
    double sequentialHit = 0; // share of sequential getpages found
};

PoolLoad LoadOf(int i, int hour, bool workday, Rng& rng) {
    const bool dayHeavy = i % 8 == 3;   // falls to an exception in the busiest hours
    const bool batchHeavy = i % 8 == 5; // a warning in the nightly batch
    const double curve = DayCurve(hour, workday);
    double load = 1 + (dayHeavy ? 8 : 2) * curve + 0.3 * rng.Uniform();
    if (batchHeavy && BatchHour(hour)) {
        load += 5.5;
    }
    PoolLoad pool;
    pool.residency = (400 + 20 * (i % 10)) / load;
    pool.randomHit = 0.95 - (dayHeavy ? 0.27 : 0.05) * curve - 0.01 * rng.Uniform();
    pool.sequentialHit = 0.5 + 0.1 * rng.Uniform();
    return pool;
}

ObjectRecord SeriesObject(const PoolPlan& plan, int index, double share, const PoolLoad& load, Rng& rng) {
    ObjectRecord o;
    const bool isIndex = index % 2 == 1;
    o.ObjQualifier = "STATISTICS";
    o.ObjPoolName = plan.name;
    o.ObjType = isIndex ? "I" : "T";
    o.ObjName = std::string(isIndex ? "SERIESDB.IX" : "SERIESDB.TS") + std::string(plan.name.substr(2)) + "N" +
                std::to_string(index + 1);
    // The pages the pool reads in the interval to keep its pages `residency` seconds.
    const double pagesRead = static_cast<double>(plan.vpSize) * SeriesIntervalSeconds / load.residency * share;
    const double syncPages = 0.7 * pagesRead;
    const double prefetchPages = pagesRead - syncPages;
    const double randomGetpages = syncPages / (1 - load.randomHit);
    const double sequentialGetpages = prefetchPages / (1 - load.sequentialHit);
    o.GetPagesByAccess(1) = L(sequentialGetpages);
    o.GetPagesByAccess(2) = L(randomGetpages);
    o.GetPagesByAccess(3) = L(0.05 * randomGetpages);
    o.ObjGetPages = o.GetPagesByAccess(1) + o.GetPagesByAccess(2) + o.GetPagesByAccess(3);
    o.PagesReadByType(1) = L(syncPages);
    o.PagesReadByType(2) = L(0.6 * prefetchPages);
    o.PagesReadByType(3) = L(0.1 * prefetchPages);
    o.PagesReadByType(4) = L(prefetchPages) - o.PagesReadByType(2) - o.PagesReadByType(3);
    o.ObjPagesRead = o.PagesReadByType(1) + o.PagesReadByType(2) + o.PagesReadByType(3) + o.PagesReadByType(4);
    o.ReadIOsByType(1) = o.PagesReadByType(1);
    o.ReadIOsByType(2) = L(o.PagesReadByType(2) / 32.0);
    o.ReadIOsByType(3) = L(o.PagesReadByType(3) / 8.0);
    o.ReadIOsByType(4) = L(o.PagesReadByType(4) / 16.0);
    o.ObjReadIOs = o.ReadIOsByType(1) + o.ReadIOsByType(2) + o.ReadIOsByType(3) + o.ReadIOsByType(4);
    const double getPages = o.ObjGetPages;
    o.SysHitRatio = OneDecimal(getPages > 0 ? (getPages - o.ObjPagesRead) * 100 / getPages : 0);
    o.AppHitRatio = OneDecimal(getPages > 0 ? (getPages - o.PagesReadByType(1)) * 100 / getPages : 0);
    o.ObjAvgSyncIOTime = static_cast<Long>(rng.Between(1, 6));
    o.ObjMaxSyncIOTime = o.ObjAvgSyncIOTime * static_cast<Long>(rng.Between(3, 12));
    o.ObjUpdates = L(getPages * (isIndex ? 0.02 : 0.1));
    o.ObjPagesWritten = L(o.ObjUpdates * 0.3);
    o.ObjWriteIOs = o.ObjPagesWritten == 0 ? 0 : std::max<Long>(1, L(o.ObjPagesWritten / 8.0));
    o.ObjWriteIOTime = o.ObjWriteIOs == 0 ? 0 : static_cast<Long>(rng.Between(2, 20));
    return o;
}

std::string TwoDigits(long value) {
    return (value < 10 ? "0" : "") + std::to_string(value);
}

} // namespace

Report BuildSeriesReport(const YearSeriesOptions& options, int interval) {
    if (options.pools < 1 || options.pools > LargeSitePools || options.objectsPerPool < 1 || interval < 0) {
        throw std::invalid_argument("a series has 1 to 80 pools and at least one object in each");
    }
    using namespace std::chrono;
    const sys_seconds at = StartDay(options.start) + seconds(static_cast<long>(interval) * SeriesIntervalSeconds);
    const sys_days day = floor<days>(at);
    const year_month_day date{day};
    const hh_mm_ss time{at - day};
    const auto hour = static_cast<int>(time.hours().count());
    const bool workday = weekday{day}.iso_encoding() <= 5;
    const sys_seconds end = at + seconds(SeriesIntervalSeconds);
    const hh_mm_ss endTime{end - floor<days>(end)};

    static const ReportHeader sample = BuildSampleReport().Header;
    Report report;
    report.SetLimits({std::max(options.pools, Report::MaxPools),
                      std::max(options.pools * options.objectsPerPool, Report::MaxObjects)});
    report.Header = sample;
    report.Header.SystemName = options.system;
    report.Header.SubSystemName = options.subsystem;
    report.Header.ReportPoolCount = static_cast<Integer>(options.pools);
    const int y = static_cast<int>(date.year());
    const auto m = static_cast<long>(static_cast<unsigned>(date.month()));
    const auto d = static_cast<long>(static_cast<unsigned>(date.day()));
    report.Header.CollectionDate = std::to_string(y) + "-" + TwoDigits(m) + "-" + TwoDigits(d);
    report.Header.CollectionTime = TwoDigits(time.hours().count()) + "." + TwoDigits(time.minutes().count()) + ".00";
    report.Header.HeaderValue11 = SeriesIntervalSeconds;
    report.Header.HeaderValue12 = static_cast<Long>((static_cast<long>(y) * 10000) + (m * 100) + d);
    report.Header.HeaderValue13 = static_cast<Long>(time.hours().count() * 10000 + time.minutes().count() * 100);
    report.Header.HeaderValue14 = static_cast<Long>(endTime.hours().count() * 10000 + endTime.minutes().count() * 100);
    report.Header.ElapsedTime = "00:15:00";
    report.ElapsedSeconds = SeriesIntervalSeconds;

    Rng rng(options.seed * 1'000'003 + static_cast<std::uint64_t>(interval));
    std::vector<PoolPlan> plans = LargeSitePlans(options.pools, 0);
    for (int i = 0; i < options.pools; ++i) {
        PoolPlan& plan = plans[static_cast<std::size_t>(i)];
        plan.vpSize = 4000 + 500 * (i % 16);
        plan.objects = options.objectsPerPool;
        const PoolLoad load = LoadOf(i, hour, workday, rng);
        const int first = report.ObjectCount() + 1;
        // The first object does most of the work: shares n, n - 1, ..., 1 of their sum.
        const double total = options.objectsPerPool * (options.objectsPerPool + 1) / 2.0;
        for (int o = 0; o < options.objectsPerPool; ++o) {
            report.AddObject(SeriesObject(plan, o, (options.objectsPerPool - o) / total, load, rng));
        }
        PoolRecord pool = MakePool(report, plan, first, report.ObjectCount(), rng);
        pool.FirstObject = static_cast<Long>(first);
        pool.LastObject = static_cast<Long>(report.ObjectCount());
        report.AddPool(pool);
    }
    report.StatFileLoaded = true;
    return report;
}

std::string SeriesFileName(const YearSeriesOptions& options, int interval) {
    std::array<char, 16> number{};
    std::snprintf(number.data(), number.size(), "%05d", interval);
    return options.subsystem + "-" + number.data() + ".sta";
}

void WriteYearSeries(const std::filesystem::path& folder, const YearSeriesOptions& options) {
    if (options.intervals < 1) {
        throw std::invalid_argument("a series has at least one interval");
    }
    std::filesystem::create_directories(folder);
    StatFileOptions file;
    file.decorate = false;
    for (int t = 0; t < options.intervals; ++t) {
        WriteTextFile(folder / SeriesFileName(options, t), StatisticsText(BuildSeriesReport(options, t), file));
    }
}

} // namespace ornexa::samplegen
