#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/column_tables.h"

namespace ornexa {

// The counters and settings Db2 shows for one buffer pool in a -DISPLAY BUFFERPOOL DETAIL, by message:
// each is absent (nothing) when the display did not show it. Counters are those of the display's
// interval (DSNB409I) or since the pool's cumulative start (DSNB410I).
enum class PoolFigure : std::uint8_t {
    // DSNB401I
    UseCount,
    // DSNB402I
    VpSize,
    VpSizeMin,
    VpSizeMax,
    Allocated,
    ToBeDeleted,
    InUseUpdated,
    OverflowAlloc, // buffers in the overflow area (Db2 12 and later)
    // DSNB404I: thresholds in percent, the vertical deferred write threshold also in buffers
    VpSeqt,
    VpPseqt,
    VpXpseqt,
    Dwqt,
    VdwqtPercent,
    VdwqtBuffers,
    VpCloset, // VP PCLOSET (Db2 13)
    // DSNB411I
    RandomGetpages,
    SyncReadIosRandom,
    SeqGetpages,
    SyncReadIosSeq,
    DmthHits,
    PageInsRequired,
    SeqChain, // buffers on the sequential chain now: a state, not a count of events
    VpseqtHits,
    Reclassify,
    // DSNB412I, DSNB413I, DSNB414I: requests, I/Os and pages read of each prefetch kind
    SeqPrefetchRequests,
    SeqPrefetchIos,
    SeqPrefetchPages,
    ListPrefetchRequests,
    ListPrefetchIos,
    ListPrefetchPages,
    DynPrefetchRequests,
    DynPrefetchIos,
    DynPrefetchPages,
    // DSNB415I
    PrefetchNoBuffer,
    PrefetchNoEngine,
    // DSNB420I
    PageUpdates,
    PagesWritten,
    AsyncWriteIos,
    SyncWriteIos,
    WritePageInsRequired,
    // DSNB421I
    DwtHits,
    VdwtHits,
    NoWriteEngine,
    // DSNB440I
    ParallelRequests,
    DegradedParallel,
    // DSNB441I
    LplPagesAdded,
    Count
};
inline constexpr std::size_t PoolFigureCount = static_cast<std::size_t>(PoolFigure::Count);

// Db2's own simulation of a larger pool (DSNB431I, DSNB432I; ALTER BUFFERPOOL ... SPSIZE).
struct SimulatedPoolFigures {
    std::optional<std::int64_t> size;                 // simulated buffers (SPSIZE)
    std::optional<std::int64_t> seqThreshold;         // SPSEQT, percent
    std::optional<std::int64_t> avoidableSyncRandom;  // avoidable synchronous read I/Os, random
    std::optional<std::int64_t> avoidableSyncSeq;     // avoidable synchronous read I/Os, sequential
    std::optional<std::int64_t> avoidableAsync;       // avoidable asynchronous read I/Os
    std::optional<std::int64_t> avoidableSyncDelayMs; // avoidable synchronous I/O delay, milliseconds
    std::optional<std::int64_t> pagesMovedIn;         // pages moved into the simulated pool
    friend bool operator==(const SimulatedPoolFigures&, const SimulatedPoolFigures&) = default;
};

// The figures of one data set of a pool (LSTATS): DSNB464I (table space) or DSNB465I (index space),
// DSNB466I or DSNB467I (partition / data set number), DSNB453I, DSNB455I, DSNB456I.
enum class DataSetFigure : std::uint8_t {
    UseCount,
    CachedPages,     // VP cached pages, current
    CachedPagesMax,  // and at most
    ChangedPages,    // changed pages, current
    ChangedPagesMax, // and at most
    SyncAvgDelay,    // synchronous I/O delays, milliseconds
    SyncMaxDelay,
    SyncPages,
    AsyncAvgDelay, // asynchronous I/O delays, milliseconds
    AsyncMaxDelay,
    AsyncPages,
    AsyncIos,
    Count
};
inline constexpr std::size_t DataSetFigureCount = static_cast<std::size_t>(DataSetFigure::Count);

// The figures of one group buffer pool (-DISPLAY GROUPBUFFERPOOL GDETAIL / MDETAIL), by label.
enum class GroupPoolFigure : std::uint8_t {
    StructureSize, // KB
    DirectoryEntries,
    DataEntries,
    RatioTenths,       // directory-to-data ratio, times ten (RATIO 5.5 is 55)
    ReadsDataReturned, // reads, cross-invalidated and not in the buffer: data returned
    ReadsNotReturned,  // reads that found no data
    ChangedPagesWritten,
    CleanPagesWritten,
    WritesFailedNoStorage,
    CastoutPages,
    DirectoryReclaims,
    CrossInvalidationsByReclaim,
    Count
};
inline constexpr std::size_t GroupPoolFigureCount = static_cast<std::size_t>(GroupPoolFigure::Count);

// How a figure is named: its key in the JSON document and exports, and its caption, Db2's own label.
struct FigureName {
    std::string_view key;   // "randomGetpages"
    std::string_view label; // "RANDOM GETPAGE"
};
FigureName NameOf(PoolFigure figure);
FigureName NameOf(DataSetFigure figure);
FigureName NameOf(GroupPoolFigure figure);

// A set of figures named by `Figure`, each absent until set: a figure the input does not give stays
// absent, never zero.
template <class Figure, std::size_t N> struct FigureSet {
    std::array<std::optional<std::int64_t>, N> values{};

    [[nodiscard]] std::optional<std::int64_t> Get(Figure f) const { return values[static_cast<std::size_t>(f)]; }
    void Set(Figure f, std::int64_t v) { values[static_cast<std::size_t>(f)] = v; }
    friend bool operator==(const FigureSet&, const FigureSet&) = default;
};
using PoolFigureSet = FigureSet<PoolFigure, PoolFigureCount>;
using DataSetFigureSet = FigureSet<DataSetFigure, DataSetFigureCount>;
using GroupPoolFigureSet = FigureSet<GroupPoolFigure, GroupPoolFigureCount>;

// What Db2's display tells of a pool beyond the pool record: its settings and every counter as shown.
struct Db2PoolFacts {
    PoolFigureSet figures;
    std::string autosize;  // "YES", "NO"; empty when not shown
    std::string pgfix;     // "YES", "NO"
    std::string pgsteal;   // "LRU", "FIFO", "NONE"
    std::string frameSize; // "4K", "1M", "2G"
    std::optional<SimulatedPoolFigures> simulated;
    bool complete = true; // false: the display ended inside the pool's section
    // The fields of the pool record the display gives, by their place in the pool catalogue; the
    // others hold 0 and are not in this input.
    std::bitset<PoolFieldCount> given;
    friend bool operator==(const Db2PoolFacts&, const Db2PoolFacts&) = default;
};

// What Db2's display tells of a data set (LSTATS) beyond the object record.
struct Db2ObjectFacts {
    DataSetFigureSet figures;
    std::int64_t part = 0;               // partition or data set number; 0 when not shown
    std::bitset<ObjectFieldCount> given; // as for pools, by the object catalogue
    friend bool operator==(const Db2ObjectFacts&, const Db2ObjectFacts&) = default;
};

struct Db2GroupPoolFacts {
    std::string name; // "GBP0"
    GroupPoolFigureSet figures;
    friend bool operator==(const Db2GroupPoolFacts&, const Db2GroupPoolFacts&) = default;
};

// A report made of one interval of Db2's display output: what the display gives beside the records.
struct Db2Facts {
    std::string from;                    // start of the interval, "yyyy-mm-dd hh:mm:ss"
    std::string to;                      // its end; empty when the input gives none (the rates are then not known)
    bool cumulative = false;             // the figures run since Db2 started counting, not since the previous display
    std::vector<Db2PoolFacts> pools;     // one per pool of the report, in its order
    std::vector<Db2ObjectFacts> objects; // one per object of the report, in its order
    std::vector<Db2GroupPoolFacts> groupPools;
    std::bitset<HeaderFieldCount> headerGiven; // as for pools, by the header catalogue
    friend bool operator==(const Db2Facts&, const Db2Facts&) = default;
};

} // namespace ornexa
