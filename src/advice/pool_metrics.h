#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/report_model.h"

namespace ornexa {

// What the system page residency time says about the pool's size (Lengthy: "long", above the usual).
enum class ResidencyVerdict { Stolen, Short, Usual, Lengthy };

// The bounds of the verdicts, in seconds: below Stolen pages are stolen before reuse, below Short a
// larger pool would cut reads, up to Long usual, above Long the pool could give back storage.
inline constexpr double StolenResidencySeconds = 10;
inline constexpr double ShortResidencySeconds = 300;
inline constexpr double UsualResidencySeconds = 900;

// The derived figures of one pool; an absent figure could not be computed, `notes` says why.
struct PoolMetrics {
    std::optional<double> getPagesPerSecond;
    std::optional<double> pagesReadPerSecond;
    std::optional<double> syncPagesReadPerSecond;
    std::optional<double> prefetchPagesReadPerSecond; // sequential, list and dynamic prefetch
    std::optional<double> systemResidencySeconds;
    std::optional<double> randomResidencySeconds;
    std::optional<double> sequentialResidencySeconds;
    std::optional<double> getPagesPerSyncReadIO;
    std::optional<double> pagesPerSeqPrefetchIO;  // read type 2
    std::optional<double> pagesPerListPrefetchIO; // read type 3
    std::optional<double> pagesPerDynPrefetchIO;  // read type 4
    std::optional<double> pagesPerWriteIO;
    std::optional<double> updatesPerPageWritten;
    std::optional<ResidencyVerdict> verdict; // of the system residency time
    std::vector<std::string> notes;          // why figures are absent, in row order, each once
};

// The metrics of pool p over the report's interval (`ElapsedSeconds`); every figure is absent for
// a pool number outside the report.
PoolMetrics ComputePoolMetrics(const Report& report, int p);

ResidencyVerdict VerdictFor(double systemResidencySeconds);
std::string_view VerdictKey(ResidencyVerdict verdict);  // "stolen", "short", "usual", "long"
std::string_view VerdictText(ResidencyVerdict verdict); // the sentence shown beside the time

// One row of the metrics table: the JSON key (snake case), the caption with its unit, the value, and the note
// beside it (the verdict for the system residency time, the reason for an absent value).
struct MetricRow {
    std::string key;
    std::string caption;
    std::optional<double> value;
    std::string note;
};
// Every figure of `metrics`, in display order (the same for the window and the text report).
std::vector<MetricRow> MetricRows(const PoolMetrics& metrics);

} // namespace ornexa
