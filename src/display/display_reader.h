#pragma once

#include <cstddef>
#include <filesystem>
#include <string_view>
#include <vector>

#include "report/line_reader.h"
#include "report/report_model.h"
#include "report/stat_reader.h"

namespace ornexa {

// Every interval of a file of Db2's display output, each a report of its own, in file order (a series
// of displays becomes a series of reports of its subsystem), and how the read went: a fault stops it
// (the reports before it are kept), notes tell what it went on past.
struct DisplayReports {
    std::vector<Report> reports;
    StatReadResult result;
    std::size_t intervals = 0; // the intervals that make a report, built or not
};
DisplayReports ReadDisplayReports(std::string_view bytes, const ReportLimits& limits = {},
                                  const ProgressFn& progress = {});

// The last interval of the file into `report` (reset by the caller), as the window and ornexa-report
// show one report; a note says so when the file holds more. Only that interval's report is built. `name` names the file
// in the messages.
StatReadResult ReadDisplayReport(Report& report, std::string_view bytes, const ReportLimits& limits = {},
                                 const ProgressFn& progress = {});
StatReadResult ReadDisplayFile(Report& report, const std::filesystem::path& path, const ReportLimits& limits = {},
                               const ProgressFn& progress = {});

} // namespace ornexa
