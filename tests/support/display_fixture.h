#pragma once

#include <vector>

#include "display_writer.h"
#include "report/report_model.h"

namespace ornexa::test {

// The reports of the displays the sample writer writes for `options`, made from its figures as the
// reader makes them from its lines (without reading them): one per interval, in file order.
std::vector<Report> DisplayReports(const samplegen::DisplaySampleOptions& options);

// The last of them, as the window shows a display file.
Report DisplayReport(const samplegen::DisplaySampleOptions& options = {});

} // namespace ornexa::test
