#include "stats/rankings.h"
#include "report/field_presence.h"
#include "report/latin1.h"
#include "stats/share_figures.h"

#include <algorithm>
#include <array>
#include <limits>
#include <stdexcept>

namespace ornexa {

namespace {

enum class Order { High, Low, LowMerged };
enum class Count { All, Counted, Qualifying };

struct RankedType {
    std::string_view subtitle;
    Order order;
    Count count;
    bool scales;
    AxisEnds ends = AxisEnds::Extend;
};

constexpr std::array<RankedType, LastDb2RankedType - FirstRankedType + 1> RankedCatalogue{{
    {"Top Get Page Requests", Order::High, Count::All, true},                                 // 7
    {"Top Sequential Access", Order::High, Count::Counted, true},                             // 8
    {"Top Random I/O", Order::High, Count::Counted, false},                                   // 9
    {"Lowest App. Hit Ratio", Order::Low, Count::Counted, false, AxisEnds::Percent},          // 10
    {"Lowest Sys. Hit Ratio", Order::Low, Count::All, false, AxisEnds::Percent},              // 11
    {"Index < 95% Sys. Hit Ratio", Order::Low, Count::Qualifying, false, AxisEnds::Fraction}, // 12: hit ratio / 100
    {"Top Indexes By Pages Read", Order::High, Count::Counted, true},                         // 13
    {"Indexes > 10% Sequential Prefetch", Order::High, Count::Qualifying, true},              // 14
    {"Highest IO Rates/Sec", Order::High, Count::Counted, false},                             // 15
    {"Highest Updates", Order::High, Count::Counted, false},                                  // 16
    {"Highest Avg. Sync I/O (ms)", Order::High, Count::Counted, false},                       // 17
    {"Highest Max Sync I/O(ms)", Order::High, Count::Counted, false},                         // 18
    {"Worst Write I/O(ms)", Order::High, Count::Counted, false},                              // 19
    {"Highest Write I/O", Order::High, Count::Counted, false},                                // 20
    {"Highest Pages/Write", Order::High, Count::Counted, false},                              // 21
    {"Lowest Pages/Write", Order::LowMerged, Count::Counted, false},                          // 22
    {"Most Synchronous I/O Pages", Order::High, Count::Counted, true},                        // 23
    {"Largest VP Cached Pages (max)", Order::High, Count::Counted, true},                     // 24
}};

// The object record fields each measure of types 7 to 22 is made of.
constexpr std::array<std::array<std::string_view, 2>, LastRankedType - FirstRankedType + 1> MeasureFields{{
    {"ObjGetPages", ""},                    // 7
    {"GetPagesByAccess(1)", ""},            // 8
    {"ReadIOsByType(1)", ""},               // 9
    {"AppHitRatio", ""},                    // 10
    {"SysHitRatio", ""},                    // 11
    {"SysHitRatio", ""},                    // 12
    {"ObjPagesRead", ""},                   // 13
    {"GetPagesByAccess(1)", "ObjGetPages"}, // 14
    {"ObjReadIOs", "ObjWriteIOs"},          // 15
    {"ObjUpdates", ""},                     // 16
    {"ObjAvgSyncIOTime", ""},               // 17
    {"ObjMaxSyncIOTime", ""},               // 18
    {"ObjWriteIOTime", ""},                 // 19
    {"ObjWriteIOs", ""},                    // 20
    {"ObjPagesWritten", "ObjWriteIOs"},     // 21
    {"ObjPagesWritten", "ObjWriteIOs"},     // 22
}};

const RankedType& Catalogue(int type) {
    if (type < FirstRankedType || type > LastDb2RankedType) {
        throw std::out_of_range("ranked graph types are 7 to 24");
    }
    return RankedCatalogue[static_cast<std::size_t>(type - FirstRankedType)];
}

// Db2's figure of a data set that the types 23 and 24 rank by; absent counts as 0.
double Db2DataSetFigure(const Report& report, int object, DataSetFigure figure) {
    if (!report.Db2Display) {
        return 0.0;
    }
    const auto& objects = report.Db2Display->objects;
    const auto at = static_cast<std::size_t>(object - 1);
    return at < objects.size() ? static_cast<double>(objects[at].figures.Get(figure).value_or(0)) : 0.0;
}

bool IsIndex(const ObjectRecord& o) {
    return o.ObjType.Padded() == "I";
}

// The measure of one object, and whether the object may take a rank at all.
struct Measure {
    double value = 0;
    bool candidate = true;
    bool qualifies = false; // for the index rankings 12 and 14
};

Measure MeasureOf(const Report& report, int object, int type) {
    const ObjectRecord& o = report.Objects(object);
    const Long elapsedSeconds = report.ElapsedSeconds;
    switch (type) {
    case 7:
        return {static_cast<double>(o.ObjGetPages)};
    case 8:
        return {static_cast<double>(o.GetPagesByAccess(1))};
    case 9:
        return {static_cast<double>(o.ReadIOsByType(1))};
    case 10:
        return {o.AppHitRatio};
    case 11:
        return {o.SysHitRatio};
    case 12: {
        if (!IsIndex(o)) {
            return {0, false};
        }
        const double value = o.SysHitRatio / 100;
        const bool qualifies = value > 0 && value < 0.95;
        return {qualifies ? value : 1.0, qualifies, qualifies};
    }
    case 13:
        return {IsIndex(o) ? static_cast<double>(o.ObjPagesRead) : 0.0, IsIndex(o)};
    case 14: {
        if (!IsIndex(o)) {
            return {0, false};
        }
        const bool qualifies = o.GetPagesByAccess(1) >= o.ObjGetPages * 0.1;
        return {qualifies ? static_cast<double>(o.GetPagesByAccess(1)) : -1.0, qualifies, qualifies};
    }
    case 15: // without an interval length there is no rate
        return {elapsedSeconds == 0
                    ? 0.0
                    : (static_cast<double>(o.ObjReadIOs) + static_cast<double>(o.ObjWriteIOs)) / elapsedSeconds};
    case 16:
        return {static_cast<double>(o.ObjUpdates)};
    case 17:
        return {static_cast<double>(o.ObjAvgSyncIOTime)};
    case 18:
        return {static_cast<double>(o.ObjMaxSyncIOTime)};
    case 19:
        return {static_cast<double>(o.ObjWriteIOTime)};
    case 20:
        return {static_cast<double>(o.ObjWriteIOs)};
    case 21: // no writes count as one page in one write, in this ranking's own arithmetic only
        return {static_cast<double>(std::max<Long>(o.ObjPagesWritten, 1)) / std::max<Long>(o.ObjWriteIOs, 1)};
    case 22: { // only objects that wrote
        const bool wrote = o.ObjPagesWritten >= 1 && o.ObjWriteIOs >= 1;
        return {wrote ? static_cast<double>(o.ObjPagesWritten) / o.ObjWriteIOs : 0.0, wrote};
    }
    case 23:
        return {Db2DataSetFigure(report, object, DataSetFigure::SyncPages)};
    case 24:
        return {Db2DataSetFigure(report, object, DataSetFigure::CachedPagesMax)};
    default:
        throw std::out_of_range("ranked graph types are 7 to 24");
    }
}

struct Entry {
    float value;
    int object;
};

void Store(RankedList& list, const Report& report, int rank, float value, int object, std::string name = {}) {
    const auto at = static_cast<std::size_t>(rank - 1);
    list.RankValues[at] = value;
    list.RankObjects[at] = object;
    list.RankNames[at] = name.empty() ? std::string(report.Objects(object).ObjName.Padded()) : std::move(name);
}

// Lowest first by exchanging entries j and k whenever value(j) > value(k), one position at a
// time, so that only the first positions needed are ever settled. Which of equal values comes first
// depends on the exchanges, and a ranking keeps it; the exchanges grow with the square of the
// entries, so a pool of more entries than a monitor's report can hold is sorted once, stably: equal
// values in table order.
class LowestFirst {
public:
    static constexpr std::size_t MostExchanged = Report::MaxObjects;

    explicit LowestFirst(std::vector<Entry> entries) : entries_(std::move(entries)) {
        if (entries_.size() > MostExchanged) {
            std::stable_sort(entries_.begin(), entries_.end(),
                             [](const Entry& a, const Entry& b) { return a.value < b.value; });
            settled_ = entries_.size();
        }
    }
    [[nodiscard]] std::size_t size() const { return entries_.size(); }
    const Entry& operator[](std::size_t j) {
        while (settled_ <= j && settled_ + 1 < entries_.size()) {
            for (std::size_t k = settled_; k < entries_.size(); ++k) {
                if (entries_[settled_].value > entries_[k].value) {
                    std::swap(entries_[settled_], entries_[k]);
                }
            }
            ++settled_;
        }
        return entries_[j];
    }

private:
    std::vector<Entry> entries_;
    std::size_t settled_ = 0;
};

// The measures of a pool's objects, in table order, and how many of them may take a rank.
struct PoolMeasures {
    std::vector<Measure> measures;
    int counted = 0;        // candidates with a value above 0
    int qualifying = 0;     // for the index rankings 12 and 14
    bool scaleBy1K = false; // a value above 99999 in a type that draws in thousands
};

PoolMeasures MeasurePool(const Report& report, const ObjectRange& range, int type, const RankedType& info) {
    const int objects = range.Count();
    PoolMeasures pool;
    pool.measures.resize(static_cast<std::size_t>(objects));
    for (int i = 0; i < objects; ++i) {
        const Measure m = MeasureOf(report, range.first + i, type);
        pool.measures[static_cast<std::size_t>(i)] = m;
        pool.counted += m.candidate && m.value > 0 ? 1 : 0;
        pool.qualifying += m.qualifies ? 1 : 0;
        pool.scaleBy1K = pool.scaleBy1K || (info.scales && m.value > 99999);
    }
    return pool;
}

// How many ranks a type lists at most.
int RanksWanted(const RankedType& info, const PoolMeasures& pool) {
    const int objects = static_cast<int>(pool.measures.size());
    if (info.count == Count::Counted) {
        return std::min(pool.counted, MaxRankedBars);
    }
    if (info.count == Count::Qualifying) {
        return std::min(pool.qualifying, MaxRankedBars);
    }
    return std::min(objects, MaxRankedBars);
}

// One ranking of one pool's measured objects.
struct Ranking {
    const Report& report;
    int first; // the pool's first object
    int type;
    const RankedType& info;
    const std::vector<Measure>& measures;

    [[nodiscard]] int Objects() const { return static_cast<int>(measures.size()); }
    [[nodiscard]] float ValueOf(int i) const { return static_cast<float>(measures[static_cast<std::size_t>(i)].value); }
    // Types 12 and 14 rank only their qualifying indexes; 13 only indexes; 22 only objects that wrote.
    [[nodiscard]] bool Candidate(int i) const {
        const Measure& m = measures[static_cast<std::size_t>(i)];
        return info.count == Count::Qualifying ? m.qualifies : m.candidate;
    }
};

// Highest or lowest first, one rank at a time: the last of equal values wins the highest rank, the
// first of equal values the lowest. The ranks stored, fewer than n when the candidates run out.
int RankOneByOne(RankedList& list, const Ranking& ranking, int n) {
    const bool high = ranking.info.order == Order::High;
    const int objects = ranking.Objects();
    std::vector<bool> taken(static_cast<std::size_t>(objects), false);
    for (int rank = 1; rank <= n; ++rank) {
        int choice = -1;
        for (int i = 0; i < objects; ++i) {
            const float value = ranking.ValueOf(i);
            const bool allowed =
                !taken[static_cast<std::size_t>(i)] && ranking.Candidate(i) && (ranking.type != 10 || value > 0);
            if (allowed &&
                (choice < 0 || (high ? value >= ranking.ValueOf(choice) : value < ranking.ValueOf(choice)))) {
                choice = i;
            }
        }
        if (choice < 0) {
            return rank - 1;
        }
        taken[static_cast<std::size_t>(choice)] = true;
        Store(list, ranking.report, rank, ranking.ValueOf(choice), ranking.first + choice);
    }
    return n;
}

// Lowest first with equal values merged: a value equal to the one ranked before it names that rank
// "Duplicate Values" instead of taking one. The ranks stored, at most n.
int RankLowestMerged(RankedList& list, const Ranking& ranking, int n) {
    std::vector<Entry> entries;
    for (int i = 0; i < ranking.Objects(); ++i) {
        if (ranking.Candidate(i)) {
            entries.push_back({ranking.ValueOf(i), ranking.first + i});
        }
    }
    LowestFirst sorted(std::move(entries));
    int kept = 0;
    for (std::size_t k = 0; k < sorted.size(); ++k) {
        const Entry entry = sorted[k];
        if (k > 0 && entry.value == sorted[k - 1].value) {
            list.RankNames[static_cast<std::size_t>(kept - 1)] = "Duplicate Values";
            continue;
        }
        if (kept == n) {
            break;
        }
        ++kept;
        Store(list, ranking.report, kept, entry.value, entry.object);
    }
    return kept;
}

} // namespace

std::string_view RankedSubtitle(int type) {
    return Catalogue(type).subtitle;
}
bool RankedTypeScales(int type) {
    return Catalogue(type).scales;
}

std::string_view RankedAbsent(const Report& report, int p, int type) {
    (void)Catalogue(type);
    if (type > LastRankedType) {
        return report.Db2Display ? std::string_view{} : NotInThisInput;
    }
    for (const std::string_view field : MeasureFields[static_cast<std::size_t>(type - FirstRankedType)]) {
        if (!field.empty() && !PoolObjectsGive(report, p, field)) {
            return AbsentObjectText(report);
        }
    }
    return {};
}

RankedList RankPoolObjects(const Report& report, int p, int type) {
    const RankedType& info = Catalogue(type);
    const ObjectRange range = PoolObjects(report, p);
    const auto size = static_cast<std::size_t>(MaxRankedBars); // no ranking keeps more
    RankedList list;
    list.RankValues.assign(size, 0.0F);
    list.RankNames.assign(size, std::string{});
    list.RankObjects.assign(size, 0);

    const PoolMeasures pool = MeasurePool(report, range, type, info);
    list.ScaleBy1K = pool.scaleBy1K;
    const Ranking ranking{report, range.first, type, info, pool.measures};
    const int wanted = RanksWanted(info, pool);
    const int n =
        info.order == Order::LowMerged ? RankLowestMerged(list, ranking, wanted) : RankOneByOne(list, ranking, wanted);
    list.RankCount = std::max(n, 2);
    return list;
}

void DrawRankedChart(ChartModel& chart, int type, const RankedList& list) {
    const RankedType& info = Catalogue(type);
    const bool scaled = list.ScaleBy1K && info.scales;
    const int count = list.RankCount;
    chart.OpenData(ChartKind::Ranked, 2, count);
    double largest = -std::numeric_limits<double>::infinity();
    double smallest = std::numeric_limits<double>::infinity();
    for (int i = 1; i <= count; ++i) {
        const auto rank = static_cast<std::size_t>(i - 1);
        const auto point = static_cast<std::size_t>(count - i);
        const double value = ShownValue(list.RankValues[rank]) / (scaled ? 1000.0 : 1.0);
        chart.series[0][point] = value;
        chart.labels[point] = Latin1ToUtf8(TrimBlanks(list.RankNames[rank]));
        chart.series[1][point] = list.RankObjects[rank];
        largest = std::max(largest, value);
        smallest = std::min(smallest, value);
    }
    chart.axisMax = std::max(largest, 0.0);
    chart.axisMin = std::min(smallest, 0.0); // every bar stays visible
    chart.hiddenSeries[1] = true;
    chart.axisEnds = info.ends;
    chart.subtitle = std::string(info.subtitle) + (scaled ? " * 1K" : "");
    chart.visible = true;
}

} // namespace ornexa
