#include "session/report_kind.h"

#include "report/report_file_kind.h"

namespace ornexa {

ReportKind ReportKindOf(const std::filesystem::path& path) {
    // A file that is no report, or cannot be read, goes to the Statistics read, which says why.
    return ReportFileKindOf(path) == ReportFileKind::Simulation ? ReportKind::Simulation : ReportKind::Statistics;
}

} // namespace ornexa
