#include "display_fixture.h"

#include <stdexcept>

#include "display/display_report.h"
#include "display/display_series.h"

namespace ornexa::test {

std::vector<Report> DisplayReports(const samplegen::DisplaySampleOptions& options) {
    std::vector<Report> reports;
    for (const DisplayInterval& interval : IntervalsOf(samplegen::DisplaySampleFigures(options)).intervals) {
        Report report;
        report.SetLimits(ReportLimits::LargeSite());
        std::vector<ReadNote> notes;
        std::int64_t full = 0;
        if (!FillReport(report, interval, notes, full)) {
            throw std::logic_error("a sample display beyond the large site's limits");
        }
        reports.push_back(std::move(report));
    }
    return reports;
}

Report DisplayReport(const samplegen::DisplaySampleOptions& options) {
    std::vector<Report> reports = DisplayReports(options);
    if (reports.empty()) {
        throw std::logic_error("a sample display without pools");
    }
    return std::move(reports.back());
}

} // namespace ornexa::test
