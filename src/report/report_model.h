#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/db2_figures.h"
#include "report/fixed_text.h"
#include "report/letter_case.h"
#include "report/one_based.h"

namespace ornexa {

using Integer = std::int16_t; // 16-bit signed
using Long = std::int32_t;    // 32-bit signed

// The report header line.
struct ReportHeader {
    FixedText<16> HeaderField01;
    FixedText<8> HeaderField02;
    FixedText<8> HeaderField03;
    FixedText<4> SystemName;
    FixedText<4> SubSystemName;
    FixedText<10> CollectionDate;
    FixedText<8> CollectionTime;
    FixedText<4> Db2Version;
    Integer ReportPoolCount = 0;
    Integer HeaderValue10 = 0;
    Long HeaderValue11 = 0;
    Long HeaderValue12 = 0;
    Long HeaderValue13 = 0;
    Long HeaderValue14 = 0;
    Long HeaderValue15 = 0;
    Long HeaderValue16 = 0;
    FixedText<8> ElapsedTime;
};

// One "BPS" line, fields 1 to 50, and what other parts derive for the pool.
struct PoolRecord {
    FixedText<16> PoolQualifier;
    FixedText<8> PoolName;
    double PoolStat03 = 0;
    Long VPSize = 0;
    Long VPSeqThreshold = 0;
    Long HPSize = 0;
    Long HPSeqThreshold = 0;
    FixedText<1> CastOut;
    Long PoolGetPages = 0;
    Long PoolStat10 = 0;
    OneBased<Long, 3> PoolGetPagesByAccess; // 1 sequential, 2 random, 3 RID list
    Long PoolStat14 = 0;
    Long PoolStat15 = 0;
    Long PoolStat16 = 0;
    double PoolStat17 = 0;
    double PoolHitRatio = 0;
    double PoolStat19 = 0;
    Long PoolPagesRead = 0;
    OneBased<Long, 4> PoolPagesReadByType; // 1 sync, 2 sequential, 3 list, 4 dynamic prefetch
    Long PoolReadIOs = 0;
    OneBased<Long, 4> PoolReadIOsByType;
    Long AvgSyncIOTime = 0;
    Long PoolStat31 = 0;
    Long AvgSeqPrefetchIOTime = 0;
    Long PoolStat33 = 0;
    Long AvgListPrefetchIOTime = 0;
    Long PoolStat35 = 0;
    Long AvgDynPrefetchIOTime = 0;
    Long PoolStat37 = 0;
    Long PoolUpdates = 0;
    Long PoolPagesWritten = 0;
    Long PoolStat40 = 0;
    Long PoolStat41 = 0;
    Long PoolWriteIOs = 0;
    Long PoolStat43 = 0;
    Long PoolStat44 = 0;
    Long PoolStat45 = 0;
    Long PoolStat46 = 0;
    Long PoolStat47 = 0;
    Long PoolStat48 = 0;
    double DWTH = 0;
    double VWTH = 0;

    // Objects of this pool: Objects(FirstObject..LastObject); both 0 when the pool has none. Wider than
    // the file's Integer fields: a large site holds far more than 32767 objects.
    Long FirstObject = 0;
    Long LastObject = 0;
};

// One "BPD" line, fields 1 to 44.
struct ObjectRecord {
    FixedText<16> ObjQualifier;
    FixedText<8> ObjPoolName;
    FixedText<1> ObjType; // "I" index, "T" table space; "*", "U", "D" and others occur
    FixedText<27> ObjName;
    Long ObjGetPages = 0;
    Long ObjStat06 = 0;
    OneBased<Long, 3> GetPagesByAccess;
    Long ObjStat10 = 0;
    Long ObjStat11 = 0;
    Long ObjStat12 = 0;
    double AppHitRatio = 0;
    double SysHitRatio = 0;
    double ObjStat15 = 0;
    Long ObjPagesRead = 0;
    OneBased<Long, 4> PagesReadByType;
    Long ObjReadIOs = 0;
    OneBased<Long, 4> ReadIOsByType;
    Long ObjAvgSyncIOTime = 0;
    Long ObjMaxSyncIOTime = 0;
    Long ObjStat28 = 0;
    Long ObjStat29 = 0;
    Long ObjStat30 = 0;
    Long ObjStat31 = 0;
    Long ObjStat32 = 0;
    Long ObjStat33 = 0;
    Long ObjUpdates = 0;
    Long ObjPagesWritten = 0;
    Long ObjStat36 = 0;
    Long ObjStat37 = 0;
    Long ObjWriteIOs = 0;
    Long ObjStat39 = 0;
    Long ObjStat40 = 0;
    Long ObjStat41 = 0;
    Long ObjStat42 = 0;
    Long ObjStat43 = 0;
    Long ObjWriteIOTime = 0;
};

// A run of 1-based numbers (the objects of a pool, the simulated sizes); empty when first is 0.
// `for (int o : range)` visits them in order.
struct NumberRange {
    int first = 0;
    int last = 0;
    [[nodiscard]] bool empty() const { return first == 0 || last < first; }
    [[nodiscard]] int Count() const { return empty() ? 0 : last - first + 1; }

    class Iterator {
    public:
        explicit Iterator(int object) : object_(object) {}
        int operator*() const { return object_; }
        Iterator& operator++() {
            ++object_;
            return *this;
        }
        friend bool operator==(const Iterator&, const Iterator&) = default;

    private:
        int object_;
    };
    [[nodiscard]] Iterator begin() const { return Iterator(empty() ? 0 : first); }
    [[nodiscard]] Iterator end() const { return Iterator(empty() ? 0 : last + 1); }
};
using ObjectRange = NumberRange;

// How many pools and objects a read accepts. The monitor writes at most 60 pools and 5000 objects;
// a large site's monitor may be set up to write all of its pools and objects.
struct ReportLimits {
    int pools = 60;
    int objects = 5000;

    static constexpr ReportLimits Monitor() { return {}; }
    static constexpr ReportLimits LargeSite() { return {80, 1'000'000}; }
    // The largest limits the options take: far beyond any site, well within an object number.
    static constexpr int MostPools = 10'000;
    static constexpr int MostObjects = 100'000'000;
    friend constexpr bool operator==(const ReportLimits&, const ReportLimits&) = default;
};

// "60 pools, 5000 objects", "80 pools, 1,000,000 objects"; LimitFigure is one of the figures (four
// digits stay ungrouped, as the monitor writes its 5000).
std::string LimitsText(const ReportLimits& limits);
std::string LimitFigure(int count);

// The one Statistics report of a run: header, pools and objects in file order. Only a read writes
// it; every view takes it const.
class Report {
public:
    // The monitor's limits, the default of every read.
    static constexpr int MaxPools = ReportLimits::Monitor().pools;
    static constexpr int MaxObjects = ReportLimits::Monitor().objects;

    ReportHeader Header;

    [[nodiscard]] int PoolCount() const { return static_cast<int>(pools_.size()); }
    [[nodiscard]] int ObjectCount() const { return static_cast<int>(objects_.size()); }
    // 1-based; a number outside 1..count throws std::out_of_range.
    PoolRecord& Pools(int p) { return pools_.at(static_cast<std::size_t>(p - 1)); }
    [[nodiscard]] const PoolRecord& Pools(int p) const { return pools_.at(static_cast<std::size_t>(p - 1)); }
    ObjectRecord& Objects(int o) { return objects_.at(static_cast<std::size_t>(o - 1)); }
    [[nodiscard]] const ObjectRecord& Objects(int o) const { return objects_.at(static_cast<std::size_t>(o - 1)); }
    [[nodiscard]] bool HasPool(int p) const { return p >= 1 && p <= PoolCount(); }
    [[nodiscard]] bool HasObject(int o) const { return o >= 1 && o <= ObjectCount(); }

    // Append a complete record; false when the table is full.
    bool AddPool(const PoolRecord& pool);
    bool AddObject(const ObjectRecord& object);
    // Room for `objects` objects (at most the limit), so that a large read does not move the table
    // again and again as it grows.
    void ReserveObjects(std::int64_t objects);

    // The sizes of the tables; a read sets them before its first record, a reset keeps them.
    [[nodiscard]] const ReportLimits& Limits() const { return limits_; }
    void SetLimits(const ReportLimits& limits) { limits_ = limits; }

    bool StatFileLoaded = false;
    Long ElapsedSeconds = 0; // of the header's ElapsedTime, set by the read
    // Set when the report is an interval of Db2's own display output rather than a monitor's report:
    // what the display gives beyond the records, and so which figures the records do not hold.
    std::optional<Db2Facts> Db2Display;

    // Empties both tables and clears the header and the flag.
    void Reset();

private:
    std::vector<PoolRecord> pools_;
    std::vector<ObjectRecord> objects_;
    ReportLimits limits_;
};

void ResetReport(Report& report);
// The object range of pool p (1-based).
ObjectRange PoolObjects(const Report& report, int p);
// "hh:mm:ss" to seconds; a part that is not a number counts as 0.
Long ElapsedToSeconds(std::string_view text);

} // namespace ornexa
