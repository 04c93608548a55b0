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

std::array<FieldRef, HeaderFieldCount> HeaderTargets(ReportHeader& header) {
    return TargetsOf(header, HeaderCatalogue());
}
std::array<FieldRef, PoolFieldCount> PoolTargets(PoolRecord& pool) {
    return TargetsOf(pool, PoolCatalogue());
}
std::array<FieldRef, ObjectFieldCount> ObjectTargets(ObjectRecord& object) {
    return TargetsOf(object, ObjectCatalogue());
}

} // namespace ornexa
