#include "advice/pool_metrics.h"

#include <algorithm>

namespace ornexa {
namespace {

constexpr std::string_view NoIntervalNote = "the report has no interval length: no rate or residency time";
constexpr std::string_view NoPoolSizeNote = "the pool has no virtual pool size: no residency time";
constexpr std::string_view NoReadsNote = "the pool read no pages: no residency time";
constexpr std::string_view NoSyncIONote = "no synchronous read I/O";
constexpr std::string_view NoSeqPrefetchIONote = "no sequential prefetch I/O";
constexpr std::string_view NoListPrefetchIONote = "no list prefetch I/O";
constexpr std::string_view NoDynPrefetchIONote = "no dynamic prefetch I/O";
constexpr std::string_view NoWriteIONote = "no write I/O";
constexpr std::string_view NoPagesWrittenNote = "no page written";

std::optional<double> Ratio(double numerator, double denominator) {
    if (denominator == 0) {
        return std::nullopt;
    }
    return numerator / denominator;
}

void Note(PoolMetrics& metrics, std::string_view note) {
    if (std::find(metrics.notes.begin(), metrics.notes.end(), note) == metrics.notes.end()) {
        metrics.notes.emplace_back(note);
    }
}

} // namespace

ResidencyVerdict VerdictFor(double systemResidencySeconds) {
    if (systemResidencySeconds < StolenResidencySeconds) {
        return ResidencyVerdict::Stolen;
    }
    if (systemResidencySeconds < ShortResidencySeconds) {
        return ResidencyVerdict::Short;
    }
    if (systemResidencySeconds <= UsualResidencySeconds) {
        return ResidencyVerdict::Usual;
    }
    return ResidencyVerdict::Lengthy;
}

std::string_view VerdictKey(ResidencyVerdict verdict) {
    switch (verdict) {
    case ResidencyVerdict::Stolen:
        return "stolen";
    case ResidencyVerdict::Short:
        return "short";
    case ResidencyVerdict::Usual:
        return "usual";
    case ResidencyVerdict::Lengthy:
        break;
    }
    return "long";
}

std::string_view VerdictText(ResidencyVerdict verdict) {
    switch (verdict) {
    case ResidencyVerdict::Stolen:
        return "pages are stolen before they can be reused";
    case ResidencyVerdict::Short:
        return "short: a larger pool would cut reads";
    case ResidencyVerdict::Usual:
        return "usual";
    case ResidencyVerdict::Lengthy:
        break;
    }
    return "long: the pool could give back storage";
}

PoolMetrics ComputePoolMetrics(const Report& report, int p) {
    PoolMetrics m;
    if (!report.HasPool(p)) {
        return m;
    }
    const PoolRecord& pool = report.Pools(p);
    const double e = report.ElapsedSeconds;
    const double syncPages = pool.PoolPagesReadByType(1);
    const double prefetchPages =
        static_cast<double>(pool.PoolPagesReadByType(2)) + pool.PoolPagesReadByType(3) + pool.PoolPagesReadByType(4);

    if (e > 0) {
        m.getPagesPerSecond = pool.PoolGetPages / e;
        m.pagesReadPerSecond = pool.PoolPagesRead / e;
        m.syncPagesReadPerSecond = syncPages / e;
        m.prefetchPagesReadPerSecond = prefetchPages / e;
        if (pool.VPSize <= 0) {
            Note(m, NoPoolSizeNote);
        } else if (pool.PoolPagesRead <= 0) {
            Note(m, NoReadsNote);
        } else {
            const double size = pool.VPSize;
            const double seqShare = std::clamp<double>(pool.VPSeqThreshold, 0, 100) / 100;
            const double system = size * e / pool.PoolPagesRead;
            m.systemResidencySeconds = system;
            m.randomResidencySeconds =
                syncPages <= 0 ? system : std::max(system, size * (1 - seqShare) * e / syncPages);
            m.sequentialResidencySeconds =
                prefetchPages <= 0 ? system : std::min(system, size * seqShare * e / prefetchPages);
            m.verdict = VerdictFor(system);
        }
    } else {
        Note(m, NoIntervalNote);
    }

    const auto ratio = [&m](double numerator, double denominator, std::string_view note) {
        const std::optional<double> r = Ratio(numerator, denominator);
        if (!r) {
            Note(m, note);
        }
        return r;
    };
    m.getPagesPerSyncReadIO = ratio(pool.PoolGetPages, pool.PoolReadIOsByType(1), NoSyncIONote);
    m.pagesPerSeqPrefetchIO = ratio(pool.PoolPagesReadByType(2), pool.PoolReadIOsByType(2), NoSeqPrefetchIONote);
    m.pagesPerListPrefetchIO = ratio(pool.PoolPagesReadByType(3), pool.PoolReadIOsByType(3), NoListPrefetchIONote);
    m.pagesPerDynPrefetchIO = ratio(pool.PoolPagesReadByType(4), pool.PoolReadIOsByType(4), NoDynPrefetchIONote);
    m.pagesPerWriteIO = ratio(pool.PoolPagesWritten, pool.PoolWriteIOs, NoWriteIONote);
    m.updatesPerPageWritten = ratio(pool.PoolUpdates, pool.PoolPagesWritten, NoPagesWrittenNote);
    return m;
}

std::vector<MetricRow> MetricRows(const PoolMetrics& m) {
    const bool rates = std::find(m.notes.begin(), m.notes.end(), NoIntervalNote) == m.notes.end();
    const auto timeNote = [&m, rates]() -> std::string {
        if (!rates) {
            return std::string(NoIntervalNote);
        }
        for (const std::string_view note : {NoPoolSizeNote, NoReadsNote}) {
            if (std::find(m.notes.begin(), m.notes.end(), note) != m.notes.end()) {
                return std::string(note);
            }
        }
        return {};
    };
    const auto rateNote = [rates]() { return rates ? std::string{} : std::string(NoIntervalNote); };
    const auto ratioNote = [](const std::optional<double>& value, std::string_view note) {
        return value ? std::string{} : std::string(note);
    };
    std::string systemNote = m.verdict ? std::string(VerdictText(*m.verdict)) : timeNote();
    return {
        {"getpages_per_second", "Getpages (/s)", m.getPagesPerSecond, rateNote()},
        {"pages_read_per_second", "Pages read (/s)", m.pagesReadPerSecond, rateNote()},
        {"sync_pages_read_per_second", "Synchronous pages read (/s)", m.syncPagesReadPerSecond, rateNote()},
        {"prefetch_pages_read_per_second", "Prefetch pages read (/s)", m.prefetchPagesReadPerSecond, rateNote()},
        {"system_residency_seconds", "System page residency (s)", m.systemResidencySeconds, std::move(systemNote)},
        {"random_residency_seconds", "Random page residency (s)", m.randomResidencySeconds,
         m.randomResidencySeconds ? std::string{} : timeNote()},
        {"sequential_residency_seconds", "Sequential page residency (s)", m.sequentialResidencySeconds,
         m.sequentialResidencySeconds ? std::string{} : timeNote()},
        {"getpages_per_sync_read_io", "Getpages per synchronous read I/O", m.getPagesPerSyncReadIO,
         ratioNote(m.getPagesPerSyncReadIO, NoSyncIONote)},
        {"pages_per_seq_prefetch_io", "Pages per sequential prefetch I/O", m.pagesPerSeqPrefetchIO,
         ratioNote(m.pagesPerSeqPrefetchIO, NoSeqPrefetchIONote)},
        {"pages_per_list_prefetch_io", "Pages per list prefetch I/O", m.pagesPerListPrefetchIO,
         ratioNote(m.pagesPerListPrefetchIO, NoListPrefetchIONote)},
        {"pages_per_dyn_prefetch_io", "Pages per dynamic prefetch I/O", m.pagesPerDynPrefetchIO,
         ratioNote(m.pagesPerDynPrefetchIO, NoDynPrefetchIONote)},
        {"pages_per_write_io", "Pages per write I/O", m.pagesPerWriteIO, ratioNote(m.pagesPerWriteIO, NoWriteIONote)},
        {"updates_per_page_written", "Updates per page written", m.updatesPerPageWritten,
         ratioNote(m.updatesPerPageWritten, NoPagesWrittenNote)},
    };
}

} // namespace ornexa
