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
constexpr std::int64_t NewDisplayAfterSeconds = std::int64_t{5} * 60;

struct PoolLabel {
    int code;               // DSNBnnnI
    std::string_view label; // the end of the label, upper case, single blanks
    PoolFigure figure;
    PoolFigure second = PoolFigure::Count; // the figure of a second number ("80,  0"), if any
};

// Where a label may end another one ("VERTICAL DWT HIT", "DWT HIT"), the longer comes first.
constexpr std::array PoolLabels{
    PoolLabel{402, "BUFFER POOL SIZE", PoolFigure::VpSize},
    PoolLabel{402, "VPSIZE MINIMUM", PoolFigure::VpSizeMin},
    PoolLabel{402, "VPSIZE MAXIMUM", PoolFigure::VpSizeMax},
    PoolLabel{402, "ALLOCATED", PoolFigure::Allocated},
    PoolLabel{402, "TO BE DELETED", PoolFigure::ToBeDeleted},
    PoolLabel{402, "IN-USE/UPDATED", PoolFigure::InUseUpdated},
    PoolLabel{402, "OVERFLOW ALLOC", PoolFigure::OverflowAlloc},
    PoolLabel{404, "VP SEQUENTIAL", PoolFigure::VpSeqt},
    PoolLabel{404, "VERTICAL DEFERRED WRT", PoolFigure::VdwqtPercent, PoolFigure::VdwqtBuffers},
    PoolLabel{404, "DEFERRED WRITE", PoolFigure::Dwqt},
    PoolLabel{404, "ASSISTING PARALLEL SEQT", PoolFigure::VpXpseqt},
    PoolLabel{404, "ASSISTING PARALLEL SEQ", PoolFigure::VpXpseqt},
    PoolLabel{404, "PARALLEL SEQUENTIAL", PoolFigure::VpPseqt},
    PoolLabel{404, "VP PCLOSET", PoolFigure::VpCloset},
    PoolLabel{411, "RANDOM GETPAGE", PoolFigure::RandomGetpages},
    PoolLabel{411, "SYNC READ I/O (R)", PoolFigure::SyncReadIosRandom},
    PoolLabel{411, "SEQ. GETPAGE", PoolFigure::SeqGetpages},
    PoolLabel{411, "SYNC READ I/O (S)", PoolFigure::SyncReadIosSeq},
    PoolLabel{411, "DMTH HIT", PoolFigure::DmthHits},
    PoolLabel{411, "PAGE-INS REQUIRED", PoolFigure::PageInsRequired},
    PoolLabel{411, "SEQUENTIAL", PoolFigure::SeqChain},
    PoolLabel{411, "VPSEQT HIT", PoolFigure::VpseqtHits},
    PoolLabel{411, "RECLASSIFY", PoolFigure::Reclassify},
    PoolLabel{412, "REQUESTS", PoolFigure::SeqPrefetchRequests},
    PoolLabel{412, "PREFETCH I/O", PoolFigure::SeqPrefetchIos},
    PoolLabel{412, "PAGES READ", PoolFigure::SeqPrefetchPages},
    PoolLabel{413, "REQUESTS", PoolFigure::ListPrefetchRequests},
    PoolLabel{413, "PREFETCH I/O", PoolFigure::ListPrefetchIos},
    PoolLabel{413, "PAGES READ", PoolFigure::ListPrefetchPages},
    PoolLabel{414, "REQUESTS", PoolFigure::DynPrefetchRequests},
    PoolLabel{414, "PREFETCH I/O", PoolFigure::DynPrefetchIos},
    PoolLabel{414, "PAGES READ", PoolFigure::DynPrefetchPages},
    PoolLabel{415, "NO BUFFER", PoolFigure::PrefetchNoBuffer},
    PoolLabel{415, "NO READ ENGINE", PoolFigure::PrefetchNoEngine},
    PoolLabel{420, "SYS PAGE UPDATES", PoolFigure::PageUpdates},
    PoolLabel{420, "SYS PAGES WRITTEN", PoolFigure::PagesWritten},
    PoolLabel{420, "ASYNC WRITE I/O", PoolFigure::AsyncWriteIos},
    PoolLabel{420, "SYNC WRITE I/O", PoolFigure::SyncWriteIos},
    PoolLabel{420, "PAGE-INS REQUIRED", PoolFigure::WritePageInsRequired},
    PoolLabel{421, "VERTICAL DWT HIT", PoolFigure::VdwtHits},
    PoolLabel{421, "DWT HIT", PoolFigure::DwtHits},
    PoolLabel{421, "NO WRITE ENGINE", PoolFigure::NoWriteEngine},
    PoolLabel{440, "PARALLEL REQUEST", PoolFigure::ParallelRequests},
    PoolLabel{440, "DEGRADED PARALLEL", PoolFigure::DegradedParallel},
    PoolLabel{441, "PAGES ADDED", PoolFigure::LplPagesAdded},
};

struct SimulatedLabel {
    int code;
    std::string_view label;
    std::optional<std::int64_t> SimulatedPoolFigures::*field;
};

constexpr std::array SimulatedLabels{
    SimulatedLabel{431, "SPSEQT", &SimulatedPoolFigures::seqThreshold},
    SimulatedLabel{431, "SEQUENTIAL", &SimulatedPoolFigures::seqThreshold},
    SimulatedLabel{431, "SPSIZE", &SimulatedPoolFigures::size},
    SimulatedLabel{431, "SIZE", &SimulatedPoolFigures::size},
    SimulatedLabel{432, "ASYNC READ I/O", &SimulatedPoolFigures::avoidableAsync},
    SimulatedLabel{432, "SYNC READ I/O (R)", &SimulatedPoolFigures::avoidableSyncRandom},
    SimulatedLabel{432, "SYNC READ I/O (S)", &SimulatedPoolFigures::avoidableSyncSeq},
    SimulatedLabel{432, "DELAY", &SimulatedPoolFigures::avoidableSyncDelayMs},
    SimulatedLabel{432, "PAGES MOVED", &SimulatedPoolFigures::pagesMovedIn},
    SimulatedLabel{432, "MOVED INTO SIMULATED POOL", &SimulatedPoolFigures::pagesMovedIn},
    SimulatedLabel{432, "MOVED INTO SIMULATED BUFFER POOL", &SimulatedPoolFigures::pagesMovedIn},
};

struct DataSetLabel {
    int code;
    std::string_view label;
    DataSetFigure figure;
};

// DSNB453I shows MAX twice: after CURRENT and after CHANGED, told apart by what came before.
constexpr std::array DataSetLabels{
    DataSetLabel{453, "CURRENT", DataSetFigure::CachedPages},
    DataSetLabel{453, "CHANGED", DataSetFigure::ChangedPages},
    DataSetLabel{455, "AVERAGE DELAY", DataSetFigure::SyncAvgDelay},
    DataSetLabel{455, "MAXIMUM DELAY", DataSetFigure::SyncMaxDelay},
    DataSetLabel{455, "TOTAL PAGES", DataSetFigure::SyncPages},
    DataSetLabel{456, "AVERAGE DELAY", DataSetFigure::AsyncAvgDelay},
    DataSetLabel{456, "MAXIMUM DELAY", DataSetFigure::AsyncMaxDelay},
    DataSetLabel{456, "TOTAL PAGES", DataSetFigure::AsyncPages},
    DataSetLabel{456, "TOTAL I/O COUNT", DataSetFigure::AsyncIos},
    DataSetLabel{456, "TOTAL I/O", DataSetFigure::AsyncIos},
};

struct GroupLabel {
    std::string_view label;
    GroupPoolFigure figure;
    bool adds = false; // one of the parts the figure sums
};

// The group buffer pool sections (DSNB755I ... DSNB799I) by label, whichever message shows them.
constexpr std::array GroupLabels{
    GroupLabel{"CURRENT DIRECTORY TO DATA RATIO", GroupPoolFigure::RatioTenths},
    GroupLabel{"ALLOCATED SIZE", GroupPoolFigure::StructureSize},
    GroupLabel{"ACTUAL SIZE", GroupPoolFigure::StructureSize},
    GroupLabel{"NUMBER OF DIRECTORY ENTRIES", GroupPoolFigure::DirectoryEntries},
    GroupLabel{"NUMBER OF DATA PAGES", GroupPoolFigure::DataEntries},
    GroupLabel{"READS DATA RETURNED", GroupPoolFigure::ReadsDataReturned},
    // DSNB785I: the reads that returned no data, by what became of their directory entry.
    GroupLabel{"DIRECTORY ENTRY EXISTED", GroupPoolFigure::ReadsNotReturned, true},
    GroupLabel{"DIRECTORY ENTRY CREATED", GroupPoolFigure::ReadsNotReturned, true},
    GroupLabel{"DIRECTORY ENTRY NOT CREATED", GroupPoolFigure::ReadsNotReturned, true},
    GroupLabel{"DATA NOT RETURNED", GroupPoolFigure::ReadsNotReturned},
    // DSNB786I WRITES, DSNB787I RECLAIMS
    GroupLabel{"WRITES CHANGED PAGES", GroupPoolFigure::ChangedPagesWritten},
    GroupLabel{"CHANGED PAGES WRITTEN", GroupPoolFigure::ChangedPagesWritten},
    GroupLabel{"CLEAN PAGES", GroupPoolFigure::CleanPagesWritten},
    GroupLabel{"CLEAN PAGES WRITTEN", GroupPoolFigure::CleanPagesWritten},
    GroupLabel{"FAILED DUE TO LACK OF STORAGE", GroupPoolFigure::WritesFailedNoStorage},
    GroupLabel{"CASTOUTS", GroupPoolFigure::CastoutPages},
    GroupLabel{"PAGES CASTOUT", GroupPoolFigure::CastoutPages},
    GroupLabel{"FOR DIRECTORY ENTRIES", GroupPoolFigure::DirectoryReclaims},
    GroupLabel{"DIRECTORY ENTRY RECLAIMS", GroupPoolFigure::DirectoryReclaims},
    GroupLabel{"CROSS INVALIDATIONS DUE TO DIRECTORY RECLAIMS", GroupPoolFigure::CrossInvalidationsByReclaim},
};

// The DSNB messages this reader knows, whether or not it takes figures from them.
constexpr std::array KnownPoolCodes{401, 402, 404, 406, 409, 410, 411, 412, 413, 414, 415, 420, 421, 431, 432,
                                    440, 441, 453, 455, 456, 460, 464, 465, 466, 467, 546, 550, 818, 820};

// The number of a DSNBnnnI message id; -1 for other ids.
int DsnbCode(std::string_view id) {
    if (id.size() != 8 || id[7] != 'I' || id.substr(0, 4) != "DSNB") {
        return -1;
    }
    int code = 0;
    for (std::size_t i = 4; i < 7; ++i) {
        if (id[i] < '0' || id[i] > '9') {
            return -1;
        }
        code = code * 10 + (id[i] - '0');
    }
    return code;
}

// DSNB750I ... DSNB799I
bool IsGroupSection(int code) {
    return code >= 750 && code <= 799;
}

constexpr int CodeCount = 1000;
constexpr std::array<bool, CodeCount> KnownCodes = [] {
    std::array<bool, CodeCount> known{};
    for (const int code : KnownPoolCodes) {
        known[static_cast<std::size_t>(code)] = true;
    }
    for (int code = 750; code <= 799; ++code) {
        known[static_cast<std::size_t>(code)] = true;
    }
    return known;
}();

bool IsKnown(int code) {
    return code >= 0 && code < CodeCount && KnownCodes[static_cast<std::size_t>(code)];
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

// The word after the first `key`; empty when there is none.
std::string_view WordAfter(const std::vector<std::pair<std::string_view, std::int64_t>>& words, std::string_view key) {
    for (std::size_t i = 0; i + 1 < words.size(); ++i) {
        if (words[i].first == key) {
            return words[i + 1].first;
        }
    }
    return {};
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
    constexpr std::int64_t daysPerYear = 366;
    constexpr std::int64_t secondsPerDay = 86400;
    const std::int64_t day =
        std::int64_t{TwoDigits(date, 0)} * daysPerYear + std::int64_t{date[2] - '0'} * 100 + TwoDigits(date, 3);
    return day * secondsPerDay + std::int64_t{TwoDigits(time, 0)} * 3600 + std::int64_t{TwoDigits(time, 3)} * 60 +
           TwoDigits(time, 6);
}

// "yyyy-mm-dd hh:mm:ss" of the SYSLOG date yyddd and time hh:mm:ss.th; years 00..69 are 20xx.
std::string DisplayedAt(std::string_view date, std::string_view time) {
    if (date.size() != 5 || time.size() < 8) {
        return {};
    }
    constexpr int lastCenturyFrom = 70;
    const int yy = TwoDigits(date, 0);
    const int year = yy < lastCenturyFrom ? 2000 + yy : 1900 + yy;
    int dayOfYear = (date[2] - '0') * 100 + TwoDigits(date, 3);
    constexpr std::array<int, 12> monthDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int month = 0;
    while (month < 11) {
        const int days = monthDays[static_cast<std::size_t>(month)] + (month == 1 && Leap(year) ? 1 : 0);
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
    std::size_t last_ = 0; // the subsystem of the last message
    int code_ = -1;        // of the message being read: DSNBnnnI
    std::vector<LabelValue> pairs_;
    std::vector<std::pair<std::string_view, std::int64_t>> words_;
};

std::string_view SubsystemName(const DisplayMessage& m) {
    return m.prefix.size() > 1 ? m.prefix.substr(1) : m.system;
}

DisplayReader::Subsystem& DisplayReader::SubsystemOf(const DisplayMessage& m) {
    const std::string_view name = SubsystemName(m);
    if (last_ < subsystems_.size() && subsystems_[last_].name == name && subsystems_[last_].system == m.system) {
        return subsystems_[last_];
    }
    for (std::size_t i = 0; i < subsystems_.size(); ++i) {
        if (subsystems_[i].name == name && subsystems_[i].system == m.system) {
            last_ = i;
            return subsystems_[i];
        }
    }
    last_ = subsystems_.size();
    Subsystem& s = subsystems_.emplace_back();
    s.system = m.system;
    s.name = name;
    return s;
}

std::optional<std::int64_t> DisplayReader::Number(std::string_view text, const DisplayMessage& m, std::int64_t line,
                                                  std::string_view label) {
    // Most values are a few digits: read them here, leave the rest and the faults to ReadNumber.
    constexpr std::size_t quickDigits = 18;
    if (!text.empty() && text.size() <= quickDigits) {
        std::int64_t value = 0;
        std::size_t k = 0;
        while (k < text.size() && text[k] >= '0' && text[k] <= '9') {
            value = value * 10 + (text[k] - '0');
            ++k;
        }
        if (k == text.size()) {
            return value;
        }
    }
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
    const std::string_view name = WordAfter(words_, "NAME");
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
        if (code_ == 404 && LabelEndsWith(pair, "SP SEQUENTIAL")) {
            s.simulatedSeq = Number(pair.value, m, pair.line, pair.label);
            continue;
        }
        for (const PoolLabel& l : PoolLabels) {
            if (l.code != code_ || !LabelEndsWith(pair, l.label)) {
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
        if (code_ == 402 && LabelEndsWith(pair, "AUTOSIZE")) {
            pool.autosize = pair.value;
        } else if (code_ == 406) {
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
            if (l.code == code_ && LabelEndsWith(pair, l.label)) {
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
    const bool names = code_ != 466;
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
        ds.indexSpace = code_ == 465;
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
        } else if (code_ == 466 && !s.dataSetHasPart && word[0] >= '0' && word[0] <= '9') {
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
        if (code_ == 455 && !pair.heading.empty() && LabelMentions(pair, "ZHYPERLINK")) {
            break; // the zHyperLink part repeats the labels for a subset of the I/Os
        }
        std::optional<DataSetFigure> figure;
        if (code_ == 453 && LabelEndsWith(pair, "MAX")) {
            figure = changedSeen ? DataSetFigure::ChangedPagesMax : DataSetFigure::CachedPagesMax;
        }
        for (const DataSetLabel& l : DataSetLabels) {
            if (figure) {
                break; // the first label that fits tells
            }
            if (l.code == code_ && LabelEndsWith(pair, l.label)) {
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
    const std::string_view name = WordAfter(words_, "POOL");
    // -DISPLAY GROUPBUFFERPOOL right after -DISPLAY BUFFERPOOL: its group pools join that display.
    const bool joins = s.display && s.ended && DisplayOf(s).groupPools.empty() &&
                       (m.time.empty() || SyslogSeconds(m.date, m.time) - s.lastSeconds <= NewDisplayAfterSeconds);
    if (joins) {
        s.ended = false;
    } else if (NeedsNewDisplay(s, m, name, true)) {
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
                    constexpr std::int64_t ten = 10;
                    pool.Set(l.figure, *w * ten + *t);
                }
            } else if (const auto v = Number(pair.value, m, pair.line, l.label)) {
                pool.Set(l.figure, l.adds ? pool.Get(l.figure).value_or(0) + *v : *v);
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
    const int code = DsnbCode(id);
    code_ = code;
    if (code < 0 && !ends) {
        return;
    }
    if (!ends && !IsKnown(code)) {
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
    if (code == 401) {
        OpenPool(s, m);
    } else if (code == 750 || code == 751) {
        OpenGroupPool(s, m);
    } else if (IsGroupSection(code)) {
        if (s.display && !s.ended && s.groupPool) {
            ReadGroupFigures(DisplayOf(s).groupPools[*s.groupPool], m);
        }
    } else if (DisplayPool* pool = s.ended ? nullptr : PoolOf(s); pool != nullptr) {
        if (code == 409 || code == 410) {
            s.sawStatistics = true;
            std::string since;
            for (const MessageLine& line : m.lines) {
                since += since.empty() ? "" : " ";
                since += line.text;
            }
            const std::size_t at = since.find("SINCE");
            since = at == std::string::npos ? std::string() : since.substr(at + 5);
            since.erase(0, since.find_first_not_of(' '));
            (code == 409 ? pool->incrementalSince : pool->cumulativeSince) = since;
        } else if (code == 402 || code == 406) {
            ReadPoolFigures(s, m);
            ReadAttributes(*pool, m);
        } else if (code == 431 || code == 432) {
            ReadSimulated(s, *pool, m);
        } else if (code == 464 || code == 465 || code == 466 || code == 467) {
            OpenDataSet(s, m);
        } else if (code == 453 || code == 455 || code == 456) {
            if (DisplayDataSet* ds = DataSetOf(s)) {
                ReadDataSetFigures(*ds, m);
            }
        } else if (code == 546) {
            Words(m.lines, words_);
            if (pool->frameSize.empty()) {
                pool->frameSize = WordAfter(words_, "SIZE"); // the preferred size, the first of them
            }
        } else {
            s.sawWrites = s.sawWrites || code == 421;
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
    constexpr std::size_t progressStep = std::size_t{1} << 16;
    std::size_t nextProgress = 0;
    const char* nextCr = nullptr; // the next CR at or after pos, or null: searched again once passed
    bool crSearched = false;
    while (pos < text.size()) {
        const char* start = text.data() + pos;
        const std::size_t left = text.size() - pos;
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', left));
        std::size_t length = lf == nullptr ? left : static_cast<std::size_t>(lf - start);
        std::size_t next = pos + length + (lf == nullptr ? 0 : 1);
        if (!crSearched || (nextCr != nullptr && nextCr < start)) {
            nextCr = static_cast<const char*>(std::memchr(start, '\r', left));
            crSearched = true;
        }
        if (nextCr != nullptr && nextCr < start + length) {
            if (nextCr + 1 == start + length) {
                --length; // CRLF
            } else {
                length = static_cast<std::size_t>(nextCr - start); // a CR alone ends a line too
                next = pos + length + 1;
            }
        }
        ++number;
        if (!onLine(number, std::string_view(start, length))) {
            break;
        }
        pos = next;
        if (progress && pos >= nextProgress) {
            nextProgress = pos + progressStep;
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
