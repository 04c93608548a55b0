#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/db2_figures.h"
#include "report/numbers.h"

namespace ornexa {

// What a finding on a group buffer pool is about.
enum class GroupPoolRule : std::uint8_t {
    DirectoryReclaims,     // too few directory entries: pages lose their registration
    WritesFailedNoStorage, // the structure filled with changed pages
};

// One figure of a group buffer pool above its threshold: the figure, its value, the threshold it is
// over, where the threshold is published, and what to do about it.
struct GroupPoolFinding {
    GroupPoolRule rule = GroupPoolRule::DirectoryReclaims;
    GroupPoolFigure figure = GroupPoolFigure::DirectoryReclaims;
    std::int64_t value = 0;
    std::int64_t threshold = 0; // the finding is made when the value is above it
    std::string_view source;    // the page of Db2's documentation that publishes the threshold
    std::string text;
    friend bool operator==(const GroupPoolFinding&, const GroupPoolFinding&) = default;
};

// The key of a rule in the JSON document and exports: "directoryReclaims", "writesFailedNoStorage".
std::string_view GroupPoolRuleKey(GroupPoolRule rule);

// The findings on one group buffer pool, in rule order, their texts' numbers in `style`; a figure the
// display did not show makes none.
std::vector<GroupPoolFinding> GroupPoolFindings(const Db2GroupPoolFacts& pool, NumberStyle style = {});

// The directory-to-data ratio of the pool in tenths, as Db2 showed it or from its entries; absent
// when neither is known.
std::optional<std::int64_t> GroupPoolRatioTenths(const Db2GroupPoolFacts& pool);

} // namespace ornexa
