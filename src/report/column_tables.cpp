#include "report/column_tables.h"

#include <algorithm>

namespace ornexa {

namespace {

constexpr ColumnDef T(int start, int length) {
    return {start, length, FieldKind::T};
}
constexpr ColumnDef I(int start, int length) {
    return {start, length, FieldKind::I};
}
constexpr ColumnDef L(int start, int length = 10) {
    return {start, length, FieldKind::L};
}
constexpr ColumnDef LTrim(int start) {
    return {start, 10, FieldKind::L, 0, true};
}
constexpr ColumnDef D(int start, int length) {
    return {start, length, FieldKind::D};
}
constexpr ColumnDef Pct(FieldKind kind, int start) {
    return {start, 6, kind, 1};
}

constexpr std::array<ColumnDef, HeaderFieldCount> HeaderLayout{
    T(5, 16),  T(21, 8), T(29, 8), T(37, 4), T(41, 4),   T(45, 10), T(55, 8), T(63, 4),  I(67, 5),
    I(72, 10), L(82),    L(92),    L(102),   LTrim(112), L(122),    L(132),   T(142, 8),
};

constexpr std::array<ColumnDef, PoolFieldCount> MakePoolColumns() {
    std::array<ColumnDef, PoolFieldCount> c{};
    c[0] = T(5, 16);
    c[1] = T(21, 8);
    c[2] = D(29, 5);
    c[3] = L(34);
    c[4] = Pct(FieldKind::L, 44);
    c[5] = L(50);
    c[6] = Pct(FieldKind::L, 60);
    c[7] = T(66, 1);
    for (int f = 9; f <= 16; ++f) { // 67 .. 137
        c[f - 1] = L(67 + 10 * (f - 9));
    }
    c[13].Trim = true; // field 14
    c[16] = Pct(FieldKind::D, 147);
    c[17] = Pct(FieldKind::D, 153);
    c[18] = D(159, 10);
    for (int f = 20; f <= 48; ++f) { // 169 .. 449
        c[f - 1] = L(169 + 10 * (f - 20));
    }
    c[45].Trim = true; // field 46, at 429
    c[48] = Pct(FieldKind::D, 459);
    c[49] = Pct(FieldKind::D, 465);
    return c;
}

constexpr std::array<ColumnDef, ObjectFieldCount> MakeObjectColumns() {
    std::array<ColumnDef, ObjectFieldCount> c{};
    c[0] = T(5, 16);
    c[1] = T(21, 8);
    c[2] = T(29, 1);
    c[3] = T(30, 27);
    for (int f = 5; f <= 12; ++f) { // 57 .. 127
        c[f - 1] = L(57 + 10 * (f - 5));
    }
    c[12] = Pct(FieldKind::D, 137);
    c[13] = Pct(FieldKind::D, 143);
    c[14] = D(149, 10);
    for (int f = 16; f <= 44; ++f) { // 159 .. 439
        c[f - 1] = L(159 + 10 * (f - 16));
    }
    return c;
}

constexpr std::array<ColumnDef, PoolFieldCount> PoolLayout = MakePoolColumns();
constexpr std::array<ColumnDef, ObjectFieldCount> ObjectLayout = MakeObjectColumns();

static_assert(PoolLayout.back().End() == 470, "a complete pool line is 470 characters");
static_assert(ObjectLayout.back().End() == 448, "a complete object line is 448 characters");
static_assert(HeaderLayout.back().End() == 149);

} // namespace

std::span<const ColumnDef, HeaderFieldCount> HeaderColumns() {
    return HeaderLayout;
}
std::span<const ColumnDef, PoolFieldCount> PoolColumns() {
    return PoolLayout;
}
std::span<const ColumnDef, ObjectFieldCount> ObjectColumns() {
    return ObjectLayout;
}

int LongestStatisticsLine() {
    return std::max({HeaderLayout.back().End(), PoolLayout.back().End(), ObjectLayout.back().End()});
}

} // namespace ornexa
