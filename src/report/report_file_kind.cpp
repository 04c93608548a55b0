#include "report/report_file_kind.h"

#include "report/line_reader.h"
#include "report/stat_reader.h"

namespace ornexa {

namespace {
constexpr std::size_t FirstLineLength = 1024; // the environment line is checked for "ENV" only
constexpr std::size_t LineStart = 8;          // enough to tell the line kinds apart
// A Simulation report's preamble is a few lines long; a Statistics report's header follows at once.
constexpr int LinesLookedAt = 64;
} // namespace

ReportFileKind ReportFileKindOf(const std::filesystem::path& path) {
    // A few lines are looked at: a small block, not the reader's megabyte.
    ReportLineReader reader({}, std::size_t{64} * 1024);
    if (reader.Open(path, FileKinds::RegularOnly)) {
        return ReportFileKind::Unreadable;
    }
    const auto first = reader.ReadReportLine(FirstLineLength);
    if (!first || !CheckEnvironmentLine(*first)) {
        return ReportFileKind::NoReport; // a binary's endless first line included
    }
    for (int n = 0; n < LinesLookedAt; ++n) {
        const auto line = reader.ReadReportLine(LineStart);
        if (!line) {
            break;
        }
        if (line->starts_with("*BPP")) {
            return ReportFileKind::Simulation;
        }
        if (line->starts_with("HDR") || line->starts_with("BPS") || line->starts_with("BPD")) {
            return ReportFileKind::Statistics;
        }
    }
    // An environment line and nothing a reader knows: the Statistics read says what is wrong.
    return ReportFileKind::Statistics;
}

} // namespace ornexa
