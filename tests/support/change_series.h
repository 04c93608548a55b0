#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ornexa::test {

// Reports of one system around a VPSIZE change of pool BP1, written to files: `daysEach` days before
// and as many after, each at 10:00 and 14:00. Before the change BP1 has a hit ratio of 70 % and
// 50 synchronous read I/Os per second, after it 90 % and 20 per second. The last report before the
// change (the one at 14:00) comes with the Simulation report of BP1, and the new size lies between
// its first two simulated sizes.
struct ChangeSeriesFile {
    std::filesystem::path statistics;
    std::filesystem::path simulation; // empty for a report without one
    std::string collectedAt;          // as the history writes it, "2026-11-02T10:00:00"
};
struct ChangeSeries {
    std::vector<ChangeSeriesFile> files; // by collection time
    std::string pool = "BP1";
    std::int64_t sizeBefore = 0;
    std::int64_t sizeAfter = 0;
    std::string lastBefore; // collection time of the report the change follows
    std::string firstAfter;
};
ChangeSeries WriteChangeSeries(const std::filesystem::path& folder, int daysEach = 3);

} // namespace ornexa::test
