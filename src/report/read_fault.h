#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"

namespace ornexa {

// What stopped or troubled a read.
enum class FaultKind {
    FileFailure,    // the file could not be opened or read, or holds nothing a read can use
    NotAReport,     // line 1 is not an environment line
    FieldError,     // a field could not be converted, or a line lies beyond what the report can hold
    NoStatistics,   // a Simulation report before any Statistics report
    IncludeObjects, // a Simulation report that holds include objects
    TooFewSizes,    // a Simulation report of fewer than two sizes
    SizeMismatch,   // no simulated size is the pool's own
    ObjectNotFound, // an object simulation line names no object of the pool
};

// Which file, or which kind of line, a fault lies in.
enum class ReportPart { StatFile, Header, PoolLine, ObjectLine, SimFile, SimParameters, SimPoolLine, SimObjectLine };

// A fault of a read, as data: the front ends decide how to tell it.
struct ReadFault {
    FaultKind kind = FaultKind::FileFailure;
    ReportPart part = ReportPart::StatFile;
    std::int64_t line = 0;   // 1-based line of the file; 0 where no line is meant
    std::int32_t field = 0;  // 1-based field of that line; 0 where no field is meant
    std::int64_t column = 0; // first column of that field
    std::string description; // "Type mismatch", or what failed with the file

    friend bool operator==(const ReadFault&, const ReadFault&) = default;
};

// Titles and texts of the read messages.
inline constexpr std::string_view FileIOTitle = "File IO";
inline constexpr std::string_view IncorrectFormatText = "Incorrect File Format, Use A Flat File";
inline constexpr std::string_view StatHeaderErrorTitle = "Read Stat Report Information";
inline constexpr std::string_view StatPoolErrorTitle = "Read Stat Pool Information";
inline constexpr std::string_view StatObjectErrorTitle = "Read Stat Object Information";
inline constexpr std::string_view StatFileErrorTitle = "Read Stat File";
inline constexpr std::string_view SimFileTitle = "Simulation File";
inline constexpr std::string_view ReadStatisticsFirstText = "Please Read Statistics File First";
inline constexpr std::string_view SimReadErrorTitle = "Simulation File Read Error";
inline constexpr std::string_view IncludeObjectsText = "Can not analyse file containing Include Objects";
inline constexpr std::string_view TooFewSizesText = "Too Few Simulation Combinations";
inline constexpr std::string_view SizeMismatchText = "A Simulation Size Must match Original Pool Size";
inline constexpr std::string_view SimObjectErrorTitle = "Simulation Object Read Error";
inline constexpr std::string_view ObjectNotFoundText = "Object Not Found In Buffer Pool";
inline constexpr std::string_view SimParamErrorTitle = "Read Simulation Report Information";
inline constexpr std::string_view SimPoolErrorTitle = "Read Simulation Buffer Pool Information";
inline constexpr std::string_view SimObjectLineErrorTitle = "Read Simulation Object Information";
inline constexpr std::string_view SimFileErrorTitle = "Read Simulation File";

// The message box that tells the fault: its title, text and icon.
Message MessageOf(const ReadFault& fault);

} // namespace ornexa
