#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/line_reader.h"
#include "report/read_fault.h"
#include "report/report_model.h"

namespace ornexa {

// How a read of a Statistics report ended.
enum class StatReadOutcome {
    Loaded,      // read to its end: StatFileLoaded is set
    FormatError, // line 1 is not an environment line
    FieldError,  // a field of the header, a pool line or an object line could not be converted
    Failed,      // the file could not be opened or read, or holds no pool line
};

// A report that loaded with fewer pools than its header names: most often a transfer that
// stopped early at a line end.
struct PoolShortfall {
    std::int64_t named = 0; // pools the header names
    std::int64_t held = 0;  // pools the file holds
    friend bool operator==(const PoolShortfall&, const PoolShortfall&) = default;
};

struct StatReadResult {
    StatReadOutcome outcome = StatReadOutcome::Failed;
    std::int64_t ReadLineNo = 0;  // lines read, line 1 included
    std::int32_t ReadFieldNo = 0; // field of the last line being converted
    std::int64_t BytesRead = 0;
    std::int64_t ReadFileLength = 0;
    bool usaReport = true;
    bool headerRead = false;               // line 2 was converted whole: the header's pool count is known
    std::optional<ReadFault> fault;        // what stopped a read that did not load
    std::optional<PoolShortfall> cutShort; // a loaded read that may be missing its end
    std::vector<ReadNote> notes;           // what a loaded read noticed and went on past

    [[nodiscard]] bool Loaded() const { return outcome == StatReadOutcome::Loaded; }
    // Loaded, with something the user should look at.
    [[nodiscard]] bool Warned() const;
};

// Checks line 1 of a report: it must contain "ENV". Returns whether the report is a USA report
// (its country code, the last three characters before any trailing blanks, is "USA"), or nothing
// when the line is not an environment line.
std::optional<bool> CheckEnvironmentLine(std::string_view line);

// The first line of a report as both readers take it: the environment line's figure style (true: the
// USA way), nothing when the line is no environment line, or why no line could be read.
struct ReportStart {
    std::optional<bool> usa;
    std::optional<std::string> failure; // the line reader's error, or "input past end" for an empty file
    FaultCause cause = FaultCause::Unspecified;
};
ReportStart ReadReportStart(ReportLineReader& lines, std::size_t maxLine);

// Reads a Statistics report into `report`, which the caller has reset. A failure comes back as the
// result's fault; the read keeps only complete records, so a stopped read leaves the pools and
// objects before the failing line, each pool with a closed object range. ElapsedSeconds is set
// from whatever header was read. A pool or object line beyond `limits` stops the read at its first
// field; past limits other than the monitor's, the message names the limit in force.
StatReadResult ReadStatisticsFile(Report& report, const std::filesystem::path& path, const ProgressFn& progress = {},
                                  FileKinds kinds = FileKinds::Any, const ReportLimits& limits = {});
// The same read of a file's bytes already in memory, named `name` in its messages: what is read is
// exactly what the caller holds (and hashes, say), even from a pipe that gives other bytes each time.
StatReadResult ReadStatisticsBytes(Report& report, std::string_view bytes, const std::filesystem::path& name,
                                   const ProgressFn& progress = {}, const ReportLimits& limits = {});

// The box of a read that stopped, or the warning of one that loaded cut short; none otherwise.
Messages MessagesOf(const StatReadResult& result);
// The same boxes, each with its advice naming the files.
Messages MessagesOf(const StatReadResult& result, const ReadFiles& files);

} // namespace ornexa
