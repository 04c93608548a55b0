#pragma once

#include <cstdint>
#include <filesystem>
#include <string_view>

#include <optional>
#include <vector>

#include "report/line_reader.h"
#include "report/read_fault.h"
#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {

// How a read of a Simulation report ended.
enum class SimReadOutcome {
    Loaded,         // read to its end: SimFileLoaded is set
    NoStatistics,   // no Statistics report is loaded
    FormatError,    // line 1 is not an environment line
    IncludeObjects, // the report holds include objects
    ParameterError, // the "*BPP" line is missing or has a field that does not convert
    TooFewSizes,    // fewer than two simulated sizes
    PoolLineError,  // the pool line fails, names no pool of the statistics, or has too many sizes
    SizeMismatch,   // no simulated size is the pool's own size
    Failed,         // the file could not be opened or read
};

struct SimReadResult {
    SimReadOutcome outcome = SimReadOutcome::Failed;
    std::int64_t ReadLineNo = 0;
    std::int32_t ReadFieldNo = 0;
    bool clearPath = false;         // the file-name label is cleared
    bool beep = false;              // the refusal is also sounded
    int objectLines = 0;            // object simulation lines stored
    int skippedLines = 0;           // object simulation lines left (unknown object or a bad field)
    std::vector<ReadFault> skipped; // why each of them was left, in file order
    std::optional<ReadFault> fault; // what stopped a read that did not load

    [[nodiscard]] bool Loaded() const { return outcome == SimReadOutcome::Loaded; }
};

// The simulated pool of a Statistics report: the first pool whose name (8 characters,
// blank-filled) contains `simPoolName` blank-filled to 6 characters, ignoring case; 0 for none.
int FindSimulatedPool(const Report& report, std::string_view simPoolName);

// The object of pool p that an object simulation line names: the object whose name equals it
// (ignoring case), else the first whose name contains it; 0 for none or a blank name.
int FindSimulatedObject(const Report& report, int p, std::string_view name);

// Reads a Simulation report of a pool of `report` into `simulation`: the parameters, the pool's
// values (simulatedPool names it) and those of the objects it names. SimFileLoaded is set only by a
// read that reaches the end of the file; any read that stops leaves it cleared. An object line is
// stored whole or not at all.
SimReadResult ReadSimulationFile(const Report& report, SimulationData& simulation, const std::filesystem::path& path,
                                 const ProgressFn& progress = {}, FileKinds kinds = FileKinds::Any);
// The same read of bytes already in memory, named `name` in its messages.
SimReadResult ReadSimulationBytes(const Report& report, SimulationData& simulation, std::string_view bytes,
                                  const std::filesystem::path& name, const ProgressFn& progress = {});

// The boxes of a read: one per skipped line, then the fault that stopped it.
Messages MessagesOf(const SimReadResult& result);
// The same boxes, each with its advice naming the files.
Messages MessagesOf(const SimReadResult& result, const ReadFiles& files);

} // namespace ornexa
