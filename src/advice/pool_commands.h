#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/db2_figures.h"
#include "report/report_model.h"
#include "rules/group_pool_rules.h"
#include "rules/pool_usage.h"
#include "simulation/db2_simulation.h"
#include "simulation/sim_data.h"

namespace ornexa {

// A Db2 command (run from the console) or an SQL statement (run through SPUFI or the like).
enum class AdviceKind { Command, Sql };
std::string_view AdviceKindKey(AdviceKind kind); // "command", "sql"

// One statement that carries out a finding: where it comes from ("rule 24", "simulation",
// "cluster 3"), its kind, and its text ready for the host.
struct Advice {
    std::string source;
    AdviceKind kind = AdviceKind::Command;
    std::string text;
    friend bool operator==(const Advice&, const Advice&) = default;
};

// The page size in KB a buffer-pool name stands for: BP0-BP49 4, BP8K0-BP8K9 8, BP16K0-BP16K9 16,
// BP32K and BP32K1-BP32K9 32; absent when the name (trimmed, any case) is no buffer-pool name.
std::optional<int> PageSizeKB(std::string_view poolName);
// The buffer-pool names of a page size, in name order (BP0, BP1, ..., BP49 for 4 KB).
std::vector<std::string> BufferPoolNames(int pageSizeKB);

// The major version of a Db2 version text ("7.1", "V8", "10.15.007.1" give 7, 8, 10); absent when
// it does not start with a number (after an optional "V").
std::optional<int> Db2MajorVersion(std::string_view version);
// Hiperpools exist below version 8; absent when the version is not known.
std::optional<bool> HasHiperpools(const ReportHeader& header);

// "-ALTER BUFFERPOOL(BP1) VDWQT(3,0)" from "BP1" and "VDWQT(3,0)"; the name is trimmed and upper-cased.
std::string AlterBufferPool(std::string_view poolName, std::string_view options);

// The pool size the simulation proposes: the smallest simulated size whose read I/O rate is within
// 5 % of the lowest simulated rate, with what it is expected to give.
inline constexpr double SizeRateTolerance = 0.05;
struct SizeProposal {
    int simulatedPool = 0;
    Long currentSize = 0;                  // VPSize
    std::int64_t proposedSize = 0;         // buffers (VPSIZE goes beyond 32 bits)
    int proposedIndex = 0;                 // 1-based simulated size
    std::optional<double> currentHitRatio; // at the current size, when it was simulated
    std::optional<double> currentIORate;
    double proposedHitRatio = 0;
    double proposedIORate = 0;
    std::optional<long long> storageKB; // (proposed - current) x page size: > 0 adds, < 0 frees
    // From Db2's own simulated pool: proposedIndex 2 is the simulated point of its two-point curve,
    // and the read I/O rates are synchronous read I/Os.
    bool fromDb2 = false;
};

// What the proposed size is expected to give, for a comment beside its command: "at 40000 buffers the
// system hit ratio goes from 85.9 % to 91.3 % and the read I/O rate from 141.36/s to 87.05/s; it adds
// 80000 KB of real storage".
std::string SizeExpectation(const SizeProposal& proposal);

// The simulation's size proposal for pool p, with the VPSIZE command when it is worth writing.
struct SizeAdvice {
    std::optional<SizeProposal> proposal;
    std::optional<Advice> command;
    std::vector<std::string> notes; // why there is no proposal or no command
};
SizeAdvice ProposePoolSize(const Report& report, const SimulationData& sim, int p);

// The size Db2's own simulated pool (ALTER BUFFERPOOL SPSIZE) proposes for pool p of a report of
// Db2's display: its simulated size, when the reads it avoids are worth the storage, that is when
// both
//  - the synchronous reads it avoids come to at least Db2MinAvoidableReadsPerSecond, and
//  - the current size's synchronous read rate is not within SizeRateTolerance of the simulated
//    size's (the monitor's rule, on the two points of the curve).
// Otherwise no proposal, with a note saying what the simulation showed.
inline constexpr double Db2MinAvoidableReadsPerSecond = 1.0;
inline constexpr std::string_view Db2SimulationSource = "db2-simulation";
SizeAdvice ProposeDb2PoolSize(const Report& report, int p);

// Every statement for pool p: the commands of the rules matched under `usage`, in rule order, then
// the pool size of the simulation when p is the simulated pool, else that of Db2's simulated pool.
struct PoolAdvice {
    std::vector<Advice> commands;
    std::vector<std::string> notes; // why a finding got no command
    std::optional<SizeProposal> size;
};
PoolAdvice PoolCommands(const Report& report, const SimulationData& sim, int p, PoolUsage usage);

// Just the rules' part of PoolCommands.
PoolAdvice RuleCommands(const Report& report, int p, PoolUsage usage);

// The commands of several pools as a file for the host: a top comment, the Db2 commands, then the
// SQL statements, each section headed by a comment; notes as comments.
struct PoolAdviceEntry {
    std::string poolName;
    PoolAdvice advice;
};
std::string CommandsFileText(const std::vector<PoolAdviceEntry>& pools);

// Group buffer pools. A structure name is the data sharing group's name, "_" and the pool's name; where
// the input does not give the group's name, this stands in its place for the user to replace.
inline constexpr std::string_view GroupNamePlaceholder = "groupname";

// "-ALTER GROUPBUFFERPOOL(GBP0) RATIO(6.5)" for a ratio in tenths: one decimal up to 25, a whole number
// above (Db2 drops the decimals of a ratio above 25).
std::string AlterGroupBufferPoolRatio(std::string_view poolName, std::int64_t ratioTenths);
// "SETXCF START,ALTER,STRNAME=DSNDB0G_GBP0,SIZE=81920K"; the placeholder without a group name.
std::string AlterStructureSize(const std::optional<std::string>& groupName, std::string_view poolName,
                               std::int64_t sizeKB);

// The ratio (tenths) that makes room in the directory for the entries it reclaimed at the same structure
// size: the ratio x (entries + reclaims) / entries, rounded up, at least a tenth more, 1.0 to 255.
std::optional<std::int64_t> ProposedRatioTenths(const Db2GroupPoolFacts& pool);
// The structure size (KB) a finding asks for, rounded up to whole megabytes: for reclaims the size that
// gives the directory its reclaimed entries at the same ratio; for failed writes the size that gives a
// data entry for each failed write, and at least a quarter more.
std::optional<std::int64_t> ProposedStructureSizeKB(const Db2GroupPoolFacts& pool, GroupPoolRule rule);

// A finding on a group buffer pool with the commands that mend it and what the user must know of them.
struct GroupPoolFindingAdvice {
    GroupPoolFinding finding;
    std::vector<Advice> commands;
    std::vector<std::string> notes;
};
struct GroupPoolAdvice {
    std::string pool; // "GBP0"
    std::vector<GroupPoolFindingAdvice> findings;
};
GroupPoolAdvice GroupPoolCommands(const Db2GroupPoolFacts& pool, const std::optional<std::string>& groupName,
                                  NumberStyle style = {});
// Every group buffer pool of a report of Db2's display, in display order; none for another report.
std::vector<GroupPoolAdvice> GroupPoolsAdvice(const Report& report, NumberStyle style = {});
// The "-- Group buffer pools" section of a commands file; empty when no pool has a finding.
std::string GroupPoolCommandsText(const std::vector<GroupPoolAdvice>& pools);

} // namespace ornexa
