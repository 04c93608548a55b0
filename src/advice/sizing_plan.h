#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "advice/pool_commands.h"
#include "advice/pool_sizing.h"
#include "advice/sizing_curves.h"
#include "report/result.h"

namespace ornexa {

// A budget as typed: a signed number of megabytes or gigabytes, "+2G", "-1G", "200M", "1.5 GB", "512mb"
// (a plain number is megabytes). MB and GB are binary, 2^20 and 2^30 bytes, as Db2 counts storage.
Result<std::int64_t> ParseBudget(std::string_view text);
// "BP0,BP8K0": pool names, trimmed and upper-cased, each once.
Result<std::vector<std::string>> ParsePoolNames(std::string_view text);
// "BP1=200000,BP2=5000": the largest size of pools, in buffers.
Result<std::map<std::string, std::int64_t>> ParseMaxBuffers(std::string_view text);

// The bounds a user sets: pools never made smaller than they are, and the largest size of pools.
struct SizingBounds {
    std::vector<std::string> keep;
    std::map<std::string, std::int64_t> maxBuffers;
};
// Sets the bounds on the curves they name (any case); a name no curve has is a message, and so is a
// maximum below the pool's current size (the pool is then held at its size).
Messages ApplyBounds(std::vector<SizingCurve>& curves, const SizingBounds& bounds);

// Everything a sizing is made of and what it gives: the curves, with their bounds, and the plan.
struct SizingRun {
    std::int64_t budgetBytes = 0;
    std::vector<SizingCurve> curves;
    SizingPlan plan; // its pools in the order of the curves
    Messages messages;
};
SizingRun PlanSizing(std::vector<SizingCurve> curves, const SizingBounds& bounds, const SizingRequest& request);

// The command that gives a pool its proposed size: VPSIZE, or for a pool Db2 sizes itself
// (AUTOSIZE(YES)) VPSIZEMAX, with VPSIZEMIN when its minimum lies above the proposed size; nothing when
// the pool keeps its size or its name is no buffer-pool name.
inline constexpr std::string_view SizingSource = "pool sizing";
std::optional<Advice> SizingCommand(const SizingCurve& curve, const SizingResult& result);

// "+80 MB", "-1.5 GB", "0 MB": storage in binary megabytes up to 1 GB, gigabytes above, with up to two
// decimals, '.' as separator.
std::string StorageText(std::int64_t bytes);

// The commands as a file for the host: a comment with the budget and the totals, per pool that moves a
// comment with its sizes, storage, reads saved and evidence and then its command; the pools left alone
// and why, as comments.
std::string SizingCommandsText(const SizingRun& run);

} // namespace ornexa
