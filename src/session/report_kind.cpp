#include "session/report_kind.h"

#include "report/line_reader.h"
#include "report/stat_reader.h"

namespace ornexa {

ReportKind ReportKindOf(const std::filesystem::path& path) {
    ReportLineReader reader;
    if (reader.Open(path, FileKinds::RegularOnly)) {
        return ReportKind::Statistics;
    }
    constexpr std::size_t FirstLineLength = 256;
    const auto line = reader.ReadReportLine(FirstLineLength);
    if (!line || reader.Error() || CheckEnvironmentLine(*line)) {
        return ReportKind::Statistics;
    }
    return ReportKind::Simulation;
}

} // namespace ornexa
