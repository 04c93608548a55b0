#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "load/report_kind.h"
#include "report/line_reader.h"
#include "report/report_model.h"
#include "report/stat_reader.h"
#include "simulation/sim_data.h"
#include "simulation/sim_reader.h"

namespace ornexa {

// Where a reader reads: the file at `path`, or the bytes held already (then `path` only names them).
struct ReadSource {
    std::filesystem::path path;
    std::optional<std::string_view> bytes;
};

// Reads a report into `report`, which is reset.
using ReportReaderFn =
    std::function<StatReadResult(Report& report, const ReadSource& source, const ProgressFn& progress,
                                 FileKinds accepted, const ReportLimits& limits)>;
// Reads the simulation of a pool of a loaded report.
using SimulationReaderFn =
    std::function<SimReadResult(const Report& report, SimulationData& sim, const ReadSource& source,
                                const ProgressFn& progress, FileKinds accepted)>;

// One kind of input: how its content is recognised and how it is read. A kind that makes the report
// has `readReport`; one read beside a loaded report (the Simulation report) has `readSimulation`.
struct InputKind {
    ReportKind kind = ReportKind::Statistics;
    // The file's first line (its first 1024 characters) is one this kind starts with.
    std::function<bool(std::string_view firstLine)> opens;
    // A following line (its first 80 characters) that tells this kind from the others opening alike.
    std::function<bool(std::string_view lineStart)> marks;
    // For a kind without a first line of its own: the first megabyte of the file holds it.
    std::function<bool(std::string_view head)> holds;
    ReportReaderFn readReport;
    SimulationReaderFn readSimulation;
};

// The kinds of input the program reads, looked at in the order they were registered.
class InputKinds {
public:
    // The Statistics and the Simulation report, and Db2's display output.
    static const InputKinds& Standard();

    void Register(InputKind kind) { kinds_.push_back(std::move(kind)); }

    // What the file holds: of the kinds whose first line it has, the one that a following line marks
    // first; when no line does within the first lines, the first of them.
    [[nodiscard]] ReportKind KindOf(const std::filesystem::path& path) const;
    [[nodiscard]] ReportKind KindOfBytes(std::string_view bytes) const;

    [[nodiscard]] const InputKind* Find(ReportKind kind) const;
    // The kind that reads a report file told `told`: its own when it makes a report, else the first
    // kind registered that does (the Statistics report, whose read says why the file is none).
    [[nodiscard]] const InputKind& ReportReader(ReportKind told) const;
    // The same for the file read beside a loaded report.
    [[nodiscard]] const InputKind& SimulationReader(ReportKind told) const;

private:
    [[nodiscard]] ReportKind KindOfLines(ReportLineReader& lines) const;
    [[nodiscard]] ReportKind KindOfHead(std::string_view head) const;
    template <class Reader> const InputKind& ReaderOf(ReportKind told, Reader InputKind::*reader) const;

    std::vector<InputKind> kinds_;
};

} // namespace ornexa
