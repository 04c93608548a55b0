// Any bytes as a Statistics report: the read must end with a message or a loaded report whose
// tables and object ranges hold, and every graph and rule of every pool must draw.
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "input_file.h"
#include "report/stat_reader.h"
#include "rules/config_rules.h"
#include "stats/pool_graph.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        throw std::logic_error(what); // libFuzzer reports the uncaught exception with its input
    }
}

} // namespace

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
    int next = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const ornexa::ObjectRange range = ornexa::PoolObjects(report, p);
        if (!range.empty()) {
            Check(range.first == next && range.last <= report.ObjectCount(), "object ranges are contiguous");
            next = range.last + 1;
        }
        ornexa::GraphView view;
        for (int type = 1; type <= ornexa::PoolGraphTypeCount; ++type) {
            ornexa::DrawPoolGraph(view, report, p, type);
        }
        (void)ornexa::RulesFor(report, p, ornexa::PoolUsage::Random);
        (void)ornexa::RulesFor(report, p, ornexa::PoolUsage::Sequential);
    }
    return 0;
}
