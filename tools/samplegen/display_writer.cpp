#include "display_writer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <iconv.h>
#include <span>
#include <stdexcept>

#include "sample_report.h"

namespace ornexa::samplegen {

namespace {

using Figures = std::array<std::int64_t, PoolFigureCount>;

constexpr std::array<const char*, 12> MonthNames = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                                    "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr std::size_t FlushAt = 1U << 20U;
constexpr std::size_t MostWtoLines = 255; // a multi-line message holds at most this many lines
constexpr int GroupPoolsShown = 4;

// Seconds since 1970 of "yyyy-mm-dd hh:mm:ss", read as UTC.
std::int64_t ParseStart(const std::string& text) {
    std::tm tm{};
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec) != 6) {
        throw std::invalid_argument("the start is not \"yyyy-mm-dd hh:mm:ss\": " + text);
    }
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return static_cast<std::int64_t>(timegm(&tm));
}

std::tm Utc(std::int64_t seconds) {
    const auto t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    return tm;
}

std::string Format(const char* format, const std::tm& tm) {
    std::array<char, 40> text{};
    const std::size_t n = std::strftime(text.data(), text.size(), format, &tm);
    return {text.data(), n};
}

// "14:57:55 JAN 22, 2026", as DSNB409I and DSNB410I show the start of their counters.
std::string SinceText(std::int64_t seconds) {
    const std::tm tm = Utc(seconds);
    std::array<char, 40> text{};
    const int n =
        std::snprintf(text.data(), text.size(), "%02d:%02d:%02d %s %02d, %04d", tm.tm_hour, tm.tm_min, tm.tm_sec,
                      MonthNames[static_cast<std::size_t>(tm.tm_mon)], tm.tm_mday, tm.tm_year + 1900);
    return {text.data(), static_cast<std::size_t>(n)};
}

void AppendNumber(std::string& line, std::int64_t value) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    line.append(digits.data(), result.ptr);
}

// `value` right-aligned in `width` columns.
void AppendRight(std::string& line, std::int64_t value, std::size_t width) {
    std::array<char, 24> digits{};
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    const auto length = static_cast<std::size_t>(result.ptr - digits.data());
    if (length < width) {
        line.append(width - length, ' ');
    }
    line.append(digits.data(), result.ptr);
}

void AppendPadded(std::string& line, std::string_view text, std::size_t width) {
    line.append(text);
    if (text.size() < width) {
        line.append(width - text.size(), ' ');
    }
}

// Lines to the stream a buffer at a time, counted.
class LineSink {
public:
    LineSink(std::ostream* out, std::string* whole) : out_(out), whole_(whole) {}
    LineSink(const LineSink&) = delete;
    LineSink& operator=(const LineSink&) = delete;
    ~LineSink() { Flush(); }

    void Put(std::string_view line) {
        buffer_.append(line);
        buffer_.push_back('\n');
        ++lines_;
        if (buffer_.size() >= FlushAt) {
            Flush();
        }
    }
    [[nodiscard]] std::int64_t Lines() const { return lines_; }
    void Flush() {
        if (whole_ != nullptr) {
            whole_->append(buffer_);
        } else if (out_ != nullptr) {
            out_->write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        }
        buffer_.clear();
    }

private:
    std::ostream* out_;
    std::string* whole_;
    std::string buffer_;
    std::int64_t lines_ = 0;
};

// One message as Db2 hands it to the console: the lines of a pool's section, or a single line.
// Its lines are numbered from the sink's count, since nothing else is written while it is built.
class Message {
public:
    explicit Message(std::string prefix) : prefix_(std::move(prefix)) {}

    // A line that starts a message id: "DSNB402I -DB2A " and the text.
    std::string& Start(std::string_view id) {
        std::string& line = Next();
        line.append(id);
        line.push_back(' ');
        line.append(prefix_);
        line.push_back(' ');
        return line;
    }
    // A continuation line, indented.
    std::string& Continue(std::size_t indent = 13) {
        std::string& line = Next();
        line.append(indent, ' ');
        return line;
    }
    [[nodiscard]] std::size_t Size() const { return used_; }
    [[nodiscard]] const std::string& Line(std::size_t i) const { return lines_[i]; }
    void Clear() { used_ = 0; }

private:
    std::string& Next() {
        if (used_ == lines_.size()) {
            lines_.emplace_back();
        }
        std::string& line = lines_[used_++];
        line.clear();
        return line;
    }
    std::string prefix_;
    std::vector<std::string> lines_;
    std::size_t used_ = 0;
};

// "LABEL          =    value" at the widths the display uses.
void Pair(std::string& line, std::string_view label, std::size_t labelWidth, std::int64_t value,
          std::size_t valueWidth = 9) {
    AppendPadded(line, label, labelWidth);
    line.append("= ");
    AppendRight(line, value, valueWidth);
}

void TextPair(std::string& line, std::string_view label, std::size_t labelWidth, std::string_view value) {
    AppendPadded(line, label, labelWidth);
    line.append("= ");
    line.append(value);
}

struct DataSetPlan {
    std::string database;
    std::string space;
    bool indexSpace = false;
    std::int64_t part = 0;
    double weight = 1.0; // its share of the pool's activity
};

struct SimPlan {
    std::int64_t size = 0;
    std::int64_t seqThreshold = 0;
};

struct DisplayPoolPlan {
    std::string name;
    int id = 0;
    std::int64_t vpSize = 0;
    std::int64_t seqt = 80;
    std::int64_t pseqt = 50;
    std::int64_t xpseqt = 0;
    std::int64_t dwqt = 30;
    std::int64_t vdwqt = 5;
    std::int64_t vdwqtBuffers = 0;
    std::string autosize;
    std::string pgfix;
    std::string pgsteal;
    std::string frameSize;
    double activity = 1.0; // getpages a second
    double missRandom = 0.05;
    double seqShare = 0.3;
    double updateShare = 0.1;
    std::optional<SimPlan> sim;
    std::vector<DataSetPlan> dataSets;
    Figures totals{};                        // counted since the pool's start
    std::array<std::int64_t, 5> simTotals{}; // the simulated pool's counters, likewise
};

struct GroupPlan {
    std::string name;
    std::int64_t sizeKb = 0;
    std::int64_t directory = 0;
    std::int64_t data = 0;
    std::int64_t ratioTenths = 50;
    double activity = 1.0;
};

// What one subsystem has: its pools, and where its cumulative counters started.
struct SubsystemPlan {
    std::string name;
    std::vector<DisplayPoolPlan> pools;
    std::vector<GroupPlan> groups;
    std::int64_t countingSince = 0;
};

std::string RatioText(std::int64_t tenths) {
    std::string text = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + tenths % 10);
    }
    return text;
}

class DisplayWriter {
public:
    DisplayWriter(const DisplaySampleOptions& options, LineSink& sink, std::vector<Db2Display>* written)
        : o_(options), sink_(sink), written_(written), start_(ParseStart(options.start)) {
        if (o_.pools < 1 || o_.pools > DisplayPoolNames) {
            throw std::invalid_argument("pools must be 1 to 80");
        }
        if (o_.series < 1 || o_.minutes < 1 || o_.dataSetsPerPool < 0 || o_.subsystems.empty()) {
            throw std::invalid_argument("series and minutes must be at least 1, data sets at least 0");
        }
        for (std::size_t s = 0; s < o_.subsystems.size(); ++s) {
            Rng rng(static_cast<std::uint64_t>(o_.seed) * 7919U + s);
            subsystems_.push_back(PlanSubsystem(o_.subsystems[s], rng));
            rngs_.push_back(rng);
        }
    }

    void Write() {
        if (o_.form == DisplayForm::Batch) {
            sink_.Put("READY");
        }
        for (int k = 0; k < o_.series; ++k) {
            for (std::size_t s = 0; s < subsystems_.size(); ++s) {
                const std::int64_t at =
                    start_ + static_cast<std::int64_t>(k) * o_.minutes * 60 + static_cast<std::int64_t>(s) * 7;
                WriteDisplay(subsystems_[s], rngs_[s], k, at);
            }
        }
        if (o_.form == DisplayForm::Batch) {
            sink_.Put("READY");
            sink_.Put("END");
        }
    }

private:
    SubsystemPlan PlanSubsystem(const std::string& name, Rng& rng) const {
        SubsystemPlan plan;
        plan.name = name;
        plan.countingSince = start_ - rng.Between(std::int64_t{3} * 3600, std::int64_t{40} * 3600);
        int table = 1;
        for (int p = 0; p < o_.pools; ++p) {
            plan.pools.push_back(PlanPool(p, rng, table));
        }
        // Db2 lists the pools in the order of their ids.
        std::stable_sort(plan.pools.begin(), plan.pools.end(),
                         [](const DisplayPoolPlan& a, const DisplayPoolPlan& b) { return a.id < b.id; });
        if (o_.groupPools) {
            for (int g = 0; g < std::min(GroupPoolsShown, o_.pools); ++g) {
                GroupPlan group;
                group.name = "G" + plan.pools[static_cast<std::size_t>(g)].name;
                group.sizeKb = rng.Between(4, 64) * 4096;
                group.ratioTenths = rng.Between(0, 3) == 0 ? 55 : 50;
                // A data page takes 4 KB of the structure, a directory entry about a quarter of a KB.
                group.data = group.sizeKb * 40 / (160 + group.ratioTenths);
                group.directory = group.data * group.ratioTenths / 10;
                group.activity = static_cast<double>(rng.LogBetween(5, 4000));
                plan.groups.push_back(group);
            }
        }
        return plan;
    }

    DisplayPoolPlan PlanPool(int p, Rng& rng, int& table) const {
        DisplayPoolPlan pool;
        pool.name = DisplayPoolName(p);
        pool.id = PoolId(pool.name);
        pool.vpSize = rng.LogBetween(2000, 400000) / 100 * 100;
        pool.seqt = std::array<std::int64_t, 4>{80, 80, 50, 90}[static_cast<std::size_t>(rng.Between(0, 3))];
        pool.dwqt = std::array<std::int64_t, 3>{30, 50, 20}[static_cast<std::size_t>(rng.Between(0, 2))];
        pool.vdwqt = rng.Between(0, 4) == 0 ? 0 : rng.Between(1, 10);
        pool.vdwqtBuffers = pool.vdwqt == 0 ? rng.Between(32, 256) : 0;
        pool.autosize = rng.Between(0, 5) == 0 ? "YES" : "NO";
        pool.pgfix = rng.Between(0, 2) == 0 ? "NO" : "YES";
        pool.pgsteal = rng.Between(0, 9) == 0 ? "FIFO" : "LRU";
        pool.frameSize = pool.pgfix == "YES" ? "1M" : "4K";
        pool.activity = static_cast<double>(rng.LogBetween(10, 60000));
        pool.missRandom = 0.002 + 0.15 * rng.Uniform();
        pool.seqShare = 0.05 + 0.8 * rng.Uniform();
        pool.updateShare = 0.02 + 0.3 * rng.Uniform();
        if (o_.simulate && p % 3 == 1) {
            pool.sim = SimPlan{pool.vpSize / 2 / 100 * 100 + 1000, pool.seqt};
        }
        const auto count = o_.dataSetsPerPool == 0
                               ? 0
                               : static_cast<int>(rng.Between(o_.dataSetsPerPool / 2, o_.dataSetsPerPool * 3 / 2));
        while (static_cast<int>(pool.dataSets.size()) < count) {
            const bool index = rng.Between(0, 9) < 3;
            const std::int64_t parts = rng.Between(0, 4) == 0 ? rng.Between(2, 12) : 0;
            std::array<char, 24> names{};
            const int db = (table - 1) / 20 + 1;
            std::snprintf(names.data(), names.size(), "DB%06d", db);
            const std::string database = names.data();
            std::snprintf(names.data(), names.size(), index ? "IX%06d" : "TS%06d", table);
            const std::string space = names.data();
            ++table;
            const auto weight = static_cast<double>(rng.LogBetween(1, 1000));
            for (std::int64_t part = parts == 0 ? 0 : 1;
                 part <= parts && static_cast<int>(pool.dataSets.size()) < count; ++part) {
                pool.dataSets.push_back(DataSetPlan{database, space, index, part, weight});
            }
        }
        // Counters from before the first display, so cumulative figures start somewhere.
        pool.totals = Interval(pool, rng, static_cast<double>(rng.Between(10, 200)));
        return pool;
    }

    static int PoolId(const std::string& name) {
        if (name.rfind("BP8K", 0) == 0) {
            return 100 + std::stoi(name.substr(4));
        }
        if (name.rfind("BP16K", 0) == 0) {
            return 120 + std::stoi(name.substr(5));
        }
        if (name.rfind("BP32K", 0) == 0) {
            return 80 + (name.size() > 5 ? std::stoi(name.substr(5)) : 0);
        }
        return std::stoi(name.substr(2));
    }

    // The counters of `intervals` display intervals of the pool, each rule of the display kept:
    // getpages at least the synchronous reads, pages read at least the prefetch I/Os, pages written at
    // least the write I/Os.
    Figures Interval(const DisplayPoolPlan& pool, Rng& rng, double intervals) const {
        Figures f{};
        auto at = [&f](PoolFigure which) -> std::int64_t& { return f[static_cast<std::size_t>(which)]; };
        const double seconds = intervals * o_.minutes * 60.0 * (0.7 + 0.6 * rng.Uniform());
        const auto getpages = static_cast<std::int64_t>(pool.activity * seconds);
        const auto seq = static_cast<std::int64_t>(static_cast<double>(getpages) * pool.seqShare);
        at(PoolFigure::RandomGetpages) = getpages - seq;
        at(PoolFigure::SyncReadIosRandom) =
            static_cast<std::int64_t>(static_cast<double>(getpages - seq) * pool.missRandom);
        at(PoolFigure::SeqGetpages) = seq;
        at(PoolFigure::SyncReadIosSeq) = seq / rng.Between(200, 5000);
        at(PoolFigure::DmthHits) = rng.Between(0, 30) == 0 ? rng.Between(1, 50) : 0;
        at(PoolFigure::PageInsRequired) = rng.Between(0, 20) == 0 ? rng.Between(1, 20) : 0;
        at(PoolFigure::VpseqtHits) = seq / rng.Between(500, 50000);
        at(PoolFigure::Reclassify) = seq / rng.Between(100, 2000);
        // Sequential, list and dynamic prefetch share the sequential getpages that missed.
        const std::int64_t prefetched = seq - seq / 4;
        const std::array<PoolFigure, 3> requests = {PoolFigure::SeqPrefetchRequests, PoolFigure::ListPrefetchRequests,
                                                    PoolFigure::DynPrefetchRequests};
        const std::array<double, 3> shares = {0.3, 0.15, 0.55};
        for (std::size_t k = 0; k < 3; ++k) {
            const auto pages =
                static_cast<std::int64_t>(static_cast<double>(prefetched) * shares[k] * (0.05 + 0.5 * rng.Uniform()));
            const std::int64_t ios = pages / rng.Between(4, 32);
            const auto index = static_cast<std::size_t>(requests[k]);
            f[index] = ios + ios / rng.Between(2, 20); // requests
            f[index + 1] = ios;                        // I/Os
            f[index + 2] = pages;                      // pages read
        }
        at(PoolFigure::PrefetchNoBuffer) = rng.Between(0, 15) == 0 ? rng.Between(1, 40) : 0;
        at(PoolFigure::PrefetchNoEngine) = rng.Between(0, 40) == 0 ? rng.Between(1, 5) : 0;
        const auto updates = static_cast<std::int64_t>(static_cast<double>(getpages) * pool.updateShare);
        const std::int64_t written = updates / rng.Between(2, 12);
        const std::int64_t asyncIos = written / rng.Between(4, 24);
        at(PoolFigure::PageUpdates) = updates;
        at(PoolFigure::PagesWritten) = written;
        at(PoolFigure::AsyncWriteIos) = asyncIos;
        at(PoolFigure::SyncWriteIos) = std::min(written - asyncIos, asyncIos / rng.Between(5, 200));
        at(PoolFigure::WritePageInsRequired) = rng.Between(0, 30) == 0 ? rng.Between(1, 10) : 0;
        at(PoolFigure::DwtHits) = updates > 0 && rng.Between(0, 3) == 0 ? rng.Between(1, 80) : 0;
        at(PoolFigure::VdwtHits) = updates / rng.Between(500, 20000);
        at(PoolFigure::NoWriteEngine) = rng.Between(0, 50) == 0 ? rng.Between(1, 3) : 0;
        const std::int64_t parallel = rng.Between(0, 3) == 0 ? rng.Between(1, 400) : 0;
        at(PoolFigure::ParallelRequests) = parallel;
        at(PoolFigure::DegradedParallel) = parallel / rng.Between(5, 100);
        at(PoolFigure::LplPagesAdded) = rng.Between(0, 200) == 0 ? rng.Between(1, 10) : 0;
        return f;
    }

    // The settings and gauges Db2 shows as they stand.
    void SetGauges(DisplayPool& out, const DisplayPoolPlan& pool, Rng& rng) const {
        out.Set(PoolFigure::UseCount, static_cast<std::int64_t>(pool.dataSets.size()) + rng.Between(0, 5));
        out.Set(PoolFigure::VpSize, pool.vpSize);
        out.Set(PoolFigure::VpSizeMin, pool.autosize == "YES" ? pool.vpSize * 3 / 4 : 0);
        out.Set(PoolFigure::VpSizeMax, pool.autosize == "YES" ? pool.vpSize * 5 / 4 : 0);
        out.Set(PoolFigure::Allocated, pool.vpSize);
        out.Set(PoolFigure::ToBeDeleted, 0);
        out.Set(PoolFigure::InUseUpdated, rng.Between(0, pool.vpSize / 10));
        out.Set(PoolFigure::OverflowAlloc, 0);
        out.Set(PoolFigure::VpSeqt, pool.seqt);
        out.Set(PoolFigure::VpPseqt, pool.pseqt);
        out.Set(PoolFigure::VpXpseqt, pool.xpseqt);
        out.Set(PoolFigure::Dwqt, pool.dwqt);
        out.Set(PoolFigure::VdwqtPercent, pool.vdwqt);
        out.Set(PoolFigure::VdwqtBuffers, pool.vdwqtBuffers);
        // The length of the sequential chain: a gauge, at most the pool's sequential share.
        out.Set(PoolFigure::SeqChain, rng.Between(0, pool.vpSize * pool.seqt / 100));
        out.name = pool.name;
        out.id = pool.id;
        out.autosize = pool.autosize;
        out.pgfix = pool.pgfix;
        out.pgsteal = pool.pgsteal;
        out.frameSize = pool.frameSize;
    }

    void WriteDisplay(SubsystemPlan& sub, Rng& rng, int k, std::int64_t at) {
        const std::string prefix = "-" + sub.name;
        const bool restartedBefore = o_.cumulative && o_.restartAfter && k == *o_.restartAfter;
        if (restartedBefore) {
            // Db2 came up again between the displays: the counters start over.
            sub.countingSince = at - o_.minutes * 60 / 2;
            for (DisplayPoolPlan& pool : sub.pools) {
                pool.totals = {};
                pool.simTotals = {};
            }
        }
        Db2Display display;
        display.system = o_.form == DisplayForm::Syslog ? o_.system : "";
        display.subsystem = sub.name;
        display.displayedAt = o_.form == DisplayForm::Syslog ? Format("%Y-%m-%d %H:%M:%S", Utc(at)) : "";
        time_ = at;
        hundredths_ = 0;
        if (o_.form == DisplayForm::Batch) {
            sink_.Put("DSN SYSTEM(" + sub.name + ")");
            sink_.Put("DSN");
        }
        PutCommand(prefix,
                   o_.cumulative ? "DIS BPOOL(*) DETAIL(*) LSTATS(*)" : "DIS BPOOL(*) DETAIL(INTERVAL) LSTATS(*)");
        const double elapsed = restartedBefore ? 0.5 : 1.0;
        const std::string since =
            SinceText(o_.cumulative ? sub.countingSince : at - static_cast<std::int64_t>(o_.minutes) * 60);
        Message message(prefix);
        for (DisplayPoolPlan& pool : sub.pools) {
            const Figures delta = Interval(pool, rng, elapsed);
            for (std::size_t i = 0; i < PoolFigureCount; ++i) {
                pool.totals[i] += delta[i];
            }
            DisplayPool figures;
            SetGauges(figures, pool, rng);
            const Figures& shown = o_.cumulative ? pool.totals : delta;
            for (const PoolFigure f : CountedFigures) {
                figures.Set(f, shown[static_cast<std::size_t>(f)]);
            }
            (o_.cumulative ? figures.cumulativeSince : figures.incrementalSince) = since;
            if (pool.sim) {
                figures.simulated = SimulatedFigures(pool, delta, rng);
            }
            for (const DataSetPlan& plan : pool.dataSets) {
                figures.dataSets.push_back(DataSetFigures(plan, pool, delta, rng));
            }
            figures.complete = true;
            message.Clear();
            const std::int64_t base = sink_.Lines() + 1;
            figures.line = base;
            WritePool(message, figures, pool.sim, base);
            PutMessage(message);
            if (display.line == 0) {
                display.line = base;
            }
            if (written_ != nullptr) {
                display.pools.push_back(std::move(figures));
            }
        }
        Complete(message, "-DISPLAY BUFFERPOOL");
        if (!sub.groups.empty()) {
            WriteGroupPools(sub, rng, display, prefix);
        }
        if (o_.form == DisplayForm::Batch) {
            sink_.Put("END");
        }
        if (written_ != nullptr) {
            written_->push_back(std::move(display));
        }
    }

    static constexpr std::array<PoolFigure, 30> CountedFigures = {
        PoolFigure::RandomGetpages,   PoolFigure::SyncReadIosRandom, PoolFigure::SeqGetpages,
        PoolFigure::SyncReadIosSeq,   PoolFigure::DmthHits,          PoolFigure::PageInsRequired,
        PoolFigure::VpseqtHits,       PoolFigure::Reclassify,        PoolFigure::SeqPrefetchRequests,
        PoolFigure::SeqPrefetchIos,   PoolFigure::SeqPrefetchPages,  PoolFigure::ListPrefetchRequests,
        PoolFigure::ListPrefetchIos,  PoolFigure::ListPrefetchPages, PoolFigure::DynPrefetchRequests,
        PoolFigure::DynPrefetchIos,   PoolFigure::DynPrefetchPages,  PoolFigure::PrefetchNoBuffer,
        PoolFigure::PrefetchNoEngine, PoolFigure::PageUpdates,       PoolFigure::PagesWritten,
        PoolFigure::AsyncWriteIos,    PoolFigure::SyncWriteIos,      PoolFigure::WritePageInsRequired,
        PoolFigure::DwtHits,          PoolFigure::VdwtHits,          PoolFigure::NoWriteEngine,
        PoolFigure::ParallelRequests, PoolFigure::DegradedParallel,  PoolFigure::LplPagesAdded};

    SimulatedPoolFigures SimulatedFigures(DisplayPoolPlan& pool, const Figures& delta, Rng& rng) const {
        auto get = [&delta](PoolFigure f) { return delta[static_cast<std::size_t>(f)]; };
        std::array<std::int64_t, 5> d{};
        d[0] = get(PoolFigure::SyncReadIosRandom) * rng.Between(5, 60) / 100;
        d[1] = get(PoolFigure::SyncReadIosSeq) * rng.Between(5, 60) / 100;
        d[2] = (get(PoolFigure::SeqPrefetchIos) + get(PoolFigure::DynPrefetchIos)) * rng.Between(5, 40) / 100;
        d[3] = (d[0] + d[1]) * rng.Between(1, 4) / 10; // about a tenth of a millisecond to half of one an I/O
        d[4] = d[0] + d[1] + d[2] * 8;
        for (std::size_t i = 0; i < d.size(); ++i) {
            pool.simTotals[i] += d[i];
        }
        const std::span<const std::int64_t> shown =
            o_.cumulative ? std::span<const std::int64_t>(pool.simTotals) : std::span<const std::int64_t>(d);
        SimulatedPoolFigures sim;
        sim.size = pool.sim->size;
        sim.seqThreshold = pool.sim->seqThreshold;
        sim.avoidableSyncRandom = shown[0];
        sim.avoidableSyncSeq = shown[1];
        sim.avoidableAsync = shown[2];
        sim.avoidableSyncDelayMs = shown[3];
        sim.pagesMovedIn = shown[4];
        return sim;
    }

    // The data set's share of a pool's counter, a fiftieth of its weight.
    static std::int64_t PagesOf(const Figures& delta, PoolFigure f, double share) {
        return static_cast<std::int64_t>(static_cast<double>(delta[static_cast<std::size_t>(f)]) * share * 0.02);
    }

    // The average and longest delay and the pages of synchronous or asynchronous I/O (`average` and the
    // two after it), when there were pages.
    static bool SetDelays(DisplayDataSet& d, DataSetFigure average, std::int64_t pages, std::int64_t mostAverage,
                          std::int64_t spread, Rng& rng) {
        if (pages <= 0) {
            return false;
        }
        const auto first = static_cast<std::size_t>(average);
        const std::int64_t delay = rng.Between(0, mostAverage);
        d.figures.values[first] = delay;
        d.figures.values[first + 1] = delay + rng.Between(1, spread);
        d.figures.values[first + 2] = pages;
        return true;
    }

    // A data set's LSTATS figures: gauges and counters since the last display, whatever DETAIL says.
    // Db2 leaves out a message whose figures are all zero.
    static DisplayDataSet DataSetFigures(const DataSetPlan& plan, const DisplayPoolPlan& pool, const Figures& delta,
                                         Rng& rng) {
        DisplayDataSet d;
        d.database = plan.database;
        d.space = plan.space;
        d.indexSpace = plan.indexSpace;
        d.part = plan.part;
        d.Set(DataSetFigure::UseCount, rng.Between(0, 6));
        const double share = plan.weight / 1000.0;
        if (rng.Between(0, 9) != 0) {
            const std::int64_t cached =
                std::max<std::int64_t>(1, static_cast<std::int64_t>(static_cast<double>(pool.vpSize) * share * 0.05));
            const std::int64_t changed = cached * rng.Between(0, 30) / 100;
            d.Set(DataSetFigure::CachedPages, cached);
            d.Set(DataSetFigure::CachedPagesMax, cached + cached * rng.Between(0, 50) / 100);
            d.Set(DataSetFigure::ChangedPages, changed);
            d.Set(DataSetFigure::ChangedPagesMax, changed + changed * rng.Between(0, 50) / 100);
        }
        const std::int64_t syncPages = PagesOf(delta, PoolFigure::SyncReadIosRandom, share);
        SetDelays(d, DataSetFigure::SyncAvgDelay, syncPages, 3, 40, rng);
        const std::int64_t asyncPages = PagesOf(delta, PoolFigure::DynPrefetchPages, share);
        if (SetDelays(d, DataSetFigure::AsyncAvgDelay, asyncPages, 5, 60, rng)) {
            d.Set(DataSetFigure::AsyncIos, std::max<std::int64_t>(1, asyncPages / rng.Between(4, 32)));
        }
        return d;
    }

    static std::int64_t V(const DisplayPool& pool, PoolFigure f) { return pool.Get(f).value_or(0); }

    // A pool's section, its data sets numbered by the line they start at (`base` is the first's).
    static void WritePool(Message& m, DisplayPool& p, const std::optional<SimPlan>& sim, std::int64_t base) {
        {
            std::string& line = m.Start("DSNB401I");
            line.append("BUFFERPOOL NAME ").append(p.name).append(", BUFFERPOOL ID ");
            AppendNumber(line, *p.id);
            line.append(", USE COUNT ");
            AppendNumber(line, V(p, PoolFigure::UseCount));
        }
        {
            std::string& line = m.Start("DSNB402I");
            line.append("BUFFER POOL SIZE = ");
            AppendNumber(line, V(p, PoolFigure::VpSize));
            line.append(" BUFFERS  AUTOSIZE = ").append(p.autosize);
            std::string& range = m.Continue(11);
            range.append("VPSIZE MINIMUM = ");
            AppendNumber(range, V(p, PoolFigure::VpSizeMin));
            range.append(" VPSIZE MAXIMUM = ");
            AppendNumber(range, V(p, PoolFigure::VpSizeMax));
            std::string& allocated = m.Continue();
            Pair(allocated, "ALLOCATED", 15, V(p, PoolFigure::Allocated));
            allocated.append("   ");
            Pair(allocated, "TO BE DELETED", 16, V(p, PoolFigure::ToBeDeleted));
            Pair(m.Continue(), "IN-USE/UPDATED", 15, V(p, PoolFigure::InUseUpdated));
            Pair(m.Continue(), "OVERFLOW ALLOC", 15, V(p, PoolFigure::OverflowAlloc));
        }
        {
            m.Start("DSNB406I").append("PGFIX ATTRIBUTE -");
            TextPair(m.Continue(), "CURRENT", 26, p.pgfix);
            TextPair(m.Continue(), "PENDING", 26, p.pgfix);
            m.Continue().append("PAGE STEALING METHOD -");
            TextPair(m.Continue(), "CURRENT", 26, p.pgsteal);
            TextPair(m.Continue(), "PENDING", 26, p.pgsteal);
        }
        {
            m.Start("DSNB404I").append("THRESHOLDS -");
            Pair(m.Continue(), "VP SEQUENTIAL", 26, V(p, PoolFigure::VpSeqt), 0);
            if (sim) {
                Pair(m.Continue(), "SP SEQUENTIAL", 26, sim->seqThreshold, 0);
            }
            Pair(m.Continue(), "DEFERRED WRITE", 26, V(p, PoolFigure::Dwqt), 0);
            std::string& vertical = m.Continue();
            Pair(vertical, "VERTICAL DEFERRED WRT", 26, V(p, PoolFigure::VdwqtPercent), 0);
            vertical.push_back(',');
            AppendRight(vertical, V(p, PoolFigure::VdwqtBuffers), 3);
            Pair(m.Continue(), "PARALLEL SEQUENTIAL", 26, V(p, PoolFigure::VpPseqt), 0);
            Pair(m.Continue(), "ASSISTING PARALLEL SEQT", 26, V(p, PoolFigure::VpXpseqt), 0);
        }
        {
            std::string& line = m.Start("DSNB546I");
            line.append("PREFERRED FRAME SIZE ").append(p.frameSize).push_back(' ');
            AppendNumber(line, V(p, PoolFigure::Allocated));
            line.append(" BUFFERS USING ").append(p.frameSize).append(" FRAME SIZE ALLOCATED");
        }
        if (p.cumulativeSince) {
            m.Start("DSNB410I").append("CUMULATIVE STATISTICS SINCE ").append(*p.cumulativeSince);
        } else {
            m.Start("DSNB409I").append("INCREMENTAL STATISTICS SINCE ").append(*p.incrementalSince);
        }
        WriteReads(m, p);
        WriteWrites(m, p);
        if (p.simulated) {
            WriteSimulated(m, *p.simulated);
        }
        for (DisplayDataSet& d : p.dataSets) {
            d.line = base + static_cast<std::int64_t>(m.Size());
            WriteDataSet(m, d);
        }
    }

    // Two "LABEL = value" pairs on a line, the first after `line`'s text so far.
    static void TwoPairs(std::string& line, std::string_view a, std::int64_t va, std::string_view b, std::int64_t vb) {
        Pair(line, a, 18, va);
        line.append("  ");
        Pair(line, b, 18, vb);
    }

    static void WriteReads(Message& m, const DisplayPool& p) {
        TwoPairs(m.Start("DSNB411I"), "RANDOM GETPAGE", V(p, PoolFigure::RandomGetpages), "SYNC READ I/O (R)",
                 V(p, PoolFigure::SyncReadIosRandom));
        TwoPairs(m.Continue(), "SEQ.   GETPAGE", V(p, PoolFigure::SeqGetpages), "SYNC READ I/O (S)",
                 V(p, PoolFigure::SyncReadIosSeq));
        TwoPairs(m.Continue(), "DMTH HIT", V(p, PoolFigure::DmthHits), "PAGE-INS REQUIRED",
                 V(p, PoolFigure::PageInsRequired));
        TwoPairs(m.Continue(), "SEQUENTIAL", V(p, PoolFigure::SeqChain), "VPSEQT HIT", V(p, PoolFigure::VpseqtHits));
        Pair(m.Continue(), "RECLASSIFY", 18, V(p, PoolFigure::Reclassify));
        const std::array<std::pair<const char*, PoolFigure>, 3> kinds = {
            std::pair{"DSNB412I", PoolFigure::SeqPrefetchRequests},
            std::pair{"DSNB413I", PoolFigure::ListPrefetchRequests},
            std::pair{"DSNB414I", PoolFigure::DynPrefetchRequests}};
        const std::array<const char*, 3> titles = {"SEQUENTIAL PREFETCH -", "LIST PREFETCH -", "DYNAMIC PREFETCH -"};
        for (std::size_t k = 0; k < kinds.size(); ++k) {
            m.Start(kinds[k].first).append(titles[k]);
            const auto first = static_cast<std::size_t>(kinds[k].second);
            std::string& line = m.Continue();
            Pair(line, "REQUESTS", 16, p.figures.values[first].value_or(0), 10);
            line.append("   ");
            Pair(line, "PREFETCH  I/O", 16, p.figures.values[first + 1].value_or(0), 10);
            Pair(m.Continue(), "PAGES READ", 16, p.figures.values[first + 2].value_or(0), 10);
        }
        m.Start("DSNB415I").append("PREFETCH DISABLED -");
        TwoPairs(m.Continue(), "NO BUFFER", V(p, PoolFigure::PrefetchNoBuffer), "NO READ ENGINE",
                 V(p, PoolFigure::PrefetchNoEngine));
    }

    static void WriteWrites(Message& m, const DisplayPool& p) {
        TwoPairs(m.Start("DSNB420I"), "SYS PAGE UPDATES", V(p, PoolFigure::PageUpdates), "SYS PAGES WRITTEN",
                 V(p, PoolFigure::PagesWritten));
        TwoPairs(m.Continue(), "ASYNC WRITE I/O", V(p, PoolFigure::AsyncWriteIos), "SYNC WRITE I/O",
                 V(p, PoolFigure::SyncWriteIos));
        Pair(m.Continue(), "PAGE-INS REQUIRED", 18, V(p, PoolFigure::WritePageInsRequired));
        TwoPairs(m.Start("DSNB421I"), "DWT HIT", V(p, PoolFigure::DwtHits), "VERTICAL DWT HIT",
                 V(p, PoolFigure::VdwtHits));
        Pair(m.Continue(), "NO WRITE ENGINE", 18, V(p, PoolFigure::NoWriteEngine));
        m.Start("DSNB440I").append("PARALLEL ACTIVITY -");
        TwoPairs(m.Continue(), "PARALLEL REQUEST", V(p, PoolFigure::ParallelRequests), "DEGRADED PARALLEL",
                 V(p, PoolFigure::DegradedParallel));
        m.Start("DSNB441I").append("LPL ACTIVITY -");
        Pair(m.Continue(), "PAGES ADDED", 18, V(p, PoolFigure::LplPagesAdded));
    }

    static void WriteSimulated(Message& m, const SimulatedPoolFigures& s) {
        std::string& size = m.Start("DSNB431I");
        size.append("SIMULATED BUFFER POOL SIZE = ");
        AppendNumber(size, s.size.value_or(0));
        size.append(" BUFFERS");
        m.Start("DSNB432I").append("SIMULATED BUFFER POOL ACTIVITY -");
        m.Continue().append("AVOIDABLE READ I/O -");
        Pair(m.Continue(15), "SYNC READ I/O (R)", 32, s.avoidableSyncRandom.value_or(0));
        Pair(m.Continue(15), "SYNC READ I/O (S)", 32, s.avoidableSyncSeq.value_or(0));
        Pair(m.Continue(15), "ASYNC READ I/O", 32, s.avoidableAsync.value_or(0));
        std::string& delay = m.Continue();
        Pair(delay, "TOTAL AVOIDABLE SYNC I/O DELAY", 34, s.avoidableSyncDelayMs.value_or(0));
        delay.append(" MILLISECONDS");
        Pair(m.Continue(), "PAGES MOVED INTO SIMULATED POOL", 34, s.pagesMovedIn.value_or(0));
    }

    static void WriteDataSet(Message& m, const DisplayDataSet& d) {
        std::string& head = m.Start(d.indexSpace ? "DSNB465I" : "DSNB464I");
        head.append(d.indexSpace ? "INDEX SPACE = " : "TABLE SPACE = ").append(d.database).push_back('.');
        head.append(d.space).append(", USE COUNT = ");
        AppendNumber(head, d.Get(DataSetFigure::UseCount).value_or(0));
        if (d.part > 0) {
            std::string& part = m.Start("DSNB466I");
            part.append("PARTITION = ");
            AppendNumber(part, d.part);
        }
        auto v = [&d](DataSetFigure f) { return d.Get(f).value_or(0); };
        if (d.Get(DataSetFigure::CachedPages)) {
            m.Start("DSNB453I").append("VP CACHED PAGES -");
            std::string& cached = m.Continue(11);
            Pair(cached, "CURRENT", 14, v(DataSetFigure::CachedPages), 14);
            cached.append("   ");
            Pair(cached, "MAX", 14, v(DataSetFigure::CachedPagesMax), 14);
            std::string& changed = m.Continue(11);
            Pair(changed, "CHANGED", 14, v(DataSetFigure::ChangedPages), 14);
            changed.append("   ");
            Pair(changed, "MAX", 14, v(DataSetFigure::ChangedPagesMax), 14);
        }
        if (d.Get(DataSetFigure::SyncPages)) {
            m.Start("DSNB455I").append("SYNCHRONOUS I/O DELAYS -");
            Pair(m.Continue(), "AVERAGE DELAY", 22, v(DataSetFigure::SyncAvgDelay), 0);
            Pair(m.Continue(), "MAXIMUM DELAY", 22, v(DataSetFigure::SyncMaxDelay), 0);
            Pair(m.Continue(), "TOTAL PAGES", 22, v(DataSetFigure::SyncPages), 0);
        }
        if (d.Get(DataSetFigure::AsyncPages)) {
            m.Start("DSNB456I").append("ASYNCHRONOUS I/O DELAYS -");
            Pair(m.Continue(), "AVERAGE DELAY", 22, v(DataSetFigure::AsyncAvgDelay), 0);
            Pair(m.Continue(), "MAXIMUM DELAY", 22, v(DataSetFigure::AsyncMaxDelay), 0);
            Pair(m.Continue(), "TOTAL PAGES", 22, v(DataSetFigure::AsyncPages), 0);
            Pair(m.Continue(), "TOTAL I/O COUNT", 22, v(DataSetFigure::AsyncIos), 0);
        }
    }

    void WriteGroupPools(SubsystemPlan& sub, Rng& rng, Db2Display& display, const std::string& prefix) {
        PutCommand(prefix, "DIS GBPOOL(*) GDETAIL(INTERVAL)");
        Message m(prefix);
        const std::string since = SinceText(time_ - static_cast<std::int64_t>(o_.minutes) * 60);
        for (const GroupPlan& plan : sub.groups) {
            DisplayGroupPool g;
            g.name = plan.name;
            const auto reads = static_cast<std::int64_t>(plan.activity * o_.minutes * 60 * (0.5 + rng.Uniform()));
            const std::array<std::int64_t, 3> notReturned = {reads / rng.Between(20, 200), reads / rng.Between(2, 10),
                                                             rng.Between(0, 5) == 0 ? rng.Between(1, 9) : 0};
            const std::int64_t changed = reads / rng.Between(2, 6);
            g.Set(GroupPoolFigure::StructureSize, plan.sizeKb);
            g.Set(GroupPoolFigure::DirectoryEntries, plan.directory);
            g.Set(GroupPoolFigure::DataEntries, plan.data);
            g.Set(GroupPoolFigure::RatioTenths, plan.ratioTenths);
            g.Set(GroupPoolFigure::ReadsDataReturned, reads);
            g.Set(GroupPoolFigure::ReadsNotReturned, notReturned[0] + notReturned[1] + notReturned[2]);
            g.Set(GroupPoolFigure::ChangedPagesWritten, changed);
            g.Set(GroupPoolFigure::CleanPagesWritten, rng.Between(0, 3) == 0 ? changed / 10 : 0);
            g.Set(GroupPoolFigure::WritesFailedNoStorage, rng.Between(0, 10) == 0 ? rng.Between(1, 30) : 0);
            g.Set(GroupPoolFigure::CastoutPages, changed - changed / rng.Between(5, 50));
            g.Set(GroupPoolFigure::DirectoryReclaims, rng.Between(0, 2) == 0 ? reads / rng.Between(50, 500) : 0);
            g.Set(GroupPoolFigure::CrossInvalidationsByReclaim,
                  g.Get(GroupPoolFigure::DirectoryReclaims).value_or(0) / rng.Between(1, 4));
            m.Clear();
            g.line = sink_.Lines() + 1;
            WriteGroupPool(m, g, plan, since, notReturned);
            PutMessage(m);
            if (written_ != nullptr) {
                display.groupPools.push_back(std::move(g));
            }
        }
        Complete(m, "-DISPLAY GROUPBUFFERPOOL");
    }

    // The end of a command's output, and the DSN prompt that follows it in a batch job.
    void Complete(Message& m, std::string_view command) {
        m.Clear();
        m.Start("DSN9022I").append("DSNB1CMD '").append(command).append("' NORMAL COMPLETION");
        PutMessage(m);
        if (o_.form == DisplayForm::Batch) {
            sink_.Put("DSN");
        }
    }

    static void WriteGroupPool(Message& m, const DisplayGroupPool& g, const GroupPlan& plan, const std::string& since,
                               const std::array<std::int64_t, 3>& notReturned) {
        auto v = [&g](GroupPoolFigure f) { return g.Get(f).value_or(0); };
        constexpr std::size_t labelWidth = 42;
        m.Start("DSNB750I").append("DISPLAY FOR GROUP BUFFER POOL ").append(g.name).append(" FOLLOWS");
        m.Start("DSNB755I").append("DB2 GROUP BUFFER POOL STATUS               CONNECTED = YES");
        m.Continue().append("CURRENT DIRECTORY TO DATA RATIO = ").append(RatioText(plan.ratioTenths));
        m.Continue().append("PENDING DIRECTORY TO DATA RATIO = ").append(RatioText(plan.ratioTenths));
        m.Continue().append("CURRENT GBPCACHE ATTRIBUTE = YES");
        m.Continue().append("PENDING GBPCACHE ATTRIBUTE = YES");
        m.Start("DSNB756I").append("CLASS CASTOUT THRESHOLD = 5,0");
        m.Continue(11).append("GROUP BUFFER POOL CASTOUT THRESHOLD = 30 %");
        m.Continue(11).append("GROUP BUFFER POOL CHECKPOINT INTERVAL = 4 MINUTES");
        m.Continue(11).append("RECOVERY STATUS = NORMAL");
        m.Continue(11).append("AUTOMATIC RECOVERY = Y");
        std::string& structure = m.Start("DSNB757I");
        structure.append("MVS CFRM POLICY STATUS FOR DSNDB0G_").append(g.name).append(" = NORMAL");
        std::string& size = m.Start("DSNB758I");
        Pair(size, "ALLOCATED SIZE", labelWidth - 2, v(GroupPoolFigure::StructureSize), 0);
        size.append(" KB");
        TextPair(m.Continue(), "VOLATILITY STATUS", labelWidth, "VOLATILE");
        Pair(m.Start("DSNB759I"), "NUMBER OF DIRECTORY ENTRIES", labelWidth - 2, v(GroupPoolFigure::DirectoryEntries),
             0);
        Pair(m.Continue(), "NUMBER OF DATA PAGES", labelWidth, v(GroupPoolFigure::DataEntries), 0);
        m.Start("DSNB783I").append("INCREMENTAL GROUP DETAIL STATISTICS SINCE ").append(since);
        m.Start("DSNB784I").append("GROUP DETAIL STATISTICS");
        m.Continue().append("READS");
        Pair(m.Continue(15), "DATA RETURNED", labelWidth - 2, v(GroupPoolFigure::ReadsDataReturned), 0);
        m.Start("DSNB785I").append("DATA NOT RETURNED");
        Pair(m.Continue(15), "DIRECTORY ENTRY EXISTED", labelWidth - 2, notReturned[0], 0);
        Pair(m.Continue(15), "DIRECTORY ENTRY CREATED", labelWidth - 2, notReturned[1], 0);
        Pair(m.Continue(15), "DIRECTORY ENTRY NOT CREATED", labelWidth - 2, notReturned[2], 0);
        m.Start("DSNB786I").append("WRITES");
        Pair(m.Continue(15), "CHANGED PAGES", labelWidth - 2, v(GroupPoolFigure::ChangedPagesWritten), 0);
        Pair(m.Continue(15), "CLEAN PAGES", labelWidth - 2, v(GroupPoolFigure::CleanPagesWritten), 0);
        Pair(m.Continue(15), "FAILED DUE TO LACK OF STORAGE", labelWidth - 2, v(GroupPoolFigure::WritesFailedNoStorage),
             0);
        m.Start("DSNB787I").append("RECLAIMS");
        Pair(m.Continue(15), "FOR DIRECTORY ENTRIES", labelWidth - 2, v(GroupPoolFigure::DirectoryReclaims), 0);
        Pair(m.Continue(15), "FOR DATA ENTRIES", labelWidth - 2, 0, 0);
        Pair(m.Continue(15), "CASTOUTS", labelWidth - 2, v(GroupPoolFigure::CastoutPages), 0);
        m.Start("DSNB788I").append("CROSS INVALIDATIONS");
        Pair(m.Continue(15), "DUE TO DIRECTORY RECLAIMS", labelWidth - 2,
             v(GroupPoolFigure::CrossInvalidationsByReclaim), 0);
        Pair(m.Continue(15), "DUE TO WRITES", labelWidth - 2, v(GroupPoolFigure::ChangedPagesWritten) / 3, 0);
        Pair(m.Continue(15), "EXPLICIT", labelWidth - 2, 0, 0);
        m.Start("DSNB790I").append("DISPLAY FOR GROUP BUFFER POOL ").append(g.name).append(" IS COMPLETE");
    }

    // The time stamp columns of a SYSLOG line, the time moved on by a hundredth of a second.
    void AppendStamp(std::string& line) {
        const std::int64_t at = time_ + hundredths_ / 100;
        const std::tm tm = Utc(at);
        std::array<char, 40> text{};
        std::snprintf(text.data(), text.size(), "%02d%03d %02d:%02d:%02d.%02d", tm.tm_year % 100, tm.tm_yday + 1,
                      tm.tm_hour, tm.tm_min, tm.tm_sec, static_cast<int>(hundredths_ % 100));
        line.append(text.data());
        ++hundredths_;
    }

    // "N C000000 SYSA     26342 08:00:00.00 INTERNAL 00000290  " and what follows.
    void SyslogHead(std::string& line, char type, char request, std::string_view job, std::string_view flags) {
        line.push_back(type);
        line.push_back(request);
        line.append(request == 'C' ? "0000000 " : "0020000 ");
        AppendPadded(line, o_.system.substr(0, 8), 8);
        line.push_back(' ');
        AppendStamp(line);
        line.push_back(' ');
        AppendPadded(line, job, 8);
        line.push_back(' ');
        line.append(flags);
        line.append("  ");
    }

    // The command as entered: behind the subsystem's prefix, or after the DSN prompt of a batch job.
    void PutCommand(const std::string& prefix, std::string_view command) {
        line_.clear();
        if (o_.form == DisplayForm::Syslog) {
            SyslogHead(line_, 'N', 'C', "INTERNAL", "00000290");
        }
        if (o_.form == DisplayForm::Batch) {
            line_.push_back('-');
        } else {
            line_.append(prefix).push_back(' ');
        }
        line_.append(command);
        sink_.Put(line_);
    }

    void PutMessage(const Message& m) {
        if (o_.form != DisplayForm::Syslog) {
            for (std::size_t i = 0; i < m.Size(); ++i) {
                sink_.Put(m.Line(i));
            }
            return;
        }
        for (std::size_t i = 0; i < m.Size(); ++i) {
            const std::size_t inWto = i % MostWtoLines;
            const bool last = i + 1 == m.Size() || inWto + 1 == MostWtoLines;
            line_.clear();
            if (inWto == 0) {
                ++multiLineId_;
                SyslogHead(line_, m.Size() == 1 ? 'N' : 'M', ' ', "STC" + Five(jobNumber_), "00000090");
            } else {
                line_.push_back(last ? 'E' : 'D');
                line_.append(SyslogColumns::JobId - 1, ' ');
                AppendRight(line_, multiLineId_, 8);
                line_.append(" 00000090  ");
            }
            line_.append(m.Line(i));
            sink_.Put(line_);
        }
    }

    static std::string Five(int n) {
        std::array<char, 12> text{};
        std::snprintf(text.data(), text.size(), "%05d", n);
        return text.data();
    }

    const DisplaySampleOptions& o_;
    LineSink& sink_;
    std::vector<Db2Display>* written_;
    std::int64_t start_;
    std::vector<SubsystemPlan> subsystems_;
    std::vector<Rng> rngs_;
    std::int64_t time_ = 0;
    std::int64_t hundredths_ = 0;
    std::int64_t multiLineId_ = 400;
    int jobNumber_ = 4711;
    std::string line_;
};

std::string Convert(std::string_view text, const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (reinterpret_cast<std::intptr_t>(cd) == -1) {
        throw std::runtime_error(std::string("no conversion from ") + from + " to " + to);
    }
    std::string result(text.size(), '\0');
    std::string input(text);
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = result.data();
    std::size_t outLeft = result.size();
    const std::size_t done = iconv(cd, &in, &inLeft, &out, &outLeft);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        throw std::runtime_error(std::string("cannot convert the text to ") + to);
    }
    result.resize(result.size() - outLeft);
    return result;
}

const char* PageName(EbcdicPage page) {
    return page == EbcdicPage::Cp037 ? "IBM037" : "IBM1047";
}

} // namespace

std::string DisplayPoolName(int index) {
    if (index < 0 || index >= DisplayPoolNames) {
        throw std::out_of_range("no pool name for index " + std::to_string(index));
    }
    // In rounds of eight: five pools of 4 KB pages, then one each of 8 KB, 16 KB and 32 KB, so that
    // eight pools are BP0 to BP4, BP8K0, BP16K0 and BP32K, and all 80 are every name Db2 has.
    const int round = index / 8;
    const int place = index % 8;
    if (place < 5) {
        return "BP" + std::to_string(round * 5 + place);
    }
    if (place == 5) {
        return "BP8K" + std::to_string(round);
    }
    if (place == 6) {
        return "BP16K" + std::to_string(round);
    }
    return round == 0 ? std::string("BP32K") : "BP32K" + std::to_string(round);
}

void WriteDisplaySample(const DisplaySampleOptions& options, std::ostream& out, std::vector<Db2Display>* written) {
    LineSink sink(&out, nullptr);
    DisplayWriter writer(options, sink, written);
    writer.Write();
}

std::string WriteDisplaySample(const DisplaySampleOptions& options) {
    std::string text;
    {
        LineSink sink(nullptr, &text);
        DisplayWriter writer(options, sink, nullptr);
        writer.Write();
    }
    return text;
}

std::vector<Db2Display> DisplaySampleFigures(const DisplaySampleOptions& options) {
    std::vector<Db2Display> written;
    LineSink discard(nullptr, nullptr);
    DisplayWriter writer(options, discard, &written);
    writer.Write();
    return written;
}

// iconv makes a line feed the EBCDIC line feed (0x25); z/OS ends a line with its new line (0x15).
constexpr char EbcdicLineFeed = '\x25';
constexpr char EbcdicNewLine = '\x15';

std::string ToEbcdic(std::string_view text, EbcdicPage page) {
    std::string bytes = Convert(text, PageName(page), "ISO-8859-1");
    std::replace(bytes.begin(), bytes.end(), EbcdicLineFeed, EbcdicNewLine);
    return bytes;
}

std::string FromEbcdic(std::string_view bytes, EbcdicPage page) {
    std::string lines(bytes);
    std::replace(lines.begin(), lines.end(), EbcdicNewLine, EbcdicLineFeed);
    return Convert(lines, "ISO-8859-1", PageName(page));
}

} // namespace ornexa::samplegen
