#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "print/printed_report.h"
#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {

// What to print without a window: the pools named (every pool when none is) and the pool graph.
struct ReportPagesRequest {
    std::vector<std::string> pools; // names as the pool list shows them, any case
    int graphType = 1;              // 1..22
    std::filesystem::path thresholdFolder;
};

// The pages a person would print tab by tab: the summary, then for each pool its pool page and its
// object page and, for the simulated pool, its four simulation pages and its cluster report (usage
// Random, the first size, radius 1.2). Names that match no pool are returned in `unknown`.
struct ReportPages {
    PrintedReport printed;
    std::vector<std::string> unknown;
};
ReportPages AllReportPages(const Report& report, const SimulationData& sim, const ReportPagesRequest& request);

} // namespace ornexa
