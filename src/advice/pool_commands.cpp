#include "advice/pool_commands.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "report/decimal_digits.h"
#include "report/fixed_text.h"
#include "report/latin1.h"
#include "report/letter_case.h"
#include "report/number_format.h"
#include "report/pool_choice.h"
#include "rules/config_rules.h"

namespace ornexa {
namespace {

// The number `digits` spells, when it is one to `most` decimal digits without a leading zero
// (a lone "0" aside).
std::optional<int> SmallNumber(std::string_view digits, std::size_t most) {
    if (digits.size() > 1 && digits.front() == '0') {
        return std::nullopt;
    }
    return DecimalDigits(digits, most);
}

std::string RuleSource(int n) {
    return "rule " + std::to_string(n);
}

} // namespace

std::string_view AdviceKindKey(AdviceKind kind) {
    return kind == AdviceKind::Sql ? "sql" : "command";
}

std::optional<int> PageSizeKB(std::string_view poolName) {
    const std::string name = UpperCase(TrimBlanks(poolName));
    if (name.size() < 3 || name.compare(0, 2, "BP") != 0) {
        return std::nullopt;
    }
    const std::string_view rest = std::string_view(name).substr(2);
    for (const auto& [prefix, kb] : {std::pair<std::string_view, int>{"8K", 8}, {"16K", 16}, {"32K", 32}}) {
        if (rest.starts_with(prefix)) {
            const std::string_view digits = rest.substr(prefix.size());
            if (kb == 32 && digits.empty()) {
                return kb;
            }
            const std::optional<int> n = SmallNumber(digits, 1);
            if (n && (kb != 32 || *n >= 1)) {
                return kb;
            }
            return std::nullopt;
        }
    }
    const std::optional<int> n = SmallNumber(rest, 2);
    if (n && *n <= 49) {
        return 4;
    }
    return std::nullopt;
}

std::vector<std::string> BufferPoolNames(int pageSizeKB) {
    std::vector<std::string> names;
    switch (pageSizeKB) {
    case 4:
        for (int i = 0; i <= 49; ++i) {
            names.push_back("BP" + std::to_string(i));
        }
        break;
    case 8:
    case 16:
        for (int i = 0; i <= 9; ++i) {
            names.push_back("BP" + std::to_string(pageSizeKB) + "K" + std::to_string(i));
        }
        break;
    case 32:
        names.emplace_back("BP32K");
        for (int i = 1; i <= 9; ++i) {
            names.push_back("BP32K" + std::to_string(i));
        }
        break;
    default:
        break;
    }
    return names;
}

std::optional<int> Db2MajorVersion(std::string_view version) {
    std::string_view text = TrimBlanks(version);
    if (!text.empty() && (text.front() == 'V' || text.front() == 'v')) {
        text.remove_prefix(1);
    }
    const auto end = std::find_if(text.begin(), text.end(), [](char c) { return c < '0' || c > '9'; });
    const std::string_view digits = text.substr(0, static_cast<std::size_t>(end - text.begin()));
    if (digits.empty() || digits.size() > 3) {
        return std::nullopt;
    }
    int n = 0;
    for (const char c : digits) {
        n = n * 10 + (c - '0');
    }
    if (n == 0) {
        return std::nullopt;
    }
    return n;
}

std::optional<bool> HasHiperpools(const ReportHeader& header) {
    const std::optional<int> major = Db2MajorVersion(header.Db2Version.Trimmed());
    if (!major) {
        return std::nullopt;
    }
    return *major < 8;
}

std::string AlterBufferPool(std::string_view poolName, std::string_view options) {
    return "-ALTER BUFFERPOOL(" + UpperCase(TrimBlanks(poolName)) + ") " + std::string(options);
}

namespace {

// The -ALTER BUFFERPOOL options that mend rule n's finding; none, with a note why, for a finding
// that no command mends.
std::string RuleOptions(const MatchedRule& rule, const ReportHeader& header, std::optional<bool> hiperpools,
                        std::vector<std::string>& notes) {
    const int n = rule.number;
    switch (n) {
    case 10:
        return "VPSEQT(25)";
    case 20:
        return "VPSEQT(90)";
    case 21:
        return "VPSEQT(95)";
    case 24:
        return rule.figure ? "VDWQT(" + std::to_string(*rule.figure) + ",0)" : std::string{};
    case 26:
        return rule.figure ? "DWQT(" + std::to_string(*rule.figure) + ")" : std::string{};
    case 6:
    case 18:
    case 22:
        if (!hiperpools) {
            notes.push_back(RuleSource(n) + ": the Db2 version \"" + Latin1ToUtf8(header.Db2Version.Trimmed()) +
                            "\" is not known; no hiperpool command");
            return {};
        }
        if (!*hiperpools) {
            notes.push_back(RuleSource(n) + ": hiperpools no longer exist from Db2 version 8 on; no command");
            return {};
        }
        return n == 18 ? "HPSEQT(0)" : "HPSIZE(0)";
    case 30:
    case 31:
    case 32:
    case 34:
    case 36:
        notes.push_back(RuleSource(n) + ": I/O times call for a look at the devices; no command");
        return {};
    default:
        notes.push_back(RuleSource(n) + ": moving objects needs a choice of pools (see the cluster "
                                        "analysis); no command");
        return {};
    }
}

// Adds the command for rule n, or the note why there is none: a pool name that takes no command
// (noted once), or the same command for an earlier rule.
void AddRuleCommand(PoolAdvice& advice, int n, const std::string& name, const std::string& options, bool validName,
                    bool& nameNoted) {
    if (!validName) {
        if (!nameNoted) {
            advice.notes.push_back("\"" + name + "\" is not a buffer-pool name; no command is written for it");
            nameNoted = true;
        }
        return;
    }
    Advice command{RuleSource(n), AdviceKind::Command, AlterBufferPool(name, options)};
    const auto same = std::find_if(advice.commands.begin(), advice.commands.end(),
                                   [&command](const Advice& a) { return a.text == command.text; });
    if (same != advice.commands.end()) {
        advice.notes.push_back(RuleSource(n) + ": the same command as " + same->source);
        return;
    }
    advice.commands.push_back(std::move(command));
}

} // namespace

PoolAdvice RuleCommands(const Report& report, int p, PoolUsage usage) {
    PoolAdvice advice;
    if (!report.HasPool(p)) {
        return advice;
    }
    const std::string name = ShownPoolName(report, p);
    const bool validName = PageSizeKB(name).has_value();
    const std::optional<bool> hiperpools = HasHiperpools(report.Header);
    bool nameNoted = false;

    for (const MatchedRule& rule : MatchedRulesFor(report, p, usage)) {
        const std::string options = RuleOptions(rule, report.Header, hiperpools, advice.notes);
        if (!options.empty()) {
            AddRuleCommand(advice, rule.number, name, options, validName, nameNoted);
        }
    }
    return advice;
}

SizeAdvice ProposePoolSize(const Report& report, const SimulationData& sim, int p) {
    SizeAdvice advice;
    if (!report.HasPool(p) || sim.ShownPool() != p) {
        return advice;
    }
    const PoolRecord& pool = report.Pools(p);
    const PoolSimulation& simulated = sim.Pools(p);
    const NumberRange sizes = sim.Sizes();
    if (sizes.Count() < 2) {
        advice.notes.emplace_back("simulation: fewer than two simulated sizes; no size proposed");
        return advice;
    }
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -std::numeric_limits<double>::infinity();
    for (const int k : sizes) {
        lowest = std::min(lowest, simulated.SimReadIORate(k));
        highest = std::max(highest, simulated.SimReadIORate(k));
    }
    if (!std::isfinite(lowest) || !std::isfinite(highest) || highest <= 0) {
        advice.notes.emplace_back("simulation: every simulated read I/O rate is zero; no size proposed");
        return advice;
    }
    if (lowest == highest) {
        advice.notes.emplace_back(
            "simulation: every simulated size has the same read I/O rate; the simulation points to no size");
        return advice;
    }
    int best = 0;
    for (const int k : sizes) {
        const bool near = simulated.SimReadIORate(k) <= lowest * (1 + SizeRateTolerance);
        if (near && sim.Sim.SimVPSize(k) > 0 && (best == 0 || simulated.SimPoolSize(k) < simulated.SimPoolSize(best))) {
            best = k;
        }
    }
    if (best == 0) {
        advice.notes.emplace_back("simulation: no simulated size with buffers has the lowest read I/O rate");
        return advice;
    }

    SizeProposal proposal;
    proposal.simulatedPool = p;
    proposal.currentSize = pool.VPSize;
    proposal.proposedIndex = best;
    proposal.proposedSize = sim.Sim.SimVPSize(best);
    proposal.proposedHitRatio = simulated.SimSysHitRatio(best);
    proposal.proposedIORate = simulated.SimReadIORate(best);
    const long long current = static_cast<long long>(pool.VPSize) + pool.HPSize;
    for (const int k : sizes) {
        if (simulated.SimPoolSize(k) == current) {
            proposal.currentHitRatio = simulated.SimSysHitRatio(k);
            proposal.currentIORate = simulated.SimReadIORate(k);
            break;
        }
    }
    const std::string name = ShownPoolName(report, p);
    const std::optional<int> kb = PageSizeKB(name);
    if (kb) {
        proposal.storageKB = (static_cast<long long>(proposal.proposedSize) - pool.VPSize) * *kb;
    }
    advice.proposal = proposal;

    if (proposal.proposedSize == pool.VPSize) {
        advice.notes.push_back("simulation: the pool already has the proposed size of " + std::to_string(pool.VPSize) +
                               " buffers");
    } else if (!kb) {
        advice.notes.push_back("\"" + name + "\" is not a buffer-pool name; no command is written for it");
    } else {
        advice.command = Advice{"simulation", AdviceKind::Command,
                                AlterBufferPool(name, "VPSIZE(" + std::to_string(proposal.proposedSize) + ")")};
    }
    return advice;
}

namespace {

std::string Db2SizeNote(const Db2SizeCurve& curve, std::string_view verdict) {
    return "Db2 simulation: a pool of " + std::to_string(curve.simulated.size) + " buffers " + std::string(verdict) +
           "; no size proposed";
}

} // namespace

SizeAdvice ProposeDb2PoolSize(const Report& report, int p) {
    SizeAdvice advice;
    const std::optional<Db2SizeCurve> curve = Db2SizeCurveOf(report, p);
    if (!curve) {
        return advice;
    }
    if (curve->avoidableSyncReads == 0) {
        advice.notes.push_back(Db2SizeNote(*curve, "would have avoided no synchronous read"));
        return advice;
    }
    const std::optional<double> now = curve->current.syncReadsPerSecond;
    const std::optional<double> then = curve->simulated.syncReadsPerSecond;
    if (!curve->avoidableSyncReadsPerSecond || !now || !then) {
        advice.notes.emplace_back("Db2 simulation: the display gives no end of its interval, so the synchronous reads "
                                  "per second that the simulated pool avoids are not known; no size proposed");
        return advice;
    }
    const double avoided = *curve->avoidableSyncReadsPerSecond;
    if (avoided < Db2MinAvoidableReadsPerSecond || *now <= *then * (1 + SizeRateTolerance)) {
        const double share = *now > 0 ? 100 * avoided / *now : 0;
        advice.notes.push_back(Db2SizeNote(*curve, "would have avoided " + FormatPicture(avoided, "0.00") +
                                                       " synchronous reads per second (" + FormatPicture(share, "0.0") +
                                                       " % of them), too few to be worth the storage"));
        return advice;
    }

    const PoolRecord& pool = report.Pools(p);
    SizeProposal proposal;
    proposal.simulatedPool = p;
    proposal.currentSize = pool.VPSize;
    proposal.proposedSize = curve->simulated.size;
    proposal.proposedIndex = 2;
    proposal.currentHitRatio = curve->current.hitRatio;
    proposal.currentIORate = now;
    proposal.proposedHitRatio = curve->simulated.hitRatio.value_or(0);
    proposal.proposedIORate = *then;
    proposal.fromDb2 = true;
    const std::string name = ShownPoolName(report, p);
    const std::optional<int> kb = PageSizeKB(name);
    if (kb) {
        proposal.storageKB = (static_cast<long long>(proposal.proposedSize) - pool.VPSize) * *kb;
    }
    advice.proposal = proposal;
    if (!kb) {
        advice.notes.push_back("\"" + name + "\" is not a buffer-pool name; no command is written for it");
    } else {
        advice.command = Advice{std::string(Db2SimulationSource), AdviceKind::Command,
                                AlterBufferPool(name, "VPSIZE(" + std::to_string(proposal.proposedSize) + ")")};
    }
    return advice;
}

PoolAdvice PoolCommands(const Report& report, const SimulationData& sim, int p, PoolUsage usage) {
    PoolAdvice advice = RuleCommands(report, p, usage);
    SizeAdvice size = sim.ShownPool() == p ? ProposePoolSize(report, sim, p) : ProposeDb2PoolSize(report, p);
    if (size.command) {
        advice.commands.push_back(std::move(*size.command));
    }
    advice.notes.insert(advice.notes.end(), size.notes.begin(), size.notes.end());
    advice.size = size.proposal;
    return advice;
}

std::string SizeExpectation(const SizeProposal& proposal) {
    const auto figure = [](double value, std::string_view picture) { return FormatPicture(value, picture); };
    std::string text = "at " + std::to_string(proposal.proposedSize) + " buffers the system hit ratio ";
    text += proposal.currentHitRatio ? "goes from " + figure(*proposal.currentHitRatio, "0.0") + " % to "
                                     : std::string("becomes ");
    text += figure(proposal.proposedHitRatio, "0.0") + " % and the " + (proposal.fromDb2 ? "synchronous " : "") +
            "read I/O rate ";
    text +=
        proposal.currentIORate ? "from " + figure(*proposal.currentIORate, "0.00") + "/s to " : std::string("becomes ");
    text += figure(proposal.proposedIORate, "0.00") + "/s";
    if (proposal.storageKB) {
        const long long kb = *proposal.storageKB;
        text += kb >= 0 ? "; it adds " + std::to_string(kb) + " KB of real storage"
                        : "; it frees " + std::to_string(-kb) + " KB of real storage";
    }
    return text;
}

std::string CommandsFileText(const std::vector<PoolAdviceEntry>& pools) {
    std::string text = "-- Buffer pool changes written by ornexa.\n";
    for (const AdviceKind kind : {AdviceKind::Command, AdviceKind::Sql}) {
        text += kind == AdviceKind::Command ? "\n-- Db2 commands\n" : "\n-- SQL statements\n";
        const std::size_t before = text.size();
        for (const PoolAdviceEntry& entry : pools) {
            const bool any = std::any_of(entry.advice.commands.begin(), entry.advice.commands.end(),
                                         [kind](const Advice& a) { return a.kind == kind; });
            const bool notes = kind == AdviceKind::Command && !entry.advice.notes.empty();
            if (!any && !notes) {
                continue;
            }
            text += "-- " + entry.poolName + "\n";
            for (const Advice& a : entry.advice.commands) {
                if (a.kind == kind) {
                    text += a.text + "\n";
                    if ((a.source == "simulation" || a.source == Db2SimulationSource) && entry.advice.size) {
                        text += "--   " + SizeExpectation(*entry.advice.size) + "\n";
                    }
                }
            }
            if (notes) {
                for (const std::string& note : entry.advice.notes) {
                    text += "--   " + note + "\n";
                }
            }
        }
        if (text.size() == before) {
            text += "-- none\n";
        }
    }
    return text;
}

} // namespace ornexa

namespace ornexa {
namespace {

constexpr std::int64_t MaxRatioTenths = 2550;
constexpr std::int64_t KBPerMB = 1024;

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    return (a + b - 1) / b;
}

std::int64_t WholeMegabytes(std::int64_t kb) {
    return CeilDiv(kb, KBPerMB) * KBPerMB;
}

} // namespace

std::string AlterGroupBufferPoolRatio(std::string_view poolName, std::int64_t ratioTenths) {
    const std::string ratio = ratioTenths > 250
                                  ? std::to_string(CeilDiv(ratioTenths, 10))
                                  : std::to_string(ratioTenths / 10) + "." + std::to_string(ratioTenths % 10);
    return "-ALTER GROUPBUFFERPOOL(" + UpperCase(TrimBlanks(poolName)) + ") RATIO(" + ratio + ")";
}

std::string AlterStructureSize(const std::optional<std::string>& groupName, std::string_view poolName,
                               std::int64_t sizeKB) {
    const std::string group = groupName ? UpperCase(*groupName) : std::string(GroupNamePlaceholder);
    return "SETXCF START,ALTER,STRNAME=" + group + "_" + UpperCase(TrimBlanks(poolName)) +
           ",SIZE=" + std::to_string(sizeKB) + "K";
}

std::optional<std::int64_t> ProposedRatioTenths(const Db2GroupPoolFacts& pool) {
    const auto ratio = GroupPoolRatioTenths(pool);
    const auto entries = pool.figures.Get(GroupPoolFigure::DirectoryEntries);
    const auto reclaims = pool.figures.Get(GroupPoolFigure::DirectoryReclaims);
    if (!ratio || !entries || *entries <= 0 || !reclaims || *reclaims <= 0) {
        return std::nullopt;
    }
    const auto wanted = static_cast<std::int64_t>(std::ceil(
        static_cast<double>(*ratio) * static_cast<double>(*entries + *reclaims) / static_cast<double>(*entries)));
    return std::clamp<std::int64_t>(std::max(wanted, *ratio + 1), 10, MaxRatioTenths);
}

std::optional<std::int64_t> ProposedStructureSizeKB(const Db2GroupPoolFacts& pool, GroupPoolRule rule) {
    const auto size = pool.figures.Get(GroupPoolFigure::StructureSize);
    if (!size || *size <= 0) {
        return std::nullopt;
    }
    const bool reclaims = rule == GroupPoolRule::DirectoryReclaims;
    const auto entries = pool.figures.Get(reclaims ? GroupPoolFigure::DirectoryEntries : GroupPoolFigure::DataEntries);
    const auto lacking =
        pool.figures.Get(reclaims ? GroupPoolFigure::DirectoryReclaims : GroupPoolFigure::WritesFailedNoStorage);
    if (!entries || *entries <= 0 || !lacking || *lacking <= 0) {
        return std::nullopt;
    }
    double grown =
        static_cast<double>(*size) * static_cast<double>(*entries + *lacking) / static_cast<double>(*entries);
    if (!reclaims) {
        grown = std::max(grown, static_cast<double>(*size) * 1.25);
    }
    return std::max(WholeMegabytes(static_cast<std::int64_t>(std::ceil(grown))), *size + KBPerMB);
}

GroupPoolAdvice GroupPoolCommands(const Db2GroupPoolFacts& pool, const std::optional<std::string>& groupName,
                                  NumberStyle style) {
    GroupPoolAdvice advice{pool.name, {}};
    for (GroupPoolFinding& finding : GroupPoolFindings(pool, style)) {
        GroupPoolFindingAdvice item{std::move(finding), {}, {}};
        const std::string source(GroupPoolRuleKey(item.finding.rule));
        if (item.finding.rule == GroupPoolRule::DirectoryReclaims) {
            if (const auto ratio = ProposedRatioTenths(pool)) {
                item.commands.push_back({source, AdviceKind::Command, AlterGroupBufferPoolRatio(pool.name, *ratio)});
                item.notes.emplace_back("the new RATIO takes effect when the structure is next allocated or rebuilt; "
                                        "at the same size it leaves fewer data entries");
            } else {
                item.notes.emplace_back("no RATIO computed: the display does not give the directory entries or the "
                                        "ratio");
            }
        } else {
            item.notes.emplace_back("or lower the castout thresholds with -ALTER GROUPBUFFERPOOL(" + pool.name +
                                    ") CLASST(...) GBPOOLT(...)");
        }
        if (const auto size = ProposedStructureSizeKB(pool, item.finding.rule)) {
            item.commands.push_back({source, AdviceKind::Command, AlterStructureSize(groupName, pool.name, *size)});
            item.notes.emplace_back("SETXCF START,ALTER grows the structure only up to the SIZE of its CFRM policy");
            if (!groupName) {
                item.notes.push_back("replace " + std::string(GroupNamePlaceholder) +
                                     " with the data sharing group's name: the display does not give it");
            }
        } else {
            item.notes.emplace_back("no structure size computed: the display does not give the allocated size or "
                                    "the entries");
        }
        advice.findings.push_back(std::move(item));
    }
    return advice;
}

std::vector<GroupPoolAdvice> GroupPoolsAdvice(const Report& report, NumberStyle style) {
    std::vector<GroupPoolAdvice> pools;
    if (report.Db2Display) {
        for (const Db2GroupPoolFacts& pool : report.Db2Display->groupPools) {
            pools.push_back(GroupPoolCommands(pool, std::nullopt, style));
        }
    }
    return pools;
}

std::string GroupPoolCommandsText(const std::vector<GroupPoolAdvice>& pools) {
    std::string text;
    for (const GroupPoolAdvice& pool : pools) {
        if (pool.findings.empty()) {
            continue;
        }
        text += "-- " + pool.pool + "\n";
        for (const GroupPoolFindingAdvice& item : pool.findings) {
            text += "--   " + item.finding.text + "\n";
            for (const Advice& a : item.commands) {
                text += a.text + "\n";
            }
            for (const std::string& note : item.notes) {
                text += "--   " + note + "\n";
            }
        }
    }
    return text.empty() ? text : "\n-- Group buffer pools\n" + text;
}

} // namespace ornexa
