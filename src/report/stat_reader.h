#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "report/line_reader.h"
#include "report/messages.h"
#include "report/report_model.h"

namespace ornexa {

// How a read of a Statistics report ended.
enum class StatReadOutcome {
    Loaded,      // read to its end: StatFileLoaded is set
    FormatError, // line 1 is not an environment line
    FieldError,  // a field of the header, a pool line or an object line could not be converted
    Failed,      // the file could not be opened or read, or holds no pool line
};

struct StatReadResult {
    StatReadOutcome outcome = StatReadOutcome::Failed;
    std::int64_t ReadLineNo = 0;  // lines read, line 1 included
    std::int32_t ReadFieldNo = 0; // field of the last line being converted
    std::int64_t BytesRead = 0;
    std::int64_t ReadFileLength = 0;
    bool usaReport = true;

    [[nodiscard]] bool loaded() const { return outcome == StatReadOutcome::Loaded; }
};

// Message titles and texts of the Statistics read.
inline constexpr std::string_view FileIOTitle = "File IO";
inline constexpr std::string_view IncorrectFormatText = "Incorrect File Format, Use A Flat File";
inline constexpr std::string_view StatHeaderErrorTitle = "Read Stat Report Information";
inline constexpr std::string_view StatPoolErrorTitle = "Read Stat Pool Information";
inline constexpr std::string_view StatObjectErrorTitle = "Read Stat Object Information";
inline constexpr std::string_view StatFileErrorTitle = "Read Stat File";

// Checks line 1 of a report: it must contain "ENV". Returns whether the report is a USA report
// (its country code, the last three characters before any trailing blanks, is "USA"), or nothing
// when the line is not an environment line.
std::optional<bool> CheckEnvironmentLine(std::string_view line);

// Reads a Statistics report into `report`, which the caller has reset. Every failure is shown
// through `messages`; the read keeps only complete records, so a stopped read leaves the pools
// and objects before the failing line, each pool with a closed object range.
StatReadResult ReadStatisticsFile(Report& report, const std::filesystem::path& path, MessageSink& messages,
                                  const ProgressFn& progress = {});

} // namespace ornexa
