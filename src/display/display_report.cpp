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

// A count field of the pool record and the figures of Db2's display it is the sum of, parts before
// their totals (a sum takes
// whichever parts were shown): a field none of whose figures the display showed, as in a pool whose
// section was cut short, is not given.
struct CountSource {
    std::string_view field;
    std::string_view label; // names the figure in a note
    std::vector<PoolFigure> figures;
};

const std::vector<CountSource>& CountSources() {
    using F = PoolFigure;
    static const std::vector<CountSource> sources{
        {"VPSize", "VPSIZE", {F::VpSize}},
        {"VPSeqThreshold", "VPSEQT", {F::VpSeqt}},
        {"PoolGetPagesByAccess(1)", "SEQ. GETPAGE", {F::SeqGetpages}},
        {"PoolGetPagesByAccess(2)", "RANDOM GETPAGE", {F::RandomGetpages}},
        {"PoolGetPages", "getpages", {F::SeqGetpages, F::RandomGetpages}},
        {"PoolPagesReadByType(1)", "SYNC READ I/O", {F::SyncReadIosRandom, F::SyncReadIosSeq}},
        {"PoolPagesReadByType(2)", "sequential prefetch PAGES READ", {F::SeqPrefetchPages}},
        {"PoolPagesReadByType(3)", "list prefetch PAGES READ", {F::ListPrefetchPages}},
        {"PoolPagesReadByType(4)", "dynamic prefetch PAGES READ", {F::DynPrefetchPages}},
        {"PoolPagesRead",
         "pages read",
         {F::SyncReadIosRandom, F::SyncReadIosSeq, F::SeqPrefetchPages, F::ListPrefetchPages, F::DynPrefetchPages}},
        {"PoolReadIOsByType(1)", "SYNC READ I/O", {F::SyncReadIosRandom, F::SyncReadIosSeq}},
        {"PoolReadIOsByType(2)", "sequential PREFETCH I/O", {F::SeqPrefetchIos}},
        {"PoolReadIOsByType(3)", "list PREFETCH I/O", {F::ListPrefetchIos}},
        {"PoolReadIOsByType(4)", "dynamic PREFETCH I/O", {F::DynPrefetchIos}},
        {"PoolReadIOs",
         "read I/Os",
         {F::SyncReadIosRandom, F::SyncReadIosSeq, F::SeqPrefetchIos, F::ListPrefetchIos, F::DynPrefetchIos}},
        {"PoolUpdates", "SYS PAGE UPDATES", {F::PageUpdates}},
        {"PoolPagesWritten", "SYS PAGES WRITTEN", {F::PagesWritten}},
        {"PoolWriteIOs", "write I/Os", {F::AsyncWriteIos, F::SyncWriteIos}},
    };
    return sources;
}

std::size_t PoolField(std::string_view name) {
    return FieldIndex(RecordCatalogue<PoolRecord>(PoolCatalogue()), name);
}

std::optional<std::int64_t> SumOf(const DisplayPool& pool, const std::vector<PoolFigure>& figures) {
    std::optional<std::int64_t> total;
    for (const PoolFigure figure : figures) {
        if (const auto part = pool.Get(figure)) {
            total = total.value_or(0) + *part;
        }
    }
    return total;
}

// The pool record of a display's pool, and which of its fields the display gives.
struct FilledPool {
    PoolRecord record;
    std::bitset<PoolFieldCount> given;
};

FilledPool PoolOf(const DisplayPool& pool, std::vector<ReadNote>& notes) {
    static const std::vector<std::size_t> fields = [] {
        std::vector<std::size_t> indexes;
        for (const CountSource& source : CountSources()) {
            indexes.push_back(PoolField(source.field));
        }
        return indexes;
    }();
    static const std::array<std::size_t, 4> named = {PoolField("PoolName"), PoolField("PoolHitRatio"),
                                                     PoolField("DWTH"), PoolField("VWTH")};
    FieldFill fill(notes, pool.line, pool.name);
    FilledPool filled;
    PoolRecord& record = filled.record;
    record.PoolName = pool.name;
    filled.given.set(named[0]);
    const auto& sources = CountSources();
    for (std::size_t s = 0; s < sources.size(); ++s) {
        const std::optional<std::int64_t> value = SumOf(pool, sources[s].figures);
        *std::get<Long*>(PoolCatalogue()[fields[s]].access.write(record)) = fill(value, sources[s].label);
        filled.given.set(fields[s], value.has_value());
    }
    // The system hit ratio, the share of getpages that found the page in the pool, to a tenth as a
    // monitor's report gives it.
    if (record.PoolGetPages > 0) {
        record.PoolHitRatio =
            std::round(1000.0 *
                       static_cast<double>(static_cast<std::int64_t>(record.PoolGetPages) - record.PoolPagesRead) /
                       static_cast<double>(record.PoolGetPages)) /
            10.0;
    }
    filled.given.set(named[1], pool.Get(PoolFigure::SeqGetpages) || pool.Get(PoolFigure::RandomGetpages));
    record.DWTH = static_cast<double>(pool.Get(PoolFigure::Dwqt).value_or(0));
    filled.given.set(named[2], pool.Get(PoolFigure::Dwqt).has_value());
    record.VWTH = static_cast<double>(pool.Get(PoolFigure::VdwqtPercent).value_or(0));
    filled.given.set(named[3], pool.Get(PoolFigure::VdwqtPercent).has_value());
    return filled;
}

Db2PoolFacts PoolFactsOf(const DisplayPool& pool, const std::bitset<PoolFieldCount>& given) {
    Db2PoolFacts facts;
    facts.figures = pool.figures;
    facts.autosize = pool.autosize;
    facts.pgfix = pool.pgfix;
    facts.pgsteal = pool.pgsteal;
    facts.frameSize = pool.frameSize;
    facts.simulated = pool.simulated;
    facts.complete = pool.complete;
    facts.given = given;
    return facts;
}

// A data set's figures as the display means them: Db2 leaves out the cached-page and delay messages of
// a data set whose figures are all zero, so in a pool whose section was read whole a figure not shown
// is 0.
DataSetFigureSet Shown(const DisplayPool& pool, const DisplayDataSet& dataSet) {
    DataSetFigureSet figures = dataSet.figures;
    if (!pool.complete) {
        return figures;
    }
    for (std::size_t f = 0; f < DataSetFigureCount; ++f) {
        const auto figure = static_cast<DataSetFigure>(f);
        if (figure != DataSetFigure::UseCount && !figures.Get(figure)) {
            figures.Set(figure, 0);
        }
    }
    return figures;
}

ObjectRecord ObjectOf(const DisplayPool& pool, const DisplayDataSet& dataSet, const DataSetFigureSet& figures,
                      std::vector<ReadNote>& notes) {
    std::string name = DataSetName(dataSet);
    FieldFill fill(notes, dataSet.line, name);
    ObjectRecord record;
    record.ObjPoolName = pool.name;
    record.ObjType = dataSet.indexSpace ? "I" : "T";
    record.ObjAvgSyncIOTime = fill(figures.Get(DataSetFigure::SyncAvgDelay), "AVERAGE DELAY");
    record.ObjMaxSyncIOTime = fill(figures.Get(DataSetFigure::SyncMaxDelay), "MAXIMUM DELAY");
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
        FilledPool filled = PoolOf(pool, notes);
        PoolRecord& record = filled.record;
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
            const DataSetFigureSet figures = Shown(pool, dataSet);
            report.AddObject(ObjectOf(pool, dataSet, figures, notes));
            Db2ObjectFacts& objectFacts = facts.objects.emplace_back();
            objectFacts.figures = figures;
            objectFacts.part = dataSet.part;
            objectFacts.given = objectGiven;
            if (!figures.Get(DataSetFigure::SyncAvgDelay)) {
                objectFacts.given.reset(avgDelayField);
            }
            if (!figures.Get(DataSetFigure::SyncMaxDelay)) {
                objectFacts.given.reset(maxDelayField);
            }
        }
        if (!pool.dataSets.empty()) {
            record.FirstObject = first;
            record.LastObject = report.ObjectCount();
        }
        report.AddPool(record);
        facts.pools.push_back(PoolFactsOf(pool, filled.given));
    }
    for (const DisplayGroupPool& group : interval.groupPools) {
        facts.groupPools.push_back({group.name, group.figures});
    }
    report.Db2Display = std::move(facts);
    report.StatFileLoaded = true;
    return true;
}

} // namespace ornexa
