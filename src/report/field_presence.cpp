#include "report/field_presence.h"

#include "report/record_catalogue.h"

namespace ornexa {

bool HeaderFieldGiven(const Report& report, std::size_t field) {
    return !report.Db2Display || report.Db2Display->headerGiven.test(field);
}

bool PoolFieldGiven(const Report& report, int p, std::size_t field) {
    if (!report.Db2Display) {
        return true;
    }
    const auto& pools = report.Db2Display->pools;
    const auto at = static_cast<std::size_t>(p - 1);
    return at < pools.size() && pools[at].given.test(field);
}

bool PoolFieldGiven(const Report& report, int p, std::string_view field) {
    // Looked up only for a display: a monitor's report gives every field.
    return !report.Db2Display || PoolFieldGiven(report, p, FieldIndex<PoolRecord>(PoolCatalogue(), field));
}

bool ObjectFieldGiven(const Report& report, int o, std::size_t field) {
    if (!report.Db2Display) {
        return true;
    }
    const auto& objects = report.Db2Display->objects;
    const auto at = static_cast<std::size_t>(o - 1);
    return at < objects.size() && objects[at].given.test(field);
}

bool HasObjectActivity(const Report& report) {
    return !report.Db2Display;
}

} // namespace ornexa
