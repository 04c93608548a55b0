#include "report/field_ref.h"

namespace ornexa {

namespace {

// Both variants list the kinds in the same order: Integer, Long, double, then the texts.
FieldKind KindAt(std::size_t index) {
    switch (index) {
    case 0:
        return FieldKind::I;
    case 1:
        return FieldKind::L;
    case 2:
        return FieldKind::D;
    default:
        return FieldKind::T;
    }
}

} // namespace

FieldKind KindOf(const FieldRef& ref) {
    return KindAt(ref.index());
}

FieldKind KindOf(const ConstFieldRef& ref) {
    return KindAt(ref.index());
}

} // namespace ornexa
