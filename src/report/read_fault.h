#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "report/messages.h"
#include "report/numbers.h"

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
    NotADb2Display, // Db2 messages without a buffer pool display (DSNB401I)
};

// Which file, or which kind of line, a fault lies in.
enum class ReportPart {
    StatFile,
    Header,
    PoolLine,
    ObjectLine,
    SimFile,
    SimParameters,
    SimPoolLine,
    SimObjectLine,
    Db2Message, // a message of Db2's display output; `subject` names its id and label
};

// Why a read failed, where the kind alone does not say: it decides what the user is advised to do.
enum class FaultCause {
    Unspecified,      // the file could not be opened or read, or the kind says it all
    NotANumber,       // a field is not a number (an empty or blank one included)
    OutOfRange,       // a number too large for its field
    TableFull,        // a pool or object line beyond the limits in force
    LineMissing,      // the file ends before a line the report needs
    EmptyFile,        // the file holds nothing at all
    NoPoolLine,       // a Statistics report without any pool line
    ObjectBeforePool, // an object line before the first pool line
    NoSuchPool,       // a Simulation report of a pool the statistics do not hold
    TooManySizes,     // a Simulation report of more sizes than can be read
};

FaultCause CauseOf(ReadFailure failure);

// A fault of a read, as data: the front ends decide how to tell it.
struct ReadFault {
    FaultKind kind = FaultKind::FileFailure;
    ReportPart part = ReportPart::StatFile;
    std::int64_t line = 0;   // 1-based line of the file; 0 where no line is meant
    std::int32_t field = 0;  // 1-based field of that line; 0 where no field is meant
    std::int64_t column = 0; // first column of that field
    std::string description; // "Type mismatch", or what failed with the file
    FaultCause cause = FaultCause::Unspecified;
    std::string subject = {}; // the pool or object the fault names (trimmed), where it names one

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
inline constexpr std::string_view Db2DisplayTitle = "Read Db2 Display";
inline constexpr std::string_view NotADb2DisplayText = "not a Db2 display";

// Something a read noticed and went on past, with the line it concerns. A warning makes the read one
// that loaded with warnings (`--strict` fails it); the rest only informs.
struct ReadNote {
    std::int64_t line = 0;
    std::string text;
    bool warning = true;
    friend bool operator==(const ReadNote&, const ReadNote&) = default;
};

// The message box that tells the fault: its title, text and icon.
Message MessageOf(const ReadFault& fault);

// The files of a read as the user should see them named: the window gives full paths, the headless
// tool the paths as given. An empty name is left out of the advice.
struct ReadFiles {
    std::string statistics;
    std::string simulation;
};

// What the user is told below the message: which file, what is wrong with it and what to do.
std::string HintOf(const ReadFault& fault, const ReadFiles& files);

// The box of the fault with its advice below the text.
Message MessageOf(const ReadFault& fault, const ReadFiles& files);

} // namespace ornexa
