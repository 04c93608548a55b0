#include <gtest/gtest.h>

#include <span>

#include "report/column_tables.h"
#include "report/record_fields.h"

namespace ornexa {
namespace {

// Every field is stored where its table entry says, with the table's kind, and no two fields
// share a column.
template <std::size_t N>
void ExpectTableMatchesRecord(std::span<const ColumnDef, N> columns, const std::array<ConstFieldRef, N>& fields,
                              int firstColumn) {
    int next = firstColumn;
    for (std::size_t i = 0; i < N; ++i) {
        SCOPED_TRACE("field " + std::to_string(i + 1));
        EXPECT_EQ(columns[i].Start, next);
        EXPECT_EQ(KindOf(fields[i]), columns[i].Kind);
        if (const auto* text = std::get_if<std::span<const char>>(&fields[i])) {
            EXPECT_EQ(static_cast<int>(text->size()), columns[i].Length);
        }
        next = columns[i].End() + 1;
    }
}

TEST(ColumnTables, MatchTheRecords) {
    ReportHeader header;
    PoolRecord pool;
    ObjectRecord object;
    ExpectTableMatchesRecord(HeaderColumns(), HeaderFields(header), 5);
    ExpectTableMatchesRecord(PoolColumns(), PoolFields(pool), 5);
    ExpectTableMatchesRecord(ObjectColumns(), ObjectFields(object), 5);
}

TEST(ColumnTables, KnownColumnsAndMarks) {
    EXPECT_EQ(PoolColumns()[17], (ColumnDef{153, 6, FieldKind::D, 1, false})); // PoolHitRatio
    EXPECT_TRUE(PoolColumns()[13].Trim);                                       // field 14
    EXPECT_TRUE(PoolColumns()[45].Trim);                                       // field 46
    EXPECT_EQ(PoolColumns()[45].Start, 429);
    EXPECT_TRUE(HeaderColumns()[13].Trim); // field 14
    EXPECT_EQ(ObjectColumns()[4].Start, 57);
    EXPECT_EQ(PoolColumns().back().End(), 470);
    EXPECT_EQ(ObjectColumns().back().End(), 448);
    EXPECT_EQ(LongestStatisticsLine(), 470);
}

} // namespace
} // namespace ornexa
