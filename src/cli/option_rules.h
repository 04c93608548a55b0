#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/run_request.h"

namespace ornexa::cli {

// What a run does: the one thing it writes, and what it does beside (the exports, a regrouping).
enum class Use : std::uint8_t {
    TextReport,
    JsonReport,
    Commands,
    RegroupStatements,
    CsvPools,
    CsvObjects,
    CsvRules,
    CsvClusters,
    ClusterExport,
    IndexExport,
    Regroup,
    Import,
    Watch,
    List,
    Trend,
    Compare,
    Health,        // --health of the report read
    HistoryHealth, // --health of the reports held
    Sizing,        // --budget
    NoCommand,     // --history with --list=false or --trend=false: refused once the options are checked
};

// A set of uses.
class Uses {
public:
    constexpr Uses() = default;
    constexpr Uses(std::initializer_list<Use> uses) {
        for (const Use use : uses) {
            bits_ |= Bit(use);
        }
    }
    [[nodiscard]] constexpr bool Has(Use use) const { return (bits_ & Bit(use)) != 0; }
    [[nodiscard]] constexpr bool Meets(Uses other) const { return (bits_ & other.bits_) != 0; }
    [[nodiscard]] constexpr Uses With(Uses other) const { return FromBits(bits_ | other.bits_); }
    [[nodiscard]] constexpr Uses Without(Uses other) const { return FromBits(bits_ & ~other.bits_); }
    constexpr bool operator==(const Uses&) const = default;

private:
    static constexpr std::uint32_t Bit(Use use) { return std::uint32_t{1} << static_cast<unsigned>(use); }
    static constexpr Uses FromBits(std::uint32_t bits) {
        Uses uses;
        uses.bits_ = bits;
        return uses;
    }
    std::uint32_t bits_ = 0;
};

inline constexpr Uses ReportUses{Use::TextReport,    Use::JsonReport,  Use::Commands, Use::RegroupStatements,
                                 Use::CsvPools,      Use::CsvObjects,  Use::CsvRules, Use::CsvClusters,
                                 Use::ClusterExport, Use::IndexExport, Use::Regroup,  Use::Health,
                                 Use::Sizing};

// The uses of a request: its mode's, and for the report's modes the exports and the regrouping beside.
Uses UsesOf(const RunRequest& request);

// The options given on the command line and how often (the values of a repeated option), by the
// name the messages give them: "STATFILE", "--sim", ...; "--csv LIST" stands for --csv with a list named.
class GivenOptions {
public:
    void Add(std::string name, std::size_t count);
    [[nodiscard]] std::size_t Count(std::string_view name) const;
    [[nodiscard]] bool Has(std::string_view name) const { return Count(name) > 0; }

private:
    std::map<std::string, std::size_t, std::less<>> counts_;
};

// A refused command line, told as the command line library tells its own usage errors.
struct Refusal {
    enum class Kind {
        Required,   // "STATFILE is required"
        NeedsValue, // "Expected exactly 1 arguments to --csv, got 0"
        Requires,   // "<subject> requires <text>"
        NotValid,   // "<subject>: <text>"
    };
    Kind kind = Kind::NotValid;
    std::string subject;
    std::string text;
    bool operator==(const Refusal&) const = default;
};

// Two options that are never given together, whatever else is: the command line library refuses them
// as it parses ("--json excludes --commands") and --help lists them beside each.
struct Exclusion {
    std::string_view option;
    std::string_view other;
};
// An option that means nothing without another ("--cluster requires --export-clusters").
struct Need {
    std::string_view option;
    std::string_view needed;
};
inline constexpr std::array<Exclusion, 34> Exclusions{{
    {"--commands", "--json"},
    {"--regroup", "--export-clusters"},
    {"--regroup", "--export-indexes"},
    {"--csv", "--json"},
    {"--csv", "--export-clusters"},
    {"--csv", "--export-indexes"},
    {"--csv", "--commands"},
    {"--csv", "--regroup"},
    {"--list", "--import"},
    {"--trend", "--import"},
    {"--trend", "--list"},
    {"--compare", "--import"},
    {"--compare", "--list"},
    {"--compare", "--trend"},
    {"--health", "--import"},
    {"--health", "--list"},
    {"--health", "--trend"},
    {"--health", "--compare"},
    {"--watch", "--import"},
    {"--watch", "--list"},
    {"--watch", "--trend"},
    {"--watch", "--compare"},
    {"--watch", "--health"},
    {"--budget", "--commands"},
    {"--budget", "--regroup"},
    {"--budget", "--csv"},
    {"--budget", "--export-clusters"},
    {"--budget", "--export-indexes"},
    {"--budget", "--health"},
    {"--budget", "--import"},
    {"--budget", "--watch"},
    {"--budget", "--list"},
    {"--budget", "--trend"},
    {"--budget", "--compare"},
}};
inline constexpr std::array<Need, 6> Needs{{{"--cluster", "--export-clusters"},
                                            {"--csv-raw", "--csv"},
                                            {"--protect", "--budget"},
                                            {"--max", "--budget"},
                                            {"--load-band", "--budget"},
                                            {"--no-estimate", "--budget"}}};

// The first rule of the table a parsed command line breaks, once Exclusions and Needs hold; nothing when
// the request can run.
std::optional<Refusal> RefusedCombination(const RunRequest& request, const GivenOptions& given);

} // namespace ornexa::cli
