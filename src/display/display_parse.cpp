#include "display/display_parse.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <utility>

#include "display/display_bytes.h"
#include "display/display_messages.h"
#include "display/display_values.h"

namespace ornexa {

namespace {

// A later DSNB401I of a subsystem whose SYSLOG time lies this far after the display's last message
// starts a new display even without DSN9022I between them: Db2 writes one command's output within
// seconds, and displays taken every few minutes would otherwise run together.
constexpr std::int64_t NewDisplayAfterSeconds = 5 * 60;

struct PoolLabel {
    std::string_view id;
    std::string_view label; // the end of the label, upper case, single blanks
    PoolFigure figure;
    PoolFigure second = PoolFigure::Count; // the figure of a second number ("80,  0"), if any
};

// Where a label may end another one ("VERTICAL DWT HIT", "DWT HIT"), the longer comes first.
constexpr std::array PoolLabels{
    PoolLabel{"DSNB402I", "BUFFER POOL SIZE", PoolFigure::VpSize},
    PoolLabel{"DSNB402I", "VPSIZE MINIMUM", PoolFigure::VpSizeMin},
    PoolLabel{"DSNB402I", "VPSIZE MAXIMUM", PoolFigure::VpSizeMax},
    PoolLabel{"DSNB402I", "ALLOCATED", PoolFigure::Allocated},
    PoolLabel{"DSNB402I", "TO BE DELETED", PoolFigure::ToBeDeleted},
    PoolLabel{"DSNB402I", "IN-USE/UPDATED", PoolFigure::InUseUpdated},
    PoolLabel{"DSNB402I", "OVERFLOW ALLOC", PoolFigure::OverflowAlloc},
    PoolLabel{"DSNB404I", "VP SEQUENTIAL", PoolFigure::VpSeqt},
    PoolLabel{"DSNB404I", "VERTICAL DEFERRED WRT", PoolFigure::VdwqtPercent, PoolFigure::VdwqtBuffers},
    PoolLabel{"DSNB404I", "DEFERRED WRITE", PoolFigure::Dwqt},
    PoolLabel{"DSNB404I", "ASSISTING PARALLEL SEQT", PoolFigure::VpXpseqt},
    PoolLabel{"DSNB404I", "ASSISTING PARALLEL SEQ", PoolFigure::VpXpseqt},
    PoolLabel{"DSNB404I", "PARALLEL SEQUENTIAL", PoolFigure::VpPseqt},
    PoolLabel{"DSNB404I", "VP PCLOSET", PoolFigure::VpCloset},
    PoolLabel{"DSNB411I", "RANDOM GETPAGE", PoolFigure::RandomGetpages},
    PoolLabel{"DSNB411I", "SYNC READ I/O (R)", PoolFigure::SyncReadIosRandom},
    PoolLabel{"DSNB411I", "SEQ. GETPAGE", PoolFigure::SeqGetpages},
    PoolLabel{"DSNB411I", "SYNC READ I/O (S)", PoolFigure::SyncReadIosSeq},
    PoolLabel{"DSNB411I", "DMTH HIT", PoolFigure::DmthHits},
    PoolLabel{"DSNB411I", "PAGE-INS REQUIRED", PoolFigure::PageInsRequired},
    PoolLabel{"DSNB411I", "SEQUENTIAL", PoolFigure::SeqRequests},
    PoolLabel{"DSNB411I", "VPSEQT HIT", PoolFigure::VpseqtHits},
    PoolLabel{"DSNB411I", "RECLASSIFY", PoolFigure::Reclassify},
    PoolLabel{"DSNB412I", "REQUESTS", PoolFigure::SeqPrefetchRequests},
    PoolLabel{"DSNB412I", "PREFETCH I/O", PoolFigure::SeqPrefetchIos},
    PoolLabel{"DSNB412I", "PAGES READ", PoolFigure::SeqPrefetchPages},
    PoolLabel{"DSNB413I", "REQUESTS", PoolFigure::ListPrefetchRequests},
    PoolLabel{"DSNB413I", "PREFETCH I/O", PoolFigure::ListPrefetchIos},
    PoolLabel{"DSNB413I", "PAGES READ", PoolFigure::ListPrefetchPages},
    PoolLabel{"DSNB414I", "REQUESTS", PoolFigure::DynPrefetchRequests},
    PoolLabel{"DSNB414I", "PREFETCH I/O", PoolFigure::DynPrefetchIos},
    PoolLabel{"DSNB414I", "PAGES READ", PoolFigure::DynPrefetchPages},
    PoolLabel{"DSNB415I", "NO BUFFER", PoolFigure::PrefetchNoBuffer},
    PoolLabel{"DSNB415I", "NO READ ENGINE", PoolFigure::PrefetchNoEngine},
    PoolLabel{"DSNB420I", "SYS PAGE UPDATES", PoolFigure::PageUpdates},
    PoolLabel{"DSNB420I", "SYS PAGES WRITTEN", PoolFigure::PagesWritten},
    PoolLabel{"DSNB420I", "ASYNC WRITE I/O", PoolFigure::AsyncWriteIos},
    PoolLabel{"DSNB420I", "SYNC WRITE I/O", PoolFigure::SyncWriteIos},
    PoolLabel{"DSNB420I", "PAGE-INS REQUIRED", PoolFigure::WritePageInsRequired},
    PoolLabel{"DSNB421I", "VERTICAL DWT HIT", PoolFigure::VdwtHits},
    PoolLabel{"DSNB421I", "DWT HIT", PoolFigure::DwtHits},
    PoolLabel{"DSNB421I", "NO WRITE ENGINE", PoolFigure::NoWriteEngine},
    PoolLabel{"DSNB440I", "PARALLEL REQUEST", PoolFigure::ParallelRequests},
    PoolLabel{"DSNB440I", "DEGRADED PARALLEL", PoolFigure::DegradedParallel},
    PoolLabel{"DSNB441I", "PAGES ADDED", PoolFigure::LplPagesAdded},
};

struct SimulatedLabel {
    std::string_view id;
    std::string_view label;
    std::optional<std::int64_t> SimulatedPoolFigures::*field;
};

constexpr std::array SimulatedLabels{
    SimulatedLabel{"DSNB431I", "SPSEQT", &SimulatedPoolFigures::seqThreshold},
    SimulatedLabel{"DSNB431I", "SEQUENTIAL", &SimulatedPoolFigures::seqThreshold},
    SimulatedLabel{"DSNB431I", "SPSIZE", &SimulatedPoolFigures::size},
    SimulatedLabel{"DSNB431I", "SIZE", &SimulatedPoolFigures::size},
    SimulatedLabel{"DSNB432I", "ASYNC READ I/O", &SimulatedPoolFigures::avoidableAsync},
    SimulatedLabel{"DSNB432I", "SYNC READ I/O (R)", &SimulatedPoolFigures::avoidableSyncRandom},
    SimulatedLabel{"DSNB432I", "SYNC READ I/O (S)", &SimulatedPoolFigures::avoidableSyncSeq},
    SimulatedLabel{"DSNB432I", "DELAY", &SimulatedPoolFigures::avoidableSyncDelayMs},
    SimulatedLabel{"DSNB432I", "PAGES MOVED", &SimulatedPoolFigures::pagesMovedIn},
};

struct DataSetLabel {
    std::string_view id;
    std::string_view label;
    DataSetFigure figure;
};

// DSNB453I shows MAX twice: after CURRENT and after CHANGED, told apart by what came before.
constexpr std::array DataSetLabels{
    DataSetLabel{"DSNB453I", "CURRENT", DataSetFigure::CachedPages},
    DataSetLabel{"DSNB453I", "CHANGED", DataSetFigure::ChangedPages},
    DataSetLabel{"DSNB455I", "AVERAGE DELAY", DataSetFigure::SyncAvgDelay},
    DataSetLabel{"DSNB455I", "MAXIMUM DELAY", DataSetFigure::SyncMaxDelay},
    DataSetLabel{"DSNB455I", "TOTAL PAGES", DataSetFigure::SyncPages},
    DataSetLabel{"DSNB456I", "AVERAGE DELAY", DataSetFigure::AsyncAvgDelay},
    DataSetLabel{"DSNB456I", "MAXIMUM DELAY", DataSetFigure::AsyncMaxDelay},
    DataSetLabel{"DSNB456I", "TOTAL PAGES", DataSetFigure::AsyncPages},
    DataSetLabel{"DSNB456I", "TOTAL I/O COUNT", DataSetFigure::AsyncIos},
    DataSetLabel{"DSNB456I", "TOTAL I/O", DataSetFigure::AsyncIos},
};

struct GroupLabel {
    std::string_view label;
    GroupPoolFigure figure;
};

// The group buffer pool sections (DSNB755I ... DSNB799I) by label, whichever message shows them.
constexpr std::array GroupLabels{
    GroupLabel{"CURRENT DIRECTORY TO DATA RATIO", GroupPoolFigure::RatioTenths},
    GroupLabel{"ALLOCATED SIZE", GroupPoolFigure::StructureSize},
    GroupLabel{"ACTUAL SIZE", GroupPoolFigure::StructureSize},
    GroupLabel{"NUMBER OF DIRECTORY ENTRIES", GroupPoolFigure::DirectoryEntries},
    GroupLabel{"NUMBER OF DATA PAGES", GroupPoolFigure::DataEntries},
    GroupLabel{"READS DATA RETURNED", GroupPoolFigure::ReadsDataReturned},
    GroupLabel{"DATA NOT RETURNED", GroupPoolFigure::ReadsNotReturned},
    GroupLabel{"CHANGED PAGES WRITTEN", GroupPoolFigure::ChangedPagesWritten},
    GroupLabel{"CLEAN PAGES WRITTEN", GroupPoolFigure::CleanPagesWritten},
    GroupLabel{"FAILED DUE TO LACK OF STORAGE", GroupPoolFigure::WritesFailedNoStorage},
    GroupLabel{"PAGES CASTOUT", GroupPoolFigure::CastoutPages},
    GroupLabel{"DIRECTORY ENTRY RECLAIMS", GroupPoolFigure::DirectoryReclaims},
    GroupLabel{"CROSS INVALIDATIONS DUE TO DIRECTORY RECLAIMS", GroupPoolFigure::CrossInvalidationsByReclaim},
};

// The DSNB messages this reader knows, whether or not it takes figures from them.
using namespace std::string_view_literals;
constexpr std::array KnownPoolIds{
    "DSNB401I"sv, "DSNB402I"sv, "DSNB404I"sv, "DSNB406I"sv, "DSNB409I"sv, "DSNB410I"sv, "DSNB411I"sv, "DSNB412I"sv,
    "DSNB413I"sv, "DSNB414I"sv, "DSNB415I"sv, "DSNB420I"sv, "DSNB421I"sv, "DSNB431I"sv, "DSNB432I"sv, "DSNB440I"sv,
    "DSNB441I"sv, "DSNB453I"sv, "DSNB455I"sv, "DSNB456I"sv, "DSNB460I"sv, "DSNB464I"sv, "DSNB465I"sv, "DSNB466I"sv,
    "DSNB467I"sv, "DSNB546I"sv, "DSNB550I"sv, "DSNB818I"sv, "DSNB820I"sv,
};

bool IsGroupSection(std::string_view id) {
    // DSNB750I ... DSNB799I
    return id.size() == 8 && id.substr(0, 5) == "DSNB7" && id[5] >= '5' && id[5] <= '9' && id[7] == 'I';
}

bool IsKnown(std::string_view id) {
    return IsGroupSection(id) || std::find(KnownPoolIds.begin(), KnownPoolIds.end(), id) != KnownPoolIds.end();
}

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == '=' || c == ':';
}

// The words of a message's lines, commas, "=" and ":" taken as blanks.
void Words(const std::vector<MessageLine>& lines, std::vector<std::pair<std::string_view, std::int64_t>>& words) {
    words.clear();
    for (const MessageLine& line : lines) {
        std::size_t i = 0;
        const std::string_view t = line.text;
        while (i < t.size()) {
            while (i < t.size() && IsSeparator(t[i])) {
                ++i;
            }
            const std::size_t from = i;
            while (i < t.size() && !IsSeparator(t[i])) {
                ++i;
            }
            if (i > from) {
                words.emplace_back(t.substr(from, i - from), line.number);
            }
        }
    }
}

int TwoDigits(std::string_view s, std::size_t at) {
    return (s[at] - '0') * 10 + (s[at + 1] - '0');
}

bool Leap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Seconds since an arbitrary origin that only needs to grow with the time: yyddd and hh:mm:ss.th.
std::int64_t SyslogSeconds(std::string_view date, std::string_view time) {
    if (date.size() != 5 || time.size() < 8) {
        return 0;
    }
    constexpr std::int64_t DaysPerYear = 366;
    constexpr std::int64_t SecondsPerDay = 86400;
    const std::int64_t day = TwoDigits(date, 0) * DaysPerYear + (date[2] - '0') * 100 + TwoDigits(date, 3);
    return day * SecondsPerDay + TwoDigits(time, 0) * 3600 + TwoDigits(time, 3) * 60 + TwoDigits(time, 6);
}

// "yyyy-mm-dd hh:mm:ss" of the SYSLOG date yyddd and time hh:mm:ss.th; years 00..69 are 20xx.
std::string DisplayedAt(std::string_view date, std::string_view time) {
    if (date.size() != 5 || time.size() < 8) {
        return {};
    }
    constexpr int LastCenturyFrom = 70;
    const int yy = TwoDigits(date, 0);
    const int year = yy < LastCenturyFrom ? 2000 + yy : 1900 + yy;
    int dayOfYear = (date[2] - '0') * 100 + TwoDigits(date, 3);
    constexpr std::array<int, 12> MonthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (month < 11) {
        const int days = MonthDays[static_cast<std::size_t>(month)] + (month == 1 && Leap(year) ? 1 : 0);
        if (dayOfYear <= days) {
            break;
        }
        dayOfYear -= days;
        ++month;
    }
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%04d-%02d-%02d %.8s", year, month + 1, dayOfYear, time.data());
    return text.data();
}

class DisplayReader {
public:
    explicit DisplayReader(DisplayParse& result) : result_(result) {}

    void Message(const DisplayMessage& m);
    void Finish();
    [[nodiscard]] bool Stopped() const { return result_.fault.has_value(); }

private:
    // The state of one subsystem's display being read.
    struct Subsystem {
        std::string system;
        std::string name;
        std::optional<std::size_t> display; // into result_.displays
        bool ended = false;                 // DSN9022I came: the next pool starts another display
        std::int64_t lastSeconds = 0;
        std::optional<std::size_t> pool; // into the display's pools
        std::optional<std::size_t> groupPool;
        std::optional<std::size_t> dataSet; // into the pool's data sets
        bool dataSetHasPart = false;
        bool sawStatistics = false;               // DSNB409I / DSNB410I
        bool sawWrites = false;                   // DSNB421I, the last of the counters
        std::optional<std::int64_t> simulatedSeq; // SP SEQUENTIAL, kept for the simulated pool
    };

    Subsystem& SubsystemOf(const DisplayMessage& m);
    void StartDisplay(Subsystem& s, const DisplayMessage& m);
    void ClosePool(Subsystem& s, bool atEnd);
    [[nodiscard]] bool NeedsNewDisplay(const Subsystem& s, const DisplayMessage& m, std::string_view poolName,
                                       bool group) const;
    Db2Display& DisplayOf(const Subsystem& s) { return result_.displays[*s.display]; }
    DisplayPool* PoolOf(Subsystem& s) { return s.display && s.pool ? &DisplayOf(s).pools[*s.pool] : nullptr; }
    DisplayDataSet* DataSetOf(Subsystem& s) {
        DisplayPool* pool = PoolOf(s);
        return pool != nullptr && s.dataSet ? &pool->dataSets[*s.dataSet] : nullptr;
    }

    std::optional<std::int64_t> Number(std::string_view text, const DisplayMessage& m, std::int64_t line,
                                       std::string_view label);
    void Fault(const DisplayMessage& m, std::int64_t line, std::string_view label, std::string description);
    void CountUnknown(const DisplayMessage& m);

    void OpenPool(Subsystem& s, const DisplayMessage& m);
    void ReadPoolFigures(Subsystem& s, const DisplayMessage& m);
    void ReadAttributes(DisplayPool& pool, const DisplayMessage& m);
    void ReadSimulated(Subsystem& s, DisplayPool& pool, const DisplayMessage& m);
    void OpenDataSet(Subsystem& s, const DisplayMessage& m);
    void ReadDataSetFigures(DisplayDataSet& dataSet, const DisplayMessage& m);
    void OpenGroupPool(Subsystem& s, const DisplayMessage& m);
    void ReadGroupFigures(DisplayGroupPool& pool, const DisplayMessage& m);

    DisplayParse& result_;
    std::vector<Subsystem> subsystems_;
    std::vector<LabelValue> pairs_;
    std::vector<std::pair<std::string_view, std::int64_t>> words_;
};

std::string_view SubsystemName(const DisplayMessage& m) {
    return m.prefix.size() > 1 ? m.prefix.substr(1) : m.system;
}

DisplayReader::Subsystem& DisplayReader::SubsystemOf(const DisplayMessage& m) {
    const std::string_view name = SubsystemName(m);
    for (Subsystem& s : subsystems_) {
        if (s.name == name && s.system == m.system) {
            return s;
        }
    }
    Subsystem& s = subsystems_.emplace_back();
    s.system = m.system;
    s.name = name;
    return s;
}

std::optional<std::int64_t> DisplayReader::Number(std::string_view text, const DisplayMessage& m, std::int64_t line,
                                                  std::string_view label) {
    NumberRead read = ReadNumber(text);
    if (!read.value) {
        Fault(m, line, label, std::move(read.fault));
    }
    return read.value;
}

void DisplayReader::Fault(const DisplayMessage& m, std::int64_t line, std::string_view label, std::string description) {
    if (!result_.fault) {
        result_.fault = DisplayFault{line, std::string(m.id), NormalisedLabel(label), std::move(description)};
    }
}

void DisplayReader::CountUnknown(const DisplayMessage& m) {
    for (UnknownMessage& u : result_.unknown) {
        if (u.id == m.id) {
            ++u.count;
            return;
        }
    }
    result_.unknown.push_back({std::string(m.id), m.lines.front().number, 1});
}

bool DisplayReader::NeedsNewDisplay(const Subsystem& s, const DisplayMessage& m, std::string_view poolName,
                                    bool group) const {
    if (!s.display || s.ended) {
        return true;
    }
    if (!m.time.empty() && SyslogSeconds(m.date, m.time) - s.lastSeconds > NewDisplayAfterSeconds) {
        return true;
    }
    // A pool shown a second time belongs to the next display, even without DSN9022I between them.
    const Db2Display& d = result_.displays[*s.display];
    if (group) {
        return std::any_of(d.groupPools.begin(), d.groupPools.end(),
                           [&](const DisplayGroupPool& p) { return p.name == poolName; });
    }
    return std::any_of(d.pools.begin(), d.pools.end(), [&](const DisplayPool& p) { return p.name == poolName; });
}

void DisplayReader::StartDisplay(Subsystem& s, const DisplayMessage& m) {
    ClosePool(s, false);
    Db2Display& d = result_.displays.emplace_back();
    d.line = m.lines.front().number;
    d.system = m.system;
    d.subsystem = s.name;
    d.displayedAt = DisplayedAt(m.date, m.time);
    s.display = result_.displays.size() - 1;
    s.ended = false;
    s.groupPool.reset();
}

// A pool is complete when its section ran to the next pool or to DSN9022I and, when it showed
// counters (DSNB409I / DSNB410I), reached the write thresholds (DSNB421I), the last of them. One the
// file ends inside, before DSN9022I, keeps what was read and is not complete.
void DisplayReader::ClosePool(Subsystem& s, bool atEnd) {
    DisplayPool* pool = PoolOf(s);
    if (pool != nullptr) {
        pool->complete = !atEnd && (!s.sawStatistics || s.sawWrites);
        if (!pool->complete) {
            const std::string text =
                atEnd ? "the display ends inside pool " + pool->name + ": its figures are those read up to here"
                      : "pool " + pool->name +
                            " ends before its write statistics (DSNB421I): its figures are "
                            "those read up to here";
            result_.notes.push_back({pool->line, "DSNB401I", text});
        }
    }
    s.pool.reset();
    s.dataSet.reset();
    s.dataSetHasPart = false;
    s.sawStatistics = false;
    s.sawWrites = false;
    s.simulatedSeq.reset();
}

void DisplayReader::OpenPool(Subsystem& s, const DisplayMessage& m) {
    Words(m.lines, words_);
    std::string_view name;
    for (std::size_t i = 0; i + 1 < words_.size(); ++i) {
        if (words_[i].first == "NAME") {
            name = words_[i + 1].first;
            break;
        }
    }
    if (NeedsNewDisplay(s, m, name, false)) {
        StartDisplay(s, m);
    } else {
        ClosePool(s, false);
    }
    Db2Display& d = DisplayOf(s);
    DisplayPool& pool = d.pools.emplace_back();
    pool.line = m.lines.front().number;
    pool.name = name;
    s.pool = d.pools.size() - 1;
    for (std::size_t i = 0; i + 1 < words_.size(); ++i) {
        const auto& [word, line] = words_[i];
        if (word == "ID" && !pool.id) {
            if (const auto v = Number(words_[i + 1].first, m, line, "BUFFERPOOL ID")) {
                pool.id = static_cast<int>(*v);
            }
        } else if (word == "COUNT" && !pool.Get(PoolFigure::UseCount)) {
            if (const auto v = Number(words_[i + 1].first, m, line, "USE COUNT")) {
                pool.Set(PoolFigure::UseCount, *v);
            }
        }
    }
}

void DisplayReader::ReadPoolFigures(Subsystem& s, const DisplayMessage& m) {
    DisplayPool& pool = *PoolOf(s);
    ReadLabelValues(m.lines, pairs_);
    for (const LabelValue& pair : pairs_) {
        if (m.id == "DSNB404I" && LabelEndsWith(pair, "SP SEQUENTIAL")) {
            s.simulatedSeq = Number(pair.value, m, pair.line, pair.label);
            continue;
        }
        for (const PoolLabel& l : PoolLabels) {
            if (l.id != m.id || !LabelEndsWith(pair, l.label)) {
                continue;
            }
            if (l.second != PoolFigure::Count && !pair.second.empty()) {
                if (const auto v = Number(pair.value, m, pair.line, l.label)) {
                    pool.Set(l.figure, *v);
                }
                if (const auto v = Number(pair.second, m, pair.line, l.label)) {
                    pool.Set(l.second, *v);
                }
            } else if (!pair.second.empty()) {
                const auto length =
                    static_cast<std::size_t>(pair.second.data() + pair.second.size() - pair.value.data());
                Fault(m, pair.line, l.label, "not a number: " + std::string(pair.value.data(), length));
            } else if (const auto v = Number(pair.value, m, pair.line, l.label)) {
                pool.Set(l.figure, *v);
            }
            break;
        }
    }
}

void DisplayReader::ReadAttributes(DisplayPool& pool, const DisplayMessage& m) {
    ReadLabelValues(m.lines, pairs_);
    bool stealing = false;
    for (const LabelValue& pair : pairs_) {
        if (m.id == "DSNB402I" && LabelEndsWith(pair, "AUTOSIZE")) {
            pool.autosize = pair.value;
        } else if (m.id == "DSNB406I") {
            stealing = stealing || LabelMentions(pair, "STEALING");
            if (LabelEndsWith(pair, "CURRENT")) {
                (stealing ? pool.pgsteal : pool.pgfix) = pair.value;
            }
        }
    }
}

void DisplayReader::ReadSimulated(Subsystem& s, DisplayPool& pool, const DisplayMessage& m) {
    if (!pool.simulated) {
        pool.simulated.emplace();
        pool.simulated->seqThreshold = s.simulatedSeq;
    }
    ReadLabelValues(m.lines, pairs_);
    for (const LabelValue& pair : pairs_) {
        for (const SimulatedLabel& l : SimulatedLabels) {
            if (l.id == m.id && LabelEndsWith(pair, l.label)) {
                if (const auto v = Number(pair.value, m, pair.line, l.label)) {
                    (*pool.simulated).*(l.field) = *v;
                }
                break;
            }
        }
    }
}

// DSNB464I / DSNB465I name a table or index space, DSNB466I the data set of it; DSNB467I (Db2 13)
// names both. A second DSNB466I under one space is its next data set.
void DisplayReader::OpenDataSet(Subsystem& s, const DisplayMessage& m) {
    DisplayPool& pool = *PoolOf(s);
    Words(m.lines, words_);
    const bool names = m.id != "DSNB466I";
    if (!names && s.dataSet && s.dataSetHasPart) {
        const DisplayDataSet& previous = pool.dataSets[*s.dataSet];
        DisplayDataSet next;
        next.line = m.lines.front().number;
        next.indexSpace = previous.indexSpace;
        next.database = previous.database;
        next.space = previous.space;
        pool.dataSets.push_back(std::move(next));
        s.dataSet = pool.dataSets.size() - 1;
        s.dataSetHasPart = false;
    }
    if (names) {
        DisplayDataSet& ds = pool.dataSets.emplace_back();
        ds.line = m.lines.front().number;
        ds.indexSpace = m.id == "DSNB465I";
        s.dataSet = pool.dataSets.size() - 1;
        s.dataSetHasPart = false;
    }
    if (!s.dataSet) {
        return;
    }
    DisplayDataSet& ds = pool.dataSets[*s.dataSet];
    for (std::size_t i = 0; i < words_.size(); ++i) {
        const auto& [word, line] = words_[i];
        const bool last = i + 1 == words_.size();
        if (names && word == "INDEX") {
            ds.indexSpace = true;
        } else if (names && ds.space.empty() && word.find('.') != std::string_view::npos && word.back() != '.') {
            const std::size_t dot = word.find('.');
            ds.database = word.substr(0, dot);
            ds.space = word.substr(dot + 1);
        } else if (word == "INSTANCE" && !last) {
            ++i; // the clone instance: not a figure of the data set
        } else if ((word == "#" || word == "PARTITION") && !last && !s.dataSetHasPart) {
            if (const auto v = Number(words_[i + 1].first, m, line, "DATA SET #")) {
                ds.part = *v;
                s.dataSetHasPart = true;
            }
            ++i;
        } else if (m.id == "DSNB466I" && !s.dataSetHasPart && word[0] >= '0' && word[0] <= '9') {
            if (const auto v = Number(word, m, line, "DATA SET #")) {
                ds.part = *v;
                s.dataSetHasPart = true;
            }
        } else if (word == "COUNT" && !last) {
            if (const auto v = Number(words_[i + 1].first, m, line, "USE COUNT")) {
                ds.Set(DataSetFigure::UseCount, *v);
            }
            ++i;
        }
    }
}

void DisplayReader::ReadDataSetFigures(DisplayDataSet& dataSet, const DisplayMessage& m) {
    ReadLabelValues(m.lines, pairs_);
    bool changedSeen = false;
    for (const LabelValue& pair : pairs_) {
        if (m.id == "DSNB455I" && LabelMentions(pair, "ZHYPERLINK")) {
            break; // the zHyperLink part repeats the labels for a subset of the I/Os
        }
        std::optional<DataSetFigure> figure;
        if (m.id == "DSNB453I" && LabelEndsWith(pair, "MAX")) {
            figure = changedSeen ? DataSetFigure::ChangedPagesMax : DataSetFigure::CachedPagesMax;
        }
        for (const DataSetLabel& l : DataSetLabels) {
            if (!figure && l.id == m.id && LabelEndsWith(pair, l.label)) {
                figure = l.figure;
            }
        }
        if (figure) {
            changedSeen = changedSeen || *figure == DataSetFigure::ChangedPages;
            const std::string_view label = LabelEndsWith(pair, "MAX") ? std::string_view{"MAX"} : pair.label;
            if (const auto v = Number(pair.value, m, pair.line, label)) {
                dataSet.Set(*figure, *v);
            }
        }
    }
}

void DisplayReader::OpenGroupPool(Subsystem& s, const DisplayMessage& m) {
    Words(m.lines, words_);
    std::string_view name;
    for (std::size_t i = 0; i + 1 < words_.size(); ++i) {
        if (words_[i].first == "POOL") {
            name = words_[i + 1].first;
            break;
        }
    }
    if (NeedsNewDisplay(s, m, name, true)) {
        StartDisplay(s, m);
    }
    Db2Display& d = DisplayOf(s);
    DisplayGroupPool& pool = d.groupPools.emplace_back();
    pool.line = m.lines.front().number;
    pool.name = name;
    s.groupPool = d.groupPools.size() - 1;
}

void DisplayReader::ReadGroupFigures(DisplayGroupPool& pool, const DisplayMessage& m) {
    ReadLabelValues(m.lines, pairs_);
    for (const LabelValue& pair : pairs_) {
        for (const GroupLabel& l : GroupLabels) {
            if (!LabelEndsWith(pair, l.label)) {
                continue;
            }
            if (l.figure == GroupPoolFigure::RatioTenths) {
                // A ratio with at most one decimal: "5", "5.5".
                const std::size_t dot = pair.value.find('.');
                const std::string_view whole = pair.value.substr(0, dot);
                const std::string_view tenth = dot == std::string_view::npos ? "0" : pair.value.substr(dot + 1);
                if (tenth.size() != 1) {
                    Fault(m, pair.line, l.label, "not a number: " + std::string(pair.value));
                    break;
                }
                const auto w = Number(whole, m, pair.line, l.label);
                const auto t = Number(tenth, m, pair.line, l.label);
                if (w && t) {
                    constexpr std::int64_t Ten = 10;
                    pool.Set(l.figure, *w * Ten + *t);
                }
            } else if (const auto v = Number(pair.value, m, pair.line, l.label)) {
                pool.Set(l.figure, *v);
            }
            break;
        }
    }
}

void DisplayReader::Message(const DisplayMessage& m) {
    if (Stopped()) {
        return;
    }
    const std::string_view id = m.id;
    const bool ends = id == "DSN9022I" || id == "DSN9023I";
    if (id.substr(0, 4) != "DSNB" && !ends) {
        return;
    }
    if (!IsKnown(id) && !ends) {
        CountUnknown(m);
        return;
    }
    Subsystem& s = SubsystemOf(m);
    const std::int64_t seconds = m.time.empty() ? 0 : SyslogSeconds(m.date, m.time);
    if (ends) {
        if (s.display && !s.ended) {
            ClosePool(s, false);
            s.ended = true;
            s.groupPool.reset();
        }
        return;
    }
    if (id == "DSNB401I") {
        OpenPool(s, m);
    } else if (id == "DSNB750I" || id == "DSNB751I") {
        OpenGroupPool(s, m);
    } else if (IsGroupSection(id)) {
        if (s.display && !s.ended && s.groupPool) {
            ReadGroupFigures(DisplayOf(s).groupPools[*s.groupPool], m);
        }
    } else if (DisplayPool* pool = s.ended ? nullptr : PoolOf(s); pool != nullptr) {
        if (id == "DSNB409I" || id == "DSNB410I") {
            s.sawStatistics = true;
            std::string since;
            for (const MessageLine& line : m.lines) {
                since += since.empty() ? "" : " ";
                since += line.text;
            }
            const std::size_t at = since.find("SINCE");
            since = at == std::string::npos ? std::string() : since.substr(at + 5);
            since.erase(0, since.find_first_not_of(' '));
            (id == "DSNB409I" ? pool->incrementalSince : pool->cumulativeSince) = since;
        } else if (id == "DSNB402I" || id == "DSNB406I") {
            ReadPoolFigures(s, m);
            ReadAttributes(*pool, m);
        } else if (id == "DSNB431I" || id == "DSNB432I") {
            ReadSimulated(s, *pool, m);
        } else if (id == "DSNB464I" || id == "DSNB465I" || id == "DSNB466I" || id == "DSNB467I") {
            OpenDataSet(s, m);
        } else if (id == "DSNB453I" || id == "DSNB455I" || id == "DSNB456I") {
            if (DisplayDataSet* ds = DataSetOf(s)) {
                ReadDataSetFigures(*ds, m);
            }
        } else if (id == "DSNB546I") {
            Words(m.lines, words_);
            for (std::size_t i = 0; i + 1 < words_.size() && pool->frameSize.empty(); ++i) {
                if (words_[i].first == "SIZE") {
                    pool->frameSize = words_[i + 1].first;
                }
            }
        } else {
            s.sawWrites = s.sawWrites || id == "DSNB421I";
            ReadPoolFigures(s, m);
        }
    }
    s.lastSeconds = seconds;
}

void DisplayReader::Finish() {
    for (Subsystem& s : subsystems_) {
        if (s.display && !s.ended) {
            ClosePool(s, true);
        }
    }
}

// Hands out the lines of `text` with their numbers: LF, CRLF or CR alone end a line.
template <class OnLine> void ForEachLine(std::string_view text, const ProgressFn& progress, OnLine onLine) {
    std::int64_t number = 0;
    std::size_t pos = 0;
    int lastPercent = -1;
    constexpr std::size_t ProgressStep = std::size_t{1} << 16;
    std::size_t nextProgress = 0;
    while (pos < text.size()) {
        const char* start = text.data() + pos;
        const std::size_t left = text.size() - pos;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', left));
        std::size_t length = lf == nullptr ? left : static_cast<std::size_t>(lf - start);
        std::size_t next = pos + length + (lf == nullptr ? 0 : 1);
        // A CR alone ends a line too.
        if (const auto* cr = static_cast<const char*>(std::memchr(start, '\r', length));
            cr != nullptr && cr + 1 != start + length) {
            length = static_cast<std::size_t>(cr - start);
            next = pos + length + 1;
        } else if (length > 0 && start[length - 1] == '\r') {
            --length;
        }
        ++number;
        if (!onLine(number, std::string_view(start, length))) {
            break;
        }
        pos = next;
        if (progress && pos >= nextProgress) {
            nextProgress = pos + ProgressStep;
            const int percent = static_cast<int>(pos * 100 / text.size());
            if (percent != lastPercent) {
                lastPercent = percent;
                progress(percent);
            }
        }
    }
}

} // namespace

DisplayParse ParseDisplays(std::string_view bytes, const ProgressFn& progress) {
    DisplayParse result;
    result.encoding = DetectDisplayEncoding(bytes);
    std::optional<std::string> converted;
    if (result.encoding != DisplayEncoding::Ascii) {
        converted = ConvertEbcdic(bytes, result.encoding);
        if (!converted) {
            result.fault = DisplayFault{0,
                                        {},
                                        {},
                                        "the bytes cannot be converted from the code page " +
                                            std::string(CodePageName(result.encoding))};
            return result;
        }
    }
    const std::string_view text = converted ? std::string_view(*converted) : bytes;
    DisplayReader reader(result);
    MessageSplitter splitter([&reader](const DisplayMessage& m) { reader.Message(m); });
    ForEachLine(text, progress, [&](std::int64_t number, std::string_view line) {
        result.lines = number;
        splitter.Line(number, line);
        return !reader.Stopped();
    });
    splitter.Finish();
    if (!reader.Stopped()) {
        reader.Finish();
    }
    if (progress) {
        progress(100);
    }
    return result;
}

} // namespace ornexa
