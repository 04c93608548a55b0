#pragma once

#include <array>
#include <span>
#include <variant>

#include "report/column_tables.h"
#include "report/report_model.h"

namespace ornexa {

// A text field kept as written, blanks included.
struct RawText {
    std::span<char> chars;
};

// Where one field of a line is stored in its record: the n-th entry belongs to the n-th entry of
// the line's column table. Text (std::span<char>) is stored trimmed.
using FieldRef = std::variant<Integer*, Long*, double*, std::span<char>, RawText>;

std::array<FieldRef, HeaderFieldCount> HeaderFields(ReportHeader& header);
std::array<FieldRef, PoolFieldCount> PoolFields(PoolRecord& pool);
std::array<FieldRef, ObjectFieldCount> ObjectFields(ObjectRecord& object);

// The column-table kind a stored field has.
FieldKind KindOf(const FieldRef& ref);

} // namespace ornexa
