#pragma once

#include <cstddef>
#include <string_view>

#include "report/report_model.h"

namespace ornexa {

// What a view says where its input does not hold a figure, instead of showing a zero.
inline constexpr std::string_view NotInThisInput = "not in this input";
// What a view that needs per-object getpages or reads says for a report of Db2's display.
inline constexpr std::string_view NotInDb2Display = "not in a Db2 display";

// Whether the report's input gives a field, by the field's place in its record catalogue. A monitor's
// report gives every field; a report made of Db2's display output those it maps.
bool HeaderFieldGiven(const Report& report, std::size_t field);
bool PoolFieldGiven(const Report& report, int p, std::size_t field);
// The same, the field named as in the pool catalogue ("VPSize", "PoolReadIOsByType(1)").
bool PoolFieldGiven(const Report& report, int p, std::string_view field);
bool ObjectFieldGiven(const Report& report, int o, std::size_t field);

// Whether the report holds per-object getpages and reads (a monitor's report does, Db2's display not).
bool HasObjectActivity(const Report& report);

} // namespace ornexa
