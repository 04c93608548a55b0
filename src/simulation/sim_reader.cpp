#include "simulation/sim_reader.h"

#include <algorithm>
#include <string>

#include "report/field_conversion.h"
#include "report/letter_case.h"
#include "report/stat_reader.h"
#include "simulation/object_name_index.h"
#include "simulation/sim_columns.h"

namespace ornexa {

namespace {

bool IncludeMarked(std::string_view line) {
    return TrimBlanks(FieldText(line, SimLineColumns.IncludeMark)) == "I";
}

std::string WithReason(ReadFailure failure, const std::string& reason) {
    return std::string(Describe(failure)) + " (" + reason + ")";
}

class SimulationRead {
public:
    SimulationRead(const Report& report, SimulationData& simulation, const ProgressFn& progress)
        : report_(report), sim_(simulation), lines_(progress) {}

    SimReadResult Run(const std::filesystem::path& path, FileKinds kinds) {
        sim_.SimFileLoaded = false;
        sim_.simulatedPool = 0;
        if (!report_.StatFileLoaded) {
            return Refuse(FaultKind::NoStatistics, SimReadOutcome::NoStatistics);
        }
        if (const auto failure = lines_.Open(path, kinds)) {
            return Fail(*failure);
        }
        return Read();
    }

    SimReadResult Run(std::string_view bytes, const std::filesystem::path& name) {
        sim_.SimFileLoaded = false;
        sim_.simulatedPool = 0;
        if (!report_.StatFileLoaded) {
            return Refuse(FaultKind::NoStatistics, SimReadOutcome::NoStatistics);
        }
        lines_.OpenBytes(bytes, name);
        return Read();
    }

private:
    SimReadResult Read() {
        const ReportStart start = ReadReportStart(lines_, MaxLine);
        if (start.failure) {
            return Fail(*start.failure, start.cause);
        }
        const auto usa = start.usa;
        if (!usa) {
            return Refuse(FaultKind::NotAReport, SimReadOutcome::FormatError);
        }
        usa_ = *usa;

        if (auto stopped = ReadParameters()) {
            return *stopped;
        }
        if (auto stopped = ReadPoolLine()) {
            return *stopped;
        }
        while (const auto line = lines_.ReadReportLine(MaxLine)) {
            const std::string_view code = line->substr(0, 4);
            if (code.find("BPS") != std::string_view::npos) {
                ReadObjectLine(*line);
            } else if (code.find("BPO") != std::string_view::npos && IncludeMarked(*line)) {
                result_.beep = true;
                return Refuse(FaultKind::IncludeObjects, SimReadOutcome::IncludeObjects);
            }
        }
        if (const auto& failure = lines_.Error()) {
            return Fail(*failure);
        }
        Counters();
        lines_.End(100);
        sim_.SimFileLoaded = true;
        result_.outcome = SimReadOutcome::Loaded;
        return result_;
    }

    static constexpr auto MaxLine = static_cast<std::size_t>(LongestSimulationLine);

    // Preamble up to the "*BPP" line, then its 34 fields.
    std::optional<SimReadResult> ReadParameters() {
        result_.ReadFieldNo = 0;
        bool includeFound = false;
        std::optional<std::string_view> line = lines_.ReadReportLine(MaxLine);
        while (line && line->substr(0, 4) != "*BPP") {
            includeFound = includeFound || IncludeMarked(*line);
            line = lines_.ReadReportLine(MaxLine);
        }
        if (!line) {
            if (const auto& failure = lines_.Error()) {
                return Fail(*failure);
            }
            result_.clearPath = true;
            return FieldError(ReportPart::SimParameters, {ReadFailure::InputPastEnd, 0},
                              SimReadOutcome::ParameterError);
        }
        if (includeFound) {
            result_.clearPath = true;
            return Refuse(FaultKind::IncludeObjects, SimReadOutcome::IncludeObjects);
        }
        if (const auto fault =
                ConvertLine(*line, SimParamColumns(), SimParamFields(sim_.Sim), usa_, result_.ReadFieldNo)) {
            result_.clearPath = true;
            return FieldError(ReportPart::SimParameters, *fault, SimReadOutcome::ParameterError);
        }
        if (sim_.Sim.SimSizeCount < 2) {
            result_.clearPath = true;
            return Refuse(FaultKind::TooFewSizes, SimReadOutcome::TooFewSizes);
        }
        return std::nullopt;
    }

    // The line after "*BPP": the simulated pool's values per size, then the size check.
    std::optional<SimReadResult> ReadPoolLine() {
        const auto line = lines_.ReadReportLine(MaxLine);
        const SimParameters& sim = sim_.Sim;
        const int p = FindSimulatedPool(report_, sim.SimPoolName.Padded());
        result_.ReadFieldNo = 0;
        if (!line) {
            if (const auto& failure = lines_.Error()) {
                return Fail(*failure);
            }
            return FieldError(ReportPart::SimPoolLine, {ReadFailure::InputPastEnd, 0}, SimReadOutcome::PoolLineError);
        }
        if (p == 0) {
            FieldError(ReportPart::SimPoolLine, {ReadFailure::SubscriptOutOfRange, 0}, SimReadOutcome::PoolLineError,
                       "no pool of the statistics is named " + sim.SimPoolName.Str());
            result_.fault->cause = FaultCause::NoSuchPool;
            result_.fault->subject = sim.SimPoolName.Str();
            return result_;
        }
        sim_.simulatedPool = p;
        const PoolRecord& statPool = report_.Pools(p);
        PoolSimulation& pool = sim_.Pools(p);
        const int sizes = std::min<int>(sim.SimSizeCount, MaxSimSizes);
        for (int k = 1; k <= sizes; ++k) {
            result_.ReadFieldNo = 0;
            const auto size = static_cast<std::int64_t>(sim.SimVPSize(k)) + sim.SimHPSize(k);
            const Converted<Long> poolSize = DoubleToLong(static_cast<double>(size));
            if (!poolSize) {
                return FieldError(ReportPart::SimPoolLine,
                                  {poolSize.Failure(), SimParamColumns()[10 + 2 * (k - 1)].Start},
                                  SimReadOutcome::PoolLineError);
            }
            pool.SimPoolSize(k) = poolSize.Value();
            if (const auto fault =
                    ConvertLine(*line, std::span<const ColumnDef, SimPoolValuesPerSize>(SimPoolSizeColumns(k)),
                                SimPoolSizeFields(pool, k), usa_, result_.ReadFieldNo)) {
                return FieldError(ReportPart::SimPoolLine, *fault, SimReadOutcome::PoolLineError);
            }
        }
        if (sim.SimSizeCount > MaxSimSizes) {
            result_.ReadFieldNo = 1;
            FieldError(ReportPart::SimPoolLine, {ReadFailure::SubscriptOutOfRange, SimSizeColumns(1)[0].Start + 46 * 8},
                       SimReadOutcome::PoolLineError,
                       "at most " + std::to_string(MaxSimSizes) + " simulated sizes, the report has " +
                           std::to_string(sim.SimSizeCount));
            result_.fault->cause = FaultCause::TooManySizes;
            return result_;
        }
        const std::int64_t realSize = static_cast<std::int64_t>(statPool.VPSize) + statPool.HPSize;
        bool matched = false;
        for (int k = 1; k <= sizes; ++k) {
            matched = matched || pool.SimPoolSize(k) == realSize;
        }
        if (!matched) {
            Refuse(FaultKind::SizeMismatch, SimReadOutcome::SizeMismatch);
            result_.fault->subject = statPool.PoolName.Trimmed();
            return result_;
        }
        return std::nullopt;
    }

    // One object's values at every size; a line that fails leaves the object as it was.
    void ReadObjectLine(std::string_view line) {
        const std::string_view name = TrimBlanks(FieldText(line, SimLineColumns.ObjectName));
        if (!objects_) {
            objects_.emplace(report_, sim_.simulatedPool);
        }
        const int o = objects_->Find(name);
        if (o == 0) {
            result_.skipped.push_back({FaultKind::ObjectNotFound, ReportPart::SimObjectLine, lines_.ReadLineNo(), 1,
                                       SimLineColumns.ObjectName.Start, std::string(name), FaultCause::Unspecified,
                                       std::string(name)});
            ++result_.skippedLines;
            return;
        }
        ObjectSimulation object = sim_.Objects(o);
        FixedText<1> includeMark;
        std::int32_t fieldNo = 1; // the name
        const std::array<ColumnDef, 3> fixedColumns{SimLineColumns.IncludeMark, SimLineColumns.SimObjStat03,
                                                    SimLineColumns.SimObjStat04};
        const std::array<FieldRef, 3> fixedFields{includeMark.Span(), &object.SimObjStat03, &object.SimObjStat04};
        std::optional<FieldFault> fault =
            ConvertLine(line, std::span<const ColumnDef, 3>(fixedColumns), fixedFields, usa_, fieldNo);
        for (int k = 1; !fault && k <= sim_.Sim.SimSizeCount; ++k) {
            fault = ConvertLine(line, std::span<const ColumnDef, SimValuesPerSize>(SimSizeColumns(k)),
                                SimObjectSizeFields(object, k), usa_, fieldNo);
        }
        if (fault) {
            result_.skipped.push_back({FaultKind::FieldError, ReportPart::SimObjectLine, lines_.ReadLineNo(), fieldNo,
                                       fault->column, std::string(Describe(fault->failure)), CauseOf(fault->failure)});
            ++result_.skippedLines;
            return;
        }
        sim_.Objects(o) = object;
        ++result_.objectLines;
    }

    void Counters() { result_.ReadLineNo = lines_.ReadLineNo(); }

    SimReadResult Stop(SimReadOutcome outcome) {
        Counters();
        lines_.End(0);
        sim_.SimFileLoaded = false;
        result_.outcome = outcome;
        return result_;
    }

    // A refusal with a fixed text of its own.
    SimReadResult Refuse(FaultKind kind, SimReadOutcome outcome) {
        result_.fault = ReadFault{kind, ReportPart::SimFile, lines_.ReadLineNo(), 0, 0, {}};
        return Stop(outcome);
    }

    SimReadResult FieldError(ReportPart part, FieldFault fault, SimReadOutcome outcome,
                             const std::string& reason = {}) {
        Counters();
        const std::string description =
            reason.empty() ? std::string(Describe(fault.failure)) : WithReason(fault.failure, reason);
        result_.fault = ReadFault{FaultKind::FieldError, part,        result_.ReadLineNo,    result_.ReadFieldNo,
                                  fault.column,          description, CauseOf(fault.failure)};
        return Stop(outcome);
    }

    SimReadResult Fail(const std::string& description, FaultCause cause = FaultCause::Unspecified) {
        result_.fault =
            ReadFault{FaultKind::FileFailure, ReportPart::SimFile, lines_.ReadLineNo(), 0, 0, description, cause};
        return Stop(SimReadOutcome::Failed);
    }

    const Report& report_;
    SimulationData& sim_;
    ReportLineReader lines_;
    SimReadResult result_;
    bool usa_ = true;
    std::optional<ObjectNameIndex> objects_; // of the simulated pool, made at its first object line
};

} // namespace

int FindSimulatedPool(const Report& report, std::string_view simPoolName) {
    std::string wanted(TrimBlanks(simPoolName));
    wanted.resize(std::max<std::size_t>(wanted.size(), 6), ' ');
    for (int p = 1; p <= report.PoolCount(); ++p) {
        if (ContainsIgnoringCase(report.Pools(p).PoolName.Padded(), wanted)) {
            return p;
        }
    }
    return 0;
}

int FindSimulatedObject(const Report& report, int p, std::string_view name) {
    name = TrimBlanks(name);
    if (name.empty() || !report.HasPool(p)) {
        return 0;
    }
    const ObjectRange range = PoolObjects(report, p);
    for (const int o : range) {
        if (EqualIgnoringCase(report.Objects(o).ObjName.Trimmed(), name)) {
            return o;
        }
    }
    for (const int o : range) {
        if (ContainsIgnoringCase(report.Objects(o).ObjName.Padded(), name)) {
            return o;
        }
    }
    return 0;
}

SimReadResult ReadSimulationFile(const Report& report, SimulationData& simulation, const std::filesystem::path& path,
                                 const ProgressFn& progress, FileKinds kinds) {
    SimulationRead read(report, simulation, progress);
    return read.Run(path, kinds);
}

SimReadResult ReadSimulationBytes(const Report& report, SimulationData& simulation, std::string_view bytes,
                                  const std::filesystem::path& name, const ProgressFn& progress) {
    SimulationRead read(report, simulation, progress);
    return read.Run(bytes, name);
}

Messages MessagesOf(const SimReadResult& result) {
    Messages messages;
    for (const ReadFault& fault : result.skipped) {
        messages.push_back(MessageOf(fault));
    }
    if (result.fault) {
        messages.push_back(MessageOf(*result.fault));
    }
    return messages;
}

Messages MessagesOf(const SimReadResult& result, const ReadFiles& files) {
    Messages messages;
    for (const ReadFault& fault : result.skipped) {
        messages.push_back(MessageOf(fault, files));
    }
    if (result.fault) {
        messages.push_back(MessageOf(*result.fault, files));
    }
    return messages;
}

} // namespace ornexa
