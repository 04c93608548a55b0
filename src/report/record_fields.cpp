#include "report/record_fields.h"

#include "report/record_catalogue.h"

namespace ornexa {

std::array<ConstFieldRef, HeaderFieldCount> HeaderFields(const ReportHeader& header) {
    return FieldsOf(header, HeaderCatalogue());
}
std::array<ConstFieldRef, PoolFieldCount> PoolFields(const PoolRecord& pool) {
    return FieldsOf(pool, PoolCatalogue());
}
std::array<ConstFieldRef, ObjectFieldCount> ObjectFields(const ObjectRecord& object) {
    return FieldsOf(object, ObjectCatalogue());
}

} // namespace ornexa
