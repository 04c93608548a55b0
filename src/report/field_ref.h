#pragma once

#include <span>
#include <variant>

#include "report/column_tables.h"
#include "report/report_model.h"

namespace ornexa {

// A text field kept as written, blanks included.
struct RawText {
    std::span<char> chars;
};

// Where a read stores one field of a line. Text (std::span<char>) is stored trimmed.
using FieldRef = std::variant<Integer*, Long*, double*, std::span<char>, RawText>;

// One field of a record as every view reads it: the same kinds, never written through.
using ConstFieldRef = std::variant<const Integer*, const Long*, const double*, std::span<const char>>;

// The column-table kind a stored field has.
FieldKind KindOf(const FieldRef& ref);
FieldKind KindOf(const ConstFieldRef& ref);

} // namespace ornexa
