#include "report/stat_reader.h"

#include <algorithm>
#include <array>
#include <span>

#include "report/column_tables.h"
#include "report/field_conversion.h"
#include "report/fixed_text.h"
#include "report/record_catalogue.h"

namespace ornexa {

std::optional<bool> CheckEnvironmentLine(std::string_view line) {
    if (line.find("ENV") == std::string_view::npos) {
        return std::nullopt;
    }
    // Host files are often padded with blanks to their record length.
    const std::string_view code = line.substr(0, line.find_last_not_of(' ') + 1);
    const std::string_view last3 = code.size() >= 3 ? code.substr(code.size() - 3) : code;
    return last3 == "USA";
}

ReportStart ReadReportStart(ReportLineReader& lines, std::size_t maxLine) {
    const auto first = lines.ReadReportLine(maxLine);
    if (!first) {
        if (const auto& failure = lines.Error()) {
            return {std::nullopt, *failure, FaultCause::Unspecified};
        }
        return {std::nullopt, std::string(Describe(ReadFailure::InputPastEnd)), FaultCause::EmptyFile};
    }
    return {CheckEnvironmentLine(*first), std::nullopt};
}

namespace {

// Files above this size make room for their objects before the read: about one object line in so
// many bytes, a little more than there will be.
constexpr std::int64_t LargeReportBytes = std::int64_t{4} * 1024 * 1024;
constexpr std::int64_t ObjectLineBytes = 440;

// Longest environment line kept: only its "ENV" and its country code matter.
constexpr std::size_t MaxEnvironmentLine = std::size_t{64} * 1024;

bool HasCode(std::string_view line, std::string_view code) {
    const std::string_view first4 = line.substr(0, 4); // shorter lines read as blank-filled
    return first4.find(code) != std::string_view::npos;
}

class StatisticsRead {
public:
    StatisticsRead(Report& report, const ProgressFn& progress) : report_(report), lines_(progress) {}
    // The field targets point into this read's own line records.
    StatisticsRead(const StatisticsRead&) = delete;
    StatisticsRead& operator=(const StatisticsRead&) = delete;
    StatisticsRead(StatisticsRead&&) = delete;
    StatisticsRead& operator=(StatisticsRead&&) = delete;
    ~StatisticsRead() = default;

    StatReadResult Run(const std::filesystem::path& path, FileKinds kinds) {
        if (const auto failure = lines_.Open(path, kinds)) {
            return Fail(*failure);
        }
        return Read();
    }

    StatReadResult Run(std::string_view bytes, const std::filesystem::path& name) {
        lines_.OpenBytes(bytes, name);
        return Read();
    }

private:
    StatReadResult Read() {
        result_.ReadFileLength = lines_.ReadFileLength();
        // An object line is some 450 bytes: a file of many of them gets its table at once.
        if (result_.ReadFileLength > LargeReportBytes) {
            report_.ReserveObjects(result_.ReadFileLength / ObjectLineBytes);
        }
        const ReportStart start = ReadReportStart(lines_, MaxEnvironmentLine);
        if (start.failure) {
            return Fail(*start.failure, start.cause);
        }
        const auto usa = start.usa;
        if (!usa) {
            result_.fault = ReadFault{FaultKind::NotAReport, ReportPart::StatFile, 1, 0, 0, {}};
            return Stop(StatReadOutcome::FormatError);
        }
        result_.usaReport = *usa;

        const auto maxLine = static_cast<std::size_t>(LongestStatisticsLine());
        const auto header = lines_.ReadReportLine(maxLine);
        if (!header) {
            if (const auto& failure = lines_.Error()) {
                return Fail(*failure);
            }
            return FieldError(ReportPart::Header, {ReadFailure::InputPastEnd, 0});
        }
        result_.ReadFieldNo = 0;
        if (const auto fault = ConvertLine(*header, HeaderColumns(), TargetsOf(report_.Header, HeaderCatalogue()), *usa,
                                           result_.ReadFieldNo)) {
            return FieldError(ReportPart::Header, *fault);
        }
        result_.headerRead = true;

        while (const auto line = lines_.ReadReportLine(maxLine)) {
            if (HasCode(*line, "BPS")) {
                if (auto stopped = ReadPoolLine(*line)) {
                    return *stopped;
                }
            } else if (HasCode(*line, "BPD")) {
                if (auto stopped = ReadObjectLine(*line)) {
                    return *stopped;
                }
            }
        }
        if (const auto& failure = lines_.Error()) {
            CloseObjectRange();
            return Fail(*failure);
        }
        if (report_.PoolCount() == 0) {
            return Fail(std::string(Describe(ReadFailure::SubscriptOutOfRange)) + " (the file holds no pool line)",
                        FaultCause::NoPoolLine);
        }
        CloseObjectRange();
        Counters();
        lines_.End(100);
        if (report_.Header.ReportPoolCount > report_.PoolCount()) {
            result_.cutShort = PoolShortfall{report_.Header.ReportPoolCount, report_.PoolCount()};
        }
        report_.StatFileLoaded = true;
        result_.outcome = StatReadOutcome::Loaded;
        return result_;
    }

    std::optional<StatReadResult> ReadPoolLine(std::string_view line) {
        CloseObjectRange();
        if (report_.PoolCount() >= report_.Limits().pools) {
            result_.ReadFieldNo = 1;
            return FieldError(ReportPart::PoolLine, {ReadFailure::SubscriptOutOfRange, PoolColumns()[0].Start},
                              LimitInForce(report_.Limits().pools, " pools"));
        }
        result_.ReadFieldNo = 0;
        if (const auto fault = ConvertLine(line, PoolColumns(), poolTargets_, result_.usaReport, result_.ReadFieldNo)) {
            return FieldError(ReportPart::PoolLine, *fault);
        }
        report_.AddPool(poolLine_);
        poolJustRead_ = true;
        return std::nullopt;
    }

    std::optional<StatReadResult> ReadObjectLine(std::string_view line) {
        if (report_.PoolCount() == 0) {
            return Fail(std::string(Describe(ReadFailure::SubscriptOutOfRange)) + " (line " +
                            std::to_string(lines_.ReadLineNo()) + " is an object line before the first pool line)",
                        FaultCause::ObjectBeforePool);
        }
        if (report_.ObjectCount() >= report_.Limits().objects) {
            result_.ReadFieldNo = 1;
            CloseObjectRange();
            return FieldError(ReportPart::ObjectLine, {ReadFailure::SubscriptOutOfRange, ObjectColumns()[0].Start},
                              LimitInForce(report_.Limits().objects, " objects"));
        }
        result_.ReadFieldNo = 0;
        if (const auto fault =
                ConvertLine(line, ObjectColumns(), objectTargets_, result_.usaReport, result_.ReadFieldNo)) {
            CloseObjectRange();
            return FieldError(ReportPart::ObjectLine, *fault);
        }
        report_.AddObject(objectLine_);
        if (poolJustRead_) {
            report_.Pools(report_.PoolCount()).FirstObject = report_.ObjectCount();
            poolJustRead_ = false;
        }
        objectsRead_ = true;
        return std::nullopt;
    }

    // The last pool's objects end at the last complete object; a pool without objects keeps the
    // empty range.
    void CloseObjectRange() {
        if (objectsRead_) {
            report_.Pools(report_.PoolCount()).LastObject = report_.ObjectCount();
            objectsRead_ = false;
        }
    }

    void Counters() {
        result_.ReadLineNo = lines_.ReadLineNo();
        result_.BytesRead = lines_.BytesRead();
    }

    StatReadResult Stop(StatReadOutcome outcome) {
        Counters();
        lines_.End(0);
        result_.outcome = outcome;
        return result_;
    }

    // A full table under the monitor's limits reads as it always has; under other limits the
    // message says which limit the line went past.
    [[nodiscard]] std::string LimitInForce(int limit, std::string_view what) const {
        if (report_.Limits() == ReportLimits::Monitor()) {
            return {};
        }
        return "the limit in force is " + LimitFigure(limit) + std::string(what);
    }

    StatReadResult FieldError(ReportPart part, FieldFault fault, const std::string& reason = {}) {
        Counters();
        std::string description(Describe(fault.failure));
        if (!reason.empty()) {
            description += " (" + reason + ")";
        }
        result_.fault = ReadFault{FaultKind::FieldError, part,        result_.ReadLineNo,    result_.ReadFieldNo,
                                  fault.column,          description, CauseOf(fault.failure)};
        return Stop(StatReadOutcome::FieldError);
    }

    StatReadResult Fail(const std::string& description, FaultCause cause = FaultCause::Unspecified) {
        Counters();
        result_.fault =
            ReadFault{FaultKind::FileFailure, ReportPart::StatFile, result_.ReadLineNo, 0, 0, description, cause};
        return Stop(StatReadOutcome::Failed);
    }

    Report& report_;
    ReportLineReader lines_;
    StatReadResult result_;
    // Every line overwrites all the file fields of these; what the reader does not fill (object
    // ranges, simulation values) stays zero, as a stored record starts.
    PoolRecord poolLine_;
    ObjectRecord objectLine_;
    // Where each field of a line goes, found once rather than on every line.
    const std::array<FieldRef, PoolFieldCount> poolTargets_ = TargetsOf(poolLine_, PoolCatalogue());
    const std::array<FieldRef, ObjectFieldCount> objectTargets_ = TargetsOf(objectLine_, ObjectCatalogue());
    bool poolJustRead_ = false;
    bool objectsRead_ = false;
};

} // namespace

StatReadResult ReadStatisticsFile(Report& report, const std::filesystem::path& path, const ProgressFn& progress,
                                  FileKinds kinds, const ReportLimits& limits) {
    report.SetLimits(limits);
    StatisticsRead read(report, progress);
    StatReadResult result = read.Run(path, kinds);
    report.ElapsedSeconds = ElapsedToSeconds(report.Header.ElapsedTime.Padded());
    return result;
}

StatReadResult ReadStatisticsBytes(Report& report, std::string_view bytes, const std::filesystem::path& name,
                                   const ProgressFn& progress, const ReportLimits& limits) {
    report.SetLimits(limits);
    StatisticsRead read(report, progress);
    StatReadResult result = read.Run(bytes, name);
    report.ElapsedSeconds = ElapsedToSeconds(report.Header.ElapsedTime.Padded());
    return result;
}

bool StatReadResult::Warned() const {
    return Loaded() && (cutShort.has_value() ||
                        std::any_of(notes.begin(), notes.end(), [](const ReadNote& n) { return n.warning; }));
}

namespace {

constexpr std::size_t NotesListed = 12; // a box lists this many; the rest are counted

// The notes of a read, one box: each with its line, the first few when there are many.
Message NotesMessage(const std::vector<ReadNote>& notes) {
    std::string text;
    for (std::size_t n = 0; n < notes.size() && n < NotesListed; ++n) {
        text += (n > 0 ? "\n" : "") +
                (notes[n].line > 0 ? "Line " + std::to_string(notes[n].line) + ": " : std::string()) + notes[n].text;
    }
    if (notes.size() > NotesListed) {
        text += "\nand " + std::to_string(notes.size() - NotesListed) + " more";
    }
    const bool warned = std::any_of(notes.begin(), notes.end(), [](const ReadNote& n) { return n.warning; });
    return {std::string(Db2DisplayTitle), text, warned ? MessageIcon::Exclamation : MessageIcon::Information};
}

} // namespace

Messages MessagesOf(const StatReadResult& result) {
    if (result.fault) {
        return {MessageOf(*result.fault)};
    }
    if (!result.notes.empty()) {
        return {NotesMessage(result.notes)};
    }
    if (result.cutShort) {
        return {{std::string(StatFileErrorTitle),
                 "The report names " + std::to_string(result.cutShort->named) + " buffer pools but the file holds " +
                     std::to_string(result.cutShort->held) + ": it may have been cut short.",
                 MessageIcon::Exclamation}};
    }
    return {};
}

Messages MessagesOf(const StatReadResult& result, const ReadFiles& files) {
    Messages messages = MessagesOf(result);
    if (messages.empty()) {
        return messages;
    }
    if (result.fault) {
        messages.front().hint = HintOf(*result.fault, files);
    } else if (result.cutShort) {
        const std::string file = files.statistics.empty() ? "The Statistics report" : files.statistics;
        messages.front().hint = file + " names " + std::to_string(result.cutShort->named) +
                                " buffer pools in its header but holds " + std::to_string(result.cutShort->held) +
                                ": the pools after the last one are missing. Transfer the whole report from the "
                                "host again to see them all.";
    } else if (result.Warned()) {
        const std::string file = files.statistics.empty() ? "The display" : files.statistics;
        messages.front().hint = file + " was read as far as it goes; each line named above is where to look.";
    }
    return messages;
}

} // namespace ornexa
