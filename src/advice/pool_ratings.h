#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"

namespace ornexa {

// How a pool fares on one rating, from best to worst; NotApplicable when the report cannot tell (the
// rating's `reason` says why). Ordered so that the larger verdict is the worse.
enum class RatingVerdict : std::uint8_t { NotApplicable, Good, Warning, Exception };

// The ratings of a pool, in the order they are listed.
enum class RatingKind : std::uint8_t {
    SystemResidency,     // system page residency time, seconds
    SequentialResidency, // sequential page residency time, seconds
    RandomHitRatio,      // percent of random getpages found in the pool
    SyncReadRate,        // synchronous read I/Os per second
    PrefetchDisabled,    // prefetch disabled, no buffer
    DmthHits,            // data management threshold reached
    NoWriteEngine,       // write engine not available
    Count
};
inline constexpr std::size_t RatingKindCount = static_cast<std::size_t>(RatingKind::Count);

// Which side of its bounds a rating's value is worse on.
enum class WorseWhen : std::uint8_t { Below, Above };

// The bounds of a rating: a value beyond `exception` is an exception, else beyond `warning` a warning
// ("beyond" is strictly below or strictly above, by the rating's `WorseWhen`). An absent bound is never
// reached.
struct RatingThreshold {
    std::optional<double> warning;
    std::optional<double> exception;
    friend bool operator==(const RatingThreshold&, const RatingThreshold&) = default;
};
using RatingThresholds = std::array<RatingThreshold, RatingKindCount>;

// What a rating is: its key (JSON, the site file), caption, unit, formula, the figures it reads, the
// default bounds and where they are published.
struct RatingDefinition {
    RatingKind kind = RatingKind::SystemResidency;
    std::string_view key;     // "system_residency"
    std::string_view caption; // "System page residency time"
    std::string_view unit;    // "s", "%", "/s", "" for a count
    std::string_view formula;
    std::string_view inputs;
    std::string_view source;
    WorseWhen worseWhen = WorseWhen::Below;
    RatingThreshold defaults;
};
const std::array<RatingDefinition, RatingKindCount>& RatingDefinitions();
const RatingDefinition& DefinitionOf(RatingKind kind);
// The kind of a key ("system_residency"); nothing for a key no rating has.
std::optional<RatingKind> RatingKindOfKey(std::string_view key);

RatingThresholds DefaultRatingThresholds();

// A number of a rating with the rating's unit, as every output writes it: "45.2 s", "87.5 %", "1200/s"
// (a rate joined to its number), "3" for a count.
std::string WithUnit(std::string number, std::string_view unit);

// "good", "warning", "exception", "not_applicable".
std::string_view RatingVerdictKey(RatingVerdict verdict);
// "Good", "Warning", "Exception", "Not applicable".
std::string_view RatingVerdictText(RatingVerdict verdict);
std::optional<RatingVerdict> RatingVerdictOfKey(std::string_view key);

// The verdict of `value` against `threshold` for a rating worse on the `worseWhen` side.
RatingVerdict Judge(double value, WorseWhen worseWhen, const RatingThreshold& threshold);

// One rating of a pool: its value, the bounds it was judged by, the verdict, and for a rating that does
// not apply, the reason ("the report has no interval length").
struct Rating {
    RatingKind kind = RatingKind::SystemResidency;
    std::optional<double> value;
    RatingThreshold threshold;
    RatingVerdict verdict = RatingVerdict::NotApplicable;
    std::string reason;
    friend bool operator==(const Rating&, const Rating&) = default;
};

struct PoolRating {
    int pool = 0;         // 1-based pool number in the report
    std::string poolName; // trimmed
    std::array<Rating, RatingKindCount> ratings;

    [[nodiscard]] const Rating& Of(RatingKind kind) const { return ratings[static_cast<std::size_t>(kind)]; }
    // The worst verdict of its ratings; NotApplicable when none applies.
    [[nodiscard]] RatingVerdict Worst() const;
    friend bool operator==(const PoolRating&, const PoolRating&) = default;
};

// Rates pool p of the report against `thresholds`; every rating is not applicable for a pool number
// outside the report.
PoolRating RatePool(const Report& report, int p, const RatingThresholds& thresholds);

// Thresholds that differ for some pools: a pool whose name matches `pattern` (`*` any run of
// characters, `?` one, any case) takes the bounds given here, the first matching rule for each bound.
struct PoolThresholdRule {
    std::string pattern;
    RatingKind kind = RatingKind::SystemResidency;
    RatingThreshold threshold; // the bounds this rule sets; an absent one is left as it was, unless switched off
    int line = 0;              // in the site file, 0 when made in code
    bool warningOff = false;   // the rule switches the warning bound off ("none" in the site file)
    bool exceptionOff = false; // and the exception bound

    [[nodiscard]] bool SetsWarning() const { return threshold.warning || warningOff; }
    [[nodiscard]] bool SetsException() const { return threshold.exception || exceptionOff; }
    friend bool operator==(const PoolThresholdRule&, const PoolThresholdRule&) = default;
};

// The thresholds in force: the defaults (or a site file's) and its rules per pool name pattern.
struct RatingSettings {
    RatingThresholds defaults = DefaultRatingThresholds();
    std::vector<PoolThresholdRule> rules;
    std::string origin; // the site file read; empty for the built-in defaults

    [[nodiscard]] RatingThresholds For(std::string_view poolName) const;
    friend bool operator==(const RatingSettings&, const RatingSettings&) = default;
};

// Whether a pool name matches a pattern of `*` and `?`, ignoring case and trailing blanks.
bool PoolNameMatches(std::string_view pattern, std::string_view poolName);

// Every reason a rating gives for not applying, each once. Stored ratings name a reason by its place
// here: a new reason is appended, none is moved or removed.
const std::vector<std::string_view>& RatingReasons();

// Every pool of the report, in report order.
std::vector<PoolRating> RateReport(const Report& report, const RatingSettings& settings = {});

} // namespace ornexa
