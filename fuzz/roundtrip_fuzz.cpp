// Differential: a report that loads is written back with the project's own writer and read again.
// The second read must load the same pools and objects with the same texts and whole numbers, and
// decimal numbers as far as their field keeps them; writing that model again gives the same text.
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "fuzz_checks.h"
#include "input_file.h"
#include "report/record_fields.h"
#include "report/stat_reader.h"
#include "stat_writer.h"

using fuzz::Check;

namespace {

bool SameDouble(double a, double b, const ornexa::ColumnDef& column) {
    if (std::isnan(a) || std::isnan(b)) {
        return std::isnan(a) && std::isnan(b);
    }
    // One-decimal fields keep a tenth; other fields the fifteen digits of the writer.
    const double tolerance = column.Decimals == 1 ? 0.05 + 1e-9 * std::fabs(a) : 1e-14 * std::fabs(a);
    return a == b || std::fabs(a - b) <= tolerance;
}

template <class Columns, class Fields> void CheckSameFields(const Columns& columns, Fields read, Fields again) {
    for (std::size_t i = 0; i < std::size(columns); ++i) {
        if (const auto* d = std::get_if<const double*>(&read[i])) {
            Check(SameDouble(**d, *std::get<const double*>(again[i]), columns[i]),
                  "a decimal field reads back as written");
        } else if (const auto* l = std::get_if<const ornexa::Long*>(&read[i])) {
            Check(**l == *std::get<const ornexa::Long*>(again[i]), "a long field reads back");
        } else if (const auto* n = std::get_if<const ornexa::Integer*>(&read[i])) {
            Check(**n == *std::get<const ornexa::Integer*>(again[i]), "an integer field reads back");
        } else {
            const auto& t = std::get<std::span<const char>>(read[i]);
            const auto& u = std::get<std::span<const char>>(again[i]);
            Check(std::string_view(t.data(), t.size()) == std::string_view(u.data(), u.size()),
                  "a text field reads back");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::filesystem::path input = InputFile(".sta");
    static const std::filesystem::path written = InputFile("-written.sta");
    if (!WriteInput(input, data, size)) {
        return 0;
    }
    ornexa::Report read;
    const ornexa::StatReadResult first = ornexa::ReadStatisticsFile(read, input);
    if (!first.Loaded()) {
        return 0;
    }
    ornexa::samplegen::StatFileOptions options;
    options.country = first.usaReport ? "USA" : "DEU";
    std::string text;
    try {
        text = ornexa::samplegen::StatisticsText(read, options);
    } catch (const std::length_error&) {
        return 0; // a value read from a wider spelling ("1E5") that its field cannot hold as the host writes it
    }
    if (!WriteInput(written, reinterpret_cast<const std::uint8_t*>(text.data()), text.size())) {
        return 0;
    }
    ornexa::Report again;
    Check(ornexa::ReadStatisticsFile(again, written).Loaded(), "a written report loads");
    Check(read.PoolCount() == again.PoolCount() && read.ObjectCount() == again.ObjectCount(),
          "the same pools and objects");
    CheckSameFields(ornexa::HeaderColumns(), ornexa::HeaderFields(read.Header), ornexa::HeaderFields(again.Header));
    for (int p = 1; p <= read.PoolCount(); ++p) {
        const ornexa::ObjectRange r = ornexa::PoolObjects(read, p);
        const ornexa::ObjectRange a = ornexa::PoolObjects(again, p);
        Check(r.first == a.first && r.last == a.last, "each pool keeps its objects");
        CheckSameFields(ornexa::PoolColumns(), ornexa::PoolFields(read.Pools(p)), ornexa::PoolFields(again.Pools(p)));
    }
    for (int o = 1; o <= read.ObjectCount(); ++o) {
        CheckSameFields(ornexa::ObjectColumns(), ornexa::ObjectFields(read.Objects(o)),
                        ornexa::ObjectFields(again.Objects(o)));
    }
    Check(ornexa::samplegen::StatisticsText(again, options) == text, "writing the model again gives the same text");
    return 0;
}
