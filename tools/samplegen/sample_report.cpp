#include "sample_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace ornexa::samplegen {

std::uint64_t Rng::Next() {
    // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30U)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27U)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31U);
}

std::int64_t Rng::Between(std::int64_t lo, std::int64_t hi) {
    const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
    return lo + static_cast<std::int64_t>(Next() % span);
}

double Rng::Uniform() {
    return static_cast<double>(Next() >> 11U) * 0x1.0p-53;
}

std::int64_t Rng::LogBetween(std::int64_t lo, std::int64_t hi) {
    const double a = std::log(static_cast<double>(lo));
    const double b = std::log(static_cast<double>(hi));
    return std::clamp(static_cast<std::int64_t>(std::exp(a + (b - a) * Uniform())), lo, hi);
}

namespace {

Long L(double v) {
    return static_cast<Long>(std::llround(v));
}
double OneDecimal(double v) {
    return std::round(v * 10) / 10;
}

char ObjectType(Rng& rng, const PoolPlan& pool, int index) {
    switch (pool.mix) {
    case PoolMix::IndexOnly:
        return 'I';
    case PoolMix::TablesOnly:
    case PoolMix::SortWork:
        return 'T';
    case PoolMix::Catalog: {
        constexpr std::array<char, 12> kinds{'T', 'I', 'I', 'T', 'I', '*', 'I', 'T', 'U', 'I', 'D', 'I'};
        return kinds[static_cast<std::size_t>(index) % kinds.size()];
    }
    default:
        return rng.Uniform() < 0.55 ? 'I' : 'T';
    }
}

std::string ObjectName(const PoolPlan& pool, char type, int index) {
    static constexpr std::array<std::string_view, 14> catalog{
        "SYSDBASE", "SYSDBAUT", "SYSGPAUT", "SYSGROUP", "SYSPLAN", "SYSPKAGE", "SYSSTATS",
        "SYSSTR",   "SYSUSER",  "SYSVIEWS", "SYSCOPY",  "SYSDDF",  "SYSOBJ",   "SYSHIST"};
    static constexpr std::array<std::string_view, 8> databases{"PAYROLL", "ORDERDB", "CUSTDB",  "INVENTRY",
                                                               "LEDGER",  "SHIPDB",  "BILLING", "HRDB"};
    const auto n = static_cast<std::size_t>(index);
    switch (pool.mix) {
    case PoolMix::Catalog:
        if (type == '*' || type == 'U' || type == 'D') {
            return "DSNDB01.DBD" + std::to_string(index + 1);
        }
        return std::string("DSNDB06.") +
               (type == 'I' ? "DSNX" + std::to_string(index + 1) : std::string(catalog[n % catalog.size()]));
    case PoolMix::SortWork:
        return "DSNDB07.DSN4K" + std::string(index < 9 ? "0" : "") + std::to_string(index + 1);
    default: {
        const std::string db(databases[(n / 7 + static_cast<std::size_t>(pool.name.size())) % databases.size()]);
        return db + "." + (type == 'I' ? "IX" : "TS") + std::string(pool.name.substr(2)) + "N" +
               std::to_string(index + 1);
    }
    }
}

} // namespace

ObjectRecord MakeObject(Rng& rng, const PoolPlan& pool, int index) {
    ObjectRecord o;
    const char type = ObjectType(rng, pool, index);
    o.ObjQualifier = "STATISTICS";
    o.ObjPoolName = pool.name;
    o.ObjType = std::string(1, type);
    o.ObjName = ObjectName(pool, type, index);

    const bool isIndex = type == 'I';
    const bool sortWork = pool.mix == PoolMix::SortWork;
    // A pool of very many objects keeps its sums within a Long: the more objects, the fewer getpages each.
    const std::int64_t most =
        std::min<std::int64_t>(sortWork ? 9000000 : 4000000, 1'500'000'000 / std::max(pool.objects, 1));
    const std::int64_t least = std::min<std::int64_t>(sortWork ? 20000 : 200, most / 2);
    const auto getPages = static_cast<double>(rng.LogBetween(least, most));
    const double seqShare = sortWork ? 0.9 + 0.1 * rng.Uniform() : (isIndex ? 0.25 : 0.85) * rng.Uniform();
    const double ridShare = isIndex ? 0.0 : 0.08 * rng.Uniform();
    o.ObjGetPages = L(getPages);
    o.GetPagesByAccess(1) = L(getPages * seqShare);
    o.GetPagesByAccess(3) = L(getPages * ridShare);
    o.GetPagesByAccess(2) = o.ObjGetPages - o.GetPagesByAccess(1) - o.GetPagesByAccess(3);
    o.ObjStat06 = L(getPages * 0.02 * rng.Uniform());

    const double hit =
        sortWork ? 60 + 35 * rng.Uniform() : (isIndex ? 85 + 14.9 * rng.Uniform() : 55 + 44 * rng.Uniform());
    const double pagesRead = getPages * (100 - hit) / 100;
    const double syncShare = isIndex ? 0.7 + 0.3 * rng.Uniform() : 0.1 + 0.5 * rng.Uniform();
    const double listShare = isIndex ? 0.0 : ridShare * 2;
    const double dynShare = (1 - syncShare - listShare) * 0.4 * rng.Uniform();
    o.PagesReadByType(1) = L(pagesRead * syncShare);
    o.PagesReadByType(3) = L(pagesRead * listShare);
    o.PagesReadByType(4) = L(pagesRead * dynShare);
    o.PagesReadByType(2) =
        std::max<Long>(0, L(pagesRead) - o.PagesReadByType(1) - o.PagesReadByType(3) - o.PagesReadByType(4));
    o.ObjPagesRead = o.PagesReadByType(1) + o.PagesReadByType(2) + o.PagesReadByType(3) + o.PagesReadByType(4);
    o.ReadIOsByType(1) = o.PagesReadByType(1);
    o.ReadIOsByType(2) = L(o.PagesReadByType(2) / (16 + 16 * rng.Uniform()));
    o.ReadIOsByType(3) = L(o.PagesReadByType(3) / (4 + 8 * rng.Uniform()));
    o.ReadIOsByType(4) = L(o.PagesReadByType(4) / (8 + 16 * rng.Uniform()));
    o.ObjReadIOs = o.ReadIOsByType(1) + o.ReadIOsByType(2) + o.ReadIOsByType(3) + o.ReadIOsByType(4);
    o.SysHitRatio = OneDecimal(getPages > 0 ? (getPages - o.ObjPagesRead) * 100 / getPages : 0);
    o.AppHitRatio = OneDecimal(getPages > 0 ? (getPages - o.PagesReadByType(1)) * 100 / getPages : 0);
    o.ObjStat15 = OneDecimal(10 * rng.Uniform());
    o.ObjAvgSyncIOTime = static_cast<Long>(rng.Between(1, 18));
    o.ObjMaxSyncIOTime = o.ObjAvgSyncIOTime * static_cast<Long>(rng.Between(3, 25));

    const double updateShare = sortWork ? 0.45 : (isIndex ? 0.05 : 0.3) * rng.Uniform();
    o.ObjUpdates = L(getPages * updateShare);
    o.ObjPagesWritten = L(o.ObjUpdates * (sortWork ? 0.8 : 0.2 + 0.3 * rng.Uniform()));
    o.ObjWriteIOs = o.ObjPagesWritten == 0 ? 0 : std::max<Long>(1, L(o.ObjPagesWritten / (1 + 12 * rng.Uniform())));
    o.ObjWriteIOTime = o.ObjWriteIOs == 0 ? 0 : static_cast<Long>(rng.Between(2, 40));
    o.ObjStat10 = L(getPages * 0.01 * rng.Uniform());
    o.ObjStat28 = static_cast<Long>(rng.Between(0, 50));
    o.ObjStat36 = L(o.ObjPagesWritten * 0.1);
    return o;
}

PoolRecord MakePool(const Report& report, const PoolPlan& plan, int firstObject, int lastObject, Rng& rng) {
    PoolRecord p;
    p.PoolQualifier = "STATISTICS";
    p.PoolName = plan.name;
    p.PoolStat03 = plan.name.find("32K") != std::string_view::npos ? 32 : 4;
    p.VPSize = plan.vpSize;
    p.VPSeqThreshold = plan.vpSeqThreshold;
    p.HPSize = plan.hpSize;
    p.HPSeqThreshold = plan.hpSeqThreshold;
    p.CastOut = plan.hpSize > 0 ? "Y" : "N";
    p.DWTH = plan.dwth;
    p.VWTH = plan.vwth;
    std::int64_t syncTime = 0;
    std::int64_t syncCount = 0;
    for (int o = firstObject; o <= lastObject && o >= 1; ++o) {
        const ObjectRecord& obj = report.Objects(o);
        p.PoolGetPages += obj.ObjGetPages;
        for (int i = 1; i <= 3; ++i) {
            p.PoolGetPagesByAccess(i) += obj.GetPagesByAccess(i);
        }
        for (int i = 1; i <= 4; ++i) {
            p.PoolPagesReadByType(i) += obj.PagesReadByType(i);
            p.PoolReadIOsByType(i) += obj.ReadIOsByType(i);
        }
        p.PoolPagesRead += obj.ObjPagesRead;
        p.PoolReadIOs += obj.ObjReadIOs;
        p.PoolUpdates += obj.ObjUpdates;
        p.PoolPagesWritten += obj.ObjPagesWritten;
        p.PoolWriteIOs += obj.ObjWriteIOs;
        syncTime += static_cast<std::int64_t>(obj.ObjAvgSyncIOTime) * obj.ReadIOsByType(1);
        syncCount += obj.ReadIOsByType(1);
    }
    const double gp = p.PoolGetPages;
    p.PoolHitRatio = OneDecimal(gp > 0 ? (gp - p.PoolPagesRead) * 100 / gp : 0);
    p.PoolStat17 = OneDecimal(gp > 0 ? (gp - p.PoolPagesReadByType(1)) * 100 / gp : 0);
    p.PoolStat19 = OneDecimal(100 * rng.Uniform());
    p.AvgSyncIOTime = syncCount > 0 ? static_cast<Long>(syncTime / syncCount) : 0;
    p.AvgSeqPrefetchIOTime = static_cast<Long>(rng.Between(2, 30));
    p.AvgListPrefetchIOTime = static_cast<Long>(rng.Between(2, 40));
    p.AvgDynPrefetchIOTime = static_cast<Long>(rng.Between(2, 30));
    p.PoolStat10 = L(gp * 0.01);
    p.PoolStat31 = static_cast<Long>(rng.Between(0, 100));
    p.PoolStat40 = L(p.PoolPagesWritten * 0.05);
    p.PoolStat46 = static_cast<Long>(rng.Between(0, 5));
    return p;
}

void AddPool(Report& report, const PoolPlan& plan, Rng& rng) {
    const int first = report.ObjectCount() + 1;
    for (int i = 0; i < plan.objects; ++i) {
        report.AddObject(MakeObject(rng, plan, i));
    }
    const int last = report.ObjectCount();
    PoolRecord pool = MakePool(report, plan, first, last, rng);
    if (last >= first) {
        pool.FirstObject = static_cast<Long>(first);
        pool.LastObject = static_cast<Long>(last);
    }
    report.AddPool(pool);
}

namespace {

ReportHeader SampleHeader(int pools) {
    ReportHeader h;
    h.HeaderField01 = "STATISTICS";
    h.HeaderField02 = "REPORT";
    h.HeaderField03 = "FLATFILE";
    h.SystemName = "SYSA";
    h.SubSystemName = "DB2P";
    h.CollectionDate = "2026-11-30";
    h.CollectionTime = "10.15.00";
    h.Db2Version = "7.1";
    h.ReportPoolCount = static_cast<Integer>(pools);
    h.HeaderValue10 = 1;
    h.HeaderValue11 = 5400;
    h.HeaderValue12 = 20261130;
    h.HeaderValue13 = 101500;
    h.HeaderValue14 = 114500;
    h.HeaderValue15 = 0;
    h.HeaderValue16 = 0;
    h.ElapsedTime = "01:30:00";
    return h;
}

} // namespace

Report BuildSampleReport(std::uint64_t seed) {
    static constexpr std::array<PoolPlan, 9> plans{{
        {"BP0", PoolMix::Catalog, 2000, 0, 80, 80, 50.0, 10.0, 24},
        {"BP1", PoolMix::Mixed, 20000, 0, 80, 80, 50.0, 10.0, 42},
        {"BP2", PoolMix::IndexOnly, 30000, 0, 10, 80, 50.0, 5.0, 48},
        {"BP3", PoolMix::TablesOnly, 15000, 0, 90, 80, 40.0, 10.0, 36},
        {"BP4", PoolMix::Mixed, 10000, 40000, 50, 50, 50.0, 10.0, 30},
        {"BP7", PoolMix::SortWork, 5000, 0, 100, 80, 80.0, 50.0, 8},
        {"BP8", PoolMix::Mixed, 8000, 0, 60, 80, 30.0, 1.0, 32},
        {"BP10", PoolMix::Mixed, 12000, 0, 80, 80, 50.0, 10.0, 40},
        {"BP32K", PoolMix::TablesOnly, 1000, 0, 80, 80, 50.0, 10.0, 10},
    }};
    Report report;
    report.Header = SampleHeader(static_cast<int>(plans.size()));
    Rng rng(seed);
    for (const PoolPlan& plan : plans) {
        AddPool(report, plan, rng);
    }
    return report;
}

Report BuildLargestReport() {
    static constexpr std::array<std::string_view, Report::MaxPools> names{
        "BP0",   "BP1",    "BP2",    "BP3",    "BP4",    "BP5",    "BP6",    "BP7",    "BP8",    "BP9",
        "BP10",  "BP11",   "BP12",   "BP13",   "BP14",   "BP15",   "BP16",   "BP17",   "BP18",   "BP19",
        "BP20",  "BP21",   "BP22",   "BP23",   "BP24",   "BP25",   "BP26",   "BP27",   "BP28",   "BP29",
        "BP30",  "BP31",   "BP32",   "BP33",   "BP34",   "BP35",   "BP36",   "BP37",   "BP38",   "BP39",
        "BP40",  "BP41",   "BP42",   "BP43",   "BP44",   "BP45",   "BP46",   "BP47",   "BP48",   "BP49",
        "BP32K", "BP32K1", "BP32K2", "BP32K3", "BP32K4", "BP32K5", "BP32K6", "BP32K7", "BP32K8", "BP32K9"};
    Report report;
    report.Header = SampleHeader(Report::MaxPools);
    Rng rng(5000);
    for (int p = 0; p < Report::MaxPools; ++p) {
        const int objects = Report::MaxObjects / Report::MaxPools + (p < Report::MaxObjects % Report::MaxPools ? 1 : 0);
        const PoolMix mix = p == 0 ? PoolMix::Catalog : (p == 7 ? PoolMix::SortWork : PoolMix::Large);
        const PoolPlan plan{names[static_cast<std::size_t>(p)],
                            mix,
                            10000 + 1000 * p,
                            p % 5 == 0 ? 20000 : 0,
                            80,
                            80,
                            50.0,
                            10.0,
                            objects};
        AddPool(report, plan, rng);
    }
    return report;
}

} // namespace ornexa::samplegen
