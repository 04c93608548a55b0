#pragma once

#include <array>
#include <span>

#include "report/column_tables.h"
#include "report/record_fields.h"
#include "report/report_model.h"
#include "simulation/sim_data.h"

namespace ornexa {

// The "*BPP" line: fields 1 to 10, then SimVPSize(k) and SimHPSize(k) for k = 1..8, then
// SimSizeLabel(1..8).
inline constexpr int SimParamFieldCount = 34;
std::span<const ColumnDef, SimParamFieldCount> SimParamColumns();
std::array<FieldRef, SimParamFieldCount> SimParamFields(SimParameters& parameters);

// The simulation line shared by the pool line and the object lines. Size k has a group A of 46
// columns from 65 + 46(k-1) and a group B of 26 columns from 433 + 26(k-1).
struct SimLineColumnTable {
    ColumnDef IncludeMark{21, 1, FieldKind::T};
    ColumnDef ObjectName{22, 27, FieldKind::T};
    ColumnDef SimObjStat03{49, 10, FieldKind::L};
    ColumnDef SimObjStat04{59, 6, FieldKind::L};
};
inline constexpr SimLineColumnTable SimLineColumns{};

// The eight values of size k in object-line order: SimGetPages, SimStat2, SimStat3,
// SimAvgWorkSet, SimMaxWorkSet, SimStat6, SimReadIORate, SimSysHitRatio.
inline constexpr int SimValuesPerSize = 8;
std::array<ColumnDef, SimValuesPerSize> SimSizeColumns(int k);
std::array<FieldRef, SimValuesPerSize> SimObjectSizeFields(ObjectSimulation& object, int k);

// The five values of size k on the pool line, in their order: SimGetPages, SimStat2, SimStat3,
// SimReadIORate, SimSysHitRatio.
inline constexpr int SimPoolValuesPerSize = 5;
std::array<ColumnDef, SimPoolValuesPerSize> SimPoolSizeColumns(int k);
std::array<FieldRef, SimPoolValuesPerSize> SimPoolSizeFields(PoolSimulation& pool, int k);

// The last column a simulation line can use (all eight sizes).
inline constexpr int LongestSimulationLine = 640;

} // namespace ornexa
