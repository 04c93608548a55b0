#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "report/column_tables.h"
#include "report/numbers.h"
#include "report/record_fields.h"

namespace ornexa {

// The first column of the numeric fields of an object line: in a report from outside the USA,
// periods beyond it are decimal points written by the host and read as commas.
inline constexpr int LastNameColumn = 57;

// The characters of one field (fewer or none where the line is shorter).
std::string_view FieldText(std::string_view line, const ColumnDef& column);

// Converts one field of `line` into its place. Text is stored trimmed as written. Numbers are read
// with the report's separator: a period for USA reports; for other reports every period beyond
// column 57 is first taken as a comma, and the comma is the decimal separator. Integer and Long
// fields are rounded to the nearest integer, ties to even, and checked against their range.
std::optional<ReadFailure> ConvertField(std::string_view line, const ColumnDef& column, const FieldRef& target,
                                        bool usaReport);

// A field that could not be converted, and its first column.
struct FieldFault {
    ReadFailure failure;
    int column;
};

// Converts the fields of `line` in table order into `targets`, counting them in `fieldNo` (from 1;
// 0 before the first). Stops at the first field that fails.
template <std::size_t N>
std::optional<FieldFault> ConvertLine(std::string_view line, std::span<const ColumnDef, N> columns,
                                      const std::array<FieldRef, N>& targets, bool usaReport, std::int32_t& fieldNo) {
    for (std::size_t i = 0; i < N; ++i) {
        ++fieldNo;
        if (const auto failure = ConvertField(line, columns[i], targets[i], usaReport)) {
            return FieldFault{*failure, columns[i].Start};
        }
    }
    return std::nullopt;
}

} // namespace ornexa
