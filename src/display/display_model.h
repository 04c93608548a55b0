#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // DSNB404I: thresholds in percent, the vertical deferred write threshold also in buffers
    VpSeqt,
    VpPseqt,
    VpXpseqt,
    Dwqt,
    VdwqtPercent,
    VdwqtBuffers,
    // DSNB411I
    RandomGetpages,
    SyncReadIosRandom,
    SeqGetpages,
    SyncReadIosSeq,
    DmthHits,
    PageInsRequired,
    SeqRequests,
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
    // DSNB402I (Db2 12 and later): buffers in the overflow area
    OverflowAlloc,
    // DSNB404I (Db2 13): VP PCLOSET
    VpCloset,
    Count
};
inline constexpr std::size_t PoolFigureCount = static_cast<std::size_t>(PoolFigure::Count);

// Db2's own simulation of a larger pool (DSNB431I, DSNB432I; ALTER BUFFERPOOL ... SPSIZE).
struct SimulatedPoolFigures {
    std::optional<std::int64_t> size;          // simulated buffers (SPSIZE)
    std::optional<std::int64_t> seqThreshold;  // SPSEQT, percent
    std::optional<std::int64_t> avoidableSyncRandom; // avoidable synchronous read I/Os, random
    std::optional<std::int64_t> avoidableSyncSeq;    // avoidable synchronous read I/Os, sequential
    std::optional<std::int64_t> avoidableAsync;      // avoidable asynchronous read I/Os
    std::optional<std::int64_t> avoidableSyncDelayMs; // avoidable synchronous I/O delay, milliseconds
    std::optional<std::int64_t> pagesMovedIn;         // pages moved into the simulated pool
    friend bool operator==(const SimulatedPoolFigures&, const SimulatedPoolFigures&) = default;
};

// The figures of one data set of a pool (LSTATS): DSNB464I (table space) or DSNB465I (index space),
// DSNB466I or DSNB467I (partition / data set number), DSNB453I, DSNB455I, DSNB456I.
enum class DataSetFigure : std::uint8_t {
    UseCount,
    CachedPages,       // VP cached pages, current
    CachedPagesMax,    // and at most
    ChangedPages,      // changed pages, current
    ChangedPagesMax,   // and at most
    SyncAvgDelay,      // synchronous I/O delays, milliseconds
    SyncMaxDelay,
    SyncPages,
    AsyncAvgDelay,     // asynchronous I/O delays, milliseconds
    AsyncMaxDelay,
    AsyncPages,
    AsyncIos,
    Count
};
inline constexpr std::size_t DataSetFigureCount = static_cast<std::size_t>(DataSetFigure::Count);

struct DisplayDataSet {
    std::int64_t line = 0;    // the line of its DSNB464I / DSNB465I
    bool indexSpace = false;  // DSNB465I; a table space otherwise
    std::string database;     // "DSNDB06"
    std::string space;        // "SYSTSTAB"
    std::int64_t part = 0;    // partition or data set number; 0 when not shown
    std::array<std::optional<std::int64_t>, DataSetFigureCount> figures{};

    [[nodiscard]] std::optional<std::int64_t> Get(DataSetFigure f) const { return figures[static_cast<std::size_t>(f)]; }
    void Set(DataSetFigure f, std::int64_t v) { figures[static_cast<std::size_t>(f)] = v; }
};

struct DisplayPool {
    std::int64_t line = 0;     // the line of its DSNB401I
    std::string name;          // "BP0", "BP8K0"
    std::optional<int> id;     // BUFFERPOOL ID
    std::array<std::optional<std::int64_t>, PoolFigureCount> figures{};
    std::string autosize;      // "YES", "NO"; empty when not shown
    std::string pgfix;         // PGFIX attribute, current: "YES", "NO"
    std::string pgsteal;       // page stealing method, current: "LRU", "FIFO", "NONE"
    std::string frameSize;     // preferred frame size (DSNB546I): "4K", "1M", "2G"
    std::optional<std::string> cumulativeSince; // DSNB410I: the counters run since this time ("hh:mm:ss mmm dd, yyyy")
    std::optional<std::string> incrementalSince; // DSNB409I: the counters run since this time
    std::optional<SimulatedPoolFigures> simulated;
    std::vector<DisplayDataSet> dataSets;
    bool complete = false;     // every message of its section up to the next pool or the end was read

    [[nodiscard]] std::optional<std::int64_t> Get(PoolFigure f) const { return figures[static_cast<std::size_t>(f)]; }
    void Set(PoolFigure f, std::int64_t v) { figures[static_cast<std::size_t>(f)] = v; }
};

// The figures of one group buffer pool (-DISPLAY GROUPBUFFERPOOL GDETAIL / MDETAIL), by label.
enum class GroupPoolFigure : std::uint8_t {
    StructureSize,      // KB
    DirectoryEntries,
    DataEntries,
    RatioTenths,        // directory-to-data ratio, times ten (RATIO 5.5 is 55)
    ReadsDataReturned,  // reads, cross-invalidated and not in the buffer: data returned
    ReadsNotReturned,   // reads that found no data
    ChangedPagesWritten,
    CleanPagesWritten,
    WritesFailedNoStorage,
    CastoutPages,
    DirectoryReclaims,
    CrossInvalidationsByReclaim,
    Count
};
inline constexpr std::size_t GroupPoolFigureCount = static_cast<std::size_t>(GroupPoolFigure::Count);

struct DisplayGroupPool {
    std::int64_t line = 0; // the line of its DSNB750I
    std::string name;      // "GBP0"
    std::array<std::optional<std::int64_t>, GroupPoolFigureCount> figures{};

    [[nodiscard]] std::optional<std::int64_t> Get(GroupPoolFigure f) const { return figures[static_cast<std::size_t>(f)]; }
    void Set(GroupPoolFigure f, std::int64_t v) { figures[static_cast<std::size_t>(f)] = v; }
};

// One display of one subsystem as it stands in the file: every pool from one command's output (or a
// run of them that belong together, up to DSN9022I).
struct Db2Display {
    std::int64_t line = 0;   // the line it starts at
    std::string system;      // the SYSLOG system name; empty in batch output or a screen copy
    std::string subsystem;   // from the command prefix ("-DB2A" is "DB2A"), else the system name
    // When it was displayed: the SYSLOG time stamp of its first line, "yyyy-mm-dd hh:mm:ss"; empty when
    // the file has no time stamps.
    std::string displayedAt;
    std::vector<DisplayPool> pools;
    std::vector<DisplayGroupPool> groupPools;
};

} // namespace ornexa
