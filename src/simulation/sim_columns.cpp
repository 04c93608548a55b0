#include "simulation/sim_columns.h"

namespace ornexa {

namespace {

// Index of field number f (1-based) of the "*BPP" line.
constexpr std::size_t Field(int f) {
    return static_cast<std::size_t>(f) - 1;
}

constexpr std::array<ColumnDef, SimParamFieldCount> MakeSimParamColumns() {
    std::array<ColumnDef, SimParamFieldCount> c{};
    c[0] = {5, 16, FieldKind::T};
    c[1] = {21, 4, FieldKind::T};
    c[2] = {25, 4, FieldKind::T};
    c[3] = {29, 10, FieldKind::T};
    c[4] = {39, 8, FieldKind::T};
    c[5] = {47, 4, FieldKind::T};
    c[6] = {51, 6, FieldKind::T};
    c[7] = {57, 5, FieldKind::I};
    c[8] = {62, 6, FieldKind::D};
    c[9] = {68, 6, FieldKind::D};
    for (int k = 1; k <= MaxSimSizes; ++k) {
        c[Field(11 + 2 * (k - 1))] = {74 + 20 * (k - 1), 10, FieldKind::L};
        c[Field(12 + 2 * (k - 1))] = {84 + 20 * (k - 1), 10, FieldKind::L};
        c[Field(26 + k)] = {234 + 8 * (k - 1), 8, FieldKind::T};
    }
    return c;
}

constexpr std::array<ColumnDef, SimParamFieldCount> SimParamLayout = MakeSimParamColumns();
static_assert(SimParamLayout.back().End() == 297, "the size labels run to column 297");

constexpr int GroupA(int k) {
    return 65 + 46 * (k - 1);
}
constexpr int GroupB(int k) {
    return 433 + 26 * (k - 1);
}
static_assert(GroupA(8) + 45 == 432 && GroupB(8) + 25 == LongestSimulationLine);

} // namespace

std::span<const ColumnDef, SimParamFieldCount> SimParamColumns() {
    return SimParamLayout;
}

std::array<FieldRef, SimParamFieldCount> SimParamFields(SimParameters& s) {
    std::array<FieldRef, SimParamFieldCount> f{
        s.SimHeaderField01.Span(), s.SimHeaderField02.Span(), s.SimHeaderField03.Span(), s.SimHeaderField04.Span(),
        s.SimHeaderField05.Span(), s.SimHeaderField06.Span(), s.SimPoolName.Span(),      &s.SimSizeCount,
        &s.SimHeaderValue09,       &s.SimHeaderValue10,
    };
    for (int k = 1; k <= MaxSimSizes; ++k) {
        f[Field(11 + 2 * (k - 1))] = &s.SimVPSize(k);
        f[Field(12 + 2 * (k - 1))] = &s.SimHPSize(k);
        f[Field(26 + k)] = RawText{s.SimSizeLabel(k).Span()};
    }
    return f;
}

std::array<ColumnDef, SimValuesPerSize> SimSizeColumns(int k) {
    const int a = GroupA(k);
    const int b = GroupB(k);
    return {{{a, 10, FieldKind::L},
             {a + 10, 10, FieldKind::L},
             {a + 20, 6, FieldKind::D},
             {a + 26, 10, FieldKind::L},
             {a + 36, 10, FieldKind::L},
             {b, 10, FieldKind::D},
             {b + 10, 10, FieldKind::D},
             {b + 20, 6, FieldKind::D}}};
}

std::array<FieldRef, SimValuesPerSize> SimObjectSizeFields(ObjectSimulation& o, int k) {
    return {{&o.SimGetPages(k), &o.SimStat2(k), &o.SimStat3(k), &o.SimAvgWorkSet(k), &o.SimMaxWorkSet(k),
             &o.SimStat6(k), &o.SimReadIORate(k), &o.SimSysHitRatio(k)}};
}

std::array<ColumnDef, SimPoolValuesPerSize> SimPoolSizeColumns(int k) {
    const auto c = SimSizeColumns(k);
    return {{c[0], c[1], c[2], c[6], c[7]}};
}

std::array<FieldRef, SimPoolValuesPerSize> SimPoolSizeFields(PoolSimulation& p, int k) {
    return {{&p.SimGetPages(k), &p.SimStat2(k), &p.SimStat3(k), &p.SimReadIORate(k), &p.SimSysHitRatio(k)}};
}

} // namespace ornexa
