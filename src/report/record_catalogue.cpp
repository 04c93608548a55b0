#include "report/record_catalogue.h"

#include "report/latin1.h"
#include "report/number_format.h"

namespace ornexa {

namespace {

constexpr ColumnDef T(int start, int length) {
    return {start, length, FieldKind::T};
}
constexpr ColumnDef I(int start, int length) {
    return {start, length, FieldKind::I};
}
constexpr ColumnDef L(int start) {
    return {start, 10, FieldKind::L};
}
constexpr ColumnDef LTrim(int start) {
    return {start, 10, FieldKind::L, 0, true};
}
constexpr ColumnDef D(int start, int length) {
    return {start, length, FieldKind::D};
}
// The six-character percentages, written with one decimal.
constexpr ColumnDef Pct(FieldKind kind, int start) {
    return {start, 6, kind, 1};
}

constexpr std::array<RecordField<ReportHeader>, HeaderFieldCount> HeaderTable{{
    {"HeaderField01", Member<&ReportHeader::HeaderField01>(), T(5, 16), "headerfield01"},
    {"HeaderField02", Member<&ReportHeader::HeaderField02>(), T(21, 8), "headerfield02"},
    {"HeaderField03", Member<&ReportHeader::HeaderField03>(), T(29, 8), "headerfield03"},
    {"SystemName", Member<&ReportHeader::SystemName>(), T(37, 4), "systemname", "SystemName"},
    {"SubSystemName", Member<&ReportHeader::SubSystemName>(), T(41, 4), "subsystemname", "SubSystemName"},
    {"CollectionDate", Member<&ReportHeader::CollectionDate>(), T(45, 10), "collectiondate", "CollectionDate"},
    {"CollectionTime", Member<&ReportHeader::CollectionTime>(), T(55, 8), "collectiontime", "CollectionTime"},
    {"Db2Version", Member<&ReportHeader::Db2Version>(), T(63, 4), "db2version", "Db2Version"},
    {"ReportPoolCount", Member<&ReportHeader::ReportPoolCount>(), I(67, 5), "reportpoolcount", "ReportPoolCount"},
    {"HeaderValue10", Member<&ReportHeader::HeaderValue10>(), I(72, 10), "headervalue10"},
    {"HeaderValue11", Member<&ReportHeader::HeaderValue11>(), L(82), "headervalue11"},
    {"HeaderValue12", Member<&ReportHeader::HeaderValue12>(), L(92), "headervalue12"},
    {"HeaderValue13", Member<&ReportHeader::HeaderValue13>(), L(102), "headervalue13"},
    {"HeaderValue14", Member<&ReportHeader::HeaderValue14>(), LTrim(112), "headervalue14"},
    {"HeaderValue15", Member<&ReportHeader::HeaderValue15>(), L(122), "headervalue15"},
    {"HeaderValue16", Member<&ReportHeader::HeaderValue16>(), L(132), "headervalue16"},
    {"ElapsedTime", Member<&ReportHeader::ElapsedTime>(), T(142, 8), "elapsedtime", "ElapsedTime"},
}};

constexpr std::array<RecordField<PoolRecord>, PoolFieldCount> PoolTable{{
    {"PoolQualifier", Member<&PoolRecord::PoolQualifier>(), T(5, 16), "poolqualifier"},
    {"PoolName", Member<&PoolRecord::PoolName>(), T(21, 8), "poolname", "name", "Pool"},
    {"PoolStat03", Member<&PoolRecord::PoolStat03>(), D(29, 5), "poolstat03"},
    {"VPSize", Member<&PoolRecord::VPSize>(), L(34), "vpsize"},
    {"VPSeqThreshold", Member<&PoolRecord::VPSeqThreshold>(), Pct(FieldKind::L, 44), "vpseqthreshold"},
    {"HPSize", Member<&PoolRecord::HPSize>(), L(50), "hpsize"},
    {"HPSeqThreshold", Member<&PoolRecord::HPSeqThreshold>(), Pct(FieldKind::L, 60), "hpseqthreshold"},
    {"CastOut", Member<&PoolRecord::CastOut>(), T(66, 1), "castout"},
    {"PoolGetPages", Member<&PoolRecord::PoolGetPages>(), L(67), "poolgetpages"},
    {"PoolStat10", Member<&PoolRecord::PoolStat10>(), L(77), "poolstat10"},
    {"PoolGetPagesByAccess(1)", Element<&PoolRecord::PoolGetPagesByAccess, 1>(), L(87), "poolgetpagesseq"},
    {"PoolGetPagesByAccess(2)", Element<&PoolRecord::PoolGetPagesByAccess, 2>(), L(97), "poolgetpagesrandom"},
    {"PoolGetPagesByAccess(3)", Element<&PoolRecord::PoolGetPagesByAccess, 3>(), L(107), "poolgetpagesridlist"},
    {"PoolStat14", Member<&PoolRecord::PoolStat14>(), LTrim(117), "poolstat14"},
    {"PoolStat15", Member<&PoolRecord::PoolStat15>(), L(127), "poolstat15"},
    {"PoolStat16", Member<&PoolRecord::PoolStat16>(), L(137), "poolstat16"},
    {"PoolStat17", Member<&PoolRecord::PoolStat17>(), Pct(FieldKind::D, 147), "poolstat17"},
    {"PoolHitRatio", Member<&PoolRecord::PoolHitRatio>(), Pct(FieldKind::D, 153), "poolhitratio"},
    {"PoolStat19", Member<&PoolRecord::PoolStat19>(), D(159, 10), "poolstat19"},
    {"PoolPagesRead", Member<&PoolRecord::PoolPagesRead>(), L(169), "poolpagesread"},
    {"PoolPagesReadByType(1)", Element<&PoolRecord::PoolPagesReadByType, 1>(), L(179), "poolpagesreadsync"},
    {"PoolPagesReadByType(2)", Element<&PoolRecord::PoolPagesReadByType, 2>(), L(189), "poolpagesreadseq"},
    {"PoolPagesReadByType(3)", Element<&PoolRecord::PoolPagesReadByType, 3>(), L(199), "poolpagesreadlist"},
    {"PoolPagesReadByType(4)", Element<&PoolRecord::PoolPagesReadByType, 4>(), L(209), "poolpagesreaddyn"},
    {"PoolReadIOs", Member<&PoolRecord::PoolReadIOs>(), L(219), "poolreadios"},
    {"PoolReadIOsByType(1)", Element<&PoolRecord::PoolReadIOsByType, 1>(), L(229), "poolreadiossync"},
    {"PoolReadIOsByType(2)", Element<&PoolRecord::PoolReadIOsByType, 2>(), L(239), "poolreadiosseq"},
    {"PoolReadIOsByType(3)", Element<&PoolRecord::PoolReadIOsByType, 3>(), L(249), "poolreadioslist"},
    {"PoolReadIOsByType(4)", Element<&PoolRecord::PoolReadIOsByType, 4>(), L(259), "poolreadiosdyn"},
    {"AvgSyncIOTime", Member<&PoolRecord::AvgSyncIOTime>(), L(269), "avgsynciotime"},
    {"PoolStat31", Member<&PoolRecord::PoolStat31>(), L(279), "poolstat31"},
    {"AvgSeqPrefetchIOTime", Member<&PoolRecord::AvgSeqPrefetchIOTime>(), L(289), "avgseqprefetchiotime"},
    {"PoolStat33", Member<&PoolRecord::PoolStat33>(), L(299), "poolstat33"},
    {"AvgListPrefetchIOTime", Member<&PoolRecord::AvgListPrefetchIOTime>(), L(309), "avglistprefetchiotime"},
    {"PoolStat35", Member<&PoolRecord::PoolStat35>(), L(319), "poolstat35"},
    {"AvgDynPrefetchIOTime", Member<&PoolRecord::AvgDynPrefetchIOTime>(), L(329), "avgdynprefetchiotime"},
    {"PoolStat37", Member<&PoolRecord::PoolStat37>(), L(339), "poolstat37"},
    {"PoolUpdates", Member<&PoolRecord::PoolUpdates>(), L(349), "poolupdates"},
    {"PoolPagesWritten", Member<&PoolRecord::PoolPagesWritten>(), L(359), "poolpageswritten"},
    {"PoolStat40", Member<&PoolRecord::PoolStat40>(), L(369), "poolstat40"},
    {"PoolStat41", Member<&PoolRecord::PoolStat41>(), L(379), "poolstat41"},
    {"PoolWriteIOs", Member<&PoolRecord::PoolWriteIOs>(), L(389), "poolwriteios"},
    {"PoolStat43", Member<&PoolRecord::PoolStat43>(), L(399), "poolstat43"},
    {"PoolStat44", Member<&PoolRecord::PoolStat44>(), L(409), "poolstat44"},
    {"PoolStat45", Member<&PoolRecord::PoolStat45>(), L(419), "poolstat45"},
    {"PoolStat46", Member<&PoolRecord::PoolStat46>(), LTrim(429), "poolstat46"},
    {"PoolStat47", Member<&PoolRecord::PoolStat47>(), L(439), "poolstat47"},
    {"PoolStat48", Member<&PoolRecord::PoolStat48>(), L(449), "poolstat48"},
    {"DWTH", Member<&PoolRecord::DWTH>(), Pct(FieldKind::D, 459), "dwth"},
    {"VWTH", Member<&PoolRecord::VWTH>(), Pct(FieldKind::D, 465), "vwth"},
}};

constexpr std::array<RecordField<ObjectRecord>, ObjectFieldCount> ObjectTable{{
    {"ObjQualifier", Member<&ObjectRecord::ObjQualifier>(), T(5, 16), "objqualifier"},
    {"ObjPoolName", Member<&ObjectRecord::ObjPoolName>(), T(21, 8), "objpoolname"},
    {"ObjType", Member<&ObjectRecord::ObjType>(), T(29, 1), "objtype"},
    {"ObjName", Member<&ObjectRecord::ObjName>(), T(30, 27), "objname", "", "Object"},
    {"ObjGetPages", Member<&ObjectRecord::ObjGetPages>(), L(57), "objgetpages"},
    {"ObjStat06", Member<&ObjectRecord::ObjStat06>(), L(67), "objstat06"},
    {"GetPagesByAccess(1)", Element<&ObjectRecord::GetPagesByAccess, 1>(), L(77), "getpagesseq"},
    {"GetPagesByAccess(2)", Element<&ObjectRecord::GetPagesByAccess, 2>(), L(87), "getpagesrandom"},
    {"GetPagesByAccess(3)", Element<&ObjectRecord::GetPagesByAccess, 3>(), L(97), "getpagesridlist"},
    {"ObjStat10", Member<&ObjectRecord::ObjStat10>(), L(107), "objstat10"},
    {"ObjStat11", Member<&ObjectRecord::ObjStat11>(), L(117), "objstat11"},
    {"ObjStat12", Member<&ObjectRecord::ObjStat12>(), L(127), "objstat12"},
    {"AppHitRatio", Member<&ObjectRecord::AppHitRatio>(), Pct(FieldKind::D, 137), "apphitratio"},
    {"SysHitRatio", Member<&ObjectRecord::SysHitRatio>(), Pct(FieldKind::D, 143), "syshitratio"},
    {"ObjStat15", Member<&ObjectRecord::ObjStat15>(), D(149, 10), "objstat15"},
    {"ObjPagesRead", Member<&ObjectRecord::ObjPagesRead>(), L(159), "objpagesread"},
    {"PagesReadByType(1)", Element<&ObjectRecord::PagesReadByType, 1>(), L(169), "pagesreadsync"},
    {"PagesReadByType(2)", Element<&ObjectRecord::PagesReadByType, 2>(), L(179), "pagesreadseq"},
    {"PagesReadByType(3)", Element<&ObjectRecord::PagesReadByType, 3>(), L(189), "pagesreadlist"},
    {"PagesReadByType(4)", Element<&ObjectRecord::PagesReadByType, 4>(), L(199), "pagesreaddyn"},
    {"ObjReadIOs", Member<&ObjectRecord::ObjReadIOs>(), L(209), "objreadios"},
    {"ReadIOsByType(1)", Element<&ObjectRecord::ReadIOsByType, 1>(), L(219), "readiossync"},
    {"ReadIOsByType(2)", Element<&ObjectRecord::ReadIOsByType, 2>(), L(229), "readiosseq"},
    {"ReadIOsByType(3)", Element<&ObjectRecord::ReadIOsByType, 3>(), L(239), "readioslist"},
    {"ReadIOsByType(4)", Element<&ObjectRecord::ReadIOsByType, 4>(), L(249), "readiosdyn"},
    {"ObjAvgSyncIOTime", Member<&ObjectRecord::ObjAvgSyncIOTime>(), L(259), "objavgsynciotime"},
    {"ObjMaxSyncIOTime", Member<&ObjectRecord::ObjMaxSyncIOTime>(), L(269), "objmaxsynciotime"},
    {"ObjStat28", Member<&ObjectRecord::ObjStat28>(), L(279), "objstat28"},
    {"ObjStat29", Member<&ObjectRecord::ObjStat29>(), L(289), "objstat29"},
    {"ObjStat30", Member<&ObjectRecord::ObjStat30>(), L(299), "objstat30"},
    {"ObjStat31", Member<&ObjectRecord::ObjStat31>(), L(309), "objstat31"},
    {"ObjStat32", Member<&ObjectRecord::ObjStat32>(), L(319), "objstat32"},
    {"ObjStat33", Member<&ObjectRecord::ObjStat33>(), L(329), "objstat33"},
    {"ObjUpdates", Member<&ObjectRecord::ObjUpdates>(), L(339), "objupdates"},
    {"ObjPagesWritten", Member<&ObjectRecord::ObjPagesWritten>(), L(349), "objpageswritten"},
    {"ObjStat36", Member<&ObjectRecord::ObjStat36>(), L(359), "objstat36"},
    {"ObjStat37", Member<&ObjectRecord::ObjStat37>(), L(369), "objstat37"},
    {"ObjWriteIOs", Member<&ObjectRecord::ObjWriteIOs>(), L(379), "objwriteios"},
    {"ObjStat39", Member<&ObjectRecord::ObjStat39>(), L(389), "objstat39"},
    {"ObjStat40", Member<&ObjectRecord::ObjStat40>(), L(399), "objstat40"},
    {"ObjStat41", Member<&ObjectRecord::ObjStat41>(), L(409), "objstat41"},
    {"ObjStat42", Member<&ObjectRecord::ObjStat42>(), L(419), "objstat42"},
    {"ObjStat43", Member<&ObjectRecord::ObjStat43>(), L(429), "objstat43"},
    {"ObjWriteIOTime", Member<&ObjectRecord::ObjWriteIOTime>(), L(439), "objwriteiotime"},
}};

// Each line's fields follow one another from column 5 on, after the line's mark ("BPS ").
template <class Record, std::size_t N> constexpr bool Contiguous(const std::array<RecordField<Record>, N>& table) {
    int next = 5;
    for (const RecordField<Record>& field : table) {
        if (field.statistics.Start != next) {
            return false;
        }
        next = field.statistics.End() + 1;
    }
    return true;
}

static_assert(Contiguous(HeaderTable) && Contiguous(PoolTable) && Contiguous(ObjectTable));
static_assert(HeaderTable.back().statistics.End() == 149);
static_assert(PoolTable.back().statistics.End() == 470, "a complete pool line is 470 characters");
static_assert(ObjectTable.back().statistics.End() == 448, "a complete object line is 448 characters");

} // namespace

std::span<const RecordField<ReportHeader>, HeaderFieldCount> HeaderCatalogue() {
    return HeaderTable;
}
std::span<const RecordField<PoolRecord>, PoolFieldCount> PoolCatalogue() {
    return PoolTable;
}
std::span<const RecordField<ObjectRecord>, ObjectFieldCount> ObjectCatalogue() {
    return ObjectTable;
}

std::string FieldText(const ConstFieldRef& field) {
    if (const auto* text = std::get_if<std::span<const char>>(&field)) {
        return Latin1ToUtf8(TrimBlanks({text->data(), text->size()}));
    }
    if (const auto* real = std::get_if<const double*>(&field)) {
        return PlainText(**real);
    }
    if (const auto* whole = std::get_if<const Long*>(&field)) {
        return PlainText(static_cast<std::int64_t>(**whole));
    }
    return PlainText(static_cast<std::int64_t>(*std::get<const Integer*>(field)));
}

} // namespace ornexa
