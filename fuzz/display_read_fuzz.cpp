// Any bytes as Db2's display output: the read ends with reports or a fault (never both missing), every
// report holds its tables within the limits with closed object ranges, and the facts beside the records
// match them one for one.
#include <cstdint>
#include <string_view>

#include "display/display_reader.h"
#include "fuzz_checks.h"

using fuzz::Check;
using fuzz::CheckObjectRanges;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ornexa::ReportLimits limits =
        size > 0 && data[0] % 2 == 1 ? ornexa::ReportLimits::LargeSite() : ornexa::ReportLimits{4, 40};
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const ornexa::DisplayReports read = ornexa::ReadDisplayReports(bytes, limits);
    Check(read.result.Loaded() == !read.result.fault.has_value(), "a read ends loaded or with a fault, never both");
    Check(!read.result.Loaded() || !read.reports.empty(), "a read that loaded holds a report");
    for (const ornexa::Report& report : read.reports) {
        Check(report.PoolCount() <= limits.pools && report.ObjectCount() <= limits.objects,
              "tables stay within their limits");
        CheckObjectRanges(report);
        Check(report.Db2Display.has_value(), "a report of a display says so");
        Check(static_cast<int>(report.Db2Display->pools.size()) == report.PoolCount() &&
                  static_cast<int>(report.Db2Display->objects.size()) == report.ObjectCount(),
              "the facts go with the records one for one");
    }
    return 0;
}
