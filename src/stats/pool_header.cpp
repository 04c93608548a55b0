#include "stats/pool_header.h"

#include <optional>
#include <string_view>

#include "report/field_presence.h"
#include "report/latin1.h"
#include "report/number_format.h"

namespace ornexa {

namespace {

std::string Figure(std::int64_t value) {
    return "  " + StrText(value);
}

// The pool's record fields that no header row shows, with their captions: what a display lacks of
// them is said, as the analyst would otherwise look for the pool's I/O times in vain.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> UnheadedFields{{
    {"AvgSyncIOTime", "Avg Sync I/O Time"},
    {"AvgSeqPrefetchIOTime", "Avg Seq Prefetch I/O Time"},
    {"AvgListPrefetchIOTime", "Avg List Prefetch I/O Time"},
    {"AvgDynPrefetchIOTime", "Avg Dyn Prefetch I/O Time"},
    {"PoolGetPagesByAccess(3)", "RID List Get Pages"},
}};

// Db2's counters of a pool that its record does not hold, in the order Db2 shows them.
constexpr std::array<PoolFigure, 30> Db2OnlyFigures{
    PoolFigure::UseCount,
    PoolFigure::VpSizeMin,
    PoolFigure::VpSizeMax,
    PoolFigure::Allocated,
    PoolFigure::ToBeDeleted,
    PoolFigure::InUseUpdated,
    PoolFigure::VpPseqt,
    PoolFigure::VpXpseqt,
    PoolFigure::Dwqt,
    PoolFigure::VdwqtPercent,
    PoolFigure::VdwqtBuffers,
    PoolFigure::DmthHits,
    PoolFigure::PageInsRequired,
    PoolFigure::SeqChain,
    PoolFigure::VpseqtHits,
    PoolFigure::Reclassify,
    PoolFigure::SeqPrefetchRequests,
    PoolFigure::ListPrefetchRequests,
    PoolFigure::DynPrefetchRequests,
    PoolFigure::PrefetchNoBuffer,
    PoolFigure::PrefetchNoEngine,
    PoolFigure::AsyncWriteIos,
    PoolFigure::SyncWriteIos,
    PoolFigure::WritePageInsRequired,
    PoolFigure::DwtHits,
    PoolFigure::VdwtHits,
    PoolFigure::NoWriteEngine,
    PoolFigure::ParallelRequests,
    PoolFigure::DegradedParallel,
    PoolFigure::LplPagesAdded,
};

std::string Shown(const std::optional<std::int64_t>& value, NumberStyle style) {
    return value ? CountText(*value, style) : std::string(NotInThisInput);
}

std::string Shown(const std::string& setting) {
    return setting.empty() ? std::string(NotInThisInput) : setting;
}

void AddSimulated(std::vector<FigureRow>& rows, const SimulatedPoolFigures& s, NumberStyle style) {
    const std::array<std::pair<std::string_view, const std::optional<std::int64_t>*>, 7> figures{{
        {"SIMULATED BUFFER POOL SIZE", &s.size},
        {"SIMULATED SEQUENTIAL THRESHOLD", &s.seqThreshold},
        {"AVOIDABLE SYNC READ I/O (R)", &s.avoidableSyncRandom},
        {"AVOIDABLE SYNC READ I/O (S)", &s.avoidableSyncSeq},
        {"AVOIDABLE ASYNC READ I/O", &s.avoidableAsync},
        {"TOTAL AVOIDABLE SYNC I/O DELAY (ms)", &s.avoidableSyncDelayMs},
        {"PAGES MOVED INTO SIMULATED POOL", &s.pagesMovedIn},
    }};
    for (const auto& [caption, value] : figures) {
        rows.push_back({std::string(caption), Shown(*value, style)});
    }
}

} // namespace

PoolHeader MakePoolHeader(const Report& report, int p, NumberStyle style) {
    const PoolRecord& pool = report.Pools(p);
    PoolHeader h;
    h.poolInfo[0] = Latin1ToUtf8(pool.PoolName.Trimmed());
    h.poolInfo[1] = Figure(PoolObjects(report, p).Count());
    h.poolInfo[2] = Figure(pool.VPSize);
    h.poolInfo[3] = Figure(pool.HPSize);
    h.poolInfo[4] = "  " + Latin1ToUtf8(pool.CastOut.Padded());
    h.thresholdInfo[0] = Figure(pool.VPSeqThreshold);
    h.thresholdInfo[1] = Figure(pool.HPSeqThreshold);
    h.thresholdInfo[2] = "  " + StrText(pool.DWTH, style);
    h.thresholdInfo[3] = "  " + StrText(pool.VWTH, style);
    h.caption = "Quorvel - " + Latin1ToUtf8(pool.PoolName.Trimmed());
    if (report.Db2Display) {
        const auto absent = [&](std::string& shown, std::string_view field) {
            if (!PoolFieldGiven(report, p, field)) {
                shown = std::string(NotInThisInput);
            }
        };
        absent(h.poolInfo[2], "VPSize");
        absent(h.poolInfo[3], "HPSize");
        absent(h.poolInfo[4], "CastOut");
        absent(h.thresholdInfo[0], "VPSeqThreshold");
        absent(h.thresholdInfo[1], "HPSeqThreshold");
        absent(h.thresholdInfo[2], "DWTH");
        absent(h.thresholdInfo[3], "VWTH");
    }
    return h;
}

std::vector<FigureRow> PoolDb2Rows(const Report& report, int p, NumberStyle style) {
    std::vector<FigureRow> rows;
    if (!report.Db2Display || !report.HasPool(p) || static_cast<std::size_t>(p) > report.Db2Display->pools.size()) {
        return rows;
    }
    for (const auto& [field, caption] : UnheadedFields) {
        if (!PoolFieldGiven(report, p, field)) {
            rows.push_back({std::string(caption), std::string(NotInThisInput)});
        }
    }
    const Db2PoolFacts& facts = report.Db2Display->pools[static_cast<std::size_t>(p - 1)];
    rows.push_back({"AUTOSIZE", Shown(facts.autosize)});
    rows.push_back({"PGFIX", Shown(facts.pgfix)});
    rows.push_back({"PGSTEAL", Shown(facts.pgsteal)});
    rows.push_back({"FRAME SIZE", Shown(facts.frameSize)});
    for (const PoolFigure figure : Db2OnlyFigures) {
        rows.push_back({std::string(NameOf(figure).label), Shown(facts.figures.Get(figure), style)});
    }
    if (facts.simulated) {
        AddSimulated(rows, *facts.simulated, style);
    }
    return rows;
}

} // namespace ornexa
