#pragma once

#include <array>
#include <span>

namespace ornexa {

// T text, I Integer (16-bit), L Long (32-bit), D Double.
enum class FieldKind { T, I, L, D };

// One field of a fixed-column line: first column (1-based) and width.
struct ColumnDef {
    int Start = 0;
    int Length = 0;
    FieldKind Kind = FieldKind::T;
    int Decimals = 0;  // one for the six-character percentages; informative only
    bool Trim = false; // trimmed before conversion (conversion tolerates blanks anyway)

    [[nodiscard]] constexpr int End() const { return Start + Length - 1; }
    friend constexpr bool operator==(const ColumnDef&, const ColumnDef&) = default;
};

inline constexpr int HeaderFieldCount = 17;
inline constexpr int PoolFieldCount = 50;
inline constexpr int ObjectFieldCount = 44;

// Header, pool ("BPS") and object ("BPD") lines of a Statistics report, fields in line order, as
// the record catalogue declares them.
std::span<const ColumnDef, HeaderFieldCount> HeaderColumns();
std::span<const ColumnDef, PoolFieldCount> PoolColumns();
std::span<const ColumnDef, ObjectFieldCount> ObjectColumns();

// The last column any table reads: longer lines are cut there.
int LongestStatisticsLine();

} // namespace ornexa
