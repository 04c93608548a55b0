#include "load/report_kind.h"

#include "load/input_kinds.h"

namespace ornexa {

ReportKind ReportKindOf(const std::filesystem::path& path) {
    return InputKinds::Standard().KindOf(path);
}

ReportKind ReportKindOfBytes(std::string_view bytes) {
    return InputKinds::Standard().KindOfBytes(bytes);
}

ReportKind ReaderKindOf(const std::filesystem::path& path) {
    const InputKinds& kinds = InputKinds::Standard();
    const ReportKind told = kinds.KindOf(path);
    const InputKind* own = kinds.Find(told);
    return own != nullptr ? told : kinds.ReportReader(told).kind;
}

} // namespace ornexa
