#include "report/column_tables.h"

#include <algorithm>

#include "report/record_catalogue.h"

namespace ornexa {

std::span<const ColumnDef, HeaderFieldCount> HeaderColumns() {
    static const std::array<ColumnDef, HeaderFieldCount> columns = ColumnsOf(HeaderCatalogue());
    return columns;
}
std::span<const ColumnDef, PoolFieldCount> PoolColumns() {
    static const std::array<ColumnDef, PoolFieldCount> columns = ColumnsOf(PoolCatalogue());
    return columns;
}
std::span<const ColumnDef, ObjectFieldCount> ObjectColumns() {
    static const std::array<ColumnDef, ObjectFieldCount> columns = ColumnsOf(ObjectCatalogue());
    return columns;
}

int LongestStatisticsLine() {
    return std::max({HeaderColumns().back().End(), PoolColumns().back().End(), ObjectColumns().back().End()});
}

} // namespace ornexa
