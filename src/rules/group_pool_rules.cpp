#include "rules/group_pool_rules.h"

#include "report/number_format.h"

namespace ornexa {
namespace {

// Db2 sends a cross-invalidation for each directory entry it reclaims; any reclaim means the
// directory is too small for the pages the members cache:
// https://www.ibm.com/docs/en/SSEPEK_13.0.0/dshare/src/tpc/db2z_determinesizeratio.html
constexpr std::string_view ReclaimSource =
    "https://www.ibm.com/docs/en/SSEPEK_13.0.0/dshare/src/tpc/db2z_determinesizeratio.html";
// Writes that fail for lack of storage: raise the structure size or lower the castout thresholds:
// https://www.ibm.com/docs/en/SSEPEK_13.0.0/dshare/src/tpc/db2z_guidelinesgbpthreshold.html
constexpr std::string_view FailedWriteSource =
    "https://www.ibm.com/docs/en/SSEPEK_13.0.0/dshare/src/tpc/db2z_guidelinesgbpthreshold.html";

std::string Count(std::int64_t value, NumberStyle style) {
    return FormatPicture(static_cast<double>(value), "#,##0", style);
}

} // namespace

std::string_view GroupPoolRuleKey(GroupPoolRule rule) {
    return rule == GroupPoolRule::DirectoryReclaims ? "directoryReclaims" : "writesFailedNoStorage";
}

std::vector<GroupPoolFinding> GroupPoolFindings(const Db2GroupPoolFacts& pool, NumberStyle style) {
    std::vector<GroupPoolFinding> found;
    if (const auto reclaims = pool.figures.Get(GroupPoolFigure::DirectoryReclaims); reclaims && *reclaims > 0) {
        std::string text = "Directory entry reclaims " + Count(*reclaims, style) + " above 0";
        if (const auto xi = pool.figures.Get(GroupPoolFigure::CrossInvalidationsByReclaim)) {
            text += " (cross-invalidations by reclaim " + Count(*xi, style) + ")";
        }
        text += ": too few directory entries; raise the RATIO or the structure size";
        found.push_back({GroupPoolRule::DirectoryReclaims, GroupPoolFigure::DirectoryReclaims, *reclaims, 0,
                         ReclaimSource, std::move(text)});
    }
    if (const auto failed = pool.figures.Get(GroupPoolFigure::WritesFailedNoStorage); failed && *failed > 0) {
        found.push_back({GroupPoolRule::WritesFailedNoStorage, GroupPoolFigure::WritesFailedNoStorage, *failed, 0,
                         FailedWriteSource,
                         "Writes failed for lack of storage " + Count(*failed, style) +
                             " above 0: the structure is too small or castout too slow; raise the structure size "
                             "(SETXCF) or lower the castout thresholds (CLASST, GBPOOLT)"});
    }
    return found;
}

std::optional<std::int64_t> GroupPoolRatioTenths(const Db2GroupPoolFacts& pool) {
    if (const auto ratio = pool.figures.Get(GroupPoolFigure::RatioTenths); ratio && *ratio > 0) {
        return ratio;
    }
    const auto directory = pool.figures.Get(GroupPoolFigure::DirectoryEntries);
    const auto data = pool.figures.Get(GroupPoolFigure::DataEntries);
    if (directory && data && *data > 0) {
        return (*directory * 10 + *data / 2) / *data;
    }
    return std::nullopt;
}

} // namespace ornexa
