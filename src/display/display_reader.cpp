#include "display/display_reader.h"

#include <algorithm>

#include "display/display_parse.h"
#include "display/display_report.h"
#include "display/display_series.h"
#include "display/display_time.h"

namespace ornexa {

namespace {

ReadFault FaultOf(const DisplayFault& fault) {
    ReadFault read;
    read.kind = FaultKind::FieldError;
    read.part = ReportPart::Db2Message;
    read.line = fault.line;
    read.subject = fault.label.empty() ? fault.messageId : fault.messageId + ", " + fault.label;
    read.description = fault.description;
    read.cause = fault.description.starts_with("exceeds") ? FaultCause::OutOfRange : FaultCause::NotANumber;
    return read;
}

ReadFault NoDisplay(std::int64_t lines) {
    ReadFault fault;
    fault.kind = FaultKind::NotADb2Display;
    fault.part = ReportPart::StatFile;
    fault.line = lines;
    fault.description = std::string(NotADb2DisplayText);
    return fault;
}

// "3 messages of ids ORNEXA does not know were skipped: DSNB999I (2, first at line 40), ..."
ReadNote UnknownNote(const std::vector<UnknownMessage>& unknown) {
    std::int64_t count = 0;
    std::string ids;
    for (const UnknownMessage& u : unknown) {
        count += u.count;
        ids += (ids.empty() ? "" : ", ") + u.id + " (" + std::to_string(u.count) + ", first at line " +
               std::to_string(u.firstLine) + ")";
    }
    return {unknown.front().firstLine,
            std::to_string(count) + (count == 1 ? " message" : " messages") +
                " of an id ORNEXA does not know (a newer Db2?) skipped: " + ids,
            false};
}

void AddNotes(std::vector<ReadNote>& notes, const std::vector<DisplayNote>& from, bool warning) {
    for (const DisplayNote& note : from) {
        notes.push_back({note.line, note.text, warning});
    }
}

// The reports of a file's intervals: every one, or only the last (the one a window shows: the others
// are counted, never built).
DisplayReports ReadDisplays(std::string_view bytes, const ReportLimits& limits, const ProgressFn& progress,
                            bool lastOnly) {
    DisplayReports out;
    StatReadResult& result = out.result;
    DisplayParse parse = ParseDisplays(bytes, progress);
    result.ReadLineNo = parse.lines;
    result.BytesRead = static_cast<std::int64_t>(bytes.size());
    result.ReadFileLength = result.BytesRead;
    AddNotes(result.notes, parse.notes, true);
    if (!parse.unknown.empty()) {
        result.notes.push_back(UnknownNote(parse.unknown));
    }
    const bool anyPool =
        std::any_of(parse.displays.begin(), parse.displays.end(), [](const Db2Display& d) { return !d.pools.empty(); });
    if (!anyPool && !parse.fault) {
        result.outcome = StatReadOutcome::Failed;
        result.fault = NoDisplay(parse.lines);
        return out;
    }
    const DisplaySeries series = IntervalsOf(std::move(parse.displays));
    for (const DisplayNote& note : series.notes) {
        // A duplicate left out is a warning; a new baseline only informs.
        result.notes.push_back({note.line, note.text, note.text.find("duplicate") != std::string::npos});
    }
    std::vector<const DisplayInterval*> making; // a group buffer pool display alone makes no report
    for (const DisplayInterval& interval : series.intervals) {
        if (!interval.pools.empty()) {
            making.push_back(&interval);
        }
    }
    out.intervals = making.size();
    for (std::size_t i = lastOnly && !making.empty() ? making.size() - 1 : 0; i < making.size(); ++i) {
        const DisplayInterval& interval = *making[i];
        Report report;
        report.SetLimits(limits);
        std::int64_t full = 0;
        if (!FillReport(report, interval, result.notes, full)) {
            ReadFault fault;
            fault.kind = FaultKind::FieldError;
            fault.part = ReportPart::Db2Message;
            fault.line = full;
            fault.subject = "DSNB401I";
            fault.description = "Subscript out of range (the limit in force is " + LimitsText(limits) + ")";
            fault.cause = FaultCause::TableFull;
            result.fault = fault;
            result.outcome = StatReadOutcome::FieldError;
            return out;
        }
        out.reports.push_back(std::move(report));
    }
    if (parse.fault) {
        result.fault = FaultOf(*parse.fault);
        result.outcome = StatReadOutcome::FieldError;
        return out;
    }
    result.outcome = out.reports.empty() ? StatReadOutcome::Failed : StatReadOutcome::Loaded;
    if (out.reports.empty()) {
        result.fault = NoDisplay(parse.lines);
    }
    return out;
}

} // namespace

DisplayReports ReadDisplayReports(std::string_view bytes, const ReportLimits& limits, const ProgressFn& progress) {
    return ReadDisplays(bytes, limits, progress, false);
}

StatReadResult ReadDisplayReport(Report& report, std::string_view bytes, const ReportLimits& limits,
                                 const ProgressFn& progress) {
    DisplayReports read = ReadDisplays(bytes, limits, progress, true);
    if (read.reports.empty()) {
        return std::move(read.result);
    }
    if (read.intervals > 1) {
        const Report& last = read.reports.back();
        read.result.notes.push_back({0,
                                     "the file holds " + std::to_string(read.intervals) +
                                         " intervals; shown is the last, " + last.Header.SubSystemName.Str() + " at " +
                                         last.Header.CollectionDate.Str() + " " + last.Header.CollectionTime.Str() +
                                         ". Import the file into the history to see every interval.",
                                     false});
    }
    report = std::move(read.reports.back());
    report.SetLimits(limits);
    if (!read.result.Loaded()) {
        report.StatFileLoaded = false; // the reports before a fault are shown, but the read did not end
    }
    return std::move(read.result);
}

StatReadResult ReadDisplayFile(Report& report, const std::filesystem::path& path, const ReportLimits& limits,
                               const ProgressFn& progress) {
    const FileBytes file = ReadFileBytes(path);
    if (file.failure) {
        StatReadResult result;
        result.fault = ReadFault{FaultKind::FileFailure, ReportPart::StatFile, 0, 0, 0, *file.failure};
        return result;
    }
    return ReadDisplayReport(report, file.bytes, limits, progress);
}

} // namespace ornexa
