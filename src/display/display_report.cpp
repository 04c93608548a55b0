#include "display/display_report.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string_view>
#include <vector>

#include "display/display_time.h"
#include "report/record_catalogue.h"

namespace ornexa {

namespace {

constexpr std::int64_t LongMax = std::numeric_limits<Long>::max();

// The fields of each record a display fills, by name.
constexpr std::array<std::string_view, 6> HeaderFromDisplay = {"SystemName",     "SubSystemName",   "CollectionDate",
                                                               "CollectionTime", "ReportPoolCount", "ElapsedTime"};
constexpr std::array<std::string_view, 22> PoolFromDisplay = {
    "PoolName",
    "VPSize",
    "VPSeqThreshold",
    "PoolGetPages",
    "PoolGetPagesByAccess(1)",
    "PoolGetPagesByAccess(2)",
    "PoolHitRatio",
    "PoolPagesRead",
    "PoolPagesReadByType(1)",
    "PoolPagesReadByType(2)",
    "PoolPagesReadByType(3)",
    "PoolPagesReadByType(4)",
    "PoolReadIOs",
    "PoolReadIOsByType(1)",
    "PoolReadIOsByType(2)",
    "PoolReadIOsByType(3)",
    "PoolReadIOsByType(4)",
    "PoolUpdates",
    "PoolPagesWritten",
    "PoolWriteIOs",
    "DWTH",
    "VWTH",
};
constexpr std::array<std::string_view, 5> ObjectFromDisplay = {"ObjPoolName", "ObjType", "ObjName", "ObjAvgSyncIOTime",
                                                               "ObjMaxSyncIOTime"};

template <class Record, std::size_t N, std::size_t M>
std::bitset<N> GivenFields(std::span<const RecordField<Record>, N> catalogue,
                           const std::array<std::string_view, M>& names) {
    std::bitset<N> given;
    for (const std::string_view name : names) {
        given.set(FieldIndex(RecordCatalogue<Record>(catalogue), name));
    }
    return given;
}

// A figure as a record field holds it: absent is 0, beyond the field its largest value, said once per
// field and pool.
class FieldFill {
public:
    FieldFill(std::vector<ReadNote>& notes, std::int64_t line, std::string_view owner)
        : notes_(notes), line_(line), owner_(owner) {}

    Long operator()(std::optional<std::int64_t> value, std::string_view field) {
        const std::int64_t v = value.value_or(0);
        if (v > LongMax || v < -LongMax) {
            notes_.push_back({line_, std::string(field) + " of " + std::string(owner_) + " is " + std::to_string(v) +
                                         ", beyond what a report field holds: kept as " +
                                         std::to_string(v > 0 ? LongMax : -LongMax)});
            return static_cast<Long>(v > 0 ? LongMax : -LongMax);
        }
        return static_cast<Long>(v);
    }

private:
    std::vector<ReadNote>& notes_;
    std::int64_t line_;
    std::string_view owner_;
};

std::optional<std::int64_t> Sum(std::initializer_list<std::optional<std::int64_t>> parts) {
    std::int64_t total = 0;
    bool any = false;
    for (const auto& part : parts) {
        if (part) {
            total += *part;
            any = true;
        }
    }
    return any ? std::optional(total) : std::nullopt;
}

PoolRecord PoolOf(const DisplayPool& pool, std::vector<ReadNote>& notes) {
    FieldFill fill(notes, pool.line, pool.name);
    PoolRecord record;
    record.PoolName = pool.name;
    record.VPSize = fill(pool.Get(PoolFigure::VpSize), "VPSIZE");
    record.VPSeqThreshold = fill(pool.Get(PoolFigure::VpSeqt), "VPSEQT");
    record.PoolGetPagesByAccess(1) = fill(pool.Get(PoolFigure::SeqGetpages), "SEQ. GETPAGE");
    record.PoolGetPagesByAccess(2) = fill(pool.Get(PoolFigure::RandomGetpages), "RANDOM GETPAGE");
    const auto getpages = Sum({pool.Get(PoolFigure::SeqGetpages), pool.Get(PoolFigure::RandomGetpages)});
    record.PoolGetPages = fill(getpages, "getpages");
    const auto syncReads = Sum({pool.Get(PoolFigure::SyncReadIosRandom), pool.Get(PoolFigure::SyncReadIosSeq)});
    record.PoolPagesReadByType(1) = fill(syncReads, "SYNC READ I/O");
    record.PoolPagesReadByType(2) = fill(pool.Get(PoolFigure::SeqPrefetchPages), "sequential prefetch PAGES READ");
    record.PoolPagesReadByType(3) = fill(pool.Get(PoolFigure::ListPrefetchPages), "list prefetch PAGES READ");
    record.PoolPagesReadByType(4) = fill(pool.Get(PoolFigure::DynPrefetchPages), "dynamic prefetch PAGES READ");
    const auto pagesRead = Sum({syncReads, pool.Get(PoolFigure::SeqPrefetchPages),
                                pool.Get(PoolFigure::ListPrefetchPages), pool.Get(PoolFigure::DynPrefetchPages)});
    record.PoolPagesRead = fill(pagesRead, "pages read");
    record.PoolReadIOsByType(1) = fill(syncReads, "SYNC READ I/O");
    record.PoolReadIOsByType(2) = fill(pool.Get(PoolFigure::SeqPrefetchIos), "sequential PREFETCH I/O");
    record.PoolReadIOsByType(3) = fill(pool.Get(PoolFigure::ListPrefetchIos), "list PREFETCH I/O");
    record.PoolReadIOsByType(4) = fill(pool.Get(PoolFigure::DynPrefetchIos), "dynamic PREFETCH I/O");
    record.PoolReadIOs = fill(Sum({syncReads, pool.Get(PoolFigure::SeqPrefetchIos),
                                   pool.Get(PoolFigure::ListPrefetchIos), pool.Get(PoolFigure::DynPrefetchIos)}),
                              "read I/Os");
    // The system hit ratio: the share of getpages that found the page in the pool.
    if (getpages && *getpages > 0) {
        // To a tenth, as a monitor's report gives it.
        record.PoolHitRatio = std::round(1000.0 * static_cast<double>(*getpages - pagesRead.value_or(0)) /
                                         static_cast<double>(*getpages)) /
                              10.0;
    }
    record.PoolUpdates = fill(pool.Get(PoolFigure::PageUpdates), "SYS PAGE UPDATES");
    record.PoolPagesWritten = fill(pool.Get(PoolFigure::PagesWritten), "SYS PAGES WRITTEN");
    record.PoolWriteIOs =
        fill(Sum({pool.Get(PoolFigure::AsyncWriteIos), pool.Get(PoolFigure::SyncWriteIos)}), "write I/Os");
    record.DWTH = static_cast<double>(pool.Get(PoolFigure::Dwqt).value_or(0));
    record.VWTH = static_cast<double>(pool.Get(PoolFigure::VdwqtPercent).value_or(0));
    return record;
}

// The figures each pool field is made of (a sum takes whichever parts were shown): a field none of whose
// figures the display showed, as in a pool whose section was cut short, is not given.
struct FieldSource {
    std::string_view field;
    std::vector<PoolFigure> figures;
};
std::bitset<PoolFieldCount> ShownFields(const DisplayPool& pool) {
    using F = PoolFigure;
    static const std::array<FieldSource, 21> sources{{
        {"VPSize", {F::VpSize}},
        {"VPSeqThreshold", {F::VpSeqt}},
        {"PoolGetPages", {F::SeqGetpages, F::RandomGetpages}},
        {"PoolGetPagesByAccess(1)", {F::SeqGetpages}},
        {"PoolGetPagesByAccess(2)", {F::RandomGetpages}},
        {"PoolHitRatio", {F::SeqGetpages, F::RandomGetpages}},
        {"PoolPagesRead",
         {F::SyncReadIosRandom, F::SyncReadIosSeq, F::SeqPrefetchPages, F::ListPrefetchPages, F::DynPrefetchPages}},
        {"PoolPagesReadByType(1)", {F::SyncReadIosRandom, F::SyncReadIosSeq}},
        {"PoolPagesReadByType(2)", {F::SeqPrefetchPages}},
        {"PoolPagesReadByType(3)", {F::ListPrefetchPages}},
        {"PoolPagesReadByType(4)", {F::DynPrefetchPages}},
        {"PoolReadIOs",
         {F::SyncReadIosRandom, F::SyncReadIosSeq, F::SeqPrefetchIos, F::ListPrefetchIos, F::DynPrefetchIos}},
        {"PoolReadIOsByType(1)", {F::SyncReadIosRandom, F::SyncReadIosSeq}},
        {"PoolReadIOsByType(2)", {F::SeqPrefetchIos}},
        {"PoolReadIOsByType(3)", {F::ListPrefetchIos}},
        {"PoolReadIOsByType(4)", {F::DynPrefetchIos}},
        {"PoolUpdates", {F::PageUpdates}},
        {"PoolPagesWritten", {F::PagesWritten}},
        {"PoolWriteIOs", {F::AsyncWriteIos, F::SyncWriteIos}},
        {"DWTH", {F::Dwqt}},
        {"VWTH", {F::VdwqtPercent}},
    }};
    static const std::bitset<PoolFieldCount> given = GivenFields(PoolCatalogue(), PoolFromDisplay);
    std::bitset<PoolFieldCount> shown = given;
    for (const FieldSource& source : sources) {
        const bool any = std::any_of(source.figures.begin(), source.figures.end(),
                                     [&pool](PoolFigure f) { return pool.Get(f).has_value(); });
        if (!any) {
            shown.reset(FieldIndex<PoolRecord>(PoolCatalogue(), source.field));
        }
    }
    return shown;
}

Db2PoolFacts PoolFactsOf(const DisplayPool& pool) {
    Db2PoolFacts facts;
    facts.figures.values = pool.figures;
    facts.autosize = pool.autosize;
    facts.pgfix = pool.pgfix;
    facts.pgsteal = pool.pgsteal;
    facts.frameSize = pool.frameSize;
    facts.simulated = pool.simulated;
    facts.complete = pool.complete;
    facts.given = ShownFields(pool);
    return facts;
}

using DataSetFigureValues = std::array<std::optional<std::int64_t>, DataSetFigureCount>;

// A data set's figures as the display means them: Db2 leaves out the cached-page and delay messages of
// a data set whose figures are all zero, so in a pool whose section was read whole a figure not shown
// is 0.
DataSetFigureValues Shown(const DisplayPool& pool, const DisplayDataSet& dataSet) {
    DataSetFigureValues figures = dataSet.figures;
    if (!pool.complete) {
        return figures;
    }
    for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
        if (static_cast<DataSetFigure>(f) != DataSetFigure::UseCount && !figures[f]) {
            figures[f] = 0;
        }
    }
    return figures;
}

ObjectRecord ObjectOf(const DisplayPool& pool, const DisplayDataSet& dataSet, const DataSetFigureValues& figures,
                      std::vector<ReadNote>& notes) {
    std::string name = DataSetName(dataSet);
    FieldFill fill(notes, dataSet.line, name);
    ObjectRecord record;
    record.ObjPoolName = pool.name;
    record.ObjType = dataSet.indexSpace ? "I" : "T";
    record.ObjAvgSyncIOTime = fill(figures[static_cast<std::size_t>(DataSetFigure::SyncAvgDelay)], "AVERAGE DELAY");
    record.ObjMaxSyncIOTime = fill(figures[static_cast<std::size_t>(DataSetFigure::SyncMaxDelay)], "MAXIMUM DELAY");
    record.ObjName = name;
    return record;
}

// "01:30:00"; longer than 99 hours "123:45" (hours and minutes), as the field holds eight characters.
std::string ElapsedText(std::int64_t seconds) {
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds % 3600 / 60;
    std::array<char, 32> text{};
    if (hours < 100) {
        std::snprintf(text.data(), text.size(), "%02lld:%02lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes), static_cast<long long>(seconds % 60));
    } else {
        std::snprintf(text.data(), text.size(), "%lld:%02lld", static_cast<long long>(hours),
                      static_cast<long long>(minutes));
    }
    return text.data();
}

void FillHeader(Report& report, const DisplayInterval& interval, Db2Facts& facts) {
    static const std::bitset<HeaderFieldCount> given = GivenFields(HeaderCatalogue(), HeaderFromDisplay);
    ReportHeader& header = report.Header;
    header.SystemName = interval.system; // a batch job's output does not name it
    header.SubSystemName = interval.subsystem;
    // The collection time is the interval's end, else its start.
    const auto moment = interval.to ? interval.to : interval.from;
    if (moment) {
        const std::string stamp = StampText(*moment);
        header.CollectionDate = std::string_view(stamp).substr(0, 10);
        header.CollectionTime = std::string_view(stamp).substr(11);
    }
    header.ReportPoolCount = static_cast<Integer>(std::min<std::size_t>(interval.pools.size(), 32767));
    facts.headerGiven = given;
    if (interval.from && interval.to && *interval.to > *interval.from) {
        const std::int64_t seconds = std::min(*interval.to - *interval.from, LongMax);
        header.ElapsedTime = ElapsedText(seconds);
        report.ElapsedSeconds = static_cast<Long>(seconds);
    } else {
        facts.headerGiven.reset(FieldIndex(RecordCatalogue<ReportHeader>(HeaderCatalogue()), "ElapsedTime"));
    }
    if (interval.system.empty()) {
        facts.headerGiven.reset(FieldIndex(RecordCatalogue<ReportHeader>(HeaderCatalogue()), "SystemName"));
    }
    if (!moment) {
        const auto catalogue = RecordCatalogue<ReportHeader>(HeaderCatalogue());
        facts.headerGiven.reset(FieldIndex(catalogue, "CollectionDate"));
        facts.headerGiven.reset(FieldIndex(catalogue, "CollectionTime"));
    }
    facts.from = interval.from ? StampText(*interval.from) : std::string();
    facts.to = interval.to ? StampText(*interval.to) : std::string();
    facts.cumulative = interval.cumulative;
}

} // namespace

std::string DataSetName(const DisplayDataSet& dataSet) {
    std::string name = dataSet.database + "." + dataSet.space;
    if (dataSet.part > 0) {
        name += " #" + std::to_string(dataSet.part);
    }
    return name;
}

bool FillReport(Report& report, const DisplayInterval& interval, std::vector<ReadNote>& notes, std::int64_t& full) {
    static const std::bitset<ObjectFieldCount> objectGiven = GivenFields(ObjectCatalogue(), ObjectFromDisplay);
    static const std::size_t avgDelayField =
        FieldIndex(RecordCatalogue<ObjectRecord>(ObjectCatalogue()), "ObjAvgSyncIOTime");
    static const std::size_t maxDelayField =
        FieldIndex(RecordCatalogue<ObjectRecord>(ObjectCatalogue()), "ObjMaxSyncIOTime");
    Db2Facts facts;
    FillHeader(report, interval, facts);
    std::size_t dataSets = 0;
    for (const DisplayPool& pool : interval.pools) {
        dataSets += pool.dataSets.size();
    }
    report.ReserveObjects(static_cast<std::int64_t>(dataSets));
    facts.objects.reserve(std::min<std::size_t>(dataSets, static_cast<std::size_t>(report.Limits().objects)));
    facts.pools.reserve(interval.pools.size());
    for (const DisplayPool& pool : interval.pools) {
        PoolRecord record = PoolOf(pool, notes);
        const int first = report.ObjectCount() + 1;
        if (report.PoolCount() >= report.Limits().pools ||
            report.ObjectCount() + static_cast<std::int64_t>(pool.dataSets.size()) > report.Limits().objects) {
            full = report.PoolCount() >= report.Limits().pools
                       ? pool.line
                       : pool.dataSets[static_cast<std::size_t>(report.Limits().objects - report.ObjectCount())].line;
            report.Db2Display = std::move(facts);
            return false;
        }
        for (const DisplayDataSet& dataSet : pool.dataSets) {
            const DataSetFigureValues figures = Shown(pool, dataSet);
            report.AddObject(ObjectOf(pool, dataSet, figures, notes));
            Db2ObjectFacts& objectFacts = facts.objects.emplace_back();
            objectFacts.figures.values = figures;
            objectFacts.part = dataSet.part;
            objectFacts.given = objectGiven;
            if (!figures[static_cast<std::size_t>(DataSetFigure::SyncAvgDelay)]) {
                objectFacts.given.reset(avgDelayField);
            }
            if (!figures[static_cast<std::size_t>(DataSetFigure::SyncMaxDelay)]) {
                objectFacts.given.reset(maxDelayField);
            }
        }
        if (!pool.dataSets.empty()) {
            record.FirstObject = first;
            record.LastObject = report.ObjectCount();
        }
        report.AddPool(record);
        facts.pools.push_back(PoolFactsOf(pool));
    }
    for (const DisplayGroupPool& group : interval.groupPools) {
        facts.groupPools.push_back({group.name, GroupPoolFigureSet{group.figures}});
    }
    report.Db2Display = std::move(facts);
    report.StatFileLoaded = true;
    return true;
}

} // namespace ornexa
