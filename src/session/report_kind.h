#pragma once

#include <filesystem>

namespace ornexa {

enum class ReportKind { Statistics, Simulation };

// Which report a file holds. Both kinds start with the same environment line; what follows it
// tells them apart: a Statistics report goes on with its header line ("HDR") and pool lines, a
// Simulation report with preamble lines up to its first "*BPP" line. A file that is neither, or
// that cannot be read, counts as a Statistics report, whose read then says what is wrong with it.
ReportKind ReportKindOf(const std::filesystem::path& path);

} // namespace ornexa
