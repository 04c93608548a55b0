#include "report/read_fault.h"

namespace ornexa {

namespace {

std::string_view FieldErrorTitle(ReportPart part) {
    switch (part) {
    case ReportPart::Header:
        return StatHeaderErrorTitle;
    case ReportPart::PoolLine:
        return StatPoolErrorTitle;
    case ReportPart::ObjectLine:
        return StatObjectErrorTitle;
    case ReportPart::SimParameters:
        return SimParamErrorTitle;
    case ReportPart::SimPoolLine:
        return SimPoolErrorTitle;
    case ReportPart::SimObjectLine:
        return SimObjectLineErrorTitle;
    case ReportPart::StatFile:
        return StatFileErrorTitle;
    case ReportPart::SimFile:
        return SimFileErrorTitle;
    case ReportPart::Db2Message:
        return Db2DisplayTitle;
    }
    return StatFileErrorTitle;
}

Message Box(std::string_view title, std::string_view text, MessageIcon icon) {
    return {std::string(title), std::string(text), icon};
}

bool InSimulation(ReportPart part) {
    return part == ReportPart::SimFile || part == ReportPart::SimParameters || part == ReportPart::SimPoolLine ||
           part == ReportPart::SimObjectLine;
}

// "the report header", "a pool line", ...: the line a field error lies in.
std::string_view LineKind(ReportPart part) {
    switch (part) {
    case ReportPart::Header:
        return "the report header";
    case ReportPart::PoolLine:
        return "a pool line";
    case ReportPart::ObjectLine:
        return "an object line";
    case ReportPart::SimParameters:
        return "the parameter line";
    case ReportPart::SimPoolLine:
        return "the pool line";
    case ReportPart::SimObjectLine:
        return "an object line";
    case ReportPart::Db2Message:
        return "a Db2 message";
    case ReportPart::StatFile:
    case ReportPart::SimFile:
        break;
    }
    return "a line";
}

// "Field 12 of line 40 of x.sta (a pool line, from column 66)"
std::string FieldPlace(const ReadFault& fault, const std::string& file) {
    std::string place;
    if (fault.field > 0) {
        place = "Field " + std::to_string(fault.field) + " of line " + std::to_string(fault.line);
    } else {
        place = "Line " + std::to_string(fault.line);
    }
    place += " of " + file + " (" + std::string(LineKind(fault.part));
    if (fault.field > 0 && fault.column > 0) {
        place += ", from column " + std::to_string(fault.column);
    }
    return place + ")";
}

// What to do about a field that does not convert, by where it lies.
std::string FieldAdvice(const ReadFault& fault) {
    switch (fault.part) {
    case ReportPart::SimObjectLine:
        return "the line is left out and the other lines are read. Check that the report was transferred as "
               "text, unchanged.";
    case ReportPart::PoolLine:
    case ReportPart::ObjectLine:
        return "what comes before it is read, the rest is not. Transfer the report from the host again, as text, "
               "and open it again.";
    default:
        return "the file may have been changed or damaged on its way from the host. Transfer it again, as text, "
               "and open it again.";
    }
}

// "Line 40 of x.log (DSNB411I, RANDOM GETPAGE)"
std::string MessagePlace(const ReadFault& fault, const std::string& file) {
    return "Line " + std::to_string(fault.line) + " of " + file + " (" + fault.subject + ")";
}

std::string Db2MessageHint(const ReadFault& fault, const std::string& file) {
    if (fault.cause == FaultCause::TableFull) {
        return file + " holds more pools or data sets than the limits in force allow (line " +
               std::to_string(fault.line) + " is the first left out): read it again with larger limits.";
    }
    return MessagePlace(fault, file) + " holds " +
           (fault.cause == FaultCause::OutOfRange ? "a number beyond 64 bits" : "a value that is not a number") +
           ": the displays before it are read, the rest is not. Capture the display again (as text) and open it "
           "again.";
}

std::string FieldErrorHint(const ReadFault& fault, const std::string& file, const std::string& statistics) {
    if (fault.part == ReportPart::Db2Message) {
        return Db2MessageHint(fault, file);
    }
    switch (fault.cause) {
    case FaultCause::NoSuchPool:
        return file + " describes pool " + fault.subject + ", which " + statistics +
               " does not hold: choose the Simulation report of one of its pools.";
    case FaultCause::TooManySizes:
        return file + " simulates more pool sizes than ORNEXA reads (at most 8): run the simulation again with 8 "
                      "sizes or fewer.";
    case FaultCause::TableFull:
        if (fault.part != ReportPart::PoolLine && fault.part != ReportPart::ObjectLine) {
            break;
        }
        return file + " holds more " + (fault.part == ReportPart::PoolLine ? "pool" : "object") +
               " lines than the limits in force allow (line " + std::to_string(fault.line) +
               " is the first left out): read it again with larger limits.";
    case FaultCause::LineMissing:
        if (fault.part == ReportPart::Header) {
            return file + " ends after its first line: the report header is missing. Transfer the whole report "
                          "from the host again.";
        }
        if (fault.part == ReportPart::SimParameters) {
            return file + " has no parameter line (\"*BPP\"): it is not a whole Simulation report. Transfer it "
                          "from the host again.";
        }
        return file + " ends before " + std::string(LineKind(fault.part)) +
               ": it has been cut short. Transfer the whole report from the host again.";
    case FaultCause::OutOfRange:
        return FieldPlace(fault, file) + " holds a number too large for it: " + FieldAdvice(fault);
    default:
        break;
    }
    return FieldPlace(fault, file) + " is not a number: " + FieldAdvice(fault);
}

std::string FileFailureHint(const ReadFault& fault, const std::string& file, bool simulation) {
    const std::string_view kind = simulation ? "Simulation" : "Statistics";
    switch (fault.cause) {
    case FaultCause::EmptyFile:
        return file + " is empty. Transfer the " + std::string(kind) + " report from the host again, then open it.";
    case FaultCause::NoPoolLine:
        return file + " holds no buffer pool line: it is not a whole Statistics report. Choose the report as "
                      "the monitor wrote it.";
    case FaultCause::ObjectBeforePool:
        return "Line " + std::to_string(fault.line) + " of " + file +
               " is an object line before any pool line: the start of the report is missing. Transfer the whole "
               "report from the host again.";
    default:
        return "ORNEXA could not read " + file +
               ". Check that the file is still there, that you may read it and that it is a report, then open it "
               "again.";
    }
}

} // namespace

FaultCause CauseOf(ReadFailure failure) {
    switch (failure) {
    case ReadFailure::TypeMismatch:
        return FaultCause::NotANumber;
    case ReadFailure::Overflow:
        return FaultCause::OutOfRange;
    case ReadFailure::SubscriptOutOfRange:
        return FaultCause::TableFull;
    case ReadFailure::InputPastEnd:
        return FaultCause::LineMissing;
    }
    return FaultCause::Unspecified;
}

namespace {

std::string Advice(const ReadFault& fault, const ReadFiles& files) {
    const bool simulation = InSimulation(fault.part);
    const std::string& named = simulation ? files.simulation : files.statistics;
    const std::string file = named.empty() ? (simulation ? "the Simulation report" : "the Statistics report") : named;
    const std::string statistics = files.statistics.empty() ? "the Statistics report" : files.statistics;
    switch (fault.kind) {
    case FaultKind::FileFailure:
        return FileFailureHint(fault, file, simulation);
    case FaultKind::NotAReport:
        return file + " is not a " + (simulation ? "Simulation" : "Statistics") +
               " report: its first line is not an environment line (\"ENV\"). Choose the report as the monitor "
               "wrote it, transferred from the host as a flat text file.";
    case FaultKind::FieldError:
        return FieldErrorHint(fault, file, statistics);
    case FaultKind::NoStatistics:
        return "A Simulation report is read after the Statistics report of the same run: open that Statistics "
               "report first, then " +
               file + ".";
    case FaultKind::IncludeObjects:
        return file + " was made with include objects (an \"I\" in column 21), which ORNEXA cannot analyse: run "
                      "the simulation again without them and open its report.";
    case FaultKind::TooFewSizes:
        return file + " simulates fewer than two pool sizes: run the simulation again with two sizes or more.";
    case FaultKind::SizeMismatch:
        return "None of the sizes " + file + " simulates for pool " + fault.subject + " is the size of " +
               fault.subject + " in " + statistics +
               " (its virtual pool and hiperpool together): choose the Simulation report made for this Statistics "
               "report.";
    case FaultKind::ObjectNotFound:
        return "Line " + std::to_string(fault.line) + " of " + file + " names object " + fault.subject +
               ", which the simulated pool of " + statistics +
               " does not hold: the line is left out. Check that both reports come from the same run.";
    case FaultKind::NotADb2Display:
        return file + " holds Db2 messages but no buffer pool display (no DSNB401I): capture the output of "
                      "-DISPLAY BUFFERPOOL(*) DETAIL(INTERVAL) and open it.";
    }
    return {};
}

} // namespace

std::string HintOf(const ReadFault& fault, const ReadFiles& files) {
    std::string hint = Advice(fault, files);
    if (hint.starts_with("the ")) {
        hint[0] = 'T'; // a file without a name, at the start of the sentence
    }
    return hint;
}

Message MessageOf(const ReadFault& fault, const ReadFiles& files) {
    Message message = MessageOf(fault);
    message.hint = HintOf(fault, files);
    return message;
}

Message MessageOf(const ReadFault& fault) {
    switch (fault.kind) {
    case FaultKind::FileFailure:
        return Box(fault.part == ReportPart::SimFile ? SimFileErrorTitle : StatFileErrorTitle, fault.description,
                   MessageIcon::Information);
    case FaultKind::NotAReport:
        return Box(FileIOTitle, IncorrectFormatText, MessageIcon::Exclamation);
    case FaultKind::FieldError:
        if (fault.part == ReportPart::Db2Message) {
            return Box(Db2DisplayTitle,
                       "Line " + std::to_string(fault.line) + ", " + fault.subject + ": " + fault.description,
                       MessageIcon::Exclamation);
        }
        return Box(FieldErrorTitle(fault.part),
                   ReadErrorReport(fault.description, fault.line, fault.field, fault.column), MessageIcon::Exclamation);
    case FaultKind::NoStatistics:
        return Box(SimFileTitle, ReadStatisticsFirstText, MessageIcon::Critical);
    case FaultKind::IncludeObjects:
        return Box(SimReadErrorTitle, IncludeObjectsText, MessageIcon::Exclamation);
    case FaultKind::TooFewSizes:
        return Box("", TooFewSizesText, MessageIcon::None);
    case FaultKind::SizeMismatch:
        return Box("", SizeMismatchText, MessageIcon::None);
    case FaultKind::ObjectNotFound:
        return Box(SimObjectErrorTitle, ObjectNotFoundText, MessageIcon::Exclamation);
    case FaultKind::NotADb2Display:
        return Box(Db2DisplayTitle, NotADb2DisplayText, MessageIcon::Exclamation);
    }
    return Box(StatFileErrorTitle, fault.description, MessageIcon::Information);
}

} // namespace ornexa
