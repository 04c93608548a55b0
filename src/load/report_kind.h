#pragma once

#include <filesystem>
#include <string_view>

namespace ornexa {

// What a file holds, told by its content (see InputKinds): both kinds of report start with the same
// environment line; a Statistics report goes on with its header line, a Simulation report with a
// preamble up to its first "*BPP" line. A file without the line a kind opens with is no report at
// all, and one that cannot be opened as a regular file is left to the read, whose message says why.
// Db2's own display output (-DISPLAY BUFFERPOOL) is told by a Db2 buffer pool message anywhere in its
// first megabyte, in ASCII or EBCDIC.
enum class ReportKind { Statistics, Simulation, Db2Display, NoReport, Unreadable };

// The kind of the file by its content, among the kinds the program reads.
ReportKind ReportKindOf(const std::filesystem::path& path);
// The same for bytes held already.
ReportKind ReportKindOfBytes(std::string_view bytes);

// The kind whose reader a file goes to: its own kind when that has a reader, else the Statistics
// report's, whose read then says what is wrong with it (no report, a folder, a file that is gone).
ReportKind ReaderKindOf(const std::filesystem::path& path);

} // namespace ornexa
