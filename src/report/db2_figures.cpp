#include "report/db2_figures.h"

#include <array>

namespace ornexa {

namespace {

constexpr std::array<FigureName, PoolFigureCount> PoolNames = {{
    {"useCount", "USE COUNT"},
    {"vpSize", "BUFFER POOL SIZE"},
    {"vpSizeMin", "VPSIZE MINIMUM"},
    {"vpSizeMax", "VPSIZE MAXIMUM"},
    {"allocated", "ALLOCATED"},
    {"toBeDeleted", "TO BE DELETED"},
    {"inUseUpdated", "IN-USE/UPDATED"},
    {"overflowAlloc", "OVERFLOW ALLOC"},
    {"vpSeqt", "VP SEQUENTIAL"},
    {"vpPseqt", "PARALLEL SEQUENTIAL"},
    {"vpXpseqt", "ASSISTING PARALLEL SEQT"},
    {"dwqt", "DEFERRED WRITE"},
    {"vdwqtPercent", "VERTICAL DEFERRED WRT (%)"},
    {"vdwqtBuffers", "VERTICAL DEFERRED WRT (buffers)"},
    {"vpCloset", "VP PCLOSET"},
    {"randomGetpages", "RANDOM GETPAGE"},
    {"syncReadIosRandom", "SYNC READ I/O (R)"},
    {"seqGetpages", "SEQ. GETPAGE"},
    {"syncReadIosSeq", "SYNC READ I/O (S)"},
    {"dmthHits", "DMTH HIT"},
    {"pageInsRequired", "PAGE-INS REQUIRED"},
    {"seqChain", "SEQUENTIAL"},
    {"vpseqtHits", "VPSEQT HIT"},
    {"reclassify", "RECLASSIFY"},
    {"seqPrefetchRequests", "SEQUENTIAL PREFETCH REQUESTS"},
    {"seqPrefetchIos", "SEQUENTIAL PREFETCH I/O"},
    {"seqPrefetchPages", "SEQUENTIAL PREFETCH PAGES READ"},
    {"listPrefetchRequests", "LIST PREFETCH REQUESTS"},
    {"listPrefetchIos", "LIST PREFETCH I/O"},
    {"listPrefetchPages", "LIST PREFETCH PAGES READ"},
    {"dynPrefetchRequests", "DYNAMIC PREFETCH REQUESTS"},
    {"dynPrefetchIos", "DYNAMIC PREFETCH I/O"},
    {"dynPrefetchPages", "DYNAMIC PREFETCH PAGES READ"},
    {"prefetchNoBuffer", "PREFETCH DISABLED NO BUFFER"},
    {"prefetchNoEngine", "PREFETCH DISABLED NO READ ENGINE"},
    {"pageUpdates", "SYS PAGE UPDATES"},
    {"pagesWritten", "SYS PAGES WRITTEN"},
    {"asyncWriteIos", "ASYNC WRITE I/O"},
    {"syncWriteIos", "SYNC WRITE I/O"},
    {"writePageInsRequired", "WRITE PAGE-INS REQUIRED"},
    {"dwtHits", "DWT HIT"},
    {"vdwtHits", "VERTICAL DWT HIT"},
    {"noWriteEngine", "NO WRITE ENGINE"},
    {"parallelRequests", "PARALLEL REQUEST"},
    {"degradedParallel", "DEGRADED PARALLEL"},
    {"lplPagesAdded", "LPL PAGES ADDED"},
}};

constexpr std::array<FigureName, DataSetFigureCount> DataSetNames = {{
    {"useCount", "USE COUNT"},
    {"cachedPages", "VP CACHED PAGES"},
    {"cachedPagesMax", "VP CACHED PAGES MAX"},
    {"changedPages", "CHANGED PAGES"},
    {"changedPagesMax", "CHANGED PAGES MAX"},
    {"syncAvgDelay", "SYNC I/O AVERAGE DELAY (ms)"},
    {"syncMaxDelay", "SYNC I/O MAXIMUM DELAY (ms)"},
    {"syncPages", "SYNC I/O TOTAL PAGES"},
    {"asyncAvgDelay", "ASYNC I/O AVERAGE DELAY (ms)"},
    {"asyncMaxDelay", "ASYNC I/O MAXIMUM DELAY (ms)"},
    {"asyncPages", "ASYNC I/O TOTAL PAGES"},
    {"asyncIos", "ASYNC I/O TOTAL I/O COUNT"},
}};

constexpr std::array<FigureName, GroupPoolFigureCount> GroupPoolNames = {{
    {"structureSizeKb", "ACTUAL SIZE (KB)"},
    {"directoryEntries", "DIRECTORY ENTRIES"},
    {"dataEntries", "DATA ENTRIES"},
    {"ratioTenths", "RATIO (tenths)"},
    {"readsDataReturned", "READS, DATA RETURNED"},
    {"readsNotReturned", "READS, DATA NOT RETURNED"},
    {"changedPagesWritten", "CHANGED PAGES WRITTEN"},
    {"cleanPagesWritten", "CLEAN PAGES WRITTEN"},
    {"writesFailedNoStorage", "WRITES FAILED, NO STORAGE"},
    {"castoutPages", "PAGES CASTOUT"},
    {"directoryReclaims", "DIRECTORY ENTRY RECLAIMS"},
    {"crossInvalidationsByReclaim", "XI BY DIRECTORY RECLAIM"},
}};

} // namespace

FigureName NameOf(PoolFigure figure) {
    return PoolNames.at(static_cast<std::size_t>(figure));
}

FigureName NameOf(DataSetFigure figure) {
    return DataSetNames.at(static_cast<std::size_t>(figure));
}

FigureName NameOf(GroupPoolFigure figure) {
    return GroupPoolNames.at(static_cast<std::size_t>(figure));
}

} // namespace ornexa
