#pragma once

#include <array>

#include "report/column_tables.h"
#include "report/field_ref.h"
#include "report/report_model.h"

namespace ornexa {

// The fields of a record to read, the n-th entry belonging to the n-th entry of the line's column
// table (the record catalogue's order).
std::array<ConstFieldRef, HeaderFieldCount> HeaderFields(const ReportHeader& header);
std::array<ConstFieldRef, PoolFieldCount> PoolFields(const PoolRecord& pool);
std::array<ConstFieldRef, ObjectFieldCount> ObjectFields(const ObjectRecord& object);

// Where a read stores the fields of a line, in the same order.
std::array<FieldRef, HeaderFieldCount> HeaderTargets(ReportHeader& header);
std::array<FieldRef, PoolFieldCount> PoolTargets(PoolRecord& pool);
std::array<FieldRef, ObjectFieldCount> ObjectTargets(ObjectRecord& object);

} // namespace ornexa
