#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace ornexa::test {

// Daily reports of one system at one load (10:00 from 2026-11-02) in which BP1 ran at 30000 buffers,
// then 20000, back at 30000 and at last 40000, and BP2 at 10000 and then 15000, each pool with the
// synchronous read I/Os per second given per report. No report comes with a Simulation report.
struct SizingSeriesDay {
    std::int64_t bp1Size = 0;
    std::int64_t bp1Reads = 0;
    std::int64_t bp2Size = 0;
    std::int64_t bp2Reads = 0;
};
struct SizingSeries {
    std::vector<SizingSeriesDay> days;
    std::vector<std::filesystem::path> files; // by collection time
    std::vector<std::string> collected;       // "2026-11-02T10:00:00"
};
SizingSeries WriteSizingSeries(const std::filesystem::path& folder);

} // namespace ornexa::test
