#pragma once

#include <filesystem>

namespace ornexa {

enum class ReportKind { Statistics, Simulation };

// Which report a file holds, told by its first line: a Statistics report starts with its
// environment line; any other file is taken for a Simulation report. A file that cannot be read
// counts as a Statistics report, whose read then says what is wrong with it.
ReportKind ReportKindOf(const std::filesystem::path& path);

} // namespace ornexa
