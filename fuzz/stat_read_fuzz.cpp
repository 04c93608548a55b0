// Any bytes as a Statistics report, read from memory and nothing else (so that millions of inputs
// reach the reader's depths): the read ends loaded or with a fault, and its tables and object ranges hold.
#include <cstdint>
#include <string_view>

#include "fuzz_checks.h"
#include "report/stat_reader.h"

using fuzz::Check;
using fuzz::CheckObjectRanges;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first byte chooses the limits, so that the large site's tables are read too.
    const ornexa::ReportLimits limits =
        size > 0 && data[0] % 2 == 1 ? ornexa::ReportLimits::LargeSite() : ornexa::ReportLimits::Monitor();
    ornexa::Report report;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ornexa::StatReadResult result = ornexa::ReadStatisticsBytes(report, bytes, "input.sta", {}, limits);
    Check(result.Loaded() == !result.fault.has_value(), "a read ends loaded or with a fault, never both");
    Check(report.PoolCount() <= limits.pools && report.ObjectCount() <= limits.objects,
          "tables stay within their limits");
    CheckObjectRanges(report);
    return 0;
}
