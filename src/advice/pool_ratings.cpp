#include "advice/pool_ratings.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

#include "advice/pool_metrics.h"
#include "report/db2_figures.h"
#include "report/field_presence.h"
#include "report/record_catalogue.h"

namespace ornexa {
namespace {

constexpr std::string_view ResidencySource =
    "IBM Redpaper REDP-4604, DB2 9 for z/OS: Buffer Pool Monitoring and Tuning (M. Bracey), page residency time";
constexpr std::string_view ThresholdSource = "IBM Db2 for z/OS documentation, Fixed buffer pool thresholds";

const std::array<RatingDefinition, RatingKindCount> Definitions{{
    {RatingKind::SystemResidency,
     "system_residency",
     "System page residency time",
     "s",
     "VPSIZE x interval / pages read",
     "VPSIZE, pages read (synchronous and prefetch), interval",
     ResidencySource,
     WorseWhen::Below,
     {90, 60}},
    {RatingKind::SequentialResidency,
     "sequential_residency",
     "Sequential page residency time",
     "s",
     "min(system residency, VPSIZE x VPSEQT / 100 x interval / prefetch pages read)",
     "VPSIZE, VPSEQT, sequential, list and dynamic prefetch pages read, interval",
     ResidencySource,
     WorseWhen::Below,
     {std::nullopt, 10}},
    {RatingKind::RandomHitRatio,
     "random_hit_ratio",
     "Random hit ratio",
     "%",
     "(random getpages - synchronous reads) / random getpages x 100",
     "random getpages, synchronous read I/Os for random getpages (Db2's display) or all synchronous pages read "
     "(a monitor's report, which does not split them)",
     "IBM Tivoli OMEGAMON XE for DB2 documentation, Buffer Pool Hit Percent Random",
     WorseWhen::Below,
     {80, 50}},
    {RatingKind::SyncReadRate,
     "sync_read_rate",
     "Synchronous read I/O per second",
     "/s",
     "synchronous read I/Os / interval",
     "synchronous read I/Os, interval",
     ResidencySource,
     WorseWhen::Above,
     {1000, 3000}},
    {RatingKind::PrefetchDisabled,
     "prefetch_disabled",
     "Prefetch disabled, no buffer",
     "",
     "PREFETCH DISABLED - NO BUFFER",
     "DSNB415I",
     ThresholdSource,
     WorseWhen::Above,
     {0, std::nullopt}},
    {RatingKind::DmthHits,
     "dmth_hits",
     "Data management threshold reached",
     "",
     "DMTH HIT",
     "DSNB411I",
     ThresholdSource,
     WorseWhen::Above,
     {std::nullopt, 0}},
    {RatingKind::NoWriteEngine,
     "no_write_engine",
     "Write engine not available",
     "",
     "WRITE ENGINE NOT AVAILABLE",
     "DSNB421I",
     ThresholdSource,
     WorseWhen::Above,
     {0, std::nullopt}},
}};

constexpr std::string_view NoIntervalReason = "the report has no interval length";
constexpr std::string_view NoPoolSizeReason = "the pool has no virtual pool size";
constexpr std::string_view NoReadsReason = "the pool read no pages";
constexpr std::string_view NoPrefetchReason = "the pool read no pages by prefetch";
constexpr std::string_view NoRandomGetpagesReason = "the pool had no random getpages";
constexpr std::string_view NoDb2FigureReason = "only Db2's display output gives it";
constexpr std::string_view NoSuchPoolReason = "the report has no such pool";

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// `*` matches any run, `?` one character; iterative, with one backtrack point per `*`.
bool Matches(std::string_view pattern, std::string_view text) {
    std::size_t p = 0;
    std::size_t t = 0;
    std::optional<std::size_t> star;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(text[t]))) {
            ++p;
            ++t;
        } else if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            starText = t;
        } else if (star) {
            p = *star + 1;
            t = ++starText;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

class PoolRater {
public:
    PoolRater(const Report& report, int p, const RatingThresholds& thresholds)
        : report_(report), p_(p), pool_(report.Pools(p)), thresholds_(thresholds),
          metrics_(ComputePoolMetrics(report, p)) {
        if (report.Db2Display && static_cast<std::size_t>(p - 1) < report.Db2Display->pools.size()) {
            db2_ = &report.Db2Display->pools[static_cast<std::size_t>(p - 1)];
        }
    }

    [[nodiscard]] PoolRating Rate() const {
        PoolRating rating;
        rating.pool = p_;
        rating.poolName = pool_.PoolName.Str();
        for (std::size_t k = 0; k < RatingKindCount; ++k) {
            const auto kind = static_cast<RatingKind>(k);
            Rating& r = rating.ratings[k];
            r.kind = kind;
            r.threshold = thresholds_[k];
            const Outcome outcome = Measure(kind);
            r.value = outcome.value;
            if (outcome.value) {
                r.verdict = Judge(*outcome.value, DefinitionOf(kind).worseWhen, r.threshold);
            } else {
                r.reason = outcome.reason;
            }
        }
        return rating;
    }

private:
    struct Outcome {
        std::optional<double> value;
        std::string reason;
    };
    static Outcome Value(double v) { return {v, {}}; }
    static Outcome Reason(std::string_view why) { return {std::nullopt, std::string(why)}; }

    [[nodiscard]] bool Given(std::initializer_list<std::string_view> fields) const {
        return std::all_of(fields.begin(), fields.end(),
                           [this](std::string_view name) { return PoolFieldGiven(report_, p_, name); });
    }

    // Why the residency times are absent, in the order they were looked at.
    [[nodiscard]] Outcome ResidencyReason() const {
        if (report_.ElapsedSeconds <= 0) {
            return Reason(NoIntervalReason);
        }
        if (pool_.VPSize <= 0) {
            return Reason(NoPoolSizeReason);
        }
        return Reason(NoReadsReason);
    }

    [[nodiscard]] Outcome Db2Count(PoolFigure figure) const {
        if (db2_ == nullptr) {
            // A display's pool without facts of its own (a cut display) has no figure; a monitor's report
            // never has one.
            return Reason(report_.Db2Display ? NotInThisInput : NoDb2FigureReason);
        }
        const std::optional<std::int64_t> v = db2_->figures.Get(figure);
        if (!v) {
            return Reason(NotInThisInput);
        }
        return Value(static_cast<double>(*v));
    }

    [[nodiscard]] Outcome Measure(RatingKind kind) const {
        switch (kind) {
        case RatingKind::SystemResidency:
            if (!Given({"VPSize", "PoolPagesRead"})) {
                return Reason(NotInThisInput);
            }
            return metrics_.systemResidencySeconds ? Value(*metrics_.systemResidencySeconds) : ResidencyReason();
        case RatingKind::SequentialResidency: {
            if (!Given({"VPSize", "VPSeqThreshold", "PoolPagesRead", "PoolPagesReadByType(2)", "PoolPagesReadByType(3)",
                        "PoolPagesReadByType(4)"})) {
                return Reason(NotInThisInput);
            }
            if (!metrics_.sequentialResidencySeconds) {
                return ResidencyReason();
            }
            const double prefetch = static_cast<double>(pool_.PoolPagesReadByType(2)) + pool_.PoolPagesReadByType(3) +
                                    pool_.PoolPagesReadByType(4);
            return prefetch > 0 ? Value(*metrics_.sequentialResidencySeconds) : Reason(NoPrefetchReason);
        }
        case RatingKind::RandomHitRatio:
            return RandomHitRatio();
        case RatingKind::SyncReadRate:
            if (!Given({"PoolReadIOsByType(1)"})) {
                return Reason(NotInThisInput);
            }
            if (report_.ElapsedSeconds <= 0) {
                return Reason(NoIntervalReason);
            }
            return Value(static_cast<double>(pool_.PoolReadIOsByType(1)) / static_cast<double>(report_.ElapsedSeconds));
        case RatingKind::PrefetchDisabled:
            return Db2Count(PoolFigure::PrefetchNoBuffer);
        case RatingKind::DmthHits:
            return Db2Count(PoolFigure::DmthHits);
        case RatingKind::NoWriteEngine:
        case RatingKind::Count:
            break;
        }
        return Db2Count(PoolFigure::NoWriteEngine);
    }

    [[nodiscard]] Outcome RandomHitRatio() const {
        double getpages = 0;
        double syncReads = 0;
        if (db2_ != nullptr) {
            const std::optional<std::int64_t> g = db2_->figures.Get(PoolFigure::RandomGetpages);
            const std::optional<std::int64_t> s = db2_->figures.Get(PoolFigure::SyncReadIosRandom);
            if (!g || !s) {
                return Reason(NotInThisInput);
            }
            getpages = static_cast<double>(*g);
            syncReads = static_cast<double>(*s);
        } else {
            if (!Given({"PoolGetPagesByAccess(2)", "PoolPagesReadByType(1)"})) {
                return Reason(NotInThisInput);
            }
            getpages = static_cast<double>(pool_.PoolGetPagesByAccess(2));
            syncReads = static_cast<double>(pool_.PoolPagesReadByType(1));
        }
        if (getpages <= 0) {
            return Reason(NoRandomGetpagesReason);
        }
        return Value(std::clamp((getpages - syncReads) / getpages * 100, 0.0, 100.0));
    }

    const Report& report_;
    int p_;
    const PoolRecord& pool_;
    const RatingThresholds& thresholds_;
    PoolMetrics metrics_;
    const Db2PoolFacts* db2_ = nullptr;
};

} // namespace

const std::array<RatingDefinition, RatingKindCount>& RatingDefinitions() {
    return Definitions;
}

const std::vector<std::string_view>& RatingReasons() {
    static const std::vector<std::string_view> reasons{NoIntervalReason, NoPoolSizeReason,       NoReadsReason,
                                                       NoPrefetchReason, NoRandomGetpagesReason, NoDb2FigureReason,
                                                       NotInThisInput,   NoSuchPoolReason};
    return reasons;
}

const RatingDefinition& DefinitionOf(RatingKind kind) {
    return Definitions.at(static_cast<std::size_t>(kind));
}

std::optional<RatingKind> RatingKindOfKey(std::string_view key) {
    for (const RatingDefinition& d : Definitions) {
        if (d.key == key) {
            return d.kind;
        }
    }
    return std::nullopt;
}

RatingThresholds DefaultRatingThresholds() {
    RatingThresholds thresholds;
    std::transform(Definitions.begin(), Definitions.end(), thresholds.begin(),
                   [](const RatingDefinition& d) { return d.defaults; });
    return thresholds;
}

std::string WithUnit(std::string number, std::string_view unit) {
    if (unit.empty()) {
        return number;
    }
    return unit.front() == '/' ? number + std::string(unit) : number + ' ' + std::string(unit);
}

std::string_view RatingVerdictKey(RatingVerdict verdict) {
    switch (verdict) {
    case RatingVerdict::Good:
        return "good";
    case RatingVerdict::Warning:
        return "warning";
    case RatingVerdict::Exception:
        return "exception";
    case RatingVerdict::NotApplicable:
        break;
    }
    return "not_applicable";
}

std::string_view RatingVerdictText(RatingVerdict verdict) {
    switch (verdict) {
    case RatingVerdict::Good:
        return "Good";
    case RatingVerdict::Warning:
        return "Warning";
    case RatingVerdict::Exception:
        return "Exception";
    case RatingVerdict::NotApplicable:
        break;
    }
    return "Not applicable";
}

std::optional<RatingVerdict> RatingVerdictOfKey(std::string_view key) {
    for (const RatingVerdict v :
         {RatingVerdict::NotApplicable, RatingVerdict::Good, RatingVerdict::Warning, RatingVerdict::Exception}) {
        if (RatingVerdictKey(v) == key) {
            return v;
        }
    }
    return std::nullopt;
}

RatingVerdict Judge(double value, WorseWhen worseWhen, const RatingThreshold& threshold) {
    const auto beyond = [value, worseWhen](const std::optional<double>& bound) {
        return bound && (worseWhen == WorseWhen::Below ? value < *bound : value > *bound);
    };
    if (beyond(threshold.exception)) {
        return RatingVerdict::Exception;
    }
    if (beyond(threshold.warning)) {
        return RatingVerdict::Warning;
    }
    return RatingVerdict::Good;
}

RatingVerdict PoolRating::Worst() const {
    RatingVerdict worst = RatingVerdict::NotApplicable;
    for (const Rating& r : ratings) {
        worst = std::max(worst, r.verdict);
    }
    return worst;
}

PoolRating RatePool(const Report& report, int p, const RatingThresholds& thresholds) {
    if (!report.HasPool(p)) {
        PoolRating rating;
        rating.pool = p;
        for (std::size_t k = 0; k < RatingKindCount; ++k) {
            rating.ratings[k].kind = static_cast<RatingKind>(k);
            rating.ratings[k].threshold = thresholds[k];
            rating.ratings[k].reason = NoSuchPoolReason;
        }
        return rating;
    }
    return PoolRater(report, p, thresholds).Rate();
}

bool PoolNameMatches(std::string_view pattern, std::string_view poolName) {
    return Matches(TrimBlanks(pattern), TrimBlanks(poolName));
}

RatingThresholds RatingSettings::For(std::string_view poolName) const {
    RatingThresholds thresholds = defaults;
    std::array<std::array<bool, 2>, RatingKindCount> set{};
    for (const PoolThresholdRule& rule : rules) {
        if (!PoolNameMatches(rule.pattern, poolName)) {
            continue;
        }
        const auto k = static_cast<std::size_t>(rule.kind);
        if (rule.SetsWarning() && !set[k][0]) {
            thresholds[k].warning = rule.warningOff ? std::nullopt : rule.threshold.warning;
            set[k][0] = true;
        }
        if (rule.SetsException() && !set[k][1]) {
            thresholds[k].exception = rule.exceptionOff ? std::nullopt : rule.threshold.exception;
            set[k][1] = true;
        }
    }
    return thresholds;
}

std::vector<PoolRating> RateReport(const Report& report, const RatingSettings& settings) {
    std::vector<PoolRating> ratings;
    ratings.reserve(static_cast<std::size_t>(report.PoolCount()));
    for (int p = 1; p <= report.PoolCount(); ++p) {
        ratings.push_back(RatePool(report, p, settings.For(report.Pools(p).PoolName.Trimmed())));
    }
    return ratings;
}

} // namespace ornexa
