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
    }
    return StatFileErrorTitle;
}

Message Box(std::string_view title, std::string_view text, MessageIcon icon) {
    return {std::string(title), std::string(text), icon};
}

} // namespace

Message MessageOf(const ReadFault& fault) {
    switch (fault.kind) {
    case FaultKind::FileFailure:
        return Box(fault.part == ReportPart::SimFile ? SimFileErrorTitle : StatFileErrorTitle, fault.description,
                   MessageIcon::Information);
    case FaultKind::NotAReport:
        return Box(FileIOTitle, IncorrectFormatText, MessageIcon::Exclamation);
    case FaultKind::FieldError:
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
    }
    return Box(StatFileErrorTitle, fault.description, MessageIcon::Information);
}

} // namespace ornexa
