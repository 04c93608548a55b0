#pragma once

#include <array>

#include "report/column_tables.h"
#include "report/field_ref.h"
#include "report/report_model.h"

namespace ornexa {

// The fields of a record to read, the n-th entry belonging to the n-th entry of the line's column
// table (the record catalogue's order). A read stores them through the catalogue's TargetsOf.
std::array<ConstFieldRef, HeaderFieldCount> HeaderFields(const ReportHeader& header);
std::array<ConstFieldRef, PoolFieldCount> PoolFields(const PoolRecord& pool);
std::array<ConstFieldRef, ObjectFieldCount> ObjectFields(const ObjectRecord& object);

} // namespace ornexa
