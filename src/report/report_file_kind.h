#pragma once

#include <filesystem>

namespace ornexa {

// What a file holds. Both kinds of report start with the same environment line; a
// Statistics report goes on with its header line, a Simulation report with a preamble up to its
// first "*BPP" line. A file without the environment line is no report at all, and one that cannot
// be opened is left to the read, whose message says why.
enum class ReportFileKind { Statistics, Simulation, NoReport, Unreadable };

ReportFileKind ReportFileKindOf(const std::filesystem::path& path);

} // namespace ornexa
