#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "history/history_store.h"
#include "report/table_text.h"

namespace ornexa::cli {

// How --list and --trend write what they find.
enum class HistoryFormat { Text, Json, Csv };

// Where the output of a history command goes, and whether standard error is a terminal that can
// show the import's progress line.
struct CommandStreams {
    std::ostream& out;
    std::ostream& err;
    bool progressLine = false;
    // A CSV table's text cells that a spreadsheet would run are guarded, unless raw is asked for.
    CsvCells csvCells = CsvCells::Guarded;
};

// The commands of ornexa-report's history. Each answers its exit status: 0 done, 1 a failure
// (the history could not be opened or read, a file was refused, a report did not load), told on
// `err` as "ornexa-report: ...".
// `timeout` bounds each statement on a history server.
int ImportCommand(const std::string& location, const std::vector<std::filesystem::path>& paths,
                  const CommandStreams& streams, const ReportLimits& limits = {},
                  std::chrono::seconds timeout = DefaultHistoryTimeout, const RatingSettings& ratings = {});
int ListCommand(const std::string& location, const HistoryFilter& filter, HistoryFormat format,
                const CommandStreams& streams, std::chrono::seconds timeout = DefaultHistoryTimeout);
int TrendCommand(const std::string& location, const std::string& poolName, const HistoryFilter& filter,
                 HistoryFormat format, const CommandStreams& streams,
                 std::chrono::seconds timeout = DefaultHistoryTimeout);
// Two Statistics report files, the older first.
int CompareFilesCommand(const std::filesystem::path& before, const std::filesystem::path& after, bool asJson,
                        const CommandStreams& streams, const ReportLimits& limits = {});
// Two reports of the history.
int CompareStoredCommand(const std::string& location, std::int64_t before, std::int64_t after, bool asJson,
                         const CommandStreams& streams, std::chrono::seconds timeout = DefaultHistoryTimeout);

// The history at `location`, or nothing when it cannot be opened, told on `err`.
std::shared_ptr<HistoryStore> OpenStore(const std::string& location, std::ostream& err, std::chrono::seconds timeout);

// "17" as a report id; nothing for anything but a whole number from 1 up.
std::optional<std::int64_t> ReportIdOf(const std::string& text);

// The location as messages tell it: the password of a URI's user part, of its `password` parameter or of a
// keyword connection string written "***".
std::string ShownLocation(const std::string& location);

// The password in the file of --history-password-file: the file must be readable by its owner only (mode
// 600 or stricter); its content, less the final newline, is the password. The fault says why it is refused.
HistoryResult<std::string> ReadPasswordFile(const std::filesystem::path& path);

} // namespace ornexa::cli
