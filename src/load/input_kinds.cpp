#include "load/input_kinds.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "display/display_parse.h"
#include "display/display_reader.h"

namespace ornexa {

namespace {
constexpr std::size_t FirstLineLength = 1024; // the environment line is checked for "ENV" only
constexpr std::size_t LineStart = 80;         // enough to tell the line kinds apart
// A Simulation report's preamble is a few lines long; a Statistics report's header follows at once.
constexpr int LinesLookedAt = 64;
// A few lines are looked at: a small block, not the reader's megabyte.
constexpr std::size_t LookBlockBytes = std::size_t{64} * 1024;

bool OpensWithEnvironmentLine(std::string_view line) {
    return CheckEnvironmentLine(line).has_value();
}

InputKind StatisticsKind() {
    InputKind kind;
    kind.kind = ReportKind::Statistics;
    kind.opens = OpensWithEnvironmentLine;
    kind.marks = [](std::string_view line) {
        return line.starts_with("HDR") || line.starts_with("BPS") || line.starts_with("BPD");
    };
    kind.readReport = [](Report& report, const ReadSource& source, const ProgressFn& progress, FileKinds accepted,
                         const ReportLimits& limits) {
        return source.bytes ? ReadStatisticsBytes(report, *source.bytes, source.path, progress, limits)
                            : ReadStatisticsFile(report, source.path, progress, accepted, limits);
    };
    return kind;
}

InputKind SimulationKind() {
    InputKind kind;
    kind.kind = ReportKind::Simulation;
    kind.opens = OpensWithEnvironmentLine;
    kind.marks = [](std::string_view line) { return line.starts_with("*BPP"); };
    kind.readSimulation = [](const Report& report, SimulationData& sim, const ReadSource& source,
                             const ProgressFn& progress, FileKinds accepted) {
        return source.bytes ? ReadSimulationBytes(report, sim, *source.bytes, source.path, progress)
                            : ReadSimulationFile(report, sim, source.path, progress, accepted);
    };
    return kind;
}

InputKind Db2DisplayKind() {
    InputKind kind;
    kind.kind = ReportKind::Db2Display;
    kind.holds = HoldsDb2BufferPoolMessages;
    kind.readReport = [](Report& report, const ReadSource& source, const ProgressFn& progress, FileKinds /*accepted*/,
                         const ReportLimits& limits) {
        // Told by its content, a display is a regular file or bytes held already.
        return source.bytes ? ReadDisplayReport(report, *source.bytes, limits, progress)
                            : ReadDisplayFile(report, source.path, limits, progress);
    };
    return kind;
}

// A log may hold much else before its first display: the first megabyte is looked at.
constexpr std::size_t HeadBytes = std::size_t{1024} * 1024;

// The first megabyte of a regular file; empty when it cannot be read.
std::string HeadOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::string head(HeadBytes, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(file.gcount(), 0)));
    return head;
}

} // namespace

const InputKinds& InputKinds::Standard() {
    static const InputKinds standard = [] {
        InputKinds kinds;
        kinds.Register(StatisticsKind()); // first: the reader of whatever no kind claims
        kinds.Register(SimulationKind());
        kinds.Register(Db2DisplayKind());
        return kinds;
    }();
    return standard;
}

ReportKind InputKinds::KindOfHead(std::string_view head) const {
    for (const InputKind& kind : kinds_) {
        if (kind.holds && kind.holds(head)) {
            return kind.kind;
        }
    }
    return ReportKind::NoReport;
}

ReportKind InputKinds::KindOfLines(ReportLineReader& lines) const {
    const auto first = lines.ReadReportLine(FirstLineLength);
    std::vector<const InputKind*> candidates;
    for (const InputKind& kind : kinds_) {
        if (first && kind.opens && kind.opens(*first)) {
            candidates.push_back(&kind);
        }
    }
    if (candidates.empty()) {
        return ReportKind::NoReport; // a binary's endless first line included
    }
    for (int n = 0; n < LinesLookedAt; ++n) {
        const auto line = lines.ReadReportLine(LineStart);
        if (!line) {
            break;
        }
        for (const InputKind* kind : candidates) {
            if (kind->marks && kind->marks(*line)) {
                return kind->kind;
            }
        }
    }
    // A first line and nothing a reader knows: that kind's read says what is wrong.
    return candidates.front()->kind;
}

ReportKind InputKinds::KindOf(const std::filesystem::path& path) const {
    ReportLineReader lines({}, LookBlockBytes);
    // Never a pipe: looking at it would take the bytes its read needs, or wait for a writer.
    if (lines.Open(path, FileKinds::RegularOnly)) {
        return ReportKind::Unreadable;
    }
    const ReportKind told = KindOfLines(lines);
    return told == ReportKind::NoReport ? KindOfHead(HeadOf(path)) : told;
}

ReportKind InputKinds::KindOfBytes(std::string_view bytes) const {
    ReportLineReader lines;
    lines.OpenBytes(bytes, {});
    const ReportKind told = KindOfLines(lines);
    return told == ReportKind::NoReport ? KindOfHead(bytes.substr(0, HeadBytes)) : told;
}

const InputKind* InputKinds::Find(ReportKind kind) const {
    for (const InputKind& k : kinds_) {
        if (k.kind == kind) {
            return &k;
        }
    }
    return nullptr;
}

const InputKind& InputKinds::ReportReader(ReportKind told) const {
    return ReaderOf(told, &InputKind::readReport);
}

const InputKind& InputKinds::SimulationReader(ReportKind told) const {
    return ReaderOf(told, &InputKind::readSimulation);
}

template <class Reader> const InputKind& InputKinds::ReaderOf(ReportKind told, Reader InputKind::*reader) const {
    if (const InputKind* own = Find(told); own != nullptr && own->*reader) {
        return *own;
    }
    const auto first =
        std::find_if(kinds_.begin(), kinds_.end(), [reader](const InputKind& k) { return !!(k.*reader); });
    if (first == kinds_.end()) {
        throw std::logic_error("no kind of input has that reader");
    }
    return *first;
}

} // namespace ornexa
