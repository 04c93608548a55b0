// Any bytes as a Statistics report, read from memory and nothing else (so that millions of inputs
// reach the reader's depths): the read ends loaded or with a fault, and its tables and object ranges hold.
#include <cstdint>
#include <string_view>
#include <stdexcept>

#include "report/stat_reader.h"

namespace {

void Check(bool condition, const char* what) {
    if (!condition) {
        throw std::logic_error(what); // libFuzzer reports the uncaught exception with its input
    }
}

} // namespace

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
    int next = 1;
    for (int p = 1; p <= report.PoolCount(); ++p) {
        const ornexa::ObjectRange range = ornexa::PoolObjects(report, p);
        if (!range.empty()) {
            Check(range.first == next && range.last <= report.ObjectCount(), "object ranges are contiguous");
            next = range.last + 1;
        }
    }
    return 0;
}
