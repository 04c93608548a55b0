// Any bytes as a Statistics report: the read must end with a message or a loaded report whose
// tables and object ranges hold, and every graph and rule of every pool must draw.
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_checks.h"
#include "input_file.h"
#include "report/stat_reader.h"
#include "rules/config_rules.h"
#include "stats/pool_graph.h"

using fuzz::Check;
using fuzz::CheckObjectRanges;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path input = InputFile(".sta");
    if (!WriteInput(input, data, size)) {
        return 0;
    }

    ornexa::Report report;
    const ornexa::StatReadResult result = ornexa::ReadStatisticsFile(report, input);
    Check(result.Loaded() == !result.fault.has_value(), "a read ends loaded or with a fault, never both");
    Check(report.PoolCount() <= ornexa::Report::MaxPools && report.ObjectCount() <= ornexa::Report::MaxObjects,
          "tables stay within their limits");
    CheckObjectRanges(report);
    for (int p = 1; p <= report.PoolCount(); ++p) {
        ornexa::GraphView view;
        for (int type = 1; type <= ornexa::PoolGraphTypeCount; ++type) {
            ornexa::DrawPoolGraph(view, report, p, type);
        }
        (void)ornexa::RulesFor(report, p, ornexa::PoolUsage::Random);
        (void)ornexa::RulesFor(report, p, ornexa::PoolUsage::Sequential);
    }
    return 0;
}
