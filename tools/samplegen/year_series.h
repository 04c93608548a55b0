#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "report/report_model.h"

namespace ornexa::samplegen {

// A series of small Statistics reports of one subsystem, one every 15 minutes from `start` on: the
// load follows the hour of the day and the day of the week, so that some pools fall below their
// residency or hit ratio bounds in the busy hours (every eighth pool in the day, another in the nightly
// batch) and are good the rest of the time. The same figures on every machine.
struct YearSeriesOptions {
    int pools = 80;         // 1 to 80, named as a large site's
    int intervals = 35'040; // a year of 15-minute intervals
    int objectsPerPool = 2;
    std::string system = "SYSA";
    std::string subsystem = "DB2P";
    std::string start = "2026-01-01"; // the first interval's day, collected at 00:00
    std::uint64_t seed = 2026;
};

inline constexpr int SeriesIntervalSeconds = 900;

// The report of interval `interval` (0-based), as a read of its file gives it (StatFileLoaded set).
Report BuildSeriesReport(const YearSeriesOptions& options, int interval);

// The name of interval `interval`'s file: "DB2P-00042.sta".
std::string SeriesFileName(const YearSeriesOptions& options, int interval);

// Writes every interval into `folder` (made when missing). Throws std::runtime_error naming a file
// that cannot be written, std::invalid_argument for options out of range.
void WriteYearSeries(const std::filesystem::path& folder, const YearSeriesOptions& options);

} // namespace ornexa::samplegen
