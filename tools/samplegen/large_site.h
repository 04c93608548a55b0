#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "report/report_model.h"
#include "sample_report.h"
#include "stat_writer.h"

namespace ornexa::samplegen {

// The most pools a large site has: BP0 to BP49, BP8K0 to BP8K9, BP16K0 to BP16K9, BP32K to BP32K9.
inline constexpr int LargeSitePools = 80;

// The pools of a generated large site and how many objects each holds: the first `pools` of the
// names above, the objects spread unevenly (a few pools hold most of them), every pool with at
// least one object while there are objects enough. Throws std::invalid_argument for a pool count
// outside 1..80 or a negative object count.
std::vector<PoolPlan> LargeSitePlans(int pools, int objects);

// The report of those plans, with limits that hold it.
Report BuildLargeReport(int pools, int objects, std::uint64_t seed = 80);

// The same report written to `path` pool by pool, never whole in memory: the same bytes as
// StatisticsText(BuildLargeReport(...), options) without decoration. Throws std::runtime_error
// naming the file when it cannot be written.
void WriteLargeReport(const std::filesystem::path& path, int pools, int objects, std::uint64_t seed = 80,
                      const StatFileOptions& options = {});

} // namespace ornexa::samplegen
