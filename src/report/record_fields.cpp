#include "report/record_fields.h"

namespace ornexa {

std::array<FieldRef, HeaderFieldCount> HeaderFields(ReportHeader& h) {
    return {{h.HeaderField01.Span(), h.HeaderField02.Span(), h.HeaderField03.Span(), h.SystemName.Span(),
             h.SubSystemName.Span(), h.CollectionDate.Span(), h.CollectionTime.Span(), h.Db2Version.Span(),
             &h.ReportPoolCount, &h.HeaderValue10, &h.HeaderValue11, &h.HeaderValue12, &h.HeaderValue13,
             &h.HeaderValue14, &h.HeaderValue15, &h.HeaderValue16, h.ElapsedTime.Span()}};
}

std::array<FieldRef, PoolFieldCount> PoolFields(PoolRecord& p) {
    return {{p.PoolQualifier.Span(),
             p.PoolName.Span(),
             &p.PoolStat03,
             &p.VPSize,
             &p.VPSeqThreshold,
             &p.HPSize,
             &p.HPSeqThreshold,
             p.CastOut.Span(),
             &p.PoolGetPages,
             &p.PoolStat10,
             &p.PoolGetPagesByAccess(1),
             &p.PoolGetPagesByAccess(2),
             &p.PoolGetPagesByAccess(3),
             &p.PoolStat14,
             &p.PoolStat15,
             &p.PoolStat16,
             &p.PoolStat17,
             &p.PoolHitRatio,
             &p.PoolStat19,
             &p.PoolPagesRead,
             &p.PoolPagesReadByType(1),
             &p.PoolPagesReadByType(2),
             &p.PoolPagesReadByType(3),
             &p.PoolPagesReadByType(4),
             &p.PoolReadIOs,
             &p.PoolReadIOsByType(1),
             &p.PoolReadIOsByType(2),
             &p.PoolReadIOsByType(3),
             &p.PoolReadIOsByType(4),
             &p.AvgSyncIOTime,
             &p.PoolStat31,
             &p.AvgSeqPrefetchIOTime,
             &p.PoolStat33,
             &p.AvgListPrefetchIOTime,
             &p.PoolStat35,
             &p.AvgDynPrefetchIOTime,
             &p.PoolStat37,
             &p.PoolUpdates,
             &p.PoolPagesWritten,
             &p.PoolStat40,
             &p.PoolStat41,
             &p.PoolWriteIOs,
             &p.PoolStat43,
             &p.PoolStat44,
             &p.PoolStat45,
             &p.PoolStat46,
             &p.PoolStat47,
             &p.PoolStat48,
             &p.DWTH,
             &p.VWTH}};
}

std::array<FieldRef, ObjectFieldCount> ObjectFields(ObjectRecord& o) {
    return {{o.ObjQualifier.Span(),  o.ObjPoolName.Span(),  o.ObjType.Span(),       o.ObjName.Span(),
             &o.ObjGetPages,         &o.ObjStat06,          &o.GetPagesByAccess(1), &o.GetPagesByAccess(2),
             &o.GetPagesByAccess(3), &o.ObjStat10,          &o.ObjStat11,           &o.ObjStat12,
             &o.AppHitRatio,         &o.SysHitRatio,        &o.ObjStat15,           &o.ObjPagesRead,
             &o.PagesReadByType(1),  &o.PagesReadByType(2), &o.PagesReadByType(3),  &o.PagesReadByType(4),
             &o.ObjReadIOs,          &o.ReadIOsByType(1),   &o.ReadIOsByType(2),    &o.ReadIOsByType(3),
             &o.ReadIOsByType(4),    &o.ObjAvgSyncIOTime,   &o.ObjMaxSyncIOTime,    &o.ObjStat28,
             &o.ObjStat29,           &o.ObjStat30,          &o.ObjStat31,           &o.ObjStat32,
             &o.ObjStat33,           &o.ObjUpdates,         &o.ObjPagesWritten,     &o.ObjStat36,
             &o.ObjStat37,           &o.ObjWriteIOs,        &o.ObjStat39,           &o.ObjStat40,
             &o.ObjStat41,           &o.ObjStat42,          &o.ObjStat43,           &o.ObjWriteIOTime}};
}

FieldKind KindOf(const FieldRef& ref) {
    switch (ref.index()) {
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

} // namespace ornexa
